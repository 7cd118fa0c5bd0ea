#include "classlib/registry.h"

#include <cstring>
#include <vector>

#include "classlib/exceptions.h"
#include "classlib/format.h"
#include "classlib/wide.h"

namespace classlib {
namespace {

[[noreturn]] void InvalidType(const std::string& name) {
  throw ERegistryException(Format("Ungültiger Datentyp für '%s'", name.c_str()));
}

}  // namespace

TRegistry::TRegistry() = default;

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  root_ = root;
}

void TRegistry::CloseKey() {
  if (current_) RegCloseKey(current_);
  current_ = nullptr;
  currentPath_.clear();
}

HKEY TRegistry::BaseFor(const std::string& key, std::string& subPath) const {
  const bool relative = key.empty() || key[0] != '\\';
  subPath = relative ? key : key.substr(1);
  return relative && current_ ? current_ : root_;
}

bool TRegistry::Open(const std::string& key, bool canCreate, REGSAM access) {
  std::string sub;
  HKEY base = BaseFor(key, sub);
  const bool relative = base == current_ && current_;
  const std::wstring wide = Widen(sub);
  HKEY opened = nullptr;
  LONG rc;
  if (canCreate)
    rc = RegCreateKeyExW(base, wide.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &opened, nullptr);
  else
    rc = RegOpenKeyExW(base, wide.c_str(), 0, access, &opened);
  if (rc != ERROR_SUCCESS) return false;
  const std::string path = relative && !sub.empty() ? currentPath_ + "\\" + sub : relative ? currentPath_ : sub;
  CloseKey();
  current_ = opened;
  currentPath_ = path;
  return true;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) { return Open(key, canCreate, KEY_ALL_ACCESS); }

bool TRegistry::OpenKeyReadOnly(const std::string& key) { return Open(key, false, KEY_READ); }

bool TRegistry::KeyExists(const std::string& key) {
  std::string sub;
  HKEY base = BaseFor(key, sub);
  HKEY probe = nullptr;
  if (RegOpenKeyExW(base, Widen(sub).c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS) return false;
  RegCloseKey(probe);
  return true;
}

bool TRegistry::DeleteKey(const std::string& key) {
  std::string sub;
  HKEY base = BaseFor(key, sub);
  if (sub.empty()) return false;  // never the open key or the root itself
  return RegDeleteTreeW(base, Widen(sub).c_str()) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const std::string& name) const {
  return current_ && RegQueryValueExW(current_, Widen(name).c_str(), nullptr, nullptr, nullptr, nullptr) ==
                         ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& name) {
  return current_ && RegDeleteValueW(current_, Widen(name).c_str()) == ERROR_SUCCESS;
}

TStringList TRegistry::GetKeyNames() const {
  TStringList names;
  if (!current_) return names;
  std::vector<wchar_t> buffer(256);
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG rc = RegEnumKeyExW(current_, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) break;
    names.Add(Narrow(buffer.data(), length));
  }
  return names;
}

TStringList TRegistry::GetValueNames() const {
  TStringList names;
  if (!current_) return names;
  std::vector<wchar_t> buffer(16384);
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG rc = RegEnumValueW(current_, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) break;
    names.Add(Narrow(buffer.data(), length));
  }
  return names;
}

std::string TRegistry::ReadString(const std::string& name) const {
  if (!current_) return {};
  const std::wstring wname = Widen(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(current_, wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) InvalidType(name);
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(current_, wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS)
    InvalidType(name);
  size_t length = size / sizeof(wchar_t);
  while (length > 0 && data[length - 1] == L'\0') --length;
  return Narrow(data.data(), length);
}

std::int32_t TRegistry::ReadInteger(const std::string& name) const {
  DWORD type = 0, value = 0, size = sizeof(value);
  if (!current_ ||
      RegQueryValueExW(current_, Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(value))
    InvalidType(name);
  return static_cast<std::int32_t>(value);
}

bool TRegistry::ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }

TDateTime TRegistry::ReadDateTime(const std::string& name) const {
  DWORD type = 0;
  unsigned char bytes[sizeof(TDateTime)];
  DWORD size = sizeof(bytes);
  if (!current_ || RegQueryValueExW(current_, Widen(name).c_str(), nullptr, &type, bytes, &size) != ERROR_SUCCESS ||
      type != REG_BINARY || size != sizeof(bytes))
    InvalidType(name);
  TDateTime value;
  std::memcpy(&value, bytes, sizeof(value));
  return value;
}

void TRegistry::Write(const std::string& name, DWORD type, const void* data, DWORD size) {
  if (!current_ || RegSetValueExW(current_, Widen(name).c_str(), 0, type, static_cast<const BYTE*>(data), size) !=
                       ERROR_SUCCESS)
    throw ERegistryException(Format("Fehler beim Setzen der Daten für '%s'", name.c_str()));
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  const std::wstring wide = Widen(value);
  Write(name, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
  const DWORD data = static_cast<DWORD>(value);
  Write(name, REG_DWORD, &data, sizeof(data));
}

void TRegistry::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

void TRegistry::WriteDateTime(const std::string& name, TDateTime value) {
  Write(name, REG_BINARY, &value, sizeof(value));
}

}  // namespace classlib
