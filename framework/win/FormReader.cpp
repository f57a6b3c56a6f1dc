// Stored forms: the tokenizer and parser of the form text, the reader that applies it to a
// form through the property tables, and the checker. The table of published handlers and
// fields per class lives here (GUI thread, filled at start-up).
//
// Sections: published methods and fields; tokenizer; parser; reader; resources; checker.
#include "framework/win/FormReader.h"

#include <windows.h>

#include <map>
#include <memory>
#include <utility>

#include "framework/win/ActnList.h"
#include "framework/win/Controls.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"

// =============================================================================================
// Published methods and fields.
namespace {
struct TClassMethods {
  std::vector<TPublishedMethod> Methods;
  std::vector<TPublishedField> Fields;
};
std::map<const TClassInfo*, TClassMethods>& MethodTable() {
  static std::map<const TClassInfo*, TClassMethods> table;
  return table;
}
}  // namespace

void RegisterPublishedMethods(const TClassInfo* cls, std::vector<TPublishedMethod> methods,
                              std::vector<TPublishedField> fields) {
  TClassMethods& t = MethodTable()[cls];
  for (auto& m : methods) t.Methods.push_back(std::move(m));
  for (auto& f : fields) t.Fields.push_back(std::move(f));
}

const TPublishedMethod* FindPublishedMethod(const TClassInfo* cls, const std::string& name) {
  for (; cls != nullptr; cls = cls->Parent) {
    auto it = MethodTable().find(cls);
    if (it == MethodTable().end()) continue;
    for (const auto& m : it->second.Methods)
      if (SameText(m.Name, name)) return &m;
  }
  return nullptr;
}

const TPublishedField* FindPublishedField(const TClassInfo* cls, const std::string& name) {
  for (; cls != nullptr; cls = cls->Parent) {
    auto it = MethodTable().find(cls);
    if (it == MethodTable().end()) continue;
    for (const auto& f : it->second.Fields)
      if (SameText(f.Name, name)) return &f;
  }
  return nullptr;
}

