// Graphics over GDI: colours, font/pen/brush, canvas, bitmap (DIB sections and Windows bitmap
// files), icon, picture and the picture-format registry. See Graphics.h for ownership.
//
// Sections: colours; graphics objects; canvas; graphic; bitmap (DIB, pixel formats, BMP files);
// icon; picture and formats; class tables and start-up.
#include "framework/win/win/Graphics.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "framework/base/TypInfo.h"
#include "framework/win/win/Jpeg.h"

// ---------------------------------------------------------------------------------------------
// Colours

TColor ColorToRGB(TColor color) {
  if (color < 0) return static_cast<TColor>(::GetSysColor(color & 0xFF));
  return color;
}

namespace {

struct TColorName {
  TColor Value;
  const char* Name;
};
const TColorName kColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"}, {clNone, "clNone"}, {clDefault, "clDefault"},
    {clLtGray, "clLtGray"}, {clDkGray, "clDkGray"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"}, {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"}, {clMenuBar, "clMenuBar"},
};

bool ColorIdentToInt(const std::string& ident, std::int64_t& value) {
  for (const TColorName& c : kColorNames) {
    if (SameText(ident, c.Name)) {
      value = c.Value;
      return true;
    }
  }
  return false;
}

bool IntToColorIdent(std::int64_t value, std::string& ident) {
  for (const TColorName& c : kColorNames) {
    if (static_cast<std::int64_t>(c.Value) == value ||
        static_cast<std::int64_t>(static_cast<std::uint32_t>(c.Value)) == value) {
      ident = c.Name;
      return true;
    }
  }
  return false;
}

}  // namespace

std::string ColorToString(TColor color) {
  std::string s;
  if (IntToColorIdent(color, s)) return s;
  return "$" + IntToHex(static_cast<std::uint32_t>(color), 8);
}

TColor StringToColor(const std::string& s) {
  std::int64_t v = 0;
  if (ColorIdentToInt(s, v)) return static_cast<TColor>(v);
  if (TryStrToInt64(s, v) && v >= INT32_MIN && v <= static_cast<std::int64_t>(UINT32_MAX))
    return static_cast<TColor>(static_cast<std::uint32_t>(v));
  throw EConvertError("'" + s + "' is not a valid color value");
}

int ScreenPixelsPerInch() {
  static const int ppi = [] {
    TWindowDC dc(nullptr);
    int v = dc.Valid() ? ::GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
    return v > 0 ? v : 96;
  }();
  return ppi;
}

// ---------------------------------------------------------------------------------------------
// Graphics objects. A change first moves the old handle aside, tells the listeners (a canvas
// deselects it), and only then deletes it: a selected object cannot be deleted.

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::Change() {
  TOwnedFont old = std::move(FHandle);
  Changed();
}

int TFont::Ppi() const { return PixelsPerInch > 0 ? PixelsPerInch : ScreenPixelsPerInch(); }

void TFont::Assign(TPersistent* source) {
  if (const TFont* f = As<TFont>(source)) {
    if (f == this) return;
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FPitch = f->FPitch;
    FCharset = f->FCharset;
    FOrientation = f->FOrientation;
    Change();
    return;
  }
  Inherited::Assign(source);
}

LOGFONTA TFont::GetLogFont() const {
  LOGFONTA lf{};
  lf.lfHeight = FHeight;
  lf.lfEscapement = FOrientation;
  lf.lfOrientation = FOrientation;
  lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
  lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = FCharset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = FPitch == TFontPitch::fpFixed      ? FIXED_PITCH
                        : FPitch == TFontPitch::fpVariable ? VARIABLE_PITCH
                                                           : DEFAULT_PITCH;
  size_t n = std::min(FName.size(), sizeof(lf.lfFaceName) - 1);
  std::memcpy(lf.lfFaceName, FName.data(), n);
  lf.lfFaceName[n] = 0;
  return lf;
}

HFONT TFont::GetHandle() {
  if (!FHandle.Valid()) {
    LOGFONTA lf = GetLogFont();
    FHandle.Reset(::CreateFontIndirectA(&lf));
    if (!FHandle.Valid()) {
      DWORD code = ::GetLastError();
      throw EOutOfResources("CreateFontIndirect: " + SysErrorMessage(code));
    }
  }
  return FHandle.Get();
}

void TFont::SetHandle(HFONT font) {
  LOGFONTA lf{};
  if (font == nullptr || ::GetObjectA(font, sizeof(lf), &lf) == 0) return;
  FName.assign(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof(lf.lfFaceName)));
  FHeight = lf.lfHeight;
  FStyle = static_cast<TFontStyles>((lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0) |
                                    (lf.lfUnderline ? fsUnderline : 0) | (lf.lfStrikeOut ? fsStrikeOut : 0));
  FCharset = lf.lfCharSet;
  int pitch = lf.lfPitchAndFamily & 3;
  FPitch = pitch == FIXED_PITCH ? TFontPitch::fpFixed : pitch == VARIABLE_PITCH ? TFontPitch::fpVariable
                                                                                  : TFontPitch::fpDefault;
  FOrientation = lf.lfOrientation;
  Change();
}

void TFont::SetName(const std::string& name) {
  if (name.empty() || name == FName) return;
  FName = name;
  Change();
}
void TFont::SetHeight(int h) {
  if (h == FHeight) return;
  FHeight = h;
  Change();
}
int TFont::GetSize() const { return -::MulDiv(FHeight, 72, Ppi()); }
void TFont::SetSize(int points) { SetHeight(-::MulDiv(points, Ppi(), 72)); }
void TFont::SetColor(TColor c) {
  if (c == FColor) return;
  FColor = c;
  Changed();   // the colour is not part of the handle
}
void TFont::SetStyle(TFontStyles s) {
  s &= 0x0F;
  if (s == FStyle) return;
  FStyle = s;
  Change();
}
void TFont::SetPitch(TFontPitch p) {
  if (p == FPitch) return;
  FPitch = p;
  Change();
}
void TFont::SetCharset(TFontCharset c) {
  if (c == FCharset) return;
  FCharset = c;
  Change();
}
void TFont::SetOrientation(int o) {
  if (o == FOrientation) return;
  FOrientation = o;
  Change();
}

TPen::TPen() = default;
TPen::~TPen() = default;

void TPen::Change() {
  TOwnedPen old = std::move(FHandle);
  Changed();
}

void TPen::Assign(TPersistent* source) {
  if (const TPen* p = As<TPen>(source)) {
    if (p == this) return;
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    Change();
    return;
  }
  Inherited::Assign(source);
}

HPEN TPen::GetHandle() {
  if (!FHandle.Valid()) {
    static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle.Reset(::CreatePen(kStyles[static_cast<int>(FStyle)], FWidth, ColorToRGB(FColor)));
    if (!FHandle.Valid()) {
      DWORD code = ::GetLastError();
      throw EOutOfResources("CreatePen: " + SysErrorMessage(code));
    }
  }
  return FHandle.Get();
}

void TPen::SetColor(TColor c) {
  if (c == FColor) return;
  FColor = c;
  Change();
}
void TPen::SetWidth(int w) {
  if (w < 1) w = 1;
  if (w == FWidth) return;
  FWidth = w;
  Change();
}
void TPen::SetStyle(TPenStyle s) {
  if (s == FStyle) return;
  FStyle = s;
  Change();
}
void TPen::SetMode(TPenMode m) {
  if (m == FMode) return;
  FMode = m;
  Changed();   // the mode is a DC setting, not part of the handle
}
int TPen::Rop2() const {
  static const int kRop2[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                              R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN,
                              R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN,
                              R2_NOTXORPEN};
  static_assert(sizeof(kRop2) / sizeof(kRop2[0]) == static_cast<size_t>(TPenMode::pmNotXor) + 1);
  return kRop2[static_cast<int>(FMode)];
}

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Change() {
  TOwnedBrush old = std::move(FHandle);
  Changed();
}

void TBrush::Assign(TPersistent* source) {
  if (const TBrush* b = As<TBrush>(source)) {
    if (b == this) return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    Change();
    return;
  }
  Inherited::Assign(source);
}

