// The program's skinned cool bar, tool bar, labels and title icon in both stored skins: the grip
// left of the tool bar; the tool buttons' faces, disabled look, dividers, image edges and the
// "Skin" button while its menu is open; the labels of the About box, the help form and "Select
// device" in the "FORM" font colour, the port label 4 pixels left of its box, the forum link's
// hover colour; the title icon from the program's own icons; no stale pixels after a round of
// switches.
#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/win/About.h"
#include "app/win/ConnectDlg.h"
#include "app/win/HelpFrm.h"
#include "framework/win/ExtCtrls.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sCoolBar.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sToolBar.h"
#include "skin/core/sButtonCore.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/sFormMetrics.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/forms/sFormRegion.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/app/mainform/AppTestUtil.h"
#include "tests/win/skin/forms/FormTestUtil.h"

using namespace apptest;
using formtest::MouseAt;
using formtest::Pump;

namespace {

// The window's colours as the screen shows them, row by row.
std::vector<std::uint32_t> Capture(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  auto dib = CreateBitmap32(r.right - r.left, r.bottom - r.top);
  HDC screen = GetDC(nullptr);
  BitBlt(dib->Canvas()->GetHandle(), 0, 0, dib->GetWidth(), dib->GetHeight(), screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  std::vector<std::uint32_t> out;
  const TlxPixelBuffer px = TargetPixels32(dib.get());
  for (int y = 0; y < px.Height; ++y)
    for (int x = 0; x < px.Width; ++x) out.push_back(GetPix(px, x, y) & 0xFFFFFF);
  return out;
}

template <class T>
std::unique_ptr<T> Shown() {
  std::unique_ptr<T> f(NewComponent<T>(nullptr));
  f->Show();
  Pump(100);
  return f;
}

class SkinnedControls : public testing::Test {
protected:
  void SetUp() override {
    Ini = ScratchIni("skinned");
    Main = MakeMainForm(Ini);
    Main->Show();
    SetForegroundWindow(Main->Handle());
    Pump(100);
  }
  void TearDown() override {
    Main.reset();
    DeleteFileA(Ini.c_str());
  }
  const TsGenState& SectionOf(const char* name) {
    const TsSkinTables* t = Main->SkinManager->Tables();
    return t->GeneralData[static_cast<size_t>(FindSectionIndex(t, name))].Props[0];
  }
  std::string Ini;
  std::unique_ptr<TMainForm> Main;
};

// The grip's dots vary along a row; the bar's fill beside them changes only from top to bottom.
int RowsWithDots(TsCoolBar* bar, TControl* tools) {
  const int grip = bar->GripWidth(bar->Bands()->Items(0)), x = tools->Left() - grip;
  auto b = CreateBitmap32(bar->ClientWidth(), bar->ClientHeight());
  HDC dc = b->Canvas()->GetHandle();
  bar->PaintToDC(dc, false);
  int rows = 0;
  for (int y = tools->Top(); y < tools->Top() + tools->Height(); ++y)
    for (int i = x + 1; i < x + grip - 2; ++i)
      if (GetPixel(dc, i, y) != GetPixel(dc, x, y)) {
        ++rows;
        break;
      }
  return rows;
}

TEST_F(SkinnedControls, GripLabelsAndLinkFollowBothSkins) {
  auto about = Shown<TAboutBox>();
  auto help = Shown<THelpForm>();
  auto connect = Shown<TConnectDialog>();
  TsEditLabel* port = connect->cbPort->BoundLabel()->Label();
  ASSERT_NE(port, nullptr);
  std::vector<TsLabel*> labels{about->lblProductName, connect->sLabel1, port};
  for (int i = 0; i < help->ControlCount(); ++i)
    if (auto* l = As<TsLabel>(help->Controls(i)); l != nullptr && l != help->sWebLabel1) labels.push_back(l);
  for (bool light : {false, true}) {
    if (light) Main->Light1Click(Main.get());
    Pump(100);
    EXPECT_EQ(Main->CoolBar1->GripName(), "GRIPH");
    EXPECT_GT(RowsWithDots(Main->CoolBar1, Main->ToolBar1), 3) << light;
    for (TsLabel* l : labels) EXPECT_EQ(l->Font()->GetColor(), SectionOf("FORM").FontColor[0]) << light << l->Name();
    EXPECT_EQ(port->Caption(), "Port name:");
    EXPECT_EQ(port->Left() + port->Width() + 4, connect->cbPort->Left());
    const TColor top = SectionOf("GLOBALINFO").FontColor[2];
    help->sWebLabel1->Perform(CM_MOUSEENTER, 0, 0);
    Pump(60);
    EXPECT_EQ(help->sWebLabel1->Font()->GetColor(), top == -1 ? 0x0000FF : top) << light;
    help->sWebLabel1->Perform(CM_MOUSELEAVE, 0, 0);
  }
}

// ---------------------------------------------------------------------------------------------
// The tool bar: 0 Connect, 1 Disconnect (disabled while not connected), 2 a separator, ...,
// 7 the "Skin" drop-down.

// A button painted by the bar's own painter in `state` into an image in client coordinates, as
// large as the window (the items may reach below the client area).
std::unique_ptr<TBitmap> PaintedButton(TsToolBar* bar, int index, TCustomDrawState state) {
  auto b = CreateBitmap32(bar->Width(), bar->Height());
  TTBCustomDrawFlags flags = 0;
  bool defaultDraw = true;
  bar->Canvas()->SetHandle(b->Canvas()->GetHandle());
  bar->OnAdvancedCustomDrawButton(bar, bar->Buttons(index), state, cdPrePaint, flags, defaultDraw);
  bar->Canvas()->SetHandle(nullptr);
  GdiFlush();
  return b;
}

std::uint32_t Pixel(TBitmap* b, TPoint p) { return GetPix(TargetPixels32(b), p.X, p.Y) & 0xFFFFFF; }

int Differing(TBitmap* a, TBitmap* b, const TRect& r) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += Pixel(a, TPoint{x, y}) != Pixel(b, TPoint{x, y});
  return n;
}

// The screen colour at a client point of a window.
std::uint32_t ScreenPixel(HWND wnd, TPoint p) {
  HDC dc = GetDC(wnd);
  const COLORREF c = GetPixel(dc, p.X, p.Y);
  ReleaseDC(wnd, dc);
  return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

// A point of the face clear of image and caption: 4 pixels in from the left, in the middle.
TPoint FacePoint(TsToolBar* bar, int index) {
  const TRect r = bar->ItemRect(index);
  return TPoint{r.Left + 4, (r.Top + r.Bottom) / 2};
}

std::uint32_t SkinFaceInMenu = 0;
TsToolBar* BarInMenu = nullptr;

void CALLBACK ReadSkinButton(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  SkinFaceInMenu = ScreenPixel(BarInMenu->Handle(), FacePoint(BarInMenu, 7));
  EndMenu();
}

TEST_F(SkinnedControls, ToolBarInBothSkins) {
  TsToolBar* bar = Main->ToolBar1;
  ASSERT_EQ(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 8);
  for (bool light : {false, true}) {
    if (light) Main->Light1Click(Main.get());
    Pump(100);
    EXPECT_EQ(SendSkinCommand(bar->Handle(), SkinCmdIsSkinned), 1) << light;
    EXPECT_EQ(SendSkinCommand(Main->CoolBar1->Handle(), SkinCmdIsSkinned), 1) << light;
    // Faces: normal shows the bar, hot and pressed their own; the hot face as the mouse finds it.
    const TPoint face = FacePoint(bar, 0);
    auto normalFace = PaintedButton(bar, 0, 0), hotFace = PaintedButton(bar, 0, cdsHot),
         pressedFace = PaintedButton(bar, 0, cdsSelected);
    const std::uint32_t normal = Pixel(normalFace.get(), face), hot = Pixel(hotFace.get(), face);
    EXPECT_NE(normal, hot) << light;
    EXPECT_GT(Differing(hotFace.get(), pressedFace.get(), bar->ItemRect(0)), 20) << light;
    EXPECT_EQ(ScreenPixel(bar->Handle(), face), normal) << light;
    POINT at{face.X, face.Y};
    ClientToScreen(bar->Handle(), &at);
    MouseAt(at);
    EXPECT_EQ(ScreenPixel(bar->Handle(), face), hot) << light;
    MouseAt(formtest::BesideTheWindow(Main->Handle()));
    // Disabled Disconnect: 40 percent of the enabled button over 60 percent of the bar.
    TToolButton* disconnect = bar->Buttons(1);
    ASSERT_FALSE(disconnect->Enabled());
    disconnect->SetEnabled(true);
    auto on = PaintedButton(bar, 1, 0);
    disconnect->SetEnabled(false);
    auto off = PaintedButton(bar, 1, cdsDisabled);
    const TPoint edge = bar->EdgeOffset();
    TRect r1 = bar->ItemRect(1);
    r1.Bottom = std::min(r1.Bottom, bar->Height() - edge.Y);   // what the window shows
    // Read after the paints: a paint may make the cache anew.
    const TlxPixelBuffer cache = TargetPixels32(bar->SkinData()->CacheBitmap());
    int unblended = 0;
    for (int y = r1.Top; y < r1.Bottom; ++y)
      for (int x = r1.Left; x < r1.Right; ++x)
        for (int shift : {0, 8, 16}) {
          const int a = Pixel(on.get(), TPoint{x, y}) >> shift & 0xFF, c = GetPix(cache, x + edge.X, y + edge.Y) >> shift & 0xFF;
          unblended += std::abs(static_cast<int>(Pixel(off.get(), TPoint{x, y}) >> shift & 0xFF) - (a * 4 + c * 6) / 10) > 2;
        }
    EXPECT_EQ(unblended, 0) << light;
    // Image edges: where the image is partly transparent the face shows through it, so the
    // normal and the hot button differ there; where it is opaque they agree.
    const TRect image = ToolButtonImageRect(TsToolButtonLayout{r1.Width(), r1.Height(), 32, 32, false, true, false,
                                                               bar->SkinData()->CacheBitmap()->Canvas()->TextHeight("A"), 0});
    const TRect r0 = bar->ItemRect(0);
    const TRect inner{r0.Left + image.Left + 1, r0.Top + image.Top + 1, r0.Left + image.Right - 1, r0.Top + image.Bottom - 1};
    const int shown = Differing(normalFace.get(), hotFace.get(), inner);
    EXPECT_TRUE(shown > 0 && shown < inner.Width() * inner.Height()) << light << " " << shown;
    // Separators: the divider line in the middle of the strip, the bar beside it.
    auto print = CreateBitmap32(bar->Width(), bar->Height());
    SendMessageA(bar->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(print->Canvas()->GetHandle()), PRF_CLIENT | PRF_NONCLIENT);
    GdiFlush();
    const TRect sep = bar->ItemRect(2);
    const int mid = sep.Left + sep.Width() / 2 + edge.X, y = (sep.Top + sep.Bottom) / 2 + edge.Y;
    EXPECT_NE(Pixel(print.get(), TPoint{mid, y}), GetPix(cache, mid, y) & 0xFFFFFF) << light;
    EXPECT_EQ(Pixel(print.get(), TPoint{sep.Left + edge.X, y}), GetPix(cache, sep.Left + edge.X, y) & 0xFFFFFF) << light;
    // The "Skin" button pressed while its menu is open (a click on its arrow part).
    const TRect r7 = bar->ItemRect(7);
    POINT arrow{r7.Right - 4, (r7.Top + r7.Bottom) / 2};
    ClientToScreen(bar->Handle(), &arrow);
    BarInMenu = bar;
    SkinFaceInMenu = 0;
    SetForegroundWindow(Main->Handle());
    SetTimer(nullptr, 0, 300, &ReadSkinButton);
    formtest::MouseInput(arrow);
    formtest::MouseInput(arrow, MOUSEEVENTF_LEFTDOWN);
    formtest::MouseInput(arrow, MOUSEEVENTF_LEFTUP);
    Pump(600);
    EXPECT_EQ(SkinFaceInMenu, Pixel(PaintedButton(bar, 7, cdsSelected).get(), FacePoint(bar, 7))) << light;
    MouseAt(formtest::BesideTheWindow(Main->Handle()));
  }
}

// The main window has no icon of its own: its title shows the program's small icon. Where the
// icon is opaque (the same drawn on black and on white) the title's pixel is the icon's; with
// the program's icons freed the system's application icon shows instead.
TEST_F(SkinnedControls, TitleIconFromTheProgramsIcons) {
  ASSERT_TRUE(AppLargeIcon() != nullptr && AppSmallIcon() != nullptr && !AppSmallIcon()->Empty());
  TsSkinProvider* p = Main->SkinProvider;
  const TRect r = IconRect(p->Geometry(), SystemMetrics());
  ASSERT_TRUE(!r.IsEmpty() && r.Height() <= 16);
  auto onBlack = CreateBitmap32(r.Width(), r.Height()), onWhite = CreateBitmap32(r.Width(), r.Height());
  PatBlt(onWhite->Canvas()->GetHandle(), 0, 0, r.Width(), r.Height(), WHITENESS);
  for (TBitmap* b : {onBlack.get(), onWhite.get()})
    DrawIconEx(b->Canvas()->GetHandle(), 0, 0, AppSmallIcon()->GetHandle(), r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
  GdiFlush();
  const TlxPixelBuffer black = TargetPixels32(onBlack.get()), white = TargetPixels32(onWhite.get());
  // How many opaque icon pixels the title does not show.
  auto missing = [&] {
    p->RepaintFormFrame();
    const TlxPixelBuffer cache = TargetPixels32(p->SkinData()->CacheBitmap());
    int n = 0;
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x) {
        const std::uint32_t c = GetPix(black, x, y) & 0xFFFFFF;
        n += c == (GetPix(white, x, y) & 0xFFFFFF) && (GetPix(cache, r.Left + x, r.Top + y) & 0xFFFFFF) != c;
      }
    return n;
  };
  EXPECT_EQ(missing(), 0);
  // The small icon draws as the icon file's own 16-pixel image (extracted, Wine's garbled it).
  auto designed = CreateBitmap32(r.Width(), r.Height());
  PatBlt(designed->Canvas()->GetHandle(), 0, 0, r.Width(), r.Height(), WHITENESS);
  HANDLE own = LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, 16, 16, 0);
  DrawIconEx(designed->Canvas()->GetHandle(), 0, 0, static_cast<HICON>(own), r.Width(), r.Height(), 0, nullptr,
             DI_NORMAL);
  DestroyIcon(static_cast<HICON>(own));
  GdiFlush();
  const TlxPixelBuffer d = TargetPixels32(designed.get());
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) ASSERT_EQ(GetPix(d, x, y), GetPix(white, x, y)) << x << "," << y;
  DoneRegisteredFormsUnit();
  EXPECT_GT(missing(), 0);
  InitRegisteredFormsUnit();
  EXPECT_EQ(missing(), 0);
}

// The main window after a round of switches, the tool bar and the trace included; the About
// logo.
TEST_F(SkinnedControls, SwitchesLeaveNoStalePixels) {
  auto about = Shown<TAboutBox>();
  HWND logo = about->imgLogo->Parent()->Handle();
  const auto logoBefore = Capture(logo);
  about->Hide();
  SetForegroundWindow(Main->Handle());
  Pump(100);
  const auto before = Capture(Main->Handle());
  Main->Light1Click(Main.get());
  Pump(100);
  Main->Dark1Click(Main.get());
  Pump(200);
  const auto after = Capture(Main->Handle());
  int stale = 0;
  for (size_t i = 0; i < after.size(); ++i) stale += after[i] != before[i];
  EXPECT_EQ(stale, 0);
  about->Show();
  Pump(100);
  EXPECT_TRUE(Capture(logo) == logoBefore);
}

}  // namespace
