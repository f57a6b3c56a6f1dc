// Stored forms: the test form read from the executable's resources (nested controls, a
// collection, a string list, binary data, events, references, Loaded order), the checker, and
// bad form data of every kind failing with a clear message and leaving nothing half-loaded.
#include <gtest/gtest.h>

#include "framework/win/FormReader.h"
#include "framework/win/Forms.h"
#include "tests/win/framework/win/controls/ControlsTestUtil.h"

namespace {

class FormReaderTest : public testing::Test {
protected:
  void SetUp() override {
    EventLog().clear();
    HandledErrors().clear();
  }
  void TearDown() override { Pump(); }
};

// Reads `text` into a fresh TTestStoredForm and returns the error message ("" when none).
std::string ReadError(const std::string& text) {
  std::unique_ptr<TTestStoredForm> f(new TTestStoredForm(nullptr));
  try {
    ReadForm(f.get(), text);
  } catch (const EReadError& e) {
    // Nothing stays in the loading state after a failed read.
    EXPECT_FALSE(f->IsLoading());
    for (int i = 0; i < f->ComponentCount(); ++i) EXPECT_FALSE(f->Components(i)->IsLoading());
    return e.Message();
  }
  return "";
}

std::string Wrap(const std::string& body) { return "object F: TTestStoredForm\n" + body + "end\n"; }

// ---------------------------------------------------------------------------------------------
TEST_F(FormReaderTest, TheStoredFormIsReadFromTheResources) {
  TTestStoredForm* f = nullptr;
  TCustomForm* oldMain = Application->MainForm();
  Application->CreateForm(f);
  std::unique_ptr<TTestStoredForm> owned(f);   // freed here, not by the application
  Application->SetMainForm(oldMain);
  ASSERT_TRUE(f->StoredFormRead());

  EXPECT_EQ(f->Name(), "StoredForm");
  EXPECT_EQ(f->Caption(), "Stored form");
  EXPECT_EQ(f->BorderStyle(), bsDialog);
  EXPECT_EQ(f->BorderIcons(), biSystemMenu);
  EXPECT_EQ(f->Position(), poScreenCenter);
  EXPECT_EQ(f->ClientWidth(), 324);
  EXPECT_EQ(f->ClientHeight(), 162);
  // Fields bound by component name; the tree as stored.
  ASSERT_NE(f->Outer, nullptr);
  ASSERT_NE(f->Inner, nullptr);
  ASSERT_NE(f->Dot, nullptr);
  ASSERT_NE(f->OkButton, nullptr);
  ASSERT_NE(f->List, nullptr);
  EXPECT_EQ(f->Outer->Parent(), f);
  EXPECT_EQ(f->Inner->Parent(), f->Outer);
  EXPECT_EQ(f->Dot->Parent(), f->Inner);
  EXPECT_EQ(f->OkButton->Parent(), f->Outer);
  EXPECT_EQ(f->Outer->Cursor(), crHandPoint);
  EXPECT_EQ(f->Outer->Hint(), "Line one\nline \"two\"!");
  EXPECT_EQ(f->Outer->FillColor, 0xFFFFFF);
  EXPECT_EQ(f->Inner->FillColor, clBtnFace);
  EXPECT_EQ(f->Dot->Anchors(), akRight | akBottom);
  EXPECT_EQ(f->OkButton->Caption(), "&OK");
  EXPECT_EQ(f->OkButton->ModalResult, mrOk);
  EXPECT_EQ(f->ActiveControl(), f->OkButton);
  // Aligned after loading: Outer fills the client area, Inner inside BorderWidth 10.
  EXPECT_EQ(f->Outer->BoundsRect(), Bounds(0, 0, 324, 162));
  EXPECT_EQ(f->Inner->BoundsRect(), Bounds(10, 10, 304, 142));
  // Collection, string list and binary data.
  TCollection* items = f->List->Items();
  ASSERT_EQ(items->Count(), 2);
  auto* i0 = As<TTestItem>(items->Items(0));
  auto* i1 = As<TTestItem>(items->Items(1));
  ASSERT_NE(i0, nullptr);
  ASSERT_NE(i1, nullptr);
  EXPECT_EQ(i0->Caption, "0.1s/div");
  EXPECT_EQ(i0->Width, 60);
  EXPECT_EQ(i1->Caption, "HOLD");
  EXPECT_EQ(i1->Width, 70);
  EXPECT_EQ(f->List->Lines()->Text(), "first\r\nsecond\r\n");
  EXPECT_EQ(f->List->Data, (std::vector<std::uint8_t>{0x00, 0x01, 0x7F, 0x80, 0xFF, 0x0A, 0x0D}));
  // Loaded once per component, in creation order, after the whole form was read; each one is
  // still loading when told (its Loaded clears the state).
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"Loaded StoredForm loading", "Loaded Outer loading",
                                                  "Loaded Inner loading", "Loaded Dot loading",
                                                  "Loaded List loading"}));
  EXPECT_FALSE(f->IsLoading());
  EXPECT_FALSE(f->List->IsLoading());

  // Events bound to the form's handlers.
  // FormCloseQuery refuses the first close: two clicks are needed.
  f->OnShow = [&](TObject*) {
    ::PostMessageA(f->OkButton->Handle(), BM_CLICK, 0, 0);
    ::PostMessageA(f->OkButton->Handle(), BM_CLICK, 0, 0);
  };
  EXPECT_EQ(f->ShowModal(), mrOk);
  EXPECT_EQ(f->CloseQueries, 2);
  EXPECT_EQ(f->ButtonClicks, 2);
}

