// Icons, and lists of icons that hand out copies (the frames of an animation).
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/component.h"

namespace classlib {

// One icon handle, owned: a new one destroys the one held before, so a stream of icons leaves no
// handles behind.
class TIcon {
 public:
  TIcon() = default;
  ~TIcon();
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;

  HICON Handle() const { return handle_; }
  bool Empty() const { return handle_ == nullptr; }
  // Takes the icon over (null empties this one).
  void SetHandle(HICON icon);
  // A copy of source's picture.
  void Assign(const TIcon& source);
  // The program's icon resource id at size x size pixels.
  void LoadFromResource(int id, int size);

 private:
  HICON handle_ = nullptr;
};

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* AOwner) : TComponent(AOwner) {}
  ~TImageList() override;

  int Count() const { return static_cast<int>(icons_.size()); }
  // Appends a copy of the icon; returns its index.
  int AddIcon(const TIcon& icon);
  // A new copy of the icon at index; false, and icon unchanged, when the index is outside the list.
  bool GetIcon(int index, TIcon& icon) const;
  void Clear();

 private:
  std::vector<HICON> icons_;
};

}  // namespace classlib
