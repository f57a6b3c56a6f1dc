// The framework's object model: class information and the class registry, persistent objects,
// components (an owner frees what it owns; free notifications both ways), string lists,
// streams and collections. Window-free; file streams use the C library (on Windows the
// C library's error code is the system's, so the messages carry the system's text).
//
// Sections: class information; TObject and TPersistent; TComponent; TStrings; TStringList;
// TStream and memory streams; TFileStream; collections.
#include "framework/base/Classes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <new>

#include "framework/base/TypInfo.h"

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

// ---------------------------------------------------------------------------------------------
// Class information

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent)
    if (c == other) return true;
  return false;
}

const TPropInfo* TClassInfo::FindProperty(const std::string& name) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent)
    for (const TPropInfo* p : c->Properties)
      if (SameText(p->Name, name)) return p;
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProperties() const {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent) chain.push_back(c);
  std::vector<const TPropInfo*> out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (const TPropInfo* p : (*it)->Properties) {
      // A class that publishes a parent's property again (say, with another default) replaces
      // it in place, so the order stays the parent's.
      auto same = std::find_if(out.begin(), out.end(),
                               [p](const TPropInfo* q) { return SameText(q->Name, p->Name); });
      if (same != out.end()) *same = p;
      else out.push_back(p);
    }
  }
  return out;
}

namespace {
struct TClassRegistry {
  std::mutex Lock;
  std::map<std::string, TClassInfo*> ByName;   // upper-case names
};
TClassRegistry& ClassRegistry() {
  static TClassRegistry r;
  return r;
}
}  // namespace

void RegisterClassInfo(TClassInfo* info) {
  TClassRegistry& r = ClassRegistry();
  std::lock_guard<std::mutex> g(r.Lock);
  auto [it, inserted] = r.ByName.emplace(UpperCase(info->Name), info);
  if (!inserted && it->second != info)
    throw EComponentError(Format("A class named %s is already registered", info->Name));
}

const TClassInfo* FindClassInfo(const std::string& name) {
  TClassRegistry& r = ClassRegistry();
  std::lock_guard<std::mutex> g(r.Lock);
  auto it = r.ByName.find(UpperCase(name));
  return it == r.ByName.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------------------------
// TObject and TPersistent

TClassInfo& TObject::StaticClassInfo() {
  static TClassInfo info{"TObject", nullptr, nullptr, {}};
  return info;
}

bool TObject::InheritsFrom(const std::string& className) const {
  for (const TClassInfo* c = ClassInfo(); c != nullptr; c = c->Parent)
    if (SameText(c->Name, className)) return true;
  return false;
}

ORBEX_IMPLEMENT_CLASS(TPersistent, TObject, nullptr)

void TPersistent::Assign(TPersistent* source) {
  if (source != nullptr) {
    source->AssignTo(this);
    return;
  }
  throw EConvertError(Format("Cannot assign a nil to a %s", ClassName()));
}

void TPersistent::AssignTo(TPersistent* dest) {
  throw EConvertError(Format("Cannot assign a %s to a %s", ClassName(), dest->ClassName()));
}

// ---------------------------------------------------------------------------------------------
// TComponent

ORBEX_IMPLEMENT_PUBLISHED(TComponent, TPersistent, &CreateComponentOf<TComponent>)

void TComponent::PublishProperties(TPublisher<TComponent>& P) {
  P.String("Name", &TComponent::Name, &TComponent::SetName);
  P.Integer("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell everyone who holds a reference to this component; each answer removes its entry
  // (Notification calls RemoveFreeNotification), so walk from the end and re-check the size.
  while (!FFreeNotifies.empty()) {
    TComponent* c = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& back = c->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    c->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

int TComponent::ComponentIndex() const {
  if (FOwner == nullptr) return -1;
  const auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, name)) return c;
  return nullptr;
}

static bool IsValidIdent(const std::string& s) {
  if (s.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(s[0])) return false;
  return std::all_of(s.begin() + 1, s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

void TComponent::SetName(const std::string& name) {
  if (FName == name) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError(Format("'%s' is not a valid component name", name.c_str()));
  if (FOwner != nullptr) FOwner->ValidateRename(this, FName, name);
  else ValidateRename(nullptr, FName, name);
  FName = name;
}

void TComponent::ValidateRename(TComponent* c, const std::string& cur, const std::string& next) {
  if (c == nullptr || next.empty() || SameText(cur, next)) return;
  TComponent* found = FindComponent(next);
  if (found != nullptr && found != c)
    throw EComponentError(Format("A component named %s already exists", next.c_str()));
}

void TComponent::InsertComponent(TComponent* c) {
  if (c == nullptr || c == this || c->FOwner == this) return;
  ValidateRename(c, std::string(), c->FName);
  if (c->FOwner != nullptr) c->FOwner->RemoveComponent(c);
  FComponents.push_back(c);
  c->FOwner = this;
  Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  if (c == nullptr || c->FOwner != this) return;
  Notification(c, TOperation::opRemove);
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), c), FComponents.end());
  c->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* c) {
  if (c == nullptr || c == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), c) == FFreeNotifies.end())
    FFreeNotifies.push_back(c);
  if (std::find(c->FFreeNotifies.begin(), c->FFreeNotifies.end(), this) == c->FFreeNotifies.end())
    c->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* c) {
  if (c == nullptr) return;
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), c), FFreeNotifies.end());
  c->FFreeNotifies.erase(std::remove(c->FFreeNotifies.begin(), c->FFreeNotifies.end(), this),
                         c->FFreeNotifies.end());
}

