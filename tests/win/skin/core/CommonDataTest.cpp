// The skin state of a control in process: the section and manager setters, nested paint
// locks, manager-bound skin commands, the colour query of see-through sections, background
// answers for each transparency and a see-through control asking through a plain parent.
// The skin is a small folder written to a scratch directory.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "framework/win/Messages.h"
#include "skin/core/win/sBackgroundRequest.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "tests/win/skin/ScratchSkins.h"

namespace {

// A control holding skin state as the skinned controls do, recording the skin commands it gets.
class TSkinned : public TWinControl {
public:
  TSkinned(TWinControl* parent, int kind, const TRect& r) : TWinControl(nullptr), Data(this, kind) {
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    SetParent(parent);
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SKINCOMMAND) Seen.push_back(SkinCommandOf(m.WParam));
    if (HandleContainerMessage(m, &Data, this)) return;
    if (m.Msg == WM_UPDATEUISTATE) ++CuesPassed;
    TWinControl::WndProc(m);
  }
  TsCommonData Data;
  std::vector<std::uint16_t> Seen;
  int CuesPassed = 0;
};

// A parent that is plain (command 36 answers 1) and answers background requests with its
// bitmap, counting them.
class TBitmapParent : public TWinControl {
public:
  explicit TBitmapParent(TWinControl* parent) : TWinControl(nullptr) {
    SetBounds(0, 0, 300, 200);
    SetParent(parent);
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SKINCOMMAND && SkinCommandAllowed(m.WParam, m.LParam)) {
      switch (SkinCommandOf(m.WParam)) {
        case SkinCmdIsSkinned: m.Result = 1; return;
        case SkinCmdTransparencyState: m.Result = csPlainOwner; return;
        case SkinCmdQueryBackground: {
          ++Asked;
          auto* r = reinterpret_cast<TsBackgroundRequest*>(m.LParam);
          r->Kind = bkBitmap;
          r->Bitmap = &Image;
          m.Result = 1;
          return;
        }
        default: break;
      }
    }
    TWinControl::WndProc(m);
  }
  TBitmap Image;
  int Asked = 0;
};

constexpr const char* Options =
    "[GLOBALINFO]\r\nVERSION=7.2\r\nSTATES=1\r\nCOLOR=12632256\r\n"
    "[PANEL]\r\nSTATES=1\r\nCOLOR=1193046\r\n"
    "[BLACK]\r\nSTATES=1\r\nCOLOR=0\r\n"
    "[HALF]\r\nSTATES=1\r\nCOLOR=0\r\nTRANSPARENCY=50\r\n"
    "[SEE]\r\nSTATES=1\r\nCOLOR=255\r\nTRANSPARENCY=100\r\n"
    "[GLOWING]\r\nSTATES=1\r\nCOLOR=0\r\nGLOW=4\r\nGLOWMARGIN=2\r\n"
    "[GRAD]\r\nSTATES=1\r\nCOLOR=0\r\nGRADIENTPERCENT=100\r\nGRADIENTDATA=4210752;2105376;100;0;0\r\n";

class CommonData : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    Dir = formtest::ScratchPath("commondata");
    formtest::WriteSkinFolder(Dir, "Plain", Options);
  }
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    ASSERT_EQ(TsSkinManager::DefaultManager(), M.get());
    M->SetSkinDirectory(Dir);
    M->SetSkinName("Plain");
    ASSERT_TRUE(M->SkinData().Active);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 400, 300);
    Form->HandleNeeded();
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  static std::string Dir;
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
};
std::string CommonData::Dir;

LRESULT Ask(TControl* c, std::uint16_t command, LPARAM lparam = 0) {
  return SendSkinCommandToControl(c, command, lparam);
}

}  // namespace

TEST_F(CommonData, SectionSetterSendsOnlyOnChange) {
  TSkinned c(Form.get(), 51, TRect{0, 0, 50, 20});
  c.HandleNeeded();
  c.Seen.clear();
  c.Data.SetSkinSection("panel");
  EXPECT_EQ(c.Data.GetSkinSection(), "PANEL");
  EXPECT_EQ(c.Data.SectionIndex(), FindSectionIndex(M->Tables(), "PANEL"));
  EXPECT_EQ(c.Seen, (std::vector<std::uint16_t>{SkinCmdRedrawSkin}));
  c.Seen.clear();
  c.Data.SetSkinSection("PANEL");
  EXPECT_TRUE(c.Seen.empty());
  c.Data.SetSkinSection("");
  EXPECT_EQ(c.Data.GetSkinSection(), "UNKNOWN");
  EXPECT_EQ(c.Data.SectionIndex(), -1);
  EXPECT_EQ(c.Seen, (std::vector<std::uint16_t>{SkinCmdUnskin}));
  c.Seen.clear();
  c.Data.SetSkinSection("");
  EXPECT_TRUE(c.Seen.empty());
}

