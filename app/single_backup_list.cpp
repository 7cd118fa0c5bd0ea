#include "app/single_backup_list.h"

#include <algorithm>

#include "app/file_collection.h"
#include "app/file_helpers.h"
#include "classlib/forms.h"
#include "classlib/number_format.h"
#include "zip/path_strings.h"

namespace app {

classlib::TListView* NewFileListView(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                     int width, int height) {
  auto* list = new classlib::TListView(owner);
  list->SetParent(parent);
  list->SetBounds(left, top, width, height);
  list->SetMultiSelect(true);
  // The size column is wide enough for "999.999.999 KB"; the folder column takes the rest.
  constexpr int kNameWidth = 150, kSizeWidth = 90, kFrameAndScrollBar = 22;
  list->AddColumn("Datei", kNameWidth);
  list->AddColumn("Verzeichnis", width - kNameWidth - kSizeWidth - kFrameAndScrollBar);
  list->AddColumn("Größe", kSizeWidth, classlib::TAlignment::taRightJustify);
  return list;
}

std::string SizeText(double kb) { return classlib::FormatFloat("#,##0", kb) + " KB"; }

std::int64_t SizeTextKB(const std::string& text) {
  const std::string number = text.size() > 3 ? text.substr(0, text.size() - 3) : std::string();
  std::int64_t kb = 0;
  for (char c : number)
    if (c >= '0' && c <= '9') kb = kb * 10 + (c - '0');
  return kb;
}

void AddFileItem(classlib::TListView& list, const std::string& path) {
  const std::string folder = zip::ExtractFilePath(path);
  classlib::TListItem* item = list.Items().Add();
  item->SetCaption(path.substr(folder.size()));
  item->AddSubItem(folder);
  item->AddSubItem(SizeText(GetFileSizeKB(path)));
}

void CopyFileItem(const classlib::TListItem& item, classlib::TListView& to) {
  classlib::TListItem* copy = to.Items().Add();
  copy->SetCaption(item.Caption());
  copy->AddSubItem(item.SubItem(0));
  copy->AddSubItem(item.SubItem(1));
}

std::vector<std::string> ListedFiles(classlib::TListView& list) {
  std::vector<std::string> files;
  for (int i = 0; i < list.Items().Count(); ++i) {
    const classlib::TListItem& item = *list.Items()[i];
    files.push_back(item.SubItem(0) + item.Caption());
  }
  return files;
}

void DeleteSelectedItems(classlib::TListView& list) {
  for (int i = list.Items().Count() - 1; i >= 0; --i)
    if (list.Items()[i]->Selected()) list.Items().Delete(i);
}

std::string FilesText(classlib::TListView& list) {
  std::int64_t kb = 0;
  for (int i = 0; i < list.Items().Count(); ++i) kb += SizeTextKB(list.Items()[i]->SubItem(1));
  return "Zur Archivierung wurde(n) " + std::to_string(list.Items().Count()) + " Datei(en) ausgewählt, " +
         classlib::FormatFloat("#,##0.00", static_cast<double>(kb) / 1024) + " MB.";
}

void MyFileImport(const std::string& folder, classlib::TListView& list, controls::TVisProgressFill* progress,
                  const StopCheck& stop) {
  list.Items().BeginUpdate();
  VisitFilesBelow(folder, [&](const std::string& at, const std::string& name) {
    AddFileItem(list, at + name);
    if (progress) progress->SetUserValue(progress->UserValue() + 1);
    return !(stop && stop());
  });
  list.Items().EndUpdate();
}

void MyFileRead(const std::string& folder, classlib::TListView& list, controls::TVisProgressFill* progress,
                const StopCheck& stop) {
  if (progress) {
    progress->SetUserValue(0);
    // At least 1: an empty folder leaves a bar at 0 rather than a range of nothing.
    progress->SetMaxValue(std::max(CountFiles(folder), 1));
  }
  MyFileImport(folder, list, progress, stop);
  classlib::Application().ProcessMessages();
}

}  // namespace app
