// Published property tables: the store that owns every TPropInfo, the once-only building of a
// class's table, access by name, and values as text (enum and set names, colour names).
// Window-free.
//
// Sections: table store; lookups; typed access; text values; defaults; name tables.
#include "framework/base/TypInfo.h"

#include <deque>
#include <mutex>

// ---------------------------------------------------------------------------------------------
// Table store

namespace {
// Recursive: building one class's table may build another's (a property's class), or ask for
// its own class information again.
std::recursive_mutex& PublishLock() {
  static std::recursive_mutex m;
  return m;
}
std::deque<TPropInfo>& PropStore() {
  static std::deque<TPropInfo> store;   // a deque keeps addresses stable
  return store;
}

struct TColorIdents {
  std::mutex Lock;
  TIdentToIntFn ToInt;
  TIntToIdentFn ToIdent;
};
TColorIdents& ColorIdents() {
  static TColorIdents c;
  return c;
}
}  // namespace

void PublishOnce(TClassInfo& info, TPublishOnce& once, void (*publish)(TClassInfo&)) {
  if (once.State.load(std::memory_order_acquire) == 2) return;
  std::lock_guard<std::recursive_mutex> g(PublishLock());
  // 1 here means this very thread is building the table a level up: hand out the (still
  // growing) information, whose address is all such a caller takes.
  if (once.State.load() != 0) return;
  once.State.store(1);
  try {
    publish(info);
  } catch (...) {
    info.Properties.clear();
    once.State.store(0);
    throw;
  }
  once.State.store(2, std::memory_order_release);
}

TPropInfo& NewPropInfo(TClassInfo& info) {
  std::lock_guard<std::recursive_mutex> g(PublishLock());
  TPropInfo& p = PropStore().emplace_back();
  p.Owner = &info;
  info.Properties.push_back(&p);
  return p;
}

void typinfo_detail::RaiseOutOfRange(const std::string& prop) {
  throw EPropertyError("Value out of range for property \"" + prop + "\"");
}

const char* TypeKindName(TTypeKind kind) {
  switch (kind) {
    case TTypeKind::tkInteger: return "Integer";
    case TTypeKind::tkInt64: return "Int64";
    case TTypeKind::tkBoolean: return "Boolean";
    case TTypeKind::tkFloat: return "Float";
    case TTypeKind::tkString: return "String";
    case TTypeKind::tkEnumeration: return "Enumeration";
    case TTypeKind::tkSet: return "Set";
    case TTypeKind::tkColor: return "Color";
    case TTypeKind::tkClass: return "Class";
    case TTypeKind::tkComponent: return "Component";
    case TTypeKind::tkMethod: return "Method";
    case TTypeKind::tkBinary: return "Binary";
  }
  return "Unknown";
}

bool TPropInfo::IsOrdinal() const {
  switch (Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64:
    case TTypeKind::tkBoolean:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet:
    case TTypeKind::tkColor:
      return true;
    default:
      return false;
  }
}

bool TPropInfo::IsWritable() const {
  switch (Kind) {
    case TTypeKind::tkFloat: return static_cast<bool>(SetFloat);
    case TTypeKind::tkString: return static_cast<bool>(SetStr);
    case TTypeKind::tkClass:
    case TTypeKind::tkComponent: return static_cast<bool>(SetObj);
    case TTypeKind::tkMethod: return static_cast<bool>(SetMethod);
    case TTypeKind::tkBinary: return static_cast<bool>(ReadData);
    default: return static_cast<bool>(SetOrd);
  }
}

// ---------------------------------------------------------------------------------------------
// Lookups

namespace {
[[noreturn]] void RaiseInvalidType(const TPropInfo& p) {
  throw EPropertyError(std::string("Invalid property type: ") + TypeKindName(p.Kind));
}
[[noreturn]] void RaiseReadOnly(const TPropInfo& p) {
  throw EPropertyError("Property \"" + p.Name + "\" is read-only");
}
[[noreturn]] void RaiseInvalidValue(const TPropInfo& p, const std::string& v) {
  throw EPropertyError("Invalid property value \"" + v + "\" for property \"" + p.Name + "\"");
}
void CheckObject(const TObject* obj) {
  if (obj == nullptr) throw EPropertyError("Object is nil");
}
// The property must belong to the object's class (a TPropInfo of another class would cast
// the object to the wrong type).
void CheckOwner(const TObject* obj, const TPropInfo& p) {
  CheckObject(obj);
  if (p.Owner != nullptr && !obj->InheritsFrom(p.Owner))
    throw EPropertyError("Property \"" + p.Name + "\" does not belong to " + obj->ClassName());
}
}  // namespace

