#include "classlib/shell_tree.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "classlib/wide.h"

namespace classlib {

namespace {

// Each node keeps its absolute item list in the node's data; the tree frees it with the node.
ITEMIDLIST* NodeItem(HWND tree, HTREEITEM node) {
  TVITEMW item = {};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = node;
  TreeView_GetItem(tree, &item);
  return reinterpret_cast<ITEMIDLIST*>(item.lParam);
}

std::wstring DisplayName(const ITEMIDLIST* absolute) {
  SHFILEINFOW info = {};
  SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
  return info.szDisplayName;
}

int IconOf(const ITEMIDLIST* absolute, UINT extra) {
  SHFILEINFOW info = {};
  SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute), 0, &info, sizeof info,
                 SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extra);
  return info.iIcon;
}

HTREEITEM InsertNode(HWND tree, HTREEITEM parent, ITEMIDLIST* absolute, bool mayHaveChildren) {
  std::wstring name = DisplayName(absolute);
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = name.data();
  insert.item.lParam = reinterpret_cast<LPARAM>(absolute);
  insert.item.cChildren = mayHaveChildren ? 1 : 0;
  insert.item.iImage = IconOf(absolute, 0);
  insert.item.iSelectedImage = IconOf(absolute, SHGFI_OPENICON);
  return TreeView_InsertItem(tree, &insert);
}

struct SortContext {
  IShellFolder* folder;
};

int CALLBACK CompareNodes(LPARAM first, LPARAM second, LPARAM context) {
  auto* c = reinterpret_cast<SortContext*>(context);
  const HRESULT r = c->folder->CompareIDs(0, ILFindLastID(reinterpret_cast<ITEMIDLIST*>(first)),
                                          ILFindLastID(reinterpret_cast<ITEMIDLIST*>(second)));
  return static_cast<short>(HRESULT_CODE(r));
}

}  // namespace

TShellTreeView::TShellTreeView(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(ControlStyle() & ~csClickEvents);
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 200, 200);
}

TShellTreeView::~TShellTreeView() { BeginDestroy(); }

void TShellTreeView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = WC_TREEVIEWW;
  p.Style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TShellTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  SHFILEINFOW info = {};
  auto images = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (images) TreeView_SetImageList(Handle(), images, TVSIL_NORMAL);
  AddRoot();
  if (!pendingPath_.empty()) SetPath(pendingPath_);
}

void TShellTreeView::DestroyWnd() {
  pendingPath_ = Path();
  TreeView_DeleteAllItems(Handle());
  TWinControl::DestroyWnd();
}

void TShellTreeView::AddRoot() {
  ITEMIDLIST* desktop = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop))) return;
  HTREEITEM root = InsertNode(Handle(), TVI_ROOT, desktop, true);
  TreeView_Expand(Handle(), root, TVE_EXPAND);
}

void TShellTreeView::FillChildren(HTREEITEM node) {
  if (TreeView_GetChild(Handle(), node)) return;
  const ITEMIDLIST* parentItem = NodeItem(Handle(), node);
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop))) return;
  IShellFolder* folder = nullptr;
  const bool isDesktop = ILIsEmpty(parentItem);
  HRESULT bound = isDesktop ? (desktop->AddRef(), folder = desktop, S_OK)
                            : desktop->BindToObject(parentItem, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
  desktop->Release();
  if (FAILED(bound) || !folder) return;
  IEnumIDList* items = nullptr;
  if (folder->EnumObjects(Handle(), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, &items) == S_OK && items) {
    ITEMIDLIST* child = nullptr;
    while (items->Next(1, &child, nullptr) == S_OK) {
      SFGAOF attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_STREAM;
      const ITEMIDLIST* relative = child;
      folder->GetAttributesOf(1, &relative, &attributes);
      // Zip files and the like present themselves as folders too; they are files here.
      if ((attributes & SFGAO_FOLDER) && !(attributes & SFGAO_STREAM))
        InsertNode(Handle(), node, ILCombine(parentItem, child), (attributes & SFGAO_HASSUBFOLDER) != 0);
      CoTaskMemFree(child);
    }
    items->Release();
  }
  SortContext context{folder};
  TVSORTCB sort = {node, CompareNodes, reinterpret_cast<LPARAM>(&context)};
  if (!isDesktop) TreeView_SortChildrenCB(Handle(), &sort, FALSE);
  folder->Release();
  if (!TreeView_GetChild(Handle(), node)) {
    TVITEMW item = {};
    item.mask = TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = node;
    TreeView_SetItem(Handle(), &item);
  }
}

std::string TShellTreeView::Path() const {
  auto* self = const_cast<TShellTreeView*>(this);
  if (!self->HandleAllocated()) return pendingPath_;
  HTREEITEM node = TreeView_GetSelection(self->Handle());
  // The namespace's root stands for the whole desktop, not for its folder.
  if (!node || node == TreeView_GetRoot(self->Handle())) return {};
  std::vector<wchar_t> path(32768, L'\0');
  if (!SHGetPathFromIDListEx(NodeItem(self->Handle(), node), path.data(), static_cast<DWORD>(path.size()),
                             GPFIDL_DEFAULT))
    return {};
  return Narrow(path.data());
}

HTREEITEM TShellTreeView::FindChild(HTREEITEM parent, const ITEMIDLIST* target) {
  FillChildren(parent);
  for (HTREEITEM c = TreeView_GetChild(Handle(), parent); c; c = TreeView_GetNextSibling(Handle(), c)) {
    const ITEMIDLIST* item = NodeItem(Handle(), c);
    if (ILIsEqual(item, target) || ILIsParent(item, target, FALSE)) return c;
  }
  return nullptr;
}

bool TShellTreeView::SetPath(const std::string& path) {
  if (!HandleAllocated()) {
    pendingPath_ = path;
    return true;
  }
  ITEMIDLIST* target = nullptr;
  if (FAILED(SHParseDisplayName(Widen(path).c_str(), nullptr, &target, 0, nullptr)) || !target) return false;
  HTREEITEM node = TreeView_GetRoot(Handle());
  while (node && !ILIsEqual(NodeItem(Handle(), node), target)) {
    HTREEITEM next = FindChild(node, target);
    if (next) TreeView_Expand(Handle(), node, TVE_EXPAND);
    node = next;
  }
  CoTaskMemFree(target);
  if (!node) return false;
  TreeView_SelectItem(Handle(), node);
  TreeView_EnsureVisible(Handle(), node);
  return true;
}

void TShellTreeView::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    const auto* header = reinterpret_cast<NMHDR*>(m.LParam);
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(m.LParam);
    switch (header->code) {
      case TVN_ITEMEXPANDINGW:
        if (change->action & TVE_EXPAND) FillChildren(change->itemNew.hItem);
        break;
      case TVN_DELETEITEMW:
        CoTaskMemFree(reinterpret_cast<void*>(change->itemOld.lParam));
        break;
      case TVN_SELCHANGEDW:
        if (OnChange) OnChange(this);
        break;
      default:
        break;
    }
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace classlib