TEST_F(FormReaderTest, TheStoredFormPassesTheChecker) {
  std::string text;
  ASSERT_TRUE(FindFormResource("TTestStoredForm", text));
  EXPECT_EQ(CheckForm(text), std::vector<std::string>{});
  EXPECT_EQ(CheckFormResources(), std::vector<std::string>{});
  std::string ignored;
  EXPECT_FALSE(FindFormResource("TNoSuchForm", ignored));
}

TEST_F(FormReaderTest, TheCheckerNamesEveryProblemWithItsLine) {
  const std::string text =
      "object F: TTestStoredForm\n"
      "  Captoin = \"x\"\n"                 // 2: misspelt
      "  BorderStyle = bsWobbly\n"          // 3: no such value
      "  BorderIcons = [biSystemMenu, biNose]\n"   // 4
      "  OnCloseQuery = NoSuchHandler\n"    // 5
      "  Menu = Nowhere\n"                  // 6
      "  Visible = Maybe\n"                 // 7
      "  Font.Heigth = 3\n"                 // 8
      "  object P: TNoSuchPanel\n"          // 9
      "  end\n"
      "  object Q: TTestPanel\n"
      "    Left = \"ten\"\n"                // 12
      "  end\n"
      "end\n";
  std::vector<std::string> problems = CheckForm(text);
  ASSERT_EQ(problems.size(), 9u);
  EXPECT_NE(problems[0].find("Line 2: Unknown property \"Captoin\""), std::string::npos) << problems[0];
  EXPECT_NE(problems[1].find("Line 3:"), std::string::npos);
  EXPECT_NE(problems[2].find("biNose"), std::string::npos);
  EXPECT_NE(problems[3].find("NoSuchHandler"), std::string::npos);
  EXPECT_NE(problems[4].find("Nowhere"), std::string::npos);
  EXPECT_NE(problems[5].find("Line 7:"), std::string::npos);
  EXPECT_NE(problems[6].find("Line 8: Unknown property \"Font.Heigth\""), std::string::npos) << problems[6];
  EXPECT_NE(problems[7].find("Line 9: Class TNoSuchPanel not found"), std::string::npos);
  EXPECT_NE(problems[8].find("Line 12:"), std::string::npos);
  EXPECT_EQ(CheckForm("object F: TTestStoredForm\n  Caption = \"x\n"),
            std::vector<std::string>{"Line 2: Unterminated string"});
}

TEST_F(FormReaderTest, TheCheckerLooksInsideCollectionItems) {
  const std::string text =
      "object F: TTestStoredForm\n"
      "  object L: TTestList\n"
      "    Items = <\n"
      "      item\n"
      "        Caption = \"ok\"\n"           // 5: sound
      "      end\n"
      "      item\n"
      "        Captoin = \"x\"\n"            // 8: misspelt
      "        Width = \"wide\"\n"           // 9: a number expected
      "      end>\n"
      "    Lines = <\n"                      // 11: a string list, not a collection
      "      item\n"
      "        Bogus = 1\n"
      "      end>\n"
      "  end\n"
      "end\n";
  std::vector<std::string> problems = CheckForm(text);
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0], "Line 8: Unknown property \"Captoin\" of TTestItem");
  EXPECT_NE(problems[1].find("Line 9: Property \"Width\""), std::string::npos) << problems[1];
  EXPECT_NE(problems[2].find("Line 11: Property \"Lines\": not a collection"), std::string::npos) << problems[2];
  // The reader refuses the same item property.
  EXPECT_EQ(ReadError(Wrap("  object L: TTestList\n    Items = <\n      item\n        Captoin = \"x\"\n"
                           "      end>\n  end\n")),
            "Line 5: Unknown property \"Captoin\" of TTestItem");
  // The object made to learn the items' class is freed before the checker returns.
  EventLog().clear();
  EXPECT_EQ(CheckForm(text).size(), 3u);
  EXPECT_EQ(EventLog(), std::vector<std::string>{"~"});
}

