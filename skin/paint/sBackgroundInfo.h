// The two records of a background exchange between a see-through control and its parent:
// the request that travels with the skin command message, and the info in which painting
// routines take a background (a bitmap piece, or a colour). Window-free: the bitmap is the
// framework's TBitmap, known here only by name, and the device context a plain handle. The
// records own nothing: bitmaps and DCs belong to whoever answered or asked.
#pragma once

#include <cstdint>

#include "framework/base/Types.h"

class TBitmap;
// The system's device-context handle type (HDC is a pointer to this incomplete struct).
struct HDC__;

// Answer kinds of a background request.
constexpr std::uint8_t bkNotAnswered = 0;
constexpr std::uint8_t bkColor = 1;
constexpr std::uint8_t bkBitmap = 2;

// Passed by address as the LParam of the skin commands that ask for a background.
struct TsBackgroundRequest {
  TBitmap* Bitmap = nullptr;   // answer: the bitmap holding the background
  TColor Color = 0;            // answer: the background colour (may be a system colour)
  std::int32_t OffsetX = 0;    // in: 0 or the caller's offset; answer: x of Rect in Bitmap
  std::int32_t OffsetY = 0;
  TRect Rect;                  // in: the area in the asker's coordinates
  std::uint8_t Kind = bkNotAnswered;
  std::uint8_t PaintToDC = 0;  // in: 1 asks the receiver to paint the background into DC too
  HDC__* DC = nullptr;         // in: the target of PaintToDC and of the unanswered fallback
};

// What lies behind a painted area: a piece of Bitmap with the area's origin at (X, Y), or a
// colour (RGB) when Bitmap is nil.
struct TsBackgroundInfo {
  TBitmap* Bitmap = nullptr;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  TColor Color = 0xFF00FF;     // 0xFF00FF when the info holds a bitmap, or for no colour
  std::uint8_t Ready = 0;      // 1 when the info holds a bitmap piece
};

// No background: no bitmap, colour 0xFF00FF.
constexpr TsBackgroundInfo EmptyBackgroundInfo() { return TsBackgroundInfo{}; }
