// Published properties: the per-class property tables that give typed access to a component's
// properties by name. Two users: the form reader of framework/win (creates components by class
// name, sets properties by name, fills sub-objects such as Font, string lists, collections and
// binary data) and the skin engine (gets and sets a property of any component by name, asks
// whether a class has a property). Window-free. The tables are built once per class, on first
// use of the class information, and live for the whole process.
//
// Declaring a table, in the class's source file:
//
//   ORBEX_IMPLEMENT_PUBLISHED(TMyCtrl, TComponent, &CreateComponentOf<TMyCtrl>)
//   void TMyCtrl::PublishProperties(TPublisher<TMyCtrl>& P) {
//     P.Integer("Left", &TMyCtrl::Left, &TMyCtrl::SetLeft).Default(0);
//     P.Enum("Align", &TMyCtrl::Align, &TMyCtrl::SetAlign, {"alNone", "alTop", "alBottom"});
//     P.Set("Anchors", &TMyCtrl::FAnchors, &TMyCtrl::SetAnchors, {"akLeft", "akTop"}).Default(3);
//     P.Color("Color", &TMyCtrl::Color, &TMyCtrl::SetColor).Default(clBtnFace);
//     P.String("Caption", &TMyCtrl::Caption, &TMyCtrl::SetCaption);
//     P.Object("Font", &TMyCtrl::Font);                  // owned sub-object; set = Assign
//     P.Component("PopupMenu", &TMyCtrl::PopupMenu, &TMyCtrl::SetPopupMenu);
//     P.Event("OnClick", &TMyCtrl::OnClick);             // a std::function field
//     P.Binary("Data", readFn, writeFn, hasDataFn);      // a stream filler
//   }
//
// A getter is a member function, a data member pointer, or a callable taking the object (T&);
// a setter is a member function, a data member pointer, a callable (T&, value), or nullptr for
// a read-only property. Ordinal values (integer, int64, boolean, enum, set, colour) travel as
// std::int64_t; a set is a bit mask with bit i for element i of its name table.
//
// Every by-name function raises EPropertyError "Unknown property: \"X\"" for a name the class
// does not publish (names are compared without regard to case, through the parents).
#pragma once

#include <any>
#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/base/Classes.h"

enum class TTypeKind {
  tkInteger,      // up to 32 bits
  tkInt64,
  tkBoolean,
  tkFloat,
  tkString,
  tkEnumeration,  // ordinal with a name per value (Names)
  tkSet,          // bit mask with a name per bit (Names)
  tkColor,        // integer whose values may have names (clBtnFace), see RegisterColorIdents
  tkClass,        // owned sub-object (TPersistent: Font, Strings, a collection)
  tkComponent,    // reference to a component someone else owns
  tkMethod,       // event: a handler bound by name
  tkBinary,       // data filled from / written to a stream
};
const char* TypeKindName(TTypeKind kind);

// An event handler as handed to an event property: a std::any holding exactly the event's
// std::function type (for OnClick, a TNotifyEvent); empty clears the event.
using TMethodValue = std::any;

// Converters between integers and identifiers (colour and cursor names).
using TIdentToIntFn = std::function<bool(const std::string& ident, std::int64_t& value)>;
using TIntToIdentFn = std::function<bool(std::int64_t value, std::string& ident)>;

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::tkInteger;
  const TClassInfo* Owner = nullptr;        // the class that published it
  std::vector<std::string> Names;           // enum: name of each value; set: name of each bit
  const TClassInfo* PropClass = nullptr;    // class and component: least class of the value
  bool HasDefault = false;                  // ordinals only; without one they are always stored
  std::int64_t Default = 0;
  TIdentToIntFn IdentToInt;                 // optional names of integer values
  TIntToIdentFn IntToIdent;

  // Accessors by kind; an empty setter makes the property read-only.
  std::function<std::int64_t(TObject&)> GetOrd;
  std::function<void(TObject&, std::int64_t)> SetOrd;
  std::function<double(TObject&)> GetFloat;
  std::function<void(TObject&, double)> SetFloat;
  std::function<std::string(TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<TObject*(TObject&)> GetObj;
  std::function<void(TObject&, TObject*)> SetObj;
  std::function<bool(TObject&)> IsAssigned;                      // tkMethod
  std::function<TMethodValue(TObject&)> GetMethod;               // tkMethod
  std::function<void(TObject&, const TMethodValue&)> SetMethod;  // tkMethod
  std::function<void(TObject&, TStream&)> ReadData;              // tkBinary: fill from a stream
  std::function<void(TObject&, TStream&)> WriteData;             // tkBinary
  std::function<bool(TObject&)> HasData;                         // tkBinary
  std::function<bool(TObject&)> Stored;                          // optional "stored" test

  bool IsWritable() const;
  bool IsOrdinal() const;
};

