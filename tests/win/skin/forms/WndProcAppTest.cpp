// The program's own forms with their skinned frames, composition off and on: the main window
// (its designed provider) and the dialogs the thread hook skins. Answers along the caption,
// the maximized bounds and region, hovering without rebuilding the frame cache, the title
// buttons' presses and releases, the icon double click, modal dialogs closed as Cancel by
// their close button, the window menu of "Select device", and no system caption colour
// after a caption change and re-activation; the main window with extended borders in each
// stored skin (its border window's place and uploads, the bar's items on the menu line,
// normal, maximized and inactive). The program's units start as in the program, with the
// main window's stored skins. With ORBEX_BORDER_SHOTS set to a folder, the screen is saved
// there in each of those states.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/win/ConnectDlg.h"
#include "app/win/MainFrm.h"
#include "framework/win/Dialogs.h"
#include "skin/core/sSkinData.h"
#include "skin/core/sTitleLayout.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxBorderForm.h"
#include "skin/forms/sFormRegion.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sDwmApi.h"
#include "tests/win/skin/LayeredRecorder.h"
#include "tests/win/skin/forms/AppFormTestUtil.h"

namespace {

using formtest::Pump;
using formtest::WindowRectOf;

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new formtest::TProgramUnits("frame test", true));

TsSkinProvider* ProviderOf(TCustomForm* f) {
  return reinterpret_cast<TsSkinProvider*>(SendSkinCommand(f->Handle(), SkinCmdFindProvider));
}

using formtest::HasSysMenuStyle;

// The centre of a title button on the screen.
POINT ButtonCentre(TCustomForm* f, int code) {
  TsSkinProvider* p = ProviderOf(f);
  const RECT wr = WindowRectOf(f->Handle());
  const auto* b = p != nullptr ? p->TitleButton(code) : nullptr;
  if (b == nullptr) return POINT{-1, -1};
  return POINT{wr.left + (b->Rect.Left + b->Rect.Right) / 2, wr.top + (b->Rect.Top + b->Rect.Bottom) / 2};
}

void Click(HWND w, int code, POINT down, int upCode, POINT up) {
  SendMessageA(w, WM_NCLBUTTONDOWN, code, MAKELPARAM(down.x, down.y));
  SendMessageA(w, WM_NCLBUTTONUP, upCode, MAKELPARAM(up.x, up.y));
}

LRESULT HitTest(HWND w, int x, int y) { return SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(x, y)); }

// Composition off (false) and on (true).
class AppFrames : public ::testing::TestWithParam<bool> {
protected:
  void SetUp() override {
    SetAeroIsActiveOverride(GetParam());
    Ini = formtest::ScratchPath("frames", ".ini");
    DeleteFileA(Ini.c_str());
    Main.reset(NewComponent<TMainForm>(nullptr, std::make_unique<TOrbexScope>(), Ini));
    Main->Show();
    SetForegroundWindow(Main->Handle());
    Pump();
  }
  void TearDown() override {
    Main.reset();
    DeleteFileA(Ini.c_str());
    SetAeroIsActiveOverride(std::nullopt);
  }
  template <class T>
  std::unique_ptr<T> Shown(T* form) {
    std::unique_ptr<T> f(form);
    f->Show();
    Pump();
    return f;
  }
  std::string Ini;
  std::unique_ptr<TMainForm> Main;
};

