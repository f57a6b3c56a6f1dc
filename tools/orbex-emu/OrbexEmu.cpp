// orbex-emu: an emulated Orbex instrument for the tests and the demonstration set-up. It opens
// a serial device or pty, sets it raw, and writes the instrument's packet stream: full "A"
// frames of a generated waveform, "R" ranges or "S" roll samples at a chosen rate, or the
// packets, garbage and split packets of a small script. Its packet encoding is written here on
// its own, apart from the program's parser, so that it can serve as the other side of the
// tests. Owns: the device descriptor it opened.
//
//   orbex-emu [--mode frames|range|roll] [--wave sine|square|triangle|noise] [--rate N]
//             [--b4 X] [--b5 Y] [--count N] DEVICE
//   orbex-emu --script FILE|- DEVICE
//
// Script lines (numbers decimal or 0x hex; '#' starts a comment):
//   frame B4 B5 V|V0..V255        a full frame, one fill value or all 256 samples
//   wave B4 B5 NAME [PHASE]       a full frame of a generated waveform
//   range B4 B5 START END V|V...  samples START..END-1 (one fill value or END-START values)
//   single B4 B5 POSITION V       a roll sample at a 24-bit position
//   garbage HEX...                raw bytes as given (also for broken headers)
//   split N [MS]                  send the next packet in pieces of N bytes, MS ms apart
//   sleep MS                      pause
//   mark TEXT                     print TEXT on stdout once all before it has been written
//   quit                          stop (as does the end of the script)
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// The line itself failed (the other side is gone): nothing more can be sent.
struct LineGone : Failure {
  using Failure::Failure;
};

// ---------------------------------------------------------------------------------------------
// Packets. Layout: "B", type, 16-bit little-endian length, status byte 4 (run mode in bits 7-6,
// timebase in 5-0), status byte 5 (hold, memory, DC, x10, volts in 3-0), an unused byte, three
// type-specific bytes, then the samples.

Bytes Header(char type, unsigned length, unsigned b4, unsigned b5, unsigned b7, unsigned b8,
             unsigned b9) {
  return {static_cast<std::uint8_t>('B'), static_cast<std::uint8_t>(type),
          static_cast<std::uint8_t>(length & 0xFF), static_cast<std::uint8_t>(length >> 8),
          static_cast<std::uint8_t>(b4), static_cast<std::uint8_t>(b5), 0,
          static_cast<std::uint8_t>(b7), static_cast<std::uint8_t>(b8),
          static_cast<std::uint8_t>(b9)};
}

// The header followed by `count` sample bytes (missing ones 0).
Bytes WithSamples(Bytes p, const Bytes& samples, size_t count) {
  for (size_t i = 0; i < count; ++i) p.push_back(i < samples.size() ? samples[i] : 0);
  return p;
}

Bytes FramePacket(unsigned b4, unsigned b5, const Bytes& samples) {
  return WithSamples(Header('A', 266, b4, b5, 0, 0, 0), samples, 256);
}

Bytes RangePacket(unsigned b4, unsigned b5, unsigned start, unsigned end, const Bytes& samples) {
  const unsigned n = end > start ? end - start : 0;
  return WithSamples(Header('R', 10 + n, b4, b5, start, end, 0), samples, n);
}

Bytes SinglePacket(unsigned b4, unsigned b5, std::uint32_t position, unsigned value) {
  Bytes p = Header('S', 11, b4, b5, position & 0xFF, (position >> 8) & 0xFF,
                   (position >> 16) & 0xFF);
  p.push_back(static_cast<std::uint8_t>(value));
  return p;
}

// 256 screen rows of one waveform, 0 at the top; two periods across the screen.
Bytes Wave(const std::string& name, double phase, std::mt19937& rng) {
  constexpr double Pi = 3.14159265358979323846;
  Bytes s(256);
  for (int i = 0; i < 256; ++i) {
    const double t = std::fmod(2.0 * i / 256.0 + phase, 1.0);   // 0..1 within a period
    double y;   // -1..1
    if (name == "sine")
      y = std::sin(2 * Pi * t);
    else if (name == "square")
      y = t < 0.5 ? 1 : -1;
    else if (name == "triangle")
      y = t < 0.5 ? 4 * t - 1 : 3 - 4 * t;
    else if (name == "noise")
      y = std::uniform_real_distribution<double>(-1, 1)(rng);
    else
      throw Failure("unknown waveform \"" + name + "\"");
    s[static_cast<size_t>(i)] = static_cast<std::uint8_t>(std::lround(128 - 100 * y));
  }
  return s;
}

// ---------------------------------------------------------------------------------------------
// The line.

