// The window-free answer of a skinned frame to the colour query (skin command 21): its own
// colour unskinned, the "no colour" key when it paints an image of its own, else its section's
// colour mixed with its parent's by the section's transparency. The frame adapter (skin/forms
// sFrameAdapter) reads the frame, its parent and the skin, and calls this. Owns nothing.
// Window-free.
#pragma once

#include "framework/base/Types.h"

struct TsFrameColorQuery {
  bool HasSkin = false;
  bool NeedsOwnBackground = false;
  int Transparency = 0;          // the section's, normal state, in per cent
  TColor SectionColor = 0;
  bool HasParent = false;
  TColor ParentAnswer = 0;       // the parent's answer to command 21
  TColor ParentColor = 0;        // the parent's own colour, as RGB
  TColor OwnColor = 0;           // the frame's own colour, as RGB
};

// Unskinned: the own colour. Skinned with an image of its own: clFuchsia. Transparency 0: the
// section colour; 100: the parent's answer (its own colour when the answer is clFuchsia; the
// frame's own colour without a parent); between: the section colour mixed with the parent's
// (or the own colour without a parent) by that share, keeping the parent's fourth byte.
TColor FrameQueryColor(const TsFrameColorQuery& q);
