// Another program on the desktop, for the skin command tests: sends one message to a window of
// the test and exits with the window's answer.
//
//   skin_command_sender <window> copydata          WM_COPYDATA with a few bytes
//   skin_command_sender <window> <msg> <wparam> <lparam>
// Numbers are decimal. Exit code: the answer, or 255 for bad arguments.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {
UINT_PTR Number(const char* s) { return static_cast<UINT_PTR>(std::strtoull(s, nullptr, 10)); }
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 255;
  HWND wnd = reinterpret_cast<HWND>(Number(argv[1]));
  if (std::strcmp(argv[2], "copydata") == 0) {
    char text[] = "orbex";
    COPYDATASTRUCT data{1, sizeof(text), text};
    return static_cast<int>(SendMessageA(wnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)));
  }
  if (argc < 5) return 255;
  return static_cast<int>(SendMessageA(wnd, static_cast<UINT>(Number(argv[2])), Number(argv[3]),
                                       static_cast<LPARAM>(Number(argv[4]))));
}
