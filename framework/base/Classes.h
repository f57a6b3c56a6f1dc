// The framework's object model: run-time class information, events, persistent objects,
// components with owners, lists, string lists, streams and collections. Window-free.
//
// Sections: class information and TObject; events; TPersistent; TComponent; TList;
// TStrings/TStringList; streams; collections.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/base/SysUtils.h"
#include "framework/base/Types.h"

class TObject;
class TComponent;
struct TPropInfo;

template <class T>
class TPublisher;

// ---------------------------------------------------------------------------------------------
// Class information. Every framework class declares ORBEX_CLASS(Name, Parent) in its body and
// defines its class information in its source file with one of:
//
//   ORBEX_IMPLEMENT_CLASS(TMyList, TPersistent, nullptr)                  // not creatable by name
//   ORBEX_IMPLEMENT_CLASS(TMyThing, TComponent, &CreateComponentOf<TMyThing>)
//   ORBEX_IMPLEMENT_PUBLISHED(TMyCtrl, TComponent, &CreateComponentOf<TMyCtrl>)   // TypInfo.h
//   void TMyCtrl::PublishProperties(TPublisher<TMyCtrl>& P) { P.Integer("Left", ...); }
//
// The third argument is the factory the form reader uses (null for abstract classes or classes
// that need more than an owner to be made). ORBEX_IMPLEMENT_PUBLISHED also declares the class's
// published properties (see framework/base/TypInfo.h); PublishProperties is a static member,
// so it may name private accessors and fields.
//
// Creatable classes must be registered before a form names them: RegisterClassOf<T>() in the
// start-up list, or ORBEX_REGISTER_CLASS(Name) beside ORBEX_IMPLEMENT_CLASS (a static object;
// it only runs when the linker keeps that object file, which an explicit start-up list avoids
// having to think about). The engine and the form reader find classes and properties by name.

struct TClassInfo {
  const char* Name;
  const TClassInfo* Parent;
  // Creates an instance with the given owner (components) or none; null for abstract classes.
  TObject* (*Create)(TComponent* owner);
  // Published properties declared by this class itself (parents' come through Parent).
  std::vector<const TPropInfo*> Properties;

  bool InheritsFrom(const TClassInfo* other) const;
  // Looks a published property up by name, case-insensitively, through the parents.
  const TPropInfo* FindProperty(const std::string& name) const;
  // All published properties, parents' first, in declaration order.
  std::vector<const TPropInfo*> AllProperties() const;
};

// Registry of creatable classes by name (case-insensitive), used by form streaming.
// Registering the same class again does nothing; another class of the same name raises
// EComponentError "A class named %s is already registered".
void RegisterClassInfo(TClassInfo* info);
const TClassInfo* FindClassInfo(const std::string& name);

#define ORBEX_CLASS(Name, ParentName)                                   \
public:                                                                 \
  static TClassInfo& StaticClassInfo();                                 \
  const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); } \
  using Inherited = ParentName;                                         \
  /* Defined only by classes that publish properties (ORBEX_IMPLEMENT_PUBLISHED). */ \
  static void PublishProperties(TPublisher<Name>& P);                   \
private:

// Defines Name::StaticClassInfo(): built on first use (so the order of static initialisation
// between units does not matter), with Parent's information as its parent.
#define ORBEX_IMPLEMENT_CLASS(Name, ParentName, Factory)                \
  TClassInfo& Name::StaticClassInfo() {                                 \
    static TClassInfo info{#Name, &ParentName::StaticClassInfo(), Factory, {}}; \
    return info;                                                        \
  }

// Registers a creatable class by a static object of this source file (see above).
#define ORBEX_REGISTER_CLASS(Name)                                      \
  [[maybe_unused]] static const bool OrbexClassRegistered_##Name =      \
      (RegisterClassInfo(&Name::StaticClassInfo()), true)

// Factories for ORBEX_IMPLEMENT_CLASS: components take the owner; other objects ignore it.
template <class T>
TObject* CreateComponentOf(TComponent* owner);
template <class T>
TObject* CreateObjectOf(TComponent*) {
  return new T();
}
template <class T>
void RegisterClassOf() {
  RegisterClassInfo(&T::StaticClassInfo());
}

// ---------------------------------------------------------------------------------------------
class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static TClassInfo& StaticClassInfo();
  virtual const TClassInfo* ClassInfo() const { return &StaticClassInfo(); }
  const char* ClassName() const { return ClassInfo()->Name; }
  bool InheritsFrom(const TClassInfo* c) const { return ClassInfo()->InheritsFrom(c); }
  bool InheritsFrom(const std::string& className) const;
};

