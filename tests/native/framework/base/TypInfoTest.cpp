// Published properties: typed access by name through inheritance, unknown names, enum and set
// names, colour names, defaults, sub-objects, component references, events and binary data.
#include "framework/base/TypInfo.h"

#include <gtest/gtest.h>

namespace {

enum class TAlign { alNone, alTop, alBottom, alClient };

class TFontLike : public TPersistent {
  ORBEX_CLASS(TFontLike, TPersistent)
public:
  TFontLike() = default;
  TColor Color = 0;
  int Size = 8;
  void Assign(TPersistent* source) override {
    if (auto* f = As<TFontLike>(source)) {
      Color = f->Color;
      Size = f->Size;
      return;
    }
    TPersistent::Assign(source);
  }
};

class TWidget : public TComponent {
  ORBEX_CLASS(TWidget, TComponent)
public:
  explicit TWidget(TComponent* owner) : TComponent(owner) {}
  int Left() const { return FLeft; }
  void SetLeft(int v) { FLeft = v; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& s) { FCaption = s; }
  TFontLike* Font() { return &FFont; }
  TStringList* Items() { return &FItems; }
  TWidget* Buddy() const { return FBuddy; }
  void SetBuddy(TWidget* w) { FBuddy = w; }
  TNotifyEvent OnClick;
  std::function<void(TObject*, int)> OnResize;
  std::vector<std::uint8_t> Data;
  int Width = 0;
  bool Visible = true;
  TAlign Align = TAlign::alNone;
  std::uint32_t Anchors = 3;
  TColor Color = static_cast<TColor>(0x8000000F);
  double Scale = 1.0;
  std::int64_t Big = 0;
  std::int16_t Small = 0;

private:
  int FLeft = 0;
  std::string FCaption;
  TFontLike FFont;
  TStringList FItems;
  TWidget* FBuddy = nullptr;
  int FCount = 4;   // published read-only, from a private field
};

class TFancyWidget : public TWidget {
  ORBEX_CLASS(TFancyWidget, TWidget)
public:
  explicit TFancyWidget(TComponent* owner) : TWidget(owner) { Width = 75; }
  int Glow = 0;
};

}  // namespace

ORBEX_IMPLEMENT_CLASS(TFontLike, TPersistent, &CreateObjectOf<TFontLike>)
ORBEX_IMPLEMENT_PUBLISHED(TWidget, TComponent, &CreateComponentOf<TWidget>)
ORBEX_IMPLEMENT_PUBLISHED(TFancyWidget, TWidget, &CreateComponentOf<TFancyWidget>)

void TWidget::PublishProperties(TPublisher<TWidget>& P) {
  P.Integer("Left", &TWidget::Left, &TWidget::SetLeft).Default(0);
  P.Integer("Width", &TWidget::Width, &TWidget::Width);
  P.Integer("Count", &TWidget::FCount);   // read-only
  P.Integer("Small", &TWidget::Small, &TWidget::Small);
  P.Int64("Big", &TWidget::Big, &TWidget::Big);
  P.String("Caption", &TWidget::Caption, &TWidget::SetCaption);
  P.Boolean("Visible", &TWidget::Visible, &TWidget::Visible).Default(1);
  P.Enum("Align", &TWidget::Align, &TWidget::Align, {"alNone", "alTop", "alBottom", "alClient"})
      .Default(0);
  P.Set("Anchors", &TWidget::Anchors, &TWidget::Anchors, {"akLeft", "akTop", "akRight", "akBottom"})
      .Default(3);
  P.Color("Color", &TWidget::Color, &TWidget::Color).Default(static_cast<TColor>(0x8000000F));
  P.Float("Scale", &TWidget::Scale, &TWidget::Scale);
  P.Object("Font", &TWidget::Font);
  P.Object("Items", &TWidget::Items);
  P.Component("Buddy", &TWidget::Buddy, &TWidget::SetBuddy);
  P.Event("OnClick", &TWidget::OnClick);
  P.Event("OnResize", &TWidget::OnResize);
  P.Binary(
      "Data",
      [](TWidget& w, TStream& s) {
        w.Data.resize(static_cast<size_t>(s.Size() - s.Position()));
        s.ReadBuffer(w.Data.data(), static_cast<std::int64_t>(w.Data.size()));
      },
      [](TWidget& w, TStream& s) { s.WriteBuffer(w.Data.data(), static_cast<std::int64_t>(w.Data.size())); },
      [](TWidget& w) { return !w.Data.empty(); });
}