const TPropInfo* GetPropInfo(const TClassInfo* cls, const std::string& name) {
  return cls == nullptr ? nullptr : cls->FindProperty(name);
}

const TPropInfo* GetPropInfo(const TObject* obj, const std::string& name) {
  CheckObject(obj);
  return obj->ClassInfo()->FindProperty(name);
}

const TPropInfo& FindPropInfo(const TObject* obj, const std::string& name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (p == nullptr) throw EPropertyError("Unknown property: \"" + name + "\"");
  return *p;
}

bool IsPublishedProp(const TObject* obj, const std::string& name) { return GetPropInfo(obj, name) != nullptr; }

bool IsPublishedProp(const TClassInfo* cls, const std::string& name) { return GetPropInfo(cls, name) != nullptr; }

TTypeKind PropType(const TObject* obj, const std::string& name) { return FindPropInfo(obj, name).Kind; }

// ---------------------------------------------------------------------------------------------
// Typed access

std::int64_t GetOrdProp(TObject* obj, const TPropInfo& p) {
  CheckOwner(obj, p);
  if (!p.IsOrdinal()) RaiseInvalidType(p);
  return p.GetOrd(*obj);
}

void SetOrdProp(TObject* obj, const TPropInfo& p, std::int64_t value) {
  CheckOwner(obj, p);
  if (!p.IsOrdinal()) RaiseInvalidType(p);
  if (!p.SetOrd) RaiseReadOnly(p);
  if (p.Kind == TTypeKind::tkEnumeration && !p.Names.empty() &&
      (value < 0 || value >= static_cast<std::int64_t>(p.Names.size())))
    typinfo_detail::RaiseOutOfRange(p.Name);
  if (p.Kind == TTypeKind::tkSet && !p.Names.empty() && p.Names.size() < 64 &&
      (static_cast<std::uint64_t>(value) >> p.Names.size()) != 0)
    typinfo_detail::RaiseOutOfRange(p.Name);
  p.SetOrd(*obj, value);
}

std::int64_t GetOrdProp(TObject* obj, const std::string& name) { return GetOrdProp(obj, FindPropInfo(obj, name)); }

void SetOrdProp(TObject* obj, const std::string& name, std::int64_t value) {
  SetOrdProp(obj, FindPropInfo(obj, name), value);
}

std::string GetStrProp(TObject* obj, const std::string& name) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (p.Kind != TTypeKind::tkString) RaiseInvalidType(p);
  return p.GetStr(*obj);
}

void SetStrProp(TObject* obj, const std::string& name, const std::string& value) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (p.Kind != TTypeKind::tkString) RaiseInvalidType(p);
  if (!p.SetStr) RaiseReadOnly(p);
  p.SetStr(*obj, value);
}

double GetFloatProp(TObject* obj, const std::string& name) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (p.Kind != TTypeKind::tkFloat) RaiseInvalidType(p);
  return p.GetFloat(*obj);
}

void SetFloatProp(TObject* obj, const std::string& name, double value) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (p.Kind != TTypeKind::tkFloat) RaiseInvalidType(p);
  if (!p.SetFloat) RaiseReadOnly(p);
  p.SetFloat(*obj, value);
}

std::string GetEnumProp(TObject* obj, const std::string& name) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (p.Kind != TTypeKind::tkEnumeration) RaiseInvalidType(p);
  return GetEnumName(p, p.GetOrd(*obj));
}

void SetEnumProp(TObject* obj, const std::string& name, const std::string& value) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (p.Kind != TTypeKind::tkEnumeration) RaiseInvalidType(p);
  int v = GetEnumValue(p, value);
  if (v < 0)
    throw EPropertyError("Invalid enumeration value \"" + value + "\" for property \"" + p.Name + "\"");
  SetOrdProp(obj, p, v);
}

std::string GetSetProp(TObject* obj, const std::string& name, bool brackets) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (p.Kind != TTypeKind::tkSet) RaiseInvalidType(p);
  return SetToString(p, p.GetOrd(*obj), brackets);
}

void SetSetProp(TObject* obj, const std::string& name, const std::string& value) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (p.Kind != TTypeKind::tkSet) RaiseInvalidType(p);
  SetOrdProp(obj, p, StringToSet(p, value));
}

TObject* GetObjectProp(TObject* obj, const TPropInfo& p) {
  CheckOwner(obj, p);
  if (p.Kind != TTypeKind::tkClass && p.Kind != TTypeKind::tkComponent) RaiseInvalidType(p);
  return p.GetObj(*obj);
}

