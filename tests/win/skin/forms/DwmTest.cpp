// Skinned forms and the desktop window manager, through a fake DWM table that answers
// composition on or off and records every call: the transitions attribute on skin apply and
// withdraw, the taskbar thumbnail and live preview answers behind the preview switch, missing
// entries; the layered services (snapshot cover, nearly transparent windows, empty layered
// image) and the whole-form image against the form's own pixels; the Windows version the
// prefix reports.
// The skins are written by tests/fixtures/skins/make_frame_skins.py.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "framework/win/ExtCtrls.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxFormTimers.h"
#include "skin/forms/sFormImage.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDwmApi.h"
#include "tests/win/ResourceCount.h"
#include "tests/win/skin/LayeredRecorder.h"
#include "tests/win/skin/forms/FormTestUtil.h"

namespace {

using formtest::Pump;
using formtest::WindowRectOf;

// One call to the fake DWM: the entry, the window, attribute and value (enable for the blur,
// 1 for a live preview at (0, 0)), flags, the bitmap's size, whether a region came along.
struct TDwmCall {
  std::string Entry;
  HWND Wnd = nullptr;
  DWORD Attribute = 0, Value = 0, Flags = 0;
  SIZE Size{};
  bool Region = false;
};
BOOL Composition = TRUE;
std::vector<TDwmCall> Calls;

std::vector<TDwmCall> CallsOf(const std::string& entry) {
  std::vector<TDwmCall> out;
  for (const TDwmCall& c : Calls)
    if (c.Entry == entry) out.push_back(c);
  return out;
}
SIZE SizeOf(HBITMAP b) {
  BITMAP bm{};
  return GetObjectA(b, sizeof bm, &bm) != 0 ? SIZE{bm.bmWidth, std::abs(bm.bmHeight)} : SIZE{-1, -1};
}
HRESULT Record(TDwmCall c) {
  Calls.push_back(std::move(c));
  return S_OK;
}
HRESULT WINAPI FakeComposition(BOOL* on) { return *on = Composition, S_OK; }
HRESULT WINAPI FakeAttribute(HWND w, DWORD a, LPCVOID v, DWORD n) {
  return Record({"attribute", w, a, n == 4 ? *static_cast<const DWORD*>(v) : 0xFFFFFFFF});
}
HRESULT WINAPI FakeBlur(HWND w, const TDwmBlurBehind* b) {
  return Record({"blur", w, 0, static_cast<DWORD>(b->Enable), b->Flags, {}, b->Region != nullptr});
}
HRESULT WINAPI FakeThumbnail(HWND w, HBITMAP b, DWORD flags) { return Record({"thumbnail", w, 0, 0, flags, SizeOf(b)}); }
HRESULT WINAPI FakePreview(HWND w, HBITMAP b, POINT* pt, DWORD flags) {
  return Record({"preview", w, 0, static_cast<DWORD>(pt != nullptr && pt->x == 0 && pt->y == 0), flags, SizeOf(b)});
}
HRESULT WINAPI FakeInvalidate(HWND w) { return Record({"invalidate", w}); }
TDwmEntries FakeEntries() {
  return TDwmEntries{&FakeComposition, &FakeAttribute, &FakeBlur, &FakeThumbnail, &FakePreview, &FakeInvalidate};
}

// Pixels of a 32-bit image that are not opaque or differ from what the window shows inside its
// region (the key-colour corners outside it never show).
int Mismatches(HWND wnd, const TlxPixelBuffer& image) {
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(image.Width, image.Height);
  {
    TWindowDC dc(wnd, TWindowDC::TArea::Window);
    BitBlt(shot.Canvas()->GetHandle(), 0, 0, image.Width, image.Height, dc.Get(), 0, 0, SRCCOPY);
  }
  GdiFlush();
  TOwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  const bool clipped = GetWindowRgn(wnd, region.Get()) != ERROR;
  const TlxPixelBuffer screen = BitmapPixels(&shot);
  int n = 0;
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x) {
      const std::uint32_t v = GetPix(image, x, y);
      const bool shown = !clipped || PtInRegion(region.Get(), x, y) != FALSE;
      n += (v >> 24) != 255 || (shown && (v & 0xFFFFFF) != (GetPix(screen, x, y) & 0xFFFFFF));
    }
  return n;
}