// =============================================================================================
// Tokenizer.
namespace {

[[noreturn]] void Fail(int line, const std::string& what) {
  throw EReadError("Line " + std::to_string(line) + ": " + what);
}

enum class TTok { End, Ident, String, Number, Symbol };

struct TToken {
  TTok Kind = TTok::End;
  std::string Text;
  int Line = 1;
};

bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class TLexer {
public:
  explicit TLexer(std::string_view text) : FText(text) {}

  const TToken& Peek() {
    if (!FHasPeek) {
      FPeek = Scan();
      FHasPeek = true;
    }
    return FPeek;
  }
  TToken Next() {
    Peek();
    FHasPeek = false;
    return FPeek;
  }
  int Line() { return Peek().Line; }

  // Hex digits and blanks up to the closing brace (the opening one was read).
  std::vector<std::uint8_t> ReadBinary(int line) {
    if (FHasPeek) Fail(line, "Binary data expected");
    std::vector<std::uint8_t> out;
    int high = -1;
    while (FPos < FText.size()) {
      char c = FText[FPos++];
      if (c == '}') {
        if (high >= 0) Fail(FLine, "Odd number of hex digits in binary data");
        return out;
      }
      if (c == '\n') {
        ++FLine;
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r') continue;
      int v = HexValue(c);
      if (v < 0) Fail(FLine, std::string("Invalid character in binary data: '") + c + "'");
      if (high < 0) {
        high = v;
      } else {
        out.push_back(static_cast<std::uint8_t>(high * 16 + v));
        high = -1;
      }
    }
    Fail(FLine, "Binary data not closed with '}'");
  }

private:
  TToken Scan() {
    SkipBlanks();
    TToken t;
    t.Line = FLine;
    if (FPos >= FText.size()) return t;
    char c = FText[FPos];
    if (IsIdentStart(c)) {
      size_t start = FPos;
      while (FPos < FText.size() && (IsIdentStart(FText[FPos]) || IsDigit(FText[FPos]) || FText[FPos] == '.')) ++FPos;
      t.Kind = TTok::Ident;
      t.Text = std::string(FText.substr(start, FPos - start));
      return t;
    }
    if (IsDigit(c) || c == '-' || c == '$') {
      size_t start = FPos++;
      if (c == '$') {
        while (FPos < FText.size() && HexValue(FText[FPos]) >= 0) ++FPos;
      } else {
        while (FPos < FText.size() && (IsDigit(FText[FPos]) || FText[FPos] == '.' || FText[FPos] == 'e' ||
                                       FText[FPos] == 'E'))
          ++FPos;
      }
      t.Kind = TTok::Number;
      t.Text = std::string(FText.substr(start, FPos - start));
      if (t.Text == "-" || t.Text == "$") Fail(FLine, "Number expected");
      return t;
    }
    if (c == '"') return ScanString();
    if (std::string_view("=:[](),<>{}+").find(c) != std::string_view::npos) {
      ++FPos;
      t.Kind = TTok::Symbol;
      t.Text = std::string(1, c);
      return t;
    }
    Fail(FLine, std::string("Invalid character '") + c + "'");
  }

  TToken ScanString() {
    TToken t;
    t.Line = FLine;
    t.Kind = TTok::String;
    ++FPos;
    while (true) {
      if (FPos >= FText.size() || FText[FPos] == '\n') Fail(t.Line, "Unterminated string");
      char c = FText[FPos++];
      if (c == '"') break;
      if (c != '\\') {
        t.Text += c;
        continue;
      }
      if (FPos >= FText.size()) Fail(t.Line, "Unterminated string");
      char e = FText[FPos++];
      switch (e) {
        case 'n': t.Text += '\n'; break;
        case 'r': t.Text += '\r'; break;
        case 't': t.Text += '\t'; break;
        case '"': t.Text += '"'; break;
        case '\\': t.Text += '\\'; break;
        case 'x': {
          int h = FPos + 1 < FText.size() ? HexValue(FText[FPos]) : -1;
          int l = FPos + 1 < FText.size() ? HexValue(FText[FPos + 1]) : -1;
          if (h < 0 || l < 0) Fail(t.Line, "Invalid \\x escape in string");
          t.Text += static_cast<char>(h * 16 + l);
          FPos += 2;
          break;
        }
        default: Fail(t.Line, std::string("Invalid escape \\") + e + " in string");
      }
    }
    return t;
  }

  void SkipBlanks() {
    while (FPos < FText.size()) {
      char c = FText[FPos];
      if (c == '\n') {
        ++FLine;
        ++FPos;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++FPos;
      } else if (c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') {
        while (FPos < FText.size() && FText[FPos] != '\n') ++FPos;
      } else {
        break;
      }
    }
  }

  std::string_view FText;
  size_t FPos = 0;
  int FLine = 1;
  TToken FPeek;
  bool FHasPeek = false;
};

// =============================================================================================
// Parser.
class TParser {
public:
  explicit TParser(std::string_view text) : FLex(text) {}

  TFormObject ParseRoot() {
    TFormObject o = ParseObject(0);
    if (FLex.Peek().Kind != TTok::End) Fail(FLex.Line(), "Text after the end of the form");
    return o;
  }

private:
  void Expect(const char* sym) {
    TToken t = FLex.Next();
    if (t.Kind != TTok::Symbol || t.Text != sym) Fail(t.Line, std::string("'") + sym + "' expected");
  }
  bool IsSymbol(const char* sym) {
    const TToken& t = FLex.Peek();
    return t.Kind == TTok::Symbol && t.Text == sym;
  }
  bool IsKeyword(const char* word) {
    const TToken& t = FLex.Peek();
    return t.Kind == TTok::Ident && SameText(t.Text, word);
  }
  std::string PlainIdent(const char* what) {
    TToken t = FLex.Next();
    if (t.Kind != TTok::Ident || t.Text.find('.') != std::string::npos) Fail(t.Line, std::string(what) + " expected");
    return t.Text;
  }

  TFormObject ParseObject(int depth) {
    if (depth > kMaxFormNesting) Fail(FLex.Line(), "Objects nested too deeply");
    TFormObject o;
    o.Line = FLex.Line();
    if (!IsKeyword("object")) Fail(o.Line, "'object' expected");
    FLex.Next();
    o.Name = PlainIdent("Component name");
    Expect(":");
    o.ClassName = PlainIdent("Class name");
    while (true) {
      const TToken& t = FLex.Peek();
      if (t.Kind == TTok::End) Fail(o.Line, "Object " + o.Name + " has no 'end'");
      if (IsKeyword("end")) {
        FLex.Next();
        return o;
      }
      if (IsKeyword("object")) {
        o.Children.push_back(ParseObject(depth + 1));
        continue;
      }
      o.Properties.push_back(ParseProperty(depth));
    }
  }

  TFormProperty ParseProperty(int depth) {
    TFormProperty p;
    TToken name = FLex.Next();
    p.Line = name.Line;
    if (name.Kind != TTok::Ident) Fail(name.Line, "Property name expected");
    if (name.Text.front() == '.' || name.Text.back() == '.' || name.Text.find("..") != std::string::npos)
      Fail(name.Line, "Invalid property name \"" + name.Text + "\"");
    p.Name = name.Text;
    Expect("=");
    p.Value = ParseValue(depth);
    return p;
  }

  TFormValue ParseValue(int depth) {
    TFormValue v;
    TToken t = FLex.Next();
    switch (t.Kind) {
      case TTok::String:
        v.Kind = TFormValue::vkString;
        v.Text = t.Text;
        while (IsSymbol("+")) {
          FLex.Next();
          TToken s = FLex.Next();
          if (s.Kind != TTok::String) Fail(s.Line, "String expected after '+'");
          v.Text += s.Text;
        }
        return v;
      case TTok::Number:
        v.Kind = TFormValue::vkNumber;
        v.Text = t.Text;
        return v;
      case TTok::Ident:
        v.Kind = TFormValue::vkIdent;
        v.Text = t.Text;
        return v;
      case TTok::Symbol: break;
      case TTok::End: Fail(t.Line, "Value expected");
    }
    if (t.Text == "[") {
      v.Kind = TFormValue::vkSet;
      if (IsSymbol("]")) {
        FLex.Next();
        return v;
      }
      while (true) {
        v.Elements.push_back(PlainIdent("Set element"));
        if (IsSymbol("]")) {
          FLex.Next();
          return v;
        }
        Expect(",");
      }
    }
    if (t.Text == "(") {
      v.Kind = TFormValue::vkList;
      while (!IsSymbol(")")) {
        TToken s = FLex.Next();
        if (s.Kind != TTok::String) Fail(s.Line, "String or ')' expected in a list");
        v.Elements.push_back(s.Text);
      }
      FLex.Next();
      return v;
    }
    if (t.Text == "<") {
      v.Kind = TFormValue::vkCollection;
      while (!IsSymbol(">")) {
        if (!IsKeyword("item")) Fail(FLex.Line(), "'item' or '>' expected in a collection");
        TFormItem item;
        item.Line = FLex.Next().Line;
        while (!IsKeyword("end")) {
          if (FLex.Peek().Kind == TTok::End) Fail(item.Line, "Item has no 'end'");
          if (depth + 1 > kMaxFormNesting) Fail(item.Line, "Objects nested too deeply");
          item.Properties.push_back(ParseProperty(depth + 1));
        }
        FLex.Next();
        v.Items.push_back(std::move(item));
      }
      FLex.Next();
      return v;
    }
    if (t.Text == "{") {
      v.Kind = TFormValue::vkBinary;
      v.Data = FLex.ReadBinary(t.Line);
      return v;
    }
    Fail(t.Line, "Value expected, found '" + t.Text + "'");
  }

  TLexer FLex;
};

}  // namespace

TFormObject ParseForm(std::string_view text) {
  if (text.size() > kMaxFormText) throw EReadError("Form data too large");
  return TParser(text).ParseRoot();
}

// =============================================================================================
// Reader.
namespace {

struct TFixup {
  TObject* Instance;
  const TPropInfo* Prop;
  std::string Name;
  int Line;
};

class TFormApplier {
public:
  explicit TFormApplier(TComponent* root) : FRoot(root) {}