TEST_P(AppFrames, MainWindowAnswersAlongItsCaption) {
  const HWND w = Main->Handle();
  EXPECT_EQ(SendSkinCommand(w, SkinCmdIsSkinned), 1);
  EXPECT_FALSE(HasSysMenuStyle(w));
  const RECT wr = WindowRectOf(w);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  EXPECT_EQ(origin.x - wr.left, GetSystemMetrics(SM_CXFRAME));
  // Right to left along the caption's middle: close, maximize, minimize, caption, icon.
  const int y = wr.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  std::vector<LRESULT> codes;
  for (int x = wr.right - 1; x >= wr.left; --x) {
    const LRESULT c = HitTest(w, x, y);
    if (codes.empty() || codes.back() != c) codes.push_back(c);
  }
  const auto at = [&](LRESULT c, size_t from) {
    return static_cast<size_t>(std::find(codes.begin() + static_cast<std::ptrdiff_t>(std::min(from, codes.size())), codes.end(), c) -
                               codes.begin());
  };
  const size_t close = at(HTCLOSE, 0), max = at(HTMAXBUTTON, close), min = at(HTMINBUTTON, max),
               caption = at(HTCAPTION, min), icon = at(HTSYSMENU, caption);
  EXPECT_LT(icon, codes.size());
  EXPECT_TRUE(close < max && max < min && min < caption && caption < icon);
  // The menu band below the caption.
  const int menuY = wr.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) / 2;
  EXPECT_EQ(HitTest(w, (wr.left + wr.right) / 2, menuY), HTMENU);
}

TEST_P(AppFrames, MaximizedCoversTheWorkAreaWithTheFrameOutside) {
  const HWND w = Main->Handle();
  ShowWindow(w, SW_MAXIMIZE);
  Pump();
  ASSERT_TRUE(IsZoomed(w));
  const int f = GetSystemMetrics(SM_CXFRAME);
  const TRect work = MonitorWorkArea(Main.get());
  const RECT z = WindowRectOf(w);
  EXPECT_EQ(ToTRect(z), (TRect{work.Left - f, work.Top - f, work.Right + f, work.Bottom + f}));
  TOwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(w, rgn.Get()), ERROR);
  RECT box{};
  GetRgnBox(rgn.Get(), &box);
  EXPECT_EQ(ToTRect(box), (TRect{f, f, z.right - z.left - f, z.bottom - z.top - f}));
  ShowWindow(w, SW_RESTORE);
}

TEST_P(AppFrames, HoverRebuildsNoCacheAndAMinimizeReleasedOnTheCaptionDoesNothing) {
  const HWND w = Main->Handle();
  TsSkinProvider* p = ProviderOf(Main.get());
  ASSERT_NE(p, nullptr);
  Pump();
  const int builds = p->FrameCacheBuilds;
  const RECT wr = WindowRectOf(w);
  const POINT caption{(wr.left + wr.right) / 2, wr.top + GetSystemMetrics(SM_CYFRAME) + 4};
  for (int code : {htcClose, htcMaxButton, htcMinButton}) {
    const POINT c = ButtonCentre(Main.get(), code);
    SendMessageA(w, WM_NCMOUSEMOVE, code, MAKELPARAM(c.x, c.y));
    EXPECT_EQ(p->HotElement, code);
  }
  SendMessageA(w, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(caption.x, caption.y));
  EXPECT_EQ(p->HotElement, 0);
  EXPECT_EQ(p->FrameCacheBuilds, builds);
  Click(w, htcMinButton, ButtonCentre(Main.get(), htcMinButton), HTCAPTION, caption);
  Pump();
  EXPECT_FALSE(IsIconic(w));
  EXPECT_EQ(GetCapture(), nullptr);
}

