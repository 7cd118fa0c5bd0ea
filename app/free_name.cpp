#include "app/free_name.h"

namespace app {

std::string FirstFreeName(const std::function<std::string(int n)>& candidate,
                          const std::function<bool(const std::string& name)>& taken) {
  for (int n = 1; n <= kFreeNameTries; ++n) {
    std::string name = candidate(n);
    if (!taken(name)) return name;
  }
  return {};
}

std::string NoFreeNameText(const std::string& first) {
  return "Für \"" + first + "\" wurde kein freier Dateiname gefunden: Die ersten " + std::to_string(kFreeNameTries) +
         " Namen dieser Art sind schon vergeben.";
}

}  // namespace app
