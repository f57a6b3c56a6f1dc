// Image lists over the comctl32 image list: TCustomImageList owns one HIMAGELIST (unless it is
// shared) and tells every registered TChangeLink when its images change; TImageList is the
// component stored in forms. The list's images persist in stored forms as binary data (see
// ReadData/WriteData).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/win/Graphics.h"
#include "framework/win/WinTypes.h"

class TCustomImageList;

// A listener for one image list: controls that show its images hold one and repaint on
// OnChange. The list and the link forget each other when either is freed.
class TChangeLink : public TObject {
  ORBEX_CLASS(TChangeLink, TObject)
public:
  TChangeLink() = default;
  ~TChangeLink() override;
  TCustomImageList* GetSender() const { return FSender; }
  void SetSender(TCustomImageList* s) { FSender = s; }
  virtual void Change();
  TNotifyEvent OnChange;

private:
  TCustomImageList* FSender = nullptr;
};

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum class TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
  ORBEX_CLASS(TCustomImageList, TComponent)
public:
  explicit TCustomImageList(TComponent* AOwner);
  ~TCustomImageList() override;
  void Assign(TPersistent* source) override;

  // The system list, made on first use (ILC_COLOR32, plus ILC_MASK when Masked). Raises
  // EOutOfResources when comctl32 refuses.
  HIMAGELIST GetHandle();
  // Takes the list (owned unless ShareImages); null destroys the current one.
  void SetHandle(HIMAGELIST h);
  bool HandleAllocated() const { return FHandle != nullptr; }

  // Changing the size or Masked empties the list (the system list is made anew).
  int GetWidth() const { return FWidth; }
  void SetWidth(int w);
  int GetHeight() const { return FHeight; }
  void SetHeight(int h);
  void SetSize(int w, int h);
  bool GetMasked() const { return FMasked; }
  void SetMasked(bool on);
  TColor GetBkColor() const;
  void SetBkColor(TColor c);
  TColor GetBlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor c) { FBlendColor = c; }
  TDrawingStyle GetDrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle s);
  TImageType GetImageType() const { return FImageType; }
  void SetImageType(TImageType t) { FImageType = t; }
  int GetAllocBy() const { return FAllocBy; }
  void SetAllocBy(int n) { FAllocBy = n < 1 ? 1 : n; }
  // A shared list's handle is not destroyed by this object.
  bool GetShareImages() const { return FShareImages; }
  void SetShareImages(bool on) { FShareImages = on; }

  int Count() const;
  // Adds the images of a strip (image width a multiple of Width); returns the first index,
  // -1 when nothing was added. The mask may be null.
  int Add(TBitmap* image, TBitmap* mask);
  // The mask is every pixel of colour maskColor.
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(TIcon* icon);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  void Delete(int index);
  void Clear();
  // Copies image `index` into the bitmap (sized Width x Height, 24-bit); false for a bad index.
  bool GetBitmap(int index, TBitmap* image);
  // A new icon of image `index` (owned by `icon`); false for a bad index.
  bool GetIcon(int index, TIcon* icon);

  // Draws image `index` at (x, y); a bad index draws nothing. Disabled images are drawn
  // greyed (ILD_BLEND50 over the system grey).
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
            bool enabled = true);

  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);
  void BeginUpdate();
  void EndUpdate();   // fires one change when anything changed meanwhile

  // Stored-form data of the images: "OIL1", the count (32-bit little-endian), then the images
  // as one Windows bitmap strip (24-bit) and, when Masked, the mask strip (1-bit). Reading
  // replaces the images; bad data raises EInvalidGraphic and leaves the list empty.
  virtual void ReadData(TStream& stream);
  virtual void WriteData(TStream& stream);

  TNotifyEvent OnChange;

protected:
  virtual void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled);
  // Tells the links and OnChange (unless updating).
  virtual void Change();
  void Loaded() override;

private:
  HIMAGELIST FHandle = nullptr;
  int FWidth = 16;
  int FHeight = 16;
  bool FMasked = true;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = TDrawingStyle::dsNormal;
  TImageType FImageType = TImageType::itImage;
  int FAllocBy = 4;
  bool FShareImages = false;
  int FUpdateCount = 0;
  bool FChanged = false;
  std::vector<TChangeLink*> FLinks;
  void FreeHandle();
  void Recreate();
  UINT DrawStyleFlags(TDrawingStyle style, TImageType type) const;
};

class TImageList : public TCustomImageList {
  ORBEX_CLASS(TImageList, TCustomImageList)
public:
  explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};

// Start-up step of the image-list unit (idempotent): registers TImageList by name.
void InitImgListUnit();
