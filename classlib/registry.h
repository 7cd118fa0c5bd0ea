// Registry access under one root key (the current user's branch unless set otherwise). A path that
// starts with "\" is taken from the root, any other from the open key. Names and texts are UTF-8.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "classlib/datetime.h"
#include "classlib/stringlist.h"

namespace classlib {

class TRegistry {
 public:
  TRegistry();
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return root_; }
  void SetRootKey(HKEY root);
  const std::string& CurrentPath() const { return currentPath_; }

  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  bool KeyExists(const std::string& key);
  // Deletes the key with all its subkeys and values.
  bool DeleteKey(const std::string& key);

  bool ValueExists(const std::string& name) const;
  bool DeleteValue(const std::string& name);
  TStringList GetKeyNames() const;
  TStringList GetValueNames() const;

  // A missing string reads as empty text; a missing or mistyped number, flag or date raises
  // ERegistryException "Ungültiger Datentyp für '<name>'".
  std::string ReadString(const std::string& name) const;
  std::int32_t ReadInteger(const std::string& name) const;
  bool ReadBool(const std::string& name) const;
  TDateTime ReadDateTime(const std::string& name) const;

  // Failures raise ERegistryException "Fehler beim Setzen der Daten für '<name>'".
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, std::int32_t value);
  void WriteBool(const std::string& name, bool value);
  void WriteDateTime(const std::string& name, TDateTime value);

 private:
  bool Open(const std::string& key, bool canCreate, REGSAM access);
  HKEY BaseFor(const std::string& key, std::string& subPath) const;
  void Write(const std::string& name, DWORD type, const void* data, DWORD size);

  HKEY root_ = HKEY_CURRENT_USER;
  HKEY current_ = nullptr;
  std::string currentPath_;
};

}  // namespace classlib