void SetObjectProp(TObject* obj, const TPropInfo& p, TObject* value) {
  CheckOwner(obj, p);
  if (p.Kind != TTypeKind::tkClass && p.Kind != TTypeKind::tkComponent) RaiseInvalidType(p);
  if (!p.SetObj) RaiseReadOnly(p);
  if (value != nullptr && p.PropClass != nullptr && !value->InheritsFrom(p.PropClass))
    throw EPropertyError("Invalid property value");
  p.SetObj(*obj, value);
}

TObject* GetObjectProp(TObject* obj, const std::string& name) { return GetObjectProp(obj, FindPropInfo(obj, name)); }

void SetObjectProp(TObject* obj, const std::string& name, TObject* value) {
  SetObjectProp(obj, FindPropInfo(obj, name), value);
}

void SetMethodProp(TObject* obj, const TPropInfo& p, const TMethodValue& handler) {
  CheckOwner(obj, p);
  if (p.Kind != TTypeKind::tkMethod) RaiseInvalidType(p);
  if (!p.SetMethod) RaiseReadOnly(p);
  p.SetMethod(*obj, handler);
}

void SetMethodProp(TObject* obj, const std::string& name, const TMethodValue& handler) {
  SetMethodProp(obj, FindPropInfo(obj, name), handler);
}

TMethodValue GetMethodProp(TObject* obj, const std::string& name) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (p.Kind != TTypeKind::tkMethod) RaiseInvalidType(p);
  return p.GetMethod(*obj);
}

bool IsMethodAssigned(TObject* obj, const std::string& name) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (p.Kind != TTypeKind::tkMethod) RaiseInvalidType(p);
  return p.IsAssigned(*obj);
}

void ReadBinaryProp(TObject* obj, const TPropInfo& p, TStream& from) {
  CheckOwner(obj, p);
  if (p.Kind != TTypeKind::tkBinary) RaiseInvalidType(p);
  if (!p.ReadData) RaiseReadOnly(p);
  p.ReadData(*obj, from);
}

void WriteBinaryProp(TObject* obj, const TPropInfo& p, TStream& to) {
  CheckOwner(obj, p);
  if (p.Kind != TTypeKind::tkBinary) RaiseInvalidType(p);
  if (p.WriteData) p.WriteData(*obj, to);
}

// ---------------------------------------------------------------------------------------------
// Text values

namespace {
bool IntegerIdent(const TPropInfo& p, std::int64_t v, std::string& out) {
  if (p.IntToIdent) return p.IntToIdent(v, out);
  if (p.Kind == TTypeKind::tkColor) return ColorToIdent(v, out);
  return false;
}
bool IdentInteger(const TPropInfo& p, const std::string& s, std::int64_t& out) {
  if (p.IdentToInt) return p.IdentToInt(s, out);
  if (p.Kind == TTypeKind::tkColor) return IdentToColor(s, out);
  return false;
}
}  // namespace

std::string GetPropValue(TObject* obj, const TPropInfo& p) {
  CheckOwner(obj, p);
  switch (p.Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64: {
      std::int64_t v = p.GetOrd(*obj);
      std::string ident;
      return IntegerIdent(p, v, ident) ? ident : IntToStr(v);
    }
    case TTypeKind::tkColor: {
      std::int64_t v = p.GetOrd(*obj);
      std::string ident;
      if (IntegerIdent(p, v, ident)) return ident;
      return "$" + IntToHex(static_cast<std::uint32_t>(v), 8);
    }
    case TTypeKind::tkBoolean: return p.GetOrd(*obj) != 0 ? "True" : "False";
    case TTypeKind::tkEnumeration: return GetEnumName(p, p.GetOrd(*obj));
    case TTypeKind::tkSet: return SetToString(p, p.GetOrd(*obj), true);
    case TTypeKind::tkFloat: return FloatToStr(p.GetFloat(*obj));
    case TTypeKind::tkString: return p.GetStr(*obj);
    case TTypeKind::tkComponent: {
      TComponent* c = As<TComponent>(p.GetObj(*obj));
      return c == nullptr ? std::string() : c->Name();
    }
    default: RaiseInvalidType(p);
  }
}

