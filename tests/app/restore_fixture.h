// Backups to restore and the windows to restore them with. The backups are made once per test
// program: by Python's zipfile, by Info-ZIP zip with a password, and by our own writer split into
// three parts with a password; Python's zipfile says what the Restore page must list for each.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/restore_page.h"
#include "app/wizards/form_extract.h"
#include "classlib/forms.h"

namespace restore_fixture {

// A row of the restore list: file name, folder, size, date.
struct Row {
  std::string name, folder, size, changed;
  bool operator==(const Row& other) const {
    return name == other.name && folder == other.folder && size == other.size && changed == other.changed;
  }
};
void PrintTo(const Row& row, std::ostream* out);

struct Backup {
  // The file to open: the archive, or the ".zip" last part of a split set.
  std::string archive;
  std::string password;
  // What the page must show, in directory order, as Python's zipfile reads the archive.
  std::vector<Row> rows;
  std::string label;
};

struct Fixtures {
  // The tree the three backups were made from.
  std::string source;
  Backup own;
  Backup infoZip;
  Backup python;
  // Entries "gut.txt", "../boese.txt" and "sub/../../auch-boese.txt".
  std::string unsafe;
  // Stored entries "a.txt", "b.txt" (one byte of its data changed) and "c.txt"; and the same
  // unchanged.
  std::string damaged;
  std::string intact;
  // Deflated entries "a.txt", "genullt.txt" (its data all zeros) and "gekappt.txt" (its data cut
  // after the first byte).
  std::string broken;
  // Entries named like devices, each followed by "nach-N.txt" (N from 0).
  std::string reserved;
  int reservedCount = 0;
  // "Bericht.txt", "bericht.TXT", "name", "name." and "name ".
  std::string sameNames;
  // "methode.txt" of an unknown method, "schreibgeschuetzt.txt", a folder entry "ordner/", "gut.txt".
  std::string reasons;
  // By Info-ZIP: "geheim.txt" encrypted with the password "Geheim3", "offen.txt" not encrypted;
  // passingPassword is wrong but passes the check.
  std::string secret;
  std::string passingPassword;
  // The source tree as our writer splits it into three parts, without a password: the set's last
  // part, and the last part of a copy of the set whose first part lost its last bytes.
  std::string split;
  std::string cutSplit;
};

const Fixtures& TheFixtures();

// The source file behind a row.
std::string SourceOf(const Row& row);
// Each row's file lies in dest (below its folder when keepFolders) with the source's bytes and
// date, and no other file is there.
void ExpectRestored(const std::vector<Row>& rows, const std::string& dest, bool keepFolders);
// Every file below folder, as paths relative to it.
std::vector<std::string> FilesBelow(const std::string& folder);

// A form hosting the Restore page, as the main window will, and the extraction window.
class RestoreWindows {
 public:
  RestoreWindows();
  ~RestoreWindows();
  RestoreWindows(const RestoreWindows&) = delete;
  RestoreWindows& operator=(const RestoreWindows&) = delete;

  std::vector<Row> Rows() const;
  // A click on a column header of the list.
  void ClickColumn(int column);

  classlib::TForm* host;
  app::TRestorePage* page;
  app::TFormExtract* extract;
};

}  // namespace restore_fixture
