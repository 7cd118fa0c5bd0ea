#include "controls/flat/browse_for_folder.h"

#include <iterator>
#include <memory>

#include "classlib/forms.h"
#include "classlib/wide.h"

namespace controls {

namespace {

constexpr UINT kFlagBits[] = {BIF_BROWSEFORCOMPUTER, BIF_BROWSEFORPRINTER, BIF_DONTGOBELOWDOMAIN, BIF_STATUSTEXT,
                              BIF_RETURNFSANCESTORS, BIF_RETURNONLYFSDIRS,  BIF_EDITBOX};

// The special folder of every location from bl_DESKTOP on.
constexpr int kSpecialFolders[] = {
    CSIDL_DESKTOP,       CSIDL_PROGRAMS,         CSIDL_CONTROLS,  CSIDL_PRINTERS,        CSIDL_PERSONAL,
    CSIDL_FAVORITES,     CSIDL_STARTUP,          CSIDL_RECENT,    CSIDL_SENDTO,          CSIDL_BITBUCKET,
    CSIDL_STARTMENU,     CSIDL_DESKTOPDIRECTORY, CSIDL_DRIVES,    CSIDL_NETWORK,         CSIDL_NETHOOD,
    CSIDL_FONTS,         CSIDL_TEMPLATES,        CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS,
    CSIDL_COMMON_STARTUP, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_APPDATA, CSIDL_PRINTHOOD};

std::function<PIDLIST_ABSOLUTE(BROWSEINFOW&)>& BrowseDialog() {
  static std::function<PIDLIST_ABSOLUTE(BROWSEINFOW&)> dialog;
  return dialog;
}

struct ItemListFree {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using TItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

// What the callback shows when the dialog opens.
struct TPreset {
  std::wstring folder;
  std::wstring status;
};

// The file-system path of an item list; empty for a virtual folder. Some shells answer a virtual
// folder with its parsing name ("::{...}"), which is no path either.
std::wstring PathOf(PCIDLIST_ABSOLUTE list) {
  wchar_t path[MAX_PATH] = {};
  if (!list || !SHGetPathFromIDListW(list, path)) return {};
  const bool drive = path[0] != 0 && path[1] == L':' && path[2] == L'\\';
  const bool network = path[0] == L'\\' && path[1] == L'\\' && path[2] != 0;
  return drive || network ? path : std::wstring();
}

}  // namespace

TBrowseForFolder::TBrowseForFolder(classlib::TComponent* AOwner) : TComponent(AOwner) {}

TBrowseForFolder::~TBrowseForFolder() { CoTaskMemFree(customRoot_); }

TBrowseFlags TBrowseForFolder::Flags() const {
  TBrowseFlags flags = 0;
  for (unsigned i = 0; i < std::size(kFlagBits); ++i)
    if (flagWord_ & kFlagBits[i]) flags |= 1u << i;
  return flags;
}

void TBrowseForFolder::SetFlags(TBrowseFlags value) {
  flagWord_ &= BIF_VALIDATE;
  for (unsigned i = 0; i < std::size(kFlagBits); ++i)
    if (value & (1u << i)) flagWord_ |= kFlagBits[i];
}

void TBrowseForFolder::SetCustomRoot(PIDLIST_ABSOLUTE root) {
  CoTaskMemFree(customRoot_);
  customRoot_ = root;
}

int CALLBACK TBrowseForFolder::BrowseCallback(HWND wnd, UINT message, LPARAM param, LPARAM data) {
  const auto* preset = reinterpret_cast<const TPreset*>(data);
  switch (message) {
    case BFFM_INITIALIZED:
      if (!preset->folder.empty())
        SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(preset->folder.c_str()));
      if (!preset->status.empty())
        SendMessageW(wnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(preset->status.c_str()));
      return 0;
    case BFFM_SELCHANGED:
      // Only a folder with a path can be confirmed.
      SendMessageW(wnd, BFFM_ENABLEOK, 0, !PathOf(reinterpret_cast<PCIDLIST_ABSOLUTE>(param)).empty());
      return 0;
    case BFFM_VALIDATEFAILEDW:
      // A typed name that is no folder keeps the dialog open.
      return 1;
    default:
      return 0;
  }
}

bool TBrowseForFolder::ChooseFolder() {
  const std::wstring title = classlib::Widen(caption_);
  TItemList specialRoot;
  BROWSEINFOW info = {};
  if (root_ == TBrowseLocation::bl_CUSTOM) {
    info.pidlRoot = customRoot_;
  } else if (root_ != TBrowseLocation::bl_STANDART) {
    PIDLIST_ABSOLUTE list = nullptr;
    const int special = kSpecialFolders[static_cast<int>(root_) - static_cast<int>(TBrowseLocation::bl_DESKTOP)];
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, special, &list))) specialRoot.reset(list);
    info.pidlRoot = specialRoot.get();
  }
  auto* form = dynamic_cast<classlib::TForm*>(Owner());
  info.hwndOwner = form ? form->Handle() : nullptr;
  info.lpszTitle = title.c_str();
  TPreset preset{classlib::Widen(folderName_), classlib::Widen(statusText_)};
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&preset);
  flagWord_ |= BIF_VALIDATE;
  info.ulFlags = flagWord_;
  wchar_t displayName[MAX_PATH] = {};
  info.pszDisplayName = displayName;

  const TItemList chosen(BrowseDialog() ? BrowseDialog()(info) : SHBrowseForFolderW(&info));
  const std::wstring path = PathOf(chosen.get());
  // A virtual folder has no path: nothing was chosen that a caller could use.
  if (path.empty()) return false;
  folderName_ = classlib::Narrow(path);
  displayName_ = classlib::Narrow(displayName);
  return true;
}

void SetBrowseDialogForTesting(std::function<PIDLIST_ABSOLUTE(BROWSEINFOW&)> dialog) {
  BrowseDialog() = std::move(dialog);
}

}  // namespace controls
