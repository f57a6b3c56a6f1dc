#include "skin/forms/lxFormTimers.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skin/core/sSkinData.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/core/win/sSkinMaskPaint.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/sFormImage.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/win/sAlphaGraphWin.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sBitmapKernels.h"
#include "skin/paint/win/sDwmApi.h"
#include "skin/paint/win/sWinUtils.h"

namespace {

constexpr COLORREF NoColourKey = 0x1FFFFFFF;
constexpr UINT BelowTaskbarFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW |
                                   SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;

TRect WindowRectOf(HWND wnd) {
  RECT r{};
  if (wnd != nullptr) GetWindowRect(wnd, &r);
  return Rect(r.left, r.top, r.right, r.bottom);
}

int FormAlpha(TsSkinProvider* provider) {
  TCustomForm* form = provider->Form();
  return form != nullptr && form->AlphaBlend() ? form->AlphaBlendValue() : 255;
}

void SetLayeredAlpha(HWND wnd, BYTE alpha) {
  const LONG ex = GetWindowLongA(wnd, GWL_EXSTYLE);
  if ((ex & WS_EX_LAYERED) == 0) SetWindowLongA(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  if (SetLayeredWindowAttributesProc != nullptr) SetLayeredWindowAttributesProc(wnd, NoColourKey, alpha, LWA_ALPHA);
}

void RemoveLayered(HWND wnd) {
  const LONG ex = GetWindowLongA(wnd, GWL_EXSTYLE);
  if ((ex & WS_EX_LAYERED) != 0) SetWindowLongA(wnd, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
}

// The system's minimize-and-restore animation off for a scope, put back on every path.
class TSystemAnimationOff {
public:
  TSystemAnimationOff() : FWas(GetWindowAnimationOn()) {
    if (FWas) SetWindowAnimationOn(false);
  }
  ~TSystemAnimationOff() {
    if (FWas) SetWindowAnimationOn(true);
  }
  TSystemAnimationOff(const TSystemAnimationOff&) = delete;
  TSystemAnimationOff& operator=(const TSystemAnimationOff&) = delete;

private:
  bool FWas;
};

// Memory committed in another process, released on every path.
class TRemoteMemory {
public:
  TRemoteMemory(HANDLE process, SIZE_T size)
      : FProcess(process), FAddress(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~TRemoteMemory() {
    if (FAddress != nullptr) VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
  }
  TRemoteMemory(const TRemoteMemory&) = delete;
  TRemoteMemory& operator=(const TRemoteMemory&) = delete;
  void* Get() const { return FAddress; }
  bool Read(void* out, SIZE_T size, const void* from = nullptr) const {
    SIZE_T got = 0;
    return ReadProcessMemory(FProcess, from != nullptr ? from : FAddress, out, size, &got) && got == size;
  }

private:
  HANDLE FProcess;
  void* FAddress;
};

bool IsWow64(HANDLE process) {
  using TIsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto entry = reinterpret_cast<TIsWow64>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL wow = FALSE;
  return entry != nullptr && entry(process, &wow) && wow;
}

}  // namespace

// =============================================================================================
// Blend on moving

class TlxProviderEffectOwner final : public IlxEffectOwner {
public:
  explicit TlxProviderEffectOwner(TsSkinProvider* provider) : P(provider) {}
  TlxBorderForm* EffectBorderForm() const override { return P != nullptr ? P->BorderForm() : nullptr; }
  TBitmap* EffectFrameCache() const override {
    return P != nullptr && P->SkinData() != nullptr ? P->SkinData()->CacheBitmap() : nullptr;
  }
  HWND EffectWindow() const override {
    return P != nullptr && P->Form() != nullptr && P->Form()->HandleAllocated() ? P->Form()->Handle() : nullptr;
  }
  TsSkinManager* EffectSkinManager() const override { return P != nullptr ? P->SkinManager() : nullptr; }
  TPoint EffectCacheOrigin() const override {
    const TsFormGeometry f = P->Geometry();
    return TPoint{f.ShadowLeft, f.ShadowTop};
  }
  bool EffectActive() const override { return P->FormActive; }
  bool EffectButton(int hitCode, TsSkinProvider::TsTitleButtonState& face) const override {
    const TsSkinProvider::TsTitleButtonState* b = P->TitleButton(hitCode);
    if (b == nullptr) return false;
    face = *b;
    face.MaskIndex = P->ButtonMaskFor(*b);
    return true;
  }
  TBitmap* EffectUserGlyph(int hitCode) const override {
    TsTitleButtons* users = P->TitleButtons();
    if (hitCode < htcUserButton || users == nullptr || hitCode - htcUserButton >= users->Count()) return nullptr;
    return users->Items(hitCode - htcUserButton)->Glyph();
  }

private:
  TsSkinProvider* P;
};

std::unique_ptr<IlxEffectOwner> MakeProviderEffectOwner(TsSkinProvider* provider) {
  return std::make_unique<TlxProviderEffectOwner>(provider);
}

TlxMoveTimer::TlxMoveTimer(IlxEffectOwner* owner, HWND form, int currentAlpha, int targetAlpha, int step)
    : TlxThreadedTimer(nullptr, true), CurrentAlpha(currentAlpha), TargetAlpha(targetAlpha), Step(step),
      FOwner(owner), FForm(form) {
  SetInterval(MoveTimerInterval);
}

TlxMoveTimer::TlxMoveTimer(TsSkinProvider* provider, HWND form, int currentAlpha, int targetAlpha, int step)
    : TlxMoveTimer(static_cast<IlxEffectOwner*>(nullptr), form, currentAlpha, targetAlpha, step) {
  FOwnOwner = std::make_unique<TlxProviderEffectOwner>(provider);
  FOwner = FOwnOwner.get();
}

TlxMoveTimer::~TlxMoveTimer() = default;

void TlxMoveTimer::TimerProc() {
  TlxBorderForm* border = FOwner != nullptr ? FOwner->EffectBorderForm() : nullptr;
  TBitmap* cache = FOwner != nullptr ? FOwner->EffectFrameCache() : nullptr;
  if (border != nullptr && border->Handle() != nullptr && cache != nullptr && !cache->Empty()) {
    ShowLayeredBitmap(border->Handle(), cache->GetHandle(), static_cast<BYTE>(CurrentAlpha));
  } else if (FForm != nullptr) {
    SetLayeredAlpha(FForm, static_cast<BYTE>(CurrentAlpha));
  }
  if (TargetAlpha < CurrentAlpha) CurrentAlpha = std::max(0, std::max(TargetAlpha, CurrentAlpha - Step));
}

// =============================================================================================
// Minimize run

TlxMinTimer::TlxMinTimer(TsSkinProvider* provider) : TlxThreadedTimer(nullptr, true), FProvider(provider) {
  Prepare();
}

TlxMinTimer::~TlxMinTimer() = default;

void TlxMinTimer::Prepare() {
  SetInterval(MinTimerInterval);
  StartAlpha = FormAlpha(FProvider);
  Alpha = StartAlpha;
  FForm = FProvider->Form() != nullptr && FProvider->Form()->HandleAllocated() ? FProvider->Form()->Handle() : nullptr;
  TlxBorderForm* border = FProvider->BorderForm();
  FUsesBorder = border != nullptr && border->Handle() != nullptr;
  FStart = FUsesBorder ? WindowRectOf(border->Handle()) : WindowRectOf(FForm);
  FTarget = TaskbarTarget(FForm, FStart);
  TsSkinManager* manager = FProvider->SkinManager();
  const int time = manager != nullptr ? manager->AnimEffects()->Minimizing()->Time : 200;
  FPlan = MakeMinPlan(time, FStart, FTarget, StartAlpha);
  FCurrent = TlxRectF{double(FStart.Left), double(FStart.Top), double(FStart.Right), double(FStart.Bottom)};
  FWork = CreateBitmap32(std::max(1, FStart.Width()), std::max(1, FStart.Height()));
  SetStretchBltMode(FWork->Canvas()->GetHandle(), COLORONCOLOR);
  if (!FUsesBorder && !FOwnForm) {
    FOwnForm = NewLayeredToolForm(FStart);
    if (FOwnForm) SetWindowRgn(FOwnForm->Handle(), nullptr, FALSE);
  }
}

void TlxMinTimer::RetargetToTaskbar() {
  FTarget = TaskbarTarget(FForm, FStart);
  FCurrent = TlxRectF{double(FTarget.Left), double(FTarget.Top), double(FTarget.Right), double(FTarget.Bottom)};
}

HWND TlxMinTimer::AnimationWindow() const {
  if (FUsesBorder) {
    TlxBorderForm* border = FProvider->BorderForm();
    return border != nullptr ? border->Handle() : nullptr;
  }
  return FOwnForm && FOwnForm->HandleAllocated() ? FOwnForm->Handle() : nullptr;
}

void TlxMinTimer::TargetBorderWindow() {
  TlxBorderForm* border = FProvider->BorderForm();
  if (border == nullptr || border->Handle() == nullptr) return;
  FUsesBorder = true;
  // The timer's own form is no longer shown: it goes now.
  FOwnForm.reset();
}

bool TlxMinTimer::AtEnd() const { return Alpha <= 0 || Alpha >= StartAlpha; }

void TlxMinTimer::ShowFrame() {
  const HWND wnd = AnimationWindow();
  const int w = std::max(0, static_cast<int>(std::lround(FCurrent.Width())));
  const int h = std::max(0, static_cast<int>(std::lround(FCurrent.Height())));
  const HDC dc = FWork->Canvas()->GetHandle();
  if (Image && !Image->Empty() && w > 0 && h > 0)
    StretchBlt(dc, (FWork->GetWidth() - w) / 2, (FWork->GetHeight() - h) / 2, w, h, Image->Canvas()->GetHandle(), 0, 0,
               Image->GetWidth(), Image->GetHeight(), SRCCOPY);
  GdiFlush();
  const double cx = (FCurrent.Left + FCurrent.Right) / 2, cy = (FCurrent.Top + FCurrent.Bottom) / 2;
  const POINT at{static_cast<LONG>(std::lround(cx)) - FWork->GetWidth() / 2,
                 static_cast<LONG>(std::lround(cy)) - FWork->GetHeight() / 2};
  ShowLayeredBitmap(wnd, FWork->GetHandle(), static_cast<BYTE>(std::clamp(Alpha, 0.0, 255.0)), &at);
  const HWND taskbar = TaskbarWindow();
  SetWindowPos(wnd, taskbar != nullptr ? taskbar : HWND_TOP, 0, 0, 0, 0, BelowTaskbarFlags);
}

void TlxMinTimer::TimerProc() {
  if (FInTick) return;
  FInTick = true;
  struct TClear {
    bool& Flag;
    ~TClear() { Flag = false; }
  } clear{FInTick};
  if (Minimized && (FProvider->FormState & TsSkinProvider::Minimizing) != 0) {
    Minimized = false;
    Restoring = false;
  } else if (!Minimized && !Restoring && (FProvider->FormState & TsSkinProvider::Restoring) != 0) {
    Restoring = true;
  }
  const HWND wnd = AnimationWindow();
  if (wnd == nullptr) {
    // Nothing to show the run in: a restore still brings the form back (it waits unseen, at
    // alpha 0, for the run's end).
    if (Restoring) EndRestore();
    else SetEnabled(false);
    return;
  }
  TlxBorderForm* border = FUsesBorder ? FProvider->BorderForm() : nullptr;
  if (border != nullptr) border->Updating = true;
  if (!Restoring) {
    // Cleared to transparent black: the picture shrinks inside it.
    PatBlt(FWork->Canvas()->GetHandle(), 0, 0, FWork->GetWidth(), FWork->GetHeight(), BLACKNESS);
    MinimizeStep(FCurrent, FPlan);
    Alpha = MinimizeAlpha(Alpha, FPlan);
    if (Alpha > 0) {
      ShowFrame();
      return;
    }
    SetEnabled(false);
    FProvider->HotElement = 0;
    FProvider->FormState &= ~TsSkinProvider::Minimizing;
    if (FForm != nullptr) RemoveLayered(FForm);
    if (border != nullptr) {
      border->FreeWindow();
    } else {
      ShowLayeredBitmap(wnd, nullptr, 0);
      ShowWindow(wnd, SW_HIDE);
    }
    Minimized = true;
    return;
  }
  RestoreStep(FCurrent, FPlan);
  Alpha = RestoreAlpha(Alpha, FPlan);
  if (Alpha < StartAlpha) {
    SetWindowRgn(wnd, nullptr, FALSE);
    ShowFrame();
    return;
  }
  EndRestore();
}

void TlxMinTimer::EndRestore() {
  SetEnabled(false);
  const HWND wnd = AnimationWindow();
  if (wnd != nullptr && Image && !Image->Empty()) {
    const POINT at{FStart.Left, FStart.Top};
    ShowLayeredBitmap(wnd, Image->GetHandle(), static_cast<BYTE>(StartAlpha), &at);
  }
  if (FForm != nullptr) {
    TSystemAnimationOff off;
    ShowWindow(FForm, IsZoomed(FForm) ? SW_MAXIMIZE : SW_SHOWNOACTIVATE);
  }
  if (wnd != nullptr) SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE);
  TCustomForm* form = FProvider->Form();
  if (FForm != nullptr) {
    if (form != nullptr && form->AlphaBlend()) SetLayeredAlpha(FForm, form->AlphaBlendValue());
    else RemoveLayered(FForm);
  }
  FProvider->Animating = false;
  FProvider->FormState &= ~TsSkinProvider::Restoring;
  TlxBorderForm* border = FUsesBorder ? FProvider->BorderForm() : nullptr;
  if (border != nullptr) border->Updating = false;
  if (form != nullptr && form->Menu() != nullptr && border == nullptr && AeroIsActive() && FProvider->SkinData() != nullptr)
    FProvider->SkinData()->BGChanged = 1;
  if (FForm != nullptr)
    RedrawWindow(FForm, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  Minimized = false;
  Restoring = false;
  Alpha = StartAlpha;
  if (border != nullptr) {
    border->UpdateExBorder(true, 255);
  } else if (FOwnForm) {
    if (FForm != nullptr)
      SetWindowPos(FOwnForm->Handle(), FForm, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE);
    // Forgotten as it goes, so that nothing frees it a second time.
    FOwnForm.reset();
  }
  if (FForm != nullptr) SetFocus(FForm);
  // No OnRestore here: the application fires it from its own restore, which the window hook
  // lets run as soon as the run starts.
}

// =============================================================================================
// Taskbar

TRect TaskbarTarget(HWND form, const TRect& start) {
  const HWND taskbar = TaskbarWindow();
  if (taskbar != nullptr && !AeroIsActive()) {
    const TRect button = TaskbarButtonRect(form);
    if (!button.IsEmpty()) return button;
  }
  const TRect bar = taskbar != nullptr ? WindowRectOf(taskbar) : TRect{};
  const RECT startRect{start.Left, start.Top, start.Right, start.Bottom};
  const HMONITOR monitor = !bar.IsEmpty() ? MonitorFromWindow(taskbar, MONITOR_DEFAULTTONEAREST)
                                          : MonitorFromRect(&startRect, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (!GetMonitorInfoA(monitor, &mi)) {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &mi.rcWork, 0);
    mi.rcMonitor = mi.rcWork;
  }
  return TaskbarEdgeTarget(bar, Rect(mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom),
                           Rect(mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom), start);
}

TRect TaskbarButtonRect(HWND window) {
  HWND toolbar = FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
  for (const char* cls : {"ReBarWindow32", "MSTaskSwWClass", "ToolbarWindow32"}) {
    if (toolbar == nullptr) return {};
    toolbar = FindWindowExA(toolbar, nullptr, cls, nullptr);
  }
  if (toolbar == nullptr || window == nullptr) return {};
  // The count comes from the shell's process: a taskbar holds a few hundred buttons at most,
  // so a larger answer is not walked.
  const LRESULT count = std::min<LRESULT>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 4096);
  if (count <= 0) return {};
  DWORD pid = 0;
  GetWindowThreadProcessId(toolbar, &pid);
  const TOwnedHandle process(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE, pid));
  if (!process) return {};
  const TlxTaskbarRecordLayout layout =
      TaskbarRecordLayout(sizeof(void*) == 8, IsWow64(GetCurrentProcess()), IsWow64(process.Get()));
  const TRemoteMemory memory(process.Get(), 4096);
  if (memory.Get() == nullptr) return {};
  for (LRESULT i = 0; i < count; ++i) {
    if (!SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(memory.Get()))) continue;
    unsigned char record[32] = {};
    if (!memory.Read(record, static_cast<SIZE_T>(layout.Size))) return {};
    const BYTE state = record[8], style = record[9];
    if ((state & TBSTATE_HIDDEN) != 0 || (style & 0x0D) != 0) continue;
    std::uint64_t data = 0;
    std::memcpy(&data, record + layout.DataAt, static_cast<size_t>(layout.DataSize));
    // Out of reach of this process's reads: not ours to look at.
    if (data == 0 || (!layout.ReachesAll && data > 0xFFFFFFFFull)) continue;
    std::uint32_t owner = 0;
    if (!memory.Read(&owner, sizeof(owner), reinterpret_cast<const void*>(static_cast<std::uintptr_t>(data)))) continue;
    if (owner != static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window))) continue;
    if (!SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(memory.Get()))) return {};
    RECT r{};
    if (!memory.Read(&r, sizeof(r))) return {};
    const TRect bar = WindowRectOf(toolbar);
    return Rect(r.left + bar.Left, r.top + bar.Top, r.right + bar.Left, r.bottom + bar.Top);
  }
  return {};
}