class Line {
public:
  explicit Line(const std::string& path) {
    FFd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (FFd < 0) throw Failure("cannot open " + path + ": " + std::strerror(errno));
    termios t{};
    if (::tcgetattr(FFd, &t) == 0) {
      // Raw: no line splitting at 0x0A, no echo, no signal characters such as 0x03.
      ::cfmakeraw(&t);
      ::cfsetispeed(&t, B38400);
      ::cfsetospeed(&t, B38400);
      ::tcsetattr(FFd, TCSANOW, &t);
    }
  }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;
  ~Line() { ::close(FFd); }

  void Write(const Bytes& b) {
    size_t at = 0;
    while (at < b.size()) {
      const ssize_t n = ::write(FFd, b.data() + at, b.size() - at);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (errno == EAGAIN) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
          continue;
        }
        throw LineGone(std::string("write failed: ") + std::strerror(errno));
      }
      at += static_cast<size_t>(n);
    }
  }
  void Drain() { ::tcdrain(FFd); }

private:
  int FFd = -1;
};

void Pause(long ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---------------------------------------------------------------------------------------------
// Script mode.

unsigned long Number(const std::string& s, unsigned long max) {
  char* end = nullptr;
  errno = 0;
  const unsigned long v = std::strtoul(s.c_str(), &end, 0);
  if (s.empty() || *end != '\0' || errno != 0 || v > max || s[0] == '-')
    throw Failure("bad number \"" + s + "\"");
  return v;
}

// Sample bytes from the remaining words: one value fills `count`, else exactly `count` values.
Bytes Samples(const std::vector<std::string>& w, size_t from, size_t count) {
  const size_t given = w.size() > from ? w.size() - from : 0;
  if (given == 1) return Bytes(count, static_cast<std::uint8_t>(Number(w[from], 255)));
  if (given != count)
    throw Failure("expected 1 or " + std::to_string(count) + " sample values, got " +
                  std::to_string(given));
  Bytes s;
  for (size_t i = from; i < w.size(); ++i) s.push_back(static_cast<std::uint8_t>(Number(w[i], 255)));
  return s;
}

class Script {
public:
  explicit Script(Line& line) : FLine(line) {}

  // Runs one line; false on "quit".
  bool Run(const std::string& text) {
    std::vector<std::string> w;
    std::istringstream in(text.substr(0, text.find('#')));
    for (std::string s; in >> s;) w.push_back(s);
    if (w.empty()) return true;
    const std::string& cmd = w[0];
    auto need = [&](size_t n) {
      if (w.size() < n) throw Failure("too few arguments for " + cmd);
    };
    if (cmd == "quit") return false;
    if (cmd == "frame") {
      need(4);
      Send(FramePacket(Byte(w[1]), Byte(w[2]), Samples(w, 3, 256)));
    } else if (cmd == "wave") {
      need(4);
      const double phase = w.size() > 4 ? std::atof(w[4].c_str()) : 0.0;
      Send(FramePacket(Byte(w[1]), Byte(w[2]), Wave(w[3], phase, FRng)));
    } else if (cmd == "range") {
      need(5);
      const unsigned start = Byte(w[3]), end = Byte(w[4]);
      if (end < start) throw Failure("range end before start");
      Send(RangePacket(Byte(w[1]), Byte(w[2]), start, end, Samples(w, 5, end - start)));
    } else if (cmd == "single") {
      need(5);
      Send(SinglePacket(Byte(w[1]), Byte(w[2]),
                        static_cast<std::uint32_t>(Number(w[3], 0xFFFFFF)), Byte(w[4])));
    } else if (cmd == "garbage") {
      Bytes g;
      for (size_t i = 1; i < w.size(); ++i) g.push_back(static_cast<std::uint8_t>(Number(Hex(w[i]), 255)));
      FLine.Write(g);
    } else if (cmd == "split") {
      need(2);
      FSplit = Number(w[1], 65535);
      FSplitPause = w.size() > 2 ? static_cast<long>(Number(w[2], 60000)) : 20;
    } else if (cmd == "sleep") {
      need(2);
      Pause(static_cast<long>(Number(w[1], 600000)));
    } else if (cmd == "mark") {
      FLine.Drain();
      std::string note;
      for (size_t i = 1; i < w.size(); ++i) note += (i > 1 ? " " : "") + w[i];
      std::cout << note << std::endl;
    } else {
      throw Failure("unknown command \"" + cmd + "\"");
    }
    return true;
  }

private:
  static unsigned Byte(const std::string& s) { return static_cast<unsigned>(Number(s, 255)); }
  static std::string Hex(const std::string& s) {
    return s.rfind("0x", 0) == 0 || s.rfind("0X", 0) == 0 ? s : "0x" + s;
  }
  void Send(const Bytes& packet) {
    if (FSplit == 0) {
      FLine.Write(packet);
      return;
    }
    for (size_t at = 0; at < packet.size(); at += FSplit) {
      if (at > 0) Pause(FSplitPause);
      FLine.Write(Bytes(packet.begin() + static_cast<long>(at),
                        packet.begin() + static_cast<long>(std::min(packet.size(), at + FSplit))));
    }
    FSplit = 0;
  }

  Line& FLine;
  size_t FSplit = 0;
  long FSplitPause = 20;
  std::mt19937 FRng{1};
};

int RunScript(Line& line, std::istream& in) {
  Script script(line);
  int lineNo = 0;
  for (std::string text; std::getline(in, text);) {
    ++lineNo;
    try {
      if (!script.Run(text)) break;
    } catch (const LineGone& e) {
      std::cerr << "orbex-emu: line " << lineNo << ": " << e.what() << "\n";
      return 1;
    } catch (const Failure& e) {
      // A bad line is reported and skipped; the script goes on.
      std::cerr << "orbex-emu: line " << lineNo << ": " << e.what() << "\n";
    }
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Generator mode: one packet per tick at the chosen rate.

struct Options {
  std::string Mode = "frames";
  std::string WaveName = "sine";
  double Rate = 10;
  unsigned B4 = 10;   // run mode 0, 0.1ms/div
  unsigned B5 = 4;    // AC, x1, 1v/div
  long Count = 0;     // 0: until killed
  std::string ScriptPath;
  std::string Device;
};

int RunGenerator(Line& line, const Options& o) {
  std::mt19937 rng(1);
  const auto tick = std::chrono::duration<double>(1.0 / o.Rate);
  auto next = std::chrono::steady_clock::now();
  for (long n = 0; o.Count == 0 || n < o.Count; ++n) {
    const double phase = std::fmod(n * 0.02, 1.0);
    if (o.Mode == "frames") {
      line.Write(FramePacket(o.B4, o.B5, Wave(o.WaveName, phase, rng)));
    } else if (o.Mode == "range") {
      // 32 columns per packet, sweeping across the screen.
      const unsigned start = static_cast<unsigned>((n * 32) % 256);
      const unsigned end = std::min(start + 32, 255u);
      const Bytes w = Wave(o.WaveName, phase, rng);
      line.Write(RangePacket(o.B4, o.B5, start, end, Bytes(w.begin() + start, w.begin() + end)));
    } else if (o.Mode == "roll") {
      const Bytes w = Wave(o.WaveName, 0, rng);
      line.Write(SinglePacket(o.B4, o.B5, static_cast<std::uint32_t>(n) & 0xFFFFFF,
                              w[static_cast<size_t>(n % 256)]));
    } else {
      throw Failure("unknown mode \"" + o.Mode + "\"");
    }
    next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(tick);
    std::this_thread::sleep_until(next);
  }
  return 0;
}

int Usage() {
  std::cerr << "usage: orbex-emu [--mode frames|range|roll] [--wave sine|square|triangle|noise]\n"
               "                 [--rate N] [--b4 X] [--b5 Y] [--count N] DEVICE\n"
               "       orbex-emu --script FILE|- DEVICE\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // A vanished reader must end the emulator with an error, not a signal.
  ::signal(SIGPIPE, SIG_IGN);
  Options o;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string a = argv[i];
      auto value = [&]() -> std::string {
        if (i + 1 >= argc) throw Failure(a + " needs a value");
        return argv[++i];
      };
      if (a == "--mode") o.Mode = value();
      else if (a == "--wave") o.WaveName = value();
      else if (a == "--rate") o.Rate = std::atof(value().c_str());
      else if (a == "--b4") o.B4 = static_cast<unsigned>(Number(value(), 255));
      else if (a == "--b5") o.B5 = static_cast<unsigned>(Number(value(), 255));
      else if (a == "--count") o.Count = static_cast<long>(Number(value(), 1L << 30));
      else if (a == "--script") o.ScriptPath = value();
      else if (!a.empty() && a[0] == '-') return Usage();
      else o.Device = a;
    }
    if (o.Device.empty() || !(o.Rate > 0 && o.Rate <= 1000)) return Usage();
    Line line(o.Device);
    if (o.ScriptPath.empty()) return RunGenerator(line, o);
    if (o.ScriptPath == "-") return RunScript(line, std::cin);
    std::ifstream in(o.ScriptPath);
    if (!in) throw Failure("cannot read " + o.ScriptPath);
    return RunScript(line, in);
  } catch (const std::exception& e) {
    std::cerr << "orbex-emu: " << e.what() << "\n";
    return 1;
  }
}