TEST_F(CommonData, DefaultManagerIsNotStored) {
  TSkinned c(Form.get(), 51, TRect{0, 0, 50, 20});
  TsSkinManager other(nullptr);
  c.Data.SetSkinManager(&other);
  EXPECT_EQ(c.Data.StoredSkinManager(), &other);
  EXPECT_EQ(c.Data.GetSkinManager(), &other);
  c.Data.SetSkinManager(M.get());
  EXPECT_EQ(c.Data.StoredSkinManager(), nullptr);
  EXPECT_EQ(c.Data.GetSkinManager(), M.get());
}

TEST_F(CommonData, NestedPaintLocksEndOnce) {
  TSkinned c(Form.get(), 51, TRect{0, 0, 50, 20});
  c.Seen.clear();
  c.Data.BeginPaintLock();
  c.Data.BeginPaintLock();
  EXPECT_EQ(c.Seen, (std::vector<std::uint16_t>{SkinCmdLockBegun, SkinCmdLockBegun}));
  c.Data.EndPaintLock(false);
  EXPECT_EQ(c.Data.HoldPaint, 1);   // the outer lock still holds
  EXPECT_NE(c.Data.CtrlState() & csPaintLockHeld, 0);
  EXPECT_EQ(c.Seen.size(), 2u);
  c.Data.EndPaintLock(false);
  EXPECT_EQ(c.Data.HoldPaint, 0);
  EXPECT_EQ(c.Data.CtrlState() & csPaintLockHeld, 0);
  EXPECT_EQ(c.Seen.back(), SkinCmdLockEnded);
  c.Data.EndPaintLock(false);       // no lock left: nothing, the depth stays 0
  EXPECT_EQ(c.Data.LockDepth(), 0);
  EXPECT_EQ(c.Seen.size(), 3u);
}

TEST_F(CommonData, OnlyTheOwnManagerLoadsAndUnskins) {
  TSkinned c(Form.get(), 51, TRect{0, 0, 50, 20});
  c.HandleNeeded();
  c.Data.SetSkinSection("PANEL");
  const int panel = c.Data.SectionIndex();
  ASSERT_GE(panel, 0);
  TsSkinManager other(nullptr);
  Ask(&c, SkinCmdUnskin, reinterpret_cast<LPARAM>(&other));
  EXPECT_EQ(c.Data.SectionIndex(), panel);
  EXPECT_EQ(Ask(&c, SkinCmdIsSkinned), 1);
  Ask(&c, SkinCmdUnskin, 0);   // nil stands for the default manager
  EXPECT_EQ(c.Data.SectionIndex(), -1);
  EXPECT_EQ(c.Data.HoldPaint, 1);
  Ask(&c, SkinCmdSkinLoaded, reinterpret_cast<LPARAM>(&other));
  EXPECT_EQ(c.Data.SectionIndex(), -1);
  Ask(&c, SkinCmdSkinLoaded, reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(c.Data.SectionIndex(), panel);
  // From another thread or process the manager's address is not taken.
  EXPECT_EQ(SendMessageA(c.Handle(), WM_SKINCOMMAND, MakeSkinWParam(SkinCmdUnskin), 0), 0);
  EXPECT_EQ(c.Data.SectionIndex(), panel);
}

TEST_F(CommonData, ColourQueryMixesByPerCent) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 200, 100);
  parent.SetParent(Form.get());
  parent.SetColor(0xFFFFFF);
  TSkinned c(&parent, 51, TRect{5, 5, 50, 20});
  c.HandleNeeded();
  TWinControl plain(nullptr);
  plain.SetParent(Form.get());
  plain.HandleNeeded();
  EXPECT_EQ(QuerySkinControl(&c, SkinCmdIsSkinned), 1);
  EXPECT_EQ(QuerySkinControl(&plain, SkinCmdIsSkinned), 0);
  c.Data.SetSkinSection("BLACK");
  EXPECT_EQ(Ask(&c, SkinCmdQueryColor, clFuchsia), 0x000000);
  c.Data.SetSkinSection("SEE");
  EXPECT_EQ(Ask(&c, SkinCmdQueryColor, clFuchsia), 0xFFFFFF);
  c.Data.SetSkinSection("HALF");
  EXPECT_EQ(Ask(&c, SkinCmdQueryColor, clFuchsia), 0x808080);
  EXPECT_EQ(c.Data.SectionColor(0, nullptr), 0x808080u);
}

