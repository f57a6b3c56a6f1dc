// The window adapter base under Wine: the "LXSBSC" property and the window procedure follow the
// adapter and a later subclasser's procedure or method is never taken out from under it; the
// common messages; skin commands; visual styles; a provider's held method; the program-wide
// "a form is being moved" flag; the popup-menu adapters' freeing.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/win/StdCtrls.h"
#include "skin/adapters/lxMnuWnd.h"
#include "skin/adapters/lxSBUtils.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sThemes.h"

namespace {

// A bare window of our own class that records what reaches it.
struct TProbeLog {
  int SetTexts = 0;
  std::vector<WPARAM> PaintDCs;
};
TProbeLog Log;

LRESULT CALLBACK ProbeProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETTEXT) ++Log.SetTexts;
  if (msg == WM_PAINT) {
    Log.PaintDCs.push_back(wp);
    if (wp != 0) return 0;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

HWND MakeWindow(const char* cls, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &ProbeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrbexAdapterProbe";
    RegisterClassA(&wc);
    registered = true;
  }
  return CreateWindowExA(0, cls, "probe", style, 10, 10, 200, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A subclasser that comes after the adapter.
WNDPROC LaterPrevious = nullptr;
int LaterCalls = 0;
LRESULT CALLBACK LaterProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  ++LaterCalls;
  return CallWindowProcA(LaterPrevious, h, msg, wp, lp);
}

// The visual-style calls the adapters make.
std::vector<std::pair<std::wstring, std::wstring>> ThemeCalls;
HRESULT WINAPI RecordTheme(HWND, LPCWSTR app, LPCWSTR ids) {
  ThemeCalls.emplace_back(app != nullptr ? app : L"<null>", ids != nullptr ? ids : L"<null>");
  return S_OK;
}

class Adapter : public ::testing::Test {
protected:
  void SetUp() override {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_CONTROL_SKINS);
    M->SetSkinName("Controls");
    ASSERT_TRUE(M->SkinData().Active);
    Log = TProbeLog{};
    SavedThemes = ThemeEntries();
    ThemeEntries().SetWindowTheme = &RecordTheme;
    ThemeCalls.clear();
  }
  void TearDown() override {
    ThemeEntries() = SavedThemes;
    M.reset();
  }
  std::unique_ptr<TlxMainWnd> Attach(HWND h, const char* section = "PANEL", TsCommonData* data = nullptr) {
    return TlxMainWnd::CreateForHandle<TlxMainWnd>(h, false, section, M.get(), data);
  }
  std::unique_ptr<TsSkinManager> M;
  TThemeEntries SavedThemes;
};

LONG_PTR ProcOf(HWND h) { return GetWindowLongPtrA(h, GWLP_WNDPROC); }

// ---------------------------------------------------------------------------------------------
// Attach and detach.

TEST_F(Adapter, PropertyAndProcedureComeAndGoWithTheAdapterWhicheverWayItIsFreed) {
  for (const bool release : {true, false}) {
    SCOPED_TRACE(release ? "released" : "freed");
    const HWND h = MakeWindow("OrbexAdapterProbe");
    const LONG_PTR original = ProcOf(h);
    auto a = Attach(h);
    EXPECT_EQ(GetWndAdapter(h), a.get());
    EXPECT_EQ(GetPropA(h, "LXSBSC"), a.get());
    EXPECT_EQ(ProcOf(h), reinterpret_cast<LONG_PTR>(a->WndProcInstance()));
    if (release)
      ReleaseWndAdapter(h, false, a);
    else
      a.reset();
    EXPECT_EQ(GetPropA(h, "LXSBSC"), nullptr);
    EXPECT_EQ(GetWndAdapter(h), nullptr);
    EXPECT_EQ(ProcOf(h), original);
    DestroyWindow(h);
  }
}

