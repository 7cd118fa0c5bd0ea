#include "app/wizards/extract_outcome.h"

#include "classlib/format.h"
#include "zip/path_strings.h"

namespace app {
namespace {

std::string FileNameOf(const std::string& path) { return path.substr(zip::ExtractFilePath(path).size()); }

}  // namespace

std::string NextPartName(const std::string& lastName, int nextDisk, int diskCount) {
  return zip::ChangeFileExt(lastName, nextDisk == diskCount ? std::string(".zip") : classlib::Format(".%3.3d", nextDisk));
}

std::string MissingPartText(int nextDisk, const std::string& partName) {
  const std::string n = std::to_string(nextDisk);
  return "Bitte legen Sie den Datenträger " + n + " ein und wiederholen\rSie den Vorgang!\r\rHinweis: Datenträger " +
         n + " enthält benötigte Datei\r" + FileNameOf(partName) + ".";
}

std::string PartNotInsertedText(int nextDisk, const std::string& partName) {
  return "Datenträger " + std::to_string(nextDisk) + " mit der Datei " + FileNameOf(partName) +
         " wurde nicht eingelegt.";
}

void TExtractOutcome::Skipped(zip::TSkipReason reason) {
  switch (reason) {
    case zip::TSkipReason::srBadPassword:
      return Count(TFailure::BadPassword);
    case zip::TSkipReason::srNoOverwrite:
      return Count(TFailure::NotOverwritten);
    case zip::TSkipReason::srReadOnly:
      return Count(TFailure::ReadOnly);
    case zip::TSkipReason::srFileOpenError:
    case zip::TSkipReason::srCreateError:
      return Count(TFailure::NotCreated);
    case zip::TSkipReason::srUnknownMethod:
      return Count(TFailure::UnknownMethod);
    case zip::TSkipReason::srNameTaken:
      return Count(TFailure::NameTaken);
    case zip::TSkipReason::srSameName:
      return Count(TFailure::SameName);
  }
}

void TExtractOutcome::Damaged(const zip::TDamage& damage) {
  Count(damage.Kind == zip::TDamageKind::dkBadCRC ? TFailure::BadCRC : TFailure::BadData);
  if (!damage.KeptName.empty())
    ++damagedKept_;
  else if (damage.ReadableBytes == 0)
    ++nothingReadable_;
}

void TExtractOutcome::EndedEarly(const std::string& why) {
  endedEarly_ = true;
  why_ = why;
}

bool TExtractOutcome::Complete() const { return !endedEarly_ && Failed() == 0; }

int TExtractOutcome::Failed() const {
  int failed = 0;
  for (int count : failures_) failed += count;
  return failed;
}

std::string TExtractOutcome::FailureList() const {
  static const char* const kReasons[kFailureKinds] = {
      "falsches Passwort",
      "nicht überschrieben, die vorhandene Datei ist nicht älter",
      "nicht überschrieben, die vorhandene Datei ist schreibgeschützt",
      "unzulässiger Name oder nicht erstellbar",
      "unbekannte Komprimierungsmethode",
      "Ordner nicht angelegt, eine Datei trägt seinen Namen",
      "gleicher Name wie eine andere Datei im Backup",
      "beschädigt, CRC-Fehler",
      "beschädigt, Daten ungültig oder unvollständig",
  };
  std::string list;
  for (int i = 0; i < kFailureKinds; ++i) {
    if (failures_[i] == 0) continue;
    if (!list.empty()) list += ", ";
    list += std::to_string(failures_[i]) + " (" + kReasons[i] + ")";
  }
  return list;
}

ExtractTexts TExtractOutcome::Texts() const {
  const std::string done = std::to_string(extracted_) + " Datei(en) extrahiert";
  std::string failures = Failed() > 0 ? " Nicht extrahiert: " + FailureList() + "." : std::string();
  if (damagedKept_ > 0)
    failures += " Die lesbaren Daten von " + std::to_string(damagedKept_) +
                " beschädigten Datei(en) liegen daneben, mit „(beschädigt)“ im Namen.";
  if (nothingReadable_ > 0)
    failures += " Von " + std::to_string(nothingReadable_) +
                " beschädigten Datei(en) waren keine Daten lesbar; daneben liegt nichts.";
  if (endedEarly_)
    return {"Extraktion vorzeitig beendet.", "Die Extraktion wurde vorzeitig beendet: " + why_ + failures,
            done + ", dann wurde die Extraktion abgebrochen."};
  if (Failed() > 0)
    return {"Nicht alle Dateien wurden extrahiert.", "Die Extraktion ist beendet." + failures,
            done + ", " + std::to_string(Failed()) + " nicht."};
  return {"Datei(en) erfolgreich extrahiert.", "Die ausgewählte(n) Datei(en) wurde(n) erfolgreich extrahiert.",
          "Datei(en) erfolgreich extrahiert."};
}

}  // namespace app
