// The skin provider on test forms: one provider per form (a second stays inert, a new one
// replaces a run-time one), the window method given back exactly on destruction, the preview
// switch, the bounded announcement to the skin editor, the editor's data taken only whole and
// only at the announced window, the system-menu style bit, the form's colour, and the skin
// commands a skinned form answers. The skin is a small folder written to a scratch directory.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <cstring>
#include <thread>
#include <vector>

#include "framework/win/ExtCtrls.h"
#include "skin/core/sSkinManagerCore.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/paint/win/sDwmApi.h"
#include "tests/win/skin/forms/FormTestUtil.h"

namespace {

constexpr COLORREF FormColour = 0x335577, GlobalColour = 0x445566;
constexpr TColor DesignedColour = 0x0000C0;

std::string Options(const std::string& marker) {
  return "[GLOBALINFO]\r\nVERSION=7.2\r\nSTATES=1\r\nCOLOR=" + std::to_string(GlobalColour) + "\r\n[FORM]\r\nSTATES=1\r\nCOLOR=" +
         std::to_string(FormColour) + "\r\n[" + marker + "]\r\nSTATES=1\r\n";
}

using formtest::Command;

bool HasSysMenuStyle(TCustomForm* f) { return formtest::HasSysMenuStyle(f->Handle()); }

class Provider : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    Dir = formtest::ScratchPath("provider");
    for (const char* name : {"Plain", "Other"}) formtest::WriteSkinFolder(Dir, name, Options(name));
  }
  void SetUp() override {
    M = formtest::ManagerWith(Dir, "Plain");
    ASSERT_TRUE(M->SkinData().Active);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetColor(DesignedColour);
    Form->HandleNeeded();
  }
  void TearDown() override {
    Form.reset();
    M.reset();
    PreviewMode = false;
    PreviewWindow = nullptr;
    SetProviderParamSource(nullptr);
    SetEditorWindowFinder(nullptr);
  }
  // Puts a marker in the form's window method that counts what reaches it.
  void Mark() {
    Form->WindowProc = [this, f = Form.get()](TMessage& m) {
      Seen.push_back(m.Msg);
      f->WndProc(m);
    };
  }
  bool SeenMsg(UINT msg) const { return std::find(Seen.begin(), Seen.end(), msg) != Seen.end(); }
  static int Registered(TCustomForm* f) {
    const auto& list = RegisteredSkinnedForms();
    return static_cast<int>(std::count(list.begin(), list.end(), f));
  }
  static std::string Dir;
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
  std::vector<UINT> Seen;
  TPanel* Hovered = nullptr;
};
std::string Provider::Dir;

TEST_F(Provider, OneProviderPerFormAndItsWindowMethodComesBack) {
  EXPECT_THROW(NewComponent<TsSkinProvider>(nullptr), EAbort);
  Mark();
  auto* first = NewComponent<TsSkinProvider>(Form.get());
  EXPECT_TRUE(first->Hooked());
  EXPECT_EQ(Registered(Form.get()), 1);
  // A second one stays inert; freeing it leaves the first hooked and registered.
  auto* second = NewComponent<TsSkinProvider>(Form.get());
  EXPECT_TRUE(second->IsEmptyProvider());
  EXPECT_FALSE(second->Hooked());
  const TColor colour = Form->Color();
  second->SetUseGlobalColor(false);
  second->SetDrawNonClientArea(false);
  EXPECT_EQ(Form->Color(), colour);
  delete second;
  EXPECT_EQ(Command(Form.get(), SkinCmdFindProvider), reinterpret_cast<LRESULT>(first));
  EXPECT_EQ(Registered(Form.get()), 1);
  // Messages pass on to the saved method; the frame painting of a skinned form is the
  // provider's own.
  Seen.clear();
  first->ForceNCPaint();
  Form->Perform(WM_USER + 5, 0, 0);
  EXPECT_FALSE(SeenMsg(WM_NCPAINT));
  EXPECT_TRUE(SeenMsg(WM_USER + 5));
  // A designed provider replaces a run-time one.
  delete first;
  auto* runtime = TsSkinProvider::CreateRuntime(Form.get());
  EXPECT_TRUE(runtime->RuntimeMade());
  auto* designed = NewComponent<TsSkinProvider>(Form.get());
  EXPECT_FALSE(designed->IsEmptyProvider());
  EXPECT_EQ(Form->ComponentCount(), 1);
  EXPECT_EQ(Command(Form.get(), SkinCmdFindProvider), reinterpret_cast<LRESULT>(designed));
  EXPECT_EQ(Registered(Form.get()), 1);
  // The form goes: the marker is back before the form's own destruction begins.
  TForm* f = Form.get();
  bool hooked = true;
  Form->OnDestroy = [&](TObject*) { hooked = designed->Hooked() || Registered(f) != 0; f->Perform(WM_USER + 6, 0, 0); };
  Seen.clear();
  Form.reset();
  EXPECT_FALSE(hooked);
  EXPECT_TRUE(SeenMsg(WM_USER + 6));
  EXPECT_TRUE(RegisteredSkinnedForms().empty());
}

