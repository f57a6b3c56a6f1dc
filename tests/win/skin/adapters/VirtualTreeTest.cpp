// The virtual tree adapter under Wine on a fake control publishing what a foreign virtual tree
// publishes: its colours and header options set from the skin and given back, the header-draw
// handlers installed (the skinned elements 27) and given back, and a handler the application
// set while skinned kept.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/base/TypInfo.h"
#include "skin/adapters/lxVirtualTreeWnd.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "tests/win/skin/adapters/AdapterTestSupport.h"

class TTestVETColors : public TPersistent {
  ORBEX_CLASS(TTestVETColors, TPersistent)
public:
  TColor Compressed = 1, File = 2, Folder = 3;
};
ORBEX_IMPLEMENT_PUBLISHED(TTestVETColors, TPersistent, nullptr)
void TTestVETColors::PublishProperties(TPublisher<TTestVETColors>& P) {
  P.Color("CompressedTextColor", &TTestVETColors::Compressed, &TTestVETColors::Compressed);
  P.Color("FileTextColor", &TTestVETColors::File, &TTestVETColors::File);
  P.Color("FolderTextColor", &TTestVETColors::Folder, &TTestVETColors::Folder);
}

class TTestVTHeader : public TPersistent {
  ORBEX_CLASS(TTestVTHeader, TPersistent)
public:
  std::int64_t Options = 1;   // hoVisible
};
ORBEX_IMPLEMENT_PUBLISHED(TTestVTHeader, TPersistent, nullptr)
void TTestVTHeader::PublishProperties(TPublisher<TTestVTHeader>& P) {
  P.Set("Options", &TTestVTHeader::Options, &TTestVTHeader::Options, {"hoVisible", "hoOwnerDraw"});
}

class TTestInfoColumn : public TPersistent {
  ORBEX_CLASS(TTestInfoColumn, TPersistent)
public:
  TColor Color = 5;
  int Style = 0;
};
ORBEX_IMPLEMENT_PUBLISHED(TTestInfoColumn, TPersistent, nullptr)
void TTestInfoColumn::PublishProperties(TPublisher<TTestInfoColumn>& P) {
  P.Color("Color", &TTestInfoColumn::Color, &TTestInfoColumn::Color);
  P.Integer("Style", &TTestInfoColumn::Style, &TTestInfoColumn::Style);
}

class TTestVirtualTree : public TCustomControl {
  ORBEX_CLASS(TTestVirtualTree, TCustomControl)
public:
  using TCustomControl::TCustomControl;
  TTestVETColors* VETColors() { return &FColors; }
  TTestVTHeader* Header() { return &FHeader; }
  TTestInfoColumn* PaintInfoColumn() { return &FInfo; }
  bool Themed = true;
  TlxAdvancedHeaderDrawEvent OnAdvancedHeaderDraw;
  TlxHeaderDrawQueryElementsEvent OnHeaderDrawQueryElements;

private:
  TTestVETColors FColors;
  TTestVTHeader FHeader;
  TTestInfoColumn FInfo;
};
ORBEX_IMPLEMENT_PUBLISHED(TTestVirtualTree, TCustomControl, nullptr)
void TTestVirtualTree::PublishProperties(TPublisher<TTestVirtualTree>& P) {
  P.Object("VETColors", &TTestVirtualTree::VETColors);
  P.Object("Header", &TTestVirtualTree::Header);
  P.Object("PaintInfoColumn", &TTestVirtualTree::PaintInfoColumn);
  P.Boolean("Themed", &TTestVirtualTree::Themed, &TTestVirtualTree::Themed);
  P.Event("OnAdvancedHeaderDraw", &TTestVirtualTree::OnAdvancedHeaderDraw);
  P.Event("OnHeaderDrawQueryElements", &TTestVirtualTree::OnHeaderDrawQueryElements);
}

namespace {

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TAdapterTestEnvironment("virtual tree adapter test", true));

constexpr COLORREF EditText = RGB(230, 230, 120);

class VirtualTree : public ::testing::Test {
public:
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_LIST_ADAPTER_SKINS);
    M->SetSkinName("Lists");
    ASSERT_TRUE(M->SkinData().Active);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 40, 300, 240);
    Form->Show();
    Tree = new TTestVirtualTree(Form.get());
    Tree->SetParent(Form.get());
    Tree->SetBounds(10, 10, 200, 150);
    Tree->OnHeaderDrawQueryElements = [](TObject*, TlxHeaderPaintInfo&, std::uint32_t& e) { e = 1; };
    Data = std::make_unique<TsCommonData>(Tree, 0);
    Data->SetSkinManager(M.get());
  }
  void TearDown() override {
    Data.reset();
    Form.reset();
    M.reset();
  }
  std::unique_ptr<TlxVirtualTreeViewWnd> Adapt() {
    auto a = TlxMainWnd::CreateForHandle<TlxVirtualTreeViewWnd>(Tree->Handle(), true, "EDIT", M.get(), Data.get());
    SendSkinCommand(Tree->Handle(), SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(M.get()));
    return a;
  }
  std::uint32_t QueriedElements() {
    TlxHeaderPaintInfo info;
    std::uint32_t elements = 0;
    if (Tree->OnHeaderDrawQueryElements) Tree->OnHeaderDrawQueryElements(Tree, info, elements);
    return elements;
  }

  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
  std::unique_ptr<TsCommonData> Data;
  TTestVirtualTree* Tree = nullptr;
};

TEST_F(VirtualTree, ColoursHeaderOptionsAndHandlersFromTheSkinAndBack) {
  auto a = Adapt();
  EXPECT_EQ(Tree->VETColors()->File, EditText);
  EXPECT_EQ(Tree->VETColors()->Folder, EditText);
  EXPECT_EQ(Tree->Header()->Options, 3);
  EXPECT_EQ(Tree->PaintInfoColumn()->Color, GlobalInfoColor(M->Tables(), 0));
  EXPECT_EQ(Tree->PaintInfoColumn()->Style, 1);
  EXPECT_FALSE(Tree->Themed);
  EXPECT_EQ(QueriedElements(), lxSkinnedHeaderElements);
  EXPECT_TRUE(static_cast<bool>(Tree->OnAdvancedHeaderDraw));
  a.reset();
  EXPECT_EQ(Tree->VETColors()->Compressed, 1);
  EXPECT_EQ(Tree->VETColors()->File, 2);
  EXPECT_EQ(Tree->Header()->Options, 1);
  EXPECT_TRUE(Tree->Themed);
  EXPECT_EQ(QueriedElements(), 1u);
  EXPECT_FALSE(static_cast<bool>(Tree->OnAdvancedHeaderDraw));
}

TEST_F(VirtualTree, AnApplicationHandlerSetWhileSkinnedSurvives) {
  auto a = Adapt();
  Tree->OnHeaderDrawQueryElements = [](TObject*, TlxHeaderPaintInfo&, std::uint32_t& e) { e = 9; };
  a.reset();
  EXPECT_EQ(QueriedElements(), 9u);
  EXPECT_FALSE(static_cast<bool>(Tree->OnAdvancedHeaderDraw));
}

}   // namespace
