// The speed-button handler (see lxSpeedButton.h).
#include "skin/adapters/lxSpeedButton.h"

#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "skin/core/lxSpeedButtonCore.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sControlUtils.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSectionPaint.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/core/win/sSkinText.h"

namespace {
int Live = 0;
// The caption is measured in a rectangle this wide, and wraps there.
constexpr int CaptionMeasureWidth = 255;
constexpr UINT MeasureFlags = DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK;
}   // namespace

int TlxSpeedButtonHandler::LiveCount() { return Live; }

TlxSpeedButtonHandler::TlxSpeedButtonHandler(TControl* control, bool, const std::string& section,
                                             TsSkinManager* manager, TsCommonData* data)
    : FControl(control), FSkinManager(manager), FSkinData(data) {
  ++Live;
  if (FSkinManager == nullptr && FSkinData != nullptr) FSkinManager = FSkinData->GetSkinManager();
  if (FSkinData != nullptr && FSkinData->GetSkinSection().empty()) FSkinData->SetSkinSection(section);
  if (FControl != nullptr) FHook.Install(FControl->WindowProc, [this](TMessage& m) { WndProc(m); });
}

TlxSpeedButtonHandler::~TlxSpeedButtonHandler() {
  FHook.Release();
  FSkinManager = nullptr;
  --Live;
}

void TlxSpeedButtonHandler::ForgetControl() {
  FHook.Forget();
  FControl = nullptr;
}

void TlxSpeedButtonHandler::Repaint() {
  if (FControl != nullptr && FControl->Visible()) FControl->Repaint();
}

int TlxSpeedButtonHandler::State() const {
  auto* button = As<TSpeedButton>(FControl);
  const auto state = button != nullptr ? static_cast<TlxSpeedButtonState>(button->State()) : lxsbUp;
  return SpeedButtonFaceState(state, FSkinData != nullptr && FSkinData->IsActiveState());
}

void TlxSpeedButtonHandler::WndProc(TMessage& message) {
  if (message.Msg == WM_SKINCOMMAND) {
    if (!SkinCommandAllowed(message.WParam, message.LParam)) {
      message.Result = 0;
      return;
    }
    const bool own = FSkinData != nullptr && IsFromOwnManager(message, FSkinData);
    switch (SkinCommandOf(message.WParam)) {
      case SkinCmdSkinLoaded:
        if (!own) break;
        HandleCommonMessage(message, FSkinData);
        return;
      case SkinCmdUnskin:
        if (!own || FControl == nullptr || (FControl->ComponentState() & csDestroying) != 0) break;
        HandleCommonMessage(message, FSkinData);
        // The button paints itself from now on: the hook goes before the repaint.
        FHook.Release();
        FDestroyed = true;
        Repaint();
        return;
      case SkinCmdRedrawSkin:
        if (!own) break;
        HandleCommonMessage(message, FSkinData);
        Repaint();
        return;
      case SkinCmdResumePaint:
        if (FSkinData == nullptr || !FSkinData->IsPaintLocked()) break;
        FSkinData->SetPaintLock(false);
        Repaint();
        return;
      case SkinCmdIsSkinned: message.Result = 1; return;
      case SkinCmdRepaintNow:
        if (FSkinData != nullptr) {
          FSkinData->SetPaintLock(false);
          FSkinData->BGChanged = 1;
        }
        Repaint();
        break;
      case SkinCmdQueryAppObject: message.Result = reinterpret_cast<LRESULT>(Application); return;
      default: break;
    }
    FHook.CallPrevious(message);
    return;
  }
  switch (message.Msg) {
    case WM_PAINT:
      if (message.WParam != 0) Paint(reinterpret_cast<HDC>(message.WParam));
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (FSkinData != nullptr) {
        FSkinData->MouseAbove = message.Msg == CM_MOUSEENTER ? 1 : 0;
        FSkinData->BGChanged = 1;
      }
      FHook.CallPrevious(message);
      Repaint();
      return;
    default: FHook.CallPrevious(message);
  }
}