void SetPropValue(TObject* obj, const TPropInfo& p, const std::string& value) {
  CheckOwner(obj, p);
  switch (p.Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64:
    case TTypeKind::tkColor: {
      std::int64_t v;
      if (!IdentInteger(p, value, v) && !TryStrToInt64(value, v)) RaiseInvalidValue(p, value);
      SetOrdProp(obj, p, v);
      return;
    }
    case TTypeKind::tkBoolean: {
      std::int64_t v;
      if (SameText(value, "True")) v = 1;
      else if (SameText(value, "False")) v = 0;
      else if (!TryStrToInt64(value, v)) RaiseInvalidValue(p, value);
      SetOrdProp(obj, p, v != 0 ? 1 : 0);
      return;
    }
    case TTypeKind::tkEnumeration: {
      int v = GetEnumValue(p, value);
      if (v < 0) RaiseInvalidValue(p, value);
      SetOrdProp(obj, p, v);
      return;
    }
    case TTypeKind::tkSet: SetOrdProp(obj, p, StringToSet(p, value)); return;
    case TTypeKind::tkFloat: {
      double v;
      if (!TryStrToFloat(value, v)) RaiseInvalidValue(p, value);
      if (!p.SetFloat) RaiseReadOnly(p);
      p.SetFloat(*obj, v);
      return;
    }
    case TTypeKind::tkString:
      if (!p.SetStr) RaiseReadOnly(p);
      p.SetStr(*obj, value);
      return;
    default: RaiseInvalidType(p);
  }
}

std::string GetPropValue(TObject* obj, const std::string& name) { return GetPropValue(obj, FindPropInfo(obj, name)); }

void SetPropValue(TObject* obj, const std::string& name, const std::string& value) {
  SetPropValue(obj, FindPropInfo(obj, name), value);
}

// ---------------------------------------------------------------------------------------------
// Defaults

bool IsDefaultPropValue(TObject* obj, const TPropInfo& p) {
  CheckOwner(obj, p);
  if (p.Stored && !p.Stored(*obj)) return true;
  switch (p.Kind) {
    case TTypeKind::tkFloat: return p.GetFloat(*obj) == 0.0;
    case TTypeKind::tkString: return p.GetStr(*obj).empty();
    case TTypeKind::tkClass: return false;
    case TTypeKind::tkComponent: return p.GetObj(*obj) == nullptr;
    case TTypeKind::tkMethod: return !p.IsAssigned(*obj);
    case TTypeKind::tkBinary: return !p.HasData || !p.HasData(*obj);
    default: return p.HasDefault && p.GetOrd(*obj) == p.Default;
  }
}

// ---------------------------------------------------------------------------------------------
// Name tables

std::string GetEnumName(const TPropInfo& p, std::int64_t value) {
  if (value < 0 || value >= static_cast<std::int64_t>(p.Names.size())) return std::string();
  return p.Names[static_cast<size_t>(value)];
}

int GetEnumValue(const TPropInfo& p, const std::string& name) {
  for (size_t i = 0; i < p.Names.size(); ++i)
    if (SameText(p.Names[i], name)) return static_cast<int>(i);
  return -1;
}

std::string SetToString(const TPropInfo& p, std::int64_t value, bool brackets) {
  std::string out;
  auto bits = static_cast<std::uint64_t>(value);
  for (size_t i = 0; i < p.Names.size() && i < 64; ++i) {
    if ((bits >> i & 1) == 0) continue;
    if (!out.empty()) out += ',';
    out += p.Names[i];
  }
  return brackets ? "[" + out + "]" : out;
}

std::int64_t StringToSet(const TPropInfo& p, const std::string& text) {
  std::string s = Trim(text);
  if (!s.empty() && s.front() == '[') {
    if (s.back() != ']') RaiseInvalidValue(p, text);
    s = s.substr(1, s.size() - 2);
  }
  std::uint64_t bits = 0;
  size_t i = 0;
  while (i <= s.size()) {
    size_t comma = s.find(',', i);
    if (comma == std::string::npos) comma = s.size();
    std::string item = Trim(s.substr(i, comma - i));
    if (!item.empty()) {
      int v = GetEnumValue(p, item);
      if (v < 0 || v >= 64) throw EPropertyError("Invalid property element: " + item);
      bits |= std::uint64_t{1} << v;
    } else if (comma < s.size()) {
      RaiseInvalidValue(p, text);   // an empty element between commas
    }
    i = comma + 1;
  }
  return static_cast<std::int64_t>(bits);
}

void RegisterColorIdents(TIdentToIntFn toInt, TIntToIdentFn toIdent) {
  TColorIdents& c = ColorIdents();
  std::lock_guard<std::mutex> g(c.Lock);
  c.ToInt = std::move(toInt);
  c.ToIdent = std::move(toIdent);
}

bool IdentToColor(const std::string& ident, std::int64_t& color) {
  TColorIdents& c = ColorIdents();
  TIdentToIntFn f;
  {
    std::lock_guard<std::mutex> g(c.Lock);
    f = c.ToInt;
  }
  return f && f(ident, color);
}

bool ColorToIdent(std::int64_t color, std::string& ident) {
  TColorIdents& c = ColorIdents();
  TIntToIdentFn f;
  {
    std::lock_guard<std::mutex> g(c.Lock);
    f = c.ToIdent;
  }
  return f && f(color, ident);
}
