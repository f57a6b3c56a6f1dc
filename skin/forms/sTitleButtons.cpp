// Title buttons of the skin provider: their images, layout and painting, hover, press, hit
// test and the actions of a release. See sSkinProvider.h.
//
// A title button repaints directly (restored strip, image in its state, copied to the window)
// unless the skin glows or the form has a border window: then it is drawn in its normal state
// and a picture of its new face fades in above it (TlxSBAnimation, lxFormTimers).
//
// Sections: images; layout and painting; states; hit test; release.
#include "skin/forms/sSkinProvider.h"

#include <algorithm>

#include "skin/adapters/lxGlow.h"
#include "skin/core/sSkinData.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/forms/sFormRegion.h"
#include "skin/forms/sFramePaint.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sBitmapKernels.h"

namespace {

const TsSkinTables* TablesOf(TsSkinManager* m) { return m != nullptr ? m->Tables() : nullptr; }

bool LargeStyle(TFormBorderStyle s) { return s == bsSingle || s == bsSizeable; }

}  // namespace

TPoint MaskFrameSize(const TsSkinTables* t, int mask) {
  if (!MaskIndexInRange(t, mask)) return TPoint{0, 0};
  const TsMaskData& m = t->MaskData[static_cast<size_t>(mask)];
  return GripFrameSize(m.R.Width(), m.R.Height(), m.ImageCount, m.MaskType);
}

// ---------------------------------------------------------------------------------------------
// Images.

void TsSkinProvider::ResolveTitleButtonMasks() {
  const TsSkinTables* t = TablesOf(SkinManager());
  const int gi = FindSectionIndex(t, "GLOBALINFO");
  const auto mask = [&](const char* key) { return FindMaskEntry(t, gi, "GLOBALINFO", key); };
  const auto set = [&](TsTitleButtonState& b, const char* key, int code, bool big) {
    b.MaskIndex = mask(key);
    b.MaskKey = key;
    b.HitCode = code;
    b.Big = big;
  };
  const TFormBorderStyle style = FForm != nullptr ? FForm->BorderStyle() : bsSizeable;
  const bool visibleMax = FSystemMenu != nullptr && FSystemMenu->VisibleMax();
  const bool visibleMin = FSystemMenu != nullptr && FSystemMenu->VisibleMin();
  if (LargeStyle(style)) {
    set(FButtonMin, "BICONMIN", htcMinButton, true);
    set(FButtonMax, "BICONMAX", htcMaxButton, true);
    const bool alone = !visibleMax && !visibleMin && mask("BICLOSEALONE") >= 0;
    set(FButtonClose, alone ? "BICLOSEALONE" : "BICONCLOSE", htcClose, true);
    set(FButtonHelp, "BICONHELP", htcHelp, false);
  } else {
    set(FButtonClose, "SICONCLOSE", htcClose, false);
    set(FButtonMin, "SICONMIN", htcMinButton, false);
    set(FButtonMax, "SICONMAX", htcMaxButton, false);
    set(FButtonHelp, mask("SICONHELP") >= 0 ? "SICONHELP" : "BICONHELP", htcHelp, false);
  }
  // Without a close image of its own set the large set serves.
  if (FButtonClose.MaskIndex < 0) {
    set(FButtonClose, "BICONCLOSE", htcClose, true);
    set(FButtonMax, "BICONMAX", htcMaxButton, true);
    set(FButtonMin, "BICONMIN", htcMinButton, true);
    set(FButtonHelp, "BICONHELP", htcHelp, true);
  }
  FMaxMask = FButtonMax.MaskIndex;
  FMinMask = FButtonMin.MaskIndex;
  // Restore images, from the form's own section when the skin-wide one is missing.
  const auto restore = [&](const char* key) {
    const int i = mask(key);
    return i >= 0 ? i : FindMaskEntry(t, FSkinData->SectionIndex(), FSkinData->GetSkinSection(), key);
  };
  FRestoreBigMask = restore("BICONNORM");
  FRestoreSmallMask = restore("SICONNORM");
  FUserButtons.clear();
  ResolveUserButtonMasks();
}

