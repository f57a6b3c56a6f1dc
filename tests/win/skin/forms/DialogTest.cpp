// System dialogs skinned by the thread hook: a message box with an owner looked at from a timer
// in its own loop (skinned, the system menu style taken, client offsets, title hit codes, the
// region's cut corners, the system menu's items, freed after it went, a preset place), test
// dialogs made from templates in memory (a child dialog left alone, the visible-dialog
// threshold, a skin switch and a withdrawal, the dialog brush, freeing while its method runs,
// the common controls' adapters), the save dialog with its tool bars.
// The program's units start as in the program; the skins are the frame fixtures.
#include "framework/win/Forms.h"
#include "framework/win/Dialogs.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "skin/core/sMessages.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sCommonData.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/lxDialogWnd.h"
#include "skin/forms/lxFormTimers.h"
#include "skin/forms/lxProvider.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/forms/sAnimations.h"
#include "skin/paint/win/sWinUtils.h"
#include "tests/win/skin/LayeredRecorder.h"
#include "tests/win/skin/ScratchSkins.h"
#include "tests/win/skin/forms/AppFormTestUtil.h"

namespace {

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new formtest::TProgramUnits("dialog test", false));

// A dialog template in memory: the header, the caption, then each item (class by name).
class TTemplate {
public:
  TTemplate(DWORD style, DWORD exStyle, const std::wstring& caption, short cx = 200, short cy = 100) {
    Put(style);
    Put(exStyle);
    Word(0);   // item count, patched by Add
    Word(10), Word(10), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
    Word(0), Word(0);   // no menu, the dialog class
    Text(caption);
    if (style & DS_SETFONT) Word(8), Text(L"MS Shell Dlg");
  }
  TTemplate& Add(const std::wstring& cls, DWORD style, short x, short y, short cx, short cy, WORD id = 0) {
    while (FData.size() % 2 != 0) FData.push_back(0);
    Put(style | WS_CHILD | WS_VISIBLE);
    Put(0);
    Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
    Word(id);
    Text(cls);
    Text(L"x");
    Word(0);
    ++reinterpret_cast<WORD*>(FData.data())[4];
    return *this;
  }
  const DLGTEMPLATE* Get() {
    while (FData.size() % 2 != 0) FData.push_back(0);
    return reinterpret_cast<const DLGTEMPLATE*>(FData.data());
  }

private:
  void Word(WORD w) { FData.push_back(w); }
  void Put(DWORD d) { Word(LOWORD(d)), Word(HIWORD(d)); }
  void Text(const std::wstring& s) {
    for (wchar_t c : s) Word(static_cast<WORD>(c));
    Word(0);
  }
  std::vector<WORD> FData;
};

INT_PTR CALLBACK PlainDlgProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG ? TRUE : FALSE; }

constexpr DWORD BoxStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;

bool Skinned(HWND w) { return SendSkinCommand(w, SkinCmdIsSkinned) == 1; }

LRESULT HitAt(HWND w, TPoint inWindow) {
  RECT r{};
  GetWindowRect(w, &r);
  return SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(r.left + inWindow.X, r.top + inWindow.Y));
}

TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

class Dialog : public ::testing::Test {
protected:
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    ASSERT_EQ(TsSkinManager::DefaultManager(), M.get());
    M->SetSkinDirectory(ORBEX_FRAME_SKINS);
    M->SetSkinName("FrameA");
    ASSERT_TRUE(M->HookInstalled());
    Owner = std::make_unique<TForm>(nullptr);
    Owner->SetTag(-98);   // the hook leaves the test's own form alone
    Owner->SetBounds(40, 40, 500, 400);
    Owner->Show();
    formtest::Pump();
  }
  void TearDown() override {
    for (HWND w : Modeless) DestroyWindow(w);
    Owner.reset();
    M.reset();
  }
  HWND ModelessDialog(TTemplate& t) {
    HWND w = CreateDialogIndirectParamW(nullptr, t.Get(), Owner->Handle(), &PlainDlgProc, 0);
    Modeless.push_back(w);
    formtest::Pump();
    return w;
  }
  // A modeless box with extended borders on: the handle of its border window (null without),
  // its adapter in `d`.
  HWND BorderedDialog(const wchar_t* caption, TlxDialogWnd*& d) {
    M->SetExtendedBorders(true);
    TTemplate t(BoxStyle, 0, caption);
    d = DialogAdapterOf(ModelessDialog(t));
    return d != nullptr && d->BorderForm() != nullptr ? d->BorderForm()->Handle() : nullptr;
  }
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Owner;
  std::vector<HWND> Modeless;
};

