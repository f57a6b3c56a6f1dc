// The skinned labels (see sLabel.h).
//
// Sections: the custom label (colours, painting, disabled text, messages); the label; the web
// label; the edit label; registration.
#include "skin/controls/sLabel.h"

#include "framework/base/TypInfo.h"

#include <shellapi.h>

#include "framework/win/Forms.h"
#include "framework/win/Messages.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/core/sLabelColors.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sColorMath.h"

namespace {

bool Designing(const TComponent* c) { return (c->ComponentState() & csDesigning) != 0; }

// Set while any label paints: the font colour it sets then must not start another paint.
bool LabelPainting = false;

class TLabelPaintGuard {
public:
  TLabelPaintGuard() { LabelPainting = true; }
  ~TLabelPaintGuard() { LabelPainting = false; }
  TLabelPaintGuard(const TLabelPaintGuard&) = delete;
  TLabelPaintGuard& operator=(const TLabelPaintGuard&) = delete;
};

// Command 2 of the default manager (LParam 0 stands for it).
bool UnskinFromDefault(const TMessage& m) {
  if (m.Msg != WM_SKINCOMMAND || SkinCommandOf(m.WParam) != SkinCmdUnskin) return false;
  auto* sender = reinterpret_cast<TsSkinManager*>(m.LParam);
  return sender == nullptr || sender == TsSkinManager::DefaultManager();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The custom label.

ORBEX_IMPLEMENT_PUBLISHED(TsCustomLabel, TCustomLabel, nullptr)

void TsCustomLabel::PublishProperties(TPublisher<TsCustomLabel>& P) {
  P.String("SkinSection", &TsCustomLabel::GetSkinSection, &TsCustomLabel::SetSkinSection);
}

TsCustomLabel::TsCustomLabel(TComponent* AOwner) : TCustomLabel(AOwner), FDesignedColor(Font()->GetColor()) {
  SetTransparent(true);
}

void TsCustomLabel::SetSkinSection(const std::string& v) {
  if (SetAndCheck(FSkinSection, v)) Invalidate();
}

TsSkinManager* TsCustomLabel::ActiveManager() {
  TsSkinManager* m = TsSkinManager::DefaultManager();
  if (m == nullptr || m->IsDestroying() || m->Tables() == nullptr || !m->SkinData().Active) return nullptr;
  return m;
}

TColor TsCustomLabel::SkinFontColor() {
  TsSkinManager* m = ActiveManager();
  if (m == nullptr) return LabelKeepColor;
  return LabelSkinFontColor(m->Tables(), ParentSectionIndex(this, -1, m, 0));
}

void TsCustomLabel::ApplyColor(TFont* font, TColor color) {
  if (color != LabelKeepColor && font->GetColor() != color) font->SetColor(color);
}

TFont* TsCustomLabel::FontToPaint() {
  ApplyColor(Font(), SkinFontColor());
  return Font();
}

void TsCustomLabel::RestoreDesignedColor() {
  if (!IsDestroying()) Font()->SetColor(FDesignedColor);
}

void TsCustomLabel::PaintSectionUnder(TsSkinManager* m) {
  TsBackgroundRequest req;
  req.Rect = TRect{0, 0, Width(), Height()};
  TsBackgroundInfo info;
  if (Parent() != nullptr && RequestControlBackground(req, Parent(), false) != 0) {
    BackgroundRequestToInfo(req, info);
    if (info.Bitmap != nullptr) {
      info.X += Left();
      info.Y += Top();
    }
  }
  const TsSkinTables* t = m->Tables();
  PaintSectionItemToDC(FSectionIndex, t->GeneralData[static_cast<size_t>(FSectionIndex)].ClassName, info, -1, -1, t,
                       Canvas()->GetHandle(), TPoint{0, 0}, TRect{0, 0, Width(), Height()}, 0, m->MasterBitmap());
}

void TsCustomLabel::Paint() {
  FSectionIndex = -1;
  if (IsDestroying()) return;
  if (!LabelPainting) {
    TLabelPaintGuard guard;
    TFont* f = FontToPaint();
    if (f != Font()) Font()->Assign(f);
    TsSkinManager* m = ActiveManager();
    if (!FSkinSection.empty() && m != nullptr) {
      FSectionIndex = FindSectionIndex(m->Tables(), FSkinSection);
      if (FSectionIndex >= 0)
        ApplyColor(Font(), m->Tables()->GeneralData[static_cast<size_t>(FSectionIndex)].Props[0].FontColor[0]);
    }
    // The first section of a skin is its global one, never painted under a label.
    if (FSectionIndex > 0) PaintSectionUnder(m);
    TCustomLabel::Paint();
  } else {
    TCustomLabel::Paint();
  }
  FSectionIndex = -1;
}

void TsCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  if (Enabled() || ActiveManager() == nullptr) {
    TCustomLabel::DoDrawText(Rect, Flags);
    return;
  }
  // Disabled under a skin: the text in its colour blended toward what lies behind it.
  std::string text = GetLabelText();
  if ((Flags & DT_CALCRECT) != 0 && (text.empty() || (ShowAccelChar() && text == "&"))) text += ' ';
  if (!ShowAccelChar()) Flags |= DT_NOPREFIX;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  const TColor behind = static_cast<TColor>(GetControlColor(Parent()));
  const TColor blended = BlendColors(ColorToRGB(Font()->GetColor()) & 0xFFFFFF, behind & 0xFFFFFF, 0.4);
  HDC dc = canvas->GetHandle();
  TSaveDC saved(dc);
  ::SelectObject(dc, canvas->Font()->GetHandle());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, static_cast<COLORREF>(blended));
  RECT r = ToRECT(Rect);
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, Flags);
  Rect = ToTRect(r);
}

