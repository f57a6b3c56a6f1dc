// Background requests to parent controls and windows: see sBackgroundRequest.h.
#include "skin/core/win/sBackgroundRequest.h"

#include <atomic>

#include "framework/win/Graphics.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/paint/win/sAlphaGraphWin.h"

namespace {

HDC RequestDC(const TsBackgroundRequest& r) { return reinterpret_cast<HDC>(r.DC); }

// Command 34 to a control: by its window when it has one, else through Perform (no window is
// made for the question). Sent as the engine's own, so the receiver trusts the request's address.
void AskControl(TControl* control, TsBackgroundRequest& request) {
  if (control == nullptr || control->IsDestroying()) return;
  const WPARAM wparam = MakeSkinWParam(SkinCmdQueryBackground);
  const LPARAM lparam = reinterpret_cast<LPARAM>(&request);
  DeliverToControl(control, WM_SKINCOMMAND, wparam, lparam);
}

// Runs `paintParent` with DC's origin moved so that the asker's Rect lies over the part of the
// parent at the offsets, clipped to it; the DC is restored afterwards.
template <class F>
void PaintParentInto(TsBackgroundRequest& request, F paintParent) {
  request.Rect.Left += request.OffsetX;
  request.Rect.Right += request.OffsetX;
  request.Rect.Top += request.OffsetY;
  request.Rect.Bottom += request.OffsetY;
  HDC dc = RequestDC(request);
  if (dc == nullptr) return;
  const int saved = SaveDC(dc);
  POINT old;
  OffsetViewportOrgEx(dc, -request.OffsetX, -request.OffsetY, &old);
  IntersectClipRect(dc, request.Rect.Left, request.Rect.Top, request.Rect.Right, request.Rect.Bottom);
  paintParent(dc);
  RestoreDC(dc, saved);
}

}  // namespace

int RequestControlBackground(TsBackgroundRequest& request, TControl* control, bool paint) {
  const bool fallback = request.PaintToDC != 0;
  request.Kind = bkNotAnswered;
  request.PaintToDC = paint ? 1 : 0;
  AskControl(control, request);
  if (request.Kind != bkNotAnswered) return 1;
  if (control == nullptr || control->IsDestroying()) return 0;
  if (fallback) {
    PaintParentInto(request, [control](HDC dc) {
      control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    });
    return 0;
  }
  request.Kind = bkColor;
  const LRESULT answer = SendSkinCommandToControl(control, SkinCmdQueryColor, 0);
  request.Color = answer != 0 ? static_cast<TColor>(answer) : ColorToRGB(control->Color());
  if (paint && request.Bitmap != nullptr && RequestDC(request) != nullptr)
    FillDCRect(RequestDC(request), request.Rect, request.Color);
  return 0;
}

namespace {
std::atomic<TDefaultGlobalColorSource> DefaultGlobalColor{nullptr};
}  // namespace

void SetDefaultGlobalColorSource(TDefaultGlobalColorSource source) { DefaultGlobalColor.store(source); }

int RequestWindowBackground(TsBackgroundRequest& request, HWND wnd, bool paint) {
  const bool fallback = request.PaintToDC != 0;
  request.Kind = bkNotAnswered;
  request.PaintToDC = paint ? 1 : 0;
  if (wnd != nullptr) SendSkinCommand(wnd, SkinCmdQueryBackground, reinterpret_cast<LPARAM>(&request));
  if (request.Kind != bkNotAnswered) return 1;
  if (fallback) {
    if (wnd == nullptr) return 0;
    PaintParentInto(request, [wnd](HDC dc) {
      SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      SendMessageA(wnd, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    });
    return 0;
  }
  const TDefaultGlobalColorSource source = DefaultGlobalColor.load();
  request.Color = source != nullptr ? source() : BackgroundNoManagerColor;
  request.Kind = bkColor;
  return 0;
}

void BackgroundRequestToInfo(const TsBackgroundRequest& request, TsBackgroundInfo& info) {
  if (request.Kind == bkBitmap) {
    info = TsBackgroundInfo{request.Bitmap, request.OffsetX, request.OffsetY, 0xFF00FF, 1};
  } else {
    info = TsBackgroundInfo{nullptr, request.OffsetX, request.OffsetY,
                            static_cast<TColor>(SkinColorToRGB(request.Color)), 0};
  }
}
