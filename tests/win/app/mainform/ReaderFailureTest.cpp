// The link when its reader fails: the far end of the line goes away while connected, and the
// link closes itself on the main thread (Connected false, OnDisconnect, the reader's error
// text through OnReaderError), while a Disconnect asked for by the user reports no error. The
// line is a named pipe standing in for the serial port.
#include <gtest/gtest.h>

#include "tests/win/app/mainform/AppTestUtil.h"

#include "framework/base/Thread.h"

using namespace apptest;

namespace {

// A scope whose "port" is a named pipe: nothing to configure.
class TPipeScope : public TOrbexScope {
protected:
  void ConfigurePort() override {}
};

class ReaderFailure : public testing::Test {
protected:
  void SetUp() override {
    Name = "pipe\\orbex-apptest-" + std::to_string(GetCurrentProcessId());
    const std::string path = "\\\\.\\" + Name;
    Server = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                              4096, 4096, 0, nullptr);
    ASSERT_NE(Server, INVALID_HANDLE_VALUE);
    Scope.SetPortName(Name);
    Scope.OnDisconnect = [this](TObject*) { ++Disconnects; };
    Scope.OnReaderError = [this](TObject*, const std::string& m) {
      ++Errors;
      Message = m;
      ConnectedInError = Scope.GetConnected();
    };
    Scope.OnSamples = [this](TObject*, int, int) { ++Frames; };
  }
  void TearDown() override {
    Scope.Disconnect();
    if (Server != INVALID_HANDLE_VALUE) CloseHandle(Server);
  }
  // Serves the reader's hand-overs until `done` holds or 5 s have passed.
  template <class P>
  bool PumpUntil(P done) {
    const DWORD end = GetTickCount() + 5000;
    while (!done()) {
      if (static_cast<int>(GetTickCount() - end) > 0) return false;
      CheckSynchronize(20);
    }
    return true;
  }
  void Send(const std::vector<std::uint8_t>& bytes) {
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(Server, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr));
  }

  std::string Name;
  HANDLE Server = INVALID_HANDLE_VALUE;
  TPipeScope Scope;
  int Disconnects = 0, Errors = 0, Frames = 0;
  std::string Message;
  bool ConnectedInError = true;
};

TEST_F(ReaderFailure, ALostLineClosesTheLinkAndReportsTheError) {
  Scope.Connect();
  ConnectNamedPipe(Server, nullptr);   // already connected: ERROR_PIPE_CONNECTED
  Send(Frame(0x16, 0x04, 128));
  ASSERT_TRUE(PumpUntil([&] { return Frames > 0; }));
  CloseHandle(Server);
  Server = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(PumpUntil([&] { return Errors > 0; }));
  EXPECT_FALSE(Scope.GetConnected());
  EXPECT_FALSE(ConnectedInError);   // closed before the error is reported
  EXPECT_EQ(Disconnects, 1);
  EXPECT_FALSE(Message.empty());
  // Closing again is a no-op; the ended reader is freed with the scope.
  Scope.Disconnect();
  EXPECT_EQ(Disconnects, 1);
  EXPECT_EQ(Errors, 1);
}

TEST_F(ReaderFailure, AUserDisconnectReportsNoError) {
  Scope.Connect();
  ConnectNamedPipe(Server, nullptr);
  Send(Frame(0x16, 0x04, 128));
  ASSERT_TRUE(PumpUntil([&] { return Frames > 0; }));
  Scope.Disconnect();
  EXPECT_EQ(Disconnects, 1);
  CheckSynchronize(100);
  EXPECT_EQ(Errors, 0);
}

TEST_F(ReaderFailure, TheLinkConnectsAgainAfterAFailure) {
  Scope.Connect();
  ConnectNamedPipe(Server, nullptr);
  CloseHandle(Server);
  Server = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(PumpUntil([&] { return Errors > 0; }));
  ASSERT_FALSE(Scope.GetConnected());
  // The line is back: a new connection delivers frames again.
  const std::string path = "\\\\.\\" + Name;
  Server = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096,
                            4096, 0, nullptr);
  ASSERT_NE(Server, INVALID_HANDLE_VALUE);
  Scope.Connect();
  ASSERT_TRUE(Scope.GetConnected());
  ConnectNamedPipe(Server, nullptr);
  Frames = 0;
  Send(Frame(0x16, 0x04, 100));
  ASSERT_TRUE(PumpUntil([&] { return Frames > 0; }));
  EXPECT_EQ(Scope.GetSamples()[5], 100);
  EXPECT_EQ(Errors, 1);
}

TEST_F(ReaderFailure, TheMainWindowShowsTheErrorAndOffersConnectAgain) {
  const std::string ini = ScratchIni("reader");
  auto f = std::make_unique<TMainForm>(nullptr, std::make_unique<TPipeScope>(), ini);
  TOrbexScope* scope = f->GetScope();
  scope->SetPortName(Name);
  scope->Connect();
  ConnectNamedPipe(Server, nullptr);
  f->RefreshActions();
  ASSERT_FALSE(f->aConnect->Enabled());
  ASSERT_TRUE(f->aDisconnect->Enabled());
  std::string caption, message;
  TModalScript script({[&](TCustomForm* m) {
    caption = m->Caption();
    message = MessageText(m);
    m->SetModalResult(mrOk);
  }});
  CloseHandle(Server);
  Server = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(PumpUntil([&] { return script.Done() && !scope->GetConnected(); }));
  EXPECT_EQ(caption, "Error");
  EXPECT_FALSE(message.empty());
  EXPECT_TRUE(f->aConnect->Enabled());
  EXPECT_FALSE(f->aDisconnect->Enabled());
  f.reset();
  DeleteFileA(ini.c_str());
}

}  // namespace