  void Read(const TFormObject& top) {
    if (!FRoot->InheritsFrom(top.ClassName))
      Fail(top.Line, "The form data describe a " + top.ClassName + ", not a " + FRoot->ClassName());
    FRoot->SetLoading(true);
    FLoaded.push_back(FRoot);
    try {
      if (!top.Name.empty() && !SameText(FRoot->Name(), top.Name)) FRoot->SetName(top.Name);
      ApplyProperties(FRoot, top.Properties);
      for (const TFormObject& child : top.Children) ReadObject(child, FRoot);
      ResolveFixups();
      BindFields();
    } catch (...) {
      for (TComponent* c : FLoaded) c->SetLoading(false);
      throw;
    }
    // Loaded in creation order: each clears its own loading state.
    for (TComponent* c : FLoaded) c->Loaded();
  }

private:
  void ReadObject(const TFormObject& o, TComponent* parent) {
    const TClassInfo* cls = FindClassInfo(o.ClassName);
    if (cls == nullptr) Fail(o.Line, "Class " + o.ClassName + " not found");
    if (cls->Create == nullptr) Fail(o.Line, "Class " + o.ClassName + " cannot be created");
    TObject* obj = cls->Create(FRoot);
    TComponent* c = As<TComponent>(obj);
    if (c == nullptr) {
      delete obj;
      Fail(o.Line, "Class " + o.ClassName + " is not a component");
    }
    c->SetLoading(true);
    FLoaded.push_back(c);
    try {
      c->SetName(o.Name);
      SetParentOf(c, parent, o.Line);
    } catch (const EReadError&) {
      throw;
    } catch (const Exception& e) {
      Fail(o.Line, e.Message());
    }
    ApplyProperties(c, o.Properties);
    for (const TFormObject& child : o.Children) ReadObject(child, c);
  }

