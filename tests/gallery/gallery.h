// The program's windows as people look at them: each entry builds a window, gives it sample state
// and shows it. scripts/screenshot saves a PNG of one by its name.
#pragma once

#include <string>
#include <vector>

#include "classlib/forms.h"

namespace gallery {

struct GalleryWindow {
  std::string name;
  // Builds the window (owned by the application) with sample state and shows it.
  classlib::TForm* (*show)();
};

const std::vector<GalleryWindow>& GalleryWindows();

}  // namespace gallery
