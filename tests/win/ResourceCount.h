// What the leak tests count: the process's live GDI objects and the calling thread's windows,
// counted by walking them, so that one leaked object fails a test. GetGuiResources answers 0
// under Wine; there a 16-bit handle value names the live GDI object in that slot whatever its
// generation, so the slots are walked. Windows are enumerated with their children, less the
// system's input-method windows.
//
// A leak test makes and frees its objects once first (caches, classes and stock objects made
// on first use stay for the process), counts, repeats the work, and expects NothingLeaked.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

struct TResourceCount {
  long GdiObjects = 0;
  long Windows = 0;
};

inline long GdiObjectCount() {
  long n = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
  if (n != 0) return n;
  for (ULONG_PTR h = 1; h <= 0xFFFF; ++h)
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0) ++n;
  return n;
}

// The input-method windows the system makes for a thread's top-level windows, and removes
// with them, are not ours.
inline bool IsSystemImeWindow(HWND wnd) {
  char name[16] = {};
  ::GetClassNameA(wnd, name, sizeof name);
  return std::strcmp(name, "IME") == 0 || std::strcmp(name, "MSCTFIME UI") == 0;
}

inline BOOL CALLBACK CountOneWindow(HWND wnd, LPARAM n) {
  if (!IsSystemImeWindow(wnd)) ++*reinterpret_cast<long*>(n);
  return TRUE;
}

inline BOOL CALLBACK CountWindowAndChildren(HWND wnd, LPARAM n) {
  CountOneWindow(wnd, n);
  ::EnumChildWindows(wnd, &CountOneWindow, n);   // every descendant, once
  return TRUE;
}

inline long ThreadWindowCount() {
  long n = 0;
  ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindowAndChildren, reinterpret_cast<LPARAM>(&n));
  return n;
}

inline TResourceCount CountResources() { return TResourceCount{GdiObjectCount(), ThreadWindowCount()}; }

// Success when neither count grew since `before`; else what grew, for the failure message.
inline testing::AssertionResult NothingLeaked(const TResourceCount& before, const TResourceCount& after) {
  if (after.GdiObjects <= before.GdiObjects && after.Windows <= before.Windows)
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << "leaked " << after.GdiObjects - before.GdiObjects << " GDI objects ("
                                     << before.GdiObjects << " -> " << after.GdiObjects << ") and "
                                     << after.Windows - before.Windows << " windows (" << before.Windows
                                     << " -> " << after.Windows << ")";
}