void TlxSpeedButtonHandler::Paint(HDC dc) {
  if (FControl == nullptr || FSkinData == nullptr) return;
  const int saved = ::SaveDC(dc);
  BuildFace();
  TBitmap* cache = FSkinData->CacheBitmap();
  if (cache != nullptr && cache->GetWidth() > 0) {
    const TsSkinTables* t = FSkinManager != nullptr ? FSkinManager->Tables() : nullptr;
    FillControlCorners(cache, FControl, t, FSkinData->BorderIndex(), 0, FSkinManager != nullptr ? FSkinManager->MasterBitmap() : nullptr);
    ::BitBlt(dc, 0, 0, FControl->Width(), FControl->Height(), cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
  }
  ::RestoreDC(dc, saved);
}

void TlxSpeedButtonHandler::BuildFace() {
  FSkinData->EnsureCacheBitmap();
  TBitmap* cache = FSkinData->CacheBitmap();
  cache->Canvas()->Font()->Assign(FControl->Font());
  TsBackgroundRequest request;
  request.Rect = TRect{0, 0, FControl->Width(), FControl->Height()};
  if (FControl->Parent() != nullptr) RequestControlBackground(request, FControl->Parent(), false);
  TsBackgroundInfo info;
  BackgroundRequestToInfo(request, info);
  // A parent whose image is not built yet: the face keeps what it showed.
  if (info.Bitmap != nullptr && info.Bitmap->GetWidth() == 0) return;
  const TsSkinTables* t = FSkinManager != nullptr ? FSkinManager->Tables() : nullptr;
  TBitmap* master = FSkinManager != nullptr ? FSkinManager->MasterBitmap() : nullptr;
  const int state = State();
  const TRect face{0, 0, FControl->Width(), FControl->Height()};
  PaintControlItem(FSkinData->SectionIndex(), t, clFuchsia, FSkinData->HueOffsetOf(), FSkinData->SaturationOf(), info,
                   cache, TPoint{FControl->Left(), FControl->Top()}, face, state, master);
  FillControlCorners(cache, FControl, t, FSkinData->BorderIndex(), state, master);
  auto* button = As<TSpeedButton>(FControl);
  if (button != nullptr) PaintCaption(button, state);
}

void TlxSpeedButtonHandler::PaintCaption(TSpeedButton* button, int state) {
  TCanvas* canvas = FSkinData->CacheBitmap()->Canvas();
  const std::string caption = button->Caption();
  RECT measured{0, 0, CaptionMeasureWidth, 0};
  if (!caption.empty())
    ::DrawTextA(canvas->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &measured, MeasureFlags);
  TlxSpeedButtonLayout b;
  b.Width = button->Width();
  b.Height = button->Height();
  b.Layout = static_cast<TlxGlyphLayout>(button->Layout());
  b.Margin = button->Margin();
  b.Spacing = button->Spacing();
  b.GlyphWidth = button->Glyph()->Empty() ? 0 : button->Glyph()->GetWidth();
  b.GlyphHeight = button->Glyph()->Empty() ? 0 : button->Glyph()->GetHeight();
  b.NumGlyphs = button->NumGlyphs();
  b.TextWidth = caption.empty() ? 0 : measured.right - measured.left;
  b.TextHeight = caption.empty() ? 0 : measured.bottom - measured.top;
  b.Pressed = state == 2;
  button->DrawGlyph(canvas->GetHandle(), SpeedButtonGlyphRect(b));
  FCaptionRect = caption.empty() ? TRect{} : SpeedButtonCaptionRect(b);
  if (caption.empty()) return;
  TsTextSkinInfo info = TextSkinInfoOf(FSkinManager, FSkinData->SectionIndex());
  info.CustomFont = FSkinData->GetCustomFont();
  info.Cache = FSkinData->CacheBitmap();
  canvas->Brush()->SetStyle(TBrushStyle::bsClear);
  const UINT format = TextAlignFlags(taLeftJustify) | DT_EXPANDTABS | DT_WORDBREAK;
  DrawSkinTextSimple(canvas, caption, true, state != 0, info, format, FCaptionRect);
}
