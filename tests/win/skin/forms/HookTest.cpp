// The thread hook: the program's dialogs and the framework's message form get a run-time skin
// provider when they are activated; tags -98, -1 and -2, exempt classes and the skinning rules
// keep a form plain; a hook later in the chain that refuses the activation keeps it plain too.
// The program's units start as in the program; the skin is a small folder written to a scratch
// directory.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/win/ConnectDlg.h"
#include "framework/win/Dialogs.h"
#include "skin/core/sMessages.h"
#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinManager.h"
#include "skin/forms/lxProvider.h"
#include "skin/forms/sSkinProvider.h"
#include "tests/win/skin/forms/AppFormTestUtil.h"

namespace {

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new formtest::TProgramUnits("hook test", false));

// A form of an exempt class.
class TfcPopup : public TForm {
  ORBEX_CLASS(TfcPopup, TForm)
public:
  using TForm::TForm;
};
ORBEX_IMPLEMENT_CLASS(TfcPopup, TForm, nullptr)

// The run-time skin provider the hook gave the form, or null.
TsSkinProvider* RuntimeProvider(TCustomForm* form) {
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* p = As<TsSkinProvider>(form->Components(i)); p != nullptr && p->RuntimeMade()) return p;
  return nullptr;
}

// Skinned by the hook: a run-time provider that keeps the form's colour and answers for it.
::testing::AssertionResult SkinnedByHook(TCustomForm* form) {
  TsSkinProvider* p = RuntimeProvider(form);
  if (p == nullptr) return ::testing::AssertionFailure() << form->ClassName() << " has no run-time provider";
  if (p->UseGlobalColor()) return ::testing::AssertionFailure() << "the provider takes the global colour";
  const LRESULT found = SendSkinCommand(form->Handle(), SkinCmdFindProvider);
  if (found != reinterpret_cast<LRESULT>(p)) return ::testing::AssertionFailure() << "command 4 answers " << found;
  if (SendSkinCommand(form->Handle(), SkinCmdIsSkinned) != 1) return ::testing::AssertionFailure() << "command 7 is not 1";
  return ::testing::AssertionSuccess();
}

// A hook installed before the manager's, so later in the chain: it refuses every activation
// while `Refuse` is set.
class TChainHook {
public:
  TChainHook() : FHook(SetWindowsHookExA(WH_CBT, &Proc, nullptr, GetCurrentThreadId())) {}
  ~TChainHook() { UnhookWindowsHookEx(FHook); }
  TChainHook(const TChainHook&) = delete;
  TChainHook& operator=(const TChainHook&) = delete;
  bool Installed() const { return FHook != nullptr; }
  static inline bool Refuse = false;

private:
  static LRESULT CALLBACK Proc(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE && Refuse) return 1;
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }
  HHOOK FHook;
};

class Hook : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Dir = formtest::ScratchPath("hook");
    formtest::WriteSkinFolder(Dir, "Plain",
                              "[GLOBALINFO]\r\nVERSION=7.2\r\nSTATES=1\r\nCOLOR=12632256\r\n"
                              "[FORM]\r\nSTATES=1\r\nCOLOR=12632256\r\n");
  }
  void SetUp() override {
    M = std::make_unique<TsSkinManager>(nullptr);
    ASSERT_EQ(TsSkinManager::DefaultManager(), M.get());
    M->SetSkinDirectory(Dir);
    M->SetSkinName("Plain");
    ASSERT_TRUE(M->HookInstalled());
  }
  void TearDown() override { M.reset(); }
  // Takes the form and shows it.
  template <class T>
  static std::unique_ptr<T> Shown(T* form) {
    std::unique_ptr<T> f(form);
    f->Show();
    return f;
  }
  // A sizeable form is met when its window is made (a top-level window without parent), a
  // dialog-framed one (a popup, whose owner counts as its parent) when it is activated.
  std::unique_ptr<TForm> ShownForm(std::intptr_t tag, TFormBorderStyle border = bsSizeable) {
    auto* f = NewComponent<TForm>(nullptr);
    f->SetTag(tag);
    f->SetBorderStyle(border);
    return Shown(f);
  }
  static std::string Dir;
  std::unique_ptr<TsSkinManager> M;
};
std::string Hook::Dir;

