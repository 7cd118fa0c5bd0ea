#include "app/write_watch.h"

#include "classlib/format.h"

namespace app {

WriteWatch::WriteWatch(zip::TZipWriter& writer)
    : writer_(writer), endZip_(writer.OnEndZip), skippingFile_(writer.OnSkippingFile) {
  writer.OnEndZip = [this](const std::string& name, std::uint32_t size, std::uint32_t packed, std::int64_t total) {
    stored_.insert(name);
    if (endZip_) endZip_(name, size, packed, total);
  };
  writer.OnSkippingFile = [this](zip::TSkipReason reason, const std::string& name, int index, bool& retry) {
    if (skippingFile_) skippingFile_(reason, name, index, retry);
    if (!retry) skipped_[name] = reason;
  };
}

WriteWatch::~WriteWatch() {
  writer_.OnEndZip = endZip_;
  writer_.OnSkippingFile = skippingFile_;
}

std::string WriteWatch::NothingSaved(const classlib::TStringList& files) const {
  const std::string first = files.Count() > 0 ? files[0] : std::string();
  const auto skipped = skipped_.find(first);
  const char* reason = "ist nicht mehr vorhanden.";
  if (skipped != skipped_.end())
    reason = skipped->second == zip::TSkipReason::srFileOpenError
                 ? "ließ sich nicht öffnen oder lesen (möglicherweise ist sie exklusiv geöffnet)."
                 : "wurde übersprungen.";
  if (files.Count() == 1)
    return classlib::Format("Keine Datei konnte gesichert werden: \"%s\" %s", first.c_str(), reason);
  return classlib::Format("Keine der %d Dateien konnte gesichert werden; die erste, \"%s\", %s", files.Count(),
                          first.c_str(), reason);
}

}  // namespace app
