// Tests of skin commands between the framework's controls and forms: sends to one control,
// the walk down the control tree, colours, and the broadcasts to the application's forms and
// the registered skinned forms, none of which may make a window handle to send.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinDataWin.h"

namespace {

// Counts the skin commands it gets; answers command 7 when skinned and command 21 with its
// colour; honours command 26 only when the guard allows it.
template <class Base>
class TProbe : public Base {
public:
  TProbe(TComponent* owner, TWinControl* parent, bool skinned) : Base(owner), Skinned(skinned) {
    if (parent != nullptr) this->SetParent(parent);
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SKINCOMMAND) {
      const std::uint16_t cmd = SkinCommandOf(m.WParam);
      if (cmd == SkinCmdRepaintNow) ++Received;
      if (Skinned) {
        if (!SkinCommandAllowed(m.WParam, m.LParam)) {
          m.Result = 0;
          return;
        }
        switch (cmd) {
          case SkinCmdIsSkinned:
            m.Result = 1;
            return;
          case SkinCmdQueryColor:
            m.Result = 0x00ABCDEF;
            return;
          case SkinCmdAdoptControls:
            Adopted = reinterpret_cast<TControl*>(m.LParam);
            return;
          default:
            break;
        }
      }
    }
    Base::WndProc(m);
  }
  bool Skinned;
  int Received = 0;
  TControl* Adopted = nullptr;
};

using TProbeCtrl = TProbe<TWinControl>;
using TProbeGraphic = TProbe<TGraphicControl>;
using TProbeForm = TProbe<TForm>;

TMessage RepaintNow() {
  TMessage m;
  m.Msg = WM_SKINCOMMAND;
  m.WParam = MakeSkinWParam(SkinCmdRepaintNow);
  return m;
}

class SkinBroadcast : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
  }
};

}  // namespace

TEST_F(SkinBroadcast, SendToOneControlNeverMakesAHandle) {
  TProbeForm form(nullptr, nullptr, false);
  form.HandleNeeded();
  // Children get their windows with their parent's: a form without one holds windowless ones.
  TProbeForm bare(nullptr, nullptr, false);
  TProbeCtrl windowless(nullptr, &bare, true);
  ASSERT_FALSE(windowless.HandleAllocated());
  EXPECT_EQ(QuerySkinControl(&windowless, SkinCmdIsSkinned), 0);
  EXPECT_FALSE(windowless.HandleAllocated());

  TProbeCtrl skinned(nullptr, &form, true), plain(nullptr, &form, false);
  TProbeGraphic graphic(nullptr, &form, true);
  EXPECT_EQ(QuerySkinControl(&skinned, SkinCmdIsSkinned), 1);
  EXPECT_EQ(QuerySkinControl(&plain, SkinCmdIsSkinned), 0);
  EXPECT_EQ(QuerySkinControl(&graphic, SkinCmdIsSkinned), 1);   // by Perform
  EXPECT_EQ(QuerySkinControl(nullptr, SkinCmdIsSkinned), 0);

  EXPECT_EQ(GetControlColor(nullptr), 0xFF00FFu);
  plain.SetColor(0x00112233);
  EXPECT_EQ(GetControlColor(&plain), 0x112233u);
  EXPECT_EQ(GetControlColor(&skinned), 0xABCDEFu);

  // Command 25 carries the control: it reaches the skinned form through the guard.
  TProbeForm skinnedForm(nullptr, nullptr, true);
  skinnedForm.HandleNeeded();
  TProbeCtrl child(nullptr, &skinnedForm, false);
  NotifyParentForm(&child);
  EXPECT_EQ(skinnedForm.Adopted, &child);
}