// =============================================================================================
// Title-button animation

TlxSBAnimation::TlxSBAnimation(IlxEffectOwner* owner, int hitCode) : TTimer(nullptr), FOwner(owner), FHitCode(hitCode) {
  SetEnabled(false);
  SetInterval(12);
  SetOnTimer([this](TObject*) { Tick(); });
}

TlxSBAnimation::TlxSBAnimation(TsSkinProvider* provider, int hitCode)
    : TlxSBAnimation(static_cast<IlxEffectOwner*>(nullptr), hitCode) {
  FOwnOwner = std::make_unique<TlxProviderEffectOwner>(provider);
  FOwner = FOwnOwner.get();
}

TlxSBAnimation::~TlxSBAnimation() {
  SetEnabled(false);
  FWindow.reset();
  FPicture.reset();
}

HWND TlxSBAnimation::Window() const { return FWindow && FWindow->HandleAllocated() ? FWindow->Handle() : nullptr; }

int TlxSBAnimation::StepAlpha(int step) const { return std::min(255 / std::max(1, StepCount) * step, 255); }

bool TlxSBAnimation::Face(TsSkinProvider::TsTitleButtonState& face) const {
  return FOwner != nullptr && FOwner->EffectButton(FHitCode, face);
}

int TlxSBAnimation::GlowMask(int& margin) const {
  margin = 0;
  TsSkinManager* m = FOwner->EffectSkinManager();
  TsSkinProvider::TsTitleButtonState b;
  if (!Face(b) || State != 1 || m == nullptr || m->Effects() == nullptr || !m->Effects()->GetAllowGlowing()) return -1;
  const TsSkinData& d = m->SkinData();
  if (FHitCode == htcMinButton) margin = d.BIMinGlowMargin;
  else if (FHitCode == htcMaxButton) margin = d.BIMaxGlowMargin;
  else if (FHitCode == htcClose) margin = d.BICloseGlowMargin;
  else return -1;
  return FindMaskEntryDirect(m->Tables(), "GLOBALINFO", std::string(b.MaskKey) + "GLOW0");
}