// Runs `check` on the message box from a timer in the box's own loop, then presses OK.
struct TBoxProbe {
  static inline std::function<void(HWND)> Check;
  static inline bool Ran = false;
  static inline const char* Title = "Probe";
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND box = FindWindowA("#32770", Title);
    if (box == nullptr) return;
    Ran = true;
    Check(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
  static void Run(const std::function<int()>& show, std::function<void(HWND)> check) {
    Check = std::move(check);
    Ran = false;
    SetTimer(nullptr, 0, 150, &Tick);
    show();
  }
};

// Counts the items of the open popup menu from a timer in its loop, then closes it.
struct TOpenMenuProbe {
  static inline int Items = -1;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu)) return;
    KillTimer(nullptr, id);
    Items = GetMenuItemCount(reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)));
    EndMenu();
  }
};

TEST_F(Dialog, OwnedMessageBoxIsSkinnedAndFreedAfterItWent) {
  size_t listed = 0;
  TBoxProbe::Run([&] { return MessageBoxA(Owner->Handle(), "Text", "Probe", MB_OK | MB_ICONERROR); }, [&](HWND box) {
    EXPECT_TRUE(Skinned(box));
    EXPECT_EQ(GetWindowLongA(box, GWL_STYLE) & WS_SYSMENU, 0);
    TlxDialogWnd* d = DialogAdapterOf(box);
    ASSERT_NE(d, nullptr);
    RECT wr{}, cr{};
    GetWindowRect(box, &wr);
    GetClientRect(box, &cr);
    const int frame = GetSystemMetrics(SM_CXDLGFRAME);
    const int dx = (wr.right - wr.left - cr.right) / 2, dy = wr.bottom - wr.top - cr.bottom - frame;
    EXPECT_EQ(SendSkinCommand(box, SkinCmdQueryClientOffset), MAKELONG(dx, dy));
    const TlxDialogWnd::TButton* close = d->Button(htcClose);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(HitAt(box, Centre(close->Rect)), htcClose);
    EXPECT_EQ(HitAt(box, TPoint{frame + 4, frame + GetSystemMetrics(SM_CYCAPTION) / 2}), htcSysMenu);
    // The skin's key-colour corner is cut out of the window.
    EXPECT_EQ(formtest::InRegion(box, {{0, 0}, {20, 20}}), "01");
    // A right click on the caption opens the menu: a modal frame without boxes has Move and
    // Close only.
    TOpenMenuProbe::Items = -1;
    const UINT_PTR menuTimer = SetTimer(nullptr, 0, 50, &TOpenMenuProbe::Tick);
    SendMessageA(box, WM_NCRBUTTONUP, htcCaption, MAKELPARAM(wr.left + 40, wr.top + frame + 4));
    KillTimer(nullptr, menuTimer);
    EXPECT_EQ(TOpenMenuProbe::Items, 3);   // Move, the line, Close
    std::string shown;
    for (TMenuItem* item : d->SystemMenu()->Items6)
      if (item->Visible()) shown += item->Name() + " ";
    EXPECT_EQ(shown, "miMove miClose ");
    // Its text, icon and button are adapted.
    int statics = 0, buttons = 0;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      const std::string cls = WindowClassNameOf(c);
      const bool adapted = GetPropA(c, "LXSBSC") != nullptr;
      if (cls == "Static") statics += adapted ? 1 : 100;
      if (cls == "Button") buttons += adapted ? 1 : 100;
    }
    EXPECT_EQ(statics, 2);
    EXPECT_EQ(buttons, 1);
    listed = ListedProviders().size();
  });
  ASSERT_TRUE(TBoxProbe::Ran);
  EXPECT_EQ(listed, 1u);
  // The box is gone; its provider goes at the next window's destruction.
  DestroyWindow(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  EXPECT_TRUE(ListedProviders().empty());
}

