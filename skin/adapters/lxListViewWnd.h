// The list view adapter: a system list view ("SysListView32") or a framework list view keeps
// the edit adapter's frame, scroll bars and colours; its items take the section's colours, a
// dragged thumb scrolls it by whole items, and in report style its column header
// ("SysHeader32") is painted column by column from the skin section "COLHEADER" (else
// "BUTTON"), with hot and pressed columns and the skin's scroll-arrow glyphs as sort marks.
//
// Ownership: the adapter subclasses the header (TlxHeaderHook) and gives its procedure back when
// the adapter or the header goes, or the list view makes a new header. The list view's own
// colours (background, text, text background) are read at attach and given back when the
// adapter detaches. GUI thread only.
#pragma once

#include "skin/adapters/lxEditWnd.h"

#include <commctrl.h>

#include <memory>

class TlxListViewWnd;
class TBitmap;
class TControl;

// A header column as the skin paints it: section "COLHEADER" (else "BUTTON") in the column's
// state (0 normal, 1 hot, 2 pressed) over `back`, then, with a text, the sort glyph of
// "SCROLLBTNBOTTOM" or "SCROLLBTNTOP" (HDF_SORTDOWN, HDF_SORTUP), the image (HDF_IMAGE) and the
// text in the section's colours, placed by HeaderColumnLayout. Shared by the list view's
// header and the virtual tree's header-draw handler.
struct TlxHeaderColumn {
  int State = 0;
  const char* Text = nullptr;   // null: the empty piece right of the last column
  int Format = 0;               // HDITEM.fmt
  HIMAGELIST Images = nullptr;
  int Image = -1;
  TControl* FontOwner = nullptr;   // its font, else Font
  HFONT Font = nullptr;
  bool WordWrap = false;
};
void PaintSkinHeaderColumn(TBitmap* work, const TRect& r, TsCommonData* d, TColor back, const TlxHeaderColumn& c);

// The header's subclass: the header's procedure replaced by one that hands the header's
// messages to the adapter; the old one put back at the end, only while ours is still current
// (a later subclasser keeps its own).
class TlxHeaderHook {
public:
  TlxHeaderHook(HWND header, TlxListViewWnd& owner);
  ~TlxHeaderHook();
  TlxHeaderHook(const TlxHeaderHook&) = delete;
  TlxHeaderHook& operator=(const TlxHeaderHook&) = delete;

  HWND Handle() const { return FHeader; }
  LRESULT CallOld(UINT msg, WPARAM wparam, LPARAM lparam) const;

private:
  static LRESULT CALLBACK HeaderProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam);
  // The window property's record: the adapter (null once the hook let go while a later
  // subclasser still calls ours, which then only forwards) and the old procedure. The hook owns
  // it while ours is current; after that the header's WM_NCDESTROY frees it.
  struct TCell {
    TlxListViewWnd* Owner;
    WNDPROC OldProc;
  };
  HWND FHeader;
  TCell* FCell;
};

class TlxListViewWnd : public TlxEditWnd {
public:
  // Gives the list view its colours and the header its procedure back first.
  ~TlxListViewWnd() override;

  // Background, text and text background as the list view had them.
  void StoreControlColors() override;
  void RestoreControlColors() override;
  // The edit adapter's colours, then the items' background, text background and text: the
  // window colours in dialog mode, else the section colour and its font colour.
  void ApplySkinColors() override;
  void HandleMessage(TMessage& message) override;

  // The owner control's published "ViewStyle", else the view LVM_GETVIEW answers (see
  // ListViewStyleOfView).
  int ListViewStyle() const;
  // The hooked header, or null.
  HWND HeaderWnd() const { return FHeader ? FHeader->Handle() : nullptr; }
  int HotColumn() const { return FHotColumn; }
  int PressedColumn() const { return FPressedColumn; }

  TlxListViewWnd() = default;   // made through CreateForHandle

protected:
  // Attached as an edit adapter, then the header (if any) hooked.
  void AttachToWindow(bool repaintFrame) override;
  // List views keep their visual style from Windows 6 on (the system draws their selection).
  bool KeepsVisualStyle() const override;
  // The header let go with the bars.
  void DetachParts() override;

private:
  friend class TlxHeaderHook;
  // The header's window method (report style only; else everything goes to its old one).
  LRESULT HeaderMessage(UINT msg, WPARAM wparam, LPARAM lparam);
  void HookHeader(HWND header);
  void RepaintHeader();
  // The whole header into `dc`; the area right of the last column as an empty column.
  void PaintHeaderTo(HDC dc);
  void PaintColumn(TBitmap* work, int index, const TRect& r);
  void ThumbTrack(TMessage& message);
  void ParentNotify(const TMessage& message);
  void PrintHeader(HDC dc);

  std::unique_ptr<TlxHeaderHook> FHeader;
  int FHotColumn = -1, FPressedColumn = -1;
  std::unique_ptr<TBitmap> FHeaderWork;
  // The list view's own colours (LVM_GET...), read at attach.
  COLORREF FSavedBk = CLR_NONE, FSavedText = 0, FSavedTextBk = CLR_NONE;
  bool FColorsSaved = false;
};
