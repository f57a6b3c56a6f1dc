// Holds the Wine desktop open for a whole test run. Wine closes a desktop about a second after
// the last program using it ends, and the next program to need one starts the desktop process
// again as its own child: that process then inherits the program's output pipes, and ctest
// waits for it to end (a minute or more) after the test itself has finished. The test scripts
// start this program detached from every pipe before the tests and end it with the server.
// It keeps one message-only window (never shown, never enumerated) and serves its queue.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const HWND holder = CreateWindowExA(0, "STATIC", "Orbex desktop holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, nullptr, nullptr);
  if (holder == nullptr) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  DestroyWindow(holder);
  return 0;
}
