// The stand-in skinned classes where they do more than store values: the combo box's bound
// label beside the box.
#include <gtest/gtest.h>

#include "skin/controls/sComboBox.h"
#include "tests/win/app/mainform/AppTestUtil.h"

namespace {

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