TEST_F(Provider, PreviewOnlyWithTheFirstParameter) {
  SetProviderParamSource([] { return std::vector<std::string>{"x", "/lxpreview"}; });
  delete NewComponent<TsSkinProvider>(Form.get());
  EXPECT_FALSE(PreviewMode);
  SetProviderParamSource([] { return std::vector<std::string>{"/LXPREVIEW"}; });
  delete NewComponent<TsSkinProvider>(Form.get());
  EXPECT_FALSE(PreviewMode);
  SetProviderParamSource([] { return std::vector<std::string>{"/lxpreview"}; });
  delete NewComponent<TsSkinProvider>(Form.get());
  EXPECT_TRUE(PreviewMode);
}

// An editor window on a thread of its own that answers the announcement as told.
class TEditor {
public:
  enum TMode { Refuse, Accept, Hang };
  explicit TEditor(TMode mode) : FMode(mode) {
    FThread = std::thread([this] { Run(); });
    while (!FReady) Sleep(1);
  }
  ~TEditor() {
    PostMessageA(FWnd, WM_CLOSE, 0, 0);
    FThread.join();
  }
  int Sends() const { return FSends; }
  // Redraw commands received, and the manager the last one named.
  int Redraws() const { return FRedraws; }
  LPARAM RedrawManager() const { return FRedrawManager; }
  HWND Window() const { return FWnd; }

private:
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TEditor*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (msg == WM_SKINEDITOR && self != nullptr) {
      ++self->FSends;
      if (self->FMode == Hang) Sleep(2500);
      return self->FMode == Accept ? 1 : 0;
    }
    if (msg == WM_SKINCOMMAND && self != nullptr && SkinCommandOf(wp) == SkinCmdRedrawSkin) {
      ++self->FRedraws;
      self->FRedrawManager = lp;
      return 0;
    }
    if (msg == WM_CLOSE) {
      DestroyWindow(w);
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
  }
  void Run() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrbexTestEditor";
    RegisterClassA(&wc);
    FWnd = CreateWindowA("OrbexTestEditor", SkinEditorCaption, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                         wc.hInstance, nullptr);
    SetWindowLongPtrA(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FReady = true;
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  }
  TMode FMode;
  HWND FWnd = nullptr;
  std::atomic<bool> FReady{false};
  std::atomic<int> FSends{0};
  std::atomic<int> FRedraws{0};
  std::atomic<LPARAM> FRedrawManager{0};
  std::thread FThread;
};

int Searches = 0;
HWND CountingFinder() {
  ++Searches;
  return FindWindowA(nullptr, SkinEditorCaption);
}