// ---------------------------------------------------------------------------------------------
// Declaring tables.

namespace typinfo_detail {

template <class T, class G>
using ValueOf = std::remove_cvref_t<std::invoke_result_t<G&, T&>>;

template <class V>
std::int64_t ToInt64(const V& v) {
  if constexpr (std::is_same_v<V, bool>) return v ? 1 : 0;
  else if constexpr (std::is_enum_v<V>)
    return static_cast<std::int64_t>(static_cast<std::underlying_type_t<V>>(v));
  else return static_cast<std::int64_t>(v);
}

// Raises EPropertyError "Value out of range for property \"X\"" when v does not fit V, read as a
// signed or an unsigned number of V's width (so "$FFFFFFFF" fits a 32-bit colour).
void RaiseOutOfRange(const std::string& prop);
template <class V>
V FromInt64(std::int64_t v, const std::string& prop) {
  if constexpr (std::is_same_v<V, bool>) {
    return v != 0;
  } else {
    using U = std::conditional_t<std::is_enum_v<V>, std::underlying_type<V>, std::type_identity<V>>;
    using I = typename U::type;
    if constexpr (sizeof(I) < sizeof(std::int64_t)) {
      using S = std::make_signed_t<I>;
      using W = std::make_unsigned_t<I>;
      if (v < static_cast<std::int64_t>(std::numeric_limits<S>::min()) ||
          v > static_cast<std::int64_t>(std::numeric_limits<W>::max()))
        RaiseOutOfRange(prop);
    }
    return static_cast<V>(static_cast<I>(v));
  }
}

template <class T, class S, class V>
void Assign(const S& set, TObject& o, V&& v) {
  if constexpr (std::is_member_object_pointer_v<S>) static_cast<T&>(o).*set = std::forward<V>(v);
  else std::invoke(set, static_cast<T&>(o), std::forward<V>(v));
}

template <class S>
constexpr bool kHasSetter = !std::is_null_pointer_v<S>;

}  // namespace typinfo_detail

// Options of one declared property, chained after the declaration.
template <class T>
class TPropDecl {
public:
  explicit TPropDecl(TPropInfo& p) : FProp(p) {}
  TPropDecl& Default(std::int64_t v) {
    FProp.HasDefault = true;
    FProp.Default = v;
    return *this;
  }
  // Streaming writes the property only while `f` says so.
  TPropDecl& Stored(std::function<bool(T&)> f) {
    FProp.Stored = [f = std::move(f)](TObject& o) { return f(static_cast<T&>(o)); };
    return *this;
  }
  // Names of some integer values, as colours and cursors have them.
  TPropDecl& Idents(TIdentToIntFn toInt, TIntToIdentFn toIdent) {
    FProp.IdentToInt = std::move(toInt);
    FProp.IntToIdent = std::move(toIdent);
    return *this;
  }
  TPropInfo& Info() { return FProp; }

private:
  TPropInfo& FProp;
};

// Adds one class's properties to its class information; made by ORBEX_IMPLEMENT_PUBLISHED.
template <class T>
class TPublisher {
public:
  explicit TPublisher(TClassInfo& info) : FInfo(info) {}

  template <class G, class S = std::nullptr_t>
  TPropDecl<T> Integer(const char* name, G get, S set = nullptr) {
    return Ordinal(name, TTypeKind::tkInteger, get, set);
  }
  template <class G, class S = std::nullptr_t>
  TPropDecl<T> Int64(const char* name, G get, S set = nullptr) {
    return Ordinal(name, TTypeKind::tkInt64, get, set);
  }
  template <class G, class S = std::nullptr_t>
  TPropDecl<T> Boolean(const char* name, G get, S set = nullptr) {
    return Ordinal(name, TTypeKind::tkBoolean, get, set);
  }
  template <class G, class S = std::nullptr_t>
  TPropDecl<T> Color(const char* name, G get, S set = nullptr) {
    return Ordinal(name, TTypeKind::tkColor, get, set);
  }
  template <class G, class S>
  TPropDecl<T> Enum(const char* name, G get, S set, std::vector<std::string> names) {
    TPropDecl<T> d = Ordinal(name, TTypeKind::tkEnumeration, get, set);
    d.Info().Names = std::move(names);
    return d;
  }
  template <class G, class S>
  TPropDecl<T> Set(const char* name, G get, S set, std::vector<std::string> names) {
    TPropDecl<T> d = Ordinal(name, TTypeKind::tkSet, get, set);
    d.Info().Names = std::move(names);
    return d;
  }

