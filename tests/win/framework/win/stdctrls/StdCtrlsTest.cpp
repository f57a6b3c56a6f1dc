// Label, button, edit, combo box, panel and image: sizes from text, the items and selection of
// combo boxes with and without a window, owner-drawn combo items, bevelled panels laying out
// their children, buttons ending a modal message form with their result, label accelerators
// reached by Alt+letter through the message loop, and the form's key preview.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/win/Buttons.h"
#include "framework/win/Dialogs.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/StdCtrls.h"
#include "tests/win/framework/win/stdctrls/StdCtrlsTestUtil.h"

namespace {

// Text size with the control's font, as the system measures it.
SIZE MeasureText(TFont* font, const std::string& text) {
  TWindowDC dc(nullptr);
  TSelectObject sel(dc.Get(), font->GetHandle());
  SIZE s{};
  ::GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &s);
  return s;
}

}  // namespace

TEST(Label, AutoSizeFollowsTheText) {
  auto form = fwtest::MakeForm();
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetBounds(20, 30, 10, 10);
  label->SetCaption("Enter the port you want to connect to:");
  SIZE s = MeasureText(label->Font(), label->Caption());
  EXPECT_EQ(label->Width(), s.cx);
  EXPECT_EQ(label->Height(), s.cy);
  EXPECT_EQ(label->Left(), 20);

  // Accelerator marks take no room; "&&" shows one ampersand.
  label->SetCaption("&Port && name");
  EXPECT_EQ(label->Width(), MeasureText(label->Font(), "Port & name").cx);
  label->SetShowAccelChar(false);
  EXPECT_EQ(label->Width(), MeasureText(label->Font(), "&Port && name").cx);

  // A bigger font makes a bigger label; an empty caption still has a line's height.
  label->Font()->SetHeight(-24);
  EXPECT_EQ(label->Height(), MeasureText(label->Font(), "X").cy);
  label->SetCaption("");
  EXPECT_EQ(label->Width(), MeasureText(label->Font(), " ").cx);
  EXPECT_GT(label->Height(), 20);
}

TEST(Label, AutoSizeKeepsTheRightEdgeOfRightAlignedLabels) {
  auto form = fwtest::MakeForm();
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetAutoSize(false);
  label->SetAlignment(taRightJustify);
  label->SetBounds(100, 10, 200, 20);
  label->SetCaption("Port name:");
  EXPECT_EQ(label->Width(), 200);   // no AutoSize: untouched
  label->SetAutoSize(true);
  EXPECT_EQ(label->Left() + label->Width(), 300);
  EXPECT_EQ(label->Width(), MeasureText(label->Font(), "Port name:").cx);

  // Word wrap keeps the width and grows downwards.
  auto* wrapped = new TLabel(form.get());
  wrapped->SetParent(form.get());
  wrapped->SetWordWrap(true);
  wrapped->SetBounds(0, 50, 60, 10);
  wrapped->SetCaption("one two three four five six seven");
  EXPECT_LE(wrapped->Width(), 60);
  EXPECT_GT(wrapped->Height(), 2 * MeasureText(wrapped->Font(), "X").cy);
}

TEST(Label, PaintsItsTextOnItsParent) {
  auto form = fwtest::MakeForm(200, 100);
  form->SetColor(clWhite);
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetBounds(10, 10, 10, 10);
  label->Font()->SetColor(clRed);
  label->Font()->SetHeight(-20);
  label->SetCaption("WWWW");
  form->Show();
  form->Update();
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::pf24bit);
  bmp.SetSize(200, 100);
  form->PaintTo(bmp.Canvas()->GetHandle(), 0, 0);
  int red = 0;
  for (int y = 10; y < 10 + label->Height(); ++y)
    for (int x = 10; x < 10 + label->Width(); ++x)
      if (bmp.Canvas()->GetPixel(x, y) == clRed) ++red;
  EXPECT_GT(red, 20);
  EXPECT_EQ(bmp.Canvas()->GetPixel(5, 5), clWhite);
}

// ---------------------------------------------------------------------------------------------