TEST_F(Provider, TheAnnouncementToTheEditorIsBounded) {
  auto* p = NewComponent<TsSkinProvider>(Form.get());
  const HWND h = Form->Handle();
  auto announce = [&] {
    PreviewMode = true;
    PreviewWindow = nullptr;
    p->AnnounceToSkinEditor(h);
  };
  SetEditorWindowFinder(&CountingFinder);
  Searches = 0;
  announce();
  EXPECT_EQ(Searches, 1);   // no editor
  EXPECT_EQ(PreviewWindow, h);
  EXPECT_FALSE(PreviewMode);
  {
    TEditor refusing(TEditor::Refuse);
    announce();
    EXPECT_EQ(refusing.Sends(), 101);
    p->AnnounceToSkinEditor(h);   // announced already: nothing more
    EXPECT_EQ(refusing.Sends(), 101);
  }
  {
    TEditor accepting(TEditor::Accept);
    announce();
    EXPECT_EQ(accepting.Sends(), 1);
  }
  {
    TEditor hung(TEditor::Hang);
    const ULONGLONG start = GetTickCount64();
    announce();
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_EQ(hung.Sends(), 1);
  }
}

TEST_F(Provider, TheManagersRedrawReachesThePreviewWindow) {
  const TsSkinManagerLinks saved = SkinManagerLinks();
  SkinManagerLinks().EditorPreviewWindow = nullptr;
  InitSkinProviderUnit();
  TEditor preview(TEditor::Accept);
  M->RefreshAllForms(false);   // nothing announced yet
  EXPECT_EQ(preview.Redraws(), 0);
  PreviewWindow = preview.Window();
  M->RefreshAllForms(false);
  EXPECT_EQ(preview.Redraws(), 1);
  EXPECT_EQ(preview.RedrawManager(), reinterpret_cast<LPARAM>(M.get()));
  SkinManagerLinks() = saved;
}

TEST_F(Provider, EditorDataOnlyWholeAndOnlyAtTheAnnouncedWindow) {
  NewComponent<TsSkinProvider>(Form.get());
  std::vector<std::uint8_t> block(TsEditorBlock::Size, 0);
  block[1] = 0xA4;
  std::memcpy(&block[TsEditorBlock::NameOffset], "Ed", 2);
  std::memcpy(&block[TsEditorBlock::DirOffset], Dir.data(), Dir.size());
  const std::string text = Options("EDITED");
  std::memcpy(&block[TsEditorBlock::TextOffset], text.data(), text.size());
  auto send = [&](size_t size) {
    COPYDATASTRUCT cds{0, static_cast<DWORD>(size), block.data()};
    return SendMessageA(Form->Handle(), WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&cds));
  };
  EXPECT_EQ(send(block.size()), 0);   // not announced
  EXPECT_EQ(M->GetSkinName(), "Plain");
  PreviewWindow = Form->Handle();
  EXPECT_EQ(send(block.size() - 1), 0);
  EXPECT_EQ(M->GetSkinName(), "Plain");
  EXPECT_EQ(send(block.size()), 1);
  EXPECT_EQ(M->GetSkinName(), "Ed");
  EXPECT_GE(FindSectionIndex(M->Tables(), "EDITED"), 0);
}