void TFancyWidget::PublishProperties(TPublisher<TFancyWidget>& P) {
  P.Integer("Glow", &TFancyWidget::Glow, &TFancyWidget::Glow).Default(0);
  P.Integer("Width", &TFancyWidget::Width, &TFancyWidget::Width).Default(75);   // new default
}

TEST(TypInfo, TypedAccessByNameThroughInheritance) {
  TFancyWidget w(nullptr);
  SetOrdProp(&w, "left", 12);
  EXPECT_EQ(w.Left(), 12);
  EXPECT_EQ(GetOrdProp(&w, "LEFT"), 12);
  SetOrdProp(&w, "Glow", 3);
  EXPECT_EQ(w.Glow, 3);
  SetStrProp(&w, "Caption", "Connect");
  EXPECT_EQ(GetStrProp(&w, "caption"), "Connect");
  SetStrProp(&w, "Name", "btnConnect");   // TComponent's own
  EXPECT_EQ(w.Name(), "btnConnect");
  EXPECT_EQ(GetOrdProp(&w, "Tag"), 0);
  SetOrdProp(&w, "Tag", -98);
  EXPECT_EQ(w.Tag(), -98);
  SetFloatProp(&w, "Scale", 2.25);
  EXPECT_DOUBLE_EQ(GetFloatProp(&w, "Scale"), 2.25);
  SetOrdProp(&w, "Big", INT64_C(1) << 40);
  EXPECT_EQ(w.Big, INT64_C(1) << 40);
  SetOrdProp(&w, "Visible", 0);
  EXPECT_FALSE(w.Visible);
  EXPECT_EQ(GetOrdProp(&w, "Count"), 4);

  EXPECT_TRUE(IsPublishedProp(&w, "glow"));
  EXPECT_TRUE(IsPublishedProp(&TWidget::StaticClassInfo(), "Caption"));
  EXPECT_FALSE(IsPublishedProp(&TWidget::StaticClassInfo(), "Glow"));
  EXPECT_FALSE(IsPublishedProp(&w, "Height"));
  EXPECT_EQ(PropType(&w, "Align"), TTypeKind::tkEnumeration);

  // All properties: parents' first; a re-published one keeps its parent's place.
  std::vector<std::string> names;
  for (const TPropInfo* p : TFancyWidget::StaticClassInfo().AllProperties()) names.push_back(p->Name);
  ASSERT_GE(names.size(), 5u);
  EXPECT_EQ(names[0], "Name");
  EXPECT_EQ(names[1], "Tag");
  EXPECT_EQ(names[2], "Left");
  EXPECT_EQ(names[3], "Width");
  EXPECT_EQ(names.back(), "Glow");
  EXPECT_EQ(std::count(names.begin(), names.end(), "Width"), 1);
  EXPECT_EQ(TFancyWidget::StaticClassInfo().FindProperty("width")->Owner, &TFancyWidget::StaticClassInfo());
}

TEST(TypInfo, UnknownPropertyWrongKindAndReadOnlyAreErrors) {
  TWidget w(nullptr);
  try {
    GetOrdProp(&w, "Height");
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Unknown property: \"Height\"");
  }
  EXPECT_THROW(SetStrProp(&w, "Nope", "x"), EPropertyError);
  EXPECT_THROW(SetPropValue(&w, "Nope", "x"), EPropertyError);
  EXPECT_EQ(GetPropInfo(&w, "Nope"), nullptr);
  try {
    GetStrProp(&w, "Left");
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Invalid property type: Integer");
  }
  EXPECT_THROW(GetOrdProp(&w, "Caption"), EPropertyError);
  EXPECT_THROW(GetObjectProp(&w, "Left"), EPropertyError);
  try {
    SetOrdProp(&w, "Count", 1);
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Property \"Count\" is read-only");
  }
  try {
    SetOrdProp(&w, "Small", 70000);
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Value out of range for property \"Small\"");
  }
  SetOrdProp(&w, "Small", 0xFFFF);   // the bit pattern of -1 fits too
  EXPECT_EQ(w.Small, -1);
  EXPECT_THROW(GetOrdProp(nullptr, "Left"), EPropertyError);
  // A property of another class is refused rather than applied to the wrong object.
  TStringList notAWidget;
  const TPropInfo* left = GetPropInfo(&TWidget::StaticClassInfo(), "Left");
  EXPECT_THROW(SetOrdProp(&notAWidget, *left, 1), EPropertyError);
}

