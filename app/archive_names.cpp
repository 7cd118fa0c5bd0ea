#include "app/archive_names.h"

#include <algorithm>

#include "classlib/date_format.h"
#include "classlib/format.h"
#include "classlib/text.h"
#include "zip/path_strings.h"

namespace app {

bool HasZipExtension(const std::string& name) {
  return name.size() >= 4 && classlib::LowerAscii(name.substr(name.size() - 4)) == ".zip";
}

std::string WithoutZipExtension(const std::string& name) {
  return HasZipExtension(name) ? name.substr(0, name.size() - 4) : name;
}

std::string ArchiveName(const BackupDefinition& def, bool partial, classlib::TDateTime start) {
  const std::string name = def.UseDateTime ? classlib::FormatDateTime("yyyy-mm-dd hh-nn", start) : def.Title;
  if (!HasZipExtension(name)) return name + (partial ? " [part].zip" : ".zip");
  const std::size_t stem = name.size() - 4;
  return partial ? name.substr(0, stem) + " [part]" + name.substr(stem) : name;
}

std::string NumberedStem(const std::string& stem, int n) {
  return n > 1 ? stem + " (" + std::to_string(n) + ")" : stem;
}

namespace {

// stem without the number NumberedStem gave it, if any.
std::string WithoutNumber(const std::string& stem) {
  const std::size_t open = stem.rfind(" (");
  if (open == std::string::npos || stem.back() != ')') return stem;
  const std::string number = stem.substr(open + 2, stem.size() - open - 3);
  const bool numbered = !number.empty() && number[0] != '0' && number != "1" &&
                        number.find_first_not_of("0123456789") == std::string::npos;
  return numbered ? stem.substr(0, open) : stem;
}

}  // namespace

bool IsRunArchiveStem(const BackupDefinition& def, const std::string& stem) {
  const std::string kPart = " [part]";
  std::string full = def.UseDateTime ? WithoutNumber(stem) : stem;
  const std::size_t cut = full.size() - std::min(full.size(), kPart.size());
  if (classlib::SameTextAscii(full.substr(cut), kPart)) full.erase(cut);
  if (!def.UseDateTime) {
    return classlib::SameTextAscii(full, WithoutZipExtension(ArchiveName(def, false, 0)));
  }
  // "yyyy-mm-dd hh-nn"
  static const char kShape[] = "0000-00-00 00-00";
  if (full.size() != sizeof kShape - 1) return false;
  for (std::size_t i = 0; i < full.size(); ++i)
    if (kShape[i] == '0' ? full[i] < '0' || full[i] > '9' : full[i] != kShape[i]) return false;
  return true;
}

bool IsKeptArchiveStem(const BackupDefinition& def, const std::string& stem) {
  const int generations = GenerationsOf(def);
  if (generations < 2) return IsRunArchiveStem(def, stem);
  // The job's name may end in digits itself ("Daten1" keeps "Daten11"): each split is tried.
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  for (std::size_t cut = stem.size(); cut > 0 && isDigit(stem[cut - 1]) && stem.size() - cut < 9; --cut) {
    const std::string number = stem.substr(cut - 1);
    if (number[0] != '0' && std::stoi(number) <= generations && IsRunArchiveStem(def, stem.substr(0, cut - 1)))
      return true;
  }
  return false;
}

int GenerationsOf(const BackupDefinition& def) { return def.UseDateTime ? 1 : def.Instances; }

std::string PartFileName(const std::string& archive, int part) {
  return zip::ChangeFileExt(archive, classlib::Format(".%3.3d", part));
}

std::string GenerationBase(const std::string& folder, const std::string& archiveName) {
  return zip::WithTrailingBackslash(folder) + WithoutZipExtension(archiveName);
}

std::string GenerationFileName(const std::string& base, int generation) {
  return base + std::to_string(generation) + ".zip";
}

std::string GenerationPartName(const std::string& base, int generation, int part) {
  return base + classlib::Format("%d.%3.3d", generation, part);
}

}  // namespace app
