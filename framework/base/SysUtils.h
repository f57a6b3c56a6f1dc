// The framework's base exception class and the small string, number and file helpers that
// every layer uses. Window-free; SysErrorMessage asks the system for its text on Windows and
// the C library elsewhere.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <exception>
#include <string>

// Base of every exception the system raises. Holds only its message text.
class Exception : public std::exception {
public:
  explicit Exception(std::string msg) : FMessage(std::move(msg)) {}
  const std::string& Message() const { return FMessage; }
  void SetMessage(std::string msg) { FMessage = std::move(msg); }
  const char* what() const noexcept override { return FMessage.c_str(); }
  // Name of the exception class, as the error boxes and tests see it.
  virtual const char* ClassName() const { return "Exception"; }

private:
  std::string FMessage;
};

// Declares an exception class derived from `Base` that only carries its message.
#define ORBEX_EXCEPTION(Name, Base)                                      \
  class Name : public Base {                                             \
  public:                                                                \
    using Base::Base;                                                    \
    const char* ClassName() const override { return #Name; }             \
  }

ORBEX_EXCEPTION(EConvertError, Exception);
ORBEX_EXCEPTION(EStreamError, Exception);
ORBEX_EXCEPTION(EReadError, EStreamError);
ORBEX_EXCEPTION(EWriteError, EStreamError);
ORBEX_EXCEPTION(EFOpenError, EStreamError);
ORBEX_EXCEPTION(EFCreateError, EStreamError);
ORBEX_EXCEPTION(EListError, Exception);
ORBEX_EXCEPTION(EPropertyError, Exception);
ORBEX_EXCEPTION(EThread, Exception);
// A failure the operating system reported, with the system's error code (0 when none).
class EOSError : public Exception {
public:
  explicit EOSError(std::string msg, std::uint32_t code = 0)
      : Exception(std::move(msg)), FErrorCode(code) {}
  std::uint32_t ErrorCode() const { return FErrorCode; }
  const char* ClassName() const override { return "EOSError"; }

private:
  std::uint32_t FErrorCode;
};
ORBEX_EXCEPTION(EAbort, Exception);
// A picture that cannot be read (the graphic classes and the window-free image decoders).
ORBEX_EXCEPTION(EInvalidGraphic, Exception);

// printf-style formatting into a std::string (only %s with const char*, %d, %u, %x, %g ...).
std::string Format(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
std::string FormatV(const char* fmt, va_list args);

// Text of a system error code: the system's message without trailing line breaks.
std::string SysErrorMessage(std::uint32_t code);

std::string IntToStr(std::int64_t v);
std::string IntToHex(std::uint64_t v, int digits);
// Decimal, or hexadecimal with a leading "$" or "0x"/"0X"; surrounding blanks are not allowed.
// StrToInt raises EConvertError "'<s>' is not a valid integer value".
std::int32_t StrToInt(const std::string& s);
std::int32_t StrToIntDef(const std::string& s, std::int32_t def);
bool TryStrToInt(const std::string& s, std::int32_t& out);
bool TryStrToInt64(const std::string& s, std::int64_t& out);
// Decimal point '.', optional exponent; raises EConvertError "'<s>' is not a valid floating point value".
double StrToFloat(const std::string& s);
bool TryStrToFloat(const std::string& s, double& out);
std::string FloatToStr(double v);

// ASCII case mapping, as the engine's upper-case names need (no locale).
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
bool SameText(const std::string& a, const std::string& b);
int CompareText(const std::string& a, const std::string& b);
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
// 1-based position of sub in s, 0 when absent (as the engine's string code counts).
int Pos(const std::string& sub, const std::string& s);

// Paths in the platform's own form: backslashes on Windows, slashes elsewhere; both accepted.
char PathDelim();
std::string IncludeTrailingPathDelimiter(const std::string& path);
std::string ExcludeTrailingPathDelimiter(const std::string& path);
std::string ExtractFilePath(const std::string& path);   // with the trailing delimiter
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);    // with the dot, "" when none
std::string ChangeFileExt(const std::string& path, const std::string& ext);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// ---------------------------------------------------------------------------------------------
// File search. Attributes of found entries (the system's values on every platform).
constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

// One found entry and the search in progress (owned by the record: FindClose ends it).
struct TSearchRec {
  std::int64_t Size = 0;
  int Attr = 0;
  std::string Name;      // the entry's name without its folder
  int ExcludeAttr = 0;   // entries with any of these attributes are skipped
  void* FindHandle = nullptr;
  TSearchRec() = default;
  TSearchRec(const TSearchRec&) = delete;
  TSearchRec& operator=(const TSearchRec&) = delete;
  ~TSearchRec();
};

// Starts a search for `path` (a folder, then a name pattern with "*" and "?", compared
// ignoring letter case; "*.*" matches every name). Entries that are hidden, system files,
// volume labels or folders are found only when `attr` asks for them. 0 when an entry was
// found (it is in `rec`), else a non-zero error code (2: nothing matches, 3: no such folder);
// a failed search holds nothing to close.
int FindFirst(const std::string& path, int attr, TSearchRec& rec);
// The next matching entry: 0, or 18 when there is none left.
int FindNext(TSearchRec& rec);
// Ends the search and releases what it holds; harmless when nothing is open.
void FindClose(TSearchRec& rec);