TEST_F(Dialog, PresetPositionHoldsAfterTheBoxPlacedItself) {
  POINT at{-1, -1};
  TBoxProbe::Run([] { return ShowSkinMessageBox("Probe", "Text", smkError, 0, 100, 120); }, [&](HWND box) {
    RECT r{};
    GetWindowRect(box, &r);
    at = POINT{r.left, r.top};
  });
  EXPECT_EQ(at.x, 100);
  EXPECT_EQ(at.y, 120);
}

// A skin that fails to load is reported in a box that shows the skin still in use.
TEST_F(Dialog, LoadErrorBoxShowsInThePreviousSkin) {
  const std::string dir = formtest::ScratchPath("dialog-broken");
  formtest::WriteSkinFolder(dir, "Broken", "[GLOBALINFO]\r\nVERSION=7.5\r\nMASTERBITMAP=MASTER.BMP\r\n");
  std::ofstream(dir + "\\Broken\\MASTER.BMP", std::ios::binary) << "BM not an image";
  M->SetSkinDirectory(dir);
  bool active = false, skinnedBox = false;
  TBoxProbe::Title = "Error";
  TBoxProbe::Run([&] { M->SetSkinName("Broken"); return 0; }, [&](HWND box) {
    active = M->SkinData().Active;
    skinnedBox = Skinned(box);
  });
  TBoxProbe::Title = "Probe";
  ASSERT_TRUE(TBoxProbe::Ran);
  EXPECT_TRUE(active);
  EXPECT_TRUE(skinnedBox);
  EXPECT_EQ(M->GetSkinName(), "FrameA");
}

TEST_F(Dialog, ChildDialogStaysPlainAndAThirdNeedsAToolBar) {
  TTemplate child(DS_CONTROL | WS_CHILD | WS_VISIBLE, 0, L"Child");
  EXPECT_FALSE(Skinned(ModelessDialog(child)));
  TTemplate a(BoxStyle, 0, L"A"), b(BoxStyle, 0, L"B"), c(BoxStyle, 0, L"C"), d(BoxStyle, 0, L"D");
  EXPECT_TRUE(Skinned(ModelessDialog(a)));
  EXPECT_TRUE(Skinned(ModelessDialog(b)));
  EXPECT_FALSE(Skinned(ModelessDialog(c)));
  const INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  d.Add(L"ToolbarWindow32", 0, 0, 0, 100, 20);
  HWND dw = ModelessDialog(d);
  ASSERT_NE(dw, nullptr);
  EXPECT_TRUE(HasChildOfClass(dw, "toolbarwindow32"));
  EXPECT_TRUE(Skinned(dw));
  EXPECT_EQ(CountVisibleSkinnedDialogs(), 3);
}

// The section of a window's adapter (its skin data, command 37), empty without one.
std::string SectionOf(HWND w) {
  const auto* d = reinterpret_cast<const TsCommonData*>(SendSkinCommand(w, SkinCmdQueryCommonData));
  return d != nullptr ? d->GetSkinSection() : std::string();
}

TEST_F(Dialog, CommonControlsInADialogGetTheirAdapters) {
  M->SetSkinDirectory(ORBEX_TAB_ADAPTER_SKINS);
  M->SetSkinName("TabAdapters");
  const INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&icc);
  struct Row {
    const wchar_t* Class;
    DWORD Style;
    const char* Section;
  } rows[] = {{L"SysTabControl32", 0, "PAGECONTROL"},
              {L"msctls_updown32", 0, "BUTTON"},   // the skin has no "SPEEDBUTTON_SMALL"
              {L"msctls_trackbar32", 0, "TRACKBAR"},
              {L"ToolbarWindow32", TBSTYLE_WRAPABLE | CCS_NOPARENTALIGN | CCS_NORESIZE, "BAR"},
              {L"ToolbarWindow32", CCS_NOPARENTALIGN | CCS_NORESIZE, "CHECKBOX"}};
  TTemplate t(BoxStyle, 0, L"Controls", 200, 160);
  short y = 5;
  for (const Row& r : rows) t.Add(r.Class, r.Style, 5, y, 150, 20), y += 25;
  HWND w = ModelessDialog(t);
  ASSERT_TRUE(Skinned(w));
  // A tab control shows "PAGECONTROL" once it has tabs.
  HWND tabs = GetWindow(w, GW_CHILD);
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>("Tab");
  SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  size_t i = 0;
  for (HWND c = GetWindow(w, GW_CHILD); c != nullptr && i < std::size(rows); c = GetWindow(c, GW_HWNDNEXT), ++i) {
    EXPECT_NE(GetPropA(c, "LXSBSC"), nullptr) << rows[i].Section;
    EXPECT_EQ(SectionOf(c), rows[i].Section);
  }
  EXPECT_EQ(i, std::size(rows));
}

