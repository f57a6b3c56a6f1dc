// The stored forms of the program: every one passes the checker, and each form reads into the
// components, captions, sizes, shortcuts, hints and pictures the program relies on.
#include <gtest/gtest.h>

#include "app/win/About.h"
#include "app/win/HelpFrm.h"
#include "framework/win/FormReader.h"
#include "framework/win/Jpeg.h"
#include "skin/paint/win/lxPNGGraphic.h"
#include "tests/win/app/mainform/AppTestUtil.h"

namespace {

TEST(StoredForms, AllPassTheChecker) {
  const std::vector<std::string> problems = CheckFormResources();
  for (const std::string& p : problems) ADD_FAILURE() << p;
  std::string text;
  for (const char* name : {"TMainForm", "TConnectDialog", "TAboutBox", "THelpForm"})
    EXPECT_TRUE(FindFormResource(name, text)) << name;
}

TEST(StoredForms, MainFormLayoutActionsAndImages) {
  auto f = std::make_unique<TMainForm>(nullptr, std::make_unique<TOrbexScope>(),
                                       apptest::ScratchIni("layout"));
  EXPECT_EQ(f->Caption(), "Orbex Handheld Tavrin Scope");
  EXPECT_EQ(f->Width(), 740);
  EXPECT_EQ(f->Height(), 559);
  EXPECT_EQ(f->Constraints()->MinWidth(), 268);
  EXPECT_EQ(f->Constraints()->MinHeight(), 197);
  EXPECT_EQ(f->Menu(), f->mnuMain);

  ASSERT_NE(f->StatusBar, nullptr);
  const int widths[] = {60, 60, 70, 50, 50};
  const char* texts[] = {"0.1s/div", "HOLD", "5mV/div", "x1", "AC"};
  ASSERT_EQ(f->StatusBar->Panels()->Count(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(f->StatusBar->Panels()->Items(i)->Width(), widths[i]);
    EXPECT_EQ(f->StatusBar->Panels()->Items(i)->Text(), texts[i]);
  }
  EXPECT_EQ(f->StatusBar->SkinData()->GetSkinSection(), "STATUSBAR");
  EXPECT_EQ(f->DrawBuffer->BorderWidth(), 10);
  EXPECT_EQ(f->Panel1->BorderWidth(), 2);
  EXPECT_EQ(f->Panel1->Parent(), f->DrawBuffer);
  EXPECT_EQ(f->Scope->Parent(), f->Panel1);
  // Stored with no outer bevel and "PANEL": the section stays once the panels repaint.
  for (TsPanel* p : {f->DrawBuffer, f->Panel1}) {
    p->Invalidate();
    p->Perform(CM_INVALIDATE, 0, 0);
    EXPECT_EQ(p->SkinData()->GetSkinSection(), "PANEL") << p->Name();
  }
  EXPECT_EQ(f->ToolBar1->ButtonHeight(), 52);
  EXPECT_EQ(f->ToolBar1->ButtonWidth(), 67);
  EXPECT_EQ(f->ToolBar1->Images(), f->ilMenu32);
  EXPECT_EQ(f->CoolBar1->Bands()->Items(0)->Control(), f->ToolBar1);
  EXPECT_EQ(f->CoolBar1->Bands()->Items(0)->MinHeight(), 52);

  struct A { TAction* a; const char* caption; const char* hint; int image; TShortCut key; };
  const A actions[] = {
      {f->aCloseApplication, "E&xit", "Close application", -1, scAlt | VK_F4},
      {f->aShowAboutBox, "&About", "", -1, 0},
      {f->aConnect, "&Connect..", "Connect", 0, scCtrl | 'O'},
      {f->aDisconnect, "&Disconnect", "Disconnect", 1, scCtrl | VK_F4},
      {f->aScreenCapture, "&Capture", "Export to bitmap", 2, VK_F6},
      {f->aHelpIndex, "&Help", "", 4, VK_F1}};
  for (const A& a : actions) {
    ASSERT_NE(a.a, nullptr) << a.caption;
    EXPECT_EQ(a.a->Caption(), a.caption);
    EXPECT_EQ(a.a->Hint(), a.hint) << a.caption;
    EXPECT_EQ(a.a->ImageIndex(), a.image) << a.caption;
    EXPECT_EQ(a.a->GetShortCut(), a.key) << a.caption;
  }

  // The "Skin" drop-down and its two items.
  TToolButton* skin = f->ToolBar1->Buttons(f->ToolBar1->ButtonCount() - 1);
  EXPECT_EQ(skin->Caption(), "Skin");
  EXPECT_EQ(skin->Style(), tbsDropDown);
  EXPECT_EQ(skin->ImageIndex(), 5);
  ASSERT_EQ(skin->DropdownMenu(), f->PopupMenu1);
  EXPECT_EQ(f->PopupMenu1->Items()->Items(0)->Caption(), "&Light");
  EXPECT_EQ(f->PopupMenu1->Items()->Items(1)->Caption(), "&Dark");

  // Alpha images: six 32 x 32 and five 16 x 16, all decoded into the system lists.
  EXPECT_EQ(f->ilMenu32->GetWidth(), 32);
  EXPECT_EQ(f->ilMenu32->Count(), 6);
  EXPECT_EQ(f->ilMenu16->GetWidth(), 16);
  EXPECT_EQ(f->ilMenu16->Count(), 5);
  EXPECT_EQ(f->ilMenu32->Items()->Items(5)->DecodedWidth, 32);

  // The skin manager's stored skins, in order, and the provider's section.
  ASSERT_EQ(f->SkinManager->InternalSkins()->Count(), 2);
  EXPECT_EQ(f->SkinManager->InternalSkins()->Items(0)->Name, "Dusk (internal)");
  EXPECT_EQ(f->SkinManager->InternalSkins()->Items(1)->Name, "Linden (internal)");
  // "IsDefault = False" in the form: the flag then tells whether this manager is the default,
  // which the first manager of the process is.
  EXPECT_EQ(f->SkinManager->GetIsDefault(), TsSkinManager::DefaultManager() == f->SkinManager);
  EXPECT_EQ(f->SkinManager->GetSkinDirectory(), "c:\\Skins");
  // The version of the stored skin loaded from its "Data" (which the build fills in).
  if (!f->SkinManager->InternalSkins()->Items(0)->PackedData().empty()) {
    EXPECT_EQ(f->SkinManager->GetSkinInfo(), "7.2");
  }
  EXPECT_EQ(f->SkinManager->ThirdParty()->ReadList(1), "TButton");
  EXPECT_EQ(f->SkinManager->ThirdParty()->ReadList(0), " ");
  EXPECT_EQ(f->SkinManager->MenuSupport()->IcoLineSkin, "ICOLINE");
  EXPECT_EQ(f->SkinProvider->SkinData()->GetSkinSection(), "FORM");
  DeleteFileA(f->SettingsFileName().c_str());
}

// The build puts each stored skin's packed file into its "Data": Dusk with 9 entries, Linden
// with 10 ("Options.dat" and the images).
TEST(StoredForms, MainFormCarriesThePackedStoredSkins) {
  auto f = std::make_unique<TMainForm>(nullptr, std::make_unique<TOrbexScope>(),
                                       apptest::ScratchIni("storedskins"));
  ASSERT_EQ(f->SkinManager->InternalSkins()->Count(), 2);
  for (int i = 0; i < 2; ++i) {
    const std::vector<std::uint8_t>& data = f->SkinManager->InternalSkins()->Items(i)->PackedData();
    ASSERT_GE(data.size(), 8u) << i;
    EXPECT_EQ(std::string(data.begin(), data.begin() + 4), "TEzf") << i;
    EXPECT_EQ(data[4] | data[5] << 8 | data[6] << 16 | data[7] << 24, i == 0 ? 9 : 10) << i;
  }
  DeleteFileA(f->SettingsFileName().c_str());
}

TEST(StoredForms, AboutBoxWithItsJpegLogo) {
  TAboutBox box(nullptr);
  EXPECT_EQ(box.Caption(), "About");
  EXPECT_EQ(box.BorderStyle(), bsDialog);
  EXPECT_EQ(box.BorderIcons(), biSystemMenu);
  EXPECT_EQ(box.ClientWidth(), 441);
  EXPECT_EQ(box.ClientHeight(), 382);
  EXPECT_EQ(box.lblProductName->Caption(), "Orbex Handheld Tavrin Scope Software 3.3");
  EXPECT_EQ(box.btnOK->ModalResult(), mrOk);
  EXPECT_TRUE(box.btnOK->Default());
  EXPECT_EQ(box.pnlHolder->BoundsRect(), (TRect{8, 8, 433, 281}));
  EXPECT_EQ(box.pnlHolder->BevelOuter(), bvLowered);
  ASSERT_NE(box.imgLogo, nullptr);
  EXPECT_EQ(box.imgLogo->Align(), alClient);
  TGraphic* g = box.imgLogo->Picture()->GetGraphic();
  ASSERT_NE(As<TJPEGImage>(g), nullptr);
  EXPECT_GE(g->GetWidth(), 425);
  EXPECT_GE(g->GetHeight(), 273);
}

TEST(StoredForms, HelpFormWithItsBitmapPictureAndLink) {
  THelpForm help(nullptr);
  EXPECT_EQ(help.Caption(), "Help - FAQ");
  EXPECT_EQ(help.BorderStyle(), bsSingle);
  EXPECT_EQ(help.ClientWidth(), 490);
  EXPECT_EQ(help.ClientHeight(), 427);
  // The picture is stored with the PNG class but holds a Windows bitmap.
  TGraphic* g = help.Image1->Picture()->GetGraphic();
  ASSERT_NE(As<TPNGGraphic>(g), nullptr);
  EXPECT_EQ(g->GetWidth(), 224);
  EXPECT_EQ(g->GetHeight(), 164);
  EXPECT_EQ(help.Image1->BoundsRect(), (TRect{136, 104, 360, 268}));
  EXPECT_EQ(help.sWebLabel1->URL, SupportForumURL);
  EXPECT_EQ(help.sWebLabel1->Caption(), SupportForumURL);
  EXPECT_EQ(help.btnClose->Caption(), "&Close");
  EXPECT_EQ(help.btnClose->ModalResult(), mrOk);
  EXPECT_EQ(help.btnClose->BoundsRect().Left, 408);
  EXPECT_EQ(help.btnClose->BoundsRect().Top, 392);

  // A click opens the link with the shell's "open" and the default show command; an empty
  // link does nothing.
  std::string opened;
  int show = -1;
  help.sWebLabel1->Opener = [&](const std::string& url, int cmd) { opened = url; show = cmd; };
  help.sWebLabel1->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(opened, SupportForumURL);
  EXPECT_EQ(show, SW_SHOWDEFAULT);
  opened.clear();
  help.sWebLabel1->URL.clear();
  help.sWebLabel1->Perform(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(opened, "");
}

}  // namespace
