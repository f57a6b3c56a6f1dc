#include "skin/core/win/sFade.h"

#include <windows.h>

#include "framework/win/Controls.h"
#include "framework/win/Forms.h"
#include "framework/win/WinTypes.h"
#include "skin/core/sAnimSteps.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sBitmap32.h"

int FadeTimerCount = 0;
bool FadeStopAll = false;

namespace {

constexpr std::uint32_t FadeInterval = 10;

const TsGeneralData* FadeSection(const TsCommonData* skinData) {
  TsSkinManager* m = skinData != nullptr ? skinData->GetSkinManager() : nullptr;
  if (m == nullptr || !SectionIndexInRange(m->Tables(), skinData->SectionIndex())) return nullptr;
  return &m->Tables()->GeneralData[static_cast<size_t>(skinData->SectionIndex())];
}

bool SectionFades(const TsCommonData* skinData) {
  const TsGeneralData* s = FadeSection(skinData);
  return s != nullptr && s->FadingEnabled;
}

bool ControlGoing(const TControl* c) { return c == nullptr || c->IsDestroying(); }

bool HasCache(const TsCommonData* skinData) {
  const TBitmap* cache = skinData->CacheBitmap();
  return cache != nullptr && !cache->Empty();
}

}   // namespace

ORBEX_IMPLEMENT_CLASS(TsFadeTimer, TTimer, nullptr)

TsFadeTimer::TsFadeTimer(TControl* owner) : TTimer(owner), FromImage(std::make_unique<TBitmap>()) {
  ++FadeTimerCount;
  SetEnabled(false);
  SetInterval(FadeInterval);
  // The framework runs a timer only with a handler; the stepping is Timer's own.
  SetOnTimer([](TObject*) {});
}

TsFadeTimer::~TsFadeTimer() { --FadeTimerCount; }

void TsFadeTimer::SetDirection(std::uint8_t value) {
  FDirection = value;
  if (Level < 0) Level = 1;
  SetEnabled(value != 0);
}

void TsFadeTimer::Timer() {
  if (SkinData == nullptr || IsDestroying() || FadeStopAll) return;
  FInTick = true;
  if (!Finished() && (FDirection == 1 || FDirection == 2)) FadeStep();
  FInTick = false;
  // Stopped inside the tick (command 16 from Finished): freed now that nothing of it runs.
  if (FFreeAfterTick) delete this;
}

bool TsFadeTimer::Finished() {
  TControl* owner = SkinData->OwnerControl();
  if (!ControlGoing(owner) && !(Application != nullptr && Application->Terminated())) {
    if (Level >= 0 && Level <= Iterations) return false;
    // The fade is over whatever the control answers: a control that ignores the command keeps
    // the timer, stopped. One that takes it frees the timer (at once outside a tick): only the
    // control is touched after it. The last frame went straight to the window; the control's
    // own paint takes over from it.
    SetEnabled(false);
    FDirection = 0;
    SendSkinCommandToControl(owner, SkinCmdCancelFade);
    if (!ControlGoing(owner)) owner->Repaint();
    return true;
  }
  FDirection = 0;
  return false;
}

void TsFadeTimer::FadeStep() {
  TControl* owner = SkinData->OwnerControl();
  if (ControlGoing(owner) || Iterations == 0 || FadeStopAll) return;
  if (!owner->Enabled()) {
    SetEnabled(false);
    Iterations = 0;
    SkinData->RequestRepaint();
    return;
  }
  TBitmap* cache = SkinData->CacheBitmap();
  const int w = FromImage->GetWidth(), h = FromImage->GetHeight();
  if (cache != nullptr && w > 0 && h > 0 && cache->GetWidth() >= w && cache->GetHeight() >= h) {
    std::unique_ptr<TBitmap> frame = CreateBitmap32(w, h);
    BitBlt(frame->Canvas()->GetHandle(), 0, 0, w, h, FromImage->Canvas()->GetHandle(), 0, 0, SRCCOPY);
    BlendConst(BitmapPixels(frame.get()), 0, 0, BitmapPixels(cache), 0, 0, w, h,
               static_cast<Byte>(FadeWeight(Level, Iterations)));
    if (SendSkinCommandToControl(owner, SkinCmdFadeFrame, reinterpret_cast<LPARAM>(frame.get())) == 0) {
      if (auto* win = As<TWinControl>(owner); win != nullptr && win->HandleAllocated()) {
        TWindowDC dc(win->Handle(), TWindowDC::TArea::Window);
        if (dc.Valid()) BitBlt(dc.Get(), 0, 0, w, h, frame->Canvas()->GetHandle(), 0, 0, SRCCOPY);
      }
    }
  }
  ++Level;
}

