// The skinned cool bar with the "Controls" fixture skin: a horizontal grip from "PROGRESSV"
// when the skin has no "GRIPH", an erase that draws nothing, and a band's text drawn in the
// section's font colour while the bar's own caption stays as it was.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>

#include "framework/win/ExtCtrls.h"
#include "skin/controls/sCoolBar.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/paint/win/sBitmap32.h"

namespace {

constexpr COLORREF Progress = 0x00C000, ToolbarFill = 0x402010, ToolbarFont = 0x00FFFF, Marker = 0x123456;

// What a window paints into a 32-bit image when asked to print itself.
std::unique_ptr<TBitmap> Printed(TWinControl* c) {
  auto b = CreateBitmap32(c->Width(), c->Height());
  SendMessageA(c->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(b->Canvas()->GetHandle()), PRF_CLIENT | PRF_NONCLIENT);
  return b;
}

int Count(TBitmap* b, const TRect& r, COLORREF c) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += GetPixel(b->Canvas()->GetHandle(), x, y) == c ? 1 : 0;
  return n;
}

class CoolBar : public ::testing::Test {
protected:
  void SetUp() override {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_CONTROL_SKINS);
    M->SetSkinName("Controls");
    ASSERT_TRUE(M->SkinData().Active);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 500, 200);
    Bar = new TsCoolBar(Form.get());
    Bar->SetParent(Form.get());
    Child = new TPanel(Form.get());
    Child->SetParent(Bar);
    Child->SetBounds(0, 0, 200, 30);
    TCoolBand* band = Bar->Bands()->Add();
    band->SetControl(Child);
    band->SetMinHeight(30);
    band->SetText("Tools");
    Bar->SkinData()->AfterLoad();
    Form->Show();
    ASSERT_TRUE(Bar->SkinData()->HasSkin());
    SendSkinCommandToControl(Bar, SkinCmdSkinLoaded, reinterpret_cast<LPARAM>(M.get()));
    Bar->SetCaption("Bar");
  }
  void TearDown() override {
    Form.reset();
    M.reset();
  }
  // The header of the only band in window coordinates.
  TRect Header() {
    const int size = Bar->HeaderSize(Bar->Bands()->Items(0));
    POINT o{0, 0};
    RECT w{};
    ClientToScreen(Bar->Handle(), &o);
    GetWindowRect(Bar->Handle(), &w);
    const int x = Child->Left() + o.x - w.left, y = Child->Top() + o.y - w.top;
    return TRect{x - size, y, x, y + Child->Height()};
  }
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
  TsCoolBar* Bar = nullptr;
  TPanel* Child = nullptr;
};

TEST_F(CoolBar, GripFromProgressWithoutGriph) {
  EXPECT_EQ(Bar->GripName(), "PROGRESSV");
  EXPECT_GE(Bar->GripSection(), 0);
  auto image = Printed(Bar);
  const TRect h = Header();
  ASSERT_GT(h.Left, 0);
  // The grip fills the header's first grip width less 2 pixels, over the whole band height.
  const TRect grip{h.Left + 1, h.Top + 2, h.Left + Bar->GripWidth(Bar->Bands()->Items(0)) - 3, h.Bottom - 2};
  EXPECT_EQ(Count(image.get(), grip, Progress), grip.Width() * grip.Height());
}

TEST_F(CoolBar, EraseAnswersOneAndDrawsNothing) {
  auto b = CreateBitmap32(Bar->Width(), Bar->Height());
  HDC dc = b->Canvas()->GetHandle();
  TOwnedBrush brush(CreateSolidBrush(Marker));
  RECT all{0, 0, Bar->Width(), Bar->Height()};
  FillRect(dc, &all, brush.Get());
  EXPECT_EQ(SendMessageA(Bar->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  EXPECT_EQ(Count(b.get(), TRect{0, 0, Bar->Width(), Bar->Height()}, Marker), Bar->Width() * Bar->Height());
}

TEST_F(CoolBar, BandTextDrawnCaptionKept) {
  auto image = Printed(Bar);
  const TRect h = Header();
  EXPECT_GT(Count(image.get(), h, ToolbarFont), 5);
  EXPECT_GT(Count(image.get(), h, ToolbarFill), 5);
  EXPECT_EQ(Bar->Caption(), "Bar");
}

}  // namespace
