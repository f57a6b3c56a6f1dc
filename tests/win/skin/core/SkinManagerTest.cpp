// The skin manager in process: which source a skin name loads (".tez" stripped, a packed file
// before a folder, the first stored skin for an unknown name), its events, the commands it
// broadcasts, a failed load or reload that keeps the skin in use, the list of skins, the skin
// editor's data block and the stored skins. Skins are written to a scratch folder; error boxes
// are read and closed by a thread timer.
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "skin/core/win/sMessagesWin.h"
#include "skin/core/win/sSkinDataWin.h"
#include "skin/core/win/sSkinManager.h"
#include "tests/native/skin/core/PackedSkinBuilder.h"
#include "tests/win/skin/ScratchSkins.h"

namespace {

// The texts of the message boxes shown on this thread, each closed as soon as it is seen.
std::vector<std::string> Boxes;

BOOL CALLBACK CloseBox(HWND wnd, LPARAM) {
  char cls[32] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  if (std::string(cls) != "#32770" || !IsWindowVisible(wnd)) return TRUE;
  char text[1024] = {};
  GetDlgItemTextA(wnd, 0xFFFF, text, sizeof text);
  Boxes.emplace_back(text);
  PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(wnd, IDOK)));
  return FALSE;
}

void CALLBACK BoxTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), CloseBox, 0); }

std::string Options(const std::string& version, const std::string& section) {
  return "[GLOBALINFO]\r\nVERSION=" + version + "\r\n[" + section + "]\r\nCOLOR=0x123456\r\n";
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Packed(const std::string& options) { return BuildPackedSkin({{"Options.dat", options}}); }

// Records the skin commands its window gets: the command and whether LParam was the manager.
class TRecorder : public TForm {
public:
  explicit TRecorder(TComponent* owner) : TForm(owner) {}
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SKINCOMMAND) Seen.push_back({SkinCommandOf(m.WParam), m.LParam, SkinApplying});
    TForm::WndProc(m);
  }
  struct TSeen {
    std::uint16_t Command;
    LPARAM LParam;
    bool Applying;
  };
  std::vector<TSeen> Seen;
};

class SkinManager : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sMessagesInitialization();
    if (Application == nullptr) InitForms();
    Dir = formtest::ScratchPath("skinmanager");
    CreateDirectoryA(Dir.c_str(), nullptr);
    for (const char* f : {"Fold", "Both"}) CreateDirectoryA((Dir + "\\" + f).c_str(), nullptr);
    WriteFile(Dir + "\\Fold\\Options.dat", Options("7.2", "FOLD"));
    WriteFile(Dir + "\\Both\\Options.dat", Options("7.2", "FOLDER"));
    WriteFile(Dir + "\\Both.tez", Packed(Options("7.3", "PACKED")));
    WriteFile(Dir + "\\Blue.Theme.tez", Packed(Options("7.4", "BLUE")));
    WriteFile(Dir + "\\Bad.tez", BuildPackedSkin({{"Options.dat", Options("7.2", "X")}}, "TEZF"));
    WriteFile(Dir + "\\Red.TEZ", Packed(Options("7.2", "RED")));
    Timer = SetTimer(nullptr, 0, 30, BoxTimer);
  }
  static void TearDownTestSuite() { KillTimer(nullptr, Timer); }
  void SetUp() override {
    Boxes.clear();
    M = std::make_unique<TsSkinManager>(nullptr);
    M->SetSkinDirectory(Dir);
    TsStoredSkin* s1 = M->InternalSkins()->Add();
    s1->Name = "S1";
    const std::string data = Packed(Options("7.2", "STORED"));
    s1->SetPackedData(std::vector<std::uint8_t>(data.begin(), data.end()));
    M->InternalSkins()->Add()->Name = "S2";
  }
  bool Has(const std::string& section) const { return FindSectionIndex(M->Tables(), section) >= 0; }
  static inline std::string Dir;
  static inline UINT_PTR Timer = 0;
  std::unique_ptr<TsSkinManager> M;
};

