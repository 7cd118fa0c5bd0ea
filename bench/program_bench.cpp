// The program's side of bench/program, under Wine. Prints what it measured; exits non-zero with
// the error on failure.
//   define NAME FOLDER DEST LEVEL   stores the folder definition NAME (FOLDER with its subfolders,
//                                   written to DEST, no schedule) and settings that start the
//                                   program minimised, logging, without boxes, with its animated
//                                   tray icon, packing at LEVEL
//   directory ARCHIVE               the engine's directory read with every entry's name, path,
//                                   sizes and date: "SECONDS ENTRIES"
//   restore ARCHIVE                 the Restore page, shown, lists ARCHIVE until the window is
//                                   painted: "SECONDS" and the page's label
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/backup_definition.h"
#include "app/program_settings.h"
#include "app/restore_page.h"
#include "app/wizards/form_extract.h"
#include "classlib/forms.h"
#include "controls/panels/vis_application.h"
#include "zip/message_pump.h"
#include "zip/zip_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void Define(const std::string& name, const std::string& folder, const std::string& dest, int level) {
  app::BackupDefinition def;
  def.Title = name;
  def.Option = app::BackupOption::Folders;
  def.Folder = folder;
  def.Subfolders = true;
  def.Create = dest;
  def.IntEnabled = false;
  app::WriteBackupDefinition(def);
  app::WriteBoolSetting(app::setting::kMinimized, true);
  app::WriteBoolSetting(app::setting::kLogfile, true);
  app::WriteBoolSetting(app::setting::kPreventErrors, true);
  app::WriteBoolSetting(app::setting::kAnimatedIcon, true);
  app::WriteBoolSetting(app::setting::kAutoUpdate, false);
  app::WriteIntegerSetting(app::setting::kCompressRatio, level);
}

void Directory(const std::string& archive) {
  const Clock::time_point start = Clock::now();
  zip::TZipReader reader;
  reader.SetZipName(archive);
  reader.LoadDirectory();
  std::uint64_t sum = 0;
  for (int i = 0; i < reader.EntryCount(); ++i) {
    sum += reader.EntryName(i).size() + reader.EntryPath(i).size() + reader.EntryUnpackedSize(i) +
           reader.EntryPackedSize(i);
    sum += static_cast<std::uint64_t>(reader.EntryDate(i));
  }
  const double seconds = SecondsSince(start);
  std::printf("%.2f %d\n", seconds, sum > 0 ? reader.EntryCount() : 0);
}

void Restore(const std::string& archive) {
  controls::StartControlLibrary();
  classlib::TApplication& application = classlib::Application();
  application.Initialize();
  application.SetTitle("Orvanta");
  zip::SetMessagePump([] { classlib::Application().ProcessMessages(); });
  auto* host = new classlib::TForm(nullptr);
  host->SetCaption("Orvanta");
  host->SetClientSize(600, 346);
  auto* page = new app::TRestorePage(host);
  page->SetParent(host);
  page->SetAlign(classlib::TAlign::alClient);
  auto* extract = new app::TFormExtract(nullptr);
  page->SetExtractForm(extract);
  host->Show();
  application.ProcessMessages();

  const Clock::time_point start = Clock::now();
  page->OpenBackup(archive);
  UpdateWindow(host->Handle());
  application.ProcessMessages();
  const double seconds = SecondsSince(start);
  std::printf("%.2f\n%s\n", seconds, page->LabelRestore->Caption().c_str());
  delete extract;
  delete host;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  try {
    if (mode == "define" && argc == 6) {
      Define(argv[2], argv[3], argv[4], std::atoi(argv[5]));
    } else if (mode == "directory" && argc == 3) {
      Directory(argv[2]);
    } else if (mode == "restore" && argc == 3) {
      Restore(argv[2]);
    } else {
      std::fprintf(stderr, "usage: program_bench define NAME FOLDER DEST LEVEL | directory ARCHIVE | restore ARCHIVE\n");
      return 2;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "program_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
