// Helpers of the PNG tests: reading the generated corpus and its manifest, and building small
// PNG files in memory (chunks with their CRC from zlib, image data deflated by zlib).
#pragma once

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <zlib.h>

namespace pngtest {

using Bytes = std::vector<std::uint8_t>;

struct TManifestEntry {
  std::string Kind;   // valid, short or broken
  std::string File;
  std::string ClassName;
  std::string Message;
};

inline std::string CorpusPath(const std::string& file) { return "corpus/" + file; }

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline Bytes ReadCorpusFile(const std::string& file) { return ReadFile(CorpusPath(file)); }

inline std::vector<TManifestEntry> ReadManifest() {
  std::vector<TManifestEntry> entries;
  std::ifstream in(CorpusPath("manifest.txt"));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string part;
    while (std::getline(ss, part, '\t')) f.push_back(part);
    TManifestEntry e;
    e.Kind = f.size() > 0 ? f[0] : "";
    e.File = f.size() > 1 ? f[1] : "";
    e.ClassName = f.size() > 2 ? f[2] : "";
    e.Message = f.size() > 3 ? f[3] : "";
    entries.push_back(e);
  }
  return entries;
}

inline void PutBE32(Bytes& b, std::uint32_t v) {
  b.push_back(std::uint8_t(v >> 24));
  b.push_back(std::uint8_t(v >> 16));
  b.push_back(std::uint8_t(v >> 8));
  b.push_back(std::uint8_t(v));
}

inline Bytes Chunk(const char* type, const Bytes& data) {
  Bytes b;
  PutBE32(b, std::uint32_t(data.size()));
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  b.insert(b.end(), body.begin(), body.end());
  PutBE32(b, std::uint32_t(crc32(0, body.data(), uInt(body.size()))));
  return b;
}

inline Bytes IHDR(std::uint32_t w, std::uint32_t h, int depth, int colorType, int interlace = 0) {
  Bytes d;
  PutBE32(d, w);
  PutBE32(d, h);
  d.push_back(std::uint8_t(depth));
  d.push_back(std::uint8_t(colorType));
  d.push_back(0);
  d.push_back(0);
  d.push_back(std::uint8_t(interlace));
  return Chunk("IHDR", d);
}

inline Bytes Deflate(const Bytes& raw) {
  uLongf size = compressBound(uLong(raw.size()));
  Bytes out(size);
  compress2(out.data(), &size, raw.data(), uLong(raw.size()), 6);
  out.resize(size);
  return out;
}

// A whole file: signature, IHDR, the chunks given, IEND.
inline Bytes File(const Bytes& ihdr, std::initializer_list<Bytes> chunks) {
  Bytes b = {137, 80, 78, 71, 13, 10, 26, 10};
  b.insert(b.end(), ihdr.begin(), ihdr.end());
  for (const Bytes& c : chunks) b.insert(b.end(), c.begin(), c.end());
  Bytes iend = Chunk("IEND", {});
  b.insert(b.end(), iend.begin(), iend.end());
  return b;
}

// Raw image data of unfiltered rows: filter byte 0 before each row.
inline Bytes PlainRows(std::initializer_list<Bytes> rows) {
  Bytes raw;
  for (const Bytes& r : rows) {
    raw.push_back(0);
    raw.insert(raw.end(), r.begin(), r.end());
  }
  return raw;
}

}  // namespace pngtest
