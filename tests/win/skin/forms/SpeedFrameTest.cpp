// Speed buttons, foreign combos and frames on a skinned test form under Wine: the speed-button
// handler's faces, caption, glyph and small mark, its commands and its place in the button's
// window method; a foreign combo class adapted and let go; the frame adapter on a stored test
// frame. The skins are written by tests/fixtures/skins/make_speed_skins.py.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "skin/adapters/lxComboWnd.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManagerCore.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sConstWin.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxCtrlAdapter.h"
#include "skin/forms/sFrameAdapter.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/win/OtherProgram.h"
#include "tests/win/skin/ScratchSkins.h"

// The stored test frame (TTestFrame.txt).
class TTestFrame : public TFrame {
  ORBEX_CLASS(TTestFrame, TFrame)
public:
  using TFrame::TFrame;
};
ORBEX_IMPLEMENT_PUBLISHED(TTestFrame, TFrame, &CreateComponentOf<TTestFrame>)
void TTestFrame::PublishProperties(TPublisher<TTestFrame>&) {}

// A foreign combo class, as other code brings one.
class TwwFakeCombo : public TComboBox {
  ORBEX_CLASS(TwwFakeCombo, TComboBox)
public:
  using TComboBox::TComboBox;
};
ORBEX_IMPLEMENT_PUBLISHED(TwwFakeCombo, TComboBox, &CreateComponentOf<TwwFakeCombo>)
void TwwFakeCombo::PublishProperties(TPublisher<TwwFakeCombo>&) {}

namespace {

// make_speed_skins.py's colours.
constexpr COLORREF Normal = RGB(200, 40, 40), Hot = RGB(40, 180, 40), Small = RGB(220, 200, 20),
                   Text = RGB(250, 250, 250), GlyphColour = RGB(0, 255, 128);

void InitOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  sMessagesInitialization();
  sConstInitialization();
  InitMenusUnit();
  InitExtCtrlsUnit();
  InitStdCtrlsUnit();
  InitButtonsUnit();
  InitFrameClasses();
  InitFrameAdapterUnit();
  RegisterClassOf<TTestFrame>();
  if (Application == nullptr) InitForms();
}

// A method put around a control's window method, counting what passes.
struct TCounter {
  void Wrap(TWndMethod& slot) {
    TWndMethod inner = slot;
    slot = [this, inner](TMessage& m) {
      ++All;
      if (m.Msg == WM_PAINT) ++Paints;
      if (m.Msg == WM_SKINCOMMAND && SkinCommandOf(m.WParam) == SkinCmdHoldPaint) ++Holds;
      inner(m);
    };
  }
  int All = 0, Paints = 0, Holds = 0;
};

class SpeedFrame : public ::testing::Test {
public:
  void SetUp() override {
    InitOnce();
    M = std::make_unique<TsSkinManager>(nullptr);
    M->ThirdParty()->WriteList(ThirdPartyList::tiEdits, "TEdit");
    M->ThirdParty()->WriteList(ThirdPartyList::tiWWEdits, "TwwFakeCombo");
    M->SetSkinDirectory(ORBEX_SPEED_SKINS);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 40, 400, 300);
    P = new TsSkinProvider(Form.get());
    Button = new TSpeedButton(Form.get());
    Button->SetParent(Form.get());
    Button->SetBounds(10, 10, 75, 25);
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  void Skin(const char* name = "Speed") {
    M->SetSkinName(name);
    M->SetActive(true);
    Form->Show();
    SendSkinCommandToControl(Form.get(), SkinCmdRedrawSkin, reinterpret_cast<LPARAM>(M.get()));
  }
  TlxGraphItem* Adapt(TControl* c) {
    P->CtrlAdapter()->AddGraphicControl(c);
    return P->CtrlAdapter()->GetGraphicItem(P->CtrlAdapter()->GraphicCount() - 1);
  }
  void Unskin(TControl* c) { SendSkinCommandToControl(c, SkinCmdUnskin, reinterpret_cast<LPARAM>(M.get())); }
  // The control painted into a bitmap of its size through its window method.
  static COLORREF PaintedPixel(TControl* c, int x, int y, std::function<bool(COLORREF)> any = nullptr) {
    TBitmap bmp;
    bmp.SetPixelFormat(TPixelFormat::pf32bit);
    bmp.SetSize(c->Width(), c->Height());
    HDC dc = bmp.Canvas()->GetHandle();
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    if (any)
      for (int yy = 0; yy < c->Height(); ++yy)
        for (int xx = 0; xx < c->Width(); ++xx)
          if (any(::GetPixel(dc, xx, yy))) return ::GetPixel(dc, xx, yy);
    return ::GetPixel(dc, x, y);
  }
  TTestFrame* NewFrame() {
    auto* frame = NewComponent<TTestFrame>(Form.get());
    frame->SetParent(Form.get());
    frame->SetBounds(100, 100, 200, 120);
    return frame;
  }
  static TsFrameAdapter* AdapterOf(TFrame* f) { return As<TsFrameAdapter>(f->FindComponent("FrameAdapter")); }

  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
  TsSkinProvider* P = nullptr;
  TSpeedButton* Button = nullptr;
  // Counters around window methods outlive the form (TearDown frees it).
  TCounter Below, Later, PanelHolds, SpeedHolds;
};