TEST(ComboBox, ItemsAndSelectionWithoutAndWithAWindow) {
  auto form = fwtest::MakeForm();
  auto* combo = new TComboBox(form.get());
  combo->SetParent(form.get());
  combo->Items()->Add("COM1");
  combo->Items()->Add("COM7");
  combo->Items()->Add("COM12");
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "COM7");
  combo->SetItemIndex(3);   // out of range: nothing selected
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetItemIndex(1);
  // Inserting before the selection moves it along.
  combo->Items()->Insert(0, "COM0");
  EXPECT_EQ(combo->ItemIndex(), 2);

  HWND h = combo->Handle();
  EXPECT_EQ(::SendMessageA(h, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "COM7");
  char buf[32] = {};
  ::SendMessageA(h, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(buf));
  EXPECT_STREQ(buf, "COM12");

  combo->Items()->Delete(0);
  EXPECT_EQ(::SendMessageA(h, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(combo->Items()->Get(0), "COM1");
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->Text(), "COM1");
  // A typed text in an editable combo box.
  combo->SetText("COM99");
  EXPECT_EQ(combo->Text(), "COM99");
  EXPECT_EQ(combo->ItemIndex(), -1);

  // Recreating the window keeps items and selection.
  combo->SetItemIndex(2);
  combo->SetStyle(csDropDownList);
  EXPECT_EQ(::SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "COM12");
  // A list-only combo takes a text only as the choice of that item.
  combo->SetText("COM7");
  EXPECT_EQ(combo->ItemIndex(), 1);
  combo->Clear();
  EXPECT_EQ(combo->Items()->Count(), 0);
  EXPECT_EQ(::SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(combo->Text(), "");
  EXPECT_THROW(combo->Items()->Delete(0), EListError);
}

TEST(ComboBox, SortedAndEvents) {
  auto form = fwtest::MakeForm();
  auto* combo = new TComboBox(form.get());
  combo->SetParent(form.get());
  combo->Items()->Add("b");
  combo->Items()->Add("C");
  combo->Items()->Add("a");
  combo->SetSorted(true);
  EXPECT_EQ(combo->Items()->CommaText(), "a,b,C");
  EXPECT_EQ(combo->Items()->Add("B2"), 2);
  int changes = 0;
  int selects = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->OnSelect = [&](TObject*) { ++selects; };
  form->Show();
  // The system reports a choice from the list as CBN_SELCHANGE to the parent.
  ::SendMessageA(combo->Handle(), CB_SETCURSEL, 1, 0);
  ::SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo->Handle()));
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(combo->Text(), "b");
  // Moved and sized after its window was made, the list still shows its items when dropped.
  combo->SetBounds(10, 10, 150, 21);
  int drops = 0;
  combo->OnDropDown = [&](TObject*) { ++drops; };
  combo->SetDroppedDown(true);
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(drops, 1);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(::GetComboBoxInfo(combo->Handle(), &info));
  RECT list{};
  ::GetWindowRect(info.hwndList, &list);
  const int itemHeight = static_cast<int>(::SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, 0, 0));
  EXPECT_GE(list.bottom - list.top, 4 * itemHeight);
  EXPECT_EQ(combo->Height(), 21);
  combo->SetDroppedDown(false);
  EXPECT_FALSE(combo->DroppedDown());
}

TEST(ComboBox, OwnerDrawnItemsAreMeasuredAndDrawn) {
  auto form = fwtest::MakeForm();
  auto* combo = new TComboBox(form.get());
  combo->SetParent(form.get());
  combo->SetStyle(csOwnerDrawFixed);
  combo->SetItemHeight(22);
  combo->Items()->Add("first");
  combo->Items()->Add("second");
  combo->SetItemIndex(1);
  std::vector<int> drawn;
  combo->OnDrawItem = [&](TWinControl* c, int index, const TRect& r, TOwnerDrawState) {
    EXPECT_EQ(c, combo);
    drawn.push_back(index);
    combo->Canvas()->FillRect(r);
  };
  form->Show();
  form->Update();
  ::UpdateWindow(combo->Handle());
  EXPECT_EQ(combo->ItemHeight(), 22);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), 1);   // the edit part shows the selected item
}

// ---------------------------------------------------------------------------------------------