ORBEX_EXCEPTION(EComponentError, Exception);

// Checked down-cast by class information (like the framework's "as" / "is").
template <class T>
T* As(TObject* o) {
  return (o != nullptr && o->InheritsFrom(&T::StaticClassInfo())) ? static_cast<T*>(o) : nullptr;
}
template <class T>
const T* As(const TObject* o) {
  return (o != nullptr && o->InheritsFrom(&T::StaticClassInfo())) ? static_cast<const T*>(o)
                                                                   : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Events: method pointers of the design, as std::function. Fired only when assigned:
//   if (FOnChange) FOnChange(this);
using TNotifyEvent = std::function<void(TObject* Sender)>;

// ---------------------------------------------------------------------------------------------
class TPersistent : public TObject {
  ORBEX_CLASS(TPersistent, TObject)
public:
  // Copies from another object; raises EConvertError "Cannot assign a X to a Y" when unknown.
  virtual void Assign(TPersistent* source);

protected:
  virtual void AssignTo(TPersistent* dest);
};

// For property setters: stores value in field and returns whether that changed it, so that a
// setter reacts (repaints, rebuilds a handle, fires OnChange) only on a real change:
//   void TPen::SetColor(TColor c) { if (SetAndCheck(FColor, c)) Change(); }
template <class T, class V>
bool SetAndCheck(T& field, V&& value) {
  if (field == value) return false;
  field = std::forward<V>(value);
  return true;
}

// ---------------------------------------------------------------------------------------------
enum TComponentStateFlag : std::uint32_t {
  csLoading = 0x1,
  csReading = 0x2,
  csWriting = 0x4,
  csDestroying = 0x8,
  csDesigning = 0x10,
  csUpdating = 0x20,
};
using TComponentState = std::uint32_t;

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
  ORBEX_CLASS(TComponent, TPersistent)
public:
  explicit TComponent(TComponent* AOwner);
  // Destroys the owned components (the last inserted first), after telling every component
  // that asked for notification.
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int i) const { return FComponents.at(static_cast<size_t>(i)); }
  int ComponentIndex() const;
  TComponent* FindComponent(const std::string& name) const;   // case-insensitive

  const std::string& Name() const { return FName; }
  // Raises EComponentError "'x' is not a valid component name" (not an identifier) or
  // "A component named x already exists" (another component of the owner has it, ignoring
  // case). InsertComponent checks the name the same way.
  virtual void SetName(const std::string& name);
  std::intptr_t Tag() const { return FTag; }
  void SetTag(std::intptr_t t) { FTag = t; }
  TComponentState ComponentState() const { return FComponentState; }
  bool IsLoading() const { return (FComponentState & csLoading) != 0; }
  bool IsDestroying() const { return (FComponentState & csDestroying) != 0; }

  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);
  // Every component owned by an owner hears (Notification) of components inserted into or
  // removed from that owner. FreeNotification asks `c` to tell this component when it is
  // freed, and this one to tell `c` (both directions are kept).
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);

  // Runs once the object is fully constructed, before anything else sees it: the makers of
  // components call it (CreateComponentOf, hence the form reader; NewComponent;
  // Application->CreateForm), since a constructor cannot reach the overrides of a derived
  // class. Does nothing here.
  virtual void AfterConstruction() {}
  // Set by the form reader around a read; Loaded is called once afterwards.
  void SetLoading(bool on);
  virtual void Loaded();
  // First step of destruction: marks csDestroying on this and every owned component.
  virtual void Destroying();
  // Frees the owned components, the last inserted first. ~TComponent does this; a derived
  // class whose owned components still use its own parts (a form and its controls) calls
  // Destroying() and DestroyComponents() at the start of its own destructor.
  void DestroyComponents();

protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  virtual void ValidateRename(TComponent* c, const std::string& cur, const std::string& next);

