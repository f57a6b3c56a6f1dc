// The skinned status bar and panel: panel rectangles with and without the size grip, a text
// set through the system control repainted from a rebuilt cache, dividers, panel masks and the
// grip from the skin's master bitmap, restyling only by the own manager, the panel's section
// following its outer bevel, a see-through panel showing its parent, and both fills in their
// section's colour. The skins are small folders written to a scratch directory.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <tuple>

#include "framework/win/Messages.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStatusBar.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/win/sBitmap32.h"
#include "tests/win/skin/ScratchSkins.h"

namespace {

constexpr COLORREF BarColour = 0x123456, TextColour = 0x00FFFF, PanelColour = 0x224466, LowColour = 0x665544;
// Solid pieces of the master bitmap.
constexpr COLORREF DividerColour = 0x0000FF, GripColour = 0x00FF00, PanelMaskColour = 0xFF0000,
                   RingColour = 0xC0C000;

const std::string Options =
    "[GLOBALINFO]\r\nVERSION=7.2\r\nSTATES=1\r\nCOLOR=12632256\r\n"
    "[STATUSBAR]\r\nSTATES=1\r\nCOLOR=" + std::to_string(BarColour) + "\r\nFONTCOLOR=" + std::to_string(TextColour) +
    "\r\n[PANEL]\r\nSTATES=1\r\nCOLOR=" + std::to_string(PanelColour) + "\r\nFONTCOLOR=16777215\r\n"
    "[PANEL_LOW]\r\nSTATES=1\r\nCOLOR=" + std::to_string(LowColour) + "\r\n"
    "[CHECKBOX]\r\nSTATES=1\r\nCOLOR=0\r\nTRANSPARENCY=100\r\n";

// The master bitmap's pieces: divider 4 x 10 at (0, 0), grip 12 x 12 at (4, 0) over its opaque
// band, panel mask 6 x 10 at (16, 0), one-pixel ring 6 x 6 at (22, 0). Frames stretch and keep
// the section fill in their centre.
const std::string DividerMask = "^0000 0000 0004 0010 0002 0002 0002 0002 1 0 1 0";
const std::string GripMask = "@0004 0000 0016 0024 1 1";
const std::string PanelMask = "^0016 0000 0022 0010 0002 0002 0002 0002 1 0 1 0";
const std::string RingMask = "^0022 0000 0028 0006 0001 0001 0001 0001 1 0 1 0";

// A bar with dividers, a one-pixel ring and a grip, a gradient section whose cache answers its
// children, and a see-through section with a ring.
const std::string DividedOptions =
    "[GLOBALINFO]\r\nVERSION=7.2\r\nSTATES=1\r\nCOLOR=12632256\r\nMASTERBITMAP=MASTER.BMP\r\nGRIPIMAGE=" +
    GripMask + "\r\n[STATUSBAR]\r\nSTATES=1\r\nCOLOR=" + std::to_string(BarColour) + "\r\nFONTCOLOR=" +
    std::to_string(TextColour) + "\r\nBORDERSMASK=" + RingMask + "\r\n[DIVIDER]\r\nSTATES=1\r\nCOLOR=0\r\nBORDERSMASK=" +
    DividerMask + "\r\n[DEEP]\r\nSTATES=1\r\nCOLOR=3355443\r\nGRADIENTPERCENT=100\r\n"
    "GRADIENTDATA=3353898;13421772;100;0;0\r\n[SEE]\r\nSTATES=1\r\nCOLOR=0\r\nTRANSPARENCY=100\r\nBORDERSMASK=" +
    RingMask + "\r\n";

// A bar with a mask per panel; its dividers are not drawn.
const std::string MaskedOptions =
    "[GLOBALINFO]\r\nVERSION=7.2\r\nSTATES=1\r\nCOLOR=12632256\r\nMASTERBITMAP=MASTER.BMP\r\n"
    "[STATUSBAR]\r\nSTATES=1\r\nCOLOR=" + std::to_string(BarColour) + "\r\nFONTCOLOR=" + std::to_string(TextColour) +
    "\r\nSTATUSPANELMASK=" + PanelMask + "\r\n[DIVIDER]\r\nSTATES=1\r\nCOLOR=0\r\nBORDERSMASK=" + DividerMask + "\r\n";

const char* const Texts[] = {"0.1s/div", "HOLD", "5mV/div", "x1", "AC"};

std::uint32_t PixelOf(COLORREF c) {
  return 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

void WriteSkin(const std::string& folder, const std::string& options, bool master) {
  CreateDirectoryA(folder.c_str(), nullptr);
  std::ofstream(folder + "\\Options.dat", std::ios::binary | std::ios::trunc) << options;
  if (!master) return;
  auto bmp = CreateBitmap32(28, 24);
  const TlxPixelBuffer v = BitmapPixels(bmp.get());
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 28; ++x) {
      const bool band = y >= 12 && x >= 4 && x < 16;
      SetPix(v, x, y, band ? 0xFF000000u : PixelOf(x < 4 ? DividerColour : x < 16 ? GripColour : x < 22 ? PanelMaskColour : RingColour));
    }
  bmp->SaveToFile(folder + "\\MASTER.BMP");
}

// What a control paints when asked to print itself into a 32-bit image.
class TPrinted {
public:
  explicit TPrinted(TWinControl* c) : W(c->Width()), H(c->Height()) {
    Bmp.SetPixelFormat(TPixelFormat::pf32bit);
    Bmp.SetSize(W, H);
    SendMessageA(c->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(Bmp.Canvas()->GetHandle()), PRF_CLIENT);
  }
  COLORREF At(int x, int y) { return GetPixel(Bmp.Canvas()->GetHandle(), x, y); }
  int Count(const TRect& r, COLORREF c) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += At(x, y) == c ? 1 : 0;
    return n;
  }
  int W, H;
  TBitmap Bmp;
};

