// The world of a single backup: the Single Backup page on a window standing in for the main
// window, the main window's hooks pointing at it, scripted prompts, and files to back up.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/single_backup_list.h"
#include "app/single_backup_page.h"
#include "classlib/wide.h"
#include "tests/app/wizards/wizard_fixture.h"
#include "tests/support/scripted_prompts.h"
#include "zip/fs_helpers.h"
#include "zip/path_strings.h"

namespace wizard_testing {

class SingleBackupFixture : public WizardFixture {
 protected:
  SingleBackupFixture() {
    host->SetClientSize(560, 340);
    page->SetParent(host);
    page->SetAlign(classlib::TAlign::alClient);
    host->Show();
    app::MainWindow().SingleBackupPage = [this] { return page; };
  }
  ~SingleBackupFixture() override { delete host; }

  // A file below the scratch folder, its folders made as needed.
  std::string MakeFile(const std::string& relative, size_t size = 1000) {
    const std::string path = dir / relative;
    zip::ForceDirectories(zip::ExtractFilePath(path));
    testing_support::WriteFile(path, Bytes(size));
    return path;
  }

  // Each item as "name|folder|size".
  static std::vector<std::string> Rows(classlib::TListView& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.Items().Count(); ++i) {
      const classlib::TListItem& item = *list.Items()[i];
      rows.push_back(item.Caption() + "|" + item.SubItem(0) + "|" + item.SubItem(1));
    }
    return rows;
  }

  classlib::TListView& PageList() { return *page->ListViewSingleBackup; }

  testing_support::ScriptedPrompts prompts;
  classlib::TForm* host = new classlib::TForm(nullptr);
  app::TSingleBackupPage* page = new app::TSingleBackupPage(host);
};

}  // namespace wizard_testing