// Looked up in the skin in use each time the buttons are laid out: the skin and the collection
// (buttons added, removed, UseSkinData changed) may have changed since the last look. A button
// keeps its state while it stays in the collection.
void TsSkinProvider::ResolveUserButtonMasks() {
  const TsSkinTables* t = TablesOf(SkinManager());
  const int mask = FindMaskEntry(t, FindSectionIndex(t, "GLOBALINFO"), "GLOBALINFO", "TITLEBUTTON");
  const bool big = LargeStyle(FForm != nullptr ? FForm->BorderStyle() : bsSizeable);
  FUserButtons.resize(static_cast<size_t>(FTitleButtons->Count()));
  for (int i = 0; i < FTitleButtons->Count(); ++i) {
    TsTitleButton* tb = FTitleButtons->Items(i);
    tb->MaskIndex = tb->UseSkinData ? mask : -1;
    TsTitleButtonState& b = FUserButtons[static_cast<size_t>(i)];
    b.MaskIndex = tb->MaskIndex;
    b.MaskKey = "TITLEBUTTON";
    b.HitCode = htcUserButton + i;
    b.Big = big;
  }
}

TsSkinProvider::TsTitleButtonState* TsSkinProvider::TitleButton(int code) {
  switch (code) {
    case htcClose: return &FButtonClose;
    case htcMaxButton: return &FButtonMax;
    case htcMinButton: return &FButtonMin;
    case htcHelp: return &FButtonHelp;
    case htcMDIClose: return &FMDIClose;
    case htcMDIRestore: return &FMDIRestore;
    case htcMDIMinimize: return &FMDIMin;
    default: {
      const size_t i = static_cast<size_t>(code - htcUserButton);
      return code >= htcUserButton && i < FUserButtons.size() ? &FUserButtons[i] : nullptr;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Layout and painting.

void TsSkinProvider::PaintTitleButtons() {
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = TablesOf(m);
  TBitmap* cache = FSkinData->CacheBitmap();
  if (t == nullptr || cache == nullptr || cache->Empty() || FForm == nullptr) return;
  RestoreTitleButtonsArea();
  ResolveUserButtonMasks();
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  TsTitleRowInput in;
  in.CacheWidth = cache->GetWidth();
  in.RightMargin = m->SkinData().BIRightMargin;
  in.Spacing = m->SkinData().BISpacing;
  in.ShadowRight = f.ShadowRight;
  in.ShadowTop = f.ShadowTop;
  in.FrameWidthExt = FrameBorderWidth(f, sm, true);
  in.FrameWidth = FrameBorderWidthPlain(f, sm);
  in.CaptionHeight = CaptionHeight(f, sm, true);
  in.LargeSet = FButtonClose.Big;
  in.Zoomed = f.Zoomed;
  in.VAlign = m->SkinData().BIVAlign;
  in.TopMargin = m->SkinData().BITopMargin;
  for (TsTitleButtonState* b : {&FButtonClose, &FButtonMax, &FButtonMin, &FButtonHelp}) b->Rect = TRect{};
  const auto add = [&](TsTitleButtonState& b, int mask, bool enabled) {
    const TPoint size = MaskFrameSize(t, mask);
    b.Enabled = enabled;
    if (b.State < 0) b.State = 0;
    in.System.push_back({b.HitCode, size.X, size.Y, b.Big});
  };
  bool shown[4] = {false, false, false, false};
  if (FSystemMenu != nullptr && FSysMenuStyleTaken) {
    if (FButtonClose.MaskIndex >= 0) add(FButtonClose, FButtonClose.MaskIndex, FSystemMenu->VisibleClose()), shown[0] = true;
    if (FSystemMenu->VisibleMax()) add(FButtonMax, ButtonMaskFor(FButtonMax), f.Zoomed ? FSystemMenu->EnabledRestore() : FSystemMenu->EnabledMax()), shown[1] = true;
    if (FSystemMenu->VisibleMin())
      add(FButtonMin, ButtonMaskFor(FButtonMin), f.Iconic && !f.MainForm ? FSystemMenu->EnabledRestore() : FSystemMenu->EnabledMin()), shown[2] = true;
    if (ShowsHelpButton()) add(FButtonHelp, FButtonHelp.MaskIndex, true), shown[3] = true;
  }
  TsTitleButtonState* system[4] = {&FButtonClose, &FButtonMax, &FButtonMin, &FButtonHelp};
  for (int i = 0; i < 4; ++i)
    if (!shown[i]) system[i]->State = -1;
  for (int i = 0; i < FTitleButtons->Count(); ++i) {
    TsTitleButton* tb = FTitleButtons->Items(i);
    TsTitleButtonState& b = FUserButtons[static_cast<size_t>(i)];
    b.Rect = TRect{};
    if (!tb->Visible()) {
      b.State = -1;
      continue;
    }
    if (b.State < 0) b.State = 0;
    b.Enabled = tb->Enabled;
    const int h = b.MaskIndex >= 0 ? MaskFrameSize(t, b.MaskIndex).Y : std::max(in.CaptionHeight - 4, 1);
    in.User.push_back({b.HitCode, UserButtonWidth(tb), h, b.Big});
  }
  for (const TsPlacedButton& p : PlaceTitleButtons(in)) {
    TsTitleButtonState* b = TitleButton(p.Code);
    if (b == nullptr) continue;
    b->Rect = p.Rect;
    DrawTitleButton(cache, *b, ButtonMaskFor(*b));
  }
}

// The image a button shows now: maximize shows restore on a maximized form, minimize on an
// iconic form that is not the main form.
int TsSkinProvider::ButtonMaskFor(const TsTitleButtonState& b) const {
  const bool big = b.Big;
  const int restore = big ? FRestoreBigMask : FRestoreSmallMask;
  if (FForm == nullptr || !FForm->HandleAllocated()) return b.MaskIndex;
  const HWND h = FForm->Handle();
  if (&b == &FButtonMax) return IsZoomed(h) && restore >= 0 ? restore : FMaxMask;
  if (&b == &FButtonMin) {
    const bool main = Application != nullptr && Application->MainForm() == FForm;
    return IsIconic(h) && !main && restore >= 0 ? restore : FMinMask;
  }
  return b.MaskIndex;
}

void TsSkinProvider::DrawTitleButton(TBitmap* cache, const TsTitleButtonState& b, int maskIndex) {
  TsSkinManager* m = SkinManager();
  const TsSkinTables* t = TablesOf(m);
  if (b.State < 0 || b.Rect.IsEmpty() || t == nullptr) return;
  const TPoint at{b.Rect.Left, b.Rect.Top};
  TsBackgroundInfo bg;
  bg.Bitmap = cache;
  bg.X = at.X;
  bg.Y = at.Y;
  bg.Ready = 1;
  if (MaskIndexInRange(t, maskIndex))
    DrawMaskState(cache, at, b.Frame(FormActive), bg, t, maskIndex, b.DrawMode(FormActive), m->MasterBitmap());
  // A user button removed since the images were resolved has nothing more to draw.
  if (b.HitCode < htcUserButton || b.HitCode - htcUserButton >= FTitleButtons->Count()) return;
  TsTitleButton* tb = FTitleButtons->Items(b.HitCode - htcUserButton);
  TBitmap* glyph = tb->Glyph();
  if (glyph == nullptr || glyph->Empty()) return;
  const int x = b.Rect.Left + (b.Rect.Width() - glyph->GetWidth()) / 2, y = b.Rect.Top + (b.Rect.Height() - glyph->GetHeight()) / 2;
  DrawGlyphOver(cache, glyph, x, y, true, !b.Enabled);
}

// ---------------------------------------------------------------------------------------------
// States.

void TsSkinProvider::ButtonGlow(TsTitleButtonState& b) {
  TsSkinManager* m = SkinManager();
  HideGlow(b.GlowId);
  b.GlowId = -1;
  if (b.State != 1 || m == nullptr || FForm == nullptr || FForm->Parent() != nullptr || MDIChild()) return;
  if (m->Effects() == nullptr || !m->Effects()->GetAllowGlowing()) return;
  const TsSkinData& d = m->SkinData();
  int size = 0, margin = 0;
  if (b.HitCode == htcMinButton) size = d.BIMinGlow, margin = d.BIMinGlowMargin;
  if (b.HitCode == htcMaxButton) size = d.BIMaxGlow, margin = d.BIMaxGlowMargin;
  if (b.HitCode == htcClose) size = d.BICloseGlow, margin = d.BICloseGlowMargin;
  if (size <= 0) return;
  RECT window{};
  GetWindowRect(FForm->Handle(), &window);
  const TsFormGeometry f = Geometry();
  const TRect screen{static_cast<int>(window.left) + b.Rect.Left - f.ShadowLeft, static_cast<int>(window.top) + b.Rect.Top - f.ShadowTop,
                     static_cast<int>(window.left) + b.Rect.Right - f.ShadowLeft, static_cast<int>(window.top) + b.Rect.Bottom - f.ShadowTop};
  b.GlowId = ShowGlow(screen, TRect{0, 0, screen.Width(), screen.Height()}, "GLOBALINFO", m, FForm->Handle(), 255,
                      margin, std::string(b.MaskKey) + "GLOW");
}

void TsSkinProvider::RepaintTitleButton(int code) {
  TsTitleButtonState* b = TitleButton(code);
  TBitmap* cache = FSkinData->CacheBitmap();
  if (b == nullptr || b->State < 0 || b->Rect.IsEmpty() || cache == nullptr || cache->Empty()) return;
  // The bar under the button comes back from the strip saved without buttons; under a
  // maximized MDI child's button, from the menu line's image.
  const TRect icon = IconRect(Geometry(), SystemMetrics());
  if (code >= htcMDIClose && code <= htcMDIMinimize) {
    if (FMenuLineBitmap == nullptr || FMenuLineBitmap->Empty()) return;
    const TsFormGeometry f = Geometry();
    const int lineTop = FrameBorderWidthPlain(f, SystemMetrics()) + CaptionHeight(f, SystemMetrics(), true) + f.ShadowTop;
    const TRect& r = b->Rect;
    CopyPixelRect(TargetPixels32(cache), r.Left, r.Top, TargetPixels32(FMenuLineBitmap.get()),
                  TRect{r.Left - f.ShadowLeft, r.Top - lineTop, r.Right - f.ShadowLeft, r.Bottom - lineTop});
  } else if (b->Rect.Left >= icon.Right && FWorkBitmap != nullptr && !FWorkBitmap->Empty()) {
    const TRect& r = b->Rect;
    CopyPixelRect(TargetPixels32(cache), r.Left, r.Top, TargetPixels32(FWorkBitmap.get()),
                  TRect{r.Left - FSavedStrip.X, r.Top, r.Right - FSavedStrip.X, std::min(r.Bottom, FSavedStrip.SaveRows)});
  }
  // The change is animated (a picture of the new face fades in above the normal one) unless
  // it is a maximized MDI child's button, the form is busy, is a child (an MDI child has no
  // framework parent but is one), or neither glows nor has a border window.
  TsSkinManager* m = SkinManager();
  const bool glowing = m != nullptr && m->Effects() != nullptr && m->Effects()->GetAllowGlowing();
  const bool direct = (code > 100 && code < htcUserButton) || (!glowing && FBorderForm == nullptr) || FormState != 0 ||
                      FForm->Parent() != nullptr || MDIChild() ||
                      !LayeredWindowsAvailable();
  if (!direct) {
    const int state = b->State;
    b->State = 0;
    DrawTitleButton(cache, *b, ButtonMaskFor(*b));
    b->State = state;
    CopyCacheRectToWindow(b->Rect);
    HideGlow(b->GlowId);
    b->GlowId = -1;
    StartTitleButtonAnimation(*b, state);
    return;
  }
  DrawTitleButton(cache, *b, ButtonMaskFor(*b));
  CopyCacheRectToWindow(b->Rect);
  if (code == htcMinButton || code == htcMaxButton || code == htcClose) ButtonGlow(*b);
}

void TsSkinProvider::SetHotElement(int code, bool repaint) {
  if (!FDrawNonClientArea) return;
  if (code == HotElement || (HotElement == -1 && code == 0)) return;
  if (TsTitleButtonState* old = TitleButton(HotElement); old != nullptr && old->State >= 0) {
    old->State = 0;
    if (repaint) RepaintTitleButton(HotElement);
  }
  FUserButtonHint.reset();
  HotElement = code;
  if (FPressedButton != 0) return;
  if (TsTitleButtonState* b = TitleButton(code); b != nullptr && b->State >= 0) {
    b->State = 1;
    if (repaint) RepaintTitleButton(code);
    if (code >= htcUserButton && code - htcUserButton < FTitleButtons->Count())
      ShowUserButtonHint(FTitleButtons->Items(code - htcUserButton));
  }
}

// The hint of a hot user button, below right of the mouse, inside the monitor's work area,
// never activated; a short hint fades in when the system animates its tooltips with fading.
// It goes when the button stops being hot.
void TsSkinProvider::ShowUserButtonHint(const TsTitleButton* button) {
  const std::string text = GetShortHint(button->Hint);
  if (text.empty()) return;
  FUserButtonHint = std::make_unique<THintWindow>(nullptr);
  FUserButtonHint->SetColor(clInfoBk);
  const TRect size = FUserButtonHint->CalcHintRect(800, text);
  POINT cursor{};
  GetCursorPos(&cursor);
  const int x = static_cast<int>(cursor.x) + 8, y = static_cast<int>(cursor.y) + 16;
  const TRect place{x, y, x + size.Width(), y + size.Height() + 4};
  BOOL animate = FALSE, fade = FALSE;
  SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animate, 0);
  SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &fade, 0);
  if (text.size() < 100 && animate != FALSE && fade != FALSE)
    FUserButtonHint->ActivateHintFading(place, text, 200);
  else
    FUserButtonHint->ActivateHint(place, text);
}

void TsSkinProvider::PressTitleButton(int code) {
  if (HotElement != code && HotElement > 0) {
    if (TsTitleButtonState* old = TitleButton(HotElement); old != nullptr && old->State >= 0) {
      old->State = 0;
      RepaintTitleButton(HotElement);
    }
  }
  HotElement = code;
  TsTitleButtonState* b = TitleButton(code);
  if (b == nullptr || b->State < 0) return;
  if (code == htcMaxButton && FSystemMenu != nullptr) {
    const bool zoomed = FForm->HandleAllocated() && IsZoomed(FForm->Handle());
    if (!FSystemMenu->EnabledMax() && !(zoomed && FSystemMenu->EnabledRestore())) {
      HotElement = 0;
      return;
    }
  }
  b->State = 2;
  FPressedButton = code;
  // The release must come to this form, also when the mouse leaves it meanwhile.
  SetCapture(FForm->Handle());
  RepaintTitleButton(code);
}

void TsSkinProvider::EndTitleButtonPress() {
  const int code = FPressedButton;
  if (code == 0) return;
  FPressedButton = 0;
  if (FForm != nullptr && FForm->HandleAllocated() && GetCapture() == FForm->Handle()) ReleaseCapture();
  HotElement = 0;
  if (TsTitleButtonState* b = TitleButton(code); b != nullptr && b->State > 0) {
    b->State = 0;
    if (!DestroyingForm()) RepaintTitleButton(code);
  }
}

// ---------------------------------------------------------------------------------------------
// Hit test.

int TsSkinProvider::TitleHitTest(TPoint screenPoint) {
  if (FForm == nullptr || !FForm->HandleAllocated()) return htcClient;
  if (FSystemMenu == nullptr) PrepareForm();
  const HWND h = FForm->Handle();
  const TsFormGeometry f = Geometry();
  const ISystemMetrics& sm = SystemMetrics();
  RECT window{};
  GetWindowRect(h, &window);
  TsHitTestInput in;
  in.Point = TPoint{screenPoint.X - static_cast<int>(window.left) + f.ShadowLeft, screenPoint.Y - static_cast<int>(window.top) + f.ShadowTop};
  in.Width = static_cast<int>(window.right - window.left) + f.ShadowLeft + f.ShadowRight;
  in.Height = static_cast<int>(window.bottom - window.top) + f.ShadowTop + f.ShadowBottom;
  in.FrameWidth = FrameBorderWidth(f, sm, false);
  in.TopFrame = FrameBorderWidthPlain(f, sm);
  in.CaptionHeight = CaptionHeight(f, sm, true);
  if (MenuLineCount < 0) MenuLineCount = ::MenuLineCount(f, sm);
  in.MenuLinesHeight = MenuLineCount * MenuLineHeight(f, sm);
  in.Zoomed = f.Zoomed;
  in.Iconic = f.Iconic;
  in.ThickFrame = (f.Style & wsfThickFrame) != 0;
  in.SystemButtons = FSystemMenu != nullptr && FSysMenuStyleTaken;
  if (FSystemMenu != nullptr) {
    in.EnabledMax = FSystemMenu->EnabledMax();
    in.EnabledMin = FSystemMenu->EnabledMin();
    in.EnabledRestore = FSystemMenu->EnabledRestore();
  }
  in.Icon = IconRect(f, sm);
  for (TsTitleButtonState* b : {&FButtonClose, &FButtonMax, &FButtonMin, &FButtonHelp})
    if (b->State >= 0 && !b->Rect.IsEmpty()) in.Buttons.push_back({b->HitCode, b->Rect});
  for (size_t i = 0; i < FUserButtons.size(); ++i) {
    const TsTitleButtonState& b = FUserButtons[i];
    if (b.State >= 0 && !b.Rect.IsEmpty()) in.Buttons.push_back({b.HitCode, b.Rect});
    in.UserEnabled.push_back(static_cast<int>(i) < FTitleButtons->Count() && FTitleButtons->Items(static_cast<int>(i))->Enabled);
  }
  for (const TsTitleButtonState* b : {&FMDIClose, &FMDIRestore, &FMDIMin})
    if (b->State >= 0 && !b->Rect.IsEmpty()) in.MDIButtons.push_back({b->HitCode, b->Rect});
  in.GripShown = GripMode == gmRightBottom && !f.Zoomed && in.ThickFrame;
  if (in.GripShown) {
    TsSkinManager* m = SkinManager();
    const TsSkinTables* t = TablesOf(m);
    const TPoint size = MaskFrameSize(t, FindMaskEntry(t, FindSectionIndex(t, "GLOBALINFO"), "GLOBALINFO", "GRIPIMAGE"));
    if (size.X > 0 && size.Y > 0) {
      const TPoint at = GripPoint(f, sm, in.Width, in.Height, size.X, size.Y);
      in.Grip = TRect{at.X, at.Y, at.X + size.X, at.Y + size.Y};
    }
  }
  return TitleHitTestAt(in);
}

// ---------------------------------------------------------------------------------------------
// Release.

void TsSkinProvider::ReleaseTitleButton(int code, TPoint screenPoint) {
  if (!FDrawNonClientArea || FForm == nullptr || !FForm->HandleAllocated()) return;
  if (FPressedButton == 0) {
    if (code == htcMinButton || code == htcMaxButton || code == htcHelp) HotElement = 0;
    return;
  }
  // A release elsewhere (another button, the caption, another window) only ends the press.
  if (code != FPressedButton) {
    EndTitleButtonPress();
    return;
  }
  FPressedButton = 0;
  const HWND h = FForm->Handle();
  if (GetCapture() == h) ReleaseCapture();
  // Commands may free the form and this provider with it: look before every later step.
  const std::shared_ptr<bool> alive = FAlive;
  const auto command = [&](WPARAM sc) {
    SendMessageA(h, WM_SYSCOMMAND, sc, 0);
    return *alive && IsWindow(h);
  };
  const auto normal = [&](int c) {
    if (TsTitleButtonState* b = TitleButton(c); b != nullptr && b->State > 0) {
      b->State = 0;
      RepaintTitleButton(c);
    }
  };
  switch (code) {
    case htcMinButton: {
      RECT window{};
      GetWindowRect(h, &window);
      const TsFormGeometry f = Geometry();
      const TPoint p{screenPoint.X - static_cast<int>(window.left) + f.ShadowLeft, screenPoint.Y - static_cast<int>(window.top) + f.ShadowTop};
      const TRect& r = FButtonMin.Rect;
      if (!(p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom)) {
        normal(code);
        return;
      }
      HotElement = 0;
      FButtonMin.State = 0;
      const bool main = Application != nullptr && Application->MainForm() == FForm;
      if (IsIconic(h)) {
        if (!command(SC_RESTORE)) return;
      } else if (main) {
        if (!command(SC_MINIMIZE)) return;
      } else {
        FormState |= Minimizing;
        if (!command(SC_MINIMIZE)) return;
        FormState &= ~static_cast<std::uint32_t>(Minimizing);
      }
      FSkinData->BGChanged = 1;
      RegionChanged = true;
      return;
    }
    case htcMaxButton: {
      if (FSystemMenu == nullptr) return;
      const bool zoomed = IsZoomed(h) != 0;
      if (!FSystemMenu->EnabledMax() && !(zoomed && FSystemMenu->EnabledRestore())) return;
      HotElement = 0;
      FButtonMax.State = 0;
      if (zoomed) {
        FForm->SetWindowState(wsNormal);
        if (!command(SC_RESTORE)) return;
        RepaintFormFrame();
      } else if (!command(SC_MAXIMIZE)) {
        return;
      }
      FSystemMenu->UpdateItems(false);
      return;
    }
    case htcClose:
      FButtonClose.State = 0;
      if (!command(SC_CLOSE) || DestroyingForm()) return;
      if (FForm->Visible()) FSkinData->BGChanged = 1;
      HotElement = 0;
      RepaintTitleButton(htcClose);
      return;
    case htcMDIClose:
    case htcMDIRestore:
    case htcMDIMinimize: {
      // The maximized child takes the command; the main form's frame follows its change.
      TsTitleButtonState* b = TitleButton(code);
      b->State = 0;
      HotElement = 0;
      TCustomForm* child = MaximizedMDIChild();
      if (child == nullptr) return;
      if (code == htcMDIMinimize) FSkinData->HoldPaint = 1;
      const WPARAM sc = code == htcMDIClose ? SC_CLOSE : code == htcMDIRestore ? SC_RESTORE : SC_MINIMIZE;
      SendMessageA(child->Handle(), WM_SYSCOMMAND, sc, 0);
      if (!*alive || DestroyingForm()) return;
      FSkinData->HoldPaint = 0;
      FSkinData->BGChanged = 1;
      MenuLineCount = -1;
      RepaintFormFrame();
      return;
    }
    case htcHelp:
      FButtonHelp.State = 0;
      if (!command(SC_CONTEXTHELP)) return;
      HotElement = 0;
      if (FSystemMenu != nullptr) FSystemMenu->UpdateItems(false);
      ForceNCPaint();
      return;
    default:
      if (code >= htcUserButton && code - htcUserButton < FTitleButtons->Count()) {
        FTitleButtons->Items(code - htcUserButton)->DoMouseUp(mbLeft, TShiftState{}, screenPoint.X, screenPoint.Y);
        if (!*alive) return;
        HotElement = 0;
        normal(code);
      }
      return;
  }
}