TEST_F(Dialog, SkinSwitchKeepsTheCloseButtonAndWithdrawalGivesAllBack) {
  TTemplate t(BoxStyle | DS_SETFONT, WS_EX_CONTEXTHELP, L"Switch");
  t.Add(L"STATIC", SS_LEFT, 5, 5, 100, 10);
  HWND w = ModelessDialog(t);
  TlxDialogWnd* d = DialogAdapterOf(w);
  ASSERT_NE(d, nullptr);
  // The static without an adapter of its own shows the dialog's skinned background.
  HWND label = GetWindow(w, GW_CHILD);
  ASSERT_NE(label, nullptr);
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT lr{}, wr{};
  GetWindowRect(label, &lr);
  GetWindowRect(w, &wr);
  {
    TWindowDC screen(nullptr);
    const POINT at{lr.right - 3, (lr.top + lr.bottom) / 2};   // right of the short text
    EXPECT_EQ(GetPixel(screen.Get(), at.x, at.y),
              GetPixel(d->SkinData()->CacheBitmap()->Canvas()->GetHandle(), at.x - wr.left, at.y - wr.top));
  }
  const auto brush = SendMessageA(w, WM_CTLCOLORDLG, 0, 0);
  EXPECT_EQ(SendMessageA(w, WM_CTLCOLORDLG, 0, 0), brush);
  M->SetSkinName("FrameB");
  formtest::Pump();
  ASSERT_EQ(DialogAdapterOf(w), d);
  EXPECT_EQ(HitAt(w, Centre(d->Button(htcClose)->Rect)), htcClose);
  EXPECT_EQ(HitAt(w, Centre(d->Button(htcHelp)->Rect)), htcHelp);
  EXPECT_NE(SendMessageA(w, WM_CTLCOLORDLG, 0, 0), brush);
  M->SetActive(false);
  formtest::Pump();
  EXPECT_NE(GetWindowLongA(w, GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_EQ(GetPropA(w, "LXSBSC"), nullptr);
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), GetClassLongPtrW(w, GCLP_WNDPROC));
  EXPECT_FALSE(Skinned(w));
}

// A dialog that destroys another window while it is being destroyed itself: its provider
// must outlive the adapter's method, and goes at a later destruction.
HWND GOther = nullptr;
size_t GListedInside = 0;
INT_PTR CALLBACK DestroyingDlgProc(HWND, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_DESTROY && GOther != nullptr) {
    DestroyWindow(GOther);
    GOther = nullptr;
    GListedInside = ListedProviders().size();
  }
  return msg == WM_INITDIALOG ? TRUE : FALSE;
}