  template <class G, class S = std::nullptr_t>
  TPropDecl<T> Float(const char* name, G get, S set = nullptr) {
    TPropInfo& p = Add(name, TTypeKind::tkFloat);
    using V = typinfo_detail::ValueOf<T, G>;
    p.GetFloat = [get](TObject& o) { return static_cast<double>(std::invoke(get, static_cast<T&>(o))); };
    if constexpr (typinfo_detail::kHasSetter<S>)
      p.SetFloat = [set](TObject& o, double v) { typinfo_detail::Assign<T>(set, o, static_cast<V>(v)); };
    return TPropDecl<T>(p);
  }

  template <class G, class S = std::nullptr_t>
  TPropDecl<T> String(const char* name, G get, S set = nullptr) {
    TPropInfo& p = Add(name, TTypeKind::tkString);
    p.GetStr = [get](TObject& o) { return std::string(std::invoke(get, static_cast<T&>(o))); };
    if constexpr (typinfo_detail::kHasSetter<S>)
      p.SetStr = [set](TObject& o, const std::string& v) { typinfo_detail::Assign<T>(set, o, v); };
    return TPropDecl<T>(p);
  }

  // An owned sub-object (TPersistent). Without a setter, setting it Assigns to the sub-object.
  template <class G, class S = std::nullptr_t>
  TPropDecl<T> Object(const char* name, G get, S set = nullptr) {
    TPropInfo& p = Add(name, TTypeKind::tkClass);
    using P = typinfo_detail::ValueOf<T, G>;
    using X = std::remove_pointer_t<P>;
    static_assert(std::is_pointer_v<P> && std::is_base_of_v<TPersistent, X>,
                  "an object property's getter returns a TPersistent-derived pointer");
    p.PropClass = &X::StaticClassInfo();
    p.GetObj = [get](TObject& o) -> TObject* { return std::invoke(get, static_cast<T&>(o)); };
    if constexpr (typinfo_detail::kHasSetter<S>) {
      p.SetObj = [set](TObject& o, TObject* v) {
        typinfo_detail::Assign<T>(set, o, static_cast<X*>(v));
      };
    } else {
      p.SetObj = [get](TObject& o, TObject* v) {
        X* cur = std::invoke(get, static_cast<T&>(o));
        if (cur == nullptr) throw EPropertyError("Cannot assign to a nil sub-object");
        cur->Assign(As<TPersistent>(v));
      };
    }
    return TPropDecl<T>(p);
  }

  // A reference to a component owned elsewhere; the setter usually asks for FreeNotification.
  template <class G, class S = std::nullptr_t>
  TPropDecl<T> Component(const char* name, G get, S set = nullptr) {
    TPropInfo& p = Add(name, TTypeKind::tkComponent);
    using P = typinfo_detail::ValueOf<T, G>;
    using X = std::remove_pointer_t<P>;
    static_assert(std::is_pointer_v<P> && std::is_base_of_v<TComponent, X>,
                  "a component property's getter returns a TComponent-derived pointer");
    p.PropClass = &X::StaticClassInfo();
    p.GetObj = [get](TObject& o) -> TObject* { return std::invoke(get, static_cast<T&>(o)); };
    if constexpr (typinfo_detail::kHasSetter<S>)
      p.SetObj = [set](TObject& o, TObject* v) { typinfo_detail::Assign<T>(set, o, static_cast<X*>(v)); };
    return TPropDecl<T>(p);
  }

