// The triangle-mesh gradient (mode 2 of a section's gradient), drawn by the system's
// GradientFill from msimg32, looked up at start-up, which also installs it as the mesh painter
// of the window-free section fills. Owns the msimg32 module reference.
#pragma once

#include <windows.h>

#include "framework/base/Types.h"
#include "skin/paint/sGradient.h"

void InitGradientUnit();
void DoneGradientUnit();
bool GradientFillAvailable();

// Five vertices (top-left, centre, top-right, bottom-right, bottom-left) coloured by stops
// 0..4 (a missing stop repeats the previous colour), four triangles, alpha 0xFF00. Nothing
// without stops, for an empty rectangle or without GradientFill.
void PaintGradientMesh(HDC dc, const TRect& r, const TsGradientArray& stops);
// The same mesh painted into r of a 32-bit pixel buffer (clipped), alpha 255: the painter that
// InitGradientUnit installs for the window-free gradient fills of sections.
void PaintGradientMeshPixels(const TlxPixelBuffer& b, const TRect& r, const TsGradientArray& stops);