TEST_F(Dialog, ProviderWaitsWhileItsAdapterIsInsideItsMethod) {
  TTemplate t(BoxStyle, 0, L"Going");
  HWND w = CreateDialogIndirectParamW(nullptr, t.Get(), Owner->Handle(), &DestroyingDlgProc, 0);
  formtest::Pump();
  ASSERT_TRUE(Skinned(w));
  GOther = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(w);
  EXPECT_EQ(GListedInside, 1u);
  DestroyWindow(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  EXPECT_TRUE(ListedProviders().empty());
}

TEST_F(Dialog, FadesInWhenShownAndOutOnCancel) {
  layeredtest::TLayeredRecorder recorder;
  recorder.Install();
  M->AnimEffects()->DialogShow()->Time = 120;
  M->AnimEffects()->DialogHide()->Time = 120;
  TTemplate t(BoxStyle, 0, L"Fading");
  HWND w = ModelessDialog(t);
  ASSERT_TRUE(Skinned(w));
  ASSERT_EQ(recorder.Uploads.size(), 1u);   // one copy window, none of the dialog
  const std::vector<layeredtest::TUpload>& in = recorder.Uploads.begin()->second;
  ASSERT_EQ(in.size(), 11u);
  EXPECT_LT(in.front().Alpha, in.back().Alpha);
  EXPECT_EQ(in.back().Alpha, 255);
  recorder.Uploads.clear();
  SendMessageA(w, WM_COMMAND, IDCANCEL, 0);
  const HWND copy = HidingCopyWindow();
  ASSERT_NE(copy, nullptr);
  ASSERT_FALSE(recorder.Uploads[copy].empty());
  EXPECT_EQ(recorder.Uploads[copy].front().Alpha, 255);
  StopHideAnimation();
}

TEST_F(Dialog, LoneCloseAndHelpButtonsTakeTheirImages) {
  // A template asking for help in its style: the help button shows, whether or not the
  // dialog manager turned DS_CONTEXTHELP into WS_EX_CONTEXTHELP.
  TTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CONTEXTHELP, 0, L"Single");
  HWND w = ModelessDialog(t);
  TlxDialogWnd* d = DialogAdapterOf(w);
  ASSERT_NE(d, nullptr);
  TBitmap* cache = d->SkinData()->CacheBitmap();
  ASSERT_NE(cache, nullptr);
  // The colours of the fixture's BICLOSEALONE and BICONHELP normal frames.
  const TPoint close = Centre(d->Button(htcClose)->Rect), help = Centre(d->Button(htcHelp)->Rect);
  EXPECT_EQ(GetPixel(cache->Canvas()->GetHandle(), close.X, close.Y), RGB(0, 160, 160));
  EXPECT_EQ(GetPixel(cache->Canvas()->GetHandle(), help.X, help.Y), RGB(200, 120, 0));
  EXPECT_EQ(HitAt(w, close), htcClose);
  EXPECT_EQ(HitAt(w, help), htcHelp);
  // A child asking for its background in client coordinates gets the cache at the client's
  // place in the window (the fixture's dialog is a gradient, answered from the cache).
  TsBackgroundRequest request;
  request.Rect = TRect{0, 0, 4, 4};
  SendSkinCommand(w, SkinCmdQueryBackground, reinterpret_cast<LPARAM>(&request));
  EXPECT_EQ(request.Bitmap, cache);
  EXPECT_EQ(MAKELONG(request.OffsetX, request.OffsetY), SendSkinCommand(w, SkinCmdQueryClientOffset));
}

// Looks at the dialog from a timer inside its drag: the move timer runs with its step, and
// stops when the hook's work is stopped; then the drag ends.
struct TMoveProbe {
  static inline TlxDialogWnd* D = nullptr;
  static inline bool Running = false, Stopped = false;
  static inline int Step = 0;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Running = D->MoveTimer() != nullptr && D->MoveTimer()->Enabled();
    Step = D->MoveTimer() != nullptr ? D->MoveTimer()->Step : 0;
    SkinManagerLinks().StopDialogHookWork();
    Stopped = D->MoveTimer() != nullptr && !D->MoveTimer()->Enabled();
    PostMessageA(D->Handle(), WM_LBUTTONUP, 0, 0);
    PostMessageA(D->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  }
};