  void SetParentOf(TComponent* c, TComponent* parent, int line) {
    if (auto* ctl = As<TControl>(c)) {
      auto* w = As<TWinControl>(parent);
      if (w == nullptr) Fail(line, "Control " + c->Name() + " needs a windowed control as its parent");
      ctl->SetParent(w);
    } else if (auto* action = As<TContainedAction>(c)) {
      if (auto* list = As<TCustomActionList>(parent)) action->SetActionList(list);
    } else if (auto* item = As<TMenuItem>(c)) {
      if (auto* menu = As<TMenu>(parent))
        menu->Items()->Add(item);
      else if (auto* owner = As<TMenuItem>(parent))
        owner->Add(item);
      else
        Fail(line, "Menu item " + c->Name() + " outside a menu");
    }
  }

  void ApplyProperties(TObject* obj, const std::vector<TFormProperty>& props) {
    for (const TFormProperty& p : props) {
      try {
        ApplyProperty(obj, p);
      } catch (const EReadError&) {
        throw;
      } catch (const Exception& e) {
        Fail(p.Line, e.Message());
      }
    }
  }

  // Walks a dotted name to the object that holds the last part.
  static TObject* Resolve(TObject* obj, const std::string& dotted, std::string& last, int line) {
    size_t start = 0;
    while (true) {
      size_t dot = dotted.find('.', start);
      if (dot == std::string::npos) {
        last = dotted.substr(start);
        return obj;
      }
      std::string part = dotted.substr(start, dot - start);
      const TPropInfo* p = GetPropInfo(obj, part);
      if (p == nullptr) Fail(line, "Unknown property \"" + part + "\" of " + obj->ClassName());
      if (p->Kind != TTypeKind::tkClass) Fail(line, "Property \"" + part + "\" has no properties of its own");
      obj = GetObjectProp(obj, *p);
      if (obj == nullptr) Fail(line, "Property \"" + part + "\" is nil");
      start = dot + 1;
    }
  }