TEST(Panel, BevelsAndBorderWidthNarrowTheChildrensArea) {
  auto form = fwtest::MakeForm(400, 300);
  auto* outer = new TPanel(form.get());
  outer->SetParent(form.get());
  outer->SetAlign(alClient);
  outer->SetBevelOuter(bvNone);
  outer->SetBorderWidth(10);
  auto* inner = new TPanel(form.get());
  inner->SetParent(outer);
  inner->SetAlign(alClient);
  inner->SetBevelOuter(bvRaised);
  inner->SetBevelInner(bvLowered);
  inner->SetBevelWidth(2);
  inner->SetBorderWidth(2);
  auto* box = new TPaintBox(form.get());
  box->SetParent(inner);
  box->SetAlign(alClient);
  form->Show();
  EXPECT_EQ(outer->BoundsRect(), Rect(0, 0, 400, 300));
  EXPECT_EQ(inner->BoundsRect(), Rect(10, 10, 390, 290));
  // Two bevels of two pixels and a border of two: six pixels on each side.
  EXPECT_EQ(box->BoundsRect(), Rect(6, 6, 374, 274));
  inner->SetBevelInner(bvNone);
  EXPECT_EQ(box->BoundsRect(), Rect(4, 4, 376, 276));
}

TEST(Panel, PaintsBevelFaceAndCaption) {
  auto form = fwtest::MakeForm(200, 100);
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 200, 100);
  panel->SetColor(clWhite);
  panel->SetCaption("Panel1");
  form->Show();
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::pf24bit);
  bmp.SetSize(200, 100);
  panel->PaintTo(bmp.Canvas()->GetHandle(), 0, 0);
  EXPECT_EQ(bmp.Canvas()->GetPixel(0, 50), ColorToRGB(clBtnHighlight));   // raised: light left
  EXPECT_EQ(bmp.Canvas()->GetPixel(199, 50), ColorToRGB(clBtnShadow));    // and dark right
  EXPECT_EQ(bmp.Canvas()->GetPixel(10, 10), clWhite);
  int text = 0;
  for (int x = 60; x < 140; ++x)
    for (int y = 40; y < 60; ++y)
      if (bmp.Canvas()->GetPixel(x, y) != clWhite) ++text;
  EXPECT_GT(text, 10);   // the caption in the middle

  // ParentBackground: the face takes the parent's colour.
  form->SetColor(clYellow);
  panel->SetParentBackground(true);
  panel->PaintTo(bmp.Canvas()->GetHandle(), 0, 0);
  EXPECT_EQ(bmp.Canvas()->GetPixel(10, 10), clYellow);
}

TEST(Image, AutoSizeStretchAndCenter) {
  auto form = fwtest::MakeForm(300, 300);
  auto* image = new TImage(form.get());
  image->SetParent(form.get());
  image->SetBounds(0, 0, 100, 80);
  TBitmap pic;
  pic.SetPixelFormat(TPixelFormat::pf24bit);
  pic.SetSize(40, 20);
  image->Picture()->SetGraphic(&pic);
  EXPECT_EQ(image->DestRect(), Rect(0, 0, 40, 20));
  image->SetCenter(true);
  EXPECT_EQ(image->DestRect(), Rect(30, 30, 70, 50));
  image->SetStretch(true);
  EXPECT_EQ(image->DestRect(), Rect(0, 0, 100, 80));
  image->SetProportional(true);
  EXPECT_EQ(image->DestRect(), Rect(0, 15, 100, 65));
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 40);
  EXPECT_EQ(image->Height(), 20);
}

