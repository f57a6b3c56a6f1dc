// String, number, path and error-text helpers of the framework base.
#include "framework/base/SysUtils.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

std::string FormatV(const char* fmt, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (n < 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  return out;
}

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string s = FormatV(fmt, args);
  va_end(args);
  return s;
}

std::string SysErrorMessage(std::uint32_t code) {
  std::string text;
#ifdef _WIN32
  char* buf = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                           nullptr, code, 0, reinterpret_cast<char*>(&buf), 0, nullptr);
  if (n != 0 && buf != nullptr) text.assign(buf, n);
  if (buf != nullptr) LocalFree(buf);
#else
  text = std::strerror(static_cast<int>(code));
#endif
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                           text.back() == '.'))
    text.pop_back();
  // The system's texts end with a full stop; keep it, only line breaks are noise.
  if (!text.empty()) {
#ifdef _WIN32
    text += '.';
#endif
  }
  return text;
}

std::string IntToStr(std::int64_t v) { return std::to_string(v); }

std::string IntToHex(std::uint64_t v, int digits) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*llX", digits, static_cast<unsigned long long>(v));
  return buf;
}

bool TryStrToInt64(const std::string& s, std::int64_t& out) {
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    neg = s[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  std::uint64_t v = 0;
  for (; i < s.size(); ++i) {
    int d;
    char c = s[i];
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    if (v > (UINT64_MAX - static_cast<unsigned>(d)) / static_cast<unsigned>(base)) return false;
    v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
  }
  if (base == 10) {
    if (neg ? v > static_cast<std::uint64_t>(INT64_MAX) + 1 : v > static_cast<std::uint64_t>(INT64_MAX))
      return false;
    out = neg ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
  } else {
    // Hexadecimal spells a bit pattern: "$FFFFFFFF" is -1 as a 32-bit value.
    std::int64_t sv = static_cast<std::int64_t>(v);
    out = neg ? -sv : sv;
  }
  return true;
}

bool TryStrToInt(const std::string& s, std::int32_t& out) {
  std::int64_t v;
  if (!TryStrToInt64(s, v)) return false;
  bool hex = s.find('$') != std::string::npos || s.find("0x") != std::string::npos ||
             s.find("0X") != std::string::npos;
  if (hex) {
    if (v > static_cast<std::int64_t>(UINT32_MAX) || v < INT32_MIN) return false;
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return true;
  }
  if (v > INT32_MAX || v < INT32_MIN) return false;
  out = static_cast<std::int32_t>(v);
  return true;
}

std::int32_t StrToInt(const std::string& s) {
  std::int32_t v;
  if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

std::int32_t StrToIntDef(const std::string& s, std::int32_t def) {
  std::int32_t v;
  return TryStrToInt(s, v) ? v : def;
}

bool TryStrToFloat(const std::string& s, double& out) {
  if (s.empty() || std::isspace(static_cast<unsigned char>(s[0]))) return false;
  const char* b = s.c_str();
  char* e = nullptr;
  errno = 0;
  double v = std::strtod(b, &e);
  if (e != b + s.size() || errno == ERANGE || !std::isfinite(v)) return false;
  out = v;
  return true;
}

double StrToFloat(const std::string& s) {
  double v;
  if (!TryStrToFloat(s, v)) throw EConvertError("'" + s + "' is not a valid floating point value");
  return v;
}

std::string FloatToStr(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

int CompareText(const std::string& a, const std::string& b) {
  std::string ua = UpperCase(a), ub = UpperCase(b);
  return ua.compare(ub);
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string TrimLeft(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

std::string TrimRight(const std::string& s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return s.substr(0, n);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

int Pos(const std::string& sub, const std::string& s) {
  if (sub.empty()) return 0;
  size_t p = s.find(sub);
  return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

char PathDelim() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

static bool IsDelim(char c) { return c == '\\' || c == '/'; }

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && IsDelim(path.back())) return path;
  return path + PathDelim();
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
  std::string r = path;
  while (!r.empty() && IsDelim(r.back())) r.pop_back();
  return r;
}

static size_t LastDelim(const std::string& path) {
  size_t p = path.find_last_of("\\/:");
  return p;
}

std::string ExtractFilePath(const std::string& path) {
  size_t p = LastDelim(path);
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& path) {
  size_t p = LastDelim(path);
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFileExt(const std::string& path) {
  std::string name = ExtractFileName(path);
  size_t p = name.rfind('.');
  return p == std::string::npos ? std::string() : name.substr(p);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  size_t d = LastDelim(path);
  size_t p = path.rfind('.');
  if (p == std::string::npos || (d != std::string::npos && p < d)) return path + ext;
  return path.substr(0, p) + ext;
}

bool FileExists(const std::string& path) {
#ifdef _WIN32
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
#else
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

bool DirectoryExists(const std::string& path) {
#ifdef _WIN32
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
#else
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
#endif
}

// ---------------------------------------------------------------------------------------------
// File search.

namespace {

constexpr int SearchNotFound = 2;      // the system's "file not found"
constexpr int SearchNoFolder = 3;      // "path not found"
constexpr int SearchNoMoreFiles = 18;  // "no more files"

#ifdef _WIN32
struct TFindState {
  HANDLE Handle = INVALID_HANDLE_VALUE;
};

void TakeFindData(const WIN32_FIND_DATAA& d, TSearchRec& rec) {
  rec.Name = d.cFileName;
  rec.Attr = static_cast<int>(d.dwFileAttributes);
  rec.Size = (static_cast<std::int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

// Steps on from the current entry (when `advance`) until one without an excluded attribute.
int FindMatching(TSearchRec& rec, bool advance) {
  auto* st = static_cast<TFindState*>(rec.FindHandle);
  WIN32_FIND_DATAA d;
  for (;;) {
    if (advance) {
      if (!FindNextFileA(st->Handle, &d)) return SearchNoMoreFiles;
      TakeFindData(d, rec);
    }
    advance = true;
    if ((rec.Attr & rec.ExcludeAttr) == 0) return 0;
  }
}
#else
struct TFindState {
  DIR* Dir = nullptr;
  std::string Folder;
  std::string Pattern;
};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// "*" any run, "?" one character; letter case ignored. Iterative with one backtrack point, so
// a hostile pattern cannot make it exponential.
bool WildcardMatch(const std::string& pattern, const std::string& name) {
  size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

int EntryAttributes(const std::string& folder, const std::string& name, std::int64_t& size) {
  struct stat st;
  size = 0;
  int attr = 0;
  if (name.size() > 1 && name[0] == '.' && name != "..") attr |= faHidden;
  if (stat((folder + name).c_str(), &st) != 0) return attr | faArchive;
  if (S_ISDIR(st.st_mode)) return attr | faDirectory;
  size = static_cast<std::int64_t>(st.st_size);
  if ((st.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
  return attr | faArchive;
}

int FindMatching(TSearchRec& rec, bool /*advance*/) {
  auto* st = static_cast<TFindState*>(rec.FindHandle);
  while (dirent* e = readdir(st->Dir)) {
    std::string name = e->d_name;
    if (!WildcardMatch(st->Pattern, name)) continue;
    std::int64_t size = 0;
    int attr = EntryAttributes(st->Folder, name, size);
    if ((attr & rec.ExcludeAttr) != 0) continue;
    rec.Name = name;
    rec.Attr = attr;
    rec.Size = size;
    return 0;
  }
  return SearchNoMoreFiles;
}
#endif

}  // namespace

TSearchRec::~TSearchRec() { FindClose(*this); }

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
  FindClose(rec);
  rec.Name.clear();
  rec.Attr = 0;
  rec.Size = 0;
  rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
#ifdef _WIN32
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA(path.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD e = GetLastError();
    return e == ERROR_PATH_NOT_FOUND ? SearchNoFolder : SearchNotFound;
  }
  rec.FindHandle = new TFindState{h};
  TakeFindData(d, rec);
  int r = FindMatching(rec, false);
#else
  std::string folder = ExtractFilePath(path);
  std::string pattern = ExtractFileName(path);
  if (pattern == "*.*") pattern = "*";
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return SearchNoFolder;
  rec.FindHandle = new TFindState{dir, folder, pattern};
  int r = FindMatching(rec, true);
#endif
  if (r != 0) {
    FindClose(rec);
    return SearchNotFound;
  }
  return 0;
}

int FindNext(TSearchRec& rec) {
  if (rec.FindHandle == nullptr) return SearchNoMoreFiles;
  return FindMatching(rec, true);
}

void FindClose(TSearchRec& rec) {
  auto* st = static_cast<TFindState*>(rec.FindHandle);
  if (st == nullptr) return;
#ifdef _WIN32
  if (st->Handle != INVALID_HANDLE_VALUE) ::FindClose(st->Handle);
#else
  if (st->Dir != nullptr) closedir(st->Dir);
#endif
  delete st;
  rec.FindHandle = nullptr;
}