  void ApplyProperty(TObject* target, const TFormProperty& fp) {
    std::string name;
    TObject* obj = Resolve(target, fp.Name, name, fp.Line);
    const TPropInfo* p = GetPropInfo(obj, name);
    if (p == nullptr) Fail(fp.Line, "Unknown property \"" + fp.Name + "\" of " + target->ClassName());
    const TFormValue& v = fp.Value;
    auto wrong = [&]() { Fail(fp.Line, "Invalid value for property \"" + fp.Name + "\""); };
    switch (p->Kind) {
      case TTypeKind::tkMethod: {
        if (v.Kind != TFormValue::vkIdent) wrong();
        if (SameText(v.Text, "nil")) {
          SetMethodProp(obj, *p, TMethodValue());
          return;
        }
        const TPublishedMethod* m = FindPublishedMethod(FRoot->ClassInfo(), v.Text);
        if (m == nullptr) Fail(fp.Line, "Method \"" + v.Text + "\" not found in " + FRoot->ClassName());
        SetMethodProp(obj, *p, m->Bind(*FRoot));
        return;
      }
      case TTypeKind::tkComponent:
        if (v.Kind != TFormValue::vkIdent) wrong();
        FFixups.push_back(TFixup{obj, p, v.Text, fp.Line});
        return;
      case TTypeKind::tkClass: {
        TObject* sub = GetObjectProp(obj, *p);
        if (auto* strings = As<TStrings>(sub)) {
          if (v.Kind != TFormValue::vkList) wrong();
          strings->BeginUpdate();
          strings->Clear();
          for (const auto& s : v.Elements) strings->Add(s);
          strings->EndUpdate();
          return;
        }
        if (auto* coll = As<TCollection>(sub)) {
          if (v.Kind != TFormValue::vkCollection) wrong();
          coll->BeginUpdate();
          try {
            coll->Clear();
            for (const TFormItem& item : v.Items) {
              TCollectionItem* ci = coll->Add();
              ApplyProperties(ci, item.Properties);
            }
          } catch (...) {
            coll->EndUpdate();
            throw;
          }
          coll->EndUpdate();
          return;
        }
        wrong();
        return;
      }
      case TTypeKind::tkBinary: {
        if (v.Kind != TFormValue::vkBinary) wrong();
        TReadOnlyMemoryStream s(v.Data.data(), static_cast<std::int64_t>(v.Data.size()));
        ReadBinaryProp(obj, *p, s);
        return;
      }
      case TTypeKind::tkSet: {
        if (v.Kind != TFormValue::vkSet) wrong();
        std::string text = "[";
        for (size_t i = 0; i < v.Elements.size(); ++i) text += (i ? "," : "") + v.Elements[i];
        SetPropValue(obj, *p, text + "]");
        return;
      }
      case TTypeKind::tkString:
        if (v.Kind != TFormValue::vkString) wrong();
        SetPropValue(obj, *p, v.Text);
        return;
      default:
        if (v.Kind != TFormValue::vkNumber && v.Kind != TFormValue::vkIdent) wrong();
        SetPropValue(obj, *p, v.Text);
        return;
    }
  }

  void ResolveFixups() {
    for (const TFixup& f : FFixups) {
      TComponent* c = nullptr;
      if (!SameText(f.Name, "nil")) {
        c = SameText(FRoot->Name(), f.Name) ? FRoot : FRoot->FindComponent(f.Name);
        if (c == nullptr) Fail(f.Line, "Component \"" + f.Name + "\" not found");
      }
      try {
        SetObjectProp(f.Instance, *f.Prop, c);
      } catch (const Exception& e) {
        Fail(f.Line, e.Message());
      }
    }
  }

