// Skinned forms and the desktop window manager, through a fake DWM table that answers
// composition on or off and records every call: the transitions attribute on skin apply and
// withdraw, the taskbar thumbnail and live preview answers behind the preview switch, missing
// entries; the layered services (snapshot cover, nearly transparent windows, empty layered
// image), the whole-form image against the form's own pixels, and the forms' AlphaBlend.
// The skins are written by tests/fixtures/skins/make_frame_skins.py.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include "framework/win/ExtCtrls.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/sFormImage.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDwmApi.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/skin/LayeredRecorder.h"

namespace {

struct TDwmCall {
  std::string Entry;
  HWND Wnd = nullptr;
  DWORD Attribute = 0, Value = 0, Flags = 0;
  SIZE BitmapSize{};
  bool HasRegion = false;
};

// The fake DWM: composition answer, the calls made, and the failure it may answer.
struct TFakeDwm {
  BOOL Composition = TRUE;
  std::vector<TDwmCall> Calls;
  std::vector<TDwmCall> Of(const std::string& entry) const {
    std::vector<TDwmCall> out;
    for (const TDwmCall& c : Calls)
      if (c.Entry == entry) out.push_back(c);
    return out;
  }
};
TFakeDwm Fake;

SIZE SizeOf(HBITMAP b) {
  BITMAP bm{};
  if (b == nullptr || GetObjectA(b, sizeof bm, &bm) == 0) return SIZE{-1, -1};
  return SIZE{bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
}

HRESULT WINAPI FakeComposition(BOOL* on) {
  *on = Fake.Composition;
  return S_OK;
}
HRESULT WINAPI FakeAttribute(HWND w, DWORD a, LPCVOID v, DWORD size) {
  Fake.Calls.push_back({"attribute", w, a, size == 4 ? *static_cast<const DWORD*>(v) : 0xFFFFFFFF, 0, {}, false});
  return S_OK;
}
HRESULT WINAPI FakeBlur(HWND w, const TDwmBlurBehind* b) {
  Fake.Calls.push_back({"blur", w, 0, static_cast<DWORD>(b->Enable), b->Flags, {}, b->Region != nullptr});
  return S_OK;
}
HRESULT WINAPI FakeThumbnail(HWND w, HBITMAP b, DWORD flags) {
  Fake.Calls.push_back({"thumbnail", w, 0, 0, flags, SizeOf(b), false});
  return S_OK;
}
HRESULT WINAPI FakePreview(HWND w, HBITMAP b, POINT* pt, DWORD flags) {
  Fake.Calls.push_back({"preview", w, 0, static_cast<DWORD>(pt != nullptr && pt->x == 0 && pt->y == 0), flags, SizeOf(b), false});
  return S_OK;
}
HRESULT WINAPI FakeInvalidate(HWND w) {
  Fake.Calls.push_back({"invalidate", w, 0, 0, 0, {}, false});
  return S_OK;
}

TDwmEntries FakeEntries() {
  return TDwmEntries{&FakeComposition, &FakeAttribute, &FakeBlur, &FakeThumbnail, &FakePreview, &FakeInvalidate};
}

std::vector<std::uint32_t> WindowPixels(HWND wnd, int w, int h) {
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(w, h);
  {
    TWindowDC dc(wnd, TWindowDC::TArea::Window);
    BitBlt(shot.Canvas()->GetHandle(), 0, 0, w, h, dc.Get(), 0, 0, SRCCOPY);
  }
  GdiFlush();
  std::vector<std::uint32_t> out;
  const TlxPixelBuffer px = BitmapPixels(&shot);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.push_back(GetPix(px, x, y) & 0xFFFFFF);
  return out;
}

class Dwm : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (Application == nullptr) InitForms();
  }
  void SetUp() override {
    Saved = LoadDwmLibrary();
    LoadDwmLibrary() = FakeEntries();
    Fake = TFakeDwm{};
    SetAeroIsActiveOverride(std::nullopt);
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(ORBEX_FRAME_SKINS);
    M->SetSkinName("FrameA");
    ASSERT_TRUE(M->SkinData().Active);
  }
  void TearDown() override {
    SetIconicPreviewForTests(false);
    Form.reset();
    M.reset();
    LoadDwmLibrary() = Saved;
  }
  TsSkinProvider* Show(int w = 400, int h = 400) {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(80, 80, w, h);
    Form->SetCaption("Orbex");
    Form->HandleNeeded();
    auto* p = NewComponent<TsSkinProvider>(Form.get());
    Form->Show();
    Pump();
    p->PaintFrameCache();
    return p;
  }
  static void Pump() {
    MSG m;
    for (int i = 0; i < 5; ++i) {
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
      Sleep(5);
    }
  }
  HWND Wnd() const { return Form->Handle(); }
  TDwmEntries Saved;
  std::unique_ptr<TsSkinManager> M;
  std::unique_ptr<TForm> Form;
};

