// The framework's graphics over GDI: colours and their system-colour indexes, the graphics
// objects (font, pen, brush) with change notification, the canvas bound to a DC, and the
// graphic classes (bitmap as a DIB section, icon) with the picture that holds one of them and
// the registry of picture formats by file extension.
//
// Ownership: every GDI handle belongs to exactly one object here (fonts, pens, brushes their
// handle; a bitmap its DIB section, palette and the memory DC of its canvas; an icon its HICON;
// a picture its graphic). A canvas borrows the DC it is bound to and puts back what it
// selected before it lets the DC go.
//
// Sections: colours; graphics objects; canvas; graphic; bitmap; icon; picture. Implemented in
// Graphics.cpp and Bitmap.cpp (the bitmap).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/base/SysUtils.h"
#include "framework/base/Types.h"
#include "framework/win/WinTypes.h"

// EInvalidGraphic comes from framework/base/SysUtils.h (window-free decoders raise it too).
ORBEX_EXCEPTION(EInvalidGraphicOperation, Exception);
ORBEX_EXCEPTION(EOutOfResources, EOSError);

// ---------------------------------------------------------------------------------------------
// Colours: 0x00BBGGRR; system colours are 0x80000000 | COLOR_xxx and resolve through
// ColorToRGB at drawing time, so they follow the user's scheme.
constexpr TColor SysColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = SysColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SysColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SysColor(COLOR_MENUBAR);

// A system colour (top bit set) becomes its current RGB value (GetSysColor of the low byte);
// every other value, clNone and clDefault included, is returned unchanged.
TColor ColorToRGB(TColor color);
// Colour names ("clBtnFace", ...) and "$00BBGGRR" / decimal text; used by stored forms.
// StringToColor raises EConvertError for text that is neither.
std::string ColorToString(TColor color);
TColor StringToColor(const std::string& s);

// Start-up step of the graphics units (idempotent): colour names for the property tables,
// the graphic classes (TBitmap, TIcon, TJPEGImage) by name, the picture formats.
void InitGraphicsUnit();

// Logical pixels per inch of the screen (LOGPIXELSY), read once.
int ScreenPixelsPerInch();

// ---------------------------------------------------------------------------------------------
// Graphics objects: a description that makes its GDI handle on demand and drops it when a
// property changes; OnChange fires after every change (canvases and controls listen).
class TGraphicsObject : public TPersistent {
  ORBEX_CLASS(TGraphicsObject, TPersistent)
public:
  TNotifyEvent OnChange;

protected:
  virtual void Changed();
};

enum TFontStyle : std::uint8_t { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
using TFontStyles = std::uint8_t;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;

class TFont : public TGraphicsObject {
  ORBEX_CLASS(TFont, TGraphicsObject)
public:
  // "MS Sans Serif", height -11 (8 points at 96 dpi), clWindowText, no style, DEFAULT_CHARSET.
  TFont();
  ~TFont() override;
  void Assign(TPersistent* source) override;

  // The font handle, made on first use and owned by this object; valid until the next change.
  HFONT GetHandle();
  // Takes the description of an existing font (the handle stays the caller's).
  void SetHandle(HFONT font);
  bool HandleAllocated() const { return FHandle.Valid(); }

  const std::string& GetName() const { return FName; }
  void SetName(const std::string& name);
  // Negative height: character height in pixels; positive: cell height.
  int GetHeight() const { return FHeight; }
  void SetHeight(int h);
  // Points at PixelsPerInch; setting it sets Height to -MulDiv(size, ppi, 72).
  int GetSize() const;
  void SetSize(int points);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor c);
  TFontStyles GetStyle() const { return FStyle; }
  void SetStyle(TFontStyles s);
  TFontPitch GetPitch() const { return FPitch; }
  void SetPitch(TFontPitch p);
  TFontCharset GetCharset() const { return FCharset; }
  void SetCharset(TFontCharset c);
  int GetOrientation() const { return FOrientation; }   // tenths of a degree
  void SetOrientation(int o);
  int PixelsPerInch = 0;   // 0: the screen's