TRect TlxSBAnimation::GlowRect() {
  TsSkinProvider::TsTitleButtonState b;
  const HWND wnd = FOwner != nullptr ? FOwner->EffectWindow() : nullptr;
  if (!Face(b) || wnd == nullptr) return {};
  TlxBorderForm* border = FOwner->EffectBorderForm();
  TRect r = b.Rect;
  if (border != nullptr && border->Handle() != nullptr) {
    const TRect w = WindowRectOf(border->Handle());
    r = Rect(r.Left + w.Left, r.Top + w.Top, r.Right + w.Left, r.Bottom + w.Top);
  } else {
    const TRect w = WindowRectOf(wnd);
    const TPoint o = FOwner->EffectCacheOrigin();
    r = Rect(r.Left + w.Left - o.X, r.Top + w.Top - o.Y, r.Right + w.Left - o.X, r.Bottom + w.Top - o.Y);
  }
  int margin = 0;
  const int glow = GlowMask(margin);
  TsSkinManager* m = FOwner->EffectSkinManager();
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (glow >= 0 && MaskIndexInRange(t, glow)) {
    const TlxMaskImage image = MaskImageOf(t->MaskData[static_cast<size_t>(glow)], m->MasterBitmap());
    r.Left -= margin;
    r.Top -= margin;
    r.Right = r.Left + MaskFrameWidth(image);
    r.Bottom = r.Top + MaskFrameHeight(image);
  }
  return r;
}