void TsCustomLabel::FontChangedMessage(TMessage& m) {
  if (IsDestroying() || FInFontChanged) return;
  // The colour a paint sets on the font is the skin's, not a new design: no repaint either.
  if (LabelPainting) return;
  FInFontChanged = true;
  FDesignedColor = Font()->GetColor();
  try {
    TCustomLabel::WndProc(m);
  } catch (...) {
    FInFontChanged = false;
    throw;
  }
  FInFontChanged = false;
}

void TsCustomLabel::WndProc(TMessage& m) {
  if (m.Msg == CM_FONTCHANGED) {
    FontChangedMessage(m);
    return;
  }
  TCustomLabel::WndProc(m);
  if (m.Msg != WM_SKINCOMMAND || IsDestroying()) return;
  if (UnskinFromDefault(m)) RestoreDesignedColor();
  else if (SkinCommandOf(m.WParam) == SkinCmdRedrawSkin && Designing(this)) Invalidate();
}

// ---------------------------------------------------------------------------------------------
// The label.

ORBEX_IMPLEMENT_PUBLISHED(TsLabel, TsCustomLabel, &CreateComponentOf<TsLabel>)

void TsLabel::PublishProperties(TPublisher<TsLabel>& P) {
  P.Boolean("UseSkinColor", &TsLabel::UseSkinColor, &TsLabel::UseSkinColor).Default(1);
}

TFont* TsLabel::FontToPaint() {
  if (IsDestroying() || !UseSkinColor) return Font();
  return TsCustomLabel::FontToPaint();
}