class Dwm : public formtest::TSkinnedFormTest {
protected:
  void SetUp() override {
    Saved = LoadDwmLibrary();
    LoadDwmLibrary() = FakeEntries();
    Composition = TRUE;
    Calls.clear();
    SetAeroIsActiveOverride(std::nullopt);
    UseSkin(ORBEX_FRAME_SKINS, "FrameA");
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
    return formtest::ShowWithFrame(Form.get());
  }
  HWND Wnd() const { return Form->Handle(); }
  TDwmEntries Saved;
  std::unique_ptr<TForm> Form;
};

// The prefix the tests run in reports the Windows version it was made for
// (ORBEX_WINDOWS_VERSION, set by the Wine environment; empty for Wine's own default), and
// composition is on exactly from Windows 10 on.
TEST(WindowsVersion, ThePrefixReportsItsVersionAndCompositionFollows) {
  const char* asked = std::getenv("ORBEX_WINDOWS_VERSION");
  using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto rtlGetVersion =
      reinterpret_cast<TRtlGetVersion>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(rtlGetVersion, nullptr);
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof(v);
  ASSERT_EQ(rtlGetVersion(&v), 0);
  if (asked == nullptr || *asked == '\0') GTEST_SKIP() << "prefix of Wine's own version " << v.dwMajorVersion << "." << v.dwMinorVersion;
  ASSERT_STREQ(asked, "win10") << "only win10 is known here";
  EXPECT_EQ(v.dwMajorVersion, 10u);
  EXPECT_EQ(v.dwMinorVersion, 0u);
  EXPECT_TRUE(DwmCompositionEnabled());
  EXPECT_TRUE(AeroIsActive());
}

TEST_F(Dwm, TransitionsAreTurnedOffWhileSkinnedUnderCompositionOnly) {
  M->SetActive(false);
  TsSkinProvider* p = Show();
  ASSERT_TRUE(p->DrawNonClientArea());
  Calls.clear();
  M->SetActive(true);
  std::vector<TDwmCall> set = CallsOf("attribute");
  ASSERT_FALSE(set.empty());
  EXPECT_EQ(std::make_tuple(set.back().Wnd, set.back().Attribute, set.back().Value),
            std::make_tuple(Wnd(), DwmTransitionsForceDisabled, 1UL));
  Calls.clear();
  M->SetActive(false);
  set = CallsOf("attribute");
  ASSERT_FALSE(set.empty());
  EXPECT_EQ(std::make_tuple(set.back().Wnd, set.back().Attribute, set.back().Value),
            std::make_tuple(Wnd(), DwmTransitionsForceDisabled, 0UL));
  // Composition off: nothing is set either way.
  Composition = FALSE;
  Calls.clear();
  M->SetActive(true);
  M->SetActive(false);
  EXPECT_TRUE(CallsOf("attribute").empty());
}