void TlxSBAnimation::MakePicture() {
  TsSkinProvider::TsTitleButtonState b;
  TsSkinManager* m = FOwner != nullptr ? FOwner->EffectSkinManager() : nullptr;
  const TsSkinTables* t = m != nullptr ? m->Tables() : nullptr;
  if (!Face(b) || t == nullptr) return;
  int margin = 0;
  const int glow = GlowMask(margin);
  const int mask = glow >= 0 ? glow : b.MaskIndex;
  // A user button's own picture, drawn over its face (or alone when the skin has none).
  TBitmap* glyph = glow < 0 ? FOwner->EffectUserGlyph(FHitCode) : nullptr;
  if (glyph != nullptr && glyph->Empty()) glyph = nullptr;
  const bool masked = MaskIndexInRange(t, mask);
  if (!masked && glyph == nullptr) return;
  int w = b.Rect.Width(), h = b.Rect.Height();
  if (glow >= 0) {
    const TlxMaskImage image = MaskImageOf(t->MaskData[static_cast<size_t>(mask)], m->MasterBitmap());
    w = MaskFrameWidth(image);
    h = MaskFrameHeight(image);
  }
  if (w <= 0 || h <= 0) return;
  FPicture = CreateBitmap32(w, h);
  if (masked) {
    TsBackgroundInfo bg;
    bg.Bitmap = FPicture.get();
    bg.Ready = 1;
    // A glow's mask is drawn as its alpha says; a face as the frame cache draws it.
    TsSkinProvider::TsTitleButtonState face = b;
    face.State = State;
    const bool active = FOwner->EffectActive();
    if (glow >= 0)
      DrawMaskState(FPicture.get(), TPoint{0, 0}, 0, bg, t, mask, 0, m->MasterBitmap());
    else
      DrawMaskState(FPicture.get(), TPoint{0, 0}, face.Frame(active), bg, t, mask, face.DrawMode(active),
                    m->MasterBitmap());
  }
  // Centred, a pixel lower and to the right while pressed.
  if (glyph != nullptr) {
    const int pressed = State == 2 ? 1 : 0;
    DrawGlyphOver(FPicture.get(), glyph, (w - glyph->GetWidth()) / 2 + pressed, (h - glyph->GetHeight()) / 2 + pressed,
                  true, !b.Enabled, true);
  }
}