TEST_F(FormReaderTest, BadFormDataFailsWithTheLine) {
  EXPECT_EQ(ReadError(Wrap("  Captoin = \"x\"\n")), "Line 2: Unknown property \"Captoin\" of TTestStoredForm");
  EXPECT_EQ(ReadError(Wrap("  object P: TNoSuchPanel\n  end\n")), "Line 2: Class TNoSuchPanel not found");
  EXPECT_EQ(ReadError(Wrap("  OnCloseQuery = Missing\n")), "Line 2: Method \"Missing\" not found in TTestStoredForm");
  EXPECT_EQ(ReadError(Wrap("  ActiveControl = Ghost\n")), "Line 2: Component \"Ghost\" not found");
  EXPECT_NE(ReadError(Wrap("  BorderStyle = bsWobbly\n")).find("Line 2:"), std::string::npos);
  EXPECT_NE(ReadError(Wrap("  Caption = 12\n")).find("Line 2: Invalid value"), std::string::npos);
  EXPECT_NE(ReadError(Wrap("  Font = (\"a\")\n")).find("Line 2: Invalid value"), std::string::npos);
  EXPECT_EQ(ReadError(Wrap("  Caption = \"open\n")), "Line 2: Unterminated string");
  EXPECT_EQ(ReadError(Wrap("  Caption = \"\\q\"\n")), "Line 2: Invalid escape \\q in string");
  EXPECT_EQ(ReadError(Wrap("  Caption = \"\\x4\"\n")), "Line 2: Invalid \\x escape in string");
  EXPECT_EQ(ReadError(Wrap("  object L: TTestList\n    Data = {ABC}\n  end\n")),
            "Line 3: Odd number of hex digits in binary data");
  EXPECT_EQ(ReadError("object F: TTestStoredForm\n  object L: TTestList\n    Data = {AB\n"),
            "Line 4: Binary data not closed with '}'");
  EXPECT_EQ(ReadError(Wrap("  object L: TTestList\n    Data = {AG}\n  end\n")),
            "Line 3: Invalid character in binary data: 'G'");
  EXPECT_EQ(ReadError("object F: TTestStoredForm\n  Caption = \"x\"\n"), "Line 1: Object F has no 'end'");
  EXPECT_EQ(ReadError("object F: TTestStoredForm\nend\nend\n"), "Line 3: Text after the end of the form");
  EXPECT_EQ(ReadError("object F: TTestPanel\nend\n"), "Line 1: The form data describe a TTestPanel, not a TTestStoredForm");
  EXPECT_EQ(ReadError(""), "Line 1: 'object' expected");
  EXPECT_EQ(ReadError(Wrap("  object G: TTestGraphic\n  end\n")), "");
  EXPECT_EQ(ReadError(Wrap("  object L: TTestList\n    object G: TTestGraphic\n    end\n  end\n")),
            "Line 3: Control G needs a windowed control as its parent");
  EXPECT_EQ(ReadError(Wrap("  object A: TTestPanel\n  end\n  object A: TTestPanel\n  end\n")),
            "Line 4: A component named A already exists");
  EXPECT_EQ(ReadError(Wrap("  object 9: TTestPanel\n  end\n")), "Line 2: Component name expected");
  EXPECT_EQ(ReadError(Wrap("  Font..Name = \"x\"\n")), "Line 2: Invalid property name \"Font..Name\"");
  EXPECT_EQ(ReadError(Wrap("  Caption.Length = 1\n")), "Line 2: Property \"Caption\" has no properties of its own");
  EXPECT_EQ(ReadError(Wrap("  Caption = \"a\" +\n")), "Line 3: String expected after '+'");
  EXPECT_EQ(ReadError(Wrap("  Caption ~ 1\n")), "Line 2: Invalid character '~'");
}

TEST_F(FormReaderTest, DeepNestingIsRefused) {
  std::string text = "object F: TTestStoredForm\n";
  for (int i = 0; i < kMaxFormNesting + 5; ++i) text += "object P" + std::to_string(i) + ": TTestPanel\n";
  EXPECT_EQ(CheckForm(text).size(), 1u);
  EXPECT_NE(ReadError(text).find("nested too deeply"), std::string::npos);
}

TEST_F(FormReaderTest, WhatWasReadBeforeAnErrorBelongsToTheForm) {
  std::unique_ptr<TTestStoredForm> f(new TTestStoredForm(nullptr));
  EXPECT_THROW(ReadForm(f.get(), Wrap("  object A: TTestPanel\n  end\n  object B: TTestPanel\n    Bogus = 1\n  end\n")),
               EReadError);
  ASSERT_EQ(f->ComponentCount(), 2);
  EXPECT_EQ(f->Components(0)->Name(), "A");
  EXPECT_EQ(f->Components(1)->Name(), "B");
  f.reset();
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"~F", "~B", "~A"}));
}

}  // namespace
