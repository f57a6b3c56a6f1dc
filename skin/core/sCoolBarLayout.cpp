// The skinned cool bar's band geometry (see sCoolBarLayout.h).
#include "skin/core/sCoolBarLayout.h"

int BandGripWidth(const TsBandGripQuery& q) {
  if ((q.FixedOrder && q.BandID == 0) || q.FixedSize) return 0;
  return q.ComCtlVersion >= ComCtlVersion471 ? 9 : 12;
}

int BandHeaderSize(const TsBandHeaderQuery& q) {
  if (!q.Exists || q.Hidden) return 0;
  const bool text = q.HasText;
  int size = text ? (q.Vertical ? q.TextHeight : q.TextWidth) : 0;
  bool imageCounted = false;
  if (q.ImageIndex >= 0) {
    if (text) size += 2;
    if (q.HasImages) {
      size += q.Vertical ? q.ImageHeight : q.ImageWidth;
      imageCounted = true;
    } else if (!text) {
      size += 4;
    }
  }
  if (text || imageCounted) size += 4;
  return size + q.GripWidth;
}