// A press on the help form's close button acts on that button only: released over the main
// window's close button or off both windows, it closes nothing and ends (the button normal,
// the mouse free), and the main window's buttons light up under the mouse again.
TEST_P(AppFrames, ATitleButtonPressReleasedElsewhereClosesNothing) {
  const RECT mr = WindowRectOf(Main->Handle());
  std::unique_ptr<THelpForm> help(NewComponent<THelpForm>(nullptr));
  help->SetBounds(mr.left + 20, mr.top + 120, 360, 260);
  help->Show();
  Pump();
  TsSkinProvider* main = ProviderOf(Main.get());
  TsSkinProvider* helpProvider = ProviderOf(help.get());
  ASSERT_NE(helpProvider, nullptr);
  const POINT helpClose = ButtonCentre(help.get(), htcClose), mainClose = ButtonCentre(Main.get(), htcClose);
  const struct {
    const char* name;
    POINT release;
  } releases[] = {{"over the main window's close", mainClose}, {"off both windows", formtest::BesideTheWindow(Main->Handle())}};
  for (const auto& r : releases) {
    SCOPED_TRACE(r.name);
    formtest::MouseAt(helpClose);
    formtest::MouseAt(helpClose, MOUSEEVENTF_LEFTDOWN);
    ASSERT_EQ(helpProvider->TitleButton(htcClose)->State, 2);
    formtest::MouseAt(r.release);
    formtest::MouseAt(r.release, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(IsWindowVisible(Main->Handle()));
    EXPECT_TRUE(IsWindowVisible(help->Handle()));
    EXPECT_EQ(helpProvider->TitleButton(htcClose)->State, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    formtest::MouseAt(mainClose);
    EXPECT_EQ(main->HotElement, htcClose);
    EXPECT_EQ(main->TitleButton(htcClose)->State, 1);
  }
}

TEST_P(AppFrames, NoSystemCaptionColourAfterACaptionChangeAndReactivation) {
  using formtest::SystemCaptionPixels;
  using formtest::TPixelSource;
  const HWND w = Main->Handle();
  Pump();
  EXPECT_EQ(SystemCaptionPixels(w, TPixelSource::Screen), 0);
  EXPECT_EQ(SystemCaptionPixels(w, TPixelSource::Print), 0);
  SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Orbex test"));
  EXPECT_EQ(SystemCaptionPixels(w, TPixelSource::Screen), 0);
  EXPECT_EQ(SystemCaptionPixels(w, TPixelSource::Print), 0);
  SendMessageA(w, WM_NCACTIVATE, FALSE, 0);
  SendMessageA(w, WM_NCACTIVATE, TRUE, 0);
  Pump();
  EXPECT_EQ(SystemCaptionPixels(w, TPixelSource::Screen), 0);
  EXPECT_EQ(SystemCaptionPixels(w, TPixelSource::Print), 0);
}

TEST_P(AppFrames, FramesDifferBetweenTheStoredSkinsAndWithActivation) {
  using formtest::CaptionStripPixels;
  const HWND w = Main->Handle();
  std::vector<std::vector<COLORREF>> active;
  for (const char* skin : {"Dusk (internal)", "Linden (internal)"}) {
    Main->SkinManager->SetSkinName(skin);
    ASSERT_EQ(Main->SkinManager->GetSkinName(), skin);
    SendMessageA(w, WM_NCACTIVATE, TRUE, 0);
    Pump();
    active.push_back(CaptionStripPixels(w));
    SendMessageA(w, WM_NCACTIVATE, FALSE, 0);
    Pump();
    EXPECT_NE(CaptionStripPixels(w), active.back()) << skin << ": inactive as active";
    SendMessageA(w, WM_NCACTIVATE, TRUE, 0);
    Pump();
    EXPECT_EQ(CaptionStripPixels(w), active.back()) << skin << ": active again";
  }
  EXPECT_NE(active[0], active[1]);
}

TEST_P(AppFrames, DialogsCloseByTheirFrame) {
  // The help form closes on a double click of its icon.
  auto help = Shown(NewComponent<THelpForm>(nullptr));
  TsSkinProvider* helpProvider = ProviderOf(help.get());
  ASSERT_NE(helpProvider, nullptr);
  EXPECT_FALSE(HasSysMenuStyle(help->Handle()));
  // Its close button stands alone and shows the skin's image for that.
  const auto* close = helpProvider->TitleButton(htcClose);
  ASSERT_NE(close, nullptr);
  EXPECT_STREQ(close->MaskKey, "BICLOSEALONE");
  const TsSkinTables* tables = helpProvider->SkinManager()->Tables();
  EXPECT_EQ(close->MaskIndex, FindMaskEntry(tables, FindSectionIndex(tables, "GLOBALINFO"), "GLOBALINFO", "BICLOSEALONE"));
  EXPECT_GE(close->MaskIndex, 0);
  SendMessageA(help->Handle(), WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(help->Handle()));
  // About closes on a press and release of its close button.
  auto about = Shown(NewComponent<TAboutBox>(nullptr));
  const POINT c = ButtonCentre(about.get(), htcClose);
  ASSERT_GE(c.x, 0);
  EXPECT_EQ(HitTest(about->Handle(), c.x, c.y), htcClose);
  Click(about->Handle(), htcClose, c, htcClose, c);
  Pump();
  EXPECT_FALSE(IsWindowVisible(about->Handle()));
}

// Modal dialogs: the close button pressed and released from a timer inside the modal loop.
struct TModalDriver {
  static inline bool SysMenuClear = false;
  static inline bool Pressed = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    auto* f = As<TCustomForm>(Screen->ActiveForm());
    if (f == nullptr || !(f->FormState() & fsModal) || ProviderOf(f) == nullptr) return;
    KillTimer(nullptr, id);
    SysMenuClear = !HasSysMenuStyle(f->Handle());
    const POINT c = ButtonCentre(f, htcClose);
    Pressed = c.x >= 0 && HitTest(f->Handle(), c.x, c.y) == htcClose;
    Click(f->Handle(), htcClose, c, htcClose, c);
  }
  static void Arm() {
    SysMenuClear = Pressed = false;
    SetTimer(nullptr, 0, 150, &Tick);
  }
};

TEST_P(AppFrames, ModalDialogsCloseAsCancelOnTheirCloseButton) {
  {
    std::unique_ptr<TConnectDialog> connect(NewComponent<TConnectDialog>(nullptr));
    TModalDriver::Arm();
    EXPECT_EQ(connect->ShowModal(), mrCancel);
    EXPECT_TRUE(TModalDriver::SysMenuClear);
    EXPECT_TRUE(TModalDriver::Pressed);
  }
  TModalDriver::Arm();
  EXPECT_EQ(MessageDlg("Close me", TMsgDlgType::mtInformation, mbOKCancel, 0), mrCancel);
  EXPECT_TRUE(TModalDriver::SysMenuClear);
  EXPECT_TRUE(TModalDriver::Pressed);
}

// The system menu of "Select device" (the skin's own, as popups are skinned), read while it
// is open: the commands of its items, 0 for a separator.
struct TMenuProbe {
  static inline std::vector<std::intptr_t> Commands;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Commands.clear();
    HWND popup = FindWindowA("#32768", nullptr);
    HMENU menu = popup != nullptr ? reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)) : nullptr;
    for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
      TMenuItem* item = FindMenuItemByCommand(static_cast<std::uint16_t>(GetMenuItemID(menu, i)));
      Commands.push_back(item != nullptr && !item->IsLine() ? item->Tag() : 0);
    }
    EndMenu();
  }
};