TEST_F(CommonData, BackgroundAnswers) {
  TSkinned c(Form.get(), 93, TRect{10, 20, 40, 30});
  c.HandleNeeded();
  TsBackgroundRequest r;
  c.Data.SetSkinSection("PANEL");
  c.Data.ProvideBackground(r, 0, nullptr);
  EXPECT_EQ(r.Kind, bkColor);
  EXPECT_EQ(r.Color, 0x123456);

  c.Data.SetSkinSection("GRAD");
  r = TsBackgroundRequest{};
  c.Data.ProvideBackground(r, 0, nullptr);
  EXPECT_EQ(r.Kind, bkColor);   // nothing painted yet to give
  EXPECT_EQ(r.Color, clFuchsia);
  c.Data.EnsureCacheBitmap();
  r = TsBackgroundRequest{};
  r.OffsetX = 3;
  c.Data.ProvideBackground(r, 0, nullptr);
  EXPECT_EQ(r.Kind, bkBitmap);
  EXPECT_EQ(r.Bitmap, c.Data.CacheBitmap());
  EXPECT_EQ(r.OffsetX, 3);

  c.Data.SetSkinSection("HALF");
  r = TsBackgroundRequest{};
  c.Data.ProvideBackground(r, 0, nullptr);
  EXPECT_EQ(r.Kind, bkBitmap);
  c.Data.DropCache();
  r = TsBackgroundRequest{};
  c.Data.ProvideBackground(r, 0, nullptr);
  EXPECT_EQ(r.Kind, bkColor);
  EXPECT_EQ(r.Color, clFuchsia);
}

TEST_F(CommonData, SeeThroughAsksThroughAPlainParent) {
  TBitmapParent grand(Form.get());
  grand.HandleNeeded();
  TSkinned parent(&grand, 51, TRect{30, 40, 150, 100});
  TSkinned child(&parent, 51, TRect{7, 9, 40, 20});
  parent.HandleNeeded();
  child.HandleNeeded();
  parent.Data.SetSkinSection("SEE");
  child.Data.SetSkinSection("SEE");
  EXPECT_NE(parent.Data.CtrlState() & csPlainOwner, 0);   // nothing of its own under a plain parent
  TsBackgroundRequest r;
  child.Data.ProvideBackground(r, 0, nullptr);
  EXPECT_EQ(grand.Asked, 1);
  EXPECT_EQ(r.Kind, bkBitmap);
  EXPECT_EQ(r.Bitmap, &grand.Image);
  EXPECT_EQ(r.OffsetX, 7 + 30);
  EXPECT_EQ(r.OffsetY, 9 + 40);
  // Asked by command 34 the same way.
  TsBackgroundRequest q;
  EXPECT_EQ(RequestControlBackground(q, &child, false), 1);
  EXPECT_EQ(grand.Asked, 2);
  EXPECT_EQ(q.OffsetX, 37);
}

TEST_F(CommonData, ANewGlowHidesTheShownOneFirst) {
  struct TCall {
    bool Show;
    int Id;
  };
  std::vector<TCall> calls;
  int next = 0;
  TsSkinManagerLinks saved = SkinManagerLinks();
  SkinManagerLinks().ShowGlow = [&](const TRect&, const TRect& visible, const std::string& section,
                                    TsSkinManager*, HWND, int, int margin, const std::string& mask) {
    EXPECT_EQ(section, "GLOWING");
    EXPECT_EQ(mask, "GLOW");
    EXPECT_EQ(margin, 2);
    EXPECT_EQ(visible, (TRect{0, 0, 30, 10}));   // the whole control
    calls.push_back({true, next});
    return next++;
  };
  SkinManagerLinks().HideGlow = [&](int id) { calls.push_back({false, id}); };
  {
    TSkinned c(Form.get(), 3, TRect{10, 20, 40, 30});
    c.HandleNeeded();
    c.Data.SetSkinSection("GLOWING");
    // The glow links here are stand-ins: layered windows need not exist.
    TlxSkinEffects::LayeredWindows = true;
    ASSERT_TRUE(M->Effects()->GetAllowGlowing());
    c.Data.UpdateGlow(false, nullptr);   // the mouse is not above it: nothing to show
    EXPECT_TRUE(calls.empty());
    c.Data.MouseAbove = 1;
    c.Data.UpdateGlow(false, nullptr);
    c.Data.UpdateGlow(false, nullptr);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_TRUE(calls[0].Show);
    EXPECT_FALSE(calls[1].Show);   // the shown glow goes before the next is made
    EXPECT_EQ(calls[1].Id, 0);
    EXPECT_EQ(c.Data.GlowID(), 1);
    c.Data.UpdateGlow(true, nullptr);   // forced with a glow shown: hidden only
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[3].Id, 1);
    EXPECT_EQ(c.Data.GlowID(), -1);
    c.Data.UpdateGlow(false, nullptr);
  }
  // Freeing the control's skin state hides what it still shows.
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_FALSE(calls[5].Show);
  EXPECT_EQ(calls[5].Id, 2);
  SkinManagerLinks() = saved;
}