TEST(TypInfo, EnumAndSetNames) {
  TWidget w(nullptr);
  SetEnumProp(&w, "Align", "ALCLIENT");
  EXPECT_EQ(w.Align, TAlign::alClient);
  EXPECT_EQ(GetEnumProp(&w, "Align"), "alClient");
  try {
    SetEnumProp(&w, "Align", "alLeftish");
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Invalid enumeration value \"alLeftish\" for property \"Align\"");
  }
  EXPECT_THROW(SetOrdProp(&w, "Align", 4), EPropertyError);
  EXPECT_THROW(SetOrdProp(&w, "Align", -1), EPropertyError);
  EXPECT_EQ(w.Align, TAlign::alClient);

  EXPECT_EQ(GetSetProp(&w, "Anchors"), "[akLeft,akTop]");
  SetSetProp(&w, "Anchors", "[akRight, akBottom]");
  EXPECT_EQ(w.Anchors, 12u);
  SetSetProp(&w, "Anchors", "[]");
  EXPECT_EQ(w.Anchors, 0u);
  SetSetProp(&w, "Anchors", "akTop");
  EXPECT_EQ(GetSetProp(&w, "Anchors", false), "akTop");
  try {
    SetSetProp(&w, "Anchors", "[akTop, akMiddle]");
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Invalid property element: akMiddle");
  }
  EXPECT_THROW(SetSetProp(&w, "Anchors", "[akTop"), EPropertyError);
  EXPECT_THROW(SetOrdProp(&w, "Anchors", 16), EPropertyError);   // no fifth element
  EXPECT_EQ(w.Anchors, 2u);

  const TPropInfo& align = FindPropInfo(&w, "Align");
  EXPECT_EQ(GetEnumName(align, 1), "alTop");
  EXPECT_EQ(GetEnumName(align, 9), "");
  EXPECT_EQ(GetEnumValue(align, "albottom"), 2);
  EXPECT_EQ(GetEnumValue(align, "x"), -1);
}

TEST(TypInfo, ValuesAsTextAndColourNames) {
  TWidget w(nullptr);
  EXPECT_EQ(GetPropValue(&w, "Visible"), "True");
  SetPropValue(&w, "Visible", "false");
  EXPECT_FALSE(w.Visible);
  SetPropValue(&w, "Left", "-7");
  EXPECT_EQ(GetPropValue(&w, "Left"), "-7");
  SetPropValue(&w, "Align", "alTop");
  EXPECT_EQ(GetPropValue(&w, "Align"), "alTop");
  SetPropValue(&w, "Anchors", "[akLeft]");
  EXPECT_EQ(GetPropValue(&w, "Anchors"), "[akLeft]");
  SetPropValue(&w, "Scale", "0.5");
  EXPECT_EQ(GetPropValue(&w, "Scale"), "0.5");
  try {
    SetPropValue(&w, "Left", "ten");
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Invalid property value \"ten\" for property \"Left\"");
  }
  EXPECT_THROW(GetPropValue(&w, "Font"), EPropertyError);

  // Without the graphics unit's names colours are numbers; with them, names.
  SetPropValue(&w, "Color", "$000000FF");
  EXPECT_EQ(w.Color, 0xFF);
  EXPECT_EQ(GetPropValue(&w, "Color"), "$000000FF");
  EXPECT_THROW(SetPropValue(&w, "Color", "clBtnFace"), EPropertyError);
  RegisterColorIdents(
      [](const std::string& s, std::int64_t& v) {
        if (!SameText(s, "clBtnFace")) return false;
        v = static_cast<TColor>(0x8000000F);
        return true;
      },
      [](std::int64_t v, std::string& s) {
        if (static_cast<TColor>(v) != static_cast<TColor>(0x8000000F)) return false;
        s = "clBtnFace";
        return true;
      });
  SetPropValue(&w, "Color", "clBtnFace");
  EXPECT_EQ(w.Color, static_cast<TColor>(0x8000000F));
  EXPECT_EQ(GetPropValue(&w, "Color"), "clBtnFace");
  SetPropValue(&w, "Color", "$80000005");   // the bit pattern fits a 32-bit colour
  EXPECT_EQ(w.Color, static_cast<TColor>(0x80000005));
  RegisterColorIdents(nullptr, nullptr);
}

