#include "controls/panels/vis_ini_ctrl.h"

#include "controls/panels/vis_utils.h"

namespace controls {

namespace {

constexpr std::uint8_t kLetters = 26;

}  // namespace

void TVisIniCtrl::SetAlphaCounter(bool value) {
  alphaCounter_ = value;
  if (value && maxEntries_ > kLetters) maxEntries_ = kLetters;
}

void TVisIniCtrl::SetIniFile(const std::string& value) {
  const size_t dot = value.rfind('.');
  const size_t folder = value.find_last_of("\\/:");
  const bool hasDot = dot != std::string::npos && (folder == std::string::npos || dot > folder);
  if (value.empty() || (hasDot && !IsBlank(value.substr(dot + 1))))
    iniFile_ = value;
  else
    iniFile_ = (hasDot ? value.substr(0, dot) : value) + ".INI";
}

void TVisIniCtrl::SetMaxEntries(std::uint8_t value) {
  if (alphaCounter_ && value > kLetters) return;
  maxEntries_ = value;
}

void TVisIniCtrl::SetNetUser(bool value) {
  if (value == netUser_) return;
  netUser_ = value;
  if (value) user_ = QueryUserName();
}

void TVisIniCtrl::SetTarget(TVisIniTarget value) {
  target_ = value;
  effectiveTarget_ = value == TVisIniTarget::itAuto ? TVisIniTarget::itRegistry : value;
}

}  // namespace controls
