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
// Why the run ended when the user cancelled that question.
std::string PartNotInsertedText(int nextDisk, const std::string& partName);

// Marks the name under which the readable data of a damaged file is kept: "Bericht (beschädigt).txt".
constexpr char kDamagedMark[] = " (beschädigt)";

struct ExtractTexts {
  std::string step;    // LabelCreationStep
  std::string info;    // LabelCreationInfo
  std::string action;  // LabelAction
};

class TExtractOutcome {
 public:
  void Extracted() { ++extracted_; }
  void Skipped(zip::TSkipReason reason);
  // Its data failed: what came out of it was kept under a name with kDamagedMark, or nothing did.
  void Damaged(const zip::TDamage& damage);
  // The run ended before all entries were done: an error, or a question the user cancelled.
  void EndedEarly(const std::string& why);
  bool HasEndedEarly() const { return endedEarly_; }

  // Every chosen entry extracted, none skipped or damaged, and the run went to its end.
  bool Complete() const;
  ExtractTexts Texts() const;

 private:
  // Why entries were not extracted, in the order the summary lists them.
  enum class TFailure {
    BadPassword,
    NotOverwritten,
    ReadOnly,
    NotCreated,
    UnknownMethod,
    NameTaken,
    SameName,
    BadCRC,
    BadData
  };
  static constexpr int kFailureKinds = static_cast<int>(TFailure::BadData) + 1;

  void Count(TFailure failure) { ++failures_[static_cast<int>(failure)]; }
  int Failed() const;
  // "2 (falsches Passwort), 1 (beschädigt, CRC-Fehler)"; empty when nothing failed.
  std::string FailureList() const;

  int extracted_ = 0;
  int damagedKept_ = 0;
  int nothingReadable_ = 0;
  int failures_[kFailureKinds] = {};
  bool endedEarly_ = false;
  std::string why_;
};

}  // namespace app