bool FadeEventAllowed(TlxAnimatEvent event, TlxAnimatEvents controlEvents, TsSkinManager* manager) {
  if (manager == nullptr) manager = TsSkinManager::DefaultManager();
  const TlxBtnEvents managerEvents = manager != nullptr ? manager->AnimEffects()->Buttons()->Events : 0;
  return FadeEventInSets(event, controlEvents, managerEvents);
}

void PrepareFade(TsFadeTimer* timer, TsCommonData* skinData, bool halve) {
  timer->SkinData = skinData;
  if (skinData->BGChanged != 0 && !HasCache(skinData))
    SendSkinCommandToControl(skinData->OwnerControl(), SkinCmdRebuildCache);
  if (TBitmap* cache = skinData->CacheBitmap(); cache != nullptr && !cache->Empty()) {
    std::unique_ptr<TBitmap> copy = CreateBitmap32(cache->GetWidth(), cache->GetHeight());
    BitBlt(copy->Canvas()->GetHandle(), 0, 0, cache->GetWidth(), cache->GetHeight(), cache->Canvas()->GetHandle(), 0, 0,
           SRCCOPY);
    timer->FromImage = std::move(copy);
  }
  timer->SetInterval(FadeInterval);
  const TsGeneralData* s = FadeSection(skinData);
  timer->Iterations = FadeIterations(s != nullptr ? s->FadingIterations : 0, timer->Direction(), timer->Level, halve);
}

void StartFade(TsFadeTimer** field, TsCommonData* skinData, bool halve, std::uint8_t direction) {
  if (!SectionFades(skinData) || ControlGoing(skinData->OwnerControl())) return;
  // A fade still running keeps its level: a turn runs back over the steps it made.
  if (*field == nullptr) {
    *field = new TsFadeTimer(skinData->OwnerControl());
    (*field)->Level = 1;
  }
  TsFadeTimer* timer = *field;
  PrepareFade(timer, skinData, halve);
  timer->Level = FadeStartLevel(timer->Level, timer->Iterations);
  SendSkinCommandToControl(skinData->OwnerControl(), SkinCmdRebuildCache);
  timer->SetDirection(direction);
}

void ChangeStateWithFade(TsFadeTimer** field, TsCommonData* skinData, bool halve, std::uint8_t direction,
                         bool allowed) {
  if (!skinData->HasSkin()) return;
  if (allowed && !SkinLoading && !SkinApplying && SectionFades(skinData) && !FadeStopAll && HasCache(skinData) &&
      skinData->BGChanged == 0) {
    skinData->BGChanged = 1;
    StartFade(field, skinData, halve, direction);
  } else {
    skinData->BGChanged = 1;
    StopFadeTimer(field, skinData);
    if (TControl* c = skinData->OwnerControl(); !ControlGoing(c)) c->Repaint();
  }
  skinData->UpdateGlow(false, nullptr);
}

void StopFadeTimer(TsFadeTimer** field, TsCommonData*) {
  TsFadeTimer* timer = *field;
  if (timer == nullptr || timer->IsDestroying()) return;
  *field = nullptr;
  timer->SetEnabled(false);
  timer->FDirection = 0;
  if (timer->InTick())
    timer->FFreeAfterTick = true;
  else
    delete timer;
}