TEST(Image, PaintsThePictureStretchedOnItsParent) {
  auto form = fwtest::MakeForm(200, 200);
  form->SetColor(clWhite);
  auto* image = new TImage(form.get());
  image->SetParent(form.get());
  image->SetBounds(10, 10, 100, 80);
  image->SetStretch(true);
  TBitmap pic;
  pic.SetPixelFormat(TPixelFormat::pf24bit);
  pic.SetSize(4, 2);
  pic.Canvas()->Brush()->SetColor(clRed);
  pic.Canvas()->FillRect(Rect(0, 0, 4, 2));
  image->Picture()->SetGraphic(&pic);
  form->Show();
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf24bit);
  shot.SetSize(200, 200);
  form->PaintTo(shot.Canvas()->GetHandle(), 0, 0);
  EXPECT_EQ(shot.Canvas()->GetPixel(105, 85), clRed);
  EXPECT_EQ(shot.Canvas()->GetPixel(115, 95), clWhite);
  // Painting leaves the picture as it was.
  EXPECT_EQ(image->Picture()->GetWidth(), 4);
  EXPECT_EQ(image->Picture()->GetHeight(), 2);
}

// ---------------------------------------------------------------------------------------------

TEST(Buttons, ClickSetsTheFormsModalResult) {
  auto form = fwtest::MakeForm();
  auto* ok = new TButton(form.get());
  ok->SetParent(form.get());
  ok->SetCaption("&OK");
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  EXPECT_NE(::GetWindowLongA(ok->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
  ::SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
  // Enter reaches the default button as a dialog key.
  form->SetModalResult(mrNone);
  EXPECT_EQ(ok->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
  EXPECT_EQ(ok->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 0);   // not the cancel button

  // Enter goes to a focused other button rather than to the default one; Escape to Cancel.
  auto* cancel = new TButton(form.get());
  cancel->SetParent(form.get());
  cancel->SetBounds(100, 0, 75, 25);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  cancel->SetFocus();
  form->SetModalResult(mrNone);
  EXPECT_EQ(ok->Perform(CM_DIALOGKEY, VK_RETURN, 0), 0);
  EXPECT_EQ(cancel->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
  EXPECT_EQ(form->ModalResult(), mrCancel);
  form->SetModalResult(mrNone);
  EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
  EXPECT_EQ(form->ModalResult(), mrCancel);
}

// Alt+letter presses the button of that accelerator, as the system delivers it: a key press
// posted to the focused window (the edit inside a drop-down combo box, or another button) and
// translated by the application's loop. A disabled button does not take its letter.
TEST(Buttons, AltLetterThroughTheMessageLoopClicksTheButtonOfThatAccelerator) {
  auto form = fwtest::MakeForm();
  auto* combo = new TComboBox(form.get());
  combo->SetParent(form.get());
  combo->SetStyle(csDropDown);
  combo->SetBounds(10, 10, 120, 21);
  auto makeButton = [&](const char* caption, TModalResult result, int left, int& clicks) {
    auto* b = new TButton(form.get());
    b->SetParent(form.get());
    b->SetBounds(left, 100, 75, 25);
    b->SetCaption(caption);
    b->SetModalResult(result);
    b->OnClick = [&clicks](TObject*) { ++clicks; };
    return b;
  };
  int okClicks = 0, cancelClicks = 0, bothClicks = 0;
  TButton* ok = makeButton("&OK", mrOk, 10, okClicks);
  TButton* cancel = makeButton("&Cancel", mrCancel, 90, cancelClicks);
  makeButton("&&C", mrNone, 170, bothClicks);   // shows "&C": no accelerator
  form->Show();
  const LPARAM altDown = 0x20000001;   // context code: Alt held
  auto altLetter = [&](HWND target, char letter) {
    form->SetModalResult(mrNone);
    ::PostMessageA(target, WM_SYSKEYDOWN, static_cast<WPARAM>(letter), altDown);
    Application->ProcessMessages();
  };

  combo->SetFocus();
  HWND edit = ::GetFocus();
  ASSERT_EQ(::GetParent(edit), combo->Handle());   // the combo box's own edit field
  altLetter(edit, 'C');
  EXPECT_EQ(cancelClicks, 1);
  EXPECT_EQ(bothClicks, 0);
  EXPECT_EQ(form->ModalResult(), mrCancel);
  altLetter(edit, 'O');
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(form->ModalResult(), mrOk);

  // From a button as well; a disabled one is passed over, the letter left to the window
  // (kept from the default handling here: a system menu would open).
  int dispatched = 0;
  TWndMethod saved = cancel->WindowProc;
  cancel->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_SYSCHAR) {
      ++dispatched;
      return;
    }
    saved(m);
  };
  cancel->SetFocus();
  altLetter(cancel->Handle(), 'O');
  EXPECT_EQ(okClicks, 2);
  EXPECT_EQ(dispatched, 0);
  ok->SetEnabled(false);
  altLetter(cancel->Handle(), 'O');
  EXPECT_EQ(okClicks, 2);
  EXPECT_EQ(form->ModalResult(), mrNone);
  EXPECT_EQ(dispatched, 1);
  cancel->WindowProc = saved;
}

TEST(Label, AcceleratorFocusesItsControl) {
  auto form = fwtest::MakeForm();
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(100, 10, 100, 21);
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(100, 40, 100, 21);
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetCaption("&Port name:");
  label->SetFocusControl(edit);
  form->Show();
  other->SetFocus();
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'p', 0), 1);
  EXPECT_TRUE(edit->Focused());
  delete edit;   // the label forgets a freed control
  EXPECT_EQ(label->FocusControl(), nullptr);
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'p', 0), 0);
}

