#include "classlib/icons.h"

#include <string>

#include "classlib/exceptions.h"

namespace classlib {

namespace {

HICON CopyOrThrow(HICON icon) {
  if (!icon) return nullptr;
  HICON copy = CopyIcon(icon);
  if (!copy) throw EOSError("Das Symbol kann nicht kopiert werden");
  return copy;
}

}  // namespace

TIcon::~TIcon() { SetHandle(nullptr); }

void TIcon::SetHandle(HICON icon) {
  if (icon == handle_) return;
  if (handle_) DestroyIcon(handle_);
  handle_ = icon;
}

void TIcon::Assign(const TIcon& source) {
  if (&source != this) SetHandle(CopyOrThrow(source.handle_));
}

void TIcon::LoadFromResource(int id, int size) {
  HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0);
  if (!icon) throw EOSError("Symbol " + std::to_string(id) + " fehlt in den Ressourcen des Programms");
  SetHandle(static_cast<HICON>(icon));
}

TImageList::~TImageList() {
  BeginDestroy();
  Clear();
}

int TImageList::AddIcon(const TIcon& icon) {
  if (icon.Empty()) throw EOSError("Ein leeres Symbol kann nicht in die Bildliste");
  icons_.push_back(CopyOrThrow(icon.Handle()));
  return Count() - 1;
}

bool TImageList::GetIcon(int index, TIcon& icon) const {
  if (index < 0 || index >= Count()) return false;
  icon.SetHandle(CopyOrThrow(icons_[static_cast<size_t>(index)]));
  return true;
}

void TImageList::Clear() {
  for (HICON icon : icons_) DestroyIcon(icon);
  icons_.clear();
}

}  // namespace classlib
