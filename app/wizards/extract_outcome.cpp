#include "app/wizards/extract_outcome.h"

#include "classlib/format.h"
#include "zip/path_strings.h"

namespace app {

std::string NextPartName(const std::string& lastName, int nextDisk, int diskCount) {
  return zip::ChangeFileExt(lastName, nextDisk == diskCount ? std::string(".zip") : classlib::Format(".%3.3d", nextDisk));
}

std::string MissingPartText(int nextDisk, const std::string& partName) {
  const std::string n = std::to_string(nextDisk);
  return "Bitte legen Sie den Datenträger " + n + " ein und wiederholen\rSie den Vorgang!\r\rHinweis: Datenträger " +
         n + " enthält benötigte Datei\r" + partName.substr(zip::ExtractFilePath(partName).size()) + ".";
}

void TExtractOutcome::Skipped(zip::TSkipReason reason) {
  switch (reason) {
    case zip::TSkipReason::srBadPassword:
      ++badPassword_;
      break;
    case zip::TSkipReason::srNoOverwrite:
      ++notOverwritten_;
      break;
    case zip::TSkipReason::srFileOpenError:
    case zip::TSkipReason::srCreateError:
      ++notCreated_;
      break;
  }
}

void TExtractOutcome::EndedEarly(const std::string& why) {
  endedEarly_ = true;
  why_ = why;
}

bool TExtractOutcome::Complete() const { return !endedEarly_ && Failed() == 0; }

std::string TExtractOutcome::FailureList() const {
  std::string list;
  auto add = [&list](int count, const char* reason) {
    if (count == 0) return;
    if (!list.empty()) list += ", ";
    list += std::to_string(count) + " (" + reason + ")";
  };
  add(badPassword_, "falsches Passwort");
  add(notOverwritten_, "nicht überschrieben, die vorhandene Datei ist nicht älter");
  add(notCreated_, "unzulässiger Name oder nicht erstellbar");
  add(damaged_, "beschädigt, CRC-Fehler");
  return list;
}

ExtractTexts TExtractOutcome::Texts() const {
  const std::string done = std::to_string(extracted_) + " Datei(en) extrahiert";
  const std::string failures = Failed() > 0 ? " Nicht extrahiert: " + FailureList() + "." : std::string();
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