  // The LOGFONT this font describes.
  LOGFONTA GetLogFont() const;

private:
  TOwnedFont FHandle;
  std::string FName = "MS Sans Serif";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle = 0;
  TFontPitch FPitch = TFontPitch::fpDefault;
  TFontCharset FCharset = DEFAULT_CHARSET;
  int FOrientation = 0;
  void Change();
  int Ppi() const;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
  ORBEX_CLASS(TPen, TGraphicsObject)
public:
  TPen();
  ~TPen() override;
  void Assign(TPersistent* source) override;
  HPEN GetHandle();
  bool HandleAllocated() const { return FHandle.Valid(); }
  TColor GetColor() const { return FColor; }
  void SetColor(TColor c);
  int GetWidth() const { return FWidth; }
  void SetWidth(int w);   // values below 1 become 1
  TPenStyle GetStyle() const { return FStyle; }
  void SetStyle(TPenStyle s);
  TPenMode GetMode() const { return FMode; }
  void SetMode(TPenMode m);
  int Rop2() const;   // the R2_ code of Mode

private:
  TOwnedPen FHandle;
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = TPenStyle::psSolid;
  TPenMode FMode = TPenMode::pmCopy;
  void Change();
};

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBitmap;

class TBrush : public TGraphicsObject {
  ORBEX_CLASS(TBrush, TGraphicsObject)
public:
  TBrush();
  ~TBrush() override;
  void Assign(TPersistent* source) override;
  // bsClear gives the stock NULL_BRUSH (not owned).
  HBRUSH GetHandle();
  bool HandleAllocated() const { return FHandle.Valid(); }
  TColor GetColor() const { return FColor; }
  // Setting a colour while the style is bsClear makes the brush solid again.
  void SetColor(TColor c);
  TBrushStyle GetStyle() const { return FStyle; }
  void SetStyle(TBrushStyle s);
  // A pattern bitmap (borrowed: the caller keeps it alive while the brush uses it).
  TBitmap* GetBitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* b);

private:
  TOwnedBrush FHandle;
  TColor FColor = clWhite;
  TBrushStyle FStyle = TBrushStyle::bsSolid;
  TBitmap* FBitmap = nullptr;
  void Change();
};

// ---------------------------------------------------------------------------------------------
// Canvas: drawing on a DC with the canvas's font, pen and brush. The DC is borrowed: bound by
// SetHandle, or made by a derived canvas in CreateHandle (bitmap and control canvases). While
// bound, the canvas's objects are selected into the DC; binding another DC (or none) first
// puts back the objects that were selected before.
enum TCanvasStateFlag : std::uint8_t { csHandleValid = 0x1, csFontValid = 0x2, csPenValid = 0x4, csBrushValid = 0x8 };
using TCanvasState = std::uint8_t;

using TCopyMode = DWORD;   // a ternary raster operation; SRCCOPY by default

class TGraphic;

class TCanvas : public TPersistent {
  ORBEX_CLASS(TCanvas, TPersistent)
public:
  TCanvas();
  ~TCanvas() override;

  // The DC, made through CreateHandle when none is bound; raises EInvalidGraphicOperation
  // "Canvas does not allow drawing" when there is none to be had.
  HDC GetHandle();
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return FHandle != nullptr; }

  // Serialises drawing from several threads (the canvas of a shared bitmap); a locked control
  // canvas keeps its DC.
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return FLockCount; }

  TFont* Font() const { return FFont.get(); }
  TPen* Pen() const { return FPen.get(); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetFont(TFont* f) { FFont->Assign(f); }
  void SetPen(TPen* p) { FPen->Assign(p); }
  void SetBrush(TBrush* b) { FBrush->Assign(b); }
  TCopyMode CopyMode = SRCCOPY;

  TPoint GetPenPos();
  void SetPenPos(const TPoint& p) { MoveTo(p.X, p.Y); }
  TRect ClipRect();

  // Drawing. Rectangles are half-open; every call draws nothing on an empty rectangle.
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(std::span<const TPoint> points);
  void Polygon(std::span<const TPoint> points);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void FillRect(const TRect& r);          // with the brush; the pen is not used
  void FrameRect(const TRect& r);         // one-pixel frame in the brush
  void DrawFocusRect(const TRect& r);     // XOR dotted frame; drawing it twice removes it
  // Text in the font's colour; the background is filled with the brush unless bsClear.
  void TextOut(int x, int y, const std::string& text);
  // TextOut clipped to r.
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  TSize TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  // Graphics paint themselves (TGraphic::Draw); null or empty graphics draw nothing.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  // StretchBlt from another canvas with CopyMode.
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& src);
  TColor GetPixel(int x, int y);
  void SetPixel(int x, int y, TColor c);
  // Deselects the canvas's objects so that their handles may change or be deleted.
  void Refresh();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  // Derived canvases bind a DC here (SetHandle); the base has none.
  virtual void CreateHandle() {}
  void Changing();
  void Changed();
  // Makes sure the handle and the asked objects are selected.
  void RequiredState(TCanvasState req);