class Bars : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    Dir = formtest::ScratchPath("bars");
    CreateDirectoryA(Dir.c_str(), nullptr);
    WriteSkin(Dir + "\\Plain", Options, false);
    WriteSkin(Dir + "\\Divided", DividedOptions, true);
    WriteSkin(Dir + "\\Masked", MaskedOptions, true);
  }
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(Dir);
    M->SetSkinName("Plain");
    ASSERT_TRUE(M->SkinData().Active);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 760, 300);
    Form->HandleNeeded();
    Form->Show();
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  void UseSkin(const char* name) {
    M->SetSkinName(name);
    ASSERT_TRUE(M->SkinData().Active);
  }
  TsStatusBar* Bar(bool grip) {
    auto* b = new TsStatusBar(Form.get());
    b->SetSizeGrip(grip);
    for (int w : {60, 60, 70, 50, 50}) b->Panels()->Add()->SetWidth(w);
    for (int i = 0; i < 5; ++i) b->Panels()->Items(i)->SetText(Texts[i]);
    b->SetParent(Form.get());
    b->SetAlign(alNone);
    b->SetBounds(0, 250, 740, 19);
    b->SkinData()->AfterLoad();
    b->HandleNeeded();
    return b;
  }
  // A skinned panel on `parent` (the form when null), in its default section unless named.
  TsPanel* Panel(const TRect& r, const char* section = nullptr, TWinControl* parent = nullptr) {
    auto* p = new TsPanel(Form.get());
    p->SetParent(parent != nullptr ? parent : Form.get());
    p->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    if (section != nullptr) p->SkinData()->SetSkinSection(section);
    p->SkinData()->AfterLoad();
    p->HandleNeeded();
    return p;
  }
  static std::string Dir;
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
};
std::string Bars::Dir;

