// Test helper: builds packed skins and zlib streams in memory, including broken ones whose
// counts and sizes lie, and reads fixture files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestEntry {
  std::string Name;
  std::string Data;
  std::int64_t StatedSize = -1;   // -1: the data's real size
};

std::string Deflated(const std::string& data, int level = 9);
void PutInt32(std::string& out, std::int64_t v);
std::string BuildPackedSkin(const std::vector<TestEntry>& entries, const char* magic = "TEzf",
                            std::int64_t statedCount = -1);
std::string ReadFileBytes(const std::string& path);
// Pseudo-random but compressible bytes, like image data.
std::string ImageLikeBytes(std::size_t size, std::uint32_t seed);
