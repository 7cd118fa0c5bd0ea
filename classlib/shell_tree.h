// The shell's folder tree: the desktop at the root, every folder below it (hidden ones too),
// children read when a node opens. Path is the chosen folder of the file system; it is empty for
// virtual nodes such as the computer or the network, which are no place to read or write files.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shtypes.h>

#include <string>

#include "classlib/controls.h"

namespace classlib {

class TShellTreeView : public TWinControl {
 public:
  explicit TShellTreeView(TComponent* AOwner);
  ~TShellTreeView() override;

  // The selected node's file-system folder, or empty.
  std::string Path() const;
  // Opens the tree down to the folder and selects it; false (selection unchanged) when the
  // folder cannot be found.
  bool SetPath(const std::string& path);

  // The selection changed.
  TNotifyEvent OnChange;
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

 private:
  void AddRoot();
  void FillChildren(HTREEITEM node);
  HTREEITEM FindChild(HTREEITEM parent, const ITEMIDLIST* target);

  std::string pendingPath_;
};

}  // namespace classlib
