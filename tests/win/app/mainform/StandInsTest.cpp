// The stand-in skinned classes where they do more than store values: the skin manager's
// name rule and its after-change event, and the combo box's bound label beside the box.
#include <gtest/gtest.h>

#include "skin/controls/sComboBox.h"
#include "skin/core/win/sSkinManager.h"
#include "tests/win/app/mainform/AppTestUtil.h"

namespace {

TEST(SkinManagerStandIn, ResolvesNamesToStoredSkinsAndTellsEachChange) {
  TsSkinManager m(nullptr);
  int changes = 0;
  std::vector<std::string> seen;
  m.OnAfterChange = [&](TObject*) {
    ++changes;
    seen.push_back(m.GetSkinName());
  };
  // Without stored skins a name stays as given and no skin is applied.
  m.SetSkinName("Whatever");
  EXPECT_EQ(m.GetSkinName(), "Whatever");
  EXPECT_FALSE(m.HasSkin());
  EXPECT_EQ(m.GetSkinInfo(), "N/A");
  m.InternalSkins()->Add()->Name = "Dusk (internal)";
  TsStoredSkin* light = m.InternalSkins()->Add();
  light->Name = "Linden (internal)";
  light->Version = 7.63;
  seen.clear();
  m.SetSkinName("Linden (internal).TEZ");   // the packed-file extension is dropped
  m.SetSkinName("linden (internal)");       // names are exact: back to the first skin
  m.SetSkinName("Linden (internal)");
  EXPECT_EQ(seen, (std::vector<std::string>{"Linden (internal)", "Dusk (internal)",
                                            "Linden (internal)"}));
  EXPECT_EQ(m.GetSkinInfo(), "7.63");
  // An inactive manager only keeps the name.
  m.SetActive(false);
  const int before = changes;
  m.SetSkinName("Foo");
  EXPECT_EQ(m.GetSkinName(), "Foo");
  EXPECT_EQ(changes, before);
  EXPECT_FALSE(m.HasSkin());
}

TEST(ComboBoxStandIn, TheBoundLabelSitsLeftOfTheBoxAndFollowsIt) {
  TForm form(nullptr);
  auto* cb = new TsComboBox(&form);
  cb->SetName("cbPort");
  cb->SetParent(&form);
  cb->SetBounds(128, 64, 121, 21);
  cb->BoundLabel()->SetCaption("Port name:");
  cb->BoundLabel()->SetActive(true);
  TsEditLabel* l = cb->BoundLabel()->Label();
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Caption(), "Port name:");
  EXPECT_EQ(l->Parent(), &form);
  EXPECT_EQ(l->FocusControl(), cb);
  EXPECT_EQ(l->Alignment(), taRightJustify);
  EXPECT_GT(l->Width(), 0);
  EXPECT_EQ(l->Left() + l->Width() + 4, 128);
  EXPECT_EQ(l->Top(), 64 + (21 - l->Height()) / 2);
  cb->SetBounds(200, 100, 121, 21);
  EXPECT_EQ(l->Left() + l->Width() + 4, 200);
  cb->BoundLabel()->SetLayout(sclTopLeft);
  EXPECT_EQ(l->Left(), 200);
  EXPECT_EQ(l->Top() + l->Height(), 100);
  // Its font is the label's own while it exists.
  cb->BoundLabel()->GetFont()->SetColor(clGray);
  EXPECT_EQ(l->Font()->GetColor(), clGray);
  cb->SetVisible(false);
  EXPECT_FALSE(l->Visible());
  cb->BoundLabel()->SetActive(false);
  EXPECT_EQ(cb->BoundLabel()->Label(), nullptr);
  EXPECT_EQ(cb->BoundLabel()->GetFont()->GetColor(), clGray);
}

}  // namespace
