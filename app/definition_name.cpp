#include "app/definition_name.h"

#include <cwchar>

#include "app/single_backup_name.h"
#include "classlib/wide.h"

namespace app {
namespace {

bool IsNameCharacter(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') ||
         (c != 0 && std::wcschr(L"- ._", c) != nullptr);
}

}  // namespace

bool IsDefinitionNameKey(wchar_t key) { return key == L'\b' || IsNameCharacter(key); }

std::string DefinitionNameProblem(const std::string& name) {
  if (name.find_first_not_of(' ') == std::string::npos) return kNoNameText;
  const std::wstring wide = classlib::Widen(name);
  for (wchar_t c : wide)
    if (!IsNameCharacter(c))
      return "Die Bezeichnung darf nur Buchstaben (A-Z, a-z), Ziffern, Leerzeichen und die Zeichen - . _ enthalten.";
  if (wide.size() > kDefinitionNameLength) return "Die Bezeichnung darf höchstens 30 Zeichen lang sein.";
  // A shortcut's "/start" and the hand-over lose blanks at the ends.
  if (name.front() == ' ' || name.back() == ' ')
    return "Die Bezeichnung darf nicht mit einem Leerzeichen beginnen oder enden.";
  return DeviceNameProblem(name);
}

std::string RunFailureText(const std::string& name, const std::string& reason) {
  return "Die Sicherung \"" + name + "\" konnte nicht durchgeführt werden:\r\r" + reason;
}

}  // namespace app
