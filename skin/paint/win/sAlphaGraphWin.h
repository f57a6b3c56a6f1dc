// The window-system side of the painting layer's chief unit: the layered-window entry points
// looked up in user32 at start-up, the check-box glyph size of the system bitmap, the system's
// stretch installed for the window-free painting, and the device-context fills and strip copies
// used where the engine paints into a DC directly.
// Owns the user32 module reference taken at start-up (released at shut-down).
#pragma once

#include <windows.h>

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"

using TUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
using TSetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Set by InitAlphaGraphUnit; nil when the system lacks them.
extern TUpdateLayeredWindow UpdateLayeredWindowProc;
extern TSetLayeredWindowAttributes SetLayeredWindowAttributesProc;
// Check-box glyph size: a quarter of the width and a third of the height of OBM_CHECKBOXES.
extern int CheckBoxWidth;
extern int CheckBoxHeight;

// Unit start-up and shut-down (called by the program's ordered unit list).
void InitAlphaGraphUnit();
void DoneAlphaGraphUnit();
bool LayeredWindowsAvailable();
void CheckBoxGlyphSize();

// The system's StretchBlt (COLORONCOLOR, SRCCOPY) of srcRect of src onto dstRect of dst,
// painting only inside clip and dst; false (nothing painted) when the piece reaches beyond src
// or GDI refuses. InitAlphaGraphUnit installs it as the stretch of the window-free painting.
bool StretchBltPixels(const TlxPixelBuffer& dst, const TRect& dstRect, const TRect& clip, const TlxPixelBuffer& src,
                      const TRect& srcRect);

// A colour in RGB: framework system colours (top byte 0x80 or 0xFF with the index in the low
// byte) are asked of the system; other values lose their top byte.
COLORREF SkinColorToRGB(TColor c);

// FillRect with a solid brush of the colour; the DC is saved and restored.
void FillDCRect(HDC dc, const TRect& r, TColor c);
// Four strips with one brush: top (full width), left (below it), bottom (right of the left
// strip), right (between top and bottom); the DC is saved and restored.
void FillDCBorderStrips(HDC dc, const TRect& r, int leftWidth, TColor c, int bottomWidth, int rightWidth,
                        int topWidth);
// BitBlt (SRCCOPY) of the four strips of width w of the rectangle (x, y, width, height) from
// the source DC at (srcX, srcY): left, top, right, bottom.
void CopyBorderStrips(HDC dst, int x, int y, int w, int srcY, int srcX, HDC src, int height, int width);