TEST_F(Adapter, ALaterSubclasserKeepsItsProcedureAndTheEditStillWorksAfterTheAdapterIsFreed) {
  const HWND h = MakeWindow("EDIT", WS_POPUP | ES_MULTILINE);
  const LONG_PTR original = ProcOf(h);
  auto a = Attach(h, "EDIT");
  const LONG_PTR ours = ProcOf(h);
  LaterPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProc)));
  a.reset();
  EXPECT_EQ(ProcOf(h), reinterpret_cast<LONG_PTR>(&LaterProc));
  EXPECT_EQ(GetWndAdapter(h), nullptr);
  // Typing goes through the later subclasser and the adapter's old procedure to the edit.
  LaterCalls = 0;
  SetWindowTextA(h, "");
  for (const char c : {'o', 'k'}) SendMessageA(h, WM_CHAR, static_cast<WPARAM>(c), 1);
  char text[8] = {};
  GetWindowTextA(h, text, sizeof text);
  EXPECT_STREQ(text, "ok");
  EXPECT_GE(LaterCalls, 2);
  // The later subclasser leaves: the old procedure steps out of the chain at the next message.
  SetWindowLongPtrA(h, GWLP_WNDPROC, ours);
  SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
  EXPECT_EQ(ProcOf(h), original);
  DestroyWindow(h);
}

TEST_F(Adapter, AReplacedWindowProcStaysAndTheControlStillGetsItsMessages) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  TsCommonData data(edit, 0);
  data.SetSkinManager(M.get());
  auto a = Attach(edit->Handle(), "EDIT", &data);
  ASSERT_TRUE(a->MethodHooked());
  int later = 0;
  TWndMethod below = edit->WindowProc;
  edit->WindowProc = [&later, below](TMessage& m) {
    ++later;
    below(m);
  };
  a.reset();
  edit->SetText("still");
  EXPECT_EQ(edit->Text(), "still");
  EXPECT_GT(later, 0);
}

TEST_F(Adapter, AnAdapterOnAProviderTakesItsHeldMethodAndGivesItBack) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* provider = new TsSkinProvider(form.get());
  form->HandleNeeded();
  int marker = 0;
  TWndMethod& held = provider->HeldWndMethod();
  held = OwnedHandler(&marker, TWndMethod(held));
  auto a = Attach(form->Handle(), "FORM", provider->SkinData());
  EXPECT_TRUE(a->MethodHooked());
  EXPECT_FALSE(HandlerOwnedBy(provider->HeldWndMethod(), &marker));
  ReleaseWndAdapter(form->Handle(), false, a);
  EXPECT_TRUE(HandlerOwnedBy(provider->HeldWndMethod(), &marker));
}

