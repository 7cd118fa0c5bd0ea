// Replaces the visual-styles library's entry points for one test and puts the old ones back
// however the test ends.
#pragma once

#include "controls/panels/vis_themes.h"

class ScopedThemeEntries {
 public:
  explicit ScopedThemeEntries(const controls::TVisThemeEntries& entries)
      : saved_(controls::SetThemeEntriesForTesting(entries)) {}
  ~ScopedThemeEntries() { controls::SetThemeEntriesForTesting(saved_); }
  ScopedThemeEntries(const ScopedThemeEntries&) = delete;
  ScopedThemeEntries& operator=(const ScopedThemeEntries&) = delete;

  // Loaded, with no theme active.
  static controls::TVisThemeEntries NoTheme() {
    controls::TVisThemeEntries entries;
    entries.Loaded = true;
    return entries;
  }

 private:
  controls::TVisThemeEntries saved_;
};
