// skinpack: writes a packed skin (".tez") from a skin folder holding "Options.dat" and the
// skin's images. Layout, integers signed 32-bit little-endian: "TEzf", the entry count, then per
// entry the name length, the name, the unpacked size and the file as a zlib stream. The options
// text comes first, then the other files of the folder in name order (sub-folders are skipped).
//
// Used by the build for the stored skins and by the tests for their fixtures; the test options
// below write deliberately broken files.
//
//   skinpack [options] <skin folder> <output.tez>
//     --magic XXXX        write these 4 bytes instead of "TEzf"
//     --truncate N        leave the last N bytes of the file out
//     --understate NAME   state the size of entry NAME one byte short (stream longer than said)
//     --level N           zlib level 0..9 (default 9)
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Options {
  std::string Magic = "TEzf";
  long Truncate = 0;
  std::string Understate;
  int Level = 9;
  fs::path Folder;
  fs::path Output;
};

[[noreturn]] void Fail(const std::string& msg) {
  std::fprintf(stderr, "skinpack: %s\n", msg.c_str());
  std::exit(1);
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

void PutInt32(std::vector<std::uint8_t>& out, std::int64_t v) {
  if (v < INT32_MIN || v > INT32_MAX) Fail("value does not fit 32 bits");
  const auto u = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

std::vector<std::uint8_t> ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) Fail("cannot read " + p.string());
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
}

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data, int level) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<std::uint8_t> out(size);
  if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level) != Z_OK)
    Fail("zlib failed");
  out.resize(size);
  return out;
}

Options ParseArgs(int argc, char** argv) {
  Options o;
  std::vector<std::string> rest;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Fail("missing value after " + a);
      return argv[++i];
    };
    if (a == "--magic") {
      o.Magic = value();
      if (o.Magic.size() != 4) Fail("--magic takes 4 characters");
    } else if (a == "--truncate") {
      o.Truncate = std::strtol(value().c_str(), nullptr, 10);
    } else if (a == "--understate") {
      o.Understate = value();
    } else if (a == "--level") {
      o.Level = std::clamp(std::atoi(value().c_str()), 0, 9);
    } else {
      rest.push_back(a);
    }
  }
  if (rest.size() != 2) Fail("usage: skinpack [options] <skin folder> <output.tez>");
  o.Folder = rest[0];
  o.Output = rest[1];
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = ParseArgs(argc, argv);
  if (!fs::is_directory(o.Folder)) Fail("no skin folder " + o.Folder.string());

  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(o.Folder))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  auto options = std::find_if(files.begin(), files.end(), [](const fs::path& p) {
    return SameText(p.filename().string(), "Options.dat");
  });
  if (options == files.end()) Fail("no Options.dat in " + o.Folder.string());
  std::rotate(files.begin(), options, options + 1);

  std::vector<std::uint8_t> out(o.Magic.begin(), o.Magic.end());
  PutInt32(out, static_cast<std::int64_t>(files.size()));
  for (const fs::path& p : files) {
    const std::string name = p.filename().string();
    const std::vector<std::uint8_t> data = ReadFile(p);
    PutInt32(out, static_cast<std::int64_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    std::int64_t stated = static_cast<std::int64_t>(data.size());
    if (!o.Understate.empty() && name == o.Understate) stated -= 1;
    PutInt32(out, stated);
    const std::vector<std::uint8_t> z = Deflate(data, o.Level);
    out.insert(out.end(), z.begin(), z.end());
  }
  if (o.Truncate > 0) out.resize(out.size() > static_cast<size_t>(o.Truncate)
                                     ? out.size() - static_cast<size_t>(o.Truncate)
                                     : 0);

  std::ofstream f(o.Output, std::ios::binary | std::ios::trunc);
  if (!f) Fail("cannot write " + o.Output.string());
  f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!f) Fail("cannot write " + o.Output.string());
  return 0;
}