private:
  HDC FHandle = nullptr;
  TCanvasState FState = 0;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TPoint FPenPos;
  // What the DC had selected before the canvas selected its own objects.
  HGDIOBJ FOldFont = nullptr;
  HGDIOBJ FOldPen = nullptr;
  HGDIOBJ FOldBrush = nullptr;
  std::recursive_mutex FLock;
  int FLockCount = 0;
  void DeselectHandles();
  void CreateFont();
  void CreatePen();
  void CreateBrush();
  void ObjectChanged(TObject* sender);
};

// Holds a canvas's lock for one scope: drawing from another thread waits, and a locked control
// canvas keeps its DC. Released on the way out, also on an exception.
class TCanvasLock {
public:
  explicit TCanvasLock(TCanvas& canvas) : FCanvas(canvas) { FCanvas.Lock(); }
  TCanvasLock(const TCanvasLock&) = delete;
  TCanvasLock& operator=(const TCanvasLock&) = delete;
  ~TCanvasLock() { FCanvas.Unlock(); }

private:
  TCanvas& FCanvas;
};

// Binds a borrowed DC (a paint or owner-draw DC, a screen DC) to a canvas for one scope and
// unbinds it on the way out, also on an exception: the canvas's objects are deselected before
// the DC's owner releases or restores it, and the canvas never keeps a DC that has gone.
class TCanvasDC {
public:
  TCanvasDC(TCanvas& canvas, HDC dc) : FCanvas(canvas) { FCanvas.SetHandle(dc); }
  TCanvasDC(const TCanvasDC&) = delete;
  TCanvasDC& operator=(const TCanvasDC&) = delete;
  ~TCanvasDC() { FCanvas.SetHandle(nullptr); }

private:
  TCanvas& FCanvas;
};

// ---------------------------------------------------------------------------------------------
// Graphic: the base of everything a picture can hold.
enum class TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, Byte PercentDone,
                                          bool RedrawNow, const TRect& R, const std::string& Msg)>;

class TGraphic : public TPersistent {
  ORBEX_CLASS(TGraphic, TPersistent)
public:
  TGraphic() = default;
  // Paints the graphic stretched into r of the canvas.
  virtual void Draw(TCanvas* canvas, const TRect& r) = 0;
  virtual bool Empty() const = 0;
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  virtual void SetWidth(int w) = 0;
  virtual void SetHeight(int h) = 0;
  // Reads the graphic from the stream's current position; raises EInvalidGraphic naming what
  // was wrong, leaving the graphic empty.
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path);
  // An RCDATA resource of the module.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  virtual HPALETTE GetPalette() const { return nullptr; }
  virtual void SetPalette(HPALETTE) {}
  virtual bool GetTransparent() const { return FTransparent; }
  virtual void SetTransparent(bool on);
  bool GetModified() const { return FModified; }
  void SetModified(bool on);

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

protected:
  virtual void Changed(TObject* sender);
  virtual void Progress(TObject* sender, TProgressStage stage, Byte percent, bool redrawNow,
                        const TRect& r, const std::string& msg);
  bool FTransparent = false;
  bool FModified = false;
};

// Class information of a graphic class (TBitmap::StaticClassInfo() ...), used to create one by
// name or extension.
using TGraphicClass = const TClassInfo*;
// Creates a graphic of a registered class; null when the class is not a creatable graphic.
std::unique_ptr<TGraphic> CreateGraphic(TGraphicClass cls);

// ---------------------------------------------------------------------------------------------
// Bitmap: always a DIB section bottom-up in memory (as Windows bitmap files store it); pfDevice
// means the screen's depth (handle type bmDDB) and becomes a definite format on ScanLine.
enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum class TBitmapHandleType { bmDIB, bmDDB };
enum class TTransparentMode { tmAuto, tmFixed };

