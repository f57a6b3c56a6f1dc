// A stored form with the standard controls, menus and actions, read through the property
// tables: collections (status panels, cool bands), nested menu items and actions, references
// resolved after the read (actions, images, drop-down menus, band controls), and events bound
// to the form's handlers. The checker finds the form sound and a misspelt property not, also
// inside collection items; a cool-bar child no stored band names gets a band of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "framework/win/ActnList.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/FormReader.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "tests/win/framework/win/stdctrls/StdCtrlsTestUtil.h"

namespace {

class TStdStoredForm : public TForm {
  ORBEX_CLASS(TStdStoredForm, TForm)
public:
  explicit TStdStoredForm(TComponent* AOwner) : TForm(AOwner) {}
  TStatusBar* StatusBar = nullptr;
  TToolBar* ToolBar1 = nullptr;
  TAction* aConnect = nullptr;
  TMenuItem* Connect1 = nullptr;
  int Connects = 0;
  int Lights = 0;
  void aConnectExecute(TObject*) { ++Connects; }
  void Light1Click(TObject*) { ++Lights; }
};

const char* const kForm = R"(object MainForm: TStdStoredForm
  Caption = "Orbex Handheld Tavrin Scope"
  ClientWidth = 600
  ClientHeight = 400
  Menu = mnuMain
  object StatusBar: TStatusBar
    Panels = <
      item
        Width = 60
        Text = "0.1s/div"
      end
      item
        Width = 60
        Text = "HOLD"
      end
      item
        Width = 70
        Text = "5mV/div"
      end
      item
        Width = 50
        Text = "x1"
      end
      item
        Width = 50
        Text = "AC"
      end>
  end
  object CoolBar1: TCoolBar
    AutoSize = True
    EdgeBorders = [ebTop, ebBottom]
    Bands = <
      item
        Control = ToolBar1
        MinHeight = 52
      end>
    object ToolBar1: TToolBar
      ButtonHeight = 52
      ButtonWidth = 67
      Flat = True
      ShowCaptions = True
      Images = ilMenu32
      object tbbConnect: TToolButton
        Action = aConnect
      end
      object ToolButton1: TToolButton
        Style = tbsSeparator
      end
      object ToolButton4: TToolButton
        Caption = "Skin"
        Style = tbsDropDown
        ImageIndex = 5
        DropdownMenu = PopupMenu1
      end
    end
  end
  object DrawBuffer: TPanel
    Align = alClient
    BevelOuter = bvNone
    BorderWidth = 10
    Color = clWhite
    object Panel1: TPanel
      Align = alClient
      BevelOuter = bvNone
      BorderWidth = 2
      Caption = "Panel1"
      object Scope: TPaintBox
        Align = alClient
      end
    end
  end
  object cbPort: TComboBox
    Left = 128
    Top = 64
    Width = 121
    Items = ("COM1" "COM7")
  end
  object lblPort: TLabel
    Left = 24
    Top = 24
    Caption = "Enter the port you want to connect to:"
    FocusControl = cbPort
  end
  object alCommon: TActionList
    Images = ilMenu32
    object aConnect: TAction
      Caption = "&Connect.."
      Hint = "Connect"
      ImageIndex = 0
      ShortCut = 16463
      OnExecute = aConnectExecute
    end
  end
  object mnuMain: TMainMenu
    object File1: TMenuItem
      Caption = "&File"
      object Connect1: TMenuItem
        Action = aConnect
      end
      object N1: TMenuItem
        Caption = "-"
      end
    end
  end
  object ilMenu32: TImageList
    Height = 32
    Width = 32
  end
  object PopupMenu1: TPopupMenu
    object Light1: TMenuItem
      Caption = "&Light"
      OnClick = Light1Click
    end
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 50
  end
end
)";