HBRUSH TBrush::GetHandle() {
  if (FBitmap == nullptr && FStyle == TBrushStyle::bsClear)
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  if (!FHandle.Valid()) {
    HBRUSH h = nullptr;
    if (FBitmap != nullptr && !FBitmap->Empty()) {
      h = ::CreatePatternBrush(FBitmap->GetHandle());
    } else if (FStyle == TBrushStyle::bsSolid || FStyle == TBrushStyle::bsClear) {
      h = ::CreateSolidBrush(ColorToRGB(FColor));
    } else {
      static const int kHatch[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
      h = ::CreateHatchBrush(kHatch[static_cast<int>(FStyle) - 2], ColorToRGB(FColor));
    }
    if (h == nullptr) {
      DWORD code = ::GetLastError();
      throw EOutOfResources("CreateBrush: " + SysErrorMessage(code));
    }
    FHandle.Reset(h);
  }
  return FHandle.Get();
}

void TBrush::SetColor(TColor c) {
  if (c == FColor && FStyle != TBrushStyle::bsClear) return;
  FColor = c;
  if (FStyle == TBrushStyle::bsClear) FStyle = TBrushStyle::bsSolid;
  Change();
}
void TBrush::SetStyle(TBrushStyle s) {
  if (s == FStyle) return;
  FStyle = s;
  Change();
}
void TBrush::SetBitmap(TBitmap* b) {
  if (b == FBitmap) return;
  FBitmap = b;
  Change();
}

// ---------------------------------------------------------------------------------------------
// Canvas

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  FFont->OnChange = [this](TObject* s) { ObjectChanged(s); };
  FPen->OnChange = [this](TObject* s) { ObjectChanged(s); };
  FBrush->OnChange = [this](TObject* s) { ObjectChanged(s); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::GetHandle() {
  RequiredState(csHandleValid);
  return FHandle;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == FHandle) return;
  if (FHandle != nullptr) DeselectHandles();
  FHandle = dc;
  FState = dc != nullptr ? csHandleValid : 0;
}

void TCanvas::Lock() {
  FLock.lock();
  ++FLockCount;
}
void TCanvas::Unlock() {
  --FLockCount;
  FLock.unlock();
}
bool TCanvas::TryLock() {
  if (!FLock.try_lock()) return false;
  ++FLockCount;
  return true;
}

void TCanvas::DeselectHandles() {
  if (FHandle == nullptr) return;
  if ((FState & csFontValid) && FOldFont != nullptr) ::SelectObject(FHandle, FOldFont);
  if ((FState & csPenValid) && FOldPen != nullptr) ::SelectObject(FHandle, FOldPen);
  if ((FState & csBrushValid) && FOldBrush != nullptr) ::SelectObject(FHandle, FOldBrush);
  FOldFont = FOldPen = FOldBrush = nullptr;
  FState &= static_cast<TCanvasState>(~(csFontValid | csPenValid | csBrushValid));
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::ObjectChanged(TObject* sender) {
  // Put back the original object before the changed one's old handle is deleted.
  if (FHandle != nullptr) {
    if (sender == FFont.get() && (FState & csFontValid)) {
      ::SelectObject(FHandle, FOldFont);
      FOldFont = nullptr;
      FState &= static_cast<TCanvasState>(~csFontValid);
    } else if (sender == FPen.get() && (FState & csPenValid)) {
      ::SelectObject(FHandle, FOldPen);
      FOldPen = nullptr;
      FState &= static_cast<TCanvasState>(~csPenValid);
    } else if (sender == FBrush.get() && (FState & csBrushValid)) {
      ::SelectObject(FHandle, FOldBrush);
      FOldBrush = nullptr;
      FState &= static_cast<TCanvasState>(~csBrushValid);
    }
  }
}

void TCanvas::CreateFont() {
  HGDIOBJ old = ::SelectObject(FHandle, FFont->GetHandle());
  if (FOldFont == nullptr) FOldFont = old;
  ::SetTextColor(FHandle, static_cast<COLORREF>(ColorToRGB(FFont->GetColor())));
}
void TCanvas::CreatePen() {
  HGDIOBJ old = ::SelectObject(FHandle, FPen->GetHandle());
  if (FOldPen == nullptr) FOldPen = old;
  ::SetROP2(FHandle, FPen->Rop2());
}
void TCanvas::CreateBrush() {
  ::UnrealizeObject(FBrush->GetHandle());
  HGDIOBJ old = ::SelectObject(FHandle, FBrush->GetHandle());
  if (FOldBrush == nullptr) FOldBrush = old;
  if (FBrush->GetStyle() == TBrushStyle::bsClear && FBrush->GetBitmap() == nullptr) {
    ::SetBkMode(FHandle, TRANSPARENT);
  } else {
    ::SetBkColor(FHandle, static_cast<COLORREF>(ColorToRGB(FBrush->GetColor())));
    ::SetBkMode(FHandle, OPAQUE);
  }
}

void TCanvas::RequiredState(TCanvasState req) {
  if (FHandle == nullptr) {
    CreateHandle();
    if (FHandle == nullptr) throw EInvalidGraphicOperation("Canvas does not allow drawing");
  }
  FState |= csHandleValid;
  // Font and brush colours are DC state: set them again on every use, they are cheap.
  if (req & csFontValid) {
    if (!(FState & csFontValid)) {
      CreateFont();
      FState |= csFontValid;
    } else {
      ::SetTextColor(FHandle, static_cast<COLORREF>(ColorToRGB(FFont->GetColor())));
    }
  }
  if ((req & csPenValid) && !(FState & csPenValid)) {
    CreatePen();
    FState |= csPenValid;
  } else if (req & csPenValid) {
    ::SetROP2(FHandle, FPen->Rop2());
  }
  if ((req & csBrushValid) && !(FState & csBrushValid)) {
    CreateBrush();
    FState |= csBrushValid;
  }
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}
void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::GetPenPos() {
  RequiredState(csHandleValid);
  POINT p{};
  ::GetCurrentPositionEx(FHandle, &p);
  return ToTPoint(p);
}

TRect TCanvas::ClipRect() {
  RequiredState(csHandleValid);
  RECT r{};
  ::GetClipBox(FHandle, &r);
  return ToTRect(r);
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState(csHandleValid);
  ::MoveToEx(FHandle, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(FHandle, x, y);
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  if (points.empty()) return;
  std::vector<POINT> pts;
  pts.reserve(points.size());
  for (const TPoint& p : points) pts.push_back(ToPOINT(p));
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polyline(FHandle, pts.data(), static_cast<int>(pts.size()));
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  if (points.empty()) return;
  std::vector<POINT> pts;
  pts.reserve(points.size());
  for (const TPoint& p : points) pts.push_back(ToPOINT(p));
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polygon(FHandle, pts.data(), static_cast<int>(pts.size()));
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(FHandle, x1, y1, x2, y2);
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  if (r.IsEmpty()) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT rc = ToRECT(r);
  ::FillRect(FHandle, &rc, FBrush->GetHandle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  if (r.IsEmpty()) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT rc = ToRECT(r);
  ::FrameRect(FHandle, &rc, FBrush->GetHandle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  if (r.IsEmpty()) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT rc = ToRECT(r);
  ::DrawFocusRect(FHandle, &rc);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  ::TextOutA(FHandle, x, y, text.data(), static_cast<int>(text.size()));
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  RECT rc = ToRECT(r);
  UINT opts = ETO_CLIPPED;
  if (FBrush->GetStyle() != TBrushStyle::bsClear) opts |= ETO_OPAQUE;
  ::ExtTextOutA(FHandle, x, y, opts, &rc, text.data(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE s{};
  ::GetTextExtentPoint32A(FHandle, text.data(), static_cast<int>(text.size()), &s);
  return ToTSize(s);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  StretchDraw(Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()), graphic);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  Changing();
  RequiredState(csHandleValid);
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& src) {
  if (source == nullptr) return;
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  HDC sdc = source->GetHandle();
  ::StretchBlt(FHandle, dest.Left, dest.Top, dest.Width(), dest.Height(), sdc, src.Left, src.Top,
               src.Width(), src.Height(), CopyMode);
  Changed();
}

TColor TCanvas::GetPixel(int x, int y) {
  RequiredState(csHandleValid);
  return static_cast<TColor>(::GetPixel(FHandle, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor c) {
  Changing();
  RequiredState(csHandleValid);
  ::SetPixel(FHandle, x, y, static_cast<COLORREF>(ColorToRGB(c)));
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Graphic

void TGraphic::LoadFromFile(const std::string& path) {
  TFileStream s(path, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(s);
}

void TGraphic::SaveToFile(const std::string& path) {
  TFileStream s(path, fmCreate);
  SaveToStream(s);
}

void TGraphic::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  HRSRC res = ::FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL mem = res != nullptr ? ::LoadResource(instance, res) : nullptr;
  const void* data = mem != nullptr ? ::LockResource(mem) : nullptr;
  if (data == nullptr) throw EInvalidGraphic("Resource " + name + " not found");
  TReadOnlyMemoryStream s(data, ::SizeofResource(instance, res));
  LoadFromStream(s);
}

void TGraphic::SetTransparent(bool on) {
  if (on == FTransparent) return;
  FTransparent = on;
  Changed(this);
}

void TGraphic::SetModified(bool on) {
  if (on) Changed(this);
  else FModified = false;
}

void TGraphic::Changed(TObject*) {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::Progress(TObject* sender, TProgressStage stage, Byte percent, bool redrawNow,
                        const TRect& r, const std::string& msg) {
  if (OnProgress) OnProgress(sender, stage, percent, redrawNow, r, msg);
}

std::unique_ptr<TGraphic> CreateGraphic(TGraphicClass cls) {
  if (cls == nullptr || cls->Create == nullptr || !cls->InheritsFrom(&TGraphic::StaticClassInfo()))
    return nullptr;
  return std::unique_ptr<TGraphic>(static_cast<TGraphic*>(cls->Create(nullptr)));
}

// ---------------------------------------------------------------------------------------------
// Bitmap: DIB sections, pixel formats

namespace {

int ScreenBits() {
  static const int bits = [] {
    TWindowDC dc(nullptr);
    return dc.Valid() ? ::GetDeviceCaps(dc.Get(), BITSPIXEL) * ::GetDeviceCaps(dc.Get(), PLANES) : 32;
  }();
  return bits;
}

// The DIB header with room for a full colour table (or the three bit-field masks).
struct TBitmapInfo256 {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
};

std::uint64_t StrideOf(int w, int bits) { return ((static_cast<std::uint64_t>(w) * bits + 31) / 32) * 4; }

void CheckSize(int w, int h, int bits) {
  if (w < 0 || h < 0 || w > MaxBitmapSide || h > MaxBitmapSide)
    throw EInvalidGraphic(Format("Bitmap size %dx%d is not valid", w, h));
  if (StrideOf(w, bits) * static_cast<std::uint64_t>(h) > MaxBitmapBytes)
    throw EInvalidGraphic(Format("Bitmap size %dx%d is too large", w, h));
}

std::uint32_t QuadToPixel(const RGBQUAD& q) {
  return static_cast<std::uint32_t>(q.rgbBlue) | (static_cast<std::uint32_t>(q.rgbGreen) << 8) |
         (static_cast<std::uint32_t>(q.rgbRed) << 16);
}
RGBQUAD PixelToQuad(std::uint32_t p) {
  return RGBQUAD{static_cast<BYTE>(p), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p >> 16), 0};
}

std::vector<RGBQUAD> PaletteEntries(HPALETTE pal) {
  std::vector<RGBQUAD> t;
  if (pal == nullptr) return t;
  WORD n = 0;
  if (::GetObjectA(pal, sizeof(n), &n) == 0 || n == 0) return t;
  std::vector<PALETTEENTRY> e(n);
  n = static_cast<WORD>(::GetPaletteEntries(pal, 0, n, e.data()));
  for (WORD i = 0; i < n; ++i) t.push_back(RGBQUAD{e[i].peBlue, e[i].peGreen, e[i].peRed, 0});
  return t;
}

HPALETTE PaletteFromTable(const std::vector<RGBQUAD>& table) {
  if (table.empty()) return nullptr;
  std::vector<std::uint8_t> buf(sizeof(LOGPALETTE) + table.size() * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(table.size());
  for (size_t i = 0; i < table.size(); ++i)
    lp->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
  return ::CreatePalette(lp);
}

// The fallback palettes for a palettised target whose image has too many colours.
std::vector<RGBQUAD> DefaultTable(int bits) {
  std::vector<RGBQUAD> t;
  if (bits == 1) {
    t = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  } else if (bits == 4) {
    static const std::uint32_t vga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                          0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                          0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};   // as BGR pixels
    for (std::uint32_t v : vga) t.push_back(PixelToQuad(v));
  } else {
    TWindowDC dc(nullptr);
    TOwnedPalette half(::CreateHalftonePalette(dc.Get()));
    t = PaletteEntries(half.Get());
    if (t.empty()) {   // a 6x6x6 cube when the system gives none
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            t.push_back(RGBQUAD{static_cast<BYTE>(b * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(r * 51), 0});
    }
    if (t.size() > 256) t.resize(256);
  }
  return t;
}

int NearestIndex(const std::vector<RGBQUAD>& table, std::uint32_t p) {
  int best = 0;
  long bestD = LONG_MAX;
  int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  for (size_t i = 0; i < table.size(); ++i) {
    long dr = r - table[i].rgbRed, dg = g - table[i].rgbGreen, db = b - table[i].rgbBlue;
    long d = dr * dr + dg * dg + db * db;
    if (d < bestD) {
      bestD = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

std::uint8_t Expand5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }
std::uint8_t Expand6(unsigned v) { return static_cast<std::uint8_t>((v << 2) | (v >> 4)); }

}  // namespace

int PixelFormatBits(TPixelFormat pf) {
  switch (pf) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf4bit: return 4;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf15bit:
    case TPixelFormat::pf16bit: return 16;
    case TPixelFormat::pf24bit: return 24;
    case TPixelFormat::pf32bit: return 32;
    default: return 0;
  }
}

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
  if (FDC.Valid()) return;
  TOwnedMemoryDC dc(::CreateCompatibleDC(nullptr));
  if (!dc.Valid()) {
    DWORD code = ::GetLastError();
    throw EOutOfResources("CreateCompatibleDC: " + SysErrorMessage(code));
  }
  HBITMAP bmp = FBitmap->FHandle.Get();
  FOldBitmap = bmp != nullptr ? ::SelectObject(dc.Get(), bmp) : nullptr;
  HPALETTE pal = FBitmap->GetPalette();
  FOldPalette = pal != nullptr ? ::SelectPalette(dc.Get(), pal, TRUE) : nullptr;
  if (pal != nullptr) ::RealizePalette(dc.Get());
  FDC = std::move(dc);
  SetHandle(FDC.Get());
}

void TBitmapCanvas::FreeContext() {
  if (!FDC.Valid()) return;
  SetHandle(nullptr);
  if (FOldBitmap != nullptr) ::SelectObject(FDC.Get(), FOldBitmap);
  if (FOldPalette != nullptr) ::SelectPalette(FDC.Get(), FOldPalette, TRUE);
  FOldBitmap = nullptr;
  FOldPalette = nullptr;
  FDC.Reset();
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() { FreeContext(); }

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(this);
    FCanvas->OnChange = [this](TObject* s) { Changed(s); };
  }
  return FCanvas.get();
}

TPixelFormat TBitmap::StoredFormat() const {
  if (FPixelFormat != TPixelFormat::pfDevice) return FPixelFormat;
  switch (ScreenBits()) {
    case 1: return TPixelFormat::pf1bit;
    case 4: return TPixelFormat::pf4bit;
    case 8: return TPixelFormat::pf8bit;
    case 15: return TPixelFormat::pf15bit;
    case 16: return TPixelFormat::pf16bit;
    case 24: return TPixelFormat::pf24bit;
    default: return TPixelFormat::pf32bit;
  }
}

TBitmapHandleType TBitmap::GetHandleType() const {
  return FPixelFormat == TPixelFormat::pfDevice ? TBitmapHandleType::bmDDB : TBitmapHandleType::bmDIB;
}

void TBitmap::SetHandleType(TBitmapHandleType t) {
  // The storage is a DIB section either way; only the reported format changes.
  if (t == TBitmapHandleType::bmDIB && FPixelFormat == TPixelFormat::pfDevice) FPixelFormat = StoredFormat();
  else if (t == TBitmapHandleType::bmDDB && FPixelFormat != TPixelFormat::pfDevice) SetPixelFormat(TPixelFormat::pfDevice);
}

int TBitmap::RowStride() const { return static_cast<int>(StrideOf(FWidth, PixelFormatBits(StoredFormat()))); }

std::uint8_t* TBitmap::RowPtr(int y) const {
  return static_cast<std::uint8_t*>(FBits) + static_cast<std::ptrdiff_t>(FHeight - 1 - y) * RowStride();
}

void TBitmap::NewDIB(TPixelFormat pf, int w, int h, std::vector<RGBQUAD> table) {
  TPixelFormat saved = FPixelFormat;
  FPixelFormat = pf;
  TPixelFormat stored = StoredFormat();
  FPixelFormat = saved;
  int bits = PixelFormatBits(stored);
  CheckSize(w, h, bits);
  if (bits > 8) table.clear();
  else table.resize(static_cast<size_t>(1) << bits, RGBQUAD{0, 0, 0, 0});

  TOwnedBitmap bmp;
  void* pixels = nullptr;
  if (w > 0 && h > 0) {
    TBitmapInfo256 bi{};
    bi.Header.biSize = sizeof(BITMAPINFOHEADER);
    bi.Header.biWidth = w;
    bi.Header.biHeight = h;   // bottom-up, as bitmap files store rows
    bi.Header.biPlanes = 1;
    bi.Header.biBitCount = static_cast<WORD>(bits);
    bi.Header.biCompression = BI_RGB;
    if (stored == TPixelFormat::pf16bit) {
      bi.Header.biCompression = BI_BITFIELDS;
      const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
      std::memcpy(bi.Colors, masks, sizeof(masks));
    }
    for (size_t i = 0; i < table.size(); ++i) bi.Colors[i] = table[i];
    bi.Header.biClrUsed = static_cast<DWORD>(table.size());
    bmp.Reset(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bmp.Valid() || pixels == nullptr) {
      DWORD code = ::GetLastError();
      throw EOutOfResources(Format("CreateDIBSection %dx%d: ", w, h) + SysErrorMessage(code));
    }
    std::memset(pixels, 0, static_cast<size_t>(StrideOf(w, bits) * static_cast<std::uint64_t>(h)));
  }
  FreeContext();
  FHandle = std::move(bmp);
  FBits = pixels;
  FWidth = w;
  FHeight = h;
  FPixelFormat = pf;
  FTable = std::move(table);
}

HBITMAP TBitmap::GetHandle() {
  // A bitmap can be selected into one DC only: let the canvas go so that the caller may select
  // it elsewhere. A locked canvas keeps its DC (someone is drawing through it).
  if (FCanvas && FCanvas->LockCount() == 0) FreeContext();
  return FHandle.Get();
}

void TBitmap::FreeImage() {
  FreeContext();
  FHandle.Reset();
  FPalette.Reset();
  FBits = nullptr;
  FWidth = FHeight = 0;
  FTable.clear();
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext();
  HBITMAP h = FHandle.Release();
  FBits = nullptr;
  FWidth = FHeight = 0;
  FTable.clear();
  Changed(this);
  return h;
}

void TBitmap::SetHandle(HBITMAP bmp) {
  if (bmp == FHandle.Get()) return;
  TOwnedBitmap owned(bmp);
  if (bmp == nullptr) {
    FreeImage();
    Changed(this);
    return;
  }
  DIBSECTION ds{};
  int got = ::GetObjectA(bmp, sizeof(ds), &ds);
  if (got == 0) throw EInvalidGraphic("Bitmap handle is not valid");
  bool adopt = got == sizeof(DIBSECTION) && ds.dsBmih.biHeight > 0 && ds.dsBm.bmBits != nullptr &&
               ((ds.dsBmih.biCompression == BI_RGB && ds.dsBmih.biBitCount != 16) ||
                (ds.dsBmih.biBitCount == 16 && ds.dsBmih.biCompression == BI_RGB) ||
                (ds.dsBmih.biBitCount == 16 && ds.dsBmih.biCompression == BI_BITFIELDS &&
                 ds.dsBitfields[0] == 0xF800 && ds.dsBitfields[1] == 0x07E0 && ds.dsBitfields[2] == 0x001F));
  int w = ds.dsBm.bmWidth, h = ds.dsBm.bmHeight;
  if (adopt) {
    TPixelFormat pf = TPixelFormat::pf32bit;
    switch (ds.dsBmih.biBitCount) {
      case 1: pf = TPixelFormat::pf1bit; break;
      case 4: pf = TPixelFormat::pf4bit; break;
      case 8: pf = TPixelFormat::pf8bit; break;
      case 16: pf = ds.dsBmih.biCompression == BI_RGB ? TPixelFormat::pf15bit : TPixelFormat::pf16bit; break;
      case 24: pf = TPixelFormat::pf24bit; break;
      default: pf = TPixelFormat::pf32bit; break;
    }
    std::vector<RGBQUAD> table;
    if (ds.dsBmih.biBitCount <= 8) {
      table.resize(static_cast<size_t>(1) << ds.dsBmih.biBitCount);
      TMemoryDC dc;
      TSelectObject sel(dc.Get(), bmp);
      ::GetDIBColorTable(dc.Get(), 0, static_cast<UINT>(table.size()), table.data());
    }
    FreeContext();
    FPalette.Reset();
    FHandle = std::move(owned);
    FBits = ds.dsBm.bmBits;
    FWidth = w;
    FHeight = h;
    FPixelFormat = pf;
    FTable = std::move(table);
    if (pf == TPixelFormat::pf8bit || pf == TPixelFormat::pf4bit || pf == TPixelFormat::pf1bit)
      FPalette.Reset(PaletteFromTable(FTable));
  } else {
    // A device bitmap (or an unusual DIB): copy it as 32-bit pixels into our own DIB section.
    NewDIB(TPixelFormat::pf32bit, w, h < 0 ? -h : h, {});
    BITMAPINFOHEADER bh{};
    bh.biSize = sizeof(bh);
    bh.biWidth = FWidth;
    bh.biHeight = FHeight;
    bh.biPlanes = 1;
    bh.biBitCount = 32;
    bh.biCompression = BI_RGB;
    TWindowDC screen(nullptr);
    if (FWidth > 0 && FHeight > 0)
      ::GetDIBits(screen.Get(), bmp, 0, static_cast<UINT>(FHeight), FBits, reinterpret_cast<BITMAPINFO*>(&bh), DIB_RGB_COLORS);
    FPalette.Reset();
  }
  Changed(this);
}

void TBitmap::SetSize(int w, int h) {
  if (w == FWidth && h == FHeight) return;
  TPixelFormat pf = FPixelFormat;
  int bits = PixelFormatBits(StoredFormat());
  CheckSize(w, h, bits);
  // Keep the overlapping top-left part: rows are copied from the top, whole bytes.
  std::vector<std::uint8_t> keep;
  int oldW = FWidth, oldH = FHeight;
  size_t oldStride = static_cast<size_t>(StrideOf(oldW, bits));
  if (FBits != nullptr) {
    ::GdiFlush();
    keep.assign(static_cast<std::uint8_t*>(FBits), static_cast<std::uint8_t*>(FBits) + oldStride * static_cast<size_t>(oldH));
  }
  std::vector<RGBQUAD> table = FTable;
  NewDIB(pf, w, h, table);
  if (!keep.empty() && FBits != nullptr) {
    size_t rowBytes = static_cast<size_t>((static_cast<std::uint64_t>(std::min(oldW, w)) * bits + 7) / 8);
    int rows = std::min(oldH, h);
    for (int y = 0; y < rows; ++y)
      std::memcpy(RowPtr(y), keep.data() + static_cast<size_t>(oldH - 1 - y) * oldStride, rowBytes);
  }
  Changed(this);
}

void* TBitmap::ScanLine(int y) {
  if (FBits == nullptr || y < 0 || y >= FHeight)
    throw EInvalidGraphic(Format("Scan line index out of range (%d)", y));
  if (FPixelFormat == TPixelFormat::pfDevice) FPixelFormat = StoredFormat();
  ::GdiFlush();   // GDI may still be drawing into the section
  return RowPtr(y);
}

std::vector<std::uint32_t> TBitmap::ReadPixels32() const {
  std::vector<std::uint32_t> px(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight));
  if (FBits == nullptr) return px;
  ::GdiFlush();
  for (int y = 0; y < FHeight; ++y) DecodeRow(y, px.data() + static_cast<size_t>(y) * FWidth);
  return px;
}

void TBitmap::DecodeRow(int y, std::uint32_t* out) const {
  TPixelFormat pf = StoredFormat();
  int bits = PixelFormatBits(pf);
  {
    const std::uint8_t* row = RowPtr(y);
    for (int x = 0; x < FWidth; ++x) {
      std::uint32_t v = 0;
      if (bits <= 8) {
        unsigned idx = bits == 8 ? row[x]
                       : bits == 4 ? (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0xF
                                   : (row[x / 8] >> (7 - (x & 7))) & 1;
        v = idx < FTable.size() ? QuadToPixel(FTable[idx]) : 0;
      } else if (bits == 16) {
        unsigned w16 = row[x * 2] | (row[x * 2 + 1] << 8);
        if (pf == TPixelFormat::pf15bit)
          v = Expand5(w16 & 0x1F) | (Expand5((w16 >> 5) & 0x1F) << 8) | (static_cast<std::uint32_t>(Expand5((w16 >> 10) & 0x1F)) << 16);
        else
          v = Expand5(w16 & 0x1F) | (Expand6((w16 >> 5) & 0x3F) << 8) | (static_cast<std::uint32_t>(Expand5((w16 >> 11) & 0x1F)) << 16);
      } else if (bits == 24) {
        v = row[x * 3] | (row[x * 3 + 1] << 8) | (static_cast<std::uint32_t>(row[x * 3 + 2]) << 16);
      } else {
        std::memcpy(&v, row + x * 4, 4);
      }
      out[x] = v;
    }
  }
}

void TBitmap::WritePixels32(const std::vector<std::uint32_t>& px) {
  if (FBits == nullptr) return;
  TPixelFormat pf = StoredFormat();
  int bits = PixelFormatBits(pf);
  std::unordered_map<std::uint32_t, int> nearest;
  for (int y = 0; y < FHeight; ++y) {
    std::uint8_t* row = RowPtr(y);
    const std::uint32_t* in = px.data() + static_cast<size_t>(y) * FWidth;
    std::memset(row, 0, static_cast<size_t>(RowStride()));
    for (int x = 0; x < FWidth; ++x) {
      std::uint32_t v = in[x];
      if (bits <= 8) {
        std::uint32_t key = v & 0xFFFFFF;
        auto it = nearest.find(key);
        int idx = it != nearest.end() ? it->second : (nearest[key] = NearestIndex(FTable, key));
        if (bits == 8) row[x] = static_cast<std::uint8_t>(idx);
        else if (bits == 4) row[x / 2] |= static_cast<std::uint8_t>(idx << ((x & 1) ? 0 : 4));
        else row[x / 8] |= static_cast<std::uint8_t>((idx & 1) << (7 - (x & 7)));
      } else if (bits == 16) {
        unsigned r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
        unsigned w16 = pf == TPixelFormat::pf15bit ? ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)
                                                   : ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        row[x * 2] = static_cast<std::uint8_t>(w16);
        row[x * 2 + 1] = static_cast<std::uint8_t>(w16 >> 8);
      } else if (bits == 24) {
        row[x * 3] = static_cast<std::uint8_t>(v);
        row[x * 3 + 1] = static_cast<std::uint8_t>(v >> 8);
        row[x * 3 + 2] = static_cast<std::uint8_t>(v >> 16);
      } else {
        std::memcpy(row + x * 4, &v, 4);
      }
    }
  }
}

void TBitmap::SetPixelFormat(TPixelFormat pf) {
  if (pf == TPixelFormat::pfCustom) throw EInvalidGraphic("Custom pixel formats cannot be set");
  if (pf == FPixelFormat) return;
  if (FPixelFormat == TPixelFormat::pfDevice && pf == StoredFormat()) {   // same storage
    FPixelFormat = pf;
    Changed(this);
    return;
  }
  TPixelFormat saved = FPixelFormat;
  FPixelFormat = pf;
  int bits = PixelFormatBits(StoredFormat());
  FPixelFormat = saved;
  std::vector<std::uint32_t> px = ReadPixels32();
  std::vector<RGBQUAD> table;
  if (bits <= 8) {
    size_t cap = static_cast<size_t>(1) << bits;
    std::vector<RGBQUAD> own = PaletteEntries(FPalette.Get());
    if (!own.empty() && own.size() <= cap) {
      table = own;
    } else {
      // The image's own colours when they fit: a few-colour picture stays exact.
      std::vector<std::uint32_t> distinct;
      std::unordered_map<std::uint32_t, bool> seen;
      for (std::uint32_t p : px) {
        std::uint32_t k = p & 0xFFFFFF;
        if (seen.emplace(k, true).second) {
          distinct.push_back(k);
          if (distinct.size() > cap) break;
        }
      }
      if (distinct.empty()) {
        table = DefaultTable(bits);   // no pixels yet: a useful palette, not all black
      } else if (distinct.size() <= cap) {
        std::sort(distinct.begin(), distinct.end());
        for (std::uint32_t k : distinct) table.push_back(PixelToQuad(k));
      } else {
        table = DefaultTable(bits);
      }
    }
  }
  NewDIB(pf, FWidth, FHeight, table);
  WritePixels32(px);
  FPalette.Reset(bits <= 8 ? PaletteFromTable(table) : nullptr);
  Changed(this);
}

void TBitmap::SetTable(std::vector<RGBQUAD> table) {
  int bits = PixelFormatBits(StoredFormat());
  if (bits > 8) return;
  table.resize(static_cast<size_t>(1) << bits, RGBQUAD{0, 0, 0, 0});
  FTable = table;
  if (!FHandle.Valid()) return;
  if (FCanvas && FCanvas->HandleAllocated()) {
    ::SetDIBColorTable(FCanvas->GetHandle(), 0, static_cast<UINT>(FTable.size()), FTable.data());
  } else {
    TMemoryDC dc;
    TSelectObject sel(dc.Get(), FHandle.Get());
    ::SetDIBColorTable(dc.Get(), 0, static_cast<UINT>(FTable.size()), FTable.data());
  }
}

void TBitmap::SetPalette(HPALETTE pal) {
  if (pal == FPalette.Get()) return;
  FreeContext();   // the canvas DC has the old palette selected
  FPalette.Reset(pal);
  std::vector<RGBQUAD> entries = PaletteEntries(pal);
  if (!entries.empty()) SetTable(entries);
  Changed(this);
}

HPALETTE TBitmap::ReleasePalette() {
  FreeContext();
  return FPalette.Release();
}

std::vector<RGBQUAD> TBitmap::ColorTable() const { return FTable; }

TColor TBitmap::GetTransparentColor() {
  if (FTransparentMode == TTransparentMode::tmFixed) return FTransparentColor;
  if (FBits == nullptr) return clDefault;
  // The bottom-left pixel, read from the section without the canvas.
  ::GdiFlush();
  std::vector<std::uint32_t> row(static_cast<size_t>(FWidth));
  DecodeRow(FHeight - 1, row.data());
  std::uint32_t p = row[0];
  return static_cast<TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}

void TBitmap::SetTransparentColor(TColor c) {
  FTransparentColor = c;
  FTransparentMode = c == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode m) {
  if (m == FTransparentMode) return;
  FTransparentMode = m;
  Changed(this);
}

void TBitmap::Changed(TObject* sender) { Inherited::Changed(sender); }

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
  if (Empty() || canvas == nullptr) return;
  HDC dst = canvas->GetHandle();
  HDC src = Canvas()->GetHandle();
  TSelectPalette pal(dst, FPalette.Get(), true);
  if (FTransparent) {
    COLORREF key = static_cast<COLORREF>(ColorToRGB(GetTransparentColor()) & 0xFFFFFF);
    ::TransparentBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, FWidth, FHeight, key);
  } else {
    int oldMode = ::SetStretchBltMode(dst, COLORONCOLOR);
    ::StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, FWidth, FHeight, canvas->CopyMode);
    ::SetStretchBltMode(dst, oldMode);
  }
}

void TBitmap::Assign(TPersistent* source) {
  if (source == nullptr) {
    FreeImage();
    Changed(this);
    return;
  }
  if (TBitmap* b = As<TBitmap>(source)) {
    if (b == this) return;
    ::GdiFlush();
    NewDIB(b->FPixelFormat, b->FWidth, b->FHeight, b->FTable);
    if (FBits != nullptr && b->FBits != nullptr)
      std::memcpy(FBits, b->FBits, static_cast<size_t>(RowStride()) * static_cast<size_t>(FHeight));
    FPalette.Reset(b->FPalette.Valid() ? PaletteFromTable(PaletteEntries(b->FPalette.Get())) : nullptr);
    FTransparent = b->FTransparent;
    FTransparentColor = b->FTransparentColor;
    FTransparentMode = b->FTransparentMode;
    Changed(this);
    return;
  }
  Inherited::Assign(source);
}

void TBitmap::AssignTo(TPersistent* dest) { Inherited::AssignTo(dest); }

// ---------------------------------------------------------------------------------------------
// Bitmap: Windows bitmap files. Every field is read byte by byte, little-endian; every size is
// checked before memory is given to it.

namespace {

void ReadExact(TStream& s, void* buf, std::uint64_t n) {
  if (n == 0) return;
  if (s.Read(buf, static_cast<std::int64_t>(n)) != static_cast<std::int64_t>(n))
    throw EInvalidGraphic("Bitmap image is truncated");
}

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& v, std::uint16_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}

// Value of one bit-field channel scaled to 0..255.
unsigned MaskChannel(std::uint32_t v, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  std::uint32_t m = mask >> shift;
  std::uint32_t x = (v & mask) >> shift;
  return static_cast<unsigned>((static_cast<std::uint64_t>(x) * 255 + m / 2) / m);
}

}  // namespace

void TBitmap::LoadFromStream(TStream& stream) {
  FreeImage();
  try {
    ReadBMP(stream);
  } catch (...) {
    FreeImage();
    Changed(this);
    throw;
  }
  Changed(this);
}

namespace {

// What the headers of a bitmap file say, checked.
struct TBmpHeader {
  int Width = 0;
  int Height = 0;
  bool TopDown = false;
  int BitCount = 0;
  bool Core = false;            // OS/2 header: 3-byte colour entries
  std::uint32_t ClrUsed = 0;
  std::uint32_t Masks[3] = {0, 0, 0};
  bool Bitfields = false;
  std::uint32_t OffBits = 0;
  std::uint64_t Consumed = 0;   // bytes read so far
};

const char* const kBadBitmap = "Bitmap image is not valid";

// Reads the file header, the info header and the bit-field masks.
TBmpHeader ReadBmpHeader(TStream& stream) {
  TBmpHeader h;
  std::uint8_t fh[14];
  ReadExact(stream, fh, sizeof(fh));
  if (fh[0] != 'B' || fh[1] != 'M') throw EInvalidGraphic(kBadBitmap);
  h.OffBits = Le32(fh + 10);
  std::uint8_t ih[124] = {};
  ReadExact(stream, ih, 4);
  std::uint32_t hsize = Le32(ih);
  if (hsize != 12 && hsize != 40 && hsize != 52 && hsize != 56 && hsize != 64 && hsize != 108 && hsize != 124)
    throw EInvalidGraphic(kBadBitmap);
  ReadExact(stream, ih + 4, hsize - 4);
  h.Consumed = 14 + hsize;
  std::int64_t w, ht;
  std::uint32_t compression = BI_RGB;
  h.Core = hsize == 12;
  if (h.Core) {
    w = Le16(ih + 4);
    ht = static_cast<std::int16_t>(Le16(ih + 6));
    if (Le16(ih + 8) != 1) throw EInvalidGraphic(kBadBitmap);
    h.BitCount = Le16(ih + 10);
  } else {
    w = static_cast<std::int32_t>(Le32(ih + 4));
    ht = static_cast<std::int32_t>(Le32(ih + 8));
    if (Le16(ih + 12) != 1) throw EInvalidGraphic(kBadBitmap);
    h.BitCount = Le16(ih + 14);
    compression = Le32(ih + 16);
    h.ClrUsed = Le32(ih + 32);
  }
  h.TopDown = ht < 0;
  if (h.TopDown) ht = -ht;
  if (w < 0 || w > MaxBitmapSide || ht > MaxBitmapSide)
    throw EInvalidGraphic(Format("Bitmap size %lldx%lld is not valid", static_cast<long long>(w), static_cast<long long>(ht)));
  h.Width = static_cast<int>(w);
  h.Height = static_cast<int>(ht);
  int bc = h.BitCount;
  if (bc != 1 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32)
    throw EInvalidGraphic(Format("Bitmaps of %d bits per pixel are not supported", bc));
  if (compression == BI_BITFIELDS) {
    if (bc != 16 && bc != 32) throw EInvalidGraphic(kBadBitmap);
    h.Bitfields = true;
    if (hsize == 40) {   // the masks follow the header
      std::uint8_t m[12];
      ReadExact(stream, m, 12);
      h.Consumed += 12;
      for (int i = 0; i < 3; ++i) h.Masks[i] = Le32(m + 4 * i);
    } else {
      for (int i = 0; i < 3; ++i) h.Masks[i] = Le32(ih + 40 + 4 * i);
    }
  } else if (compression != BI_RGB) {
    throw EInvalidGraphic("Compressed bitmaps are not supported");
  } else if (bc == 16) {
    h.Masks[0] = 0x7C00, h.Masks[1] = 0x03E0, h.Masks[2] = 0x001F;
  } else if (bc == 32) {
    h.Masks[0] = 0xFF0000, h.Masks[1] = 0xFF00, h.Masks[2] = 0xFF;
  }
  return h;
}

// Reads the colour table of a palettised file and skips to the pixel data.
std::vector<RGBQUAD> ReadBmpTable(TStream& stream, TBmpHeader& h) {
  std::vector<RGBQUAD> table;
  if (h.BitCount <= 8) {
    std::uint32_t cap = 1u << h.BitCount;
    std::uint32_t n = h.ClrUsed == 0 ? cap : h.ClrUsed;
    if (n > 256) throw EInvalidGraphic(kBadBitmap);
    int entry = h.Core ? 3 : 4;
    std::vector<std::uint8_t> raw(static_cast<size_t>(n) * entry);
    ReadExact(stream, raw.data(), raw.size());
    h.Consumed += raw.size();
    for (std::uint32_t i = 0; i < n && i < cap; ++i)
      table.push_back(RGBQUAD{raw[i * entry], raw[i * entry + 1], raw[i * entry + 2], 0});
  }
  // A table of a direct-colour file lies in the gap and is skipped with it.
  if (h.OffBits < h.Consumed) {
    if (h.OffBits != 0) throw EInvalidGraphic(kBadBitmap);
    return table;
  }
  std::uint64_t gap = h.OffBits - h.Consumed;
  if (gap > MaxBitmapBytes) throw EInvalidGraphic(kBadBitmap);
  std::vector<std::uint8_t> skip(static_cast<size_t>(std::min<std::uint64_t>(gap, 65536)));
  while (gap > 0) {
    std::uint64_t n = std::min<std::uint64_t>(gap, skip.size());
    ReadExact(stream, skip.data(), n);
    gap -= n;
  }
  return table;
}

// The framework format a file's pixels are kept in; false in `direct` when each pixel must be
// decoded through its bit-field masks.
TPixelFormat BmpPixelFormat(const TBmpHeader& h, bool& direct) {
  direct = true;
  const std::uint32_t* m = h.Masks;
  switch (h.BitCount) {
    case 1: return TPixelFormat::pf1bit;
    case 4: return TPixelFormat::pf4bit;
    case 8: return TPixelFormat::pf8bit;
    case 16:
      if (m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F) return TPixelFormat::pf15bit;
      if (m[0] == 0xF800 && m[1] == 0x07E0 && m[2] == 0x001F) return TPixelFormat::pf16bit;
      direct = false;
      return TPixelFormat::pf32bit;
    case 24: return TPixelFormat::pf24bit;
    default:
      direct = m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF;
      return TPixelFormat::pf32bit;
  }
}

}  // namespace

void TBitmap::ReadBMP(TStream& stream) {
  TBmpHeader h = ReadBmpHeader(stream);
  std::vector<RGBQUAD> table = ReadBmpTable(stream, h);
  std::uint64_t stride = StrideOf(h.Width, h.BitCount);
  if (stride * static_cast<std::uint64_t>(h.Height) > MaxBitmapBytes) throw EInvalidGraphic("Bitmap image is too large");
  std::vector<std::uint8_t> data(static_cast<size_t>(stride * static_cast<std::uint64_t>(h.Height)));
  ReadExact(stream, data.data(), data.size());
  auto fileRow = [&](int y) {   // row y from the top
    return data.data() + static_cast<size_t>(h.TopDown ? y : (h.Height - 1 - y)) * static_cast<size_t>(stride);
  };
  bool direct = true;
  TPixelFormat pf = BmpPixelFormat(h, direct);
  NewDIB(pf, h.Width, h.Height, table);
  if (h.BitCount <= 8) FPalette.Reset(PaletteFromTable(table.empty() ? FTable : table));
  if (FBits == nullptr) return;
  for (int y = 0; y < FHeight; ++y) {
    const std::uint8_t* in = fileRow(y);
    std::uint8_t* out = RowPtr(y);
    if (direct) {
      std::memcpy(out, in, static_cast<size_t>(stride));
      continue;
    }
    for (int x = 0; x < FWidth; ++x) {
      std::uint32_t v = h.BitCount == 16 ? Le16(in + 2 * x) : Le32(in + 4 * x);
      out[x * 4] = static_cast<std::uint8_t>(MaskChannel(v, h.Masks[2]));
      out[x * 4 + 1] = static_cast<std::uint8_t>(MaskChannel(v, h.Masks[1]));
      out[x * 4 + 2] = static_cast<std::uint8_t>(MaskChannel(v, h.Masks[0]));
      out[x * 4 + 3] = 0;
    }
  }
}

void TBitmap::SaveToStream(TStream& stream) {
  ::GdiFlush();
  TPixelFormat pf = StoredFormat();
  int bits = FBits != nullptr ? PixelFormatBits(pf) : 24;
  std::uint64_t stride = StrideOf(FWidth, bits);
  std::uint64_t dataSize = stride * static_cast<std::uint64_t>(FHeight);
  std::uint32_t tableBytes = bits <= 8 ? (4u << bits) : (pf == TPixelFormat::pf16bit ? 12u : 0u);
  std::uint32_t offBits = 14 + 40 + tableBytes;
  std::vector<std::uint8_t> head;
  head.push_back('B');
  head.push_back('M');
  Put32(head, static_cast<std::uint32_t>(offBits + dataSize));
  Put32(head, 0);
  Put32(head, offBits);
  Put32(head, 40);
  Put32(head, static_cast<std::uint32_t>(FWidth));
  Put32(head, static_cast<std::uint32_t>(FHeight));   // bottom-up, as stored
  Put16(head, 1);
  Put16(head, static_cast<std::uint16_t>(bits));
  Put32(head, pf == TPixelFormat::pf16bit ? BI_BITFIELDS : BI_RGB);
  Put32(head, static_cast<std::uint32_t>(dataSize));
  Put32(head, 2835);   // 72 dpi
  Put32(head, 2835);
  Put32(head, bits <= 8 ? (1u << bits) : 0);
  Put32(head, 0);
  if (bits <= 8) {
    for (size_t i = 0; i < (static_cast<size_t>(1) << bits); ++i) {
      RGBQUAD q = i < FTable.size() ? FTable[i] : RGBQUAD{0, 0, 0, 0};
      head.push_back(q.rgbBlue);
      head.push_back(q.rgbGreen);
      head.push_back(q.rgbRed);
      head.push_back(0);
    }
  } else if (pf == TPixelFormat::pf16bit) {
    Put32(head, 0xF800);
    Put32(head, 0x07E0);
    Put32(head, 0x001F);
  }
  stream.WriteBuffer(head.data(), static_cast<std::int64_t>(head.size()));
  if (FBits != nullptr) stream.WriteBuffer(FBits, static_cast<std::int64_t>(dataSize));
}

// ---------------------------------------------------------------------------------------------
// Icon

TIcon::TIcon() = default;
TIcon::~TIcon() = default;

void TIcon::Assign(TPersistent* source) {
  if (source == nullptr) {
    SetHandle(nullptr);
    return;
  }
  if (const TIcon* i = As<TIcon>(source)) {
    if (i == this) return;
    FHandle.Reset(i->FHandle.Valid() ? ::CopyIcon(i->FHandle.Get()) : nullptr);
    FWidth = i->FWidth;
    FHeight = i->FHeight;
    FData = i->FData;
    Changed(this);
    return;
  }
  Inherited::Assign(source);
}

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
  if (!FHandle.Valid() || canvas == nullptr) return;
  ::DrawIconEx(canvas->GetHandle(), r.Left, r.Top, FHandle.Get(), r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::SetHandle(HICON icon) {
  if (icon == FHandle.Get()) return;
  FHandle.Reset(icon);
  FData.clear();
  FWidth = FHeight = 0;
  ICONINFO ii{};
  if (icon != nullptr && ::GetIconInfo(icon, &ii)) {
    TOwnedBitmap color(ii.hbmColor), mask(ii.hbmMask);
    BITMAP bm{};
    if (::GetObjectA(mask.Get(), sizeof(bm), &bm) != 0) {
      FWidth = bm.bmWidth;
      FHeight = color.Valid() ? bm.bmHeight : bm.bmHeight / 2;   // a monochrome icon stacks two masks
    }
  }
  Changed(this);
}

HICON TIcon::ReleaseHandle() {
  FData.clear();
  FWidth = FHeight = 0;
  return FHandle.Release();
}

void TIcon::LoadFromStream(TStream& stream) {
  const char* bad = "Icon image is not valid";
  std::int64_t avail = stream.Size() - stream.Position();
  if (avail < 6 || avail > (16 << 20)) throw EInvalidGraphic(bad);
  std::vector<std::uint8_t> data(static_cast<size_t>(avail));
  ReadExact(stream, data.data(), data.size());
  if (Le16(data.data()) != 0 || Le16(data.data() + 2) != 1) throw EInvalidGraphic(bad);
  unsigned count = Le16(data.data() + 4);
  if (count == 0 || 6 + 16ull * count > data.size()) throw EInvalidGraphic(bad);
  // The image nearest the system's icon size, the deepest colour among equals.
  int want = ::GetSystemMetrics(SM_CXICON);
  int best = -1;
  long bestScore = LONG_MAX;
  for (unsigned i = 0; i < count; ++i) {
    const std::uint8_t* e = data.data() + 6 + 16 * i;
    int ew = e[0] == 0 ? 256 : e[0];
    std::uint64_t size = Le32(e + 8), off = Le32(e + 12);
    if (off + size > data.size() || size < 40) continue;
    long score = std::labs(static_cast<long>(ew - want)) * 100 - Le16(e + 6);
    if (score < bestScore) {
      bestScore = score;
      best = static_cast<int>(i);
    }
  }
  if (best < 0) throw EInvalidGraphic(bad);
  const std::uint8_t* e = data.data() + 6 + 16 * best;
  int ew = e[0] == 0 ? 256 : e[0], eh = e[1] == 0 ? 256 : e[1];
  HICON icon = ::CreateIconFromResourceEx(data.data() + Le32(e + 12), Le32(e + 8), TRUE, 0x00030000, ew, eh, LR_DEFAULTCOLOR);
  if (icon == nullptr) throw EInvalidGraphic(bad);
  FHandle.Reset(icon);
  FWidth = ew;
  FHeight = eh;
  FData = std::move(data);
  Changed(this);
}

void TIcon::SaveToStream(TStream& stream) {
  if (FData.empty()) throw EInvalidGraphic("Icon has no file data to save");
  stream.WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

// ---------------------------------------------------------------------------------------------
// Picture and the registry of formats

namespace {

struct TFileFormat {
  std::string Ext;
  std::string Description;
  TGraphicClass Class;
};

std::vector<TFileFormat>& FileFormats() {
  static std::vector<TFileFormat> formats = [] {
    std::vector<TFileFormat> f;
    f.push_back({"bmp", "Bitmaps", &TBitmap::StaticClassInfo()});
    f.push_back({"ico", "Icons", &TIcon::StaticClassInfo()});
    return f;
  }();
  static bool jpeg = false;
  if (!jpeg) {
    jpeg = true;
    RegisterJpegFormats();
  }
  return formats;
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& ext, const std::string& description, TGraphicClass cls) {
  std::vector<TFileFormat>& f = FileFormats();
  std::string e = LowerCase(ext);
  if (!e.empty() && e[0] == '.') e.erase(0, 1);
  for (TFileFormat& x : f) {
    if (x.Ext == e) {
      x.Description = description;
      x.Class = cls;
      return;
    }
  }
  f.push_back({e, description, cls});
}

void TPicture::UnregisterGraphicClass(TGraphicClass cls) {
  std::vector<TFileFormat>& f = FileFormats();
  f.erase(std::remove_if(f.begin(), f.end(), [cls](const TFileFormat& x) { return x.Class == cls; }), f.end());
}

TGraphicClass TPicture::FindFileFormat(const std::string& ext) {
  std::string e = LowerCase(ext);
  if (!e.empty() && e[0] == '.') e.erase(0, 1);
  for (const TFileFormat& x : FileFormats())
    if (x.Ext == e) return x.Class;
  return nullptr;
}

std::string TPicture::GraphicFilter(TGraphicClass cls) {
  std::string s;
  for (const TFileFormat& x : FileFormats()) {
    if (cls != nullptr && !x.Class->InheritsFrom(cls)) continue;
    if (!s.empty()) s += "|";
    s += x.Description + " (*." + x.Ext + ")|*." + x.Ext;
  }
  return s;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Attach(std::unique_ptr<TGraphic> g) {
  FGraphic = std::move(g);
  if (FGraphic) {
    FGraphic->OnChange = [this](TObject* s) { GraphicChanged(s); };
    FGraphic->OnProgress = [this](TObject* sender, TProgressStage st, Byte pc, bool rn, const TRect& r, const std::string& m) {
      if (OnProgress) OnProgress(sender, st, pc, rn, r, m);
    };
  }
  GraphicChanged(this);
}

void TPicture::GraphicChanged(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(TGraphic* g) {
  if (g == FGraphic.get()) return;
  if (g == nullptr) {
    Attach(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy = CreateGraphic(g->ClassInfo());
  if (!copy) throw EInvalidGraphic(std::string("Cannot copy a graphic of class ") + g->ClassName());
  copy->Assign(g);
  Attach(std::move(copy));
}

void TPicture::Assign(TPersistent* source) {
  if (source == nullptr) {
    SetGraphic(nullptr);
  } else if (TPicture* p = As<TPicture>(source)) {
    if (p != this) SetGraphic(p->FGraphic.get());
  } else if (TGraphic* g = As<TGraphic>(source)) {
    SetGraphic(g);
  } else {
    Inherited::Assign(source);
  }
}

void TPicture::AssignTo(TPersistent* dest) {
  if (FGraphic && As<TGraphic>(dest) != nullptr) dest->Assign(FGraphic.get());
  else Inherited::AssignTo(dest);
}

TBitmap* TPicture::Bitmap() {
  if (As<TBitmap>(FGraphic.get()) == nullptr) Attach(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon() {
  if (As<TIcon>(FGraphic.get()) == nullptr) Attach(std::make_unique<TIcon>());
  return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::LoadFromFile(const std::string& path) {
  std::string ext = ExtractFileExt(path);
  TGraphicClass cls = FindFileFormat(ext);
  if (cls == nullptr) throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
  std::unique_ptr<TGraphic> g = CreateGraphic(cls);
  if (!g) throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
  g->OnProgress = OnProgress;
  g->LoadFromFile(path);   // a failure leaves the picture as it was
  Attach(std::move(g));
}

void TPicture::SaveToFile(const std::string& path) {
  if (FGraphic) FGraphic->SaveToFile(path);
}

void TPicture::ReadData(TStream& stream) {
  std::uint8_t len = 0;
  if (stream.Read(&len, 1) != 1 || len == 0) {
    Attach(nullptr);
    return;
  }
  std::string name(len, '\0');
  ReadExact(stream, name.data(), len);
  const TClassInfo* cls = FindClassInfo(name);
  std::unique_ptr<TGraphic> g = CreateGraphic(cls);
  if (!g) throw EInvalidGraphic("Unknown picture class \"" + name + "\"");
  g->LoadFromStream(stream);
  Attach(std::move(g));
}

void TPicture::WriteData(TStream& stream) {
  if (!FGraphic) {
    std::uint8_t zero = 0;
    stream.WriteBuffer(&zero, 1);
    return;
  }
  std::string name = FGraphic->ClassName();
  std::uint8_t len = static_cast<std::uint8_t>(std::min<size_t>(name.size(), 255));
  stream.WriteBuffer(&len, 1);
  stream.WriteBuffer(name.data(), len);
  FGraphic->SaveToStream(stream);
}

// ---------------------------------------------------------------------------------------------
// Class tables and start-up

ORBEX_IMPLEMENT_CLASS(TGraphicsObject, TPersistent, nullptr)
ORBEX_IMPLEMENT_PUBLISHED(TFont, TGraphicsObject, &CreateObjectOf<TFont>)
ORBEX_IMPLEMENT_PUBLISHED(TPen, TGraphicsObject, &CreateObjectOf<TPen>)
ORBEX_IMPLEMENT_PUBLISHED(TBrush, TGraphicsObject, &CreateObjectOf<TBrush>)
ORBEX_IMPLEMENT_CLASS(TCanvas, TPersistent, &CreateObjectOf<TCanvas>)
ORBEX_IMPLEMENT_CLASS(TBitmapCanvas, TCanvas, nullptr)
ORBEX_IMPLEMENT_CLASS(TGraphic, TPersistent, nullptr)
ORBEX_IMPLEMENT_CLASS(TBitmap, TGraphic, &CreateObjectOf<TBitmap>)
ORBEX_IMPLEMENT_CLASS(TIcon, TGraphic, &CreateObjectOf<TIcon>)
ORBEX_IMPLEMENT_PUBLISHED(TPicture, TPersistent, &CreateObjectOf<TPicture>)

void TFont::PublishProperties(TPublisher<TFont>& P) {
  P.Integer("Charset", &TFont::GetCharset, &TFont::SetCharset).Default(DEFAULT_CHARSET);
  P.Color("Color", &TFont::GetColor, &TFont::SetColor).Default(clWindowText);
  P.Integer("Height", &TFont::GetHeight, &TFont::SetHeight);
  P.String("Name", &TFont::GetName, &TFont::SetName);
  P.Enum("Pitch", &TFont::GetPitch, &TFont::SetPitch, {"fpDefault", "fpVariable", "fpFixed"}).Default(0);
  P.Integer("Size", &TFont::GetSize, &TFont::SetSize).Stored([](TFont&) { return false; });
  P.Set("Style", &TFont::GetStyle, &TFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}).Default(0);
}

void TPen::PublishProperties(TPublisher<TPen>& P) {
  P.Color("Color", &TPen::GetColor, &TPen::SetColor).Default(clBlack);
  P.Enum("Mode", &TPen::GetMode, &TPen::SetMode,
         {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot", "pmMaskPenNot",
          "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"})
      .Default(static_cast<int>(TPenMode::pmCopy));
  P.Enum("Style", &TPen::GetStyle, &TPen::SetStyle,
         {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"})
      .Default(0);
  P.Integer("Width", &TPen::GetWidth, &TPen::SetWidth).Default(1);
}

void TBrush::PublishProperties(TPublisher<TBrush>& P) {
  P.Color("Color", &TBrush::GetColor, &TBrush::SetColor).Default(clWhite);
  P.Enum("Style", &TBrush::GetStyle, &TBrush::SetStyle,
         {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"})
      .Default(0);
}

void TPicture::PublishProperties(TPublisher<TPicture>& P) {
  P.Binary("Data", &TPicture::ReadData, &TPicture::WriteData, [](TPicture& p) { return p.GetGraphic() != nullptr; });
}

void InitGraphicsUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterColorIdents(ColorIdentToInt, IntToColorIdent);
  RegisterClassOf<TBitmap>();
  RegisterClassOf<TIcon>();
  RegisterClassOf<TJPEGImage>();
  RegisterClassOf<TPicture>();
  RegisterClassOf<TFont>();
  RegisterClassOf<TPen>();
  RegisterClassOf<TBrush>();
  FileFormats();
}

// The graphics unit also starts itself when its object file is linked, so that stored forms
// find colour names and graphic classes even before the start-up list runs; InitGraphicsUnit
// stays idempotent for that list.
namespace {
[[maybe_unused]] const bool GraphicsUnitStarted = (InitGraphicsUnit(), true);
}
