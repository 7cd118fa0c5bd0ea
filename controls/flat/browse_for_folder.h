// The folder picker: the shell's folder dialog, opened at a given folder with a status line; it
// answers only with a file-system folder. A virtual folder ("Computer", "Netzwerk") cannot be
// confirmed, and should the shell still return one, the pick counts as cancelled.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>

#include "classlib/component.h"

namespace controls {

enum class TBrowseFlag {
  bf_BrowseForComputer,
  bf_BrowseForPrinter,
  bf_DontGoBelowDomain,
  bf_statustext,
  bf_ReturnFSanceStors,
  bf_ReturnOnlyFSDIRS,
  bf_EditBox,
};
using TBrowseFlags = unsigned;  // bits 1 << TBrowseFlag
constexpr TBrowseFlags BrowseFlag(TBrowseFlag flag) { return 1u << static_cast<unsigned>(flag); }

enum class TBrowseLocation {
  bl_STANDART,
  bl_CUSTOM,
  bl_DESKTOP,
  bl_PROGRAMS,
  bl_CONTROLS,
  bl_PRINTERS,
  bl_PERSONAL,
  bl_FAVORITES,
  bl_STARTUP,
  bl_RECENT,
  bl_SENDTO,
  bl_BITBUCKET,
  bl_STARTMENU,
  bl_DESKTOPDIRECTORY,
  bl_DRIVES,
  bl_NETWORK,
  bl_NETHOOD,
  bl_FONTS,
  bl_TEMPLATES,
  bl_COMMON_STARTMENU,
  bl_COMMON_PROGRAMS,
  bl_COMMON_STARTUP,
  bl_COMMON_DESKTOPDIRECTORY,
  bl_APPDATA,
  bl_PRINTHOOD,
};

class TBrowseForFolder : public classlib::TComponent {
 public:
  explicit TBrowseForFolder(classlib::TComponent* AOwner);
  ~TBrowseForFolder() override;

  const std::string& DisplayName() const { return displayName_; }
  const std::string& StatusText() const { return statusText_; }
  void SetStatusText(const std::string& value) { statusText_ = value; }
  const std::string& FolderName() const { return folderName_; }
  void SetFolderName(const std::string& value) { folderName_ = value; }
  // Kept as the shell's flag word; BIF_VALIDATE, which ChooseFolder adds, has no member.
  TBrowseFlags Flags() const;
  void SetFlags(TBrowseFlags value);
  TBrowseLocation Root() const { return root_; }
  void SetRoot(TBrowseLocation value) { root_ = value; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value) { caption_ = value; }
  // The root of bl_CUSTOM; the component frees it.
  void SetCustomRoot(PIDLIST_ABSOLUTE root);

  // Shows the dialog over the owning form. True when the user chose a file-system folder: then
  // FolderName holds its path and DisplayName its name; otherwise both stay as they were.
  bool ChooseFolder();

  // The dialog's callback, for the shell (and for tests that send its notifications).
  static int CALLBACK BrowseCallback(HWND wnd, UINT message, LPARAM param, LPARAM data);

 private:
  std::string displayName_;
  std::string statusText_ = "Plase select folder";
  std::string folderName_ = "C:\\";
  UINT flagWord_ = 0;
  TBrowseLocation root_ = TBrowseLocation::bl_STANDART;
  std::string caption_ = "Select Folder";
  PIDLIST_ABSOLUTE customRoot_ = nullptr;
};

// Replaces SHBrowseForFolderW: tests return the item list of the folder "the user chose" (or null
// for cancel), allocated by the shell's allocator. An empty function restores the real dialog.
void SetBrowseDialogForTesting(std::function<PIDLIST_ABSOLUTE(BROWSEINFOW&)> dialog);

}  // namespace controls
