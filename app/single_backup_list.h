// The lists of a single backup: report lists of files, one item per file with the caption its
// name, sub-item 0 its folder with a trailing "\" and sub-item 1 its size in whole KB
// ("1.234 KB"). The Single Backup page shows the one that is backed up; the single-backup wizard
// fills two more. These helpers fill, copy, thin and sum such lists.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "classlib/comctrls.h"
#include "controls/panels/vis_progress_fill.h"

namespace app {

// A list with the columns "Datei", "Verzeichnis" and "Größe" (right-aligned), several items
// selectable.
classlib::TListView* NewFileListView(classlib::TComponent* owner, classlib::TWinControl* parent, int left, int top,
                                     int width, int height);

// "1.234 KB" for 1234 KB.
std::string SizeText(double kb);
// The KB of a size text: its digits but those of its last three characters (" KB"); 0 for none.
std::int64_t SizeTextKB(const std::string& text);

// Appends an item for the file at path.
void AddFileItem(classlib::TListView& list, const std::string& path);
// Appends a copy of item.
void CopyFileItem(const classlib::TListItem& item, classlib::TListView& to);
// The full path of every item, in list order.
std::vector<std::string> ListedFiles(classlib::TListView& list);
void DeleteSelectedItems(classlib::TListView& list);
// The count and size line of the Single Backup page: "Zur Archivierung wurde(n) 3 Datei(en)
// ausgewählt, 1,21 MB.", the sizes summed as whole KB.
std::string FilesText(classlib::TListView& list);

// Returns true when a folder import is to stop.
using StopCheck = std::function<bool()>;

// Appends an item for every file below folder, in all its subfolders (folder names become no
// items, links to folders are not followed), advancing progress (when given) by one per file;
// messages are pumped after every entry.
void MyFileImport(const std::string& folder, classlib::TListView& list, controls::TVisProgressFill* progress,
                  const StopCheck& stop = {});
// MyFileImport with the progress bar (when given) running from 0 to the number of those files.
void MyFileRead(const std::string& folder, classlib::TListView& list, controls::TVisProgressFill* progress = nullptr,
                const StopCheck& stop = {});

}  // namespace app