// Alt+letter as the system delivers it: WM_SYSCHAR posted to the focused window, through the
// application's loop, offered to the form's controls (a label inside a panel) as CM_DIALOGCHAR.
TEST(Label, AltLetterThroughTheMessageLoopFocusesTheLabelsControl) {
  auto form = fwtest::MakeForm();
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 300, 100);
  auto* edit = new TEdit(form.get());
  edit->SetParent(panel);
  edit->SetBounds(100, 10, 100, 21);
  auto* label = new TLabel(form.get());
  label->SetParent(panel);
  label->SetCaption("&Port name:");
  label->SetFocusControl(edit);
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(100, 150, 100, 21);
  form->Show();
  // What the loop does not take reaches the window; kept from the default handling here (a
  // system menu would open).
  std::vector<WPARAM> dispatched;
  TWndMethod saved = other->WindowProc;
  other->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_SYSCHAR) {
      dispatched.push_back(m.WParam);
      return;
    }
    saved(m);
  };
  const LPARAM altDown = 0x20000001;   // context code: Alt held
  other->SetFocus();
  ::PostMessageA(other->Handle(), WM_SYSCHAR, 'x', altDown);   // no label has X
  ::PostMessageA(other->Handle(), WM_SYSCHAR, ' ', altDown);   // the system menu's
  Application->ProcessMessages();
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(dispatched, (std::vector<WPARAM>{'x', ' '}));

  ::PostMessageA(other->Handle(), WM_SYSCHAR, 'P', altDown);
  Application->ProcessMessages();
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(dispatched.size(), 2u);   // taken: not dispatched

  // From the form itself (no control focused) as well.
  other->SetFocus();
  ::PostMessageA(form->Handle(), WM_SYSCHAR, 'p', altDown);
  Application->ProcessMessages();
  EXPECT_TRUE(edit->Focused());

  // A disabled label does not take its letter.
  other->SetFocus();
  label->SetEnabled(false);
  ::PostMessageA(other->Handle(), WM_SYSCHAR, 'p', altDown);
  Application->ProcessMessages();
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(dispatched, (std::vector<WPARAM>{'x', ' ', 'p'}));
  other->WindowProc = saved;
}