private:
  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  std::string FName;
  std::intptr_t FTag = 0;
  TComponentState FComponentState = 0;
};

// Makes a component and runs its AfterConstruction; what every maker of components uses.
template <class T, class... Args>
T* NewComponent(Args&&... args) {
  T* c = new T(std::forward<Args>(args)...);
  try {
    c->AfterConstruction();
  } catch (...) {
    delete c;
    throw;
  }
  return c;
}

template <class T>
TObject* CreateComponentOf(TComponent* owner) {
  return NewComponent<T>(owner);
}

// ---------------------------------------------------------------------------------------------
// Ordered list of object pointers that owns nothing.
using TList = std::vector<void*>;

// ---------------------------------------------------------------------------------------------
// String lists. Case-sensitive unless CaseSensitive is set false; "Name=Value" lines.
class TStrings : public TPersistent {
  ORBEX_CLASS(TStrings, TPersistent)
public:
  virtual int Count() const = 0;
  virtual std::string Get(int i) const = 0;
  virtual void Put(int i, const std::string& s) = 0;
  virtual TObject* GetObject(int i) const = 0;
  virtual void PutObject(int i, TObject* o) = 0;
  virtual void Insert(int i, const std::string& s) = 0;
  virtual void Delete(int i) = 0;
  virtual void Clear() = 0;
  virtual int Add(const std::string& s);
  int AddObject(const std::string& s, TObject* o);
  virtual int IndexOf(const std::string& s) const;
  int IndexOfName(const std::string& name) const;
  int IndexOfObject(TObject* o) const;
  std::string operator[](int i) const { return Get(i); }
  // Same as GetObject: <windows.h> turns the name GetObject into GetObjectA, so Win32 units
  // call this one (a devirtualised call to TStringList::GetObjectA would not link).
  TObject* Objects(int i) const { return GetObject(i); }

  std::string Names(int i) const;
  std::string ValueFromIndex(int i) const;
  std::string Values(const std::string& name) const;
  void SetValue(const std::string& name, const std::string& value);

  // Lines joined with CR LF after each line (as files are written).
  std::string Text() const;
  // Splits at CR LF, LF or CR.
  void SetText(const std::string& text);
  std::string CommaText() const;
  void SetCommaText(const std::string& text);
  void AddStrings(const TStrings& other);
  void Assign(TPersistent* source) override;
  void LoadFromStream(class TStream& s);
  void SaveToStream(class TStream& s) const;
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

  void BeginUpdate();
  void EndUpdate();
  bool CaseSensitive() const { return FCaseSensitive; }
  virtual void SetCaseSensitive(bool on) { FCaseSensitive = on; }
  TNotifyEvent OnChange;

protected:
  int CompareStrings(const std::string& a, const std::string& b) const;
  virtual void Changed();
  int FUpdateCount = 0;
  bool FCaseSensitive = true;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
  ORBEX_CLASS(TStringList, TStrings)
public:
  TStringList() = default;
  int Count() const override { return static_cast<int>(FItems.size()); }
  std::string Get(int i) const override;
  void Put(int i, const std::string& s) override;
  TObject* GetObject(int i) const override;
  void PutObject(int i, TObject* o) override;
  void Insert(int i, const std::string& s) override;
  void Delete(int i) override;
  void Clear() override;
  int Add(const std::string& s) override;
  int IndexOf(const std::string& s) const override;

  bool Sorted() const { return FSorted; }
  void SetSorted(bool on);
  void SetCaseSensitive(bool on) override;
  TDuplicates Duplicates = TDuplicates::dupIgnore;
  // Binary search in a sorted list; true with the index when found, else the insert index.
  bool Find(const std::string& s, int& index) const;
  void Sort();

private:
  struct Item {
    std::string S;
    TObject* O = nullptr;
  };
  std::vector<Item> FItems;
  bool FSorted = false;
  void CheckIndex(int i) const;   // EListError "List index out of bounds (%d)"
};

