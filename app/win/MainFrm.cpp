// The main window (see MainFrm.h). Sections: construction and settings; status texts and
// trace mapping; painting and export; actions; skin switch; registration.
#include "app/win/MainFrm.h"

#include <cmath>

#include "app/Constants.h"
#include "app/win/About.h"
#include "app/win/ConnectDlg.h"
#include "app/win/HelpFrm.h"
#include "framework/base/SysUtils.h"
#include "framework/win/Dialogs.h"
#include "framework/win/FormReader.h"

TMainForm* MainForm = nullptr;

ORBEX_IMPLEMENT_CLASS(TMainForm, TForm, nullptr)

namespace {

// Trace and grid positions round to the nearest pixel, a half to the even one (1.5 and 2.5
// both give 2).
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

std::string DefaultIniPath() { return ChangeFileExt(TApplication::ParamStr(0), ".ini"); }

std::string CurrentDirectory() {
  char buf[MAX_PATH + 1] = {};
  const DWORD n = GetCurrentDirectoryA(MAX_PATH, buf);
  return n > 0 && n <= MAX_PATH ? std::string(buf, n) : std::string();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and settings

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {
  Setup(std::make_unique<TOrbexScope>(), DefaultIniPath());
}

TMainForm::TMainForm(TComponent* AOwner, std::unique_ptr<TOrbexScope> scope,
                     const std::string& iniPath)
    : TForm(AOwner) {
  Setup(std::move(scope), iniPath);
}

void TMainForm::Setup(std::unique_ptr<TOrbexScope> scope, const std::string& iniPath) {
  FMappedSamples.fill(NoSample);
  ReadStoredForm();
  FScope = std::move(scope);
  FScope->OnSamples = [this](TObject* s, int first, int last) { ScopeSamplesArrived(s, first, last); };
  FScope->OnConnect = [this](TObject* s) { ScopeStateChanged(s); };
  FScope->OnDisconnect = [this](TObject* s) { ScopeStateChanged(s); };
  FScope->OnReaderError = [this](TObject* s, const std::string& m) { ScopeReaderError(s, m); };
  if (DrawBuffer != nullptr) DrawBuffer->SetDoubleBuffered(true);
  if (Panel1 != nullptr) Panel1->SetDoubleBuffered(true);
  MapSamplesToPoints(0, OrbexSampleCount - 1);
  FIniPath = iniPath;
  FIni = std::make_unique<TIniFile>(FIniPath);
  if (SkinManager != nullptr)
    SkinManager->SetSkinName(FIni->ReadString("Settings", "Skin", DarkSkinName));
  RefreshActions();
}

TMainForm::~TMainForm() {
  FIni.reset();
  if (FScope) FScope->Disconnect();
  // The components go before the scope, which their handlers may still name.
  Destroying();
  DestroyComponents();
  FScope.reset();
  if (MainForm == this) MainForm = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Status texts and trace mapping

void TMainForm::UpdateStatusTexts() {
  if (StatusBar == nullptr || StatusBar->Panels()->Count() < 5) return;
  const TOrbexScope& s = *FScope;
  // The wire carries indexes that no table names (newer firmware, noise on the line): the
  // lookups answer "?" for them rather than failing inside the reader's hand-over.
  const char* run = s.GetHold() ? "HOLD" : s.GetMemory() ? "MEMORY" : RunModeName(s.GetRunMode());
  TStatusPanels* p = StatusBar->Panels();
  p->Items(0)->SetText(TimebaseName(s.GetTimebase()));
  p->Items(1)->SetText(run);
  p->Items(2)->SetText(VoltsName(s.GetVoltsIndex(), s.GetProbeX10()));
  p->Items(3)->SetText(ProbeName(s.GetProbeX10()));
  p->Items(4)->SetText(CouplingName(s.GetCouplingDC()));
}

void TMainForm::MapSamplesToPoints(int first, int last) {
  if (first < 0) first = 0;
  if (last > OrbexSampleCount - 1) last = OrbexSampleCount - 1;
  if (last < first || Scope == nullptr || !FScope) return;
  const double w = Scope->Width() / 256.0;
  const double h = Scope->Height() / 256.0;
  const auto& samples = FScope->GetSamples();
  for (int i = first; i <= last; ++i) {
    const auto k = static_cast<size_t>(i);
    FMappedSamples[k] = samples[k];
    FTracePoints[k] = TPoint{RoundEven(i * w), RoundEven(samples[k] * h)};
  }
}

void TMainForm::ScopeSamplesArrived(TObject*, int first, int last) {
  UpdateStatusTexts();
  MapSamplesToPoints(first, last);
  // Columns outside the packet's range may have changed too (a new timebase clears them all).
  const auto& samples = FScope->GetSamples();
  for (int i = 0; i < OrbexSampleCount; ++i)
    if (samples[static_cast<size_t>(i)] != FMappedSamples[static_cast<size_t>(i)]) MapSamplesToPoints(i, i);
  if (Scope != nullptr) Scope->Invalidate();
}

void TMainForm::FormResize(TObject*) { MapSamplesToPoints(0, OrbexSampleCount - 1); }

// ---------------------------------------------------------------------------------------------
// Painting and export

void TMainForm::PaintTrace(TCanvas* c, int W, int H) {
  c->Brush()->SetColor(FBackgroundColor);
  c->Brush()->SetStyle(TBrushStyle::bsSolid);
  c->FillRect(TRect{0, 0, W, H});
  c->Pen()->SetColor(FGridColor);
  c->Pen()->SetStyle(TPenStyle::psSolid);
  c->Pen()->SetWidth(1);
  for (int i = 0; i < 256; ++i) {
    const int x = RoundEven(i * (W / 256.0));
    if (i % 10 == 0) {
      c->MoveTo(x, 0);
      c->LineTo(x, H);
    } else if (i % 2 == 0) {
      c->MoveTo(x, H - 5);
      c->LineTo(x, H);
    }
  }
  for (int j = 0; j <= 40; ++j) {
    const int y = RoundEven(j * (H / 40.0));
    c->MoveTo(0, y);
    c->LineTo(j % 5 == 0 ? W : 5, y);
  }
  // The trace: one polyline per run of columns that have a sample.
  c->Pen()->SetColor(FTraceColor);
  int start = -1;
  for (int i = 0; i <= OrbexSampleCount; ++i) {
    const bool has = i < OrbexSampleCount && FMappedSamples[static_cast<size_t>(i)] != NoSample;
    if (has && start < 0) start = i;
    if (!has && start >= 0) {
      const std::span<const TPoint> run(&FTracePoints[static_cast<size_t>(start)],
                                        static_cast<size_t>(i - start));
      if (run.size() > 1) c->Polyline(run);
      // A polyline leaves out its last point; a lone column is only that point.
      c->SetPixel(run.back().X, run.back().Y, FTraceColor);
      start = -1;
    }
  }
}

void TMainForm::ScopePaint(TObject*) {
  if (Scope == nullptr) return;
  PaintTrace(Scope->Canvas(), Scope->Width(), Scope->Height());
}

std::unique_ptr<TBitmap> TMainForm::CreateTraceBitmap() {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(TPixelFormat::pf24bit);
  bmp->SetSize(Scope->Width(), Scope->Height());
  PaintTrace(bmp->Canvas(), Scope->Width(), Scope->Height());
  // Three colours: the palette of the 8-bit bitmap holds them exactly.
  bmp->SetPixelFormat(TPixelFormat::pf8bit);
  return bmp;
}

bool TMainForm::RunExportDialog(std::string& fileName) {
  TSaveDialog dlg(this);
  dlg.SetTitle("Export scope trace to file");
  dlg.SetInitialDir(CurrentDirectory());
  dlg.SetFilter("Windows Bitmap (256 colors)|*.bmp");
  dlg.SetDefaultExt("bmp");
  dlg.SetFilterIndex(0);
  if (!dlg.Execute()) return false;
  fileName = dlg.FileName();
  return true;
}

void TMainForm::aScreenCaptureExecute(TObject*) {
  std::unique_ptr<TBitmap> bmp = CreateTraceBitmap();
  std::string fileName;
  const bool ok = AskExportFileName ? AskExportFileName(fileName) : RunExportDialog(fileName);
  if (ok) bmp->SaveToFile(fileName);
}

// ---------------------------------------------------------------------------------------------
// Actions

void TMainForm::RefreshActions() {
  TForm::RefreshActions();
  const bool connected = FScope && FScope->GetConnected();
  if (aConnect != nullptr) aConnect->SetEnabled(!connected);
  if (aDisconnect != nullptr) aDisconnect->SetEnabled(connected);
}

void TMainForm::ScopeStateChanged(TObject*) { RefreshActions(); }

void TMainForm::ScopeReaderError(TObject*, const std::string& message) {
  // The reader waits until this returns: a box opened here would hold it, and the link's
  // shut-down with it, for as long as the box is open.
  FReaderErrors.push_back(message);
  ::PostMessageA(Handle(), CM_SHOWREADERERROR, 0, 0);
}

void TMainForm::CMShowReaderError(TMessage& Message) {
  // Every kept message, each once; a stray message (one posted from outside) finds none.
  std::vector<std::string> errors;
  errors.swap(FReaderErrors);
  for (const std::string& e : errors) MessageDlg(e, TMsgDlgType::mtError, mbOK);
  Message.Result = 0;
}

void TMainForm::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_SHOWREADERERROR: CMShowReaderError(Message); break;
    default: TForm::Dispatch(Message); break;
  }
}

void TMainForm::aConnectExecute(TObject*) {
  std::unique_ptr<TConnectDialog> dlg(new TConnectDialog(this));
  const TModalResult r = dlg->ShowModal();
  if (r != mrOk && r != mrYes && r != mrAll && r != mrYesToAll) return;
  FScope->SetPortName(dlg->Port());
  dlg.reset();
  try {
    FScope->Connect();
  } catch (const EOrbexError& e) {
    MessageDlg(e.Message(), TMsgDlgType::mtError, mbOK);
  }
}

void TMainForm::aDisconnectExecute(TObject*) { FScope->Disconnect(); }

void TMainForm::aHelpIndexExecute(TObject*) {
  if (HelpForm != nullptr) HelpForm->ShowModal();
}

void TMainForm::aShowAboutBoxExecute(TObject*) {
  if (AboutBox != nullptr) AboutBox->ShowModal();
}

void TMainForm::aCloseApplicationExecute(TObject*) { Close(); }

void TMainForm::aShowConfigDlgExecute(TObject*) {}

// ---------------------------------------------------------------------------------------------
// Skin switch

void TMainForm::SkinManagerAfterChange(TObject*) {
  // While the stored form is read the ini file is not open yet; the constructor applies its
  // skin name right after, which comes here again.
  if (SkinManager == nullptr || !FIni) return;
  const std::string name = SkinManager->GetSkinName();
  SetPlotColours(name == DarkSkinName);
  if (Scope != nullptr) Scope->Invalidate();
  // A settings file that cannot be written (a read-only folder) is reported; the window keeps
  // working with the chosen skin.
  try {
    FIni->WriteString("Settings", "Skin", name);
  } catch (const EStreamError&) {
    if (Application != nullptr) Application->HandleException(this);
  }
}

void TMainForm::SetPlotColours(bool dark) {
  if (dark) {
    FTraceColor = static_cast<TColor>(0xD9701F);
    FGridColor = static_cast<TColor>(0x565656);
    FBackgroundColor = static_cast<TColor>(0x000000);
  } else {
    FTraceColor = static_cast<TColor>(0x000000);
    FGridColor = static_cast<TColor>(0x808080);
    FBackgroundColor = static_cast<TColor>(0xFFFFFF);
  }
}

// The plot takes the coming skin's colours before the skin is applied, so that the window is
// painted in its new look in one go (the skin change fades to that image); the handler after
// the change confirms them.
void TMainForm::Light1Click(TObject*) {
  SetPlotColours(false);
  SkinManager->SetSkinName(LightSkinName);
}

void TMainForm::Dark1Click(TObject*) {
  SetPlotColours(true);
  SkinManager->SetSkinName(DarkSkinName);
}

// ---------------------------------------------------------------------------------------------
// Registration

void RegisterMainForm() {
  RegisterClassOf<TMainForm>();
  using F = TMainForm;
  RegisterPublishedMethods(
      &F::StaticClassInfo(),
      {PublishedMethod("FormResize", &F::FormResize), PublishedMethod("ScopePaint", &F::ScopePaint),
       PublishedMethod("aConnectExecute", &F::aConnectExecute),
       PublishedMethod("aDisconnectExecute", &F::aDisconnectExecute),
       PublishedMethod("aScreenCaptureExecute", &F::aScreenCaptureExecute),
       PublishedMethod("aHelpIndexExecute", &F::aHelpIndexExecute),
       PublishedMethod("aShowAboutBoxExecute", &F::aShowAboutBoxExecute),
       PublishedMethod("aCloseApplicationExecute", &F::aCloseApplicationExecute),
       PublishedMethod("aShowConfigDlgExecute", &F::aShowConfigDlgExecute),
       PublishedMethod("SkinManagerAfterChange", &F::SkinManagerAfterChange),
       PublishedMethod("Light1Click", &F::Light1Click), PublishedMethod("Dark1Click", &F::Dark1Click)},
      {PublishedField("StatusBar", &F::StatusBar), PublishedField("DrawBuffer", &F::DrawBuffer),
       PublishedField("Panel1", &F::Panel1), PublishedField("Scope", &F::Scope),
       PublishedField("CoolBar1", &F::CoolBar1), PublishedField("ToolBar1", &F::ToolBar1),
       PublishedField("alCommon", &F::alCommon),
       PublishedField("aCloseApplication", &F::aCloseApplication),
       PublishedField("aShowAboutBox", &F::aShowAboutBox), PublishedField("aConnect", &F::aConnect),
       PublishedField("aDisconnect", &F::aDisconnect),
       PublishedField("aScreenCapture", &F::aScreenCapture),
       PublishedField("aHelpIndex", &F::aHelpIndex), PublishedField("mnuMain", &F::mnuMain),
       PublishedField("ilMenu32", &F::ilMenu32), PublishedField("ilMenu16", &F::ilMenu16),
       PublishedField("SkinManager", &F::SkinManager),
       PublishedField("SkinProvider", &F::SkinProvider),
       PublishedField("PopupMenu1", &F::PopupMenu1)});
}
