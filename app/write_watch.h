// Follows one write of a zip writer, the handlers it had still called: which files went into the
// archive, and why a file that did not was left out. A write that saved no file of its list is
// no backup: both the run and the single backup end it as failed with the sentence from here.
#pragma once

#include <map>
#include <set>
#include <string>

#include "classlib/stringlist.h"
#include "zip/zip_writer.h"

namespace app {

class WriteWatch {
 public:
  explicit WriteWatch(zip::TZipWriter& writer);
  // The writer's handlers as they were.
  ~WriteWatch();
  WriteWatch(const WriteWatch&) = delete;
  WriteWatch& operator=(const WriteWatch&) = delete;

  // The files that went into the archive.
  const std::set<std::string>& Stored() const { return stored_; }
  // For a write that stored none of files: that nothing could be saved, with the first file's
  // reason.
  std::string NothingSaved(const classlib::TStringList& files) const;

 private:
  zip::TZipWriter& writer_;
  const zip::TEndZipFileEvent endZip_;
  const zip::TSkippingFileEvent skippingFile_;
  std::set<std::string> stored_;
  // The files given up, by the reason of their last try.
  std::map<std::string, zip::TSkipReason> skipped_;
};

}  // namespace app