TEST_F(Dwm, TheTaskbarThumbnailIsFittedAndAnsweredOnlyWithTheSwitchOn) {
  TsSkinProvider* p = Show();
  ASSERT_EQ(p->SkinData()->CacheBitmap()->GetWidth() + p->SkinData()->CacheBitmap()->GetHeight(), 800);
  // Switch off: the message passes on unanswered by the skin.
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICTHUMBNAIL, 0, MAKELPARAM(100, 200)), 0);
  EXPECT_TRUE(Calls.empty());
  SetIconicPreviewForTests(true);
  const TResourceCount before = CountResources();
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICTHUMBNAIL, 0, MAKELPARAM(100, 200)), 1);
  const std::vector<TDwmCall> thumbs = CallsOf("thumbnail");
  ASSERT_FALSE(thumbs.empty());
  for (const TDwmCall& c : thumbs)
    EXPECT_EQ(std::make_tuple(c.Wnd, c.Size.cx, c.Size.cy, c.Flags), std::make_tuple(Wnd(), 100L, 100L, 0UL));
  EXPECT_EQ(p->FormState & TsSkinProvider::Previewing, 0u);
  EXPECT_TRUE(NothingLeaked(before, CountResources()));
  // A zero side: no answer from the skin and no call.
  Calls.clear();
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICTHUMBNAIL, 0, MAKELPARAM(0, 200)), 0);
  EXPECT_TRUE(Calls.empty());
  // The live preview: the whole form image with the frame shown.
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICLIVEPREVIEWBITMAP, 0, 0), 1);
  const std::vector<TDwmCall> previews = CallsOf("preview");
  ASSERT_EQ(previews.size(), 1u);
  // 400 x 400, at (0, 0), the frame shown.
  EXPECT_EQ(std::make_tuple(previews[0].Size.cx, previews[0].Size.cy, previews[0].Value, previews[0].Flags),
            std::make_tuple(400L, 400L, 1UL, 1UL));
}

// The attributes set, in order, but the transitions' (each print of the form sets that):
// (attribute, value).
std::vector<std::pair<DWORD, DWORD>> AttributesSet() {
  std::vector<std::pair<DWORD, DWORD>> out;
  for (const TDwmCall& c : CallsOf("attribute"))
    if (c.Attribute != DwmTransitionsForceDisabled) out.emplace_back(c.Attribute, c.Value);
  return out;
}