  // An event held in a std::function field (of T or a base of T).
  template <class E, class C>
  TPropDecl<T> Event(const char* name, E C::*field) {
    static_assert(std::is_base_of_v<C, T>, "the event field belongs to the class or a parent");
    return Event(
        name, [field](T& o) -> const E& { return o.*field; },
        [field](T& o, const E& e) { o.*field = e; });
  }
  // An event behind a getter and a setter.
  template <class G, class S>
  TPropDecl<T> Event(const char* name, G get, S set) {
    using E = typinfo_detail::ValueOf<T, G>;
    TPropInfo& p = Add(name, TTypeKind::tkMethod);
    p.IsAssigned = [get](TObject& o) { return static_cast<bool>(std::invoke(get, static_cast<T&>(o))); };
    p.GetMethod = [get](TObject& o) { return TMethodValue(E(std::invoke(get, static_cast<T&>(o)))); };
    std::string n = name;
    p.SetMethod = [set, n](TObject& o, const TMethodValue& v) {
      if (!v.has_value()) {
        typinfo_detail::Assign<T>(set, o, E());
        return;
      }
      const E* h = std::any_cast<E>(&v);
      if (h == nullptr) RaiseIncompatibleHandler(n);
      typinfo_detail::Assign<T>(set, o, *h);
    };
    return TPropDecl<T>(p);
  }

  // Binary data: `read(T&, TStream&)` fills the object from the stream (from its position to
  // its end); `write(T&, TStream&)` and `hasData(T&) -> bool` may be nullptr.
  template <class R, class W, class H>
  TPropDecl<T> Binary(const char* name, R read, W write, H hasData) {
    TPropInfo& p = Add(name, TTypeKind::tkBinary);
    p.ReadData = [read](TObject& o, TStream& s) { std::invoke(read, static_cast<T&>(o), s); };
    if constexpr (!std::is_null_pointer_v<W>)
      p.WriteData = [write](TObject& o, TStream& s) { std::invoke(write, static_cast<T&>(o), s); };
    if constexpr (!std::is_null_pointer_v<H>)
      p.HasData = [hasData](TObject& o) { return static_cast<bool>(std::invoke(hasData, static_cast<T&>(o))); };
    return TPropDecl<T>(p);
  }

private:
  template <class G, class S>
  TPropDecl<T> Ordinal(const char* name, TTypeKind kind, G get, S set) {
    TPropInfo& p = Add(name, kind);
    using V = typinfo_detail::ValueOf<T, G>;
    p.GetOrd = [get](TObject& o) { return typinfo_detail::ToInt64(std::invoke(get, static_cast<T&>(o))); };
    if constexpr (typinfo_detail::kHasSetter<S>) {
      std::string n = name;
      p.SetOrd = [set, n](TObject& o, std::int64_t v) {
        typinfo_detail::Assign<T>(set, o, typinfo_detail::FromInt64<V>(v, n));
      };
    }
    return TPropDecl<T>(p);
  }
  TPropInfo& Add(const char* name, TTypeKind kind);
  [[noreturn]] static void RaiseIncompatibleHandler(const std::string& name);
  TClassInfo& FInfo;
};

// Builds a class's property table exactly once, also when the table names the class itself.
struct TPublishOnce {
  std::atomic<int> State{0};   // 0 not yet, 1 being built, 2 done
};
void PublishOnce(TClassInfo& info, TPublishOnce& once, void (*publish)(TClassInfo&));
// A new, empty property owned by the process-wide table store, appended to `info`.
TPropInfo& NewPropInfo(TClassInfo& info);

template <class T>
TPropInfo& TPublisher<T>::Add(const char* name, TTypeKind kind) {
  TPropInfo& p = NewPropInfo(FInfo);
  p.Name = name;
  p.Kind = kind;
  return p;
}
template <class T>
void TPublisher<T>::RaiseIncompatibleHandler(const std::string& name) {
  throw EPropertyError("Incompatible handler for event \"" + name + "\"");
}

