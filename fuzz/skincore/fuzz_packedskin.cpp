// Fuzz target of the packed skin reader: any bytes as a stored skin's data. A failure must be
// an Exception with the convertor gone and the lent data untouched; a success must hold the
// options text, as many items as it counts, and no more than the unpack limit.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "skin/core/lxSkinConvertor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TMemoryStream source;
  source.WriteBuffer(data, static_cast<std::int64_t>(size));
  std::unique_ptr<TlxSkinConvertor> c;
  try {
    ExtractPackedSkinFrom(source, c);
  } catch (const Exception&) {
    if (c != nullptr) std::abort();
    if (source.Size() != static_cast<std::int64_t>(size)) std::abort();
    return 0;
  }
  if (c == nullptr || c->Options() == nullptr || c->SourceStream() != nullptr) std::abort();
  if (c->ImageCount() != static_cast<int>(c->ImageData().size())) std::abort();
  std::int64_t total = c->Options()->Size();
  for (const TlxImageItem& item : c->ImageData()) {
    if (item.Data == nullptr) std::abort();
    total += item.Data->Size();
  }
  if (total > TlxSkinConvertor::MaxUnpackedTotal) std::abort();
  return 0;
}