TEST_F(Provider, SkinnedFormsAnswerAndTakeTheSystemMenuStyle) {
  auto* p = NewComponent<TsSkinProvider>(Form.get());
  ASSERT_TRUE(p->Skinned());
  EXPECT_FALSE(HasSysMenuStyle(Form.get()));
  EXPECT_TRUE(p->SysMenuStyleTaken());
  // The window's menu was kept from before the bit went.
  ASSERT_NE(p->SystemMenu(), nullptr);
  EXPECT_TRUE(p->SystemMenu()->VisibleClose());
  EXPECT_NE(p->SystemMenu()->ItemClose, nullptr);
  EXPECT_EQ(Command(Form.get(), SkinCmdFindProvider), reinterpret_cast<LRESULT>(p));
  EXPECT_EQ(Command(Form.get(), SkinCmdIsSkinned), 1);
  EXPECT_EQ(static_cast<COLORREF>(Form->Color()), GlobalColour);
  EXPECT_EQ(static_cast<COLORREF>(Command(Form.get(), SkinCmdQueryColor)), FormColour);
  // Unskinned by another manager: nothing changes.
  TsSkinManager other(nullptr);
  Command(Form.get(), SkinCmdUnskin, &other);
  EXPECT_FALSE(HasSysMenuStyle(Form.get()));
  // Withdrawn by its own: the style and the designed colour come back.
  M->WithdrawSkin();
  EXPECT_TRUE(HasSysMenuStyle(Form.get()));
  EXPECT_EQ(Form->Color(), DesignedColour);
  EXPECT_FALSE(p->Skinned());
  EXPECT_EQ(Command(Form.get(), SkinCmdIsSkinned), 1);
  // The next skin takes them again.
  M->SetSkinName("Other");
  EXPECT_TRUE(p->Skinned());
  EXPECT_FALSE(HasSysMenuStyle(Form.get()));
  EXPECT_EQ(static_cast<COLORREF>(Form->Color()), GlobalColour);
  // The global colour given up: the designed colour, skinned or not.
  p->SetUseGlobalColor(false);
  EXPECT_EQ(Form->Color(), DesignedColour);
  p->SetUseGlobalColor(true);
  EXPECT_EQ(static_cast<COLORREF>(Form->Color()), GlobalColour);
  p->SetDrawNonClientArea(false);
  EXPECT_TRUE(HasSysMenuStyle(Form.get()));
  p->SetDrawNonClientArea(true);
  EXPECT_FALSE(HasSysMenuStyle(Form.get()));
  EXPECT_TRUE(p->SystemMenu()->VisibleClose());
}

// A skinned control as the library's own are made: its skin state hears its messages first.
class TSkinnedBox : public TPanel {
public:
  explicit TSkinnedBox(TComponent* owner) : TPanel(owner), SkinData(std::make_unique<TsCommonData>(this, 51)) {
    SkinData->SetSkinSection("FORM");
    SkinData->ResolveSection();
  }
  void WndProc(TMessage& m) override {
    if (!HandleCommonMessage(m, SkinData.get())) TPanel::WndProc(m);
  }
  std::unique_ptr<TsCommonData> SkinData;
};

