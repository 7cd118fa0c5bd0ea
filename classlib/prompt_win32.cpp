#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "classlib/prompt.h"
#include "classlib/wide.h"

namespace classlib {

namespace {

UINT ButtonsFlag(PromptButtons b) {
  switch (b) {
    case PromptButtons::Ok: return MB_OK;
    case PromptButtons::OkCancel: return MB_OKCANCEL;
    case PromptButtons::YesNo: return MB_YESNO;
    case PromptButtons::YesNoCancel: return MB_YESNOCANCEL;
    case PromptButtons::RetryCancel: return MB_RETRYCANCEL;
    case PromptButtons::AbortRetryIgnore: return MB_ABORTRETRYIGNORE;
  }
  return MB_OK;
}

UINT DefaultButtonFlag(int button) {
  switch (button) {
    case 2: return MB_DEFBUTTON2;
    case 3: return MB_DEFBUTTON3;
    default: return MB_DEFBUTTON1;
  }
}

UINT IconFlag(PromptIcon i) {
  switch (i) {
    case PromptIcon::None: return 0;
    case PromptIcon::Information: return MB_ICONINFORMATION;
    case PromptIcon::Warning: return MB_ICONWARNING;
    case PromptIcon::Error: return MB_ICONERROR;
    case PromptIcon::Question: return MB_ICONQUESTION;
  }
  return 0;
}

// The filter's "|" separators become the dialog's NULs, with the closing double NUL.
std::wstring FilterList(const std::string& filter) {
  std::wstring list = Widen(filter);
  for (wchar_t& c : list)
    if (c == L'|') c = L'\0';
  list.push_back(L'\0');
  return list;
}

// The system's open dialog with the request's title, filter, folder and extension; name receives
// what the dialog returns.
bool RunOpenDialog(const FileOpenRequest& r, DWORD flags, std::vector<wchar_t>& name) {
  const std::wstring title = Widen(r.title), filter = FilterList(r.filter), folder = Widen(r.initialDir);
  std::wstring extension = Widen(r.defaultExt);
  if (!extension.empty() && extension.rfind(L"*.", 0) == 0) extension.erase(0, 2);
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | flags;
  return GetOpenFileNameW(&dialog) != FALSE;
}

int CALLBACK SelectInitialFolder(HWND window, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

// A dialog template built in memory: the frame, then each control, in dialog units.
class DialogTemplate {
 public:
  DialogTemplate(const std::wstring& caption, short width, short height, WORD items) {
    DLGTEMPLATE frame = {};
    frame.style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    frame.cdit = items;
    frame.cx = width;
    frame.cy = height;
    Append(&frame, sizeof frame);
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Text(caption);
    Word(8);
    Text(L"Tahoma");
  }

  // classAtom: 0x80 button, 0x81 edit, 0x82 static.
  void Control(WORD classAtom, DWORD style, short x, short y, short width, short height, WORD id,
               const std::wstring& text) {
    while (bytes_.size() % sizeof(DWORD) != 0) bytes_.push_back(0);
    DLGITEMTEMPLATE item = {};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = width;
    item.cy = height;
    item.id = id;
    Append(&item, sizeof item);
    Word(0xFFFF);
    Word(classAtom);
    Text(text);
    Word(0);  // no creation data
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

 private:
  void Append(const void* data, size_t size) {
    const auto* p = static_cast<const BYTE*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
  }
  void Word(WORD w) { Append(&w, sizeof w); }
  void Text(const std::wstring& text) { Append(text.c_str(), (text.size() + 1) * sizeof(wchar_t)); }

  std::vector<BYTE> bytes_;
};

constexpr WORD kInputEdit = 100;

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    SetDlgItemTextW(dialog, kInputEdit, reinterpret_cast<std::wstring*>(lParam)->c_str());
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    if (LOWORD(wParam) == IDOK) {
      auto* text = reinterpret_cast<std::wstring*>(GetWindowLongPtrW(dialog, DWLP_USER));
      text->assign(static_cast<size_t>(GetWindowTextLengthW(GetDlgItem(dialog, kInputEdit))), L'\0');
      GetDlgItemTextW(dialog, kInputEdit, &(*text)[0], static_cast<int>(text->size() + 1));
    }
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

class BoxPrompts : public PromptService {
 public:
  PromptResult Message(const MessageRequest& r) override {
    const UINT flags = ButtonsFlag(r.buttons) | IconFlag(r.icon) | DefaultButtonFlag(r.defaultButton) |
                       (r.systemModal ? MB_SYSTEMMODAL : MB_APPLMODAL);
    const int answer = MessageBoxW(GetActiveWindow(), Widen(r.text).c_str(), Widen(r.caption).c_str(), flags);
    return answer == 0 ? PromptResult::Cancel : static_cast<PromptResult>(answer);
  }

  bool OpenFile(const FileOpenRequest& r, std::string& path) override {
    std::vector<wchar_t> name(MAX_PATH * 4, L'\0');
    if (!RunOpenDialog(r, 0, name)) return false;
    path = Narrow(name.data());
    return true;
  }

  bool OpenFiles(const FileOpenRequest& r, std::vector<std::string>& paths) override {
    std::vector<wchar_t> names(1 << 16, L'\0');
    if (!RunOpenDialog(r, OFN_ALLOWMULTISELECT | OFN_EXPLORER, names)) return false;
    // One file: its full path. Several: the folder, then each name, each ended by a NUL.
    std::vector<std::string> parts;
    for (const wchar_t* at = names.data(); *at; at += wcslen(at) + 1) parts.push_back(Narrow(at));
    if (parts.size() <= 1) {
      paths = parts;
      return !paths.empty();
    }
    std::string folder = parts[0];
    if (folder.back() != '\\') folder += '\\';
    paths.clear();
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
    return true;
  }

  bool InputText(const InputRequest& r, std::string& text) override {
    DialogTemplate box(Widen(r.caption), 220, 64, 4);
    box.Control(0x82, SS_LEFT, 7, 7, 206, 10, 0xFFFF, Widen(r.prompt));
    box.Control(0x81, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | (r.masked ? ES_PASSWORD : 0), 7, 20, 206, 12,
                kInputEdit, L"");
    box.Control(0x80, BS_DEFPUSHBUTTON | WS_TABSTOP, 109, 42, 50, 14, IDOK, L"OK");
    box.Control(0x80, BS_PUSHBUTTON | WS_TABSTOP, 163, 42, 50, 14, IDCANCEL, L"Abbrechen");
    std::wstring entered = Widen(text);
    const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), box.Get(), GetActiveWindow(),
                                                   InputBoxProc, reinterpret_cast<LPARAM>(&entered));
    if (answer != IDOK) return false;
    text = Narrow(entered);
    return true;
  }

  bool SelectFolder(const FolderRequest& r, std::string& path) override {
    // The dialog's new style, which offers the new-folder button, needs COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring prompt = Widen(r.prompt), folder = Widen(r.initialDir);
    BROWSEINFOW dialog = {};
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpszTitle = prompt.c_str();
    dialog.ulFlags = BIF_RETURNONLYFSDIRS | (r.allowCreate ? BIF_NEWDIALOGSTYLE | BIF_EDITBOX : BIF_NONEWFOLDERBUTTON);
    dialog.lpfn = SelectInitialFolder;
    dialog.lParam = folder.empty() ? 0 : reinterpret_cast<LPARAM>(folder.c_str());
    bool chosen = false;
    if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&dialog)) {
      std::vector<wchar_t> name(MAX_PATH * 4, L'\0');
      chosen = SHGetPathFromIDListEx(item, name.data(), static_cast<DWORD>(name.size()), GPFIDL_DEFAULT) != FALSE;
      if (chosen) path = Narrow(name.data());
      CoTaskMemFree(item);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
  }
};

}  // namespace

PromptService& PlatformPrompts() {
  static BoxPrompts service;
  return service;
}

}  // namespace classlib