TEST_P(AppFrames, SelectDeviceWindowMenuHasMoveAndCloseOnly) {
  auto connect = Shown(NewComponent<TConnectDialog>(nullptr));
  SetTimer(nullptr, 0, 100, &TMenuProbe::Tick);
  const RECT wr = WindowRectOf(connect->Handle());
  const POINT at{(wr.left + wr.right) / 2, wr.top + GetSystemMetrics(SM_CYFRAME) + 4};
  ASSERT_EQ(HitTest(connect->Handle(), at.x, at.y), HTCAPTION);
  SendMessageA(connect->Handle(), WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(at.x, at.y));
  EXPECT_EQ(TMenuProbe::Commands, (std::vector<std::intptr_t>{SC_MOVE, 0, SC_CLOSE}));
}

INSTANTIATE_TEST_SUITE_P(Composition, AppFrames, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "On" : "Off"; });

// The main window with the manager's extended borders on, in a stored skin: the skins have no
// "EXBORDER", so the shadow is the built-in one, and their frame sizes are the defaults.
class AppBorder : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override {
    Recorder.Install();
    Main = formtest::MainWindow(GetParam(), formtest::ScratchPath("border", ".ini"));
    ASSERT_NE(Main->SkinManager, nullptr);
    Main->SkinManager->SetExtendedBorders(true);
    SetForegroundWindow(Main->Handle());
    Pump();
  }
  void TearDown() override {
    Main.reset();
    Pump();
  }
  HWND Border() const {
    TlxBorderForm* b = Main->SkinProvider->BorderForm();
    return b != nullptr ? b->Handle() : nullptr;
  }
  // The last image shown by the border window, checked against the frame cache: its size, the
  // per-pixel alpha at full constant alpha, an opaque frame and a translucent shadow.
  const layeredtest::TUpload& CheckUpload(HWND border) {
    const std::vector<layeredtest::TUpload>& all = Recorder.Uploads[border];
    EXPECT_FALSE(all.empty());
    if (all.empty()) return Empty;
    const layeredtest::TUpload& u = all.back();
    const TBitmap* cache = Main->SkinProvider->SkinData()->CacheBitmap();
    EXPECT_EQ(u.Size.cx, cache->GetWidth());
    EXPECT_EQ(u.Size.cy, cache->GetHeight());
    EXPECT_TRUE(u.PerPixelAlpha);
    EXPECT_EQ(u.Alpha, 255);
    const TRect s = Main->SkinManager->ShadowSizes();
    if (u.Pixels.empty()) return u;
    const int mid = u.Size.cy / 2;
    EXPECT_EQ(u.At(s.Left + 1, mid) >> 24, 255u) << "the frame is opaque";
    EXPECT_LT(u.At(0, mid) >> 24, 255u) << "the shadow is not";
    EXPECT_EQ(u.At(u.Size.cx / 2, s.Top + 2) >> 24, 255u) << "the title is opaque";
    // Where the form's client lies the image is clear, so that the client shows also where the
    // system shapes the window by its alpha and not by its region.
    const RECT br = WindowRectOf(border);
    RECT client{};
    GetClientRect(Main->Handle(), &client);
    POINT at{0, 0};
    ClientToScreen(Main->Handle(), &at);
    OffsetRect(&client, at.x - br.left, at.y - br.top);
    EXPECT_FALSE(IsRectEmpty(&client));
    int covered = 0;
    for (int y = std::max<int>(client.top, 0); y < std::min<int>(client.bottom, u.Size.cy); ++y)
      for (int x = std::max<int>(client.left, 0); x < std::min<int>(client.right, u.Size.cx); ++x) covered += u.At(x, y) != 0;
    EXPECT_EQ(covered, 0) << "pixels over the client";
    return u;
  }
  void Shot(const std::string& state) const {
    Pump(200);
    formtest::Shot(GetDesktopWindow(), 0, "exborder-" + formtest::ShortSkinName(GetParam()) + "-" + state, "ORBEX_BORDER_SHOTS");
  }
  layeredtest::TLayeredRecorder Recorder;
  layeredtest::TUpload Empty;
  std::unique_ptr<TMainForm> Main;
};