void RegisterStoredFormClass() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClassOf<TStdStoredForm>();
  RegisterPublishedMethods(&TStdStoredForm::StaticClassInfo(),
                           {PublishedMethod("aConnectExecute", &TStdStoredForm::aConnectExecute),
                            PublishedMethod("Light1Click", &TStdStoredForm::Light1Click)},
                           {PublishedField("StatusBar", &TStdStoredForm::StatusBar),
                            PublishedField("ToolBar1", &TStdStoredForm::ToolBar1),
                            PublishedField("aConnect", &TStdStoredForm::aConnect),
                            PublishedField("Connect1", &TStdStoredForm::Connect1)});
}

}  // namespace

ORBEX_IMPLEMENT_CLASS(TStdStoredForm, TForm, &CreateComponentOf<TStdStoredForm>)

TEST(StoredForm, CheckerAcceptsTheFormAndNamesAMisspeltProperty) {
  RegisterStoredFormClass();
  EXPECT_EQ(CheckForm(kForm), std::vector<std::string>{});
  std::string bad = kForm;
  bad.replace(bad.find("ButtonHeight"), 12, "ButonHeight");
  std::vector<std::string> problems = CheckForm(bad);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("ButonHeight"), std::string::npos) << problems[0];
  bad = kForm;
  bad.replace(bad.find("tbsDropDown"), 11, "tbsDropDawn");
  EXPECT_EQ(CheckForm(bad).size(), 1u);
}

// Line of the first occurrence of `what` in the form text (1-based).
int LineOf(const std::string& text, const std::string& what) {
  const size_t at = text.find(what);
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

TEST(StoredForm, CheckerNamesMisspeltItemPropertiesOfPanelsAndBands) {
  RegisterStoredFormClass();
  std::string bad = kForm;
  bad.replace(bad.find("Text = \"HOLD\""), 4, "Txet");
  bad.replace(bad.find("MinHeight = 52"), 9, "MinHieght");
  bad.replace(bad.find("Control = ToolBar1"), 18, "Control = ToolBar9");
  std::vector<std::string> problems = CheckForm(bad);
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0], "Line " + std::to_string(LineOf(bad, "Txet")) +
                             ": Unknown property \"Txet\" of TStatusPanel");
  EXPECT_EQ(problems[1], "Line " + std::to_string(LineOf(bad, "ToolBar9")) +
                             ": Property \"Control\": component \"ToolBar9\" not found");
  EXPECT_EQ(problems[2], "Line " + std::to_string(LineOf(bad, "MinHieght")) +
                             ": Unknown property \"MinHieght\" of TCoolBand");
}