// KeyPreview: the form sees key down, press and up before the focused control, and a key it
// clears goes no further; without KeyPreview it sees none.
TEST(Edit, KeyPreviewShowsEveryKeyToTheFormFirst) {
  auto form = fwtest::MakeForm();
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(10, 10, 100, 21);
  form->Show();
  std::vector<std::string> log;
  auto keyLogger = [&log](const char* who, const char* what, WORD clear) {
    return [&log, who, what, clear](TObject*, WORD& key, TShiftState) {
      log.push_back(std::string(who) + " " + what + " " + std::to_string(key));
      if (key == clear) key = 0;
    };
  };
  form->OnKeyDown = keyLogger("form", "down", 'X');
  form->OnKeyUp = keyLogger("form", "up", 'X');
  form->OnKeyPress = [&](TObject*, char& c) {
    log.push_back(std::string("form press ") + c);
    if (c == 'x') c = 0;
  };
  edit->OnKeyDown = keyLogger("edit", "down", 0);
  edit->OnKeyUp = keyLogger("edit", "up", 0);
  edit->OnKeyPress = [&](TObject*, char& c) { log.push_back(std::string("edit press ") + c); };
  HWND h = edit->Handle();
  auto type = [h](char vk, char ch) {
    ::SendMessageA(h, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
    ::SendMessageA(h, WM_CHAR, static_cast<WPARAM>(ch), 1);
    ::SendMessageA(h, WM_KEYUP, static_cast<WPARAM>(vk), 0xC0000001);
  };

  type('A', 'a');   // no preview yet
  EXPECT_EQ(log, (std::vector<std::string>{"edit down 65", "edit press a", "edit up 65"}));
  log.clear();
  form->SetKeyPreview(true);
  type('B', 'b');
  EXPECT_EQ(log, (std::vector<std::string>{"form down 66", "edit down 66", "form press b", "edit press b",
                                           "form up 66", "edit up 66"}));
  log.clear();
  type('X', 'x');   // the form keeps X to itself
  EXPECT_EQ(log, (std::vector<std::string>{"form down 88", "form press x", "form up 88"}));
  EXPECT_EQ(edit->Text(), "ab");
}

TEST(Edit, TextChangesAreReported) {
  auto form = fwtest::MakeForm();
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetMaxLength(4);
  form->Show();
  edit->SetText("COM7");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(edit->Text(), "COM7");
  ::SendMessageA(edit->Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("x"));
  EXPECT_EQ(edit->Text(), "COM7");   // at its limit
}

TEST(MessageDialog, AFormOfClassTMessageFormReturnsThePressedButton) {
  std::unique_ptr<TForm> probe(CreateMessageDialog("Please select a device", TMsgDlgType::mtError,
                                                   mbOK));
  EXPECT_STREQ(probe->ClassName(), "TMessageForm");
  EXPECT_EQ(probe->Caption(), "Error");
  char cls[64] = {};
  ::GetClassNameA(probe->Handle(), cls, sizeof(cls));
  EXPECT_STREQ(cls, "TMessageForm");
  probe.reset();

  // Press "No" from a timer while the dialog runs modally.
  TTimer presser(nullptr);
  bool pressed = false;
  presser.SetInterval(100);
  presser.SetOnTimer([&](TObject*) {
    HWND dlg = ::FindWindowA("TMessageForm", "Confirm");
    if (dlg == nullptr || !::IsWindowVisible(dlg)) return;
    HWND no = ::FindWindowExA(dlg, nullptr, "TButton", "&No");
    if (no == nullptr) return;
    presser.SetEnabled(false);
    pressed = true;
    ::PostMessageA(no, BM_CLICK, 0, 0);
  });
  int result = MessageDlg("Overwrite?", TMsgDlgType::mtConfirmation, mbYesNoCancel);
  EXPECT_TRUE(pressed);
  EXPECT_EQ(result, mrNo);
}

// Speed buttons of one parent and group: one down at a time; the last one down stays down unless
// the group may be all up; a button of group 0 springs back.
TEST(SpeedButton, GroupsKeepOneButtonDown) {
  const struct {
    const char* Case;
    int Group;
    bool AllowAllUp;
    bool FirstDownAfterSecond, SecondDownAfterUp;
  } cases[] = {
      {"group", 1, false, false, true},
      {"group that may be all up", 1, true, false, false},
      {"no group", 0, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    auto form = fwtest::MakeForm();
    TSpeedButton* b[2];
    for (auto*& button : b) {
      button = new TSpeedButton(form.get());
      button->SetParent(form.get());
      button->SetGroupIndex(c.Group);
      button->SetAllowAllUp(c.AllowAllUp);
    }
    b[0]->SetDown(true);
    b[1]->SetDown(true);
    EXPECT_EQ(b[0]->Down(), c.FirstDownAfterSecond);
    EXPECT_EQ(b[1]->State(), c.Group != 0 ? bsExclusive : bsUp);
    b[1]->SetDown(false);
    EXPECT_EQ(b[1]->Down(), c.SecondDownAfterUp);
  }
}