TEST(TypInfo, DefaultsDecideWhatStreamingSkips) {
  TFancyWidget w(nullptr);
  auto isDefault = [&](const char* n) { return IsDefaultPropValue(&w, FindPropInfo(&w, n)); };
  EXPECT_TRUE(isDefault("Left"));
  EXPECT_TRUE(isDefault("Width"));   // 75, the re-published default
  EXPECT_TRUE(isDefault("Visible"));
  EXPECT_TRUE(isDefault("Anchors"));
  EXPECT_TRUE(isDefault("Color"));
  EXPECT_TRUE(isDefault("Caption"));
  EXPECT_TRUE(isDefault("Buddy"));
  EXPECT_TRUE(isDefault("OnClick"));
  EXPECT_TRUE(isDefault("Data"));
  EXPECT_FALSE(isDefault("Count"));   // no default: always written
  EXPECT_FALSE(isDefault("Font"));    // the writer looks inside
  EXPECT_FALSE(isDefault("Scale"));   // 1.0 is not zero
  w.Width = 80;
  w.Visible = false;
  w.SetCaption("x");
  w.Data = {1};
  EXPECT_FALSE(isDefault("Width"));
  EXPECT_FALSE(isDefault("Visible"));
  EXPECT_FALSE(isDefault("Caption"));
  EXPECT_FALSE(isDefault("Data"));
  TWidget plain(nullptr);
  EXPECT_FALSE(IsDefaultPropValue(&plain, FindPropInfo(&plain, "Width")));   // 0, no default here
}

TEST(TypInfo, SubObjectsReferencesEventsAndBinaryData) {
  TComponent form(nullptr);
  auto* a = new TWidget(&form);
  a->SetName("A");
  auto* b = new TWidget(&form);

  // Sub-objects: reached by name for dotted properties (Font.Color), assigned by value.
  auto* font = As<TFontLike>(GetObjectProp(a, "Font"));
  ASSERT_EQ(font, a->Font());
  font->Color = 0x123;
  SetObjectProp(b, "Font", font);
  EXPECT_EQ(b->Font()->Color, 0x123);
  EXPECT_NE(b->Font(), a->Font());
  EXPECT_THROW(SetObjectProp(b, "Font", a), EPropertyError);   // not a TFontLike
  As<TStrings>(GetObjectProp(a, "Items"))->Add("x");
  EXPECT_EQ(a->Items()->Count(), 1);

  SetObjectProp(b, "Buddy", a);
  EXPECT_EQ(b->Buddy(), a);
  EXPECT_EQ(GetPropValue(b, "Buddy"), "A");
  try {
    SetObjectProp(b, "Buddy", &form);
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Invalid property value");
  }
  SetObjectProp(b, "Buddy", nullptr);
  EXPECT_EQ(b->Buddy(), nullptr);

  // Events: handlers of the event's own type; empty clears.
  int clicks = 0;
  SetMethodProp(a, "OnClick", TMethodValue(TNotifyEvent([&](TObject* s) { clicks += s == a ? 1 : 100; })));
  EXPECT_TRUE(IsMethodAssigned(a, "OnClick"));
  a->OnClick(a);
  EXPECT_EQ(clicks, 1);
  const TMethodValue read = GetMethodProp(a, "OnClick");
  ASSERT_NE(std::any_cast<TNotifyEvent>(&read), nullptr);
  std::any_cast<const TNotifyEvent&>(read)(a);
  EXPECT_EQ(clicks, 2);
  try {
    SetMethodProp(a, "OnResize", TMethodValue(TNotifyEvent([](TObject*) {})));
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Incompatible handler for event \"OnResize\"");
  }
  SetMethodProp(a, "OnClick", TMethodValue());
  EXPECT_FALSE(IsMethodAssigned(a, "OnClick"));

  // Binary: filled from a stream, written back out.
  const TPropInfo& data = FindPropInfo(a, "Data");
  TReadOnlyMemoryStream in("\x01\x02\x03", 3);
  ReadBinaryProp(a, data, in);
  EXPECT_EQ(a->Data, (std::vector<std::uint8_t>{1, 2, 3}));
  TMemoryStream out;
  WriteBinaryProp(a, data, out);
  EXPECT_EQ(out.Size(), 3);
  EXPECT_THROW(GetPropValue(a, "Data"), EPropertyError);
}

TEST(TypInfo, CreatableByRegisteredClassName) {
  RegisterClassOf<TFancyWidget>();
  const TClassInfo* info = FindClassInfo("TFancyWidget");
  ASSERT_NE(info, nullptr);
  TComponent owner(nullptr);
  TObject* o = info->Create(&owner);
  ASSERT_NE(o, nullptr);
  EXPECT_STREQ(o->ClassName(), "TFancyWidget");
  SetPropValue(o, "Glow", "5");
  EXPECT_EQ(static_cast<TFancyWidget*>(o)->Glow, 5);
  EXPECT_EQ(owner.ComponentCount(), 1);
}
