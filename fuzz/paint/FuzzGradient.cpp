// Fuzz target of the gradient description parser: any text; a parsed result must obey the
// parser's limits, and painting it into a small buffer must stay inside it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/paint/FuzzGuard.h"
#include "skin/paint/sGradient.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  TsGradientArray stops;
  try {
    ParseGradientData(text, stops);
  } catch (const EConvertError&) {
    return 0;
  }
  std::size_t words = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != ';' && (i == 0 || text[i - 1] == ';')) ++words;
  if (stops.size() != words / 5) std::abort();
  for (const TsGradientStop& s : stops)
    if (s.Color1 < 0 || s.Color2 < 0 || s.Percent < 0 || s.Percent > 100) std::abort();
  // Paint with the trailing bytes choosing the rectangle and the offset.
  paintfuzz::TReader r(data + size / 2, size - size / 2);
  paintfuzz::TGuardedImage img(r.Small(1, 40), r.Small(1, 40), r.U8() & 1, r);
  PaintGradient(img.View(), r.Rect(), stops, r.Coord());
  img.CheckGuards();
  return 0;
}