// Bits per pixel of a format (0 for pfDevice and pfCustom).
int PixelFormatBits(TPixelFormat pf);

// A logical palette of the entries (flags kept); empty for no entries or more than a palette
// holds (65535). Every palette the graphics make is built here.
TOwnedPalette MakePalette(std::span<const PALETTEENTRY> entries);

class TBitmap;

// The canvas of a bitmap: a memory DC with the bitmap selected, made on first use and kept
// until the bitmap's handle changes or the bitmap is freed.
class TBitmapCanvas : public TCanvas {
  ORBEX_CLASS(TBitmapCanvas, TCanvas)
public:
  explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}
  ~TBitmapCanvas() override;
  // Lets go of the memory DC (the bitmap is about to change its handle).
  void FreeContext();

protected:
  void CreateHandle() override;

private:
  TBitmap* FBitmap;
  std::optional<TMemoryDC> FDC;   // with the bitmap and its palette selected
};

// Largest bitmap the framework makes or reads: a side of 32768 pixels and 256 MiB of pixels.
constexpr int MaxBitmapSide = 32768;
constexpr std::uint64_t MaxBitmapBytes = 256ull << 20;

class TBitmap : public TGraphic {
  ORBEX_CLASS(TBitmap, TGraphic)
public:
  TBitmap();
  ~TBitmap() override;
  void Assign(TPersistent* source) override;

  void Draw(TCanvas* canvas, const TRect& r) override;
  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int GetWidth() const override { return FWidth; }
  int GetHeight() const override { return FHeight; }
  void SetWidth(int w) override { SetSize(w, FHeight); }
  void SetHeight(int h) override { SetSize(FWidth, h); }
  // Keeps the pixels of the overlapping top-left part; new pixels are black. Raises
  // EInvalidGraphic for negative or too large sizes, EOutOfResources when GDI refuses.
  void SetSize(int w, int h);

  // Windows bitmap files: 1, 4, 8, 16, 24 and 32 bits, uncompressed or bit fields, top-down or
  // bottom-up; saving writes this bitmap's own format, with its colour table up to 8 bits.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;

  TCanvas* Canvas();
  // The DIB section (owned); null while empty. Lets go of the canvas's memory DC first (unless
  // the canvas is locked), so that the handle can be selected into another DC.
  HBITMAP GetHandle();
  // Takes ownership of a bitmap handle: a DIB section is kept as it is, a device bitmap is
  // copied into a DIB section of the screen's depth and deleted.
  void SetHandle(HBITMAP bmp);
  // Gives the handle to the caller (the bitmap becomes empty).
  [[nodiscard]] HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return FHandle.Valid(); }
  TBitmapHandleType GetHandleType() const;
  void SetHandleType(TBitmapHandleType t);

  TPixelFormat GetPixelFormat() const { return FPixelFormat; }
  // Converts the pixels: towards fewer bits each colour maps to the nearest palette entry.
  // When a palettised target has no palette yet, the image's own colours form the palette if
  // they fit; otherwise a halftone (8-bit), the 16 VGA colours (4-bit) or black and white
  // (1-bit) is used. pfCustom is refused with EInvalidGraphic.
  void SetPixelFormat(TPixelFormat pf);
  bool GetMonochrome() const { return FPixelFormat == TPixelFormat::pf1bit; }

  // Row y from the top (0 .. Height-1), of the format's packed pixels; bottom-up storage means
  // ScanLine(1) - ScanLine(0) is minus the stride. Raises EInvalidGraphic outside the bitmap.
  void* ScanLine(int y);
  int RowStride() const;   // bytes per stored row, a multiple of 4

  // Palette of palettised formats (owned); setting one takes ownership of the handle and, for
  // a palettised format, copies its entries into the colour table.
  HPALETTE GetPalette() const override { return FPalette.Get(); }
  void SetPalette(HPALETTE pal) override;
  [[nodiscard]] HPALETTE ReleasePalette();
  // The colour table of a palettised bitmap as RGBQUADs.
  std::vector<RGBQUAD> ColorTable() const;

  // tmAuto: the bottom-left pixel's colour is the transparent colour.
  TColor GetTransparentColor();
  void SetTransparentColor(TColor c);
  TTransparentMode GetTransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode m);

  // Deletes the DIB and the palette; the bitmap becomes empty (width and height 0).
  void FreeImage();