TEST_F(Dialog, BlendWhileMovingStepsAndStopsWithTheHook) {
  M->AnimEffects()->BlendOnMoving()->Active = true;
  M->AnimEffects()->BlendOnMoving()->BlendValue = 240;
  TTemplate t(BoxStyle, 0, L"Moving");
  HWND w = ModelessDialog(t);
  TMoveProbe::D = DialogAdapterOf(w);
  ASSERT_NE(TMoveProbe::D, nullptr);
  SetTimer(nullptr, 0, 100, &TMoveProbe::Tick);
  TMoveProbe::D->StartMoving();
  formtest::Pump(200);
  EXPECT_TRUE(TMoveProbe::Running);
  EXPECT_EQ(TMoveProbe::Step, 1);   // a value close to opaque is still reached
  EXPECT_TRUE(TMoveProbe::Stopped);
  EXPECT_EQ(TMoveProbe::D->MoveTimer(), nullptr);
  EXPECT_EQ(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

TEST_F(Dialog, HotTitleButtonGlowsUntilTheHookStops) {
  M->Effects()->SetAllowGlowing(true);
  TTemplate t(BoxStyle, 0, L"Glowing");
  HWND w = ModelessDialog(t);
  TlxDialogWnd* d = DialogAdapterOf(w);
  ASSERT_NE(d, nullptr);
  d->SetHotButton(htcClose, true);
  TlxSBAnimation* glow = d->ButtonAnimation(htcClose);
  ASSERT_NE(glow, nullptr);
  EXPECT_TRUE(glow->Enabled());
  EXPECT_NE(glow->Window(), nullptr);
  SkinManagerLinks().StopDialogHookWork();
  EXPECT_EQ(d->ButtonAnimation(htcClose), nullptr);
}

TEST_F(Dialog, ExtendedBordersGiveABorderWindowOwnedByTheDialog) {
  TlxDialogWnd* d = nullptr;
  const HWND border = BorderedDialog(L"Bordered", d);
  ASSERT_NE(border, nullptr);
  const HWND w = d->Handle();
  EXPECT_EQ(GetWindow(border, GW_OWNER), w);
  EXPECT_TRUE(IsWindowVisible(border));
  // The dialog keeps its client area only; the border window shows the frame round it.
  POINT client{0, 0};
  ClientToScreen(w, &client);
  const RECT wr = formtest::WindowRectOf(w);
  const LONG cx = client.x - wr.left, cy = client.y - wr.top;
  EXPECT_EQ(formtest::InRegion(w, {{1, 1}, {cx + 1, cy + 1}}), "01");
  const RECT br = formtest::WindowRectOf(border);
  EXPECT_LT(br.left, wr.left);
  EXPECT_LT(br.top, wr.top);
  // Blend while moving drags the border window, the dialog following it at the end.
  M->AnimEffects()->BlendOnMoving()->Active = true;
  M->AnimEffects()->BlendOnMoving()->BlendValue = 200;
  TMoveProbe::D = d;
  TMoveProbe::Running = false;
  SetTimer(nullptr, 0, 100, &TMoveProbe::Tick);
  d->StartMoving();
  formtest::Pump(200);
  EXPECT_TRUE(TMoveProbe::Running);
  EXPECT_EQ(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  ASSERT_NE(d->BorderForm(), nullptr);
  const RECT moved = formtest::WindowRectOf(border), dialog = formtest::WindowRectOf(w);
  EXPECT_EQ(dialog.left - moved.left, d->BorderForm()->FormLeftOffset());
  EXPECT_EQ(dialog.top - moved.top, d->BorderForm()->PlacedTopOffset());
  // Withdrawn, the dialog draws its frame again.
  M->SetExtendedBorders(false);
  EXPECT_EQ(d->BorderForm(), nullptr);
  EXPECT_EQ(formtest::InRegion(w, {{cx, cy / 2}}), "1");
}

// Counts the skin commands `Command` a window receives (its window procedure wrapped).
struct TRepaintCounter {
  static inline WNDPROC Old = nullptr;
  static inline int Count = 0;
  static inline WORD Command = SkinCmdRepaintNow;
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SKINCOMMAND && HIWORD(wp) == Command) ++Count;
    return CallWindowProcA(Old, w, msg, wp, lp);
  }
  static void Wrap(HWND w, WORD command) {
    Count = 0;
    Command = command;
    Old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  static void Unwrap(HWND w) { SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old)); }
};

TEST_F(Dialog, ShownWithExtendedBordersItFadesInWithItsBorder) {
  layeredtest::TLayeredRecorder recorder;
  recorder.Install();
  M->AnimEffects()->DialogShow()->Time = 120;
  TlxDialogWnd* d = nullptr;
  const HWND border = BorderedDialog(L"Fading border", d);
  ASSERT_NE(border, nullptr);
  EXPECT_TRUE(IsWindowVisible(border));
  const RECT br = formtest::WindowRectOf(border);
  // The copy faded in what the border window shows (frame and shadow), where it shows it; the
  // border window showed nothing of its own meanwhile.
  for (const auto& [h, uploads] : recorder.Uploads) {
    const layeredtest::TUpload& last = uploads.back();
    EXPECT_EQ(last.Size.cx, br.right - br.left);
    EXPECT_EQ(last.Size.cy, br.bottom - br.top);
    EXPECT_EQ(last.Dest.value_or(POINT{}).x, br.left);
    EXPECT_EQ(last.Dest.value_or(POINT{}).y, br.top);
    EXPECT_EQ(uploads.front().Animating, h != border);
  }
  EXPECT_EQ(recorder.Uploads.size(), 2u);
}