void TComponent::SetLoading(bool on) {
  if (on) FComponentState |= csLoading | csReading;
  else FComponentState &= ~static_cast<TComponentState>(csLoading | csReading);
}

void TComponent::Loaded() { FComponentState &= ~static_cast<TComponentState>(csLoading | csReading); }

void TComponent::Destroying() {
  if ((FComponentState & csDestroying) != 0) return;
  FComponentState |= csDestroying;
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    // Take it off the list first: its destructor must not call back into this owner.
    FComponents.pop_back();
    c->FOwner = nullptr;
    delete c;
  }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == TOperation::opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
  // Every owned component hears about insertions and removals in its owner (a form's
  // controls learn that a popup menu of the same form goes away). A handler may free owned
  // components, so re-check the bound on every step.
  for (size_t i = FComponents.size(); i > 0; --i) {
    if (i > FComponents.size()) i = FComponents.size();
    if (i == 0) break;
    TComponent* c = FComponents[i - 1];
    if (c != AComponent) c->Notification(AComponent, Operation);
  }
}

// ---------------------------------------------------------------------------------------------
// TStrings

ORBEX_IMPLEMENT_CLASS(TStrings, TPersistent, nullptr)

int TStrings::Add(const std::string& s) {
  int i = Count();
  Insert(i, s);
  return i;
}

