// The link when its reader fails: the far end of the line goes away while connected, and the
// link closes itself on the main thread (Connected false, OnDisconnect, the reader's error
// text through OnReaderError), while a Disconnect asked for by the user reports no error; the
// main window shows the error once the reader is no longer held. The link's events calling
// Connect or Disconnect where that would wait for the reader (refused, never a hang), and
// OnConnect failing. The line is a named pipe standing in for the serial port.
#include <gtest/gtest.h>

#include <thread>

#include "tests/win/app/mainform/AppTestUtil.h"

#include "framework/base/Thread.h"

using namespace apptest;

namespace {

// A scope whose "port" is a named pipe: nothing to configure.
class TPipeScope : public TOrbexScope {
public:
  HANDLE Port() const { return GetPortHandle(); }

protected:
  void ConfigurePort() override {}
};

class ReaderFailure : public testing::Test {
protected:
  void SetUp() override {
    Name = "pipe\\orbex-apptest-" + std::to_string(GetCurrentProcessId());
    OpenServer();
    Scope.SetPortName(Name);
    Scope.OnDisconnect = [this](TObject*) { ++Disconnects; };
    Scope.OnReaderError = [this](TObject*, const std::string& m) {
      ++Errors;
      Message = m;
      ConnectedInError = Scope.GetConnected();
    };
    Scope.OnSamples = [this](TObject*, int, int) { ++Frames; };
  }
  // A new server end of the line, waiting for the link.
  void OpenServer() {
    if (Server != INVALID_HANDLE_VALUE) CloseHandle(Server);
    const std::string path = "\\\\.\\" + Name;
    Server = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                              4096, 4096, 0, nullptr);
    ASSERT_NE(Server, INVALID_HANDLE_VALUE);
  }
  void TearDown() override {
    Scope.Disconnect();
    if (Server != INVALID_HANDLE_VALUE) CloseHandle(Server);
  }
  // Serves the reader's hand-overs and the messages posted meanwhile until `done` holds or
  // 5 s have passed.
  template <class P>
  bool PumpUntil(P done) {
    const DWORD end = GetTickCount() + 5000;
    while (!done()) {
      if (static_cast<int>(GetTickCount() - end) > 0) return false;
      Application->ProcessMessages();
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
  OpenServer();
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
  TOrbexIoThread* reader = scope->GetReader();
  std::string caption, message;
  bool readerEnded = false;
  TModalScript script({[&](TCustomForm* m) {
    caption = m->Caption();
    message = MessageText(m);
    // A box shown inside the hand-over would hold the reader until it closes.
    for (int i = 0; i < 500 && !reader->Finished(); ++i) Sleep(10);
    readerEnded = reader->Finished();
    m->SetModalResult(mrOk);
  }});
  CloseHandle(Server);
  Server = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(PumpUntil([&] { return script.Done() && !scope->GetConnected(); }));
  EXPECT_EQ(caption, "Error");
  EXPECT_FALSE(message.empty());
  EXPECT_TRUE(readerEnded);
  EXPECT_TRUE(f->aConnect->Enabled());
  EXPECT_FALSE(f->aDisconnect->Enabled());
  f.reset();
  DeleteFileA(ini.c_str());
}

// Connect and Disconnect from the link's events: refused inside the reader's hand-over and on
// another thread (a hang here shows as the test program's time-out).
TEST_F(ReaderFailure, ConnectAndDisconnectInsideTheHandOverAreRefused) {
  std::vector<std::string> refused;
  auto tryBoth = [&] {
    for (auto call : {&TOrbexScope::Disconnect, &TOrbexScope::Connect}) {
      try {
        (Scope.*call)();
      } catch (const EOrbexError& e) {
        refused.push_back(e.Message());
      }
    }
  };
  Scope.OnSamples = [&](TObject*, int, int) { ++Frames; tryBoth(); };
  Scope.Connect();
  ConnectNamedPipe(Server, nullptr);
  Send(Frame(0x16, 0x04, 128));
  ASSERT_TRUE(PumpUntil([&] { return Frames > 0; }));
  std::thread other([&] { tryBoth(); });   // from another thread
  other.join();
  EXPECT_EQ(refused.size(), 4u);
  EXPECT_TRUE(Scope.GetConnected());

  // In OnDisconnect and OnReaderError when the line fails.
  Scope.OnDisconnect = [&](TObject*) { ++Disconnects; tryBoth(); };
  Scope.OnReaderError = [&](TObject*, const std::string&) { ++Errors; tryBoth(); };
  CloseHandle(Server);
  Server = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(PumpUntil([&] { return Errors > 0; }));
  EXPECT_EQ(refused.size(), 8u);
  EXPECT_EQ(Disconnects, 1);
  EXPECT_FALSE(Scope.GetConnected());
  for (const std::string& m : refused) EXPECT_NE(m.find("instrument link"), std::string::npos) << m;
}

TEST_F(ReaderFailure, AFailingOnConnectLeavesTheLinkClosedWithoutAReader) {
  Scope.OnConnect = [](TObject*) { throw EConvertError("refused by the handler"); };
  EXPECT_THROW(Scope.Connect(), EConvertError);
  EXPECT_FALSE(Scope.GetConnected());
  EXPECT_EQ(Scope.GetReader(), nullptr);
  EXPECT_EQ(Scope.Port(), nullptr);
  EXPECT_EQ(Disconnects, 1);   // whoever saw the connect sees it end
  // OnConnect disconnecting at once: no reader is started on the closed port.
  OpenServer();
  Scope.OnConnect = [this](TObject*) { Scope.Disconnect(); };
  Scope.Connect();
  EXPECT_FALSE(Scope.GetConnected());
  EXPECT_EQ(Scope.GetReader(), nullptr);
  EXPECT_EQ(Disconnects, 2);
}

}  // namespace
