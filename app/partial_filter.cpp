#include "app/partial_filter.h"

#include <cmath>

#include "app/file_collection.h"

namespace app {

bool IsNewOrChanged(const std::string& path, std::uint32_t fileDate, const PartialFilter& filter) {
  if (fileDate == 0) return true;
  switch (filter.Mode) {
    case PartialMode::SinceLastFull: {
      const int index = FindFileState(path, filter.States);
      return index < 0 || filter.States[static_cast<std::size_t>(index)].DateTime != fileDate;
    }
    case PartialMode::SinceDate:
      // Unsigned: DOS dates from 2044 on have the top bit set.
      return fileDate >= filter.SinceDate;
    case PartialMode::WithinDays: {
      classlib::TDateTime fileTime;
      if (!classlib::TryFileDateToDateTime(fileDate, fileTime)) return true;
      return std::trunc(filter.Today) - std::trunc(fileTime) <= filter.SinceDays;
    }
  }
  return true;
}

classlib::TStringList ApplyPartialFilter(const classlib::TStringList& files, const std::vector<std::uint32_t>& dates,
                                         const PartialFilter& filter) {
  classlib::TStringList taken;
  for (int i = 0; i < files.Count(); ++i)
    if (IsNewOrChanged(files[i], dates[static_cast<std::size_t>(i)], filter)) taken.Add(files[i]);
  return taken;
}

bool FilesChangedSinceLastFull(const BackupDefinition& def, const std::string& stateFile) {
  try {
    // As the run collects: without its destination.
    const CollectedFiles collected = CollectDefinitionFiles(def, def.Create);
    if (!collected.Problems.empty()) return true;
    PartialFilter filter;
    if (!LoadFileStates(stateFile, filter.States)) return true;
    if (filter.States.size() < static_cast<std::size_t>(collected.Files.Count())) return true;
    for (int i = 0; i < collected.Files.Count(); ++i)
      if (IsNewOrChanged(collected.Files[i], collected.Found[static_cast<std::size_t>(i)].DosTime, filter)) return true;
    return false;
  } catch (...) {
    return true;
  }
}

}  // namespace app
