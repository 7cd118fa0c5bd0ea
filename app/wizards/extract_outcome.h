// The extraction window's logic that needs no window: where the next part of a split archive is,
// and what a run did, counted from the reader's events, told in the window's texts.
#pragma once

#include <string>

#include "zip/zip_reader.h"

namespace app {

// Parts of a split backup are numbered ".001", ".002", ...; the last one carries ".zip".
std::string NextPartName(const std::string& lastName, int nextDisk, int diskCount);
// The question while that part is missing.
std::string MissingPartText(int nextDisk, const std::string& partName);

struct ExtractTexts {
  std::string step;    // LabelCreationStep
  std::string info;    // LabelCreationInfo
  std::string action;  // LabelAction
};

class TExtractOutcome {
 public:
  void Extracted() { ++extracted_; }
  void Skipped(zip::TSkipReason reason);
  // Its data failed the CRC check.
  void Damaged() { ++damaged_; }
  // An error ended the run before all entries were done.
  void EndedEarly(const std::string& why);

  // Every chosen entry extracted, none skipped or damaged, and the run went to its end.
  bool Complete() const;
  ExtractTexts Texts() const;

 private:
  int Failed() const { return badPassword_ + notOverwritten_ + notCreated_ + damaged_; }
  // "2 (falsches Passwort), 1 (beschädigt, CRC-Fehler)"; empty when nothing failed.
  std::string FailureList() const;

  int extracted_ = 0;
  int badPassword_ = 0;
  int notOverwritten_ = 0;
  int notCreated_ = 0;
  int damaged_ = 0;
  bool endedEarly_ = false;
  std::string why_;
};

}  // namespace app