TEST_F(Dwm, TransitionsAreTurnedOffWhileSkinnedUnderCompositionOnly) {
  M->SetActive(false);
  TsSkinProvider* p = Show();
  ASSERT_TRUE(p->DrawNonClientArea());
  Fake.Calls.clear();
  M->SetActive(true);
  std::vector<TDwmCall> set = Fake.Of("attribute");
  ASSERT_FALSE(set.empty());
  EXPECT_EQ(set.back().Wnd, Wnd());
  EXPECT_EQ(set.back().Attribute, DwmTransitionsForceDisabled);
  EXPECT_EQ(set.back().Value, 1u);
  Fake.Calls.clear();
  M->SetActive(false);
  set = Fake.Of("attribute");
  ASSERT_FALSE(set.empty());
  EXPECT_EQ(set.back().Attribute, DwmTransitionsForceDisabled);
  EXPECT_EQ(set.back().Value, 0u);
  // Composition off: nothing is set either way.
  Fake.Composition = FALSE;
  Fake.Calls.clear();
  M->SetActive(true);
  M->SetActive(false);
  EXPECT_TRUE(Fake.Of("attribute").empty());
}

TEST_F(Dwm, TheTaskbarThumbnailIsFittedAndAnsweredOnlyWithTheSwitchOn) {
  TsSkinProvider* p = Show();
  ASSERT_EQ(p->SkinData()->CacheBitmap()->GetWidth(), 400);
  ASSERT_EQ(p->SkinData()->CacheBitmap()->GetHeight(), 400);
  // Switch off: the message passes on unanswered by the skin.
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICTHUMBNAIL, 0, MAKELPARAM(100, 200)), 0);
  EXPECT_TRUE(Fake.Calls.empty());
  SetIconicPreviewForTests(true);
  const TResourceCount before = CountResources();
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICTHUMBNAIL, 0, MAKELPARAM(100, 200)), 1);
  const std::vector<TDwmCall> thumbs = Fake.Of("thumbnail");
  ASSERT_FALSE(thumbs.empty());
  for (const TDwmCall& c : thumbs) {
    EXPECT_EQ(c.Wnd, Wnd());
    EXPECT_EQ(c.BitmapSize.cx, 100);
    EXPECT_EQ(c.BitmapSize.cy, 100);
    EXPECT_EQ(c.Flags, 0u);
  }
  EXPECT_EQ(p->FormState & TsSkinProvider::Previewing, 0u);
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
  // A zero side: no answer from the skin and no call.
  Fake.Calls.clear();
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICTHUMBNAIL, 0, MAKELPARAM(0, 200)), 0);
  EXPECT_TRUE(Fake.Calls.empty());
  // The live preview: the whole form image with the frame shown.
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICLIVEPREVIEWBITMAP, 0, 0), 1);
  const std::vector<TDwmCall> previews = Fake.Of("preview");
  ASSERT_EQ(previews.size(), 1u);
  EXPECT_EQ(previews[0].BitmapSize.cx, 400);
  EXPECT_EQ(previews[0].BitmapSize.cy, 400);
  EXPECT_EQ(previews[0].Flags, 1u);
  EXPECT_EQ(previews[0].Value, 1u);   // at (0, 0)
}

TEST_F(Dwm, MissingEntriesGiveNotImplementedAndNoEffect) {
  TsSkinProvider* p = Show();
  LoadDwmLibrary() = TDwmEntries{};
  DWORD value = 1;
  EXPECT_EQ(DwmSetAttribute(Wnd(), DwmHasIconicBitmap, &value, sizeof value), static_cast<HRESULT>(0x80004001));
  EXPECT_FALSE(AeroIsActive());
  EXPECT_FALSE(SetIconicThumbnail(Wnd(), p, 100, 100));
  EXPECT_FALSE(SetIconicLivePreview(Wnd(), p));
  EnableBlurBehind(Wnd(), true, nullptr);
  InvalidateIconicBitmaps(Wnd());
  EXPECT_TRUE(Fake.Calls.empty());
  // With the entries: the blur record tells whether a region came along.
  LoadDwmLibrary() = FakeEntries();
  TOwnedRegion region(CreateRectRgn(0, 0, 10, 10));
  EnableBlurBehind(Wnd(), true, region.Get());
  EnableBlurBehind(Wnd(), false, nullptr);
  const std::vector<TDwmCall> blur = Fake.Of("blur");
  ASSERT_EQ(blur.size(), 2u);
  EXPECT_EQ(blur[0].Flags, 3u);
  EXPECT_EQ(blur[0].Value, 1u);
  EXPECT_TRUE(blur[0].HasRegion);
  EXPECT_EQ(blur[1].Flags, 1u);
  EXPECT_EQ(blur[1].Value, 0u);
}

