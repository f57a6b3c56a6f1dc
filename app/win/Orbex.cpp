// The instrument link's port, reader thread and scope (see Orbex.h).
#include "app/win/Orbex.h"

#include "framework/base/SysUtils.h"

namespace {
// The instrument's line: 38,400 baud, no parity, 8 data bits, 1 stop bit.
constexpr const char* LineSettings = "38400,n,8,1";

[[noreturn]] void RaiseSystemError(DWORD code) { throw EOrbexError(SysErrorMessage(code)); }
[[noreturn]] void RaiseLastError() { RaiseSystemError(GetLastError()); }

// Wine reports an expired read time-out as a failure with ERROR_TIMEOUT where Windows
// completes the read with 0 bytes; both mean "nothing arrived".
bool IsEmptyRead(DWORD error) { return error == ERROR_TIMEOUT; }

// Ends a read still pending when the thread body is left (terminate request or exception):
// the system would otherwise write into the body's buffer and overlapped record after they
// are gone. Declared after the event so that it runs before the event is closed.
class TPendingReadGuard {
public:
  TPendingReadGuard(HANDLE port, OVERLAPPED& ov, const bool& pending)
      : FPort(port), FOverlapped(ov), FPending(pending) {}
  TPendingReadGuard(const TPendingReadGuard&) = delete;
  TPendingReadGuard& operator=(const TPendingReadGuard&) = delete;
  ~TPendingReadGuard() {
    if (!FPending) return;
    CancelIo(FPort);
    DWORD n = 0;
    GetOverlappedResult(FPort, &FOverlapped, &n, TRUE);
  }

private:
  HANDLE FPort;
  OVERLAPPED& FOverlapped;
  const bool& FPending;
};
}  // namespace

// ---------------------------------------------------------------------------------------------
// TOrbexIoThread

ORBEX_IMPLEMENT_CLASS(TOrbexIoThread, TThread, nullptr)

TOrbexIoThread::TOrbexIoThread(HANDLE port)
    : TThread(true), FPort(port), FBuffer(std::make_unique<TOrbexBuffer>()) {
  FreeOnTerminate = false;
}

TOrbexIoThread::~TOrbexIoThread() {
  // The body reads FBuffer: make sure it has ended before the members go.
  TerminateAndWait();
}

void TOrbexIoThread::Execute() {
  TOwnedHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!event.Valid()) RaiseLastError();
  std::uint8_t data[ReadChunk];
  OVERLAPPED ov{};
  ov.hEvent = event.Get();
  DWORD count = 0;
  bool pending = false;
  TPendingReadGuard guard(FPort, ov, pending);

  while (!Terminated()) {
    if (!pending) {
      count = 0;
      if (ReadFile(FPort, data, ReadChunk, &count, &ov)) {
        if (count > 0) DataReceived(data, count);
      } else {
        const DWORD err = GetLastError();
        if (err == ERROR_IO_PENDING)
          pending = true;
        else if (!IsEmptyRead(err))
          RaiseSystemError(err);
      }
    }
    if (pending) {
      const DWORD w = WaitForSingleObject(event.Get(), ReadWaitMs);
      if (w == WAIT_FAILED) RaiseLastError();
      if (w == WAIT_OBJECT_0) {
        count = 0;
        const BOOL ok = GetOverlappedResult(FPort, &ov, &count, FALSE);
        const DWORD err = ok ? ERROR_SUCCESS : GetLastError();
        // The read has completed either way: nothing is left to cancel.
        pending = false;
        if (!ok && !IsEmptyRead(err)) RaiseSystemError(err);
        if (ok && count > 0) DataReceived(data, count);
      }
    }
  }
}

void TOrbexIoThread::DataReceived(const std::uint8_t* data, DWORD n) {
  FBuffer->Append(data, static_cast<std::int32_t>(n));
  Synchronize([this] { DoData(); });
}

void TOrbexIoThread::DoData() {
  if (OnData) OnData(this);
}

// ---------------------------------------------------------------------------------------------
// TOrbexScope

ORBEX_IMPLEMENT_CLASS(TOrbexScope, TObject, nullptr)

class TOrbexScope::THandOver {
public:
  explicit THandOver(TOrbexScope& scope) : FScope(scope) { ++FScope.FHandOvers; }
  THandOver(const THandOver&) = delete;
  THandOver& operator=(const THandOver&) = delete;
  ~THandOver() { --FScope.FHandOvers; }

private:
  TOrbexScope& FScope;
};

TOrbexScope::TOrbexScope() {
  FState.OnSamples = [this](int first, int last) { DoSamples(first, last); };
}