TEST_F(Dialog, SizedWithItsBorderWindowTheChildrenHearTheGradientMoved) {
  M->SetExtendedBorders(true);
  TTemplate t(BoxStyle | WS_THICKFRAME | DS_SETFONT, 0, L"Sized");
  t.Add(L"STATIC", SS_LEFT, 5, 5, 100, 10);
  HWND w = ModelessDialog(t);
  TlxDialogWnd* d = DialogAdapterOf(w);
  ASSERT_NE(d, nullptr);
  ASSERT_NE(d->BorderForm(), nullptr);
  HWND label = GetWindow(w, GW_CHILD);
  ASSERT_NE(label, nullptr);
  const RECT before = formtest::WindowRectOf(w);
  // The fixture's dialog is a vertical gradient: a wider dialog keeps it, a taller one moves it.
  TRepaintCounter::Wrap(label, SkinCmdParentMoved);
  const int width = before.right - before.left + 30, height = before.bottom - before.top;
  constexpr UINT keep = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(w, nullptr, 0, 0, width, height, keep);
  const int wider = TRepaintCounter::Count;
  SetWindowPos(w, nullptr, 0, 0, width, height + 40, keep);
  const int taller = TRepaintCounter::Count - wider;
  TRepaintCounter::Unwrap(label);
  EXPECT_EQ(wider, 0);
  EXPECT_EQ(taller, 1);
}

TEST_F(Dialog, AFormMovedWithItsBorderWindowHasTheDialogsShownAnew) {
  M->SetExtendedBorders(true);
  TForm form(nullptr);
  auto* provider = NewComponent<TsSkinProvider>(&form);
  form.SetBounds(300, 60, 300, 200);
  form.Show();
  formtest::Pump();
  ASSERT_NE(provider->BorderForm(), nullptr);
  TTemplate t(BoxStyle, 0, L"Beside");
  HWND w = ModelessDialog(t);
  ASSERT_TRUE(Skinned(w));
  TRepaintCounter::Wrap(w, SkinCmdRepaintNow);
  SendMessageA(form.Handle(), WM_EXITSIZEMOVE, 0, 0);
  TRepaintCounter::Unwrap(w);
  EXPECT_EQ(TRepaintCounter::Count, 1);
}

