// Stored forms: the text format of the program's form data, its parser, the reader that builds
// a form from it (components by registered class name, published properties by name, events
// bound to the form's published handlers, component references resolved at the end, csLoading
// during the read and Loaded afterwards in creation order), and the checker that the build
// runs over every stored form. Owns nothing: the components it makes belong to the form.
//
// The format (one property or object per line; "//" starts a comment):
//
//   object MainForm: TMainForm
//     Caption = "Orbex"                  strings in double quotes; \" \\ \n \r \t \xHH;
//     Caption = "a long " + "text"       '+' joins strings
//     ClientWidth = 740                  numbers: decimal, -decimal, $hex, 1.5
//     Position = poScreenCenter          identifiers: enums, True/False, colours, references
//     BorderIcons = [biSystemMenu]       sets
//     Font.Height = -11                  properties of sub-objects by dotted names
//     OnResize = FormResize              events: a published handler of the form class
//     Menu = mnuMain                     component references by name (nil: none)
//     Items = ("one" "two")              string lists
//     Panels = <                         collections: items with their properties
//       item
//         Width = 60
//       end>
//     Picture.Data = {0A54424974...}     binary data in hex
//     object StatusBar: TStatusBar       nested objects: children of the enclosing control,
//       ...                              items of a menu, actions of an action list
//     end
//   end
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/base/Classes.h"
#include "framework/base/TypInfo.h"

class TCustomForm;

// ---------------------------------------------------------------------------------------------
// Published handlers and fields of form classes: what stored events and component fields bind to.
struct TPublishedMethod {
  std::string Name;
  // Makes the handler for one instance: a std::any holding the std::function of its signature.
  std::function<TMethodValue(TObject& instance)> Bind;
};

struct TPublishedField {
  std::string Name;
  // Stores the component in the instance's field; false when the component is of another class.
  std::function<bool(TObject& instance, TComponent* value)> Set;
};

// A handler of class F: `void F::FormResize(TObject* Sender)` becomes a TNotifyEvent.
template <class F, class R, class... A>
TPublishedMethod PublishedMethod(const char* name, R (F::*method)(A...)) {
  return TPublishedMethod{name, [method](TObject& o) -> TMethodValue {
                            F* f = static_cast<F*>(&o);
                            return std::function<R(A...)>(
                                [f, method](A... args) -> R { return (f->*method)(std::forward<A>(args)...); });
                          }};
}

// A component field of class F, filled with the stored component of the same name.
template <class F, class X>
TPublishedField PublishedField(const char* name, X* F::*field) {
  return TPublishedField{name, [field](TObject& o, TComponent* c) {
                           X* x = As<X>(c);
                           if (x == nullptr && c != nullptr) return false;
                           static_cast<F&>(o).*field = x;
                           return true;
                         }};
}

// Registers the handlers and fields of a form class (start-up; again for the same class adds).
void RegisterPublishedMethods(const TClassInfo* cls, std::vector<TPublishedMethod> methods,
                              std::vector<TPublishedField> fields = {});
// Looked up by name without regard to case, through the class's parents; null when absent.
const TPublishedMethod* FindPublishedMethod(const TClassInfo* cls, const std::string& name);
const TPublishedField* FindPublishedField(const TClassInfo* cls, const std::string& name);

// ---------------------------------------------------------------------------------------------
// The parsed form data.
struct TFormItem;

struct TFormValue {
  enum TKind { vkString, vkNumber, vkIdent, vkSet, vkList, vkCollection, vkBinary };
  TKind Kind = vkIdent;
  std::string Text;                    // string, number or identifier
  std::vector<std::string> Elements;   // set elements or list strings
  std::vector<TFormItem> Items;        // collection items
  std::vector<std::uint8_t> Data;      // binary
};

struct TFormProperty {
  std::string Name;   // possibly dotted
  TFormValue Value;
  int Line = 0;
};

struct TFormItem {
  std::vector<TFormProperty> Properties;
  int Line = 0;
};

struct TFormObject {
  std::string Name;
  std::string ClassName;
  std::vector<TFormProperty> Properties;
  std::vector<TFormObject> Children;
  int Line = 0;
};

// Limits that keep hostile data from exhausting the stack or memory.
constexpr int kMaxFormNesting = 64;
constexpr std::size_t kMaxFormText = 64u * 1024u * 1024u;

// Parses form text; raises EReadError "Line <n>: <what was wrong>".
TFormObject ParseForm(std::string_view text);

// ---------------------------------------------------------------------------------------------
// Reading.

// Reads form text into `root` (a form or any component): the top object's class must be the
// root's class or a parent of it. Raises EReadError "Line <n>: <what>" for bad data, unknown
// classes, properties, handlers and references; what was read until then stays (owned by
// the root) and nothing is left in the loading state.
void ReadForm(TComponent* root, std::string_view text);
// The same for parsed data (a frame reads its design without taking the design's name).
void ReadForm(TComponent* root, const TFormObject& top);

// The stored form data named `name` (an RCDATA resource of the executable); false when none.
bool FindFormResource(const std::string& name, std::string& text);

// Reads the resource named after the form's class into the form; nothing when there is none.
void ReadFormResource(TCustomForm* form);

// ---------------------------------------------------------------------------------------------
// Checking: every class registered and creatable, every property published by its class (through
// dotted sub-objects; inside collection items, by the items' class), values of the right shape
// (enum and set names, booleans, numbers), handlers published by the form class, references
// naming a component of the form. The items' class is learnt from an object of the owning
// class made for the check (without owner) and freed before returning; items of a collection
// whose class cannot be learnt (one of the form itself) are reported. Returns one message per
// problem ("Line <n>: ..."); empty when the form is sound.
std::vector<std::string> CheckForm(std::string_view text);

// Checks every stored form of the executable: each RCDATA resource whose text starts with
// "object" (after blanks and comments). Messages are prefixed with the resource name.
std::vector<std::string> CheckFormResources();