// ---------------------------------------------------------------------------------------------
// Speed buttons.

TEST_F(SpeedFrame, SpeedButtonFaceGlyphCaptionAndSmallMark) {
  const struct {
    const char* Case;
    bool SmallMark, Glyph;
    const char* Section;
    TPoint At;
    COLORREF Expected;
  } cases[] = {
      {"face", false, false, "SPEEDBUTTON", {3, 3}, Normal},
      {"small", true, false, "SPEEDBUTTON_SMALL", {3, 3}, Small},
      {"glyph in the middle", false, true, "SPEEDBUTTON", {37, 12}, GlyphColour},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    TearDown();
    SetUp();
    Button->SetSmallButton(c.SmallMark);
    if (c.Glyph) {
      TBitmap glyph;
      glyph.SetSize(16, 16);
      glyph.Canvas()->Brush()->SetColor(static_cast<TColor>(GlyphColour));
      glyph.Canvas()->FillRect(TRect{0, 0, 16, 16});
      ::SetPixel(glyph.Canvas()->GetHandle(), 0, 15, RGB(255, 0, 255));   // the see-through key
      Button->SetGlyph(&glyph);
    }
    Skin();
    TlxGraphItem* item = Adapt(Button);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->SkinData->GetSkinSection(), c.Section);
    EXPECT_EQ(PaintedPixel(Button, c.At.X, c.At.Y), c.Expected);
  }
  // The caption in the section's text colour; a caption wider than the 255 pixels it is
  // measured in wraps onto more lines.
  Button->SetCaption("Go");
  EXPECT_EQ(PaintedPixel(Button, 0, 0, [](COLORREF p) { return p == Text; }), Text);
  const int line = P->CtrlAdapter()->GetGraphicItem(0)->Handler->CaptionRect().Height();
  ASSERT_GT(line, 0);
  Button->SetCaption("Channel one trigger level and the time base of the sweep are kept");
  PaintedPixel(Button, 0, 0);
  const TRect wrapped = P->CtrlAdapter()->GetGraphicItem(0)->Handler->CaptionRect();
  EXPECT_LE(wrapped.Width(), 255);
  EXPECT_GE(wrapped.Height(), 2 * line);
}

TEST_F(SpeedFrame, SpeedButtonPressedAndHotOnEnter) {
  const struct {
    const char* Case;
    std::function<void(TSpeedButton*)> Make;
    int State;
    COLORREF Face;
  } cases[] = {
      {"up", [](TSpeedButton*) {}, 0, Normal},
      {"mouse entered", [](TSpeedButton* b) { b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b)); }, 1, Hot},
      {"down", [](TSpeedButton* b) { b->SetGroupIndex(1); b->SetDown(true); }, 2, Hot},
  };
  Skin();
  TlxGraphItem* item = Adapt(Button);
  ASSERT_NE(item, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    c.Make(Button);
    EXPECT_EQ(item->Handler->State(), c.State);
    EXPECT_EQ(PaintedPixel(Button, 3, 3), c.Face);
  }
}

TEST_F(SpeedFrame, SpeedButtonUnskinnedGivesItsWindowProcBackAtOnce) {
  Skin();
  TlxGraphItem* item = Adapt(Button);
  ASSERT_NE(item, nullptr);
  ASSERT_EQ(QuerySkinControl(Button, SkinCmdIsSkinned), 1);
  Unskin(Button);
  EXPECT_TRUE(item->Handler->Destroyed());
  EXPECT_EQ(QuerySkinControl(Button, SkinCmdIsSkinned), 0);
}

TEST_F(SpeedFrame, SpeedButtonPaintWithoutDCPaintsNothingAndIsNotPassedOn) {
  TCounter& below = Below;
  below.Wrap(Button->WindowProc);
  Skin();
  ASSERT_NE(Adapt(Button), nullptr);
  below.Paints = 0;   // the form's own showing painted it before
  Button->Perform(WM_PAINT, 0, 0);
  PaintedPixel(Button, 0, 0);
  EXPECT_EQ(below.Paints, 0);
}

