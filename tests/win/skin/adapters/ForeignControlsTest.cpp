// The grid adapters under Wine on fake grids that publish what foreign grids publish: the
// fixed colour and nested colour objects set from the skin and given back, a grid without any
// of them skinned by frame and bars only, the data-aware grid's scroll info and the extra
// thumb position of "TwwDBGrid", and the enhanced grid's three-dimensional fixed cells by
// system version; the virtual tree's colours, header options and header-draw handlers set and
// given back, and a handler the application set while skinned kept.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/base/TypInfo.h"
#include "skin/adapters/lxGridWnd.h"
#include "skin/adapters/lxScrollWnd.h"
#include "skin/adapters/lxVirtualTreeWnd.h"
#include "skin/core/sSkinData.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "tests/win/skin/adapters/AdapterTestSupport.h"

// A grid's nested colours ("ControlLook", "LineColors").
class TTestGridColors : public TPersistent {
  ORBEX_CLASS(TTestGridColors, TPersistent)
public:
  TColor SelectionColor = 1, FixedColor = 2;
};
ORBEX_IMPLEMENT_PUBLISHED(TTestGridColors, TPersistent, nullptr)
void TTestGridColors::PublishProperties(TPublisher<TTestGridColors>& P) {
  P.Color("SelectionColor", &TTestGridColors::SelectionColor, &TTestGridColors::SelectionColor);
  P.Color("FixedColor", &TTestGridColors::FixedColor, &TTestGridColors::FixedColor);
}

// The grids: every one records the vertical scroll codes and positions it is sent.
class TTestGridBase : public TCustomControl {
  ORBEX_CLASS(TTestGridBase, TCustomControl)
public:
  using TCustomControl::TCustomControl;
  std::vector<std::pair<int, int>> Scrolls;   // code, scroll position while handled

protected:
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.Style |= WS_VSCROLL;
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_VSCROLL) Scrolls.emplace_back(LOWORD(m.WParam), GetScrollPos(Handle(), SB_VERT));
    TCustomControl::WndProc(m);
  }
};
ORBEX_IMPLEMENT_CLASS(TTestGridBase, TCustomControl, nullptr)

class TwwDBGrid : public TTestGridBase {
  ORBEX_CLASS(TwwDBGrid, TTestGridBase)
public:
  using TTestGridBase::TTestGridBase;
  TComponent* DataSource = nullptr;
  TColor FixedColor = 3;
};
ORBEX_IMPLEMENT_PUBLISHED(TwwDBGrid, TTestGridBase, nullptr)
void TwwDBGrid::PublishProperties(TPublisher<TwwDBGrid>& P) {
  P.Component("DataSource", &TwwDBGrid::DataSource, &TwwDBGrid::DataSource);
  P.Color("FixedColor", &TwwDBGrid::FixedColor, &TwwDBGrid::FixedColor);
}

class TTestLookGrid : public TTestGridBase {
  ORBEX_CLASS(TTestLookGrid, TTestGridBase)
public:
  using TTestGridBase::TTestGridBase;
  TTestGridColors* ControlLook() { return &FLook; }
  TTestGridColors* LineColors() { return &FLines; }
  TColor FixedColor = 4;

private:
  TTestGridColors FLook, FLines;
};
ORBEX_IMPLEMENT_PUBLISHED(TTestLookGrid, TTestGridBase, nullptr)
void TTestLookGrid::PublishProperties(TPublisher<TTestLookGrid>& P) {
  P.Color("FixedColor", &TTestLookGrid::FixedColor, &TTestLookGrid::FixedColor);
  P.Object("ControlLook", &TTestLookGrid::ControlLook);
  P.Object("LineColors", &TTestLookGrid::LineColors);
}

class TTestGridEh : public TTestGridBase {
  ORBEX_CLASS(TTestGridEh, TTestGridBase)
public:
  using TTestGridBase::TTestGridBase;
  std::int64_t OptionsEh = 1;   // dghFixed3D
};
ORBEX_IMPLEMENT_PUBLISHED(TTestGridEh, TTestGridBase, nullptr)
void TTestGridEh::PublishProperties(TPublisher<TTestGridEh>& P) {
  P.Set("OptionsEh", &TTestGridEh::OptionsEh, &TTestGridEh::OptionsEh, {"dghFixed3D", "dghHighlightFocus"});
}

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
    testing::AddGlobalTestEnvironment(new TAdapterTestEnvironment("foreign control adapter test", true));