// ---------------------------------------------------------------------------------------------
// Streams. Read/Write move as far as they can and return the count; ReadBuffer/WriteBuffer
// raise EReadError "Stream read error" / EWriteError "Stream write error" when short (or for a
// negative count). Seeking before the start (or past the 64-bit range) raises EStreamError
// "Stream seek error" and moves nothing; seeking past the end is allowed: reads there give 0
// bytes and a write extends the stream (a memory stream with zeros in between). SetSize of a
// stream that cannot change its size raises EStreamError.
enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream : public TObject {
  ORBEX_CLASS(TStream, TObject)
public:
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t p) { Seek(p, soBeginning); }
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t newSize);
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies count bytes (0: the whole source from its start); returns the count copied.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TCustomMemoryStream : public TStream {
  ORBEX_CLASS(TCustomMemoryStream, TStream)
public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  const std::uint8_t* Memory() const { return FMemory; }
  std::int64_t Size() override { return FSize; }
  void SaveToStream(TStream& s);
  void SaveToFile(const std::string& path);

protected:
  void SetPointer(const std::uint8_t* p, std::int64_t size);
  const std::uint8_t* FMemory = nullptr;
  std::int64_t FSize = 0;
  std::int64_t FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
  ORBEX_CLASS(TMemoryStream, TCustomMemoryStream)
public:
  TMemoryStream() = default;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  void SetSize(std::int64_t newSize) override;
  void Clear();
  void LoadFromStream(TStream& s);
  void LoadFromFile(const std::string& path);
  std::uint8_t* Data() { return FData.data(); }

private:
  std::vector<std::uint8_t> FData;
};

// A read-only view of memory someone else owns (resource data, a test's bytes).
class TReadOnlyMemoryStream : public TCustomMemoryStream {
  ORBEX_CLASS(TReadOnlyMemoryStream, TCustomMemoryStream)
public:
  TReadOnlyMemoryStream(const void* data, std::int64_t size);
  std::int64_t Write(const void* buffer, std::int64_t count) override;   // raises EWriteError
};

enum TFileMode : std::uint32_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareDenyWrite = 0x0020,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

// Raises EFOpenError "Cannot open file \"<path>\". <system text>" or EFCreateError
// "Cannot create file \"<path>\". <system text>".
class TFileStream : public TStream {
  ORBEX_CLASS(TFileStream, TStream)
public:
  TFileStream(const std::string& path, std::uint32_t mode);
  ~TFileStream() override;
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t newSize) override;
  const std::string& FileName() const { return FFileName; }

private:
  std::string FFileName;
  void* FFile = nullptr;   // FILE*, owned
  bool FLastWasWrite = false;
};

class TStringStream : public TMemoryStream {
  ORBEX_CLASS(TStringStream, TMemoryStream)
public:
  explicit TStringStream(const std::string& s = std::string());
  std::string DataString() const;
};

// ---------------------------------------------------------------------------------------------
// Collections: owned, ordered items with published properties (status bar panels, cool-bar
// bands, stored skins). Each collection creates items of one class.
class TCollection;

class TCollectionItem : public TPersistent {
  ORBEX_CLASS(TCollectionItem, TPersistent)
public:
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  TCollection* Collection() const { return FCollection; }
  int Index() const;
  void SetIndex(int i);
  int ID() const { return FID; }
  virtual std::string DisplayName() const;

protected:
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
  ORBEX_CLASS(TCollection, TPersistent)
public:
  // itemClass must be a TCollectionItem class; items are made by itemFactory.
  using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
  TCollection(const TClassInfo* itemClass, ItemFactory factory, TPersistent* owner = nullptr);
  ~TCollection() override;
  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int i) const { return FItems.at(static_cast<size_t>(i)); }
  TCollectionItem* Add();
  TCollectionItem* Insert(int i);
  void Delete(int i);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  TPersistent* Owner() const { return FOwner; }
  const TClassInfo* ItemClass() const { return FItemClass; }
  void Assign(TPersistent* source) override;
  // Fired after any change (item added, removed, moved, or an item's Changed).
  std::function<void(TCollectionItem* item)> OnUpdate;

protected:
  virtual void Update(TCollectionItem* item);

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item, int at);
  void RemoveItem(TCollectionItem* item);
  void Changed(TCollectionItem* item);
  std::vector<TCollectionItem*> FItems;
  const TClassInfo* FItemClass;
  ItemFactory FFactory;
  TPersistent* FOwner;
  int FNextID = 0;
  int FUpdateCount = 0;
};