void TlxSBAnimation::Show(int alpha) {
  if (!FPicture) MakePicture();
  const HWND owner = FOwner != nullptr ? FOwner->EffectWindow() : nullptr;
  if (!FPicture || owner == nullptr) return;
  const TRect r = GlowRect();
  if (!FWindow) {
    FWindow = NewLayeredToolForm(r);
    if (!FWindow) return;
    const HWND h = FWindow->Handle();
    LONG ex = GetWindowLongA(h, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW;
    TlxBorderForm* border = FOwner->EffectBorderForm();
    const HWND top = border != nullptr && border->Handle() != nullptr ? border->Handle() : owner;
    if ((GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) ex |= WS_EX_TOPMOST;
    SetWindowLongA(h, GWL_EXSTYLE, ex);
  }
  const HWND h = FWindow->Handle();
  const POINT at{r.Left + (r.Width() - FPicture->GetWidth()) / 2, r.Top + (r.Height() - FPicture->GetHeight()) / 2};
  HWND after = HWND_TOP;
  if ((GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) {
    after = HWND_TOPMOST;
  } else if (const HWND above = GetWindow(owner, GW_HWNDPREV); above != nullptr && above != h) {
    after = above;
  }
  SetWindowPos(h, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowLayeredBitmap(h, FPicture->GetHandle(), static_cast<BYTE>(std::clamp(alpha, 0, 255)), &at);
  ShowWindow(h, SW_SHOWNOACTIVATE);
}

void TlxSBAnimation::ChangeState(int state, bool rising) {
  if (state == State) return;
  if (state == 2) {
    FWindow.reset();
    FPicture.reset();
  }
  Finished = false;
  if (state != 0) {
    // A new face: the picture is made again for it.
    if (State != -1 && state != State) FPicture.reset();
    State = state;
    Step = 1;
    Rising = rising;
    FShownFull = StepCount <= 1;
    Show(StepCount <= 1 ? 255 : StepAlpha(Step));
  } else {
    State = 0;
    Rising = false;
    Step = std::max(0, Step - 1);
    Show(StepAlpha(Step));
  }
  SetEnabled(StepCount > 1);
}

void TlxSBAnimation::Tick() {
  if (Rising) {
    if (Step < StepCount - 1) {
      ++Step;
      Show(StepAlpha(Step));
      return;
    }
    Step = StepCount;
    TsSkinProvider::TsTitleButtonState b;
    POINT p{};
    GetCursorPos(&p);
    const TRect r = GlowRect();
    if (!Face(b) || p.x < r.Left || p.x >= r.Right || p.y < r.Top || p.y >= r.Bottom) {
      SetEnabled(false);
      if (const HWND owner = FOwner != nullptr ? FOwner->EffectWindow() : nullptr) PostMessageA(owner, WM_MOUSELEAVE, 0, 0);
    }
    if (!FShownFull) {
      FShownFull = true;
      Show(255);
    }
    return;
  }
  if (Step > 0) {
    Show(StepAlpha(Step));
    --Step;
    return;
  }
  State = -1;
  SetEnabled(false);
  FWindow.reset();
  FPicture.reset();
  Finished = true;
}

void TlxButtonAnimations::Start(IlxEffectOwner* owner, int hitCode, int state) {
  // Animations that ended wait here to be freed, outside their own ticks.
  for (auto it = FItems.begin(); it != FItems.end();) {
    if (it->second->Finished && it->first != hitCode) it = FItems.erase(it);
    else ++it;
  }
  std::unique_ptr<TlxSBAnimation>& a = FItems[hitCode];
  if (!a) a = std::make_unique<TlxSBAnimation>(owner, hitCode);
  a->StepCount = state == 2 ? 1 : 10;
  a->ChangeState(state, state != 0);
}

TlxSBAnimation* TlxButtonAnimations::Find(int hitCode) const {
  const auto it = FItems.find(hitCode);
  return it != FItems.end() && !it->second->Finished ? it->second.get() : nullptr;
}