class Grids : public ::testing::Test {
public:
  void SetUp() override {
    LoadFixtureSkin(M, ORBEX_LIST_ADAPTER_SKINS, "Lists");
    ASSERT_TRUE(M->SkinData().Active);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 40, 300, 240);
    Form->Show();
  }
  void TearDown() override {
    Data.reset();
    Form.reset();
    M.reset();
  }
  template <class G>
  G* NewGrid() {
    auto* g = new G(Form.get());
    g->SetParent(Form.get());
    g->SetBounds(10, 10, 200, 150);
    Data = std::make_unique<TsCommonData>(g, 0);
    Data->SetSkinManager(M.get());
    SetScrollRange(g->Handle(), SB_VERT, 0, 100, FALSE);
    return g;
  }
  template <class A>
  std::unique_ptr<A> Adapt(TWinControl* g) {
    auto a = TlxMainWnd::CreateForHandle<A>(g->Handle(), true, "EDIT", M.get(), Data.get());
    SendSkinCommand(g->Handle(), SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(M.get()));
    return a;
  }
  TColor Global() const { return GlobalInfoColor(M->Tables(), 0); }

  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
  std::unique_ptr<TsCommonData> Data;
};

TEST_F(Grids, PublishedColoursFollowTheSkinAndGoBack) {
  auto* g = NewGrid<TTestLookGrid>();
  auto a = Adapt<TlxGridWnd>(g);
  EXPECT_EQ(g->FixedColor, Global());
  EXPECT_EQ(g->LineColors()->FixedColor, M->Tables()->SkinData.BorderColor);
  EXPECT_NE(g->ControlLook()->SelectionColor, 1);
  a.reset();
  EXPECT_EQ(g->FixedColor, 4);
  EXPECT_EQ(g->LineColors()->FixedColor, 2);
  EXPECT_EQ(g->ControlLook()->SelectionColor, 1);
}

TEST_F(Grids, AGridWithoutThePropertiesIsSkinnedByFrameAndBarsOnly) {
  auto* g = NewGrid<TTestGridBase>();
  auto a = Adapt<TlxGridWnd>(g);
  EXPECT_EQ(SendSkinCommand(g->Handle(), SkinCmdIsSkinned), 1);
  EXPECT_NE(GetAdapterScrollBar(g->Handle(), SB_VERT), nullptr);
}

TEST_F(Grids, ADataAwareGridReadsTheThumbFromItsScrollInfoAndTwwDBGridGetsTheEndPosition) {
  auto* g = NewGrid<TwwDBGrid>();
  g->DataSource = Form.get();
  auto a = Adapt<TlxGridWnd>(g);
  SendScrollCommand(g->Handle(), WM_VSCROLL, SB_THUMBPOSITION, 40);
  SendScrollCommand(g->Handle(), WM_VSCROLL, SB_ENDSCROLL, 0);
  const std::vector<std::pair<int, int>> expected = {{SB_THUMBPOSITION, 40}, {SB_ENDSCROLL, 40}, {SB_THUMBPOSITION, 40}};
  EXPECT_EQ(g->Scrolls, expected);
}

TEST_F(Grids, TheEnhancedGridLosesItsRaisedFixedCellsOnlyBeforeWindows6WithThemes) {
  const TlxGridEhSeams saved = GridEhSeams();
  struct Case {
    int Major;
    bool Themes, Raised;
  } cases[] = {{5, true, false}, {5, false, true}, {6, true, true}};
  for (const Case& c : cases) {
    GridEhSeams().WindowsMajor = [&] { return c.Major; };
    GridEhSeams().ThemesOn = [&] { return c.Themes; };
    auto* g = NewGrid<TTestGridEh>();
    auto a = Adapt<TlxGridEhWnd>(g);
    EXPECT_EQ((g->OptionsEh & 1) != 0, c.Raised) << c.Major << c.Themes;
    a.reset();
    EXPECT_EQ(g->OptionsEh, 1) << c.Major << c.Themes;
  }
  GridEhSeams() = saved;
}

constexpr COLORREF EditText = RGB(230, 230, 120);

class VirtualTree : public Grids {
public:
  void SetUp() override {
    Grids::SetUp();
    Tree = NewGrid<TTestVirtualTree>();
    Tree->OnHeaderDrawQueryElements = [](TObject*, TlxHeaderPaintInfo&, std::uint32_t& e) { e = 1; };
  }
  std::unique_ptr<TlxVirtualTreeViewWnd> Adapt() { return Grids::Adapt<TlxVirtualTreeViewWnd>(Tree); }
  std::uint32_t QueriedElements() {
    TlxHeaderPaintInfo info;
    std::uint32_t elements = 0;
    if (Tree->OnHeaderDrawQueryElements) Tree->OnHeaderDrawQueryElements(Tree, info, elements);
    return elements;
  }

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
