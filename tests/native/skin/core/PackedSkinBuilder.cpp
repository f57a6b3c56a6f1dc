// Test helper for packed skins: see PackedSkinBuilder.h.
#include "tests/native/skin/core/PackedSkinBuilder.h"

#include <zlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

std::string Deflated(const std::string& data, int level) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                level) != Z_OK)
    throw std::runtime_error("compress2 failed");
  out.resize(size);
  return out;
}

void PutInt32(std::string& out, std::int64_t v) {
  const auto u = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
  for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

std::string BuildPackedSkin(const std::vector<TestEntry>& entries, const char* magic,
                            std::int64_t statedCount) {
  std::string out(magic, 4);
  PutInt32(out, statedCount >= 0 ? statedCount : static_cast<std::int64_t>(entries.size()));
  for (const TestEntry& e : entries) {
    PutInt32(out, static_cast<std::int64_t>(e.Name.size()));
    out += e.Name;
    PutInt32(out, e.StatedSize >= 0 ? e.StatedSize : static_cast<std::int64_t>(e.Data.size()));
    out += Deflated(e.Data);
  }
  return out;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ImageLikeBytes(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  std::uint32_t x = seed * 2654435761u + 1;
  for (std::size_t i = 0; i < size; ++i) {
    // Runs of similar bytes with noise, about as compressible as skin bitmaps.
    if (i % 16 == 0) x = x * 1664525u + 1013904223u;
    out[i] = static_cast<char>(((x >> 24) + (i % 4) * 40 + ((i / 64) & 3)) & 0xFF);
  }
  return out;
}