  void BindFields() {
    for (TComponent* c : FLoaded) {
      if (c == FRoot || c->Name().empty()) continue;
      const TPublishedField* field = FindPublishedField(FRoot->ClassInfo(), c->Name());
      if (field != nullptr && !field->Set(*FRoot, c))
        throw EReadError("Field " + c->Name() + " of " + FRoot->ClassName() + " does not take a " + c->ClassName());
    }
  }

  TComponent* FRoot;
  std::vector<TComponent*> FLoaded;
  std::vector<TFixup> FFixups;
};

}  // namespace

void ReadForm(TComponent* root, std::string_view text) {
  if (root == nullptr) throw EReadError("No component to read the form into");
  ReadForm(root, ParseForm(text));
}

void ReadForm(TComponent* root, const TFormObject& top) {
  if (root == nullptr) throw EReadError("No component to read the form into");
  TFormApplier(root).Read(top);
}

bool FindFormResource(const std::string& name, std::string& text) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC res = ::FindResourceA(module, name.c_str(), reinterpret_cast<LPCSTR>(RT_RCDATA));
  if (res == nullptr) return false;
  DWORD size = ::SizeofResource(module, res);
  HGLOBAL data = ::LoadResource(module, res);
  const void* p = data != nullptr ? ::LockResource(data) : nullptr;
  if (p == nullptr) return false;
  text.assign(static_cast<const char*>(p), size);
  return true;
}

void ReadFormResource(TCustomForm* form) {
  std::string text;
  if (!FindFormResource(form->ClassName(), text)) return;
  ReadForm(form, text);
}

// =============================================================================================
// Checker.
namespace {

class TFormChecker {
public:
  std::vector<std::string> Check(const TFormObject& top) {
    FRootClass = FindClassInfo(top.ClassName);
    if (FRootClass == nullptr) {
      Report(top.Line, "Class " + top.ClassName + " not found");
      return FProblems;
    }
    CollectNames(top);
    // No prototype of the form itself: a form class may do anything in its constructor.
    CheckProperties(FRootClass, top.Properties, []() -> TObject* { return nullptr; });
    for (const TFormObject& c : top.Children) CheckObject(c);
    return FProblems;
  }

private:
  void Report(int line, const std::string& what) { FProblems.push_back("Line " + std::to_string(line) + ": " + what); }

  void CollectNames(const TFormObject& o) {
    FNames.push_back(o.Name);
    for (const TFormObject& c : o.Children) CollectNames(c);
  }

  void CheckObject(const TFormObject& o) {
    const TClassInfo* cls = FindClassInfo(o.ClassName);
    if (cls == nullptr) {
      Report(o.Line, "Class " + o.ClassName + " not found");
    } else {
      if (cls->Create == nullptr) Report(o.Line, "Class " + o.ClassName + " cannot be created");
      CheckProperties(cls, o.Properties, [this, cls]() { return Prototype(cls); });
    }
    for (const TFormObject& c : o.Children) CheckObject(c);
  }

  // An object of the class being checked, made only when a collection's items need it; null
  // when none can be made.
  using TInstanceFn = std::function<TObject*()>;

  void CheckProperties(const TClassInfo* cls, const std::vector<TFormProperty>& props,
                       const TInstanceFn& instance) {
    for (const TFormProperty& p : props) CheckProperty(cls, p, instance);
  }

  // The class of a collection's items is known only to a collection object: one object of the
  // owning class is made (as the reader makes it, without owner), asked, and freed with the
  // checker. Null when the class cannot be made.
  TObject* Prototype(const TClassInfo* cls) {
    for (const auto& p : FPrototypes)
      if (p.first == cls) return p.second.get();
    TObject* made = nullptr;
    if (cls->Create != nullptr) {
      try {
        made = cls->Create(nullptr);
      } catch (...) {
        made = nullptr;
      }
    }
    FPrototypes.emplace_back(cls, std::unique_ptr<TObject>(made));
    return made;
  }