// A window that goes leaves the hover tracking: no later change sends it anything, nor a new
// window that is given its handle.
TEST_F(Provider, AWindowThatGoesLeavesTheHoverTracking) {
  Form->Show();
  NewComponent<TsSkinProvider>(Form.get());
  const auto hoveredBox = [this] {
    Hovered = new TSkinnedBox(Form.get());
    Hovered->SetParent(Form.get());
    Hovered->Perform(CM_MOUSEENTER, 0, 0);
    return Hovered->Handle();
  };
  const struct {
    const char* name;
    std::function<HWND()> hover;   // answers the hovered window
    std::function<void()> away;
  } cases[] = {
      {"control freed", hoveredBox, [&] { delete Hovered; }},
      {"control's window destroyed", hoveredBox,
       [&] {
         Hovered->DestroyHandle();
         delete Hovered;
       }},
      {"skinned form freed",
       [&] {
         const RECT r = formtest::WindowRectOf(Form->Handle());
         SendMessageA(Form->Handle(), WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(r.left + 40, r.top + 8));
         return Form->Handle();
       },
       [&] { Form.reset(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HWND hovered = c.hover();
    ASSERT_EQ(M->HoverWindow(), hovered);
    c.away();
    EXPECT_EQ(M->HoverWindow(), nullptr);
  }
}

TEST_F(Provider, AProviderFreedBeforeItsFormGivesTheFormBack) {
  Form->SetBounds(100, 100, 400, 300);
  Form->Show();
  auto* p = NewComponent<TsSkinProvider>(Form.get());
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  formtest::Pump();
  ASSERT_FALSE(HasSysMenuStyle(Form.get()));
  ASSERT_NE(formtest::InRegion(Form->Handle(), {{1, 1}}), "no region");
  ASSERT_EQ(static_cast<COLORREF>(Form->Color()), GlobalColour);
  delete p;
  EXPECT_TRUE(HasSysMenuStyle(Form.get()));
  EXPECT_EQ(formtest::InRegion(Form->Handle(), {{1, 1}}), "no region");
  EXPECT_EQ(Form->Color(), DesignedColour);
  // A later provider finds the form as designed and takes the title buttons into its care.
  auto* later = NewComponent<TsSkinProvider>(Form.get());
  EXPECT_TRUE(later->SysMenuStyleTaken());
  EXPECT_FALSE(HasSysMenuStyle(Form.get()));
}

TEST_F(Provider, AFormIsPreparedWhenItsWindowIsMade) {
  TForm late(nullptr);
  late.SetColor(DesignedColour);
  auto* p = NewComponent<TsSkinProvider>(&late);
  EXPECT_EQ(p->SystemMenu(), nullptr);
  late.HandleNeeded();
  ASSERT_NE(p->SystemMenu(), nullptr);
  EXPECT_EQ(static_cast<COLORREF>(late.Color()), GlobalColour);
  // A run-time provider prepares its form at the first frame painting.
  TForm shown(nullptr);
  shown.HandleNeeded();
  auto* r = TsSkinProvider::CreateRuntime(&shown);
  EXPECT_EQ(r->SystemMenu(), nullptr);
  shown.Show();
  Application->ProcessMessages();
  EXPECT_NE(r->SystemMenu(), nullptr);
  // A system menu popup gets Size greyed, and the form still hears of the popup.
  Mark();
  auto* q = NewComponent<TsSkinProvider>(Form.get());
  const TOwnedMenu popup(CreatePopupMenu());
  AppendMenuA(popup.Get(), MF_STRING, SC_SIZE, "Size");
  TMessage m;
  m.Msg = WM_INITMENUPOPUP;
  m.WParam = reinterpret_cast<WPARAM>(popup.Get());
  m.LParam = MAKELPARAM(0, 1);
  Seen.clear();
  q->HandleInitMenuPopup(m);
  EXPECT_NE(GetMenuState(popup.Get(), SC_SIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_TRUE(SeenMsg(WM_INITMENUPOPUP));
}

TEST_F(Provider, ToolWindowsDoNotBlendOnMoving) {
  auto* p = NewComponent<TsSkinProvider>(Form.get());
  EXPECT_TRUE(p->AllowBlendOnMoving);
  Form->SetBorderStyle(bsSizeToolWin);
  p->SetUseGlobalColor(false);
  p->InitProvider();
  EXPECT_FALSE(p->AllowBlendOnMoving);
  EXPECT_TRUE(p->UseGlobalColor());
  EXPECT_EQ(static_cast<COLORREF>(Form->Color()), GlobalColour);
}

TEST_F(Provider, UserTitleButtonsWidenTheTitleButtonArea) {
  auto* p = NewComponent<TsSkinProvider>(Form.get());
  const int plain = p->TitleButtonsWidth();
  TsTitleButton* b = p->TitleButtons()->Add();
  EXPECT_EQ(b->DisplayName(), "TsTitleButton");
  EXPECT_EQ(p->UserButtonWidth(b), 21);   // the skin has no "TITLEBUTTON"
  const int withOne = p->TitleButtonsWidth();
  EXPECT_EQ(withOne, plain + 8 + 21);
  b->SetVisible(false);   // a hidden button leaves no gap in the title
  EXPECT_EQ(p->TitleButtonsWidth(), plain);
  TBitmap glyph;
  glyph.SetSize(30, 16);
  b->SetGlyph(&glyph);
  EXPECT_EQ(p->UserButtonWidth(b), 32);
}

TEST(ProviderDwm, CompositionCanBeFixedForTests) {
  SetAeroIsActiveOverride(true);
  EXPECT_TRUE(AeroIsActive());
  SetAeroIsActiveOverride(false);
  EXPECT_FALSE(AeroIsActive());
  SetAeroIsActiveOverride(std::nullopt);
}

}  // namespace