TEST_F(CommonData, CommonCommandTable) {
  TSkinned c(Form.get(), 51, TRect{0, 0, 50, 20});
  c.HandleNeeded();
  c.Data.SetSkinSection("PANEL");
  c.Data.HoldPaint = 0;
  c.Data.BGChanged = 0;
  EXPECT_EQ(Ask(&c, SkinCmdIsHeld), 0);
  SendSkinCommandArg(c.Handle(), SkinCmdHoldPaint, 1);
  EXPECT_EQ(Ask(&c, SkinCmdIsHeld), 1);
  SendSkinCommandArg(c.Handle(), SkinCmdHoldPaint, 2);   // anything but 1 clears
  EXPECT_EQ(c.Data.HoldPaint, 0);
  SendSkinCommandArg(c.Handle(), SkinCmdPaintAtOnce, 1);
  EXPECT_EQ(c.Data.UrgentPainting, 1);
  Ask(&c, SkinCmdBackgroundDirty);
  EXPECT_EQ(c.Data.BGChanged, 1);
  c.Data.PartlyHidden = 0;
  EXPECT_EQ(Ask(&c, SkinCmdIsPartlyHidden), 0);
  Ask(&c, SkinCmdMarkPartlyHidden);
  EXPECT_EQ(Ask(&c, SkinCmdIsPartlyHidden), 1);

  TlxSectionInfo info;
  EXPECT_EQ(Ask(&c, SkinCmdQuerySectionIndex, reinterpret_cast<LPARAM>(&info)), 1);
  EXPECT_EQ(info.SectionIndex, c.Data.SectionIndex());
  info.SectionName = "black";
  Ask(&c, SkinCmdTakeSection, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(c.Data.GetSkinSection(), "BLACK");
  EXPECT_EQ(Ask(&c, SkinCmdQueryCommonData), reinterpret_cast<LRESULT>(&c.Data));
  EXPECT_EQ(Ask(&c, SkinCmdTransparencyState), c.Data.CtrlState());

  HDC dc = GetDC(nullptr);
  EXPECT_EQ(Ask(&c, SkinCmdPrintMode, reinterpret_cast<LPARAM>(dc)), 1);
  EXPECT_EQ(c.Data.PrintDC(), dc);
  EXPECT_NE(Ask(&c, SkinCmdTransparencyState) & csPrintingToDC, 0);
  Ask(&c, SkinCmdPrintMode, 0);
  EXPECT_EQ(Ask(&c, SkinCmdTransparencyState) & csPrintingToDC, 0);
  ReleaseDC(nullptr, dc);

  c.Data.EnsureCacheBitmap();
  EXPECT_EQ(c.Data.CacheBitmap()->GetWidth(), 50);
  c.Data.HoldPaint = 0;
  Ask(&c, SkinCmdDropCache);
  EXPECT_TRUE(c.Data.CacheBitmap()->Empty());
  EXPECT_EQ(c.Data.HoldPaint, 1);
  // A skinned owner swallows the keyboard-cue update; an unskinned one passes it on.
  c.Perform(WM_UPDATEUISTATE, 0, 0);
  EXPECT_EQ(c.CuesPassed, 0);
  c.Data.SetSkinSection("");
  c.Perform(WM_UPDATEUISTATE, 0, 0);
  EXPECT_EQ(c.CuesPassed, 1);
}