TEST_F(Bars, PanelRectanglesLeaveRoomForTheGrip) {
  const std::vector<int> widths{60, 60, 70, 50, 50};
  auto plain = StatusPanelRects(widths, false, false, 740, 19);
  auto grip = StatusPanelRects(widths, false, true, 740, 19);
  ASSERT_EQ(plain.size(), 5u);
  EXPECT_EQ(plain[1].Left, 60);
  EXPECT_EQ(plain[3].Right, 240);
  EXPECT_EQ(plain[4].Right, 740);
  EXPECT_EQ(grip[4].Right, 740 - 18);
  EXPECT_EQ(grip[0].Right, 60);
  auto simple = StatusPanelRects(widths, true, true, 740, 19);
  ASSERT_EQ(simple.size(), 1u);
  EXPECT_EQ(simple[0], (TRect{0, 1, 740 - 18 - 1, 18}));
  EXPECT_EQ(StatusPanelRects({}, false, false, 100, 19).size(), 1u);
  // A bar reads its window: with and without grip.
  TsStatusBar* withGrip = Bar(true);
  EXPECT_EQ(withGrip->PanelRects().back().Right, withGrip->Width() - 18);
  EXPECT_EQ(withGrip->PanelRects()[2].Right, 190);
  TsStatusBar* without = Bar(false);
  EXPECT_EQ(without->PanelRects().back().Right, without->Width());
}

