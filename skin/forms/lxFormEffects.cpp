// The skin provider's effect starters: blend on moving, the start and reversal of the
// minimize run, and the form timer that carries them.
#include "skin/forms/sSkinProvider.h"

#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/lxFormTimers.h"
#include "skin/forms/sAnimations.h"
#include "skin/forms/sAppWindowHook.h"
#include "skin/forms/sFormImage.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDwmApi.h"

namespace {

constexpr COLORREF NoColourKey = 0x1FFFFFFF;
constexpr WPARAM DragMove = 0xF012;

void SetWindowAlpha(HWND wnd, BYTE alpha) {
  const LONG ex = GetWindowLongA(wnd, GWL_EXSTYLE);
  if ((ex & WS_EX_LAYERED) == 0) SetWindowLongA(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  if (SetLayeredWindowAttributesProc != nullptr) SetLayeredWindowAttributesProc(wnd, NoColourKey, alpha, LWA_ALPHA);
}

}  // namespace

void TsSkinProvider::SetFormTimer(std::unique_ptr<TlxThreadedTimer> timer) {
  if (FRetiredTimer && !FRetiredTimer->InTick()) FRetiredTimer.reset();
  if (FFormTimer && FFormTimer->InTick()) {
    // Freed inside its own tick: it must outlive the tick, so it waits, stopped.
    FFormTimer->SetEnabled(false);
    FRetiredTimer = std::move(FFormTimer);
  }
  FFormTimer = std::move(timer);
}

void TsSkinProvider::StartBlendMoving() {
  TsSkinManager* manager = SkinManager();
  if (manager == nullptr || FForm == nullptr || !FForm->HandleAllocated()) return;
  const TlxBlendOnMoving* blend = manager->AnimEffects()->BlendOnMoving();
  if (!blend->Active || (FormState & Moving) != 0) return;
  FormState |= Moving;
  const HWND wnd = FForm->Handle();
  const int current = FForm->AlphaBlend() ? FForm->AlphaBlendValue() : 255;
  const int target = AllowBlendOnMoving ? blend->BlendValue : 255;
  auto owned = std::make_unique<TlxMoveTimer>(this, wnd, current, target, BlendMoveStep(blend->Time, target));
  TlxMoveTimer* timer = owned.get();
  SetFormTimer(std::move(owned));
  const std::shared_ptr<bool> alive = FAlive;
  const HWND border = FBorderForm != nullptr ? FBorderForm->Handle() : nullptr;
  if (border != nullptr) {
    if (FForm->AlphaBlend() && FForm->AlphaBlendValue() < 255) SetWindowAlpha(wnd, 0);
    RefreshBorderForm(true);
    FBorderForm->Updating = true;
    SetWindowPos(wnd, border, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    // The border window carries the whole image while it moves; the form stays where it was
    // until the end and must show nothing there meanwhile.
    ShowLayeredBitmap(wnd, nullptr, 0);
    RECT before{};
    GetWindowRect(border, &before);
    timer->SetEnabled(true);
    SendMessageA(border, WM_SYSCOMMAND, DragMove, 0);
    if (!*alive) return;
    // The form follows the border window to its place inside it.
    RECT after{};
    if (FBorderForm != nullptr && FBorderForm->Handle() != nullptr && GetWindowRect(FBorderForm->Handle(), &after)) {
      if (SystemMajorAtLeast6() && after.top < 0) {
        SetWindowPos(FBorderForm->Handle(), nullptr, before.left, before.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        after = before;
      }
      RECT form{};
      GetWindowRect(wnd, &form);
      SetWindowPos(wnd, nullptr, form.left + after.left - before.left, form.top + after.top - before.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  } else {
    if (!FForm->AlphaBlend()) {
      // The form turns layered under a picture of itself, so that the switch never shows.
      std::unique_ptr<TCustomForm> cover = MakeSnapshotCover(wnd);
      SetWindowAlpha(wnd, 255);
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    timer->SetEnabled(true);
    SendMessageA(wnd, WM_SYSCOMMAND, DragMove, 0);
    if (!*alive) return;
  }
  EndBlendMoving();
}

void TsSkinProvider::EndBlendMoving() {
  if (FForm == nullptr || !FForm->HandleAllocated()) return;
  const HWND wnd = FForm->Handle();
  if (FFormTimer != nullptr && dynamic_cast<TlxMoveTimer*>(FFormTimer.get()) != nullptr) FFormTimer->SetEnabled(false);
  const bool alphaBlend = FForm->AlphaBlend();
  const HWND border = FBorderForm != nullptr ? FBorderForm->Handle() : nullptr;
  FormState &= ~static_cast<std::uint32_t>(Moving);
  if (border != nullptr) {
    if (TBitmap* cache = FSkinData->CacheBitmap(); cache != nullptr && !cache->Empty())
      ShowLayeredBitmap(border, cache->GetHandle(), alphaBlend ? FForm->AlphaBlendValue() : 255);
  }
  if (alphaBlend) {
    // A window that showed an uploaded image takes a constant alpha only when made layered anew.
    if (border != nullptr) SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    SetWindowAlpha(wnd, FForm->AlphaBlendValue());
  } else {
    std::unique_ptr<TCustomForm> cover = border == nullptr ? MakeSnapshotCover(wnd) : nullptr;
    SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    UpdateWindow(wnd);
  }
  if (border != nullptr) {
    FSkinData->BGChanged = 1;
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    AnimSleep(20);
    if (AeroIsActive() && FForm->Menu() != nullptr) SendMessageA(wnd, WM_NCPAINT, 0, 0);
    FBorderForm->Updating = false;
    RefreshBorderForm(true);
  }
}

void TsSkinProvider::StartMinimizeAnimation() {
  TsSkinManager* manager = SkinManager();
  const HWND wnd = FForm != nullptr && FForm->HandleAllocated() ? FForm->Handle() : nullptr;
  if (manager != nullptr && wnd != nullptr && manager->AnimEffects()->Minimizing()->Active) {
    StopButtonAnimations();
    if ((FormState & Minimizing) == 0) {
      FormState |= Minimizing;
      Animating = true;
      auto* timer = dynamic_cast<TlxMinTimer*>(FFormTimer.get());
      bool fresh = false;
      if (timer == nullptr) {
        auto owned = std::make_unique<TlxMinTimer>(this);
        timer = owned.get();
        SetFormTimer(std::move(owned));
        fresh = true;
      } else if ((FormState & Restoring) == 0) {
        timer->Restoring = false;
      }
      FormState &= ~static_cast<std::uint32_t>(Restoring);
      if (timer->AtEnd()) {
        if (!fresh) timer->Prepare();
        TlxBorderForm* border = FBorderForm != nullptr && FBorderForm->Handle() != nullptr ? FBorderForm.get() : nullptr;
        TBitmap* cache = FSkinData->CacheBitmap();
        if (border != nullptr && cache != nullptr && !cache->Empty()) {
          RefreshBorderForm(true);
          EnableBlurBehind(border->Handle(), false, nullptr);
          timer->Image = CreateBitmap32(cache->GetWidth(), cache->GetHeight());
          BitBlt(timer->Image->Canvas()->GetHandle(), 0, 0, cache->GetWidth(), cache->GetHeight(),
                 cache->Canvas()->GetHandle(), 0, 0, SRCCOPY);
          border->Updating = true;
          SetWindowPos(border->Handle(), TopmostHandle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
          SetWindowRgn(border->Handle(), nullptr, FALSE);
        } else {
          timer->Image = MakeFormImage(this, false);
        }
        SetWindowAlpha(wnd, 0);
        timer->SetEnabled(true);
      }
    }
  }
  if (wnd != nullptr) SetTaskbarThumbnailMode(wnd, true);
}

bool TsSkinProvider::StartRestoreAnimation() {
  auto* timer = dynamic_cast<TlxMinTimer*>(FFormTimer.get());
  TsSkinManager* manager = SkinManager();
  if (timer == nullptr || manager == nullptr || !manager->AnimEffects()->Minimizing()->Active ||
      (FormState & Restoring) != 0)
    return false;
  FormState &= ~static_cast<std::uint32_t>(Minimizing);
  FormState |= Restoring;
  Animating = true;
  // The form is shown again by the application before the run ends: unseen until then.
  if (FForm != nullptr && FForm->HandleAllocated()) SetWindowAlpha(FForm->Handle(), 0);
  if (FBorderForm != nullptr) {
    if (FBorderForm->Handle() == nullptr) FBorderForm->CreateWindow();
    if (FBorderForm->Handle() != nullptr && timer->Image != nullptr && !timer->Image->Empty())
      ShowLayeredBitmap(FBorderForm->Handle(), timer->Image->GetHandle(), 0);
    timer->TargetBorderWindow();
    if (FBorderForm->Handle() != nullptr)
      SetWindowPos(FBorderForm->Handle(), TopmostHandle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FormActive = true;
    FSkinData->BGChanged = 1;
  }
  timer->Restoring = true;
  timer->Minimized = false;
  timer->SetEnabled(true);
  if (FForm != nullptr && FForm->HandleAllocated()) SetTaskbarThumbnailMode(FForm->Handle(), false);
  return true;
}

void TsSkinProvider::StartTitleButtonAnimation(const TsTitleButtonState& b, int state) {
  if (!FEffectOwner) FEffectOwner = MakeProviderEffectOwner(this);
  if (!FButtonAnimations) FButtonAnimations = std::make_unique<TlxButtonAnimations>();
  FButtonAnimations->Start(FEffectOwner.get(), b.HitCode, state);
}

void TsSkinProvider::StopButtonAnimations() {
  if (FButtonAnimations) FButtonAnimations->Clear();
}

TlxSBAnimation* TsSkinProvider::ButtonAnimation(int hitCode) const {
  return FButtonAnimations ? FButtonAnimations->Find(hitCode) : nullptr;
}