TEST_P(AppBorder, MainWindowShowsTheShadowedFrameNormalMaximizedAndInactive) {
  const TsSkinData& d = Main->SkinManager->SkinData();
  EXPECT_EQ(d.ExBorderWidth, 4);
  EXPECT_EQ(d.ExTitleHeight, 30);
  EXPECT_EQ(Main->SkinManager->ShadowSizes(), (TRect{9, 9, 9, 9})) << "the built-in shadow";
  const HWND form = Main->Handle();
  HWND border = Border();
  ASSERT_NE(border, nullptr);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(border, GWL_EXSTYLE)) & 0x08080080u, 0x08080080u);
  EXPECT_EQ(GetWindow(border, GW_OWNER), form);
  EXPECT_TRUE(IsWindowVisible(border));
  EXPECT_EQ(GetWindow(border, GW_HWNDNEXT), form);
  const int frame = GetSystemMetrics(SM_CXFRAME);
  const RECT fr = WindowRectOf(form), br = WindowRectOf(border);
  EXPECT_EQ(br.left, fr.left - (d.ExBorderWidth + 9 - frame));
  EXPECT_EQ(br.top, fr.top - Main->SkinProvider->BorderForm()->FormTopOffset());
  const layeredtest::TUpload normal = CheckUpload(border);
  EXPECT_EQ(normal.Size.cx, br.right - br.left);
  EXPECT_EQ(normal.Size.cy, br.bottom - br.top);
  // The bar's items lie on the menu line: the title's rows above them are as beside them.
  RECT item{};
  ASSERT_TRUE(GetMenuItemRect(form, GetMenu(form), 0, &item));
  const int ix = (item.left + item.right) / 2 - br.left, iy = item.top - br.top;
  for (int y = iy - 6; y < iy && !normal.Pixels.empty(); ++y) EXPECT_EQ(normal.At(ix, y), normal.At(ix + 300, y)) << y;
  Shot("normal");

  // Another window active: the form's frame and its shadow show the inactive state.
  const std::vector<std::uint32_t> active = normal.Pixels;
  {
    TForm other(nullptr);
    other.SetBounds(800, 500, 300, 200);
    other.Show();
    SetForegroundWindow(other.Handle());
    Pump();
    EXPECT_FALSE(Main->SkinProvider->FormActive);
    ASSERT_EQ(Border(), border);
    EXPECT_NE(CheckUpload(border).Pixels, active);
    Shot("inactive");
  }
  SetForegroundWindow(form);
  Pump();

  ShowWindow(form, SW_MAXIMIZE);
  Pump();
  ASSERT_TRUE(IsZoomed(form));
  border = Border();
  ASSERT_NE(border, nullptr);
  EXPECT_TRUE(IsWindowVisible(border));
  const layeredtest::TUpload max = CheckUpload(border);
  const RECT mr = WindowRectOf(border);
  EXPECT_EQ(max.Size.cx, mr.right - mr.left);
  EXPECT_EQ(max.Size.cy, mr.bottom - mr.top);
  // Its region keeps to the work area's width, and its title reaches the screen's top.
  const TRect work = MonitorWorkArea(Main.get());
  TOwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(border, rgn.Get()), ERROR);
  RECT box{};
  GetRgnBox(rgn.Get(), &box);
  EXPECT_GE(mr.left + box.left, work.Left);
  EXPECT_LE(mr.left + box.right, work.Right);
  EXPECT_LE(mr.top + box.top, work.Top);
  // The title's text lies on the screen: no row of the title above the screen's top carries
  // ink, the rows below it down to the menu line do; and the rows just above the menu line are
  // the title's, as beside the bar's items.
  ASSERT_TRUE(GetMenuItemRect(form, GetMenu(form), 0, &item));
  const int top = work.Top - mr.top, left = work.Left - mr.left, line = item.top - mr.top;
  const int mx = (item.left + item.right) / 2 - mr.left;
  const auto inked = [&](int y) {
    for (int x = left; x < left + 400; ++x)
      if (max.At(x, y) != max.At(max.Size.cx / 2, y)) return true;
    return false;
  };
  ASSERT_FALSE(max.Pixels.empty());
  ASSERT_GT(line, top);
  for (int y = std::max(top - 6, 0); y < top; ++y) EXPECT_FALSE(inked(y)) << "title row above the screen " << top - y;
  bool text = false;
  for (int y = top; y < line; ++y) text = text || inked(y);
  EXPECT_TRUE(text) << "the caption on the screen";
  for (int y = line - 3; y < line; ++y) EXPECT_EQ(max.At(mx, y), max.At(mx + 300, y)) << line - y;
  Shot("maximized");
  ShowWindow(form, SW_RESTORE);
  Pump();
  // Extended borders off again: the shown form loses its border window at once.
  Main->SkinManager->SetExtendedBorders(false);
  Pump();
  EXPECT_EQ(Border(), nullptr);
  EXPECT_FALSE(IsWindow(border));
}

INSTANTIATE_TEST_SUITE_P(StoredSkins, AppBorder, formtest::StoredSkins(),
                         [](const auto& info) { return formtest::ShortSkinName(info.param); });

}  // namespace
