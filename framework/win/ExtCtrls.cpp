// Paint box, image, panel and timer.
//
// Sections: TPaintBox; TImage; TCustomPanel; TTimer and the shared timer window.
#include "framework/win/ExtCtrls.h"

#include <algorithm>
#include <map>

#include "framework/base/TypInfo.h"
#include "framework/win/UtilWindow.h"

// ---------------------------------------------------------------------------------------------
// TPaintBox

ORBEX_IMPLEMENT_PUBLISHED(TPaintBox, TGraphicControl, &CreateComponentOf<TPaintBox>)

void TPaintBox::PublishProperties(TPublisher<TPaintBox>& P) {
  P.Event("OnPaint", &TPaintBox::OnPaint);
}

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
  Canvas()->Font()->Assign(Font());
  Canvas()->Brush()->SetColor(Color());
  if (OnPaint) OnPaint(this);
}

// ---------------------------------------------------------------------------------------------
// TImage

ORBEX_IMPLEMENT_PUBLISHED(TImage, TGraphicControl, &CreateComponentOf<TImage>)

void TImage::PublishProperties(TPublisher<TImage>& P) {
  P.Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(0);
  P.Boolean("Center", &TImage::Center, &TImage::SetCenter).Default(0);
  P.Object("Picture", &TImage::Picture);
  P.Boolean("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(0);
  P.Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(0);
  P.Boolean("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(0);
}

TImage::TImage(TComponent* AOwner)
    : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  SetControlStyle(ControlStyle() | csReplicatable);
  FPicture->OnChange = [this](TObject* s) { PictureChanged(s); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

TCanvas* TImage::Canvas() { return FPicture->Bitmap()->Canvas(); }

void TImage::SetAutoSize(bool v) {
  FAutoSize = v;
  PictureChanged(this);
}

void TImage::SetStretch(bool v) {
  if (SetAndCheck(FStretch, v)) Invalidate();
}

void TImage::SetCenter(bool v) {
  if (SetAndCheck(FCenter, v)) Invalidate();
}

void TImage::SetProportional(bool v) {
  if (SetAndCheck(FProportional, v)) Invalidate();
}

void TImage::SetTransparent(bool v) {
  if (FTransparent == v) return;
  FTransparent = v;
  if (TGraphic* g = FPicture->GetGraphic()) g->SetTransparent(v);
  Invalidate();
}

TRect TImage::DestRect() const {
  int pw = FPicture->GetWidth();
  int ph = FPicture->GetHeight();
  int cw = Width();
  int ch = Height();
  int w = pw;
  int h = ph;
  if (FStretch || (FProportional && (pw > cw || ph > ch))) {
    if (FProportional && pw > 0 && ph > 0) {
      // Fit inside the control keeping the picture's aspect; 64-bit products avoid overflow.
      if (static_cast<std::int64_t>(cw) * ph < static_cast<std::int64_t>(ch) * pw) {
        w = cw;
        h = static_cast<int>(static_cast<std::int64_t>(cw) * ph / pw);
      } else {
        h = ch;
        w = static_cast<int>(static_cast<std::int64_t>(ch) * pw / ph);
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r = Bounds(0, 0, w, h);
  if (FCenter) {
    r.Left = (cw - w) / 2;
    r.Top = (ch - h) / 2;
    r.Right = r.Left + w;
    r.Bottom = r.Top + h;
  }
  return r;
}

void TImage::Paint() {
  TGraphic* g = FPicture->GetGraphic();
  if (g == nullptr || g->Empty()) return;
  // The control's canvas (Canvas() of an image is its picture's bitmap canvas).
  TCanvas* canvas = TGraphicControl::Canvas();
  TRect r = DestRect();
  if (r.Width() != g->GetWidth() || r.Height() != g->GetHeight()) canvas->StretchDraw(r, g);
  else canvas->Draw(r.Left, r.Top, g);
}

void TImage::PictureChanged(TObject*) {
  if (FAutoSize && FPicture->GetWidth() > 0 && FPicture->GetHeight() > 0 && !IsLoading())
    SetBounds(Left(), Top(), FPicture->GetWidth(), FPicture->GetHeight());
  if (TGraphic* g = FPicture->GetGraphic())
    if (FTransparent) g->SetTransparent(true);
  Invalidate();
}

void TImage::Loaded() {
  TGraphicControl::Loaded();
  PictureChanged(this);
}

// ---------------------------------------------------------------------------------------------
// TCustomPanel

ORBEX_IMPLEMENT_PUBLISHED(TCustomPanel, TCustomControl, nullptr)

void TCustomPanel::PublishProperties(TPublisher<TCustomPanel>& P) {
  static const std::vector<std::string> cuts{"bvNone", "bvLowered", "bvRaised", "bvSpace"};
  P.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"})
      .Default(taCenter);
  P.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, cuts)
      .Default(bvNone);
  P.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, cuts)
      .Default(bvRaised);
  P.Integer("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
  P.Boolean("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(1);
  P.Boolean("ParentBackground", &TCustomPanel::ParentBackground,
            &TCustomPanel::SetParentBackground)
      .Default(0);
  P.Enum("VerticalAlignment", &TCustomPanel::VerticalAlignment,
         &TCustomPanel::SetVerticalAlignment, {"tlTop", "tlCenter", "tlBottom"})
      .Default(tlCenter);
}

ORBEX_IMPLEMENT_PUBLISHED(TPanel, TCustomPanel, &CreateComponentOf<TPanel>)
void TPanel::PublishProperties(TPublisher<TPanel>&) {}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque |
                  csDoubleClicks | csReplicatable);
  SetBounds(0, 0, 185, 41);
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TCustomPanel::SetBevelInner(TBevelCut v) {
  if (FBevelInner == v) return;
  FBevelInner = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut v) {
  if (FBevelOuter == v) return;
  FBevelOuter = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int v) {
  v = std::max(v, 1);
  if (FBevelWidth == v) return;
  FBevelWidth = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment v) {
  if (SetAndCheck(FAlignment, v)) Invalidate();
}

void TCustomPanel::SetVerticalAlignment(TTextLayout v) {
  if (SetAndCheck(FVerticalAlignment, v)) Invalidate();
}

void TCustomPanel::SetParentBackground(bool v) {
  if (ParentBackground() == v) return;
  SetControlStyle(v ? ControlStyle() | csParentBackground : ControlStyle() & ~csParentBackground);
  Invalidate();
}

int TCustomPanel::BevelExtent() const {
  return ((FBevelOuter != bvNone) ? FBevelWidth : 0) + ((FBevelInner != bvNone) ? FBevelWidth : 0);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) const {
  TCustomControl::AdjustClientRect(Rect);
  int b = BevelExtent();
  Rect.Left += b;
  Rect.Top += b;
  Rect.Right -= b;
  Rect.Bottom -= b;
}

namespace {

// One bevel of `width` pixels inside r; r shrinks by it. bvSpace only takes room.
void DrawBevel(HDC dc, RECT& r, TBevelCut cut, int width) {
  if (cut == bvNone) return;
  COLORREF top = ::GetSysColor(cut == bvLowered ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
  COLORREF bottom = ::GetSysColor(cut == bvLowered ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
  for (int i = 0; i < width; ++i) {
    if (cut != bvSpace && r.right > r.left && r.bottom > r.top) {
      TOwnedBrush tb(::CreateSolidBrush(top));
      TOwnedBrush bb(::CreateSolidBrush(bottom));
      RECT e{r.left, r.top, r.right, r.top + 1};
      ::FillRect(dc, &e, tb.Get());
      e = RECT{r.left, r.top, r.left + 1, r.bottom};
      ::FillRect(dc, &e, tb.Get());
      e = RECT{r.left, r.bottom - 1, r.right, r.bottom};
      ::FillRect(dc, &e, bb.Get());
      e = RECT{r.right - 1, r.top, r.right, r.bottom};
      ::FillRect(dc, &e, bb.Get());
    }
    ::InflateRect(&r, -1, -1);
  }
}

}  // namespace

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->GetHandle();
  RECT r = ToRECT(ClientRect());
  DrawBevel(dc, r, FBevelOuter, FBevelWidth);
  // With ParentBackground the face shows the parent's colour instead of the panel's own.
  TColor face = (ParentBackground() && Parent() != nullptr) ? Parent()->Color() : Color();
  canvas->Brush()->SetColor(face);
  canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
  canvas->FillRect(ToTRect(r));
  DrawBevel(dc, r, FBevelInner, FBevelWidth);
  std::string text = Caption();
  if (text.empty()) return;
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  HDC tdc = canvas->GetHandle();
  TSaveDC saved(tdc);
  ::SelectObject(tdc, canvas->Font()->GetHandle());
  ::SetBkMode(tdc, TRANSPARENT);
  ::SetTextColor(tdc, static_cast<COLORREF>(ColorToRGB(Font()->GetColor())));
  static constexpr UINT AlignFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  static constexpr UINT LayoutFlags[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  ::DrawTextA(tdc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_EXPANDTABS | AlignFlags[FAlignment] |
                  LayoutFlags[FVerticalAlignment]);
}

void TCustomPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(Message);
      Invalidate();
      return;
    case WM_SIZE:
      TCustomControl::Dispatch(Message);
      // Bevels and a centred caption move with the size: paint everything again.
      if (FFullRepaint) Invalidate();
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TTimer. All timers share one utility window and are told apart by their timer id. A tick
// looks its timer up by id, so a timer freed inside its own tick (or by another timer's tick)
// is simply not found again; the window and its method are never freed while they run.

struct TTimerWindow {
  std::map<UINT_PTR, TTimer*> Timers;
  UINT_PTR NextId = 1;
  std::unique_ptr<TUtilWindow> Window;

  HWND Handle() {
    if (!Window) Window = std::make_unique<TUtilWindow>([this](TMessage& m) { Method(m); });
    return Window->Handle();
  }

  void Method(TMessage& m) {
    if (m.Msg == WM_TIMER) {
      auto it = Timers.find(static_cast<UINT_PTR>(m.WParam));
      if (it != Timers.end()) it->second->Timer();
      m.Result = 0;
      return;
    }
    m.Result = ::DefWindowProcA(Window->Handle(), m.Msg, m.WParam, m.LParam);
  }
};

namespace {

TTimerWindow& TimerWindow() {
  static TTimerWindow w;
  return w;
}

}  // namespace

ORBEX_IMPLEMENT_PUBLISHED(TTimer, TComponent, &CreateComponentOf<TTimer>)

void TTimer::PublishProperties(TPublisher<TTimer>& P) {
  P.Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(1);
  P.Integer("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
  P.Event("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  FTimer.Reset();
  if (FId != 0) TimerWindow().Timers.erase(FId);
}

void TTimer::SetEnabled(bool v) {
  if (SetAndCheck(FEnabled, v)) UpdateTimer();
}

void TTimer::SetInterval(std::uint32_t v) {
  if (SetAndCheck(FInterval, v)) UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent v) {
  FOnTimer = std::move(v);
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  FTimer.Reset();
  TTimerWindow& w = TimerWindow();
  if (FId == 0) {
    FId = w.NextId++;
    w.Timers[FId] = this;
  }
  if (FInterval != 0 && FEnabled && FOnTimer && !IsDestroying())
    FTimer = TOwnedTimer(w.Handle(), FId, FInterval);
}

void TTimer::Timer() {
  if (!FEnabled || !FOnTimer) return;
  // The handler may free this timer (and with it FOnTimer): run a copy.
  TNotifyEvent handler = FOnTimer;
  handler(this);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void InitExtCtrlsUnit() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TPaintBox>();
  RegisterClassOf<TImage>();
  RegisterClassOf<TPanel>();
  RegisterClassOf<TTimer>();
}