TEST_F(Hook, ProgramDialogsAndMessageFormAreSkinnedOnActivation) {
  auto connect = Shown(NewComponent<TConnectDialog>(nullptr));
  auto about = Shown(NewComponent<TAboutBox>(nullptr));
  auto help = Shown(NewComponent<THelpForm>(nullptr));
  auto message = Shown(CreateMessageDialog("Hook", TMsgDlgType::mtInformation, mbOK));
  ASSERT_STREQ(message->ClassName(), "TMessageForm");
  for (TCustomForm* f : std::initializer_list<TCustomForm*>{connect.get(), about.get(), help.get(), message.get()})
    EXPECT_TRUE(SkinnedByHook(f));
  // One provider each, listed; activating a skinned form again adds none.
  EXPECT_EQ(ListedProviders().size(), 4u);
  SetActiveWindow(connect->Handle());
  SetActiveWindow(about->Handle());
  EXPECT_EQ(ListedProviders().size(), 4u);
  // A form that goes takes its provider off the list.
  about.reset();
  EXPECT_EQ(ListedProviders().size(), 3u);
  for (TlxProvider* p : ListedProviders()) EXPECT_NE(p->SkinProvider(), nullptr);
  // The skin provider belongs to the form: when it goes, the hook's provider forgets it.
  TlxProvider* helpProvider = nullptr;
  for (int i = 0; i < help->ComponentCount(); ++i)
    if (auto* p = As<TlxProvider>(help->Components(i))) helpProvider = p;
  ASSERT_NE(helpProvider, nullptr);
  delete RuntimeProvider(help.get());
  EXPECT_EQ(helpProvider->SkinProvider(), nullptr);
}

TEST_F(Hook, TopLevelFormsAreSkinnedWhenMadeDialogFramedOnesWhenActivated) {
  TForm sizeable(nullptr), dialog(nullptr);
  dialog.SetBorderStyle(bsDialog);
  sizeable.HandleNeeded();
  dialog.HandleNeeded();
  EXPECT_TRUE(SkinnedByHook(&sizeable));
  EXPECT_EQ(RuntimeProvider(&dialog), nullptr);   // a popup: its owner counts as its parent
  dialog.Show();
  EXPECT_TRUE(SkinnedByHook(&dialog));
}

TEST_F(Hook, TagsOfAuxiliaryFormsKeepThemPlain) {
  for (TFormBorderStyle border : {bsSizeable, bsDialog}) {
    for (std::intptr_t tag : {-98, -1, -2}) {
      auto f = ShownForm(tag, border);
      EXPECT_EQ(RuntimeProvider(f.get()), nullptr) << "tag " << tag;
    }
    for (std::intptr_t tag : {-97, 0, 1}) {
      auto f = ShownForm(tag, border);
      EXPECT_TRUE(SkinnedByHook(f.get())) << "tag " << tag;
    }
  }
}

TEST_F(Hook, MessageFormNeedsTheStandardDialogsRule) {
  M->SetSkinningRules(1u << srStdForms);
  auto message = Shown(CreateMessageDialog("Hook", TMsgDlgType::mtWarning, mbOK));
  auto other = ShownForm(0);
  EXPECT_EQ(RuntimeProvider(message.get()), nullptr);
  EXPECT_TRUE(SkinnedByHook(other.get()));
  M->SetSkinningRules(1u << srStdDialogs);
  auto message2 = Shown(CreateMessageDialog("Hook", TMsgDlgType::mtWarning, mbOK));
  auto other2 = ShownForm(0);
  EXPECT_TRUE(SkinnedByHook(message2.get()));
  EXPECT_EQ(RuntimeProvider(other2.get()), nullptr);
}

TEST_F(Hook, ExemptClassesAreNeverSkinned) {
  EXPECT_TRUE(IsSkinExemptClass("TApplication"));
  EXPECT_TRUE(IsSkinExemptClass("TfcPopup"));
  EXPECT_FALSE(IsSkinExemptClass("tfcpopup"));
  EXPECT_FALSE(IsSkinExemptClass("TForm"));
  auto popup = Shown(NewComponent<TfcPopup>(nullptr));
  EXPECT_EQ(RuntimeProvider(popup.get()), nullptr);
  EXPECT_EQ(ListedProviders().size(), 0u);
}

TEST_F(Hook, ActivationRefusedLaterInTheChainLeavesTheFormPlain) {
  // The manager's hook goes on top of the test's, so that the test's hook answers after it.
  M->RemoveGlobalHook();
  TChainHook chain;
  ASSERT_TRUE(chain.Installed());
  M->InstallGlobalHook();
  ASSERT_TRUE(M->HookInstalled());
  TChainHook::Refuse = true;
  auto refused = ShownForm(0, bsDialog);
  TChainHook::Refuse = false;
  EXPECT_EQ(RuntimeProvider(refused.get()), nullptr);
  auto allowed = ShownForm(0, bsDialog);
  EXPECT_TRUE(SkinnedByHook(allowed.get()));
  M->RemoveGlobalHook();
}

TEST_F(Hook, WithdrawingTheSkinFreesTheProvidersButFormsKeepTheirSkinProviders) {
  auto f = ShownForm(0);
  ASSERT_EQ(ListedProviders().size(), 1u);
  M->SetActive(false);
  EXPECT_FALSE(M->HookInstalled());
  EXPECT_TRUE(ListedProviders().empty());
  EXPECT_NE(RuntimeProvider(f.get()), nullptr);
  for (int i = 0; i < f->ComponentCount(); ++i) EXPECT_EQ(As<TlxProvider>(f->Components(i)), nullptr);
}

}  // namespace
