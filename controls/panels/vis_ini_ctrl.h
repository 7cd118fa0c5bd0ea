// Where the pack's components would keep persistent settings: an INI file in the Windows, system
// or program folder, or a registry key. It holds the settings and their rules only.
#pragma once

#include <cstdint>
#include <string>

#include "controls/panels/vis_object.h"
#include "controls/panels/vis_system.h"

namespace controls {

enum class TVisRegRootKey { rpClassesRoot, rpCurrentUser, rpLocalMachine, rpUsers, rpCurrentConfig, rpDynData };
enum class TVisIniTarget { itIniFile, itRegistry, itAuto };

class TVisIniCtrl : public TVisCustomComponent {
 public:
  explicit TVisIniCtrl(classlib::TComponent* AOwner) : TVisCustomComponent(AOwner) {}

  // One letter per entry: switching it on limits MaxEntries to 26.
  bool AlphaCounter() const { return alphaCounter_; }
  void SetAlphaCounter(bool value);
  bool Common() const { return common_; }
  void SetCommon(bool value) { common_ = value; }
  // A name without an extension (or with one of blanks only) gets ".INI".
  const std::string& IniFile() const { return iniFile_; }
  void SetIniFile(const std::string& value);
  TVisPathPrefix IniPrefix() const { return iniPrefix_; }
  void SetIniPrefix(TVisPathPrefix value) { iniPrefix_ = value; }
  // A value above 26 is ignored while AlphaCounter is on.
  std::uint8_t MaxEntries() const { return maxEntries_; }
  void SetMaxEntries(std::uint8_t value);
  // Switching it on fills User with the current user's name.
  bool NetUser() const { return netUser_; }
  void SetNetUser(bool value);
  const std::string& User() const { return user_; }
  void SetUser(const std::string& value) { user_ = value; }
  const std::string& RegPath() const { return regPath_; }
  void SetRegPath(const std::string& value) { regPath_ = value; }
  TVisRegRootKey RegRoot() const { return regRoot_; }
  void SetRegRoot(TVisRegRootKey value) { regRoot_ = value; }
  TVisIniTarget Target() const { return target_; }
  void SetTarget(TVisIniTarget value);
  // The target in effect: the registry for itAuto.
  TVisIniTarget EffectiveTarget() const { return effectiveTarget_; }
  std::uint16_t EncKey() const { return encKey_; }
  void SetEncKey(std::uint16_t value) { encKey_ = value; }
  bool Encoded() const { return encoded_; }
  void SetEncoded(bool value) { encoded_ = value; }

 protected:
  virtual std::string QueryUserName() const { return CurrentUserName(); }

 private:
  bool alphaCounter_ = false;
  bool common_ = true;
  std::string iniFile_;
  TVisPathPrefix iniPrefix_ = TVisPathPrefix::ppWindows;
  std::uint8_t maxEntries_ = 16;
  bool netUser_ = false;
  std::string user_;
  std::string regPath_;
  TVisRegRootKey regRoot_ = TVisRegRootKey::rpCurrentUser;
  TVisIniTarget target_ = TVisIniTarget::itAuto;
  TVisIniTarget effectiveTarget_ = TVisIniTarget::itRegistry;
  std::uint16_t encKey_ = 0x5E27;
  bool encoded_ = false;
};

}  // namespace controls
