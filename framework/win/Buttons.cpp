// The speed button (see Buttons.h).
#include "framework/win/Buttons.h"

#include <algorithm>
#include <string>

#include "framework/base/TypInfo.h"
#include "framework/win/Messages.h"

ORBEX_IMPLEMENT_PUBLISHED(TSpeedButton, TGraphicControl, &CreateComponentOf<TSpeedButton>)

void TSpeedButton::PublishProperties(TPublisher<TSpeedButton>& P) {
  P.Boolean("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(0);
  P.Integer("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
  P.Boolean("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(0);
  P.Boolean("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(0);
  P.Object("Glyph", &TSpeedButton::Glyph);
  P.Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout,
         {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"})
      .Default(blGlyphLeft);
  P.Integer("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
  P.Integer("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
  P.Boolean("SmallButton", &TSpeedButton::SmallButton, &TSpeedButton::SetSmallButton).Default(0);
  P.Integer("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
}

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  SetControlStyle(csCaptureMouse | csDoubleClicks);
  SetBounds(0, 0, 23, 22);
  FGlyph->OnChange = [this](TObject* s) { GlyphChanged(s); };
}

TSpeedButton::~TSpeedButton() { FGlyph->OnChange = nullptr; }

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::SetGroupIndex(int v) {
  if (SetAndCheck(FGroupIndex, v)) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (SetAndCheck(FAllowAllUp, v)) UpdateExclusive();
}

void TSpeedButton::SetDown(bool v) {
  if (FGroupIndex == 0) v = false;
  if (v == FDown) return;
  // The last button down of a group that may not be all up stays down.
  if (FDown && !FAllowAllUp && (ComponentState() & csLoading) == 0) return;
  FDown = v;
  FState = v ? bsExclusive : bsUp;
  Invalidate();
  if (v) UpdateExclusive();
}

void TSpeedButton::SetFlat(bool v) {
  if (SetAndCheck(FFlat, v)) Invalidate();
}

void TSpeedButton::SetNumGlyphs(int v) {
  if (SetAndCheck(FNumGlyphs, std::clamp(v, 1, 4))) Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
  if (SetAndCheck(FLayout, v)) Invalidate();
}

void TSpeedButton::SetMargin(int v) {
  if (SetAndCheck(FMargin, std::max(v, -1))) Invalidate();
}

void TSpeedButton::SetSpacing(int v) {
  if (SetAndCheck(FSpacing, v)) Invalidate();
}

void TSpeedButton::SetSmallButton(bool v) {
  if (SetAndCheck(FSmallButton, v)) Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || Parent() == nullptr) return;
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c != this) c->Perform(m.Msg, m.WParam, m.LParam);
  }
}

void TSpeedButton::ButtonPressed(TMessage& m) {
  auto* sender = reinterpret_cast<TSpeedButton*>(m.LParam);
  if (static_cast<int>(m.WParam) != FGroupIndex || sender == nullptr || sender == this) return;
  if (sender->Down() && FDown) {
    FDown = false;
    FState = bsUp;
    Invalidate();
  }
  FAllowAllUp = sender->AllowAllUp();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const bool inside = X >= 0 && X < Width() && Y >= 0 && Y < Height();
  const TButtonState next = !FDown ? (inside ? bsDown : bsUp) : bsExclusive;
  if (next != FState) {
    FState = next;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  const bool click = X >= 0 && X < Width() && Y >= 0 && Y < Height();
  if (FGroupIndex == 0) {
    FState = bsUp;
    Invalidate();
  } else if (click) {
    SetDown(!FDown);
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
  } else {
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
  }
  if (click) Click();
}

void TSpeedButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_BUTTONPRESSED: ButtonPressed(m); return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      const bool inside = m.Msg == CM_MOUSEENTER;
      TGraphicControl::Dispatch(m);
      if (FMouseInControl != inside && Enabled()) {
        FMouseInControl = inside;
        if (FFlat) Invalidate();
      }
      return;
    }
    case CM_ENABLEDCHANGED:
      FState = !Enabled() ? bsDisabled : FDown ? bsExclusive : bsUp;
      TGraphicControl::Dispatch(m);
      Invalidate();
      return;
    default: TGraphicControl::Dispatch(m);
  }
}

void TSpeedButton::DrawGlyph(HDC dc, const TRect& dest) {
  if (FGlyph->Empty() || dest.Width() <= 0 || dest.Height() <= 0) return;
  const int count = std::max(FNumGlyphs, 1);
  const int width = FGlyph->GetWidth() / count;
  const int column = static_cast<int>(FState) < count ? static_cast<int>(FState) : 0;
  const COLORREF key = static_cast<COLORREF>(ColorToRGB(FGlyph->GetTransparentColor()));
  ::TransparentBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), FGlyph->Canvas()->GetHandle(), column * width,
                   0, width, FGlyph->GetHeight(), key);
}

void TSpeedButton::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->GetHandle();
  RECT face{0, 0, Width(), Height()};
  const bool pressed = FState == bsDown || FState == bsExclusive;
  if (!FFlat) {
    ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
  } else {
    canvas->Brush()->SetColor(Parent() != nullptr ? Parent()->Color() : Color());
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas->FillRect(TRect{0, 0, Width(), Height()});
    if (pressed || (FMouseInControl && Enabled()))
      ::DrawEdge(dc, &face, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  // Glyph and caption side by side (or one above the other), centred or `Margin` in from the
  // layout's side, one pixel right and down while pressed.
  canvas->Font()->Assign(Font());
  const std::string text = Caption();
  const TSize t = text.empty() ? TSize{0, 0} : canvas->TextExtent(text);
  const int count = std::max(FNumGlyphs, 1);
  const int gw = FGlyph->Empty() ? 0 : FGlyph->GetWidth() / count, gh = gw > 0 ? FGlyph->GetHeight() : 0;
  const int space = gw > 0 && !text.empty() ? FSpacing : 0;
  const bool across = FLayout == blGlyphLeft || FLayout == blGlyphRight;
  const int extent = across ? gw + space + t.cx : gh + space + t.cy;
  const int room = across ? Width() : Height();
  int start = FMargin == -1 ? (room - extent) / 2 : FMargin;
  if (FMargin != -1 && (FLayout == blGlyphRight || FLayout == blGlyphBottom)) start = room - FMargin - extent;
  const bool glyphFirst = FLayout == blGlyphLeft || FLayout == blGlyphTop;
  const int glyphAt = glyphFirst ? start : start + (across ? t.cx : t.cy) + space;
  const int textAt = glyphFirst ? start + (across ? gw : gh) + space : start;
  const int p = pressed ? 1 : 0;
  const int gx = (across ? glyphAt : (Width() - gw) / 2) + p, gy = (across ? (Height() - gh) / 2 : glyphAt) + p;
  DrawGlyph(dc, TRect{gx, gy, gx + gw, gy + gh});
  if (text.empty()) return;
  const int tx = across ? textAt : (Width() - t.cx) / 2, ty = across ? (Height() - t.cy) / 2 : textAt;
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  canvas->TextOut(tx + p, ty + p, text);
}

void InitButtonsUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TSpeedButton>();
}