TEST_F(Dwm, TheFormImageIsTheFormsOwnPixels) {
  Form = nullptr;
  TsSkinProvider* p = Show(360, 260);
  auto* panel = new TPanel(Form.get());
  panel->SetParent(Form.get());
  panel->SetBounds(20, 30, 120, 80);
  panel->SetCaption("Probe");
  Pump();
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  const TResourceCount before = CountResources();
  {
    const std::unique_ptr<TBitmap> image = MakeFormImage(p, false);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->GetWidth(), 360);
    ASSERT_EQ(image->GetHeight(), 260);
    const std::vector<std::uint32_t> screen = WindowPixels(Wnd(), 360, 260);
    const TlxPixelBuffer px = BitmapPixels(image.get());
    // The key-colour corners lie outside the window's region: the screen never shows them.
    TOwnedRegion region(CreateRectRgn(0, 0, 0, 0));
    const bool hasRegion = GetWindowRgn(Wnd(), region.Get()) != ERROR;
    int differ = 0, transparent = 0;
    for (int y = 0; y < 260; ++y)
      for (int x = 0; x < 360; ++x) {
        const std::uint32_t v = GetPix(px, x, y);
        const bool shown = !hasRegion || PtInRegion(region.Get(), x, y) != FALSE;
        differ += shown && (v & 0xFFFFFF) != screen[static_cast<size_t>(y * 360 + x)];
        transparent += (v >> 24) != 255;
      }
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(transparent, 0);
  }
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
  // With the flag the frame cache goes.
  EXPECT_NE(MakeFormImage(p, true), nullptr);
  EXPECT_TRUE(p->SkinData()->CacheBitmap()->Empty());
  EXPECT_EQ(MakeFormImage(p, false), nullptr);
}

TEST_F(Dwm, TheSnapshotCoverShowsTheFormTopmostOverIt) {
  Show(300, 200);
  layeredtest::TLayeredRecorder rec;
  rec.Install();
  const std::vector<std::uint32_t> screen = WindowPixels(Wnd(), 300, 200);
  const std::unique_ptr<TCustomForm> cover = MakeSnapshotCover(Wnd());
  ASSERT_NE(cover, nullptr);
  const HWND c = cover->Handle();
  EXPECT_EQ(cover->Tag(), -98);
  EXPECT_EQ(GetWindowLongA(c, GWL_EXSTYLE) & 0x08000088, 0x08000088);   // no-activate, tool, topmost
  EXPECT_TRUE(IsWindowVisible(c));
  EXPECT_NE(GetForegroundWindow(), c);
  RECT cr{}, fr{};
  GetWindowRect(c, &cr);
  GetWindowRect(Wnd(), &fr);
  EXPECT_TRUE(EqualRect(&cr, &fr));
  ASSERT_EQ(rec.Uploads[c].size(), 1u);
  const layeredtest::TUpload& u = rec.Uploads[c][0];
  EXPECT_EQ(u.Size.cx, 300);
  EXPECT_EQ(u.Size.cy, 200);
  EXPECT_EQ(u.Alpha, 255);
  EXPECT_TRUE(u.PerPixelAlpha);
  EXPECT_EQ(u.Flags, static_cast<DWORD>(ULW_ALPHA));
  ASSERT_EQ(u.Pixels.size(), screen.size());
  int differ = 0;
  for (size_t i = 0; i < screen.size(); ++i) differ += u.Pixels[i] != (screen[i] | 0xFF000000u);
  EXPECT_EQ(differ, 0);
}

TEST_F(Dwm, LayeredServicesAndFormAlphaBlend) {
  Show(300, 200);
  layeredtest::TLayeredRecorder rec;
  rec.Install();
  TForm plain(nullptr);
  plain.SetBounds(10, 10, 120, 90);
  plain.Show();
  const HWND w = plain.Handle();
  EXPECT_TRUE(SetNearlyTransparent(w, true));
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 1);
  EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_FALSE(SetNearlyTransparent(w, true));   // already layered
  EXPECT_FALSE(SetNearlyTransparent(w, false));
  EXPECT_EQ(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE, 0);
  // No bitmap: an empty image of the window's size.
  plain.Show();
  const TResourceCount before = CountResources();
  EXPECT_TRUE(ShowLayeredBitmap(w, nullptr, 255));
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
  ASSERT_EQ(rec.Uploads[w].size(), 1u);
  EXPECT_EQ(rec.Uploads[w][0].Size.cx, 120);
  EXPECT_EQ(rec.Uploads[w][0].Size.cy, 90);
  EXPECT_FALSE(rec.Uploads[w][0].Dest.has_value());
  EXPECT_EQ(rec.Uploads[w][0].Pixels, std::vector<std::uint32_t>(120 * 90, 0u));
  // The form's own translucency.
  Form->SetAlphaBlendValue(200);
  Form->SetAlphaBlend(true);
  ASSERT_TRUE(GetLayeredWindowAttributes(Wnd(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  Form->SetAlphaBlendValue(120);
  ASSERT_TRUE(GetLayeredWindowAttributes(Wnd(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 120);
  Form->SetAlphaBlend(false);
  EXPECT_EQ(GetWindowLongA(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(TaskbarWindow(), FindWindowA("Shell_TrayWnd", nullptr));
  EXPECT_EQ(TopmostHandle(), HWND_TOPMOST);
}

}  // namespace
