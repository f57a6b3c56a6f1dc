// Tests of the engine's message box: captions by kind, the buttons chosen from the set, the
// preset position held only while the box is up, the application's modal state, the result.
// A thread timer finds the box inside its modal loop, records it and presses a button.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <string>

#include "skin/paint/win/sWinUtils.h"

namespace {

struct Seen {
  bool Found = false;
  std::string Caption;
  bool Has[12] = {};   // by button identifier, IDOK (1) .. IDCONTINUE (11)
  TPoint Preset{0, 0};
  int ModalLevel = 0;
  int Press = IDOK;
};
Seen Box;

BOOL CALLBACK FindBox(HWND wnd, LPARAM out) {
  char cls[32] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  if (std::string(cls) != "#32770" || !IsWindowVisible(wnd)) return TRUE;
  *reinterpret_cast<HWND*>(out) = wnd;
  return FALSE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (box == nullptr) return;
  KillTimer(nullptr, id);
  Box.Found = true;
  char text[128] = {};
  GetWindowTextA(box, text, sizeof text);
  Box.Caption = text;
  for (int b = IDOK; b <= IDCONTINUE; ++b) Box.Has[b] = GetDlgItem(box, b) != nullptr;
  Box.Preset = SkinMessageBoxPosition;
  Box.ModalLevel = Application->ModalLevel();
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(Box.Press, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, Box.Press)));
}

// Shows a box through `show`, pressing `press`; returns the box's result.
template <class Show>
int ShowAndPress(int press, Show show) {
  Box = Seen{};
  Box.Press = press;
  SetTimer(nullptr, 0, 20, OnTimer);
  return show();
}

class SkinMessageBox : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (Application == nullptr) InitForms();
    Application->Initialize();
  }
};

}  // namespace

TEST_F(SkinMessageBox, KindCaptionsPositionAndModalState) {
  EXPECT_EQ(ShowAndPress(IDOK, [] { return ShowSkinMessageBox("", "Disk on fire", smkError, 0, 10, 20); }),
            IDOK);
  ASSERT_TRUE(Box.Found);
  EXPECT_EQ(Box.Caption, "Error");
  EXPECT_TRUE(Box.Has[IDOK]);
  EXPECT_FALSE(Box.Has[IDCANCEL]);
  EXPECT_EQ(Box.Preset, (TPoint{10, 20}));
  EXPECT_EQ(Box.ModalLevel, 1);
  EXPECT_EQ(SkinMessageBoxPosition, (TPoint{-1, -1}));
  EXPECT_EQ(Application->ModalLevel(), 0);

  ShowAndPress(IDOK, [] { return ShowSkinMessage("x", smkWarning); });
  EXPECT_EQ(Box.Caption, "Warning");
  ShowAndPress(IDOK, [] { return ShowSkinMessage("x", smkInformation); });
  EXPECT_EQ(Box.Caption, "Information");
  ShowAndPress(IDOK, [] { return ShowSkinMessageBox("Own", "x", smkConfirm); });
  EXPECT_EQ(Box.Caption, "Own");
  ShowAndPress(IDOK, [] { return ShowSkinMessage("x", 99); });   // unknown kind: no caption, no crash
  ASSERT_TRUE(Box.Found);
  EXPECT_EQ(Box.Caption, "");
  ShowAndPress(IDOK, [] {
    ShowErrorMessage("x");
    return 0;
  });
  EXPECT_EQ(Box.Caption, "Error");
}

TEST_F(SkinMessageBox, ButtonsFromTheSet) {
  EXPECT_EQ(ShowAndPress(IDNO, [] { return ShowSkinMessage("?", smkConfirm, mbYesNoCancel); }), IDNO);
  EXPECT_TRUE(Box.Has[IDYES] && Box.Has[IDNO] && Box.Has[IDCANCEL]);
  EXPECT_FALSE(Box.Has[IDOK]);

  ShowAndPress(IDYES, [] { return ShowSkinMessage("?", smkConfirm, mbYes | mbNo); });
  EXPECT_TRUE(Box.Has[IDYES] && Box.Has[IDNO]);
  EXPECT_FALSE(Box.Has[IDCANCEL]);

  EXPECT_EQ(ShowAndPress(IDIGNORE, [] { return ShowSkinMessage("?", smkError, mbAbort | mbYes); }),
            IDIGNORE);
  EXPECT_TRUE(Box.Has[IDABORT] && Box.Has[IDRETRY] && Box.Has[IDIGNORE]);

  ShowAndPress(IDRETRY, [] { return ShowSkinMessage("?", smkError, mbRetry); });
  EXPECT_TRUE(Box.Has[IDRETRY] && Box.Has[IDCANCEL]);
  EXPECT_FALSE(Box.Has[IDOK]);

  EXPECT_EQ(ShowAndPress(IDCANCEL, [] { return ShowSkinMessage("?", smkWarning, mbOKCancel | mbYes); }),
            IDCANCEL);
  EXPECT_TRUE(Box.Has[IDOK] && Box.Has[IDCANCEL]);
  EXPECT_FALSE(Box.Has[IDYES]);
}