void TsLabel::WndProc(TMessage& m) {
  if (UnskinFromDefault(m)) {
    if (!IsDestroying() && UseSkinColor) RestoreDesignedColor();
    return;
  }
  TsCustomLabel::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// The web label.

ORBEX_IMPLEMENT_PUBLISHED(TsWebLabel, TsLabel, &CreateComponentOf<TsWebLabel>)

void TsWebLabel::PublishProperties(TPublisher<TsWebLabel>& P) {
  P.String("URL", &TsWebLabel::URL, &TsWebLabel::URL);
  P.Object("HoverFont", &TsWebLabel::HoverFont);
  P.Enum("ShowMode", &TsWebLabel::ShowMode, &TsWebLabel::ShowMode,
         {"soHide", "soNormal", "soShowMinimized", "soShowMaximized", "soMaximize", "soShowNoActivate",
          "soShow", "soMinimize", "soShowMinNoActive", "soShowNA", "soRestore", "soDefault"})
      .Default(soDefault);
}

TsWebLabel::TsWebLabel(TComponent* AOwner)
    : TsLabel(AOwner),
      FHoverFont(std::make_unique<TFont>()),
      FNormalFont(std::make_unique<TFont>()),
      FPaintFont(std::make_unique<TFont>()) {
  SetCursor(crHandPoint);
}

TsWebLabel::~TsWebLabel() = default;

void TsWebLabel::Loaded() {
  TsLabel::Loaded();
  // The stored Font is the normal look; the hover font keeps its own colour and style.
  FNormalFont->Assign(Font());
}

void TsWebLabel::SetFont(TFont* f) {
  Font()->Assign(f);
  FNormalFont->Assign(f);
  Invalidate();
}

TFont* TsWebLabel::FontToPaint() {
  TsSkinManager* m = ActiveManager();
  const bool skin = m != nullptr && UseSkinColor && !IsDestroying();
  if (FMouseAbove && !Designing(this)) {
    FPaintFont->Assign(FHoverFont.get());
    FPaintFont->SetColor(WebLabelHoverColor(skin ? m->Tables() : nullptr, skin, FHoverFont->GetColor()));
  } else {
    FPaintFont->Assign(FNormalFont.get());
    if (skin) ApplyColor(FPaintFont.get(), WebLabelNormalColor(m->Tables(), ParentSectionIndex(this, -1, m, 0)));
  }
  return FPaintFont.get();
}

void TsWebLabel::OpenURL() {
  if (URL.empty()) return;
  if (Opener) {
    Opener(URL, ShowModeToSW(ShowMode));
    return;
  }
  ShellExecuteA(Application != nullptr ? Application->Handle() : nullptr, "open", URL.c_str(), nullptr, nullptr,
                ShowModeToSW(ShowMode));
}

void TsWebLabel::MouseMoved(bool above) {
  if (!Enabled() || FMouseAbove == above) return;
  FMouseAbove = above;
  if (AutoSize()) {
    // The hover font may be wider: measure with the font to be shown, which is no new design.
    {
      TLabelPaintGuard guard;
      Font()->Assign(FontToPaint());
    }
    AdjustBounds();
  }
  if (Parent() != nullptr && Parent()->HandleAllocated()) {
    RECT r = ToRECT(BoundsRect());
    ::InvalidateRect(Parent()->Handle(), &r, TRUE);
  }
}

void TsWebLabel::WndProc(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND) return;
  TsLabel::WndProc(m);
  switch (m.Msg) {
    case CM_MOUSEENTER: MouseMoved(true); break;
    case CM_MOUSELEAVE: MouseMoved(false); break;
    case WM_LBUTTONDOWN: OpenURL(); break;
    case CM_PARENTFONTCHANGED:
      if (ParentFont() && Parent() != nullptr) {
        FNormalFont->Assign(Parent()->Font());
        FHoverFont->SetName(Parent()->Font()->GetName());
        FHoverFont->SetSize(Parent()->Font()->GetSize());
      }
      break;
    default: break;
  }
}

// ---------------------------------------------------------------------------------------------
// The edit label.

ORBEX_IMPLEMENT_PUBLISHED(TsEditLabel, TsLabel, nullptr)
void TsEditLabel::PublishProperties(TPublisher<TsEditLabel>&) {}

TsEditLabel::TsEditLabel(TComponent* AOwner, TsBoundLabel* bound) : TsLabel(AOwner), FBoundLabel(bound) {}

TsEditLabel::~TsEditLabel() {
  if (FBoundLabel != nullptr) FBoundLabel->LabelGone(this);
}

void InitLabelUnit() {
  RegisterClassOf<TsLabel>();
  RegisterClassOf<TsWebLabel>();
}