// The skin editor's WM_COPYDATA: the block of skin "Ed" of the scratch folder whose text
// holds the given section.
struct TEditorMessage {
  TEditorMessage(const std::string& dir, const char* section) : Block(TsEditorBlock::Size, 0) {
    Block[1] = 0xA4;
    memcpy(&Block[TsEditorBlock::NameOffset], "Ed", 2);
    memcpy(&Block[TsEditorBlock::DirOffset], dir.data(), dir.size());
    const std::string text = Options("7.2", section);
    memcpy(&Block[TsEditorBlock::TextOffset], text.data(), text.size());
    Cds = COPYDATASTRUCT{0, static_cast<DWORD>(Block.size()), Block.data()};
    M.Msg = WM_COPYDATA;
    M.WParam = 7;
    M.LParam = reinterpret_cast<LPARAM>(&Cds);
  }
  TEditorMessage(const TEditorMessage&) = delete;
  TEditorMessage& operator=(const TEditorMessage&) = delete;
  std::vector<std::uint8_t> Block;
  COPYDATASTRUCT Cds{};
  TMessage M;
};

}  // namespace

TEST_F(SkinManager, NamesLoadTheirSource) {
  M->SetSkinName("Both.TEZ");   // the packed file beats the folder of the same name
  EXPECT_EQ(M->GetSkinName(), "Both");
  EXPECT_TRUE(Has("PACKED"));
  EXPECT_TRUE(M->SkinIsPacked());
  EXPECT_EQ(M->GetSkinInfo(), "7.3");
  M->SetSkinName("Fold");
  EXPECT_TRUE(Has("FOLD"));
  EXPECT_FALSE(M->SkinIsPacked());
  M->SetSkinName("Blue.Theme");   // the listed name of Blue.Theme.tez loads it
  EXPECT_TRUE(Has("BLUE"));
  M->SetSkinName("S1.tez");
  EXPECT_EQ(M->GetSkinName(), "S1");
  EXPECT_TRUE(Has("STORED"));
  M->SetSkinName("NoSuchSkin");   // the first stored skin, renamed
  EXPECT_EQ(M->GetSkinName(), "S1");
  EXPECT_EQ(M->GetSkinInfo(), "7.2");
  M->SetSkinName("S2");   // stored without data: loads nothing
  EXPECT_EQ(M->Tables()->GeneralData.size(), 0u);
  EXPECT_TRUE(Boxes.empty());
  M->SetActive(false);
  EXPECT_EQ(M->GetSkinInfo(), "N/A");

  std::string first;
  TStringList list;
  M->ListSkins(list, 2, first);
  EXPECT_EQ(list.CommaText(), "Bad,Blue.Theme,Both,Both,Fold,S1,S2");
  EXPECT_EQ(first, "S1");
  M->ListSkins(list, 1, first);
  EXPECT_EQ(list.CommaText(), "Bad,Blue.Theme,Both,S1,S2");
}

TEST_F(SkinManager, EventsOncePerAssignmentWhileActive) {
  int before = 0, after = 0;
  M->OnBeforeChange = [&](TObject*) { ++before; };
  M->OnAfterChange = [&](TObject*) { ++after; };
  M->SetSkinName("Fold");
  M->SetSkinName("Fold");
  EXPECT_EQ(before, 2);
  EXPECT_EQ(after, 2);
  M->SetActive(false);
  M->SetSkinName("Both");
  EXPECT_EQ(M->GetSkinName(), "Both");
  EXPECT_EQ(after, 2);
  EXPECT_FALSE(M->SkinData().Active);
}

TEST_F(SkinManager, BroadcastsLoadedThenCancelAndRedrawWithItself) {
  TRecorder form(nullptr);
  form.HandleNeeded();
  RegisterSkinnedForm(&form);
  M->SetSkinName("Fold");
  std::vector<std::uint16_t> commands;
  for (const auto& s : form.Seen) {
    commands.push_back(s.Command);
    EXPECT_EQ(s.LParam, reinterpret_cast<LPARAM>(M.get()));
    EXPECT_EQ(s.Applying, s.Command == SkinCmdSkinLoaded);
  }
  EXPECT_EQ(commands, (std::vector<std::uint16_t>{SkinCmdSkinLoaded, SkinCmdCancelFade, SkinCmdRedrawSkin}));
  form.Seen.clear();
  M->SetActive(false);
  ASSERT_EQ(form.Seen.size(), 1u);
  EXPECT_EQ(form.Seen[0].Command, SkinCmdUnskin);
  UnregisterSkinnedForm(&form);
}

