// Plain geometric and colour types shared by every layer. Window-free: the Win32 RECT and
// POINT convert to and from these at the framework's edge (framework/win/WinTypes.h).
#pragma once

#include <cstdint>

using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;

// A colour in the framework's encoding: 0x00BBGGRR; the top byte flags system colours
// (0x80 + index, see framework/win/Graphics.h) or carries alpha where a routine says so.
using TColor = std::int32_t;

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Half-open rectangle: Right and Bottom are excluded unless a routine says otherwise.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// The state of an item being custom-drawn (a tool button), a set of the system's CDIS_ bits.
using TCustomDrawState = std::uint32_t;
constexpr TCustomDrawState cdsSelected = 0x1, cdsGrayed = 0x2, cdsDisabled = 0x4, cdsChecked = 0x8,
                           cdsFocused = 0x10, cdsDefault = 0x20, cdsHot = 0x40, cdsMarked = 0x80,
                           cdsIndeterminate = 0x100;

inline TRect Rect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
inline TRect Bounds(int l, int t, int w, int h) { return TRect{l, t, l + w, t + h}; }
inline TPoint Point(int x, int y) { return TPoint{x, y}; }