protected:
  void Changed(TObject* sender) override;
  void AssignTo(TPersistent* dest) override;

private:
  friend class TBitmapCanvas;
  TOwnedBitmap FHandle;
  TOwnedPalette FPalette;
  void* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = TPixelFormat::pfDevice;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = TTransparentMode::tmAuto;
  std::unique_ptr<TBitmapCanvas> FCanvas;

  void FreeContext();
  std::vector<RGBQUAD> FTable;   // colour table of palettised formats

  // Makes a new DIB section for the format and size (the old one is freed); colour table from
  // `table`; pixels zero.
  void NewDIB(TPixelFormat pf, int w, int h, std::vector<RGBQUAD> table);
  TPixelFormat StoredFormat() const;
  std::uint8_t* RowPtr(int y) const;
  void ReadBMP(TStream& stream);
  // Every pixel as 0xAARRGGBB (blue in the low byte), row by row from the top.
  std::vector<std::uint32_t> ReadPixels32() const;
  void DecodeRow(int y, std::uint32_t* out) const;
  void WritePixels32(const std::vector<std::uint32_t>& px);
  void SetTable(std::vector<RGBQUAD> table);
};

// ---------------------------------------------------------------------------------------------
// Icon: an HICON (owned) read from an icon file (the image that best matches the system's
// large icon size); saving writes back the data it was read from.
class TIcon : public TGraphic {
  ORBEX_CLASS(TIcon, TGraphic)
public:
  TIcon();
  ~TIcon() override;
  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const TRect& r) override;
  bool Empty() const override { return !FHandle.Valid(); }
  int GetWidth() const override { return FWidth; }
  int GetHeight() const override { return FHeight; }
  // An icon's size comes from its image; setting it raises EInvalidGraphicOperation.
  void SetWidth(int w) override;
  void SetHeight(int h) override;
  void LoadFromStream(TStream& stream) override;
  // Raises EInvalidGraphic when the icon was not read from a stream (no file data to write).
  void SaveToStream(TStream& stream) override;

  HICON GetHandle() const { return FHandle.Get(); }
  // Takes ownership of the icon.
  void SetHandle(HICON icon);
  [[nodiscard]] HICON ReleaseHandle();

private:
  TOwnedIcon FHandle;
  int FWidth = 0;
  int FHeight = 0;
  std::vector<std::uint8_t> FData;   // the icon file it was read from
};

// ---------------------------------------------------------------------------------------------
// Picture: holds one graphic of any registered class.
class TPicture : public TPersistent {
  ORBEX_CLASS(TPicture, TPersistent)
public:
  TPicture();
  ~TPicture() override;
  void Assign(TPersistent* source) override;

  // The graphic (owned); null while empty.
  TGraphic* GetGraphic() const { return FGraphic.get(); }
  // Stores a copy of the graphic (null empties the picture).
  void SetGraphic(TGraphic* g);
  // The graphic as a bitmap: a non-bitmap graphic is replaced by an empty bitmap.
  TBitmap* Bitmap();
  TIcon* Icon();
  int GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
  int GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

  // By extension through the registry; raises EInvalidGraphic "Unknown picture file
  // extension (.xyz)" for an unregistered one.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path);

  // Stored-form data: a length byte, the graphic's class name, then the graphic's own stream
  // data. An empty picture is stored as a zero length. Unknown classes raise EInvalidGraphic.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);

  // The registry of picture formats: extension without the dot, case-insensitive. A later
  // registration of the same extension replaces the earlier one.
  static void RegisterFileFormat(const std::string& ext, const std::string& description,
                                 TGraphicClass cls);
  static void UnregisterGraphicClass(TGraphicClass cls);
  static TGraphicClass FindFileFormat(const std::string& ext);
  // "Description (*.ext)|*.ext|..." of every registered format of the class (null: all).
  static std::string GraphicFilter(TGraphicClass cls);

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

protected:
  void AssignTo(TPersistent* dest) override;

private:
  std::unique_ptr<TGraphic> FGraphic;
  void Attach(std::unique_ptr<TGraphic> g);
  void GraphicChanged(TObject* sender);
};