// Every window below `w` (depth first) with its class name.
void Descendants(HWND w, std::vector<std::pair<HWND, std::string>>& out) {
  for (HWND c = GetWindow(w, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    out.emplace_back(c, WindowClassNameOf(c));
    Descendants(c, out);
  }
}

struct TSaveProbe {
  static inline bool Ran = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND box = FindWindowA("#32770", "Export scope trace to file");
    if (box == nullptr) return;
    Ran = true;
    TlxDialogWnd* d = DialogAdapterOf(box);
    EXPECT_NE(d, nullptr);
    if (d != nullptr) {
      // A sizing frame without boxes: the lone close image of the fixture (its normal frame).
      const TPoint c = Centre(d->Button(htcClose)->Rect);
      EXPECT_EQ(GetPixel(d->SkinData()->CacheBitmap()->Canvas()->GetHandle(), c.X, c.Y), RGB(0, 160, 160));
      EXPECT_EQ(HitAt(box, c), htcClose);
    }
    std::vector<std::pair<HWND, std::string>> all;
    Descendants(box, all);
    int statics = 0, edits = 0, grips = 0, buttons = 0, bars = 0;
    for (const auto& [h, cls] : all) {
      const bool adapted = GetPropA(h, "LXSBSC") != nullptr;
      if (cls == "Static" && adapted) ++statics;
      if (cls == "Button" && IsWindowVisible(h) && (GetWindowLongA(h, GWL_STYLE) & 0xF) <= BS_DEFPUSHBUTTON)
        buttons += adapted ? 1 : 100;
      if (cls == "Edit" && IsWindowVisible(h)) edits += adapted ? 1 : 100;
      if (cls == "ScrollBar" && (GetWindowLongA(h, GWL_STYLE) & SBS_SIZEGRIP) != 0) grips += adapted ? 1 : 100;
      if (cls == "ToolbarWindow32") {
        bars += adapted ? 1 : 100;
        EXPECT_EQ(SectionOf(h), (GetWindowLongA(h, GWL_STYLE) & TBSTYLE_WRAPABLE) != 0 ? "BAR" : "CHECKBOX");
      }
      if (cls == "SHELLDLL_DefView" || cls == "SysHeader32") {
        EXPECT_FALSE(adapted) << cls;
      }
    }
    EXPECT_GT(statics, 0);
    EXPECT_GE(edits, 1);
    EXPECT_LT(edits, 100);
    EXPECT_EQ(grips, 1);
    EXPECT_EQ(buttons, 2);   // Save and Cancel
    EXPECT_EQ(bars, 2);   // the folder bar and the places bar
    // Its combo boxes are adapted, and so is a list dropped down from one.
    HWND combo = nullptr;
    for (const auto& [h, cls] : all)
      if (cls == "ComboBox" && IsWindowVisible(h) && GetPropA(h, "LXSBSC") != nullptr) combo = h;
    EXPECT_NE(combo, nullptr);
    if (combo != nullptr) {
      SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
      COMBOBOXINFO info{};
      info.cbSize = sizeof(info);
      GetComboBoxInfo(combo, &info);
      RedrawWindow(info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
      EXPECT_NE(GetPropA(info.hwndList, "LXSBSC"), nullptr);
      SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    }
    // Escape closes it, as the system's dialog does.
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  }
};

TEST_F(Dialog, SaveDialogIsSkinnedAndEscapeClosesIt) {
  TSaveDialog dlg(nullptr);
  dlg.SetTitle("Export scope trace to file");
  dlg.SetFilter("Windows Bitmap (256 colors)|*.bmp");
  dlg.SetDefaultExt("bmp");
  TSaveProbe::Ran = false;
  SetTimer(nullptr, 0, 300, &TSaveProbe::Tick);
  EXPECT_FALSE(dlg.Execute());
  EXPECT_TRUE(TSaveProbe::Ran);
}

// The left edge of the first button of the save dialog's first tool bar, normal and with the
// cursor over the button.
struct TToolFaceProbe {
  static inline COLORREF Normal = 0, Hot = 0;
  static inline bool Ran = false;
  static COLORREF LeftEdge(HWND bar, const RECT& r) {
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(bar);
    const COLORREF c = GetPixel(dc, r.left, (r.top + r.bottom) / 2);
    ReleaseDC(bar, dc);
    return c;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND box = FindWindowA("#32770", "Export scope trace to file");
    if (box == nullptr) return;
    HWND bar = FindWindowExA(box, nullptr, "ToolbarWindow32", nullptr);
    RECT r{};
    for (int i = 0; bar != nullptr && i < SendMessageA(bar, TB_BUTTONCOUNT, 0, 0); ++i) {
      TBBUTTON b{};
      SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
      if ((b.fsStyle & BTNS_SEP) != 0 || (b.fsState & TBSTATE_ENABLED) == 0) continue;
      SendMessageA(bar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
      break;
    }
    if (r.right > r.left) {
      Ran = true;
      Normal = LeftEdge(bar, r);
      POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      ClientToScreen(bar, &centre);
      SetCursorPos(centre.x, centre.y);
      Hot = LeftEdge(bar, r);
      SetCursorPos(0, 0);
    }
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  }
};

TEST_F(Dialog, SaveDialogsToolButtonsShowTheSkinsFacesHotUnderTheCursor) {
  M->SetSkinDirectory(ORBEX_TAB_ADAPTER_SKINS);
  M->SetSkinName("TabAdapters");
  SetCursorPos(0, 0);
  TSaveDialog dlg(nullptr);
  dlg.SetTitle("Export scope trace to file");
  TToolFaceProbe::Ran = false;
  SetTimer(nullptr, 0, 300, &TToolFaceProbe::Tick);
  dlg.Execute();
  ASSERT_TRUE(TToolFaceProbe::Ran);
  // "TOOLBUTTON"'s frames of the fixture, normal and hot.
  EXPECT_EQ(TToolFaceProbe::Normal, RGB(90, 90, 0));
  EXPECT_EQ(TToolFaceProbe::Hot, RGB(0, 90, 90));
}

}  // namespace