TEST_F(Bars, StatusBarShowsPlainTextsAndRepaintsAChangedOne) {
  TsStatusBar* b = Bar(true);
  for (int i = 0; i < 5; ++i) {
    char text[32] = {};
    SendMessageA(b->Handle(), SB_GETTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, Texts[i]);
  }
  EXPECT_EQ(static_cast<COLORREF>(SendSkinCommand(b->Handle(), SkinCmdQueryColor)), BarColour);
  // Neither a panel mask nor a divider in the skin: each panel's text on the section's fill,
  // and the fill right across the panels' edges.
  TPrinted before(b);
  EXPECT_EQ(b->SkinData()->BGChanged, 0);
  const std::vector<TRect> panels = b->PanelRects();
  for (const TRect& r : panels) EXPECT_GT(before.Count(r, TextColour), 5) << r.Left;
  for (int edge : {60, 120, 190, 240}) {
    const TRect across{edge - 3, 1, edge + 3, 18};
    EXPECT_EQ(before.Count(across, BarColour), across.Width() * across.Height()) << edge;
  }
  EXPECT_EQ(before.At(730, 3), BarColour);
  // The system control keeps the text; the bar marks its cache stale and paints it anew.
  SendMessageA(b->Handle(), SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(""));
  EXPECT_EQ(b->SkinData()->BGChanged, 1);
  EXPECT_EQ(b->PanelText(2), "");
  TPrinted after(b);
  EXPECT_EQ(after.Count(panels[2], TextColour), 0);
  EXPECT_GT(after.Count(panels[1], TextColour), 10);
  // The window text is drawn by no panel, yet any text change leaves the cache stale.
  b->SkinData()->BGChanged = 0;
  SendMessageA(b->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
  EXPECT_EQ(b->SkinData()->BGChanged, 1);
}

TEST_F(Bars, StatusBarDrawsDividersRingAndGripFromTheSkin) {
  UseSkin("Divided");
  TsStatusBar* b = Bar(true);
  ASSERT_EQ(b->SkinData()->BorderWidth(), 1);
  TPrinted p(b);
  // The ring of the section's border mask, all round.
  for (TPoint pt : {TPoint{100, 0}, TPoint{0, 9}, TPoint{739, 9}, TPoint{100, 18}})
    EXPECT_EQ(p.At(pt.X, pt.Y), RingColour) << pt.X << "," << pt.Y;
  // A strip as wide as the divider's side borders, centred on each panel's right edge.
  for (int edge : {60, 120, 190, 240}) {
    for (int x = edge - 2; x < edge + 2; ++x)
      for (int y : {1, 9, 17}) EXPECT_EQ(p.At(x, y), DividerColour) << x << "," << y;
    EXPECT_NE(p.At(edge - 3, 9), DividerColour) << edge;
    EXPECT_NE(p.At(edge + 2, 9), DividerColour) << edge;
  }
  EXPECT_EQ(p.Count(TRect{242, 0, 740, 19}, DividerColour), 0);
  // The last 18 pixels inside the ring hold the grip's square in the corner on the section's
  // fill, and nothing else.
  const TRect tail{740 - 1 - 18, 1, 739, 18}, grip{739 - 12, 18 - 12, 739, 18};
  EXPECT_EQ(p.Count(tail, BarColour), tail.Width() * tail.Height() - 12 * 12);
  EXPECT_EQ(p.Count(grip, BarColour), 0);
  for (TPoint pt : {TPoint{grip.Left, grip.Top}, TPoint{grip.Right - 1, grip.Bottom - 1}}) {
    const COLORREF c = p.At(pt.X, pt.Y);
    EXPECT_GT(GetGValue(c), 2 * std::max(GetRValue(c), GetBValue(c))) << pt.X << "," << pt.Y;
  }
  // The texts still show, between the dividers.
  EXPECT_GT(p.Count(TRect{241, 1, 720, 18}, TextColour), 5);
  // The screen gets the ring when the frame is painted and the rest with the client.
  RedrawWindow(b->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC screen = GetWindowDC(b->Handle());
  EXPECT_EQ(GetPixel(screen, 100, 0), RingColour);
  EXPECT_EQ(GetPixel(screen, 60, 9), DividerColour);
  EXPECT_EQ(GetPixel(screen, 738, 17), p.At(738, 17));
  // The frame's repaint alone: the ring, and nothing inside it.
  PatBlt(screen, 0, 0, 740, 19, BLACKNESS);
  SendMessageA(b->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(GetPixel(screen, 100, 0), RingColour);
  EXPECT_EQ(GetPixel(screen, 739, 9), RingColour);
  EXPECT_EQ(GetPixel(screen, 60, 9), 0u);
  ReleaseDC(b->Handle(), screen);
}

TEST_F(Bars, StatusBarPaintsItsPanelMaskOverEachPanelInsteadOfDividers) {
  UseSkin("Masked");
  TsStatusBar* b = Bar(false);
  TPrinted p(b);
  EXPECT_EQ(p.Count(TRect{0, 0, 740, 19}, DividerColour), 0);
  for (const TRect& r : b->PanelRects()) {
    // The mask over the panel less a pixel all round: its two-pixel frame, the fill inside.
    EXPECT_NE(p.At(r.Left, 9), PanelMaskColour) << r.Left;
    EXPECT_EQ(p.At(r.Left + 1, 9), PanelMaskColour) << r.Left;
    EXPECT_EQ(p.At(r.Left + 2, 9), PanelMaskColour) << r.Left;
    EXPECT_EQ(p.At(r.Right - 2, 9), PanelMaskColour) << r.Left;
    EXPECT_EQ(p.At((r.Left + r.Right) / 2, 1), PanelMaskColour) << r.Left;
    EXPECT_EQ(p.At(r.Left + 3, 4), BarColour) << r.Left;
    EXPECT_GT(p.Count(r, TextColour), 5) << r.Left;
  }
  // An owner-drawn panel is drawn by the handler, on the bar's canvas, into the cache.
  b->Panels()->Items(3)->SetStyle(psOwnerDraw);
  b->OnDrawPanel = [](TStatusBar* sender, TStatusPanel*, const TRect& r) {
    sender->Canvas()->Brush()->SetColor(TColor(LowColour));
    sender->Canvas()->FillRect(r);
  };
  EXPECT_EQ(b->SkinData()->BGChanged, 1);
  TPrinted drawn(b);
  EXPECT_EQ(drawn.At(215, 9), LowColour);
  EXPECT_EQ(drawn.Count(TRect{191, 1, 239, 18}, TextColour), 0);
  EXPECT_EQ(drawn.At(250, 9), p.At(250, 9));
  RECT part{};
  SendMessageA(b->Handle(), SB_GETRECT, 3, reinterpret_cast<LPARAM>(&part));
  EXPECT_EQ(b->SkinData()->BGChanged, 1);
  // A simple bar: one mask over the whole bar.
  SendMessageA(b->Handle(), SB_SIMPLE, TRUE, 0);
  EXPECT_EQ(b->SkinData()->BGChanged, 1);
  TPrinted simple(b);
  EXPECT_EQ(simple.At(0, 9), PanelMaskColour);
  EXPECT_EQ(simple.At(739, 9), PanelMaskColour);
  EXPECT_EQ(simple.At(61, 9), BarColour);
}

TEST_F(Bars, RestyleCommandsOfAnotherManagerChangeNothing) {
  TsStatusBar* b = Bar(false);
  TPrinted first(b);
  ASSERT_EQ(b->SkinData()->BGChanged, 0);
  // A mark in the cache shows whether the bar rebuilt it.
  HDC cache = b->SkinData()->CacheBitmap()->Canvas()->GetHandle();
  SetPixelV(cache, 100, 9, 0x0A0B0C);
  const HWND wnd = b->Handle();
  TsSkinManager other(nullptr);
  ASSERT_NE(TsSkinManager::DefaultManager(), &other);
  auto send = [&](std::uint16_t command, TsSkinManager* m) {
    const WPARAM wp = MakeSkinWParam(command);
    TSkinCommandSendScope scope(wp, reinterpret_cast<LPARAM>(m), b->Handle());
    SendMessageA(b->Handle(), WM_SKINCOMMAND, wp, reinterpret_cast<LPARAM>(m));
  };
  for (std::uint16_t command : {SkinCmdSkinLoaded, SkinCmdUnskin, SkinCmdRedrawSkin}) send(command, &other);
  EXPECT_EQ(b->Handle(), wnd);
  EXPECT_EQ(b->SkinData()->BGChanged, 0);
  EXPECT_EQ(GetPixel(cache, 100, 9), 0x0A0B0Cu);
  EXPECT_TRUE(b->SkinData()->HasSkin());
  EXPECT_EQ(SendSkinCommand(b->Handle(), SkinCmdIsSkinned), 1);
  // Its own manager's redraw rebuilds the cache (through the frame's repaint).
  send(SkinCmdRedrawSkin, M.get());
  EXPECT_EQ(GetPixel(b->SkinData()->CacheBitmap()->Canvas()->GetHandle(), 100, 9), BarColour);
}

TEST_F(Bars, PanelSectionFollowsTheBevelOnlyFromItsDefaults) {
  TsPanel* p = Panel(TRect{10, 10, 210, 110});
  EXPECT_EQ(p->SkinData()->GetSkinSection(), "PANEL");
  TPrinted raised(p);
  EXPECT_EQ(raised.At(100, 50), PanelColour);
  // The bevel's setter repaints, and the repaint request takes the section along.
  p->SetBevelOuter(bvNone);
  EXPECT_EQ(p->SkinData()->GetSkinSection(), "CHECKBOX");
  p->SetBevelOuter(bvLowered);
  EXPECT_EQ(p->SkinData()->GetSkinSection(), "PANEL_LOW");
  TPrinted lowered(p);
  EXPECT_EQ(lowered.At(100, 50), LowColour);
  p->SetBevelOuter(bvSpace);
  EXPECT_EQ(p->SkinData()->GetSkinSection(), "PANEL_LOW");
  // Any section but the old bevel's default is the user's and stays, a default of another
  // bevel too.
  const std::tuple<TBevelCut, const char*, TBevelCut> kept[] = {
      {bvLowered, "MINE", bvRaised}, {bvLowered, "PANEL", bvNone}, {bvNone, "PANEL_LOW", bvRaised}};
  for (const auto& [from, section, to] : kept) {
    p->SetBevelOuter(from);
    p->SkinData()->SetSkinSection(section);
    p->SetBevelOuter(to);
    EXPECT_EQ(p->SkinData()->GetSkinSection(), section) << from << " to " << to;
  }
  EXPECT_EQ(SendSkinCommand(p->Handle(), SkinCmdIsSkinned), 1);
  EXPECT_EQ(SendSkinCommand(p->Handle(), SkinCmdQueryAppObject), reinterpret_cast<LRESULT>(Application));
}

TEST_F(Bars, SeeThroughPanelShowsItsParentInsideItsBorder) {
  UseSkin("Divided");
  TsPanel* outer = Panel(TRect{10, 10, 310, 210}, "DEEP");
  TsPanel* inner = Panel(TRect{40, 30, 140, 110}, "SEE", outer);
  ASSERT_EQ(inner->SkinData()->BorderWidth(), 1);
  TPrinted parent(outer);
  ASSERT_EQ(outer->SkinData()->BGChanged, 0);
  // Marks in the parent's image under the inside and under the border.
  TBitmap* parentCache = outer->SkinData()->CacheBitmap();
  SetPixelV(parentCache->Canvas()->GetHandle(), 40 + 50, 30 + 40, 0x0A0B0C);
  SetPixelV(parentCache->Canvas()->GetHandle(), 40 + 0, 30 + 40, 0x0A0B0C);
  inner->SkinData()->BGChanged = 1;
  TPrinted child(inner);
  EXPECT_EQ(child.At(50, 40), 0x0A0B0Cu);
  EXPECT_EQ(child.At(20, 60), GetPixel(parentCache->Canvas()->GetHandle(), 40 + 20, 30 + 60));
  EXPECT_EQ(child.At(0, 40), RingColour);
  EXPECT_EQ(child.At(99, 79), RingColour);
}

TEST_F(Bars, SeeThroughPanelLargerThanItsParentShowsTheOverlappingPart) {
  UseSkin("Divided");
  TsPanel* outer = Panel(TRect{10, 10, 310, 210}, "DEEP");
  // Wider and taller than the parent and starting above and left of it: the inside
  // (398 x 298) is larger than the parent's whole image (300 x 200).
  TsPanel* inner = Panel(TRect{-20, -10, 380, 290}, "SEE", outer);
  ASSERT_EQ(inner->SkinData()->BorderWidth(), 1);
  TPrinted parent(outer);
  TBitmap* parentCache = outer->SkinData()->CacheBitmap();
  ASSERT_EQ(parentCache->GetWidth(), 300);
  const HDC p = parentCache->Canvas()->GetHandle();
  SetPixelV(p, 0, 0, 0x0A0B0C);
  SetPixelV(p, 299, 199, 0x0C0B0A);
  inner->SkinData()->BGChanged = 1;
  TPrinted child(inner);
  EXPECT_EQ(child.At(20, 10), 0x0A0B0Cu);
  EXPECT_EQ(child.At(319, 209), 0x0C0B0Au);
  EXPECT_EQ(child.At(150, 100), GetPixel(p, 130, 90));
  EXPECT_EQ(child.At(0, 100), RingColour);
}

TEST_F(Bars, PanelEraseOfTheEngineCopiesTheCacheElsePaintsItself) {
  TsPanel* p = Panel(TRect{10, 10, 130, 70});
  p->SkinData()->EnsureCacheBitmap();
  TBitmap* cache = p->SkinData()->CacheBitmap();
  ASSERT_EQ(cache->GetWidth(), 120);
  p->SkinData()->BGChanged = 0;
  SetPixelV(cache->Canvas()->GetHandle(), 7, 8, 0x0A0B0C);
  TBitmap target;
  target.SetPixelFormat(TPixelFormat::pf32bit);
  target.SetSize(120, 60);
  HDC dc = target.Canvas()->GetHandle();
  SendMessageA(p->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
  EXPECT_EQ(GetPixel(dc, 7, 8), 0x0A0B0Cu);
  // Any other erase: the panel paints itself (its section's fill) into WParam.
  SendMessageA(p->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, 7, 8), PanelColour);
  EXPECT_EQ(GetPixel(dc, 60, 30), PanelColour);
}

}  // namespace
