// Graphics over GDI: colours, font/pen/brush, canvas, graphic, icon, picture and the
// picture-format registry. See Graphics.h for ownership; TBitmap is in Bitmap.cpp.
//
// Sections: colours; graphics objects; canvas; graphic; icon; picture and formats; class
// tables and start-up.
#include "framework/win/Graphics.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "framework/base/TypInfo.h"
#include "framework/win/GraphicsInternal.h"
#include "framework/win/Jpeg.h"

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
      const DWORD code = ::GetLastError();
      RaiseWin32Error<EOutOfResources>("CreateFontIndirect", code);
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
  if (SetAndCheck(FHeight, h)) Change();
}
int TFont::GetSize() const { return -::MulDiv(FHeight, 72, Ppi()); }
void TFont::SetSize(int points) { SetHeight(-::MulDiv(points, Ppi(), 72)); }
void TFont::SetColor(TColor c) {
  if (SetAndCheck(FColor, c)) Changed();   // the colour is not part of the handle
}
void TFont::SetStyle(TFontStyles s) {
  s &= 0x0F;
  if (SetAndCheck(FStyle, s)) Change();
}
void TFont::SetPitch(TFontPitch p) {
  if (SetAndCheck(FPitch, p)) Change();
}
void TFont::SetCharset(TFontCharset c) {
  if (SetAndCheck(FCharset, c)) Change();
}
void TFont::SetOrientation(int o) {
  if (SetAndCheck(FOrientation, o)) Change();
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
      const DWORD code = ::GetLastError();
      RaiseWin32Error<EOutOfResources>("CreatePen", code);
    }
  }
  return FHandle.Get();
}

void TPen::SetColor(TColor c) {
  if (SetAndCheck(FColor, c)) Change();
}
void TPen::SetWidth(int w) {
  if (w < 1) w = 1;
  if (SetAndCheck(FWidth, w)) Change();
}
void TPen::SetStyle(TPenStyle s) {
  if (SetAndCheck(FStyle, s)) Change();
}
void TPen::SetMode(TPenMode m) {
  if (SetAndCheck(FMode, m)) Changed();   // the mode is a DC setting, not part of the handle
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
      const DWORD code = ::GetLastError();
      RaiseWin32Error<EOutOfResources>("CreateBrush", code);
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
  if (SetAndCheck(FStyle, s)) Change();
}
void TBrush::SetBitmap(TBitmap* b) {
  if (SetAndCheck(FBitmap, b)) Change();
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
  if (SetAndCheck(FTransparent, on)) Changed(this);
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
// Icon

using graphics_internal::Le16;
using graphics_internal::Le32;
using graphics_internal::ReadExact;

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