// While the form runs to its taskbar button, the taskbar is shown the run's saved picture (here
// 300 x 150, unlike the 400 x 400 frame cache) once, not the cache and the whole form after it;
// the run's start and its turn back make the taskbar picture the program's own and the
// system's again.
TEST_F(Dwm, WhileTheFormMinimizesThePreviewsShowTheRunsPicture) {
  M->AnimEffects()->Minimizing()->Active = true;
  TsSkinProvider* p = Show();
  SetIconicPreviewForTests(true);
  Calls.clear();
  p->StartMinimizeAnimation();
  auto* timer = dynamic_cast<TlxMinTimer*>(p->FormTimer());
  ASSERT_NE(timer, nullptr);
  ASSERT_TRUE(timer->Enabled());
  constexpr DWORD ForceIconic = 7;
  EXPECT_EQ(AttributesSet(), (std::vector<std::pair<DWORD, DWORD>>{{DwmHasIconicBitmap, 1}, {ForceIconic, 1}}));
  EXPECT_EQ(CallsOf("invalidate").size(), 1u);
  timer->Image = CreateBitmap32(300, 150);
  Calls.clear();
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICTHUMBNAIL, 0, MAKELPARAM(100, 200)), 1);
  const std::vector<TDwmCall> thumbs = CallsOf("thumbnail");
  ASSERT_EQ(thumbs.size(), 1u);
  EXPECT_EQ(std::make_pair(thumbs[0].Size.cx, thumbs[0].Size.cy), std::make_pair(200L, 100L));
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICLIVEPREVIEWBITMAP, 0, 0), 1);
  const std::vector<TDwmCall> previews = CallsOf("preview");
  ASSERT_EQ(previews.size(), 1u);
  EXPECT_EQ(std::make_tuple(previews[0].Size.cx, previews[0].Size.cy, previews[0].Flags), std::make_tuple(300L, 150L, 1UL));
  Calls.clear();
  ASSERT_TRUE(p->StartRestoreAnimation());
  EXPECT_EQ(AttributesSet(), (std::vector<std::pair<DWORD, DWORD>>{{DwmHasIconicBitmap, 0}, {ForceIconic, 0}}));
  // A stopped run's picture is no longer what the form shows: the cache is the source again.
  timer->SetEnabled(false);
  Calls.clear();
  EXPECT_EQ(SendMessageA(Wnd(), WM_DWMSENDICONICTHUMBNAIL, 0, MAKELPARAM(100, 200)), 1);
  EXPECT_EQ(CallsOf("thumbnail").size(), 2u);
  EXPECT_EQ(CallsOf("thumbnail")[0].Size.cx, 100L);
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
  EXPECT_TRUE(Calls.empty());
  // With the entries: the blur record tells whether a region came along.
  LoadDwmLibrary() = FakeEntries();
  TOwnedRegion region(CreateRectRgn(0, 0, 10, 10));
  EnableBlurBehind(Wnd(), true, region.Get());
  EnableBlurBehind(Wnd(), false, nullptr);
  const std::vector<TDwmCall> blur = CallsOf("blur");
  ASSERT_EQ(blur.size(), 2u);
  EXPECT_EQ(std::make_tuple(blur[0].Flags, blur[0].Value, blur[0].Region), std::make_tuple(3UL, 1UL, true));
  EXPECT_EQ(std::make_tuple(blur[1].Flags, blur[1].Value, blur[1].Region), std::make_tuple(1UL, 0UL, false));
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
    ASSERT_EQ(std::make_pair(image->GetWidth(), image->GetHeight()), std::make_pair(360, 260));
    EXPECT_EQ(Mismatches(Wnd(), BitmapPixels(image.get())), 0);
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
  const std::unique_ptr<TCustomForm> cover = MakeSnapshotCover(Wnd());
  ASSERT_NE(cover, nullptr);
  const HWND c = cover->Handle();
  EXPECT_EQ(cover->Tag(), -98);
  EXPECT_EQ(GetWindowLongA(c, GWL_EXSTYLE) & 0x08000088, 0x08000088);   // no-activate, tool, topmost
  EXPECT_TRUE(IsWindowVisible(c));
  EXPECT_NE(GetForegroundWindow(), c);
  const RECT cr = WindowRectOf(c), fr = WindowRectOf(Wnd());
  EXPECT_TRUE(EqualRect(&cr, &fr));
  ASSERT_EQ(rec.Uploads[c].size(), 1u);
  const layeredtest::TUpload& u = rec.Uploads[c][0];
  ASSERT_EQ(std::make_pair(u.Size.cx, u.Size.cy), std::make_pair(300L, 200L));
  EXPECT_EQ(u.Alpha, 255);
  EXPECT_TRUE(u.PerPixelAlpha);
  EXPECT_EQ(u.Flags, static_cast<DWORD>(ULW_ALPHA));
  std::vector<std::uint32_t> pixels = u.Pixels;
  EXPECT_EQ(Mismatches(Wnd(), TlxPixelBuffer{reinterpret_cast<Byte*>(pixels.data()), 300, 200, 300 * 4, 4}), 0);
}

TEST_F(Dwm, NearlyTransparentAndEmptyLayeredImages) {
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
  ASSERT_EQ(rec.Attributes[w].size(), 1u);   // through the replaceable entry
  EXPECT_EQ(rec.Attributes[w][0].Alpha, 1);
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
  EXPECT_EQ(std::make_pair(rec.Uploads[w][0].Size.cx, rec.Uploads[w][0].Size.cy), std::make_pair(120L, 90L));
  EXPECT_FALSE(rec.Uploads[w][0].Dest.has_value());
  EXPECT_EQ(rec.Uploads[w][0].Pixels, std::vector<std::uint32_t>(120 * 90, 0u));
  // A system without layered windows: nothing shown.
  const TUpdateLayeredWindow update = UpdateLayeredWindowProc;
  UpdateLayeredWindowProc = nullptr;
  EXPECT_FALSE(ShowLayeredBitmap(w, nullptr, 255));
  UpdateLayeredWindowProc = update;
}

}  // namespace