TEST_F(Adapter, TheAdapterLetsGoWhenItsWindowIsDestroyed) {
  const HWND h = MakeWindow("OrbexAdapterProbe");
  auto a = Attach(h);
  DestroyWindow(h);
  EXPECT_TRUE(a->Defunct());
  EXPECT_FALSE(a->Subclassed());
  EXPECT_EQ(GetWndAdapter(h), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Messages and commands.

TEST_F(Adapter, SetTextReachesTheWindowOnceAndPrintPaintsWithTheGivenDC) {
  const HWND h = MakeWindow("OrbexAdapterProbe");
  auto a = Attach(h);
  SetWindowTextA(h, "new caption");
  EXPECT_EQ(Log.SetTexts, 1);
  EXPECT_EQ(a->Caption(), "new caption");
  HDC dc = CreateCompatibleDC(nullptr);
  Log.PaintDCs.clear();
  SendMessageA(h, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  EXPECT_EQ(Log.PaintDCs, std::vector<WPARAM>{reinterpret_cast<WPARAM>(dc)});
  DeleteDC(dc);
  a.reset();
  DestroyWindow(h);
}

TEST_F(Adapter, SkinCommandsAreAnsweredForTheOwnManagerAndOwnSendsOnly) {
  const HWND h = MakeWindow("OrbexAdapterProbe");
  auto a = Attach(h);
  EXPECT_EQ(SendSkinCommand(h, SkinCmdIsSkinned), 1);
  {
    const WPARAM wp = MAKEWPARAM(0, SkinCmdQueryCommonData);
    TSkinCommandSendScope own(wp, 0, h);
    EXPECT_EQ(SendMessageA(h, WM_SKINCOMMAND, wp, 0), reinterpret_cast<LRESULT>(a->SkinData()));
  }
  // The same address-returning command sent around the engine's senders is refused.
  EXPECT_EQ(SendMessageA(h, WM_SKINCOMMAND, MAKEWPARAM(0, SkinCmdQueryCommonData), 0), 0);
  // A skin of another manager leaves the adapter's section as it is.
  TsSkinManager other(nullptr);
  a->SkinData()->BGChanged = 0;
  SendSkinCommand(h, SkinCmdSkinLoaded, reinterpret_cast<LPARAM>(&other));
  EXPECT_EQ(a->SkinData()->BGChanged, 0);
  SendSkinCommand(h, SkinCmdSkinLoaded, reinterpret_cast<LPARAM>(M.get()));
  EXPECT_EQ(a->SkinData()->BGChanged, 1);
  a.reset();
  DestroyWindow(h);
}

TEST_F(Adapter, VisualStylesAreSwitchedOffExceptForDialogsAndGivenBack) {
  using Calls = std::vector<std::pair<std::wstring, std::wstring>>;
  const struct {
    const char* Section;
    Calls Expected;
  } cases[] = {
      {"DIALOG", {{L"<null>", L"<null>"}}},
      {"EDIT", {{L" ", L" "}, {L"<null>", L"<null>"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Section);
    ThemeCalls.clear();
    const HWND h = MakeWindow("OrbexAdapterProbe");
    auto a = Attach(h, c.Section);
    a.reset();
    EXPECT_EQ(ThemeCalls, c.Expected);
    DestroyWindow(h);
  }
}

TEST(AdapterRoutines, OnlyTheFiveNonClientFontKindsGiveAFont) {
  for (int kind = 0; kind <= 6; ++kind) {
    HFONT f = CreateNonClientFont(kind);
    EXPECT_EQ(f != nullptr, kind >= 1 && kind <= 5) << kind;
    if (f != nullptr) DeleteObject(f);
  }
}

TEST_F(Adapter, AFormBeingMovedHoldsTheScrollBarRepaintsUntilTheMoveEnds) {
  auto form = std::make_unique<TForm>(nullptr);
  new TsSkinProvider(form.get());
  form->HandleNeeded();
  SendMessageA(form->Handle(), WM_ENTERSIZEMOVE, 0, 0);
  EXPECT_TRUE(AdapterFlags().WindowMoving);
  SendMessageA(form->Handle(), WM_EXITSIZEMOVE, 0, 0);
  EXPECT_FALSE(AdapterFlags().WindowMoving);
  SendMessageA(form->Handle(), WM_ENTERSIZEMOVE, 0, 0);
  form.reset();
  EXPECT_FALSE(AdapterFlags().WindowMoving);
}

// ---------------------------------------------------------------------------------------------
// Popup-menu adapters.

// A window that destroys itself on WM_USER and notes the popup adapters left right after, while
// its adapter's window method still runs.
size_t AdaptersLeftInside = 0;
LRESULT CALLBACK SelfDestroyingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_USER) return DefWindowProcA(h, msg, wp, lp);
  DestroyWindow(h);
  AdaptersLeftInside = SkinnedPopupMenus().size();
  return 0;
}

TEST_F(Adapter, TheLastPopupGoingInsideAnAdapterMethodFreesThemOnceTheMethodReturns) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &SelfDestroyingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "OrbexSelfDestroying";
  RegisterClassA(&wc);
  const HWND h = MakeWindow("OrbexSelfDestroying", WS_POPUP);
  AppendSkinnedPopupMenu(TlxMainWnd::CreateForHandle<TlxMnuWnd>(h, false, "MAINMENU", M.get(), nullptr));
  SendMessageA(h, WM_USER, 0, 0);
  EXPECT_EQ(AdaptersLeftInside, 1u);
  EXPECT_TRUE(SkinnedPopupMenus().empty());
}

}  // namespace
