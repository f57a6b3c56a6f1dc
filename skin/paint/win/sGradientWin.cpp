// Triangle-mesh gradient through GradientFill (see sGradientWin.h).
#include "skin/paint/win/sGradientWin.h"

#include "framework/base/win/HandleOwner.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/win/sDibSection.h"

using TGradientFill = BOOL(WINAPI*)(HDC, TRIVERTEX*, ULONG, void*, ULONG, ULONG);

static TOwnedModule Msimg32Module;
static TGradientFill GradientFillProc = nullptr;

void InitGradientUnit() {
  if (Msimg32Module) return;
  Msimg32Module.Reset(LoadLibraryA("msimg32.dll"));
  if (Msimg32Module)
    GradientFillProc = reinterpret_cast<TGradientFill>(reinterpret_cast<void*>(GetProcAddress(Msimg32Module.Get(), "GradientFill")));
  // Section fills reach the mesh through the window-free gradient painter.
  SetGradientMeshProc(&PaintGradientMeshPixels);
}

void DoneGradientUnit() {
  SetGradientMeshProc(nullptr);
  GradientFillProc = nullptr;
  Msimg32Module.Reset();
}

bool GradientFillAvailable() { return GradientFillProc != nullptr; }

void PaintGradientMesh(HDC dc, const TRect& r, const TsGradientArray& stops) {
  if (!dc || !GradientFillProc || stops.empty() || r.IsEmpty()) return;
  const LONG xs[5] = {r.Left, r.Left + r.Width() / 2, r.Right, r.Right, r.Left};
  const LONG ys[5] = {r.Top, r.Top + r.Height() / 2, r.Top, r.Bottom, r.Bottom};
  TRIVERTEX v[5];
  TColor c = stops[0].Color1;
  for (int i = 0; i < 5; ++i) {
    if (static_cast<std::size_t>(i) < stops.size()) c = stops[static_cast<std::size_t>(i)].Color1;
    v[i].x = xs[i];
    v[i].y = ys[i];
    // Channels shifted into the high byte of GradientFill's 16-bit components.
    v[i].Red = static_cast<COLOR16>((c & 0xFF) << 8);
    v[i].Green = static_cast<COLOR16>(((c >> 8) & 0xFF) << 8);
    v[i].Blue = static_cast<COLOR16>(((c >> 16) & 0xFF) << 8);
    v[i].Alpha = 0xFF00;
  }
  GRADIENT_TRIANGLE tri[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {1, 3, 4}};
  GradientFillProc(dc, v, 5, tri, 4, GRADIENT_FILL_TRIANGLE);
}

void PaintGradientMeshPixels(const TlxPixelBuffer& b, const TRect& r, const TsGradientArray& stops) {
  const TRect k = ClipRectTo(r, b);
  if (!GradientFillProc || stops.empty() || k.IsEmpty() || b.BytesPerPixel != 4) return;
  // Drawn into a DIB of the rectangle's size (the buffer may be any memory), then copied in.
  TlxDibSection work(k.Width(), k.Height(), false);
  if (!work.GetHandle()) return;
  {
    TMemoryDC dc(nullptr, work.GetHandle());
    if (!dc.Get()) return;
    PaintGradientMesh(dc.Get(), TRect{0, 0, k.Width(), k.Height()}, stops);
    GdiFlush();
  }
  SetRectAlpha(work.View(), work.View().BoundsRect(), 255, false);
  CopyPixelRect(b, k.Left, k.Top, work.View(), work.View().BoundsRect());
}
