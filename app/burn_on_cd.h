// Burning one archive file (a whole archive or one part of a split one) to a disc through the
// CD-writing component: the device by its drive letter, the disc checked and erased when asked,
// the file written into the disc's root under its own name, then deleted. Every disc problem is
// a Retry/Cancel question. The scheduled run and the single-backup wizard burn a whole archive
// through BurnArchiveSet, one disc per file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/cd_writer.h"

namespace app {

// Space kept free on every disc, in KB.
constexpr std::int64_t kDiscReserveKB = 1024;
// A file of fileKB (whole KB, as GetFileSizeKB counts) fits on a disc with freeKB free only below
// the reserve.
bool FitsOnDisc(std::int64_t fileKB, std::int64_t freeKB);

// The path a file takes on the disc: "\" and its name.
std::string DiscPathOf(const std::string& file);

struct DiscFile {
  std::string Source;
  std::string DiscPath;
};

// The files of a finished archive of parts files, one disc each, in the order they are burned:
// the archive itself (its last part) first, then the parts 1 .. parts-1, each under its own name.
// finalArchive is the name the run left it under (with generations "job1.zip", whose parts are
// "job1.001" ...), so every disc holds the names a restore opening the archive looks for.
std::vector<DiscFile> DiscFilesOf(const std::string& finalArchive, int parts);

// Where a burn shows how it goes: the status label and the two bars of the window that burns.
enum class BurnBar { Archive, Actual };
class IBurnProgress {
 public:
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetBarMaximum(BurnBar bar, int maximum) = 0;
  virtual void SetBarValue(BurnBar bar, int value) = 0;
  // The bar to its maximum.
  virtual void FillBar(BurnBar bar) = 0;
  // The window's cancel was pressed: no further attempt is made. (A cancel during an erase or a
  // write also stops the writer itself.)
  virtual bool CancelRequested() { return false; }

 protected:
  ~IBurnProgress() = default;
};

struct BurnSettings {
  std::string DriveLetter;  // one letter, any case
  bool Erase = false;       // erase a rewritable disc that holds data
  int Speed = 0;            // requested, capped by the device's maximum; 0: the maximum
  bool Eject = false;
  bool FinalizeRewritable = false;  // close a rewritable disc after writing
  bool FinalizeWriteOnce = false;   // close a write-once disc after writing
};

enum class BurnResult {
  Burned,        // on the disc; the file was deleted
  NoDevice,      // no recorder with the drive letter (the user was told); nothing touched
  FileMissing,   // nothing to burn (the user was told)
  Declined,      // the user answered Cancel to a question about the disc
  StartRefused,  // the recorder would not start writing, and the user gave up
  Cancelled,     // the erase or the write was stopped: the window's cancel, or the program ending
  WriteFailed,   // the device reported a failed write (the user was told)
};

struct BurnReport {
  BurnResult Result = BurnResult::Burned;
  // Unless burned: what became of the file, one sentence for the log.
  std::string Text;
  bool Burned() const { return Result == BurnResult::Burned; }
};

// Writes file to the disc in the recorder with settings.DriveLetter. The file is deleted only when
// the device reports the write completed; in every other case it stays. writer's Tag is its busy
// mark: the window's handlers of the end events may clear it, the writer clears it in any case.
BurnReport BurnOnCD(TCDWriter& writer, const BurnSettings& settings, IBurnProgress& progress, const std::string& file);

// Burns the files DiscFilesOf(finalArchive, parts) gives, one disc each: the first at once, every
// further one after the user confirmed the disc change. Ends at the first file not burned (a
// Cancel to the disc change is Declined); what was not burned stays.
BurnReport BurnArchiveSet(TCDWriter& writer, const BurnSettings& settings, IBurnProgress& progress,
                          const std::string& finalArchive, int parts);

}  // namespace app
