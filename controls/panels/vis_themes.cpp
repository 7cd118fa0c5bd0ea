#include "controls/panels/vis_themes.h"

#include <string>

#include "classlib/wide.h"
#include "controls/panels/vis_system.h"
#include "controls/panels/vis_utils.h"

namespace controls {

namespace {

TVisThemeLibrary& Library() {
  static TVisThemeLibrary library;
  return library;
}

// The entry of that name, as the type the pack calls it by.
template <typename F>
void Take(const TVisThemeLibrary& library, const char* name, F& entry) {
  for (int i = 0; i < kThemeEntryCount; ++i)
    if (std::string(kThemeEntryNames[static_cast<size_t>(i)]) == name)
      entry = reinterpret_cast<F>(reinterpret_cast<void*>(library.Entry(i)));
}

}  // namespace

const std::array<const char*, kThemeEntryCount> kThemeEntryNames = {
    "DrawThemeEdge", "DrawThemeBackground", "DrawThemeParentBackground", "DrawThemeText", "DrawThemeIcon",
    "OpenThemeData", "CloseThemeData", "IsThemeBackgroundPartiallyTransparent", "GetThemeBackgroundContentRect",
    "SetWindowTheme", "SetThemeAppProperties", "IsThemePartDefined", "GetThemeColor", "GetThemeMetric",
    "GetThemeString", "GetThemeBool", "GetThemeInt", "GetThemeEnumValue", "GetThemePosition", "GetThemeFont",
    "GetThemeRect", "GetThemeFilename", "GetThemeSysColor", "GetThemeSysColorBrush", "GetThemeSysBool",
    "IsThemeActive", "IsAppThemed", "GetWindowTheme", "EnableThemeDialogTexture", "IsThemeDialogTextureEnabled",
    "EnableTheming"};

const TVisThemeLibrary& ThemeLibrary() { return Library(); }

bool ThemeLibraryLoaded() { return Library().Loaded(); }

void LoadThemeLibrary() {
  TVisThemeLibrary& library = Library();
  if (library.module_) return;
  // By full path: a copy planted beside the program or in the current folder is never loaded.
  const std::string path = AddBackslash(SystemDirectory()) + "UxTheme.dll";
  library.module_ = LoadLibraryW(classlib::Widen(path).c_str());
  TVisThemeEntries& e = library.entries_;
  e = TVisThemeEntries{};
  library.found_ = {};
  if (!library.module_) return;
  e.Loaded = true;
  for (int i = 0; i < kThemeEntryCount; ++i)
    library.found_[static_cast<size_t>(i)] = GetProcAddress(library.module_, kThemeEntryNames[static_cast<size_t>(i)]);
  Take(library, "IsThemeActive", e.IsThemeActive);
  Take(library, "SetThemeAppProperties", e.SetThemeAppProperties);
  Take(library, "OpenThemeData", e.OpenThemeData);
  Take(library, "CloseThemeData", e.CloseThemeData);
  Take(library, "DrawThemeBackground", e.DrawThemeBackground);
  Take(library, "DrawThemeParentBackground", e.DrawThemeParentBackground);
  Take(library, "GetThemeBackgroundContentRect", e.GetThemeBackgroundContentRect);
}

void FreeThemeLibrary() {
  TVisThemeLibrary& library = Library();
  library.entries_ = TVisThemeEntries{};
  library.found_ = {};
  if (library.module_) FreeLibrary(library.module_);
  library.module_ = nullptr;
}

TVisThemeEntries SetThemeEntriesForTesting(const TVisThemeEntries& Entries) {
  TVisThemeEntries before = Library().entries_;
  Library().entries_ = Entries;
  return before;
}

bool TVisThemeLibrary::IsThemeActive() const {
  return entries_.IsThemeActive && entries_.IsThemeActive();
}

bool TVisThemeLibrary::SetThemeAppProperties(DWORD Flags) const {
  if (!entries_.SetThemeAppProperties) return false;
  entries_.SetThemeAppProperties(Flags);
  return true;
}

HTHEME TVisThemeLibrary::OpenThemeData(HWND Window, const wchar_t* ClassList) const {
  return entries_.OpenThemeData ? entries_.OpenThemeData(Window, ClassList) : nullptr;
}

HRESULT TVisThemeLibrary::CloseThemeData(HTHEME Theme) const {
  return entries_.CloseThemeData ? entries_.CloseThemeData(Theme) : E_NOTIMPL;
}

HRESULT TVisThemeLibrary::DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const RECT& Rect,
                                              const RECT* Clip) const {
  return entries_.DrawThemeBackground ? entries_.DrawThemeBackground(Theme, DC, Part, State, &Rect, Clip)
                                      : E_NOTIMPL;
}

HRESULT TVisThemeLibrary::DrawThemeParentBackground(HWND Window, HDC DC, const RECT* Rect) const {
  return entries_.DrawThemeParentBackground ? entries_.DrawThemeParentBackground(Window, DC, Rect) : E_NOTIMPL;
}

HRESULT TVisThemeLibrary::GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int Part, int State,
                                                        const RECT& Bounds, RECT& Content) const {
  return entries_.GetThemeBackgroundContentRect
             ? entries_.GetThemeBackgroundContentRect(Theme, DC, Part, State, &Bounds, &Content)
             : E_NOTIMPL;
}

}  // namespace controls