TEST(StoredForm, ReadsBarsMenusAndActions) {
  RegisterStoredFormClass();
  auto form = std::make_unique<TStdStoredForm>(nullptr);
  ReadForm(form.get(), kForm);
  ASSERT_NE(form->StatusBar, nullptr);
  ASSERT_EQ(form->StatusBar->Panels()->Count(), 5);
  EXPECT_EQ(form->StatusBar->Panels()->Items(2)->Width(), 70);
  EXPECT_EQ(form->StatusBar->Panels()->Items(4)->Text(), "AC");

  auto* cool = As<TCoolBar>(form->FindComponent("CoolBar1"));
  ASSERT_NE(cool, nullptr);
  ASSERT_EQ(cool->Bands()->Count(), 1);
  EXPECT_EQ(cool->Bands()->Items(0)->Control(), form->ToolBar1);
  EXPECT_EQ(cool->EdgeBorders(), ebTop | ebBottom);
  ASSERT_NE(form->ToolBar1, nullptr);
  EXPECT_EQ(form->ToolBar1->ButtonCount(), 3);
  EXPECT_EQ(form->ToolBar1->Images(), form->FindComponent("ilMenu32"));
  auto* skin = As<TToolButton>(form->FindComponent("ToolButton4"));
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->DropdownMenu(), form->FindComponent("PopupMenu1"));
  auto* tbbConnect = As<TToolButton>(form->FindComponent("tbbConnect"));
  ASSERT_NE(tbbConnect, nullptr);
  EXPECT_EQ(tbbConnect->Action(), form->aConnect);
  EXPECT_EQ(tbbConnect->Caption(), "&Connect..");

  ASSERT_NE(form->Connect1, nullptr);
  EXPECT_EQ(form->Connect1->Action(), form->aConnect);
  EXPECT_EQ(form->Connect1->Caption(), "&Connect..");
  EXPECT_EQ(form->Connect1->GetShortCut(), scCtrl | 'O');
  EXPECT_EQ(form->Menu(), form->FindComponent("mnuMain"));
  EXPECT_EQ(form->Menu()->Items()->Count(), 1);
  EXPECT_EQ(form->Menu()->Items()->Items(0)->Count(), 2);
  EXPECT_EQ(form->aConnect->ActionList(), form->FindComponent("alCommon"));

  auto* combo = As<TComboBox>(form->FindComponent("cbPort"));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->Items()->CommaText(), "COM1,COM7");
  auto* label = As<TLabel>(form->FindComponent("lblPort"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->FocusControl(), combo);
  EXPECT_GT(label->Width(), 100);   // sized to its caption after loading
  auto* timer = As<TTimer>(form->FindComponent("Timer1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->Interval(), 50u);
  EXPECT_FALSE(timer->Enabled());

  form->Show();
  EXPECT_EQ(::SendMessageA(form->StatusBar->Handle(), SB_GETPARTS, 0, 0), 5);
  EXPECT_EQ(::SendMessageA(form->ToolBar1->Handle(), TB_BUTTONCOUNT, 0, 0), 3);
  auto* scope = form->FindComponent("Scope");
  ASSERT_NE(As<TPaintBox>(scope), nullptr);
  EXPECT_EQ(As<TPaintBox>(scope)->BoundsRect().Left, 2);

  // Events bound to the form's handlers.
  EXPECT_TRUE(form->IsShortCut('O', ssCtrl));
  EXPECT_EQ(form->Connects, 1);
  tbbConnect->Click();
  EXPECT_EQ(form->Connects, 2);
  As<TMenuItem>(form->FindComponent("Light1"))->Click();
  EXPECT_EQ(form->Lights, 1);
}

// A stored cool bar child that no stored band names gets a band of its own once the form is
// read; the one a stored band names keeps that band only.
TEST(StoredForm, ACoolBarChildWithoutAStoredBandGetsOneAfterReading) {
  RegisterStoredFormClass();
  auto form = std::make_unique<TStdStoredForm>(nullptr);
  ReadForm(form.get(), R"(object MainForm: TStdStoredForm
  object Cool: TCoolBar
    Bands = <
      item
        Control = Named
        MinHeight = 30
      end>
    object Named: TPanel
    end
    object Loose: TPanel
    end
  end
end
)");
  auto* cool = As<TCoolBar>(form->FindComponent("Cool"));
  ASSERT_NE(cool, nullptr);
  ASSERT_EQ(cool->Bands()->Count(), 2);
  EXPECT_EQ(cool->Bands()->Items(0)->Control(), form->FindComponent("Named"));
  EXPECT_EQ(cool->Bands()->Items(0)->MinHeight(), 30);
  EXPECT_EQ(cool->Bands()->Items(1)->Control(), form->FindComponent("Loose"));
}

// A main menu merged into another form's bar keeps its own form's frame free of a menu line.
TEST(StoredForm, ReadsAMainMenusAutoMerge) {
  RegisterStoredFormClass();
  auto form = std::make_unique<TStdStoredForm>(nullptr);
  ReadForm(form.get(), R"(object MainForm: TStdStoredForm
  object Merged: TMainMenu
    AutoMerge = True
  end
  object Own: TMainMenu
  end
end
)");
  auto* merged = As<TMainMenu>(form->FindComponent("Merged"));
  auto* own = As<TMainMenu>(form->FindComponent("Own"));
  ASSERT_NE(merged, nullptr);
  ASSERT_NE(own, nullptr);
  EXPECT_TRUE(merged->AutoMerge());
  EXPECT_FALSE(own->AutoMerge());
}