  // One item of a prototype collection, for the items' own collections; null when none.
  TObject* PrototypeItem(TCollection* coll) {
    for (const auto& p : FPrototypeItems)
      if (p.first == coll) return p.second;
    TCollectionItem* item = nullptr;
    try {
      item = coll->Add();
    } catch (...) {
      item = nullptr;
    }
    FPrototypeItems.emplace_back(coll, item);
    return item;
  }

  // The collection object that the dotted property path names on `obj`; null when unknown.
  static TCollection* CollectionAt(TObject* obj, const std::vector<const TPropInfo*>& path) {
    try {
      for (const TPropInfo* p : path) {
        if (obj == nullptr) return nullptr;
        obj = GetObjectProp(obj, *p);
      }
    } catch (const Exception&) {
      return nullptr;
    }
    return As<TCollection>(obj);
  }

  // Items of a collection: each property checked against the class of the items, so that a
  // misspelt item property fails like any other.
  void CheckItems(const std::vector<const TPropInfo*>& path, const TFormProperty& fp,
                  const TInstanceFn& instance) {
    TCollection* coll = CollectionAt(instance(), path);
    const TClassInfo* itemClass = coll != nullptr ? coll->ItemClass() : nullptr;
    if (itemClass == nullptr) {
      if (!fp.Value.Items.empty())
        Report(fp.Line, "Property \"" + fp.Name + "\": the class of its items is unknown");
      return;
    }
    const TInstanceFn item = [this, coll]() { return PrototypeItem(coll); };
    for (const TFormItem& it : fp.Value.Items) CheckProperties(itemClass, it.Properties, item);
  }

  void CheckProperty(const TClassInfo* cls, const TFormProperty& fp, const TInstanceFn& instance) {
    const TPropInfo* p = nullptr;
    std::vector<const TPropInfo*> path;
    size_t start = 0;
    while (true) {
      size_t dot = fp.Name.find('.', start);
      std::string part = fp.Name.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
      p = cls->FindProperty(part);
      if (p == nullptr) {
        Report(fp.Line, "Unknown property \"" + fp.Name + "\" of " + cls->Name);
        return;
      }
      if (dot == std::string::npos) break;
      if (p->Kind != TTypeKind::tkClass || p->PropClass == nullptr) {
        Report(fp.Line, "Property \"" + part + "\" has no properties of its own");
        return;
      }
      path.push_back(p);
      cls = p->PropClass;
      start = dot + 1;
    }
    const size_t before = FProblems.size();
    CheckValue(*p, fp);
    path.push_back(p);
    if (FProblems.size() == before && p->Kind == TTypeKind::tkClass &&
        fp.Value.Kind == TFormValue::vkCollection)
      CheckItems(path, fp, instance);
  }

