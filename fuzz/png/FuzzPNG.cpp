// Fuzz target of the PNG reader. The input is a file followed by one option byte (see below).
// Any input either decodes into a picture that agrees with its header or fails with one of
// the reader's exceptions; decoding the same input again with the same decoder gives the same
// result (no state leaks from one load into the next).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "skin/paint/lxPNG.h"
#include "tests/native/skin/paint/png/PNGMemoryTarget.h"

namespace {

// Small enough to keep every run fast.
constexpr std::uint64_t FuzzMaxImageBytes = 4u << 20;

struct TOutcome {
  bool Ok = false;
  std::string Error;
};

TOutcome Run(TPNGDecoder& decoder, const std::uint8_t* data, std::size_t size,
             TPNGMemoryTarget& target) {
  TOutcome o;
  try {
    decoder.Decode(std::span<const std::uint8_t>(data, size), target);
    o.Ok = true;
  } catch (const Exception& e) {
    o.Error = std::string(e.ClassName()) + ": " + e.Message();
  }
  return o;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

// Rewrites the CRC of every complete chunk, so that mutations reach past the CRC checks into
// the chunk contents, the inflater and the row decoding.
void FixChunkCRCs(std::vector<std::uint8_t>& d) {
  std::size_t pos = 8;
  while (pos + 12 <= d.size()) {
    const std::uint64_t length = (std::uint64_t(d[pos]) << 24) | (d[pos + 1] << 16) |
                                 (d[pos + 2] << 8) | d[pos + 3];
    if (pos + 12 + length > d.size()) break;
    const std::uint32_t crc = Crc32Update(0, &d[pos + 4], std::size_t(length) + 4);
    const std::size_t at = pos + 8 + std::size_t(length);
    for (int i = 0; i < 4; ++i) d[at + std::size_t(i)] = std::uint8_t(crc >> (24 - 8 * i));
    pos += std::size_t(length) + 12;
  }
}

}  // namespace

// The last input byte picks the options: bit 0 set fixes the chunk CRCs first.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t inputSize) {
  if (inputSize == 0) return 0;
  std::vector<std::uint8_t> bytes(input, input + inputSize - 1);
  if (input[inputSize - 1] & 1) FixChunkCRCs(bytes);
  const std::uint8_t* data = bytes.data();
  const std::size_t size = bytes.size();
  TPNGDecoder decoder;
  decoder.SetMaxImageBytes(FuzzMaxImageBytes);
  TPNGMemoryTarget first;
  const TOutcome a = Run(decoder, data, size, first);
  Check(decoder.Position() <= size);
  Check(first.FormatCalls <= 1);
  if (a.Ok) {
    const TPNGImageProperties& p = decoder.GetImageProperties();
    Check(first.FormatCalls == 1);
    Check(first.Format.Width == p.Width && first.Format.Height == p.Height);
    const int bpp = first.Format.BitsPerPixel;
    Check(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32);
    Check(first.Format.Palette.size() <= 256);
    Check(first.Pixels.size() <= FuzzMaxImageBytes);
  }
  TPNGMemoryTarget second;
  const TOutcome b = Run(decoder, data, size, second);
  Check(a.Ok == b.Ok && a.Error == b.Error);
  Check(first.Pixels == second.Pixels && first.Format.Palette == second.Format.Palette);
  return 0;
}
