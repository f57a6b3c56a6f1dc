// Starts the program's units in their fixed order (as the program does) and the application
// object once for the whole test program; helpers of AppTestUtil.h.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/win/About.h"
#include "app/win/ConnectDlg.h"
#include "app/win/HelpFrm.h"
#include "app/win/Startup.h"
#include "framework/win/StdCtrls.h"
#include "tests/win/app/mainform/AppTestUtil.h"

namespace {

TUnitStartup* Units = nullptr;

class TAppEnvironment : public testing::Environment {
public:
  void SetUp() override {
    Units = new TUnitStartup(OrbexUnitSteps());
    Units->Initialize();
    RegisterMainForm();
    InitConnectDlgUnit();
    RegisterAboutBox();
    RegisterHelpForm();
    Application->Initialize();
    Application->SetTitle("app test");
  }
  void TearDown() override {
    delete Units;
    Units = nullptr;
  }
};

[[maybe_unused]] testing::Environment* const Env =
    testing::AddGlobalTestEnvironment(new TAppEnvironment);

}  // namespace

namespace apptest {

std::vector<std::uint8_t> Frame(std::uint8_t b4, std::uint8_t b5,
                                const std::vector<std::uint8_t>& samples) {
  std::vector<std::uint8_t> p{'B', 'A', 10, 1, b4, b5, 0, 0, 0, 0};
  p.insert(p.end(), samples.begin(), samples.end());
  p.resize(266, 0);
  return p;
}

std::vector<std::uint8_t> Frame(std::uint8_t b4, std::uint8_t b5, std::uint8_t all) {
  return Frame(b4, b5, std::vector<std::uint8_t>(256, all));
}

std::vector<std::uint8_t> Range(std::uint8_t b4, std::uint8_t b5, int first,
                                const std::vector<std::uint8_t>& samples) {
  const int end = first + static_cast<int>(samples.size());
  const int len = 10 + static_cast<int>(samples.size());
  std::vector<std::uint8_t> p{'B', 'R', static_cast<std::uint8_t>(len & 0xFF),
                              static_cast<std::uint8_t>(len >> 8), b4, b5, 0,
                              static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(end), 0};
  p.insert(p.end(), samples.begin(), samples.end());
  return p;
}

std::vector<std::uint8_t> Single(std::uint8_t b4, std::uint8_t b5, std::uint32_t position,
                                 std::uint8_t value) {
  return {'B', 'S', 11, 0, b4, b5, 0, static_cast<std::uint8_t>(position),
          static_cast<std::uint8_t>(position >> 8), static_cast<std::uint8_t>(position >> 16), value};
}

namespace {
// A scope whose bytes come from the test instead of a port.
class TFeedScope : public TOrbexScope {
public:
  void Feed(const std::vector<std::uint8_t>& bytes) {
    TOrbexBuffer buffer;
    buffer.Append(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    DecodeReceived(buffer);
  }
};
}  // namespace

void Feed(TOrbexScope& scope, const std::vector<std::uint8_t>& bytes) {
  auto* feed = dynamic_cast<TFeedScope*>(&scope);
  ASSERT_NE(feed, nullptr) << "not a scope made by MakeMainForm";
  feed->Feed(bytes);
}

std::string ScratchIni(const std::string& tag) {
  char dir[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + "orbex-apptest-" + tag + "-" +
                     std::to_string(GetCurrentProcessId()) + ".ini";
  DeleteFileA(path.c_str());
  return path;
}

std::string ReadFileText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << text;
}

TColor PixelOf(TBitmap& bmp, int x, int y) {
  const auto* row = static_cast<const std::uint8_t*>(bmp.ScanLine(y));
  const std::vector<RGBQUAD> table = bmp.ColorTable();
  const RGBQUAD q = table.at(row[x]);
  return static_cast<TColor>(q.rgbRed | (q.rgbGreen << 8) | (q.rgbBlue << 16));
}

std::unique_ptr<TMainForm> MakeMainForm(const std::string& ini, int w, int h) {
  auto f = std::make_unique<TMainForm>(nullptr, std::make_unique<TFeedScope>(), ini);
  // The paint box keeps exactly the asked size, whatever the frame around it.
  f->Scope->SetAlign(alNone);
  f->Scope->SetBounds(0, 0, w, h);
  f->MapSamplesToPoints(0, 255);
  return f;
}

}  // namespace apptest

namespace apptest {

TModalScript::TModalScript(std::vector<TStep> steps)
    : FSteps(std::move(steps)), FTimer(std::make_unique<TTimer>(nullptr)) {
  FTimer->SetInterval(30);
  FTimer->SetOnTimer([this](TObject*) { Tick(); });
}

TModalScript::~TModalScript() = default;

void TModalScript::Tick() {
  if (Done()) return;
  TCustomForm* modal = nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if ((f->FormState() & fsModal) != 0 && f->Visible()) modal = f;
  }
  // A step acts once on a form that waits for an answer; the same form is answered again
  // only when it is still open after the answer (a refused close).
  if (modal == nullptr || modal->ModalResult() != mrNone) return;
  FSteps[FNext++](modal);
}

std::string MessageText(TCustomForm* form) {
  auto* label = As<TLabel>(form->FindComponent("Message"));
  return label != nullptr ? label->Caption() : std::string();
}

}  // namespace apptest
