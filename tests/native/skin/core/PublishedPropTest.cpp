// Tests of the by-name property helpers the engine uses on foreign controls: present and
// absent names, kinds that do not fit, read-only properties and set elements.
#include <gtest/gtest.h>

#include "framework/base/TypInfo.h"
#include "skin/paint/sUtils.h"

namespace {

class TForeignCtrl : public TComponent {
  ORBEX_CLASS(TForeignCtrl, TComponent)
public:
  explicit TForeignCtrl(TComponent* owner) : TComponent(owner) {}
  int Width = 10;
  bool Flat = false;
  std::uint32_t BorderSides = 0x5;   // beLeft, beRight
  std::string Caption = "x";
  TForeignCtrl* Buddy = nullptr;
  TStringList Lines;
  int Fixed = 7;
  std::uint8_t Tiny = 0;
};

}  // namespace

ORBEX_IMPLEMENT_PUBLISHED(TForeignCtrl, TComponent, &CreateComponentOf<TForeignCtrl>)

void TForeignCtrl::PublishProperties(TPublisher<TForeignCtrl>& P) {
  P.Integer("Width", &TForeignCtrl::Width, &TForeignCtrl::Width);
  P.Boolean("Flat", &TForeignCtrl::Flat, &TForeignCtrl::Flat);
  P.Set("BorderSides", &TForeignCtrl::BorderSides, &TForeignCtrl::BorderSides,
        {"beLeft", "beTop", "beRight", "beBottom"});
  P.String("Caption", &TForeignCtrl::Caption, &TForeignCtrl::Caption);
  P.Component("Buddy", &TForeignCtrl::Buddy, &TForeignCtrl::Buddy);
  P.Object("Lines", [](TForeignCtrl& c) { return &c.Lines; });
  P.Integer("Fixed", &TForeignCtrl::Fixed);
  P.Integer("Tiny", &TForeignCtrl::Tiny, &TForeignCtrl::Tiny);
}

TEST(PublishedProps, ReadAndWriteByName) {
  TForeignCtrl c(nullptr), other(nullptr);
  c.Buddy = &other;
  EXPECT_TRUE(PublishedPropExists(&c, "width"));
  EXPECT_FALSE(PublishedPropExists(&c, "Height"));
  EXPECT_FALSE(PublishedPropExists(nullptr, "Width"));

  EXPECT_EQ(ReadOrdProp(&c, "WIDTH"), 10);
  EXPECT_EQ(ReadOrdProp(&c, "Height"), -1);
  EXPECT_EQ(ReadOrdProp(&c, "Caption"), -1);   // not ordinal
  EXPECT_EQ(ReadOrdProp(nullptr, "Width"), -1);
  EXPECT_TRUE(WriteOrdProp(&c, "Flat", 1));
  EXPECT_TRUE(c.Flat);
  EXPECT_FALSE(WriteOrdProp(&c, "Fixed", 3));   // read-only
  EXPECT_EQ(c.Fixed, 7);
  EXPECT_FALSE(WriteOrdProp(&c, "Tiny", 100000));   // refused value
  EXPECT_FALSE(WriteOrdProp(&c, "Caption", 1));

  EXPECT_EQ(ReadObjectProp(&c, "Buddy"), &other);
  EXPECT_EQ(ReadObjectProp(&c, "Lines"), &c.Lines);
  EXPECT_EQ(ReadObjectProp(&c, "Width"), nullptr);
  EXPECT_EQ(ReadObjectProp(&c, "Nothing"), nullptr);
}

TEST(PublishedProps, SetElements) {
  TForeignCtrl c(nullptr);
  EXPECT_TRUE(SetPropHasElement(&c, "BorderSides", "beLeft"));
  EXPECT_FALSE(SetPropHasElement(&c, "BorderSides", "beTop"));
  EXPECT_TRUE(SetPropHasElement(&c, "BorderSides", "BERIGHT"));
  EXPECT_FALSE(SetPropHasElement(&c, "BorderSides", "beMiddle"));
  EXPECT_FALSE(SetPropHasElement(&c, "Width", "beLeft"));   // not a set

  EXPECT_TRUE(ToggleSetPropElement(&c, "BorderSides", "beBottom", true));
  EXPECT_EQ(c.BorderSides, 0xDu);
  EXPECT_TRUE(ToggleSetPropElement(&c, "BorderSides", "beLeft", false));
  EXPECT_EQ(c.BorderSides, 0xCu);
  EXPECT_FALSE(ToggleSetPropElement(&c, "BorderSides", "beMiddle", true));
  EXPECT_FALSE(ToggleSetPropElement(nullptr, "BorderSides", "beLeft", true));
}
