// Small routines shared by the whole skin engine, window-free part: rectangle sizes and tests,
// the reader of ini text held in string lists, word splitting, string and number helpers and
// path helpers. Owns nothing. The Windows side (caption font, system checks) is
// skin/paint/win/sWinUtils.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/base/SysUtils.h"
#include "framework/base/Types.h"
#include "skin/paint/sBackgroundInfo.h"

// ---------------------------------------------------------------------------------------------
// Rectangles (half-open unless stated).

// Right - Left (Bottom - Top); 0 instead of a negative size when clamp is asked.
int RectWidth(const TRect& r, bool clamp = false);
int RectHeight(const TRect& r, bool clamp = false);
// False when either rectangle is empty or they do not overlap.
bool RectsIntersect(const TRect& r1, const TRect& r2);
// True when every corner of inner lies in outer, its right and bottom edges counted as inside.
bool RectInsideRect(const TRect& inner, const TRect& outer);

// ---------------------------------------------------------------------------------------------
// Numbers.

std::uint8_t ClampByte(int v);
// Inclusive; the bounds may come in either order.
bool IsValueBetween(int v, int bound1, int bound2);
int MaxOf(int a, int b);
int MinOf(int a, int b);
void SwapInts(int& a, int& b);
std::string IfThenStr(bool condition, const std::string& ifTrue, const std::string& ifFalse = "");
TObject* IfThenObj(bool condition, TObject* ifTrue, TObject* ifFalse = nullptr);

// Sets a flag for a scope; the previous value returns on every way out, exceptions included.
class TFlagScope {
public:
  explicit TFlagScope(bool& flag) : FFlag(flag), FOld(flag) { flag = true; }
  ~TFlagScope() { FFlag = FOld; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& FFlag;
  bool FOld;
};

// ---------------------------------------------------------------------------------------------
// Ini text held in string lists (skin text of the editor, small settings blocks).

struct TIniTextSection {
  std::string Name;
  std::vector<std::string> Lines;   // "key=value" lines, in order
};
using TIniTextSections = std::vector<TIniTextSection>;

// Splits ini text into sections: empty lines and lines starting with ";" are skipped; a line
// "[" name "]" starts a section; other lines belong to the current section and are dropped
// before the first one. The result replaces `sections`.
void ParseIniText(const TStrings& lines, TIniTextSections& sections);
void ParseIniText(const std::vector<std::string>& lines, TIniTextSections& sections);

// Section names compared exactly; in that section the first line whose name part (before the
// first "=") equals key ignoring letter case gives the text after the "="; else def.
std::string IniTextReadString(const TIniTextSections& sections, const std::string& section,
                              const std::string& def, const std::string& key);
// As IniTextReadString, converted to an integer: a value longer than 2 characters that starts
// with "0x" or "0X" is hexadecimal (at most 8 digits); def when the value is not a number.
std::int32_t IniTextReadInteger(const TIniTextSections& sections, const std::string& section,
                                std::int32_t def, const std::string& key);

// ---------------------------------------------------------------------------------------------
// Words and strings. Words are runs of characters not in `delimiters`; n counts from 1.

std::string NthWord(int n, const std::string& text, const std::string& delimiters);
int WordCount(const std::string& text, const std::string& delimiters);
// 1-based position of the n-th word in text, 0 when there are fewer words.
int WordPosition(int n, const std::string& text, const std::string& delimiters);
std::string RemoveChars(const std::string& text, char c);
// Replaces every occurrence of oldText; an empty oldText leaves the text unchanged.
std::string ReplaceText(const std::string& text, const std::string& oldText,
                        const std::string& newText);

// ---------------------------------------------------------------------------------------------
// Published properties of any object by name (case-insensitive), to reach properties of
// controls the engine knows only by class name. None of these raises: a missing property, one
// of another kind, a null object or a value the property refuses count as "not there".

bool PublishedPropExists(TObject* obj, const std::string& name);
// The object held by a class or component property; null when there is none.
TObject* ReadObjectProp(TObject* obj, const std::string& name);
// An ordinal property's value (integer, boolean, enumeration, set, colour); -1 when absent.
std::int64_t ReadOrdProp(TObject* obj, const std::string& name);
// Sets an ordinal property; false when it is absent, read-only or refuses the value.
bool WriteOrdProp(TObject* obj, const std::string& name, std::int64_t value);
// Whether the set property holds the element of that name (compared ignoring case).
bool SetPropHasElement(TObject* obj, const std::string& name, const std::string& element);
// Adds (include) or removes the named element of a set property; false when it cannot.
bool ToggleSetPropElement(TObject* obj, const std::string& name, const std::string& element,
                          bool include);

// ---------------------------------------------------------------------------------------------
// Paths.

// The path with a trailing backslash unless it is empty or already has one.
std::string WithTrailingBackslash(const std::string& path);

// The framework's file search (FindFirst, FindNext, FindClose), under the engine's names.
int SearchFirst(const std::string& path, int attr, TSearchRec& rec);
int SearchNext(TSearchRec& rec);
void SearchClose(TSearchRec& rec);

// ---------------------------------------------------------------------------------------------
// Images.

// A bitmap piece at (x, y) with the transparent colour 0xFF00FF, marked ready.
TsBackgroundInfo FillImageSpec(TBitmap* bitmap, int x, int y);