  void CheckValue(const TPropInfo& p, const TFormProperty& fp) {
    const TFormValue& v = fp.Value;
    auto bad = [&](const std::string& why) { Report(fp.Line, "Property \"" + fp.Name + "\": " + why); };
    switch (p.Kind) {
      case TTypeKind::tkMethod:
        if (v.Kind != TFormValue::vkIdent)
          bad("a handler name expected");
        else if (!SameText(v.Text, "nil") && FindPublishedMethod(FRootClass, v.Text) == nullptr)
          bad("method \"" + v.Text + "\" not found in " + FRootClass->Name);
        return;
      case TTypeKind::tkComponent:
        if (v.Kind != TFormValue::vkIdent) {
          bad("a component name expected");
          return;
        }
        if (SameText(v.Text, "nil")) return;
        for (const auto& n : FNames)
          if (SameText(n, v.Text)) return;
        bad("component \"" + v.Text + "\" not found");
        return;
      case TTypeKind::tkClass:
        if (v.Kind == TFormValue::vkList || v.Kind == TFormValue::vkCollection) {
          if (v.Kind == TFormValue::vkList && p.PropClass != nullptr && !p.PropClass->InheritsFrom(&TStrings::StaticClassInfo()))
            bad("not a string list");
          if (v.Kind == TFormValue::vkCollection && p.PropClass != nullptr &&
              !p.PropClass->InheritsFrom(&TCollection::StaticClassInfo()))
            bad("not a collection");
          return;
        }
        bad("a list or collection expected");
        return;
      case TTypeKind::tkBinary:
        if (v.Kind != TFormValue::vkBinary) bad("binary data expected");
        return;
      case TTypeKind::tkString:
        if (v.Kind != TFormValue::vkString) bad("a string expected");
        return;
      case TTypeKind::tkSet:
        if (v.Kind != TFormValue::vkSet) {
          bad("a set expected");
          return;
        }
        for (const auto& e : v.Elements) {
          bool found = false;
          for (const auto& n : p.Names) found = found || SameText(n, e);
          if (!found) bad("unknown set element \"" + e + "\"");
        }
        return;
      case TTypeKind::tkEnumeration:
        if (v.Kind != TFormValue::vkIdent || GetEnumValue(p, v.Text) < 0) bad("unknown value \"" + v.Text + "\"");
        return;
      case TTypeKind::tkBoolean:
        if (v.Kind != TFormValue::vkIdent || (!SameText(v.Text, "True") && !SameText(v.Text, "False")))
          bad("True or False expected");
        return;
      case TTypeKind::tkFloat:
      case TTypeKind::tkInteger:
      case TTypeKind::tkInt64:
      case TTypeKind::tkColor: {
        if (v.Kind == TFormValue::vkNumber) return;
        std::int64_t value = 0;
        if (v.Kind == TFormValue::vkIdent) {
          if (p.IdentToInt && p.IdentToInt(v.Text, value)) return;
          if (p.Kind == TTypeKind::tkColor && IdentToColor(v.Text, value)) return;
        }
        bad("unknown value \"" + v.Text + "\"");
        return;
      }
    }
  }

  const TClassInfo* FRootClass = nullptr;
  std::vector<std::string> FNames;
  std::vector<std::string> FProblems;
  // Prototype items are owned by their prototype collections and freed with them.
  std::vector<std::pair<const TClassInfo*, std::unique_ptr<TObject>>> FPrototypes;
  std::vector<std::pair<TCollection*, TCollectionItem*>> FPrototypeItems;
};

}  // namespace

std::vector<std::string> CheckForm(std::string_view text) {
  try {
    TFormObject top = ParseForm(text);
    return TFormChecker().Check(top);
  } catch (const Exception& e) {
    return {e.Message()};
  }
}

namespace {
BOOL CALLBACK CollectResourceName(HMODULE, LPCSTR, LPSTR name, LONG_PTR lp) {
  // Numbered resources are not forms: forms are named after their class.
  if (IS_INTRESOURCE(name)) return TRUE;
  reinterpret_cast<std::vector<std::string>*>(lp)->push_back(name);
  return TRUE;
}

bool LooksLikeForm(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n') {
      ++i;
    } else if (text.compare(i, 2, "//") == 0) {
      while (i < text.size() && text[i] != '\n') ++i;
    } else {
      break;
    }
  }
  return text.compare(i, 6, "object") == 0;
}
}  // namespace

std::vector<std::string> CheckFormResources() {
  std::vector<std::string> names;
  ::EnumResourceNamesA(::GetModuleHandleA(nullptr), reinterpret_cast<LPCSTR>(RT_RCDATA), &CollectResourceName,
                       reinterpret_cast<LONG_PTR>(&names));
  std::vector<std::string> problems;
  for (const std::string& name : names) {
    std::string text;
    if (!FindFormResource(name, text) || !LooksLikeForm(text)) continue;
    for (const std::string& p : CheckForm(text)) problems.push_back(name + ": " + p);
  }
  return problems;
}