TOrbexScope::~TOrbexScope() { Disconnect(); }

void TOrbexScope::CheckCanConnect() const {
  if (!TThread::IsMainThread())
    throw EOrbexError("The instrument link is connected and disconnected on the main thread only");
  if (FHandOvers > 0)
    throw EOrbexError(
        "The instrument link cannot connect or disconnect while its reader hands data over");
}

void TOrbexScope::Connect() {
  CheckCanConnect();
  if (!FConnected) OpenPort();
}

void TOrbexScope::Disconnect() {
  CheckCanConnect();
  if (FConnected) ClosePort();
}

void TOrbexScope::OpenPort() {
  const std::string path = "\\\\.\\" + FPortName;
  TOwnedHandle port(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  if (!port.Valid()) throw EOrbexError(Format("Could not connect to %s", FPortName.c_str()));
  FPort = std::move(port);
  try {
    ConfigurePort();
  } catch (...) {
    // A port that could not be set up is not kept open: the next Connect opens it afresh.
    FPort.Reset();
    throw;
  }
  FConnected = true;
  try {
    DoConnect();
  } catch (...) {
    // A link whose OnConnect failed is not left half open: close it again (no reader yet).
    ClosePort();
    throw;
  }
  // OnConnect may have disconnected already: then there is no port to read.
  if (!FConnected) return;
  try {
    StartReader();
  } catch (const std::exception& e) {
    // A reader the system could not start leaves no link: close the port again (the never
    // started thread needs no wait) and report it like any other connect failure.
    FReader.reset();
    ClosePort();
    if (const auto* orbex = dynamic_cast<const EOrbexError*>(&e)) throw *orbex;
    throw EOrbexError(e.what());
  }
}

void TOrbexScope::ConfigurePort() {
  DCB dcb{};
  dcb.DCBlength = sizeof(dcb);
  if (!BuildCommDCBA(LineSettings, &dcb)) RaiseLastError();
  // Apply the line settings: a port left cooked splits packets at 0x0A, echoes what arrives
  // and may treat 0x03 as an interrupt.
  if (!SetCommState(FPort.Get(), &dcb)) RaiseLastError();
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 1;   // a read completes once the line has been idle for 1 ms
  if (!SetCommTimeouts(FPort.Get(), &timeouts)) RaiseLastError();
}

void TOrbexScope::StartReader() {
  FReader = std::make_unique<TOrbexIoThread>(FPort.Get());
  FReader->OnData = [this](TObject* sender) { ParseBuffer(sender); };
  TOrbexIoThread* reader = FReader.get();
  FReader->OnTerminate = [this, reader](TObject*) { ReaderEnded(reader); };
  FReader->Resume();
}

void TOrbexScope::ClosePort() {
  if (FReader) {
    FReader->Terminate();
    // Serves the reader's pending Synchronize calls while waiting (main thread).
    FReader->WaitFor();
    FReader.reset();
  }
  FState.ClearFirstSample();
  FPort.Reset();
  FConnected = false;
  DoDisconnect();
}

void TOrbexScope::ParseBuffer(TObject* Sender) {
  TOrbexIoThread* reader = As<TOrbexIoThread>(Sender);
  if (reader == nullptr || reader != FReader.get()) return;
  THandOver handOver(*this);
  ::ParseBuffer(FState, reader->GetBuffer());
}

void TOrbexScope::DecodeReceived(TOrbexBuffer& buffer) {
  if (!TThread::IsMainThread())
    throw EOrbexError("Received data is decoded on the main thread only");
  ::ParseBuffer(FState, buffer);
}

void TOrbexScope::ReaderEnded(TOrbexIoThread* reader) {
  // A reader asked to stop (Disconnect) ends quietly; so does one of an earlier connection.
  if (reader != FReader.get() || reader->Terminated() || !reader->FatalException()) return;
  if (!FConnected) return;
  THandOver handOver(*this);
  const std::string message = reader->FatalExceptionMessage();
  // The body has ended, so nothing uses the port any more.
  FState.ClearFirstSample();
  FPort.Reset();
  FConnected = false;
  DoDisconnect();
  if (OnReaderError) OnReaderError(this, message);
}

void TOrbexScope::DoConnect() {
  if (OnConnect) OnConnect(this);
}

void TOrbexScope::DoDisconnect() {
  if (OnDisconnect) OnDisconnect(this);
}

void TOrbexScope::DoSamples(int first, int last) {
  if (OnSamples) OnSamples(this, first, last);
}