int TStrings::AddObject(const std::string& s, TObject* o) {
  int i = Add(s);
  PutObject(i, o);
  return i;
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
  if (FCaseSensitive) {
    int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
  }
  int r = CompareText(a, b);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int TStrings::IndexOf(const std::string& s) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
  for (int i = 0, n = Count(); i < n; ++i) {
    std::string s = Get(i);
    size_t p = s.find('=');
    if (p != std::string::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* o) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (GetObject(i) == o) return i;
  return -1;
}

std::string TStrings::Names(int i) const {
  std::string s = Get(i);
  size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::ValueFromIndex(int i) const {
  std::string s = Get(i);
  size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

std::string TStrings::Values(const std::string& name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
  int i = IndexOfName(name);
  if (!value.empty()) {
    if (i < 0) i = Add(std::string());
    Put(i, name + "=" + value);
  } else if (i >= 0) {
    Delete(i);
  }
}

std::string TStrings::Text() const {
  std::string out;
  for (int i = 0, n = Count(); i < n; ++i) {
    out += Get(i);
    out += "\r\n";
  }
  return out;
}

void TStrings::SetText(const std::string& text) {
  BeginUpdate();
  try {
    Clear();
    size_t i = 0, n = text.size();
    while (i < n) {
      size_t start = i;
      while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
      Add(text.substr(start, i - start));
      if (i < n && text[i] == '\r') ++i;
      if (i < n && text[i] == '\n') ++i;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::CommaText() const {
  int n = Count();
  if (n == 1 && Get(0).empty()) return "\"\"";
  std::string out;
  for (int i = 0; i < n; ++i) {
    std::string s = Get(i);
    bool quote = s.find_first_of(",\"") != std::string::npos ||
                 std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
    if (i > 0) out += ',';
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void TStrings::SetCommaText(const std::string& text) {
  // A NUL byte is an ordinary character here (the writer quotes it), so it must neither
  // separate items nor end an unquoted one: an item that ended on it without consuming it
  // would be read again and again.
  auto blank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
  BeginUpdate();
  try {
    Clear();
    size_t i = 0, n = text.size();
    while (i < n && blank(text[i])) ++i;
    while (i < n) {
      std::string s;
      if (text[i] == '"') {
        ++i;
        while (i < n) {
          if (text[i] == '"') {
            if (i + 1 < n && text[i + 1] == '"') {
              s += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          s += text[i++];
        }
      } else {
        size_t start = i;
        while (i < n && !blank(text[i]) && text[i] != ',') ++i;
        s = text.substr(start, i - start);
      }
      Add(s);
      while (i < n && blank(text[i])) ++i;
      if (i < n && text[i] == ',') {
        if (i + 1 == n) Add(std::string());
        do ++i;
        while (i < n && blank(text[i]));
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::AddStrings(const TStrings& other) {
  BeginUpdate();
  try {
    for (int i = 0, n = other.Count(); i < n; ++i) AddObject(other.Get(i), other.GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Assign(TPersistent* source) {
  if (const TStrings* src = As<TStrings>(source)) {
    if (src == this) return;
    BeginUpdate();
    try {
      Clear();
      AddStrings(*src);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  Inherited::Assign(source);
}

void TStrings::LoadFromStream(TStream& s) {
  std::int64_t pos = s.Position();
  std::int64_t n = s.Size() - pos;
  std::string text;
  if (n > 0) {
    if (static_cast<std::uint64_t>(n) > text.max_size()) throw EReadError("Stream read error");
    text.resize(static_cast<size_t>(n));
    s.ReadBuffer(text.data(), n);
  }
  SetText(text);
}

void TStrings::SaveToStream(TStream& s) const {
  std::string text = Text();
  s.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void TStrings::LoadFromFile(const std::string& path) {
  TFileStream f(path, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TStrings::SaveToFile(const std::string& path) const {
  TFileStream f(path, fmCreate);
  SaveToStream(f);
}

void TStrings::BeginUpdate() { ++FUpdateCount; }

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TStrings::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// TStringList

ORBEX_IMPLEMENT_CLASS(TStringList, TStrings, &CreateObjectOf<TStringList>)

void TStringList::CheckIndex(int i) const {
  if (i < 0 || i >= Count()) throw EListError(Format("List index out of bounds (%d)", i));
}

std::string TStringList::Get(int i) const {
  CheckIndex(i);
  return FItems[static_cast<size_t>(i)].S;
}

void TStringList::Put(int i, const std::string& s) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  CheckIndex(i);
  FItems[static_cast<size_t>(i)].S = s;
  Changed();
}

TObject* TStringList::GetObject(int i) const {
  CheckIndex(i);
  return FItems[static_cast<size_t>(i)].O;
}

void TStringList::PutObject(int i, TObject* o) {
  CheckIndex(i);
  FItems[static_cast<size_t>(i)].O = o;
  Changed();
}

void TStringList::Insert(int i, const std::string& s) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  if (i < 0 || i > Count()) throw EListError(Format("List index out of bounds (%d)", i));
  FItems.insert(FItems.begin() + i, Item{s, nullptr});
  Changed();
}

void TStringList::Delete(int i) {
  CheckIndex(i);
  FItems.erase(FItems.begin() + i);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

int TStringList::Add(const std::string& s) {
  if (!FSorted) {
    FItems.push_back(Item{s, nullptr});
    Changed();
    return Count() - 1;
  }
  int at;
  if (Find(s, at)) {
    if (Duplicates == TDuplicates::dupIgnore) return at;
    if (Duplicates == TDuplicates::dupError) throw EListError("String list does not allow duplicates");
  }
  FItems.insert(FItems.begin() + at, Item{s, nullptr});
  Changed();
  return at;
}

int TStringList::IndexOf(const std::string& s) const {
  if (!FSorted) return TStrings::IndexOf(s);
  int at;
  return Find(s, at) ? at : -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
  // Lower bound: with duplicates accepted the first equal entry, where a new one goes.
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    int c = CompareStrings(FItems[static_cast<size_t>(mid)].S, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;
    }
  }
  index = lo;
  return found;
}

void TStringList::Sort() {
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const Item& a, const Item& b) { return CompareStrings(a.S, b.S) < 0; });
  Changed();
}

void TStringList::SetSorted(bool on) {
  if (on == FSorted) return;
  if (on) Sort();
  FSorted = on;
}

void TStringList::SetCaseSensitive(bool on) {
  if (on == FCaseSensitive) return;
  FCaseSensitive = on;
  if (FSorted) Sort();
}

// ---------------------------------------------------------------------------------------------
// TStream and memory streams

ORBEX_IMPLEMENT_CLASS(TStream, TObject, nullptr)

std::int64_t TStream::Size() {
  std::int64_t pos = Seek(0, soCurrent);
  std::int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t) { throw EStreamError(Format("Cannot change the size of a %s", ClassName())); }

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count < 0 || (count != 0 && Write(buffer, count) != count)) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count < 0) throw EReadError("Stream read error");
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  constexpr std::int64_t kChunk = 64 * 1024;
  std::vector<std::uint8_t> buf(static_cast<size_t>(std::min(count, kChunk)));
  std::int64_t left = count;
  while (left > 0) {
    std::int64_t n = std::min(left, kChunk);
    source.ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    left -= n;
  }
  return count;
}

// New position for a seek, or EStreamError "Stream seek error" when it would be negative or
// overflow; beyond the end is allowed (a write there extends the stream).
static std::int64_t SeekTarget(std::int64_t base, std::int64_t offset) {
  if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0)
    throw EStreamError("Stream seek error");
  return base + offset;
}

ORBEX_IMPLEMENT_CLASS(TCustomMemoryStream, TStream, nullptr)

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0 || FPosition >= FSize) return 0;
  std::int64_t n = std::min(count, FSize - FPosition);
  std::memcpy(buffer, FMemory + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = origin == soBeginning ? 0 : (origin == soCurrent ? FPosition : FSize);
  FPosition = SeekTarget(base, offset);
  return FPosition;
}

void TCustomMemoryStream::SetPointer(const std::uint8_t* p, std::int64_t size) {
  FMemory = p;
  FSize = size;
}

void TCustomMemoryStream::SaveToStream(TStream& s) { s.WriteBuffer(FMemory, FSize); }

void TCustomMemoryStream::SaveToFile(const std::string& path) {
  TFileStream f(path, fmCreate);
  SaveToStream(f);
}

ORBEX_IMPLEMENT_CLASS(TMemoryStream, TCustomMemoryStream, &CreateObjectOf<TMemoryStream>)

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  if (FPosition > INT64_MAX - count) throw EWriteError("Stream write error");
  std::int64_t end = FPosition + count;
  if (end > FSize) SetSize(end);
  std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition = end;
  return count;
}

void TMemoryStream::SetSize(std::int64_t newSize) {
  if (newSize < 0 || static_cast<std::uint64_t>(newSize) > FData.max_size())
    throw EStreamError("Out of memory while expanding memory stream");
  try {
    // std::vector grows its capacity geometrically, so appending stays linear overall.
    FData.resize(static_cast<size_t>(newSize));
  } catch (const std::bad_alloc&) {
    throw EStreamError("Out of memory while expanding memory stream");
  } catch (const std::length_error&) {
    throw EStreamError("Out of memory while expanding memory stream");
  }
  SetPointer(FData.data(), newSize);
  if (FPosition > newSize) FPosition = newSize;
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  SetPointer(nullptr, 0);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& s) {
  s.SetPosition(0);
  std::int64_t n = s.Size();
  SetSize(n);
  FPosition = 0;
  if (n > 0) s.ReadBuffer(FData.data(), n);
}

void TMemoryStream::LoadFromFile(const std::string& path) {
  TFileStream f(path, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

ORBEX_IMPLEMENT_CLASS(TReadOnlyMemoryStream, TCustomMemoryStream, nullptr)

TReadOnlyMemoryStream::TReadOnlyMemoryStream(const void* data, std::int64_t size) {
  SetPointer(static_cast<const std::uint8_t*>(data), data != nullptr && size > 0 ? size : 0);
}

std::int64_t TReadOnlyMemoryStream::Write(const void*, std::int64_t) { throw EWriteError("Stream write error"); }

ORBEX_IMPLEMENT_CLASS(TStringStream, TMemoryStream, nullptr)

TStringStream::TStringStream(const std::string& s) {
  WriteBuffer(s.data(), static_cast<std::int64_t>(s.size()));
  SetPosition(0);
}

std::string TStringStream::DataString() const {
  return std::string(reinterpret_cast<const char*>(FMemory), static_cast<size_t>(FSize));
}

// ---------------------------------------------------------------------------------------------
// TFileStream

ORBEX_IMPLEMENT_CLASS(TFileStream, TStream, nullptr)

namespace {
// The error code of the failed C library call, in the form SysErrorMessage reads.
std::uint32_t LastFileError() {
#ifdef _WIN32
  return static_cast<std::uint32_t>(_doserrno != 0 ? _doserrno : errno);
#else
  return static_cast<std::uint32_t>(errno);
#endif
}

FILE* OpenFile(const std::string& path, std::uint32_t mode) {
  const char* how;
  if ((mode & fmCreate) == fmCreate) how = "w+b";
  else if ((mode & 3) == fmOpenRead) how = "rb";
  else how = "r+b";
#ifdef _WIN32
  _doserrno = 0;
  int share = (mode & fmShareDenyWrite) != 0 && (mode & fmCreate) != fmCreate ? _SH_DENYWR : _SH_DENYNO;
  return _fsopen(path.c_str(), how, share);
#else
  FILE* f = std::fopen(path.c_str(), how);
  struct stat st;
  if (f != nullptr && fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    // fopen opens a directory for reading here; Windows refuses it, and so do we.
    std::fclose(f);
    errno = EISDIR;
    return nullptr;
  }
  return f;
#endif
}

int SeekFile(FILE* f, std::int64_t offset, int whence) {
#ifdef _WIN32
  return fseeko64(f, offset, whence);
#else
  return fseeko(f, static_cast<off_t>(offset), whence);
#endif
}

std::int64_t TellFile(FILE* f) {
#ifdef _WIN32
  return ftello64(f);
#else
  return static_cast<std::int64_t>(ftello(f));
#endif
}
}  // namespace

TFileStream::TFileStream(const std::string& path, std::uint32_t mode) : FFileName(path) {
  FILE* f = OpenFile(path, mode);
  if (f == nullptr) {
    std::string why = SysErrorMessage(LastFileError());
    if ((mode & fmCreate) == fmCreate)
      throw EFCreateError(Format("Cannot create file \"%s\". %s", path.c_str(), why.c_str()));
    throw EFOpenError(Format("Cannot open file \"%s\". %s", path.c_str(), why.c_str()));
  }
  FFile = f;
}

TFileStream::~TFileStream() {
  if (FFile != nullptr) std::fclose(static_cast<FILE*>(FFile));
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  FILE* f = static_cast<FILE*>(FFile);
  // The C library needs a seek between a write and a read on the same stream.
  if (FLastWasWrite) SeekFile(f, 0, SEEK_CUR);
  FLastWasWrite = false;
  return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), f));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  FILE* f = static_cast<FILE*>(FFile);
  if (!FLastWasWrite) SeekFile(f, 0, SEEK_CUR);
  FLastWasWrite = true;
  return static_cast<std::int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), f));
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  FILE* f = static_cast<FILE*>(FFile);
  if (offset == 0 && origin == soCurrent && !FLastWasWrite) return TellFile(f);
  std::int64_t base = 0;
  if (origin == soCurrent) {
    base = TellFile(f);
  } else if (origin == soEnd) {
    if (SeekFile(f, 0, SEEK_END) != 0) throw EStreamError("Stream seek error");
    base = TellFile(f);
  }
  std::int64_t target = SeekTarget(base, offset);
  if (SeekFile(f, target, SEEK_SET) != 0) throw EStreamError("Stream seek error");
  FLastWasWrite = false;
  return target;
}

void TFileStream::SetSize(std::int64_t newSize) {
  FILE* f = static_cast<FILE*>(FFile);
  if (newSize < 0) throw EStreamError("Stream seek error");
  std::int64_t pos = Seek(0, soCurrent);
  std::fflush(f);
#ifdef _WIN32
  _doserrno = 0;
  int rc = newSize > 0x7FFFFFFF ? -1 : _chsize(_fileno(f), static_cast<long>(newSize));
#else
  int rc = ftruncate(fileno(f), static_cast<off_t>(newSize));
#endif
  if (rc != 0)
    throw EWriteError(Format("Cannot set the size of file \"%s\". %s", FFileName.c_str(),
                             SysErrorMessage(LastFileError()).c_str()));
  Seek(std::min(pos, newSize), soBeginning);
}

// ---------------------------------------------------------------------------------------------
// Collections

ORBEX_IMPLEMENT_CLASS(TCollectionItem, TPersistent, nullptr)

TCollectionItem::TCollectionItem(TCollection* collection) {
  if (collection != nullptr) collection->InsertItem(this, collection->Count());
}

TCollectionItem::~TCollectionItem() {
  if (FCollection != nullptr) FCollection->RemoveItem(this);
}

int TCollectionItem::Index() const {
  if (FCollection == nullptr) return -1;
  const auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int i) {
  int cur = Index();
  if (cur < 0 || i == cur) return;
  auto& items = FCollection->FItems;
  if (i < 0) i = 0;
  if (i >= static_cast<int>(items.size())) i = static_cast<int>(items.size()) - 1;
  items.erase(items.begin() + cur);
  items.insert(items.begin() + i, this);
  Changed(true);
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::Changed(bool allItems) {
  if (FCollection != nullptr && FCollection->FUpdateCount == 0)
    FCollection->Changed(allItems ? nullptr : this);
}

ORBEX_IMPLEMENT_CLASS(TCollection, TPersistent, nullptr)

TCollection::TCollection(const TClassInfo* itemClass, ItemFactory factory, TPersistent* owner)
    : FItemClass(itemClass), FFactory(std::move(factory)), FOwner(owner) {}

TCollection::~TCollection() {
  FUpdateCount = 1;   // no change events while going away
  OnUpdate = nullptr;
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add() {
  if (!FFactory) throw EListError(Format("%s has no item factory", ClassName()));
  TCollectionItem* item = FFactory(this);
  if (item == nullptr) throw EListError(Format("%s has no item factory", ClassName()));
  if (item->FCollection != this) InsertItem(item, Count());
  return item;
}

TCollectionItem* TCollection::Insert(int i) {
  TCollectionItem* item = Add();
  item->SetIndex(i);
  return item;
}

void TCollection::Delete(int i) {
  if (i < 0 || i >= Count()) throw EListError(Format("List index out of bounds (%d)", i));
  delete FItems[static_cast<size_t>(i)];
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) delete FItems.back();
  EndUpdate();
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed(nullptr);
}

void TCollection::Assign(TPersistent* source) {
  if (TCollection* src = As<TCollection>(source)) {
    if (src == this) return;
    BeginUpdate();
    try {
      Clear();
      for (TCollectionItem* it : src->FItems) Add()->Assign(it);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  Inherited::Assign(source);
}

void TCollection::Update(TCollectionItem* item) {
  if (OnUpdate) OnUpdate(item);
}

void TCollection::InsertItem(TCollectionItem* item, int at) {
  FItems.insert(FItems.begin() + at, item);
  item->FCollection = this;
  item->FID = FNextID++;
  Changed(nullptr);
}

void TCollection::RemoveItem(TCollectionItem* item) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
  item->FCollection = nullptr;
  Changed(nullptr);
}

void TCollection::Changed(TCollectionItem* item) {
  if (FUpdateCount == 0) Update(item);
}
