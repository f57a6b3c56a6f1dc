// The instrument link: TOrbexScope opens and closes the instrument's serial port and holds the
// decoded instrument state; TOrbexIoThread reads the port in a thread of its own and hands each
// chunk to the main thread, where the packet parser consumes it. The link only listens:
// nothing is ever written to the port.
//
// Owns: the port handle (TOrbexScope, through a TOwnedHandle), the reader thread and, through
// it, the receive buffer; the reader's event handle lives in its thread body.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/OrbexBuffer.h"
#include "app/OrbexError.h"
#include "app/OrbexPackets.h"
#include "framework/base/Classes.h"
#include "framework/base/Thread.h"
#include "framework/base/win/HandleOwner.h"

// The reader thread of one connection. Created suspended with FreeOnTerminate false; its
// owner (the scope) frees it after WaitFor.
class TOrbexIoThread : public TThread {
  ORBEX_CLASS(TOrbexIoThread, TThread)
public:
  static constexpr DWORD ReadChunk = 1024;   // bytes per read
  static constexpr DWORD ReadWaitMs = 200;   // longest wait before the terminate flag is seen

  // `port` is borrowed: the scope owns it and closes it only after this thread has ended.
  explicit TOrbexIoThread(HANDLE port);
  ~TOrbexIoThread() override;

  // Runs in the main thread after each chunk was appended; Sender is this thread.
  TNotifyEvent OnData;

protected:
  // Reads until asked to terminate. Raises EOrbexError with the system's text when the event
  // cannot be made or a read, wait or result fails (the framework keeps it in the thread); a
  // read still pending when the body ends is cancelled and waited for.
  void Execute() override;
  // Appends the chunk to the buffer (EOrbexError on overflow), then runs DoData in the main
  // thread and waits for it.
  void DataReceived(const std::uint8_t* data, DWORD n);
  void DoData();

private:
  // The buffer is the reader's while it runs and the parser's only inside the hand-over: it
  // is reached by the scope's parser alone.
  friend class TOrbexScope;
  TOrbexBuffer& GetBuffer() { return *FBuffer; }
  HANDLE FPort;
  std::unique_ptr<TOrbexBuffer> FBuffer;
};

using TOrbexSamplesEvent = std::function<void(TObject* Sender, int first, int last)>;
using TOrbexErrorEvent = std::function<void(TObject* Sender, const std::string& message)>;

class TOrbexScope : public TObject {
  ORBEX_CLASS(TOrbexScope, TObject)
public:
  TOrbexScope();
  ~TOrbexScope() override;   // disconnects first

  // Opens the port unless connected. Raises EOrbexError "Could not connect to <port>" when
  // the port cannot be opened, or with the system's text when it cannot be set up; the
  // scope then stays disconnected with no handle open. An exception raised by OnConnect
  // closes the port again (OnDisconnect fires) and is passed on; no reader is started.
  // Refused with EOrbexError (see CheckCanConnect) inside the reader's hand-over.
  virtual void Connect();
  // Stops the reader, closes the port and fires OnDisconnect; nothing when not connected.
  // Refused like Connect.
  virtual void Disconnect();

  bool GetConnected() const { return FConnected; }
  const std::string& GetPortName() const { return FPortName; }
  void SetPortName(const std::string& name) { FPortName = name; }

  std::uint8_t GetTimebase() const { return FState.GetTimebase(); }
  std::uint8_t GetVoltsIndex() const { return FState.GetVoltsIndex(); }
  std::uint8_t GetRunMode() const { return FState.GetRunMode(); }
  bool GetHold() const { return FState.GetHold(); }
  bool GetMemory() const { return FState.GetMemory(); }
  bool GetProbeX10() const { return FState.GetProbeX10(); }
  bool GetCouplingDC() const { return FState.GetCouplingDC(); }
  const std::array<std::uint8_t, OrbexSampleCount>& GetSamples() const {
    return FState.GetSamples();
  }
  void ClearSamples() { FState.ClearSamples(); }
  void SetTimebase(std::uint8_t index) { FState.SetTimebase(index); }

  // The reader of the current connection (null while disconnected); a failed reader stays, with
  // its exception (FatalException), until the next Connect or the scope frees it.
  TOrbexIoThread* GetReader() const { return FReader.get(); }

  // OnSamples, and OnDisconnect and OnReaderError when the reader fails, run on the main thread
  // while the reader waits in its hand-over (Synchronize): Connect and Disconnect raise
  // EOrbexError there, since they would wait for that same reader. A handler that wants to
  // reconnect posts itself a message and does it from there; one that shows a box posts it too,
  // so that the reader is not held while the box is open.
  TNotifyEvent OnConnect;
  TNotifyEvent OnDisconnect;
  TOrbexSamplesEvent OnSamples;
  // A reader that fails (read error, unplugged instrument, buffer overflow) ends the
  // connection: on the main thread, once the reader has ended, the link closes itself
  // (OnDisconnect fires) and then OnReaderError gets the reader's error text.
  TOrbexErrorEvent OnReaderError;

protected:
  virtual void OpenPort();
  virtual void ClosePort();
  virtual void StartReader();
  virtual void ConfigurePort();
  void DoConnect();
  void DoDisconnect();
  void DoSamples(int first, int last);
  // Main thread, from the reader's OnTerminate (inside its Synchronize): a reader that ended
  // with an error and was not asked to stop closes the link. The reader cannot be waited for
  // from inside its own Synchronize; it has left its body already and is freed by the next
  // Connect or by the scope.
  void ReaderEnded(TOrbexIoThread* reader);
  // The open port (null while disconnected), for a derived scope's ConfigurePort.
  HANDLE GetPortHandle() const { return FPort.Get(); }
  // Decodes every complete packet of `buffer` into the scope (status, samples, OnSamples), on
  // the main thread: for a derived scope whose bytes come from elsewhere than its reader (a
  // stand-in instrument). Raises EOrbexError on another thread.
  void DecodeReceived(TOrbexBuffer& buffer);
  // Raises EOrbexError when Connect or Disconnect cannot run here: on a thread other than the
  // main thread, or on the main thread inside the reader's hand-over (the reader would be
  // waited for while it waits for the caller).
  void CheckCanConnect() const;

private:
  // The reader's OnData handler, inside its hand-over: consumes every complete packet of that
  // reader's buffer. Reached only through the reader, which is blocked meanwhile.
  void ParseBuffer(TObject* Sender);
  // Marks the main thread as inside the reader's hand-over while it lives.
  class THandOver;
  TOwnedHandle FPort;
  std::unique_ptr<TOrbexIoThread> FReader;
  bool FConnected = false;
  int FHandOvers = 0;   // main thread only: nesting depth of the reader's hand-over
  std::string FPortName;
  TOrbexScopeState FState;
};