TEST_F(SkinBroadcast, ChildControlWalk) {
  TProbeForm form(nullptr, nullptr, false);
  form.HandleNeeded();
  TProbeCtrl skinned(nullptr, &form, true), inSkinned(nullptr, &skinned, true);
  TProbeCtrl plain(nullptr, &form, false), inPlain(nullptr, &plain, true);
  TProbeGraphic graphic(nullptr, &form, true);
  TProbeForm bare(nullptr, nullptr, false);
  TProbeCtrl noHandle(nullptr, &bare, true);
  ASSERT_FALSE(noHandle.HandleAllocated());
  skinned.HandleNeeded();
  inSkinned.HandleNeeded();
  plain.HandleNeeded();
  inPlain.HandleNeeded();

  TMessage m = RepaintNow();
  BroadcastToChildControls(&form, m);
  EXPECT_EQ(skinned.Received, 1);
  EXPECT_EQ(inSkinned.Received, 0);   // a skinned child passes it on itself
  EXPECT_EQ(plain.Received, 0);       // an unskinned child is skipped ...
  EXPECT_EQ(inPlain.Received, 1);     // ... but its children are reached
  EXPECT_EQ(graphic.Received, 1);
  BroadcastToChildControls(&bare, m);
  EXPECT_EQ(noHandle.Received, 1);    // by Perform
  EXPECT_FALSE(noHandle.HandleAllocated());
  EXPECT_EQ(form.Received, 0);
}

TEST_F(SkinBroadcast, AChildBeingDestroyedIsSkippedNotTheEnd) {
  TProbeForm form(nullptr, nullptr, false);
  form.HandleNeeded();
  TProbeCtrl first(nullptr, &form, true), going(nullptr, &form, true), last(nullptr, &form, true);
  TProbeGraphic lastGraphic(nullptr, &form, true);
  going.Destroying();
  TMessage m = RepaintNow();
  BroadcastToChildControls(&form, m);
  EXPECT_EQ(first.Received, 1);
  EXPECT_EQ(going.Received, 0);
  EXPECT_EQ(last.Received, 1);
  EXPECT_EQ(lastGraphic.Received, 1);
}

TEST_F(SkinBroadcast, FormsAndRegisteredForms) {
  auto* plainForm = new TProbeForm(Application, nullptr, false);
  auto* skinnedForm = new TProbeForm(Application, nullptr, true);
  auto* hiddenForm = new TProbeForm(Application, nullptr, false);   // never given a handle
  TProbeForm registered(nullptr, nullptr, true);
  plainForm->HandleNeeded();
  skinnedForm->HandleNeeded();
  registered.HandleNeeded();
  // Children of the heap forms are freed by their forms.
  auto* a = new TProbeCtrl(nullptr, plainForm, true);
  auto* b = new TProbeCtrl(nullptr, skinnedForm, true);
  auto* lazy = new TProbeCtrl(nullptr, hiddenForm, true);
  TProbeCtrl c(nullptr, &registered, true);
  a->HandleNeeded();
  b->HandleNeeded();
  c.HandleNeeded();

  RegisterSkinnedForm(&registered);
  RegisterSkinnedForm(skinnedForm);
  TMessage m = RepaintNow();
  BroadcastToForms(m);
  EXPECT_EQ(plainForm->Received, 1);
  EXPECT_EQ(a->Received, 1);
  EXPECT_EQ(skinnedForm->Received, 1);   // skipped as skinned, reached as registered
  EXPECT_EQ(b->Received, 1);
  EXPECT_EQ(registered.Received, 1);
  EXPECT_EQ(c.Received, 1);
  EXPECT_EQ(hiddenForm->Received, 1);
  EXPECT_FALSE(hiddenForm->HandleAllocated());
  EXPECT_EQ(lazy->Received, 1);
  EXPECT_FALSE(lazy->HandleAllocated());

  UnregisterSkinnedForm(&registered);
  ASSERT_EQ(RegisteredSkinnedForms().size(), 1u);
  EXPECT_EQ(RegisteredSkinnedForms()[0], skinnedForm);   // the last took its place
  UnregisterSkinnedForm(&registered);                     // not registered: nothing
  UnregisterSkinnedForm(skinnedForm);
  EXPECT_TRUE(RegisteredSkinnedForms().empty());
  delete plainForm;
  delete skinnedForm;
  delete hiddenForm;
}