// Like ORBEX_IMPLEMENT_CLASS, and builds the class's table from Name::PublishProperties.
#define ORBEX_IMPLEMENT_PUBLISHED(Name, ParentName, Factory)            \
  TClassInfo& Name::StaticClassInfo() {                                 \
    static TClassInfo info{#Name, &ParentName::StaticClassInfo(), Factory, {}}; \
    static TPublishOnce once;                                           \
    PublishOnce(info, once, [](TClassInfo& i) {                         \
      TPublisher<Name> p(i);                                            \
      Name::PublishProperties(p);                                       \
    });                                                                 \
    return info;                                                        \
  }

// ---------------------------------------------------------------------------------------------
// Access by name. `obj` must not be null (EPropertyError "Object is nil").

// Null when the class does not publish the name.
const TPropInfo* GetPropInfo(const TObject* obj, const std::string& name);
const TPropInfo* GetPropInfo(const TClassInfo* cls, const std::string& name);
// Raises EPropertyError "Unknown property: \"X\"" when absent.
const TPropInfo& FindPropInfo(const TObject* obj, const std::string& name);
bool IsPublishedProp(const TObject* obj, const std::string& name);
bool IsPublishedProp(const TClassInfo* cls, const std::string& name);
TTypeKind PropType(const TObject* obj, const std::string& name);

// Ordinal kinds (integer, int64, boolean, enum, set, colour); other kinds raise EPropertyError
// "Invalid property type: X". Setting a read-only property raises EPropertyError
// "Property \"X\" is read-only"; an enum value outside its names raises
// "Value out of range for property \"X\"".
std::int64_t GetOrdProp(TObject* obj, const std::string& name);
void SetOrdProp(TObject* obj, const std::string& name, std::int64_t value);
std::int64_t GetOrdProp(TObject* obj, const TPropInfo& prop);
void SetOrdProp(TObject* obj, const TPropInfo& prop, std::int64_t value);
std::string GetStrProp(TObject* obj, const std::string& name);
void SetStrProp(TObject* obj, const std::string& name, const std::string& value);
double GetFloatProp(TObject* obj, const std::string& name);
void SetFloatProp(TObject* obj, const std::string& name, double value);
// Enum by value name ("alClient", case-insensitive); EPropertyError "Invalid enumeration value
// \"x\" for property \"X\"" when unknown.
std::string GetEnumProp(TObject* obj, const std::string& name);
void SetEnumProp(TObject* obj, const std::string& name, const std::string& value);
// Sets as text: "[a,b]" (brackets optional on input, blanks ignored).
std::string GetSetProp(TObject* obj, const std::string& name, bool brackets = true);
void SetSetProp(TObject* obj, const std::string& name, const std::string& value);
// Class and component kinds. SetObjectProp raises EPropertyError "Invalid property value" for
// an object that is not of the property's class.
TObject* GetObjectProp(TObject* obj, const std::string& name);
void SetObjectProp(TObject* obj, const std::string& name, TObject* value);
TObject* GetObjectProp(TObject* obj, const TPropInfo& prop);
void SetObjectProp(TObject* obj, const TPropInfo& prop, TObject* value);
// Events.
void SetMethodProp(TObject* obj, const std::string& name, const TMethodValue& handler);
void SetMethodProp(TObject* obj, const TPropInfo& prop, const TMethodValue& handler);
bool IsMethodAssigned(TObject* obj, const std::string& name);
// The event's handler as a TMethodValue holding the event's own std::function type (empty
// function when unassigned); raises as the other readers for a missing or non-event property.
TMethodValue GetMethodProp(TObject* obj, const std::string& name);
// Binary data.
void ReadBinaryProp(TObject* obj, const TPropInfo& prop, TStream& from);
void WriteBinaryProp(TObject* obj, const TPropInfo& prop, TStream& to);

// Any kind as text and back, as the engine and the text form format spell values: integers in
// decimal, booleans "True"/"False", enums by name, sets "[a,b]", colours by name or as "$" and
// eight hex digits, floats as FloatToStr, strings as they are, a component reference by its
// Name (reading only). Class, method and binary kinds raise "Invalid property type: X"; text
// that does not parse raises EPropertyError "Invalid property value \"v\" for property \"X\"".
std::string GetPropValue(TObject* obj, const std::string& name);
void SetPropValue(TObject* obj, const std::string& name, const std::string& value);
std::string GetPropValue(TObject* obj, const TPropInfo& prop);
void SetPropValue(TObject* obj, const TPropInfo& prop, const std::string& value);

// True when streaming would skip the property: ordinals equal to their default, empty strings,
// zero floats, nil references, unassigned events, binary without data, or Stored false.
// Class properties are never default (the writer looks inside them).
bool IsDefaultPropValue(TObject* obj, const TPropInfo& prop);

// Name tables of enum and set properties.
std::string GetEnumName(const TPropInfo& prop, std::int64_t value);   // "" when out of range
int GetEnumValue(const TPropInfo& prop, const std::string& name);     // -1 when unknown
std::string SetToString(const TPropInfo& prop, std::int64_t value, bool brackets = true);
// Raises EPropertyError "Invalid property element: x" for an unknown element.
std::int64_t StringToSet(const TPropInfo& prop, const std::string& text);

// Colour names (clBtnFace, ...): the graphics unit registers its converters at start-up.
// Without them, colours are numbers only.
void RegisterColorIdents(TIdentToIntFn toInt, TIntToIdentFn toIdent);
bool IdentToColor(const std::string& ident, std::int64_t& color);
bool ColorToIdent(std::int64_t color, std::string& ident);