TEST_F(SkinManager, AFailedLoadKeepsTheSkinInUse) {
  M->SetSkinName("Fold");
  const TsGeneralData* fold = &M->Tables()->GeneralData.at(static_cast<size_t>(FindSectionIndex(M->Tables(), "FOLD")));
  int after = 0;
  M->OnAfterChange = [&](TObject*) { ++after; };
  M->SetSkinName("Bad");
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "Loaded data is not a packed Tessel file");
  EXPECT_EQ(M->GetSkinName(), "Fold");
  EXPECT_EQ(after, 1);
  // The same records, whole and applied again.
  EXPECT_EQ(&M->Tables()->GeneralData.at(static_cast<size_t>(FindSectionIndex(M->Tables(), "FOLD"))), fold);
  EXPECT_EQ(fold->Color, 0x123456u);
  EXPECT_TRUE(M->SkinData().Active);
  EXPECT_FALSE(SkinLoading);

  // A reload for a new hue that fails shows why and keeps skin and value.
  WriteFile(Dir + "\\Fold\\Options.dat", Options("7.2", "FOLD") + "BORDERSMASK=^00x0 0000 0010 0010\r\n");
  M->SetHueOffset(40);
  EXPECT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(M->GetHueOffset(), 0);
  EXPECT_FALSE(SkinLoading);
  EXPECT_TRUE(Has("FOLD"));
  M->SetSaturation(20);
  EXPECT_EQ(Boxes.size(), 3u);
  EXPECT_EQ(M->GetSaturation(), 0);
  M->SetExtendedBorders(true);
  EXPECT_EQ(Boxes.size(), 4u);
  EXPECT_FALSE(SkinLoading);
  EXPECT_TRUE(M->SkinData().Active);
  // Once the text is whole again the new hue loads, and the skin stays applied.
  WriteFile(Dir + "\\Fold\\Options.dat", Options("7.2", "FOLD"));
  M->SetHueOffset(120);
  EXPECT_EQ(Boxes.size(), 4u);
  EXPECT_EQ(M->GetHueOffset(), 120);
  EXPECT_NE(M->Tables()->GeneralData.at(static_cast<size_t>(FindSectionIndex(M->Tables(), "FOLD"))).Color, 0x123456u);
  EXPECT_TRUE(M->SkinData().Active);
}

TEST_F(SkinManager, TheEditorBlockIsTakenOnlyWhole) {
  TEditorMessage e(Dir, "EDITED");
  M->HandleEditorData(e.M);
  EXPECT_EQ(e.M.Result, 1);
  EXPECT_EQ(M->GetSkinName(), "Ed");
  EXPECT_TRUE(Has("EDITED"));
  EXPECT_TRUE(M->SkinData().Active);
  EXPECT_FALSE(SkinEditorTextPending);

  e.Cds.cbData = static_cast<DWORD>(e.Block.size() - 1);
  e.M.Result = 5;
  M->HandleEditorData(e.M);
  EXPECT_EQ(e.M.Result, 0);
  e.Cds.cbData = static_cast<DWORD>(e.Block.size());
  e.M.WParam = 6;
  M->HandleEditorData(e.M);
  EXPECT_EQ(e.M.Result, 0);
}

// An editor block that fails before its skin is applied leaves the manager applying switches.
TEST_F(SkinManager, AFailedEditorBlockLeavesLaterSwitchesApplied) {
  TEditorMessage e(Dir, "EDITED");
  M->OnBeforeChange = [](TObject*) { throw Exception("refused"); };
  EXPECT_THROW(M->HandleEditorData(e.M), Exception);
  M->OnBeforeChange = nullptr;
  M->SetSkinName("Fold");
  EXPECT_TRUE(Has("FOLD"));
  EXPECT_TRUE(M->SkinData().Active);
}

TEST_F(SkinManager, StoredSkinsCopyOnlyStoredSkins) {
  TsStoredSkin* s1 = M->InternalSkins()->Items(0);
  TsStoredSkin* s2 = M->InternalSkins()->Items(1);
  EXPECT_FALSE(IsDefaultPropValue(s2, *GetPropInfo(s2, "Data")));   // written even when empty
  s2->Assign(s1);
  EXPECT_EQ(s2->Name, "S1");
  EXPECT_EQ(s2->PackedData(), s1->PackedData());
  TStringList notASkin;
  EXPECT_ANY_THROW(s2->Assign(&notASkin));
  EXPECT_EQ(s2->Name, "S1");
  TsStoredSkins other(nullptr);
  M->SetInternalSkins(&other);   // the stored skins come only from the form data
  EXPECT_EQ(M->InternalSkins()->Count(), 2);
  EXPECT_EQ(M->InternalSkins()->IndexOf("s1"), -1);
}
