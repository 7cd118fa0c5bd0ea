// The visual-styles library, loaded at start-up by full path from the system folder and never
// linked: the program also runs where it is missing. Its entry points are all looked up and kept;
// the pack calls seven of them, and every call checks its entry first: a missing one answers as
// if no theme were active.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <array>

namespace controls {

struct TVisThemeEntries {
  bool Loaded = false;
  BOOL(WINAPI* IsThemeActive)() = nullptr;
  void(WINAPI* SetThemeAppProperties)(DWORD) = nullptr;
  HTHEME(WINAPI* OpenThemeData)(HWND, LPCWSTR) = nullptr;
  HRESULT(WINAPI* CloseThemeData)(HTHEME) = nullptr;
  HRESULT(WINAPI* DrawThemeBackground)(HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;
  HRESULT(WINAPI* DrawThemeParentBackground)(HWND, HDC, const RECT*) = nullptr;
  HRESULT(WINAPI* GetThemeBackgroundContentRect)(HTHEME, HDC, int, int, const RECT*, RECT*) = nullptr;
};

// The entry points looked up, in this order.
constexpr int kThemeEntryCount = 31;
extern const std::array<const char*, kThemeEntryCount> kThemeEntryNames;

class TVisThemeLibrary {
 public:
  // What the look-up found for entry Index of kThemeEntryNames (null when missing).
  FARPROC Entry(int Index) const { return found_[static_cast<size_t>(Index)]; }

  // The library was loaded (its entry points may still be missing one by one).
  bool Loaded() const { return entries_.Loaded; }

  // False when the entry is missing.
  bool IsThemeActive() const;
  bool SetThemeAppProperties(DWORD Flags) const;
  // Null when the entry is missing.
  HTHEME OpenThemeData(HWND Window, const wchar_t* ClassList) const;
  // E_NOTIMPL when the entry is missing.
  HRESULT CloseThemeData(HTHEME Theme) const;
  HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const RECT& Rect,
                              const RECT* Clip) const;
  HRESULT DrawThemeParentBackground(HWND Window, HDC DC, const RECT* Rect) const;
  HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int Part, int State, const RECT& Bounds,
                                        RECT& Content) const;

 private:
  friend void LoadThemeLibrary();
  friend void FreeThemeLibrary();
  friend TVisThemeEntries SetThemeEntriesForTesting(const TVisThemeEntries& Entries);
  HMODULE module_ = nullptr;
  std::array<FARPROC, kThemeEntryCount> found_{};
  TVisThemeEntries entries_;
};

const TVisThemeLibrary& ThemeLibrary();
bool ThemeLibraryLoaded();

// Part of the library's start-up and shut-down.
void LoadThemeLibrary();
void FreeThemeLibrary();

// Replaces the entry table (Wine usually has no active theme); returns the one before.
TVisThemeEntries SetThemeEntriesForTesting(const TVisThemeEntries& Entries);

}  // namespace controls