// The handler and the frame adapter let go under a later hook of the same method: the later
// hook stays and messages still reach the method below both.
TEST_F(SpeedFrame, ALaterHookSurvivesTheHandlersLettingGo) {
  const struct {
    const char* Case;
    std::function<TControl*(SpeedFrame&)> Hook;
    std::function<void(SpeedFrame&, TControl*)> LetGo;
  } cases[] = {
      {"speed button", [](SpeedFrame& t) -> TControl* { t.Adapt(t.Button); return t.Button; },
       [](SpeedFrame& t, TControl* c) { t.Unskin(c); }},
      {"frame", [](SpeedFrame& t) -> TControl* { return t.NewFrame(); },
       [](SpeedFrame&, TControl* c) { delete AdapterOf(static_cast<TFrame*>(c)); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    TearDown();
    SetUp();
    Skin();
    TControl* control = c.Hook(*this);
    TCounter& later = Later;
    later.Wrap(control->WindowProc);
    c.LetGo(*this, control);
    const int before = later.All;
    EXPECT_EQ(QuerySkinControl(control, SkinCmdIsSkinned), 0);
    EXPECT_GT(later.All, before);
  }
}

// ---------------------------------------------------------------------------------------------
// The foreign combo.

TEST_F(SpeedFrame, AForeignComboClassIsAdaptedAndLeavesNothingHookedUnskinned) {
  auto* combo = new TwwFakeCombo(Form.get());
  combo->SetParent(Form.get());
  combo->SetBounds(10, 60, 150, 24);
  combo->HandleNeeded();
  const HWND edit = ::FindWindowExA(combo->Handle(), nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  const LONG_PTR editProc = ::GetWindowLongPtrA(edit, GWLP_WNDPROC);
  Skin();
  TlxAdapterItem* item = P->CtrlAdapter()->GetItem(0);
  ASSERT_NE(item, nullptr);
  auto* adapter = dynamic_cast<TlxWWComboBoxWnd*>(item->ScrollAdapter.get());
  ASSERT_NE(adapter, nullptr);
  EXPECT_TRUE(adapter->HasButton());
  EXPECT_EQ(adapter->EditHandle(), edit);
  EXPECT_NE(GetWndAdapter(edit), nullptr);
  M->SetActive(false);
  EXPECT_EQ(QuerySkinControl(combo, SkinCmdIsSkinned), 0);
  EXPECT_EQ(GetWndAdapter(edit), nullptr);
  EXPECT_EQ(::GetWindowLongPtrA(edit, GWLP_WNDPROC), editProc);
}

// ---------------------------------------------------------------------------------------------
// The frame adapter.

TEST_F(SpeedFrame, AFrameAdapterOnAFormIsRefusedLeavingNothing) {
  const int before = Form->ComponentCount();
  try {
    NewComponent<TsFrameAdapter>(Form.get());
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "TsFrameAdapter adapter must be placed on the handled frame");
  }
  EXPECT_EQ(Form->ComponentCount(), before);
}

TEST_F(SpeedFrame, AStoredFrameIsSkinnedByItsAdapter) {
  TTestFrame* frame = NewFrame();
  TsFrameAdapter* a = AdapterOf(frame);
  ASSERT_NE(a, nullptr);
  // A second frame of the class beside it reads the same design under a name of its own.
  EXPECT_NE(AdapterOf(NewFrame()), nullptr);
  TCounter &panel = PanelHolds, &speed = SpeedHolds;
  panel.Wrap(As<TControl>(frame->FindComponent("Panel"))->WindowProc);
  speed.Wrap(As<TControl>(frame->FindComponent("Speed"))->WindowProc);
  Skin();
  EXPECT_EQ(a->SkinData()->GetSkinSection(), "GROUPBOX");
  EXPECT_EQ(QuerySkinControl(frame, SkinCmdIsSkinned), 1);
  std::int32_t index = -7;
  SendSkinCommand(frame->Handle(), SkinCmdQuerySectionIndex, reinterpret_cast<LPARAM>(&index));
  EXPECT_GE(index, 0);
  EXPECT_EQ(index, a->SkinData()->SectionIndex());
  SendSkinCommandArg(frame->Handle(), SkinCmdHoldPaint, 1);
  EXPECT_EQ(panel.Holds, 1);
  EXPECT_EQ(speed.Holds, 1);
  SendSkinCommandArg(frame->Handle(), SkinCmdHoldPaint, 0);
  EXPECT_TRUE(As<TPopupMenu>(frame->FindComponent("Popup"))->OwnerDraw());
  // A control made in the frame later is adopted by the form's adapter.
  auto* edit = new TEdit(frame);
  edit->SetParent(frame);
  edit->SetBounds(10, 60, 80, 24);
  edit->HandleNeeded();
  EXPECT_EQ(QuerySkinControl(edit, SkinCmdIsSkinned), 1);
}

TEST_F(SpeedFrame, AFrameHalfOutsideItsParentRebuildsItsCacheAtEveryPaint) {
  const struct {
    const char* Case;
    int Left, ExtraBuilds;
  } cases[] = {{"inside", 100, 0}, {"half outside", 300, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    TearDown();
    SetUp();
    TTestFrame* frame = NewFrame();
    frame->SetLeft(c.Left);
    Skin("SpeedClearMask");
    TsFrameAdapter* a = AdapterOf(frame);
    TBitmap bmp;
    bmp.SetSize(frame->Width(), frame->Height());
    a->PaintBackground(bmp.Canvas()->GetHandle());
    const int builds = a->CacheBuilds();
    a->PaintBackground(bmp.Canvas()->GetHandle());
    EXPECT_EQ(a->CacheBuilds() - builds, c.ExtraBuilds);
  }
}

TEST_F(SpeedFrame, AnUnskinnedFramePaintsItsOwnColour) {
  TTestFrame* frame = NewFrame();
  Skin();
  M->SetActive(false);
  TBitmap bmp;
  bmp.SetSize(frame->Width(), frame->Height());
  frame->PaintTo(bmp.Canvas()->GetHandle(), 0, 0);
  EXPECT_EQ(::GetPixel(bmp.Canvas()->GetHandle(), 195, 115), RGB(255, 0, 0));
}

// The stored skins have the speed-button and frame sections: a form with speed buttons (plain,
// small, down) and the stored frame is skinned in each. With ORBEX_SHOWCASE_HOLD set (seconds)
// the form stays on screen that long per skin, so that it can be photographed.
TEST_F(SpeedFrame, StoredSkinsSkinSpeedButtonsAndFrames) {
  const char* hold = std::getenv("ORBEX_SHOWCASE_HOLD");
  for (const char* skin : {"Linden", "Dusk"}) {
    SCOPED_TRACE(skin);
    TearDown();
    SetUp();
    M->SetSkinDirectory(ORBEX_STORED_SKINS);
    M->ThirdParty()->WriteList(ThirdPartyList::tiPanels, "TPanel");
    Form->SetCaption(std::string("Speed buttons - ") + skin);
    Button->SetCaption("Run");
    auto* small = new TSpeedButton(Form.get());
    small->SetParent(Form.get());
    small->SetBounds(90, 10, 25, 25);
    small->SetCaption("S");
    small->SetSmallButton(true);
    auto* down = new TSpeedButton(Form.get());
    down->SetParent(Form.get());
    down->SetBounds(120, 10, 75, 25);
    down->SetCaption("Hold");
    down->SetGroupIndex(1);
    down->SetDown(true);
    TTestFrame* frame = NewFrame();
    frame->SetBounds(10, 50, 360, 180);
    Skin(skin);
    auto* inFrame = As<TControl>(frame->FindComponent("Speed"));
    for (TControl* c : {static_cast<TControl*>(Button), static_cast<TControl*>(small), static_cast<TControl*>(down), inFrame}) {
      TlxGraphItem* item = Adapt(c);
      ASSERT_NE(item, nullptr);
      EXPECT_GE(item->SkinData->SectionIndex(), 0) << item->SkinData->GetSkinSection();
    }
    EXPECT_GE(AdapterOf(frame)->SkinData()->SectionIndex(), 0);
    ::RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (hold != nullptr) {
      const DWORD end = ::GetTickCount() + static_cast<DWORD>(std::atoi(hold)) * 1000;
      while (::GetTickCount() < end) {
        Application->ProcessMessages();
        ::Sleep(20);
      }
    }
  }
}

// The real end of a program (speed_exit_app, beside this test): with three speed buttons
// adapted when its loop ends, freeing its forms frees each handler, and it exits 0.
TEST(SpeedExit, AProgramEndingWithSpeedButtonsSkinnedFreesEachHandler) {
  const std::string report = formtest::ScratchPath("speed-exit", ".txt");
  ASSERT_EQ(othertest::RunProgramBeside("speed_exit_app.exe", "\"" + report + "\""), 0);
  std::ifstream in(report);
  std::string key;
  int alive = -1, left = -1;
  for (int value = 0; in >> key >> value;) (key == "alive" ? alive : left) = value;
  in.close();
  DeleteFileA(report.c_str());
  EXPECT_EQ(alive, 3);
  EXPECT_EQ(left, 0);
}

}  // namespace
