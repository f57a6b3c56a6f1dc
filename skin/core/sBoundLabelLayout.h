// Where a bound label sits beside its control, for each caption layout. Window-free; the
// rectangles are in the control's parent's client coordinates (pixels).
#pragma once

#include "framework/base/Types.h"
#include "skin/core/sConst.h"

// The label's top-left corner for a label of `labelSize` beside `control`, `indent` pixels
// away (a label on the left keeps 4 more).
TPoint BoundLabelPosition(TsCaptionLayout layout, const TRect& control, TSize labelSize, int indent);
