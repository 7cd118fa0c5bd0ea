// A component's reference to one of the pack's image lists (TVisImageListRef), and a control's place
// in one: the item (ListIndex) and the image inside it (ImageIndex) (TVisImageLink). Graphic and
// windowed controls keep their place by the same rules; the form shape keeps a reference.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classlib/component.h"
#include "controls/panels/vis_image_list.h"
#include "controls/panels/vis_object.h"

namespace controls {

// Registered with the list for its changes, and asking it for a free notification, so that the
// list's going away clears the reference (the holder's Notification passes it on to Removed).
class TVisImageListRef {
 public:
  // Changed runs when the list changes and when another list is set.
  TVisImageListRef(classlib::TComponent& Holder, std::function<void()> Changed);
  ~TVisImageListRef();
  TVisImageListRef(const TVisImageListRef&) = delete;
  TVisImageListRef& operator=(const TVisImageListRef&) = delete;

  TVisCustomImageList* List() const { return list_; }
  void SetList(TVisCustomImageList* Value);
  // For the holder's Notification: the list that goes away is let go.
  void Removed(classlib::TComponent* Component);

  // A form stream keeps the list by reference, unless it is one of the global container's lists,
  // which the extra property "Internal" names by its signature.
  bool ListStored() const { return list_ && GlobalListSignature(list_).empty(); }
  bool InternalStored() const { return !GlobalListSignature(list_).empty(); }
  std::string WriteInternal() const { return GlobalListSignature(list_); }
  void ReadInternal(const std::string& Signature) { SetList(GlobalListOfSignature(Signature)); }

 private:
  classlib::TComponent& holder_;
  std::function<void()> changed_;
  TVisCustomImageList* list_ = nullptr;
  TVisChangeLink link_;
};

class TVisImageLink {
 public:
  // Changed runs when the list changes or another is set, and when an index changes while a list
  // is set.
  TVisImageLink(classlib::TComponent& Holder, std::function<void()> Changed);
  TVisImageLink(const TVisImageLink&) = delete;
  TVisImageLink& operator=(const TVisImageLink&) = delete;

  TVisImageListRef& Ref() { return ref_; }
  const TVisImageListRef& Ref() const { return ref_; }
  TVisCustomImageList* List() const { return ref_.List(); }
  std::int32_t ImageIndex() const { return index_[0]; }
  std::int32_t ListIndex() const { return index_[1]; }
  // Index 0 ImageIndex, 1 ListIndex; a negative value or the current one changes nothing.
  void SetIndex(int Index, std::int32_t Value);
  // No list, or no image at (ListIndex, ImageIndex) in it.
  bool HasNoImage() const { return !List() || !List()->IndexValid(ListIndex(), ImageIndex()); }

 private:
  std::function<void()> changed_;
  std::int32_t index_[2] = {0, 0};
  TVisImageListRef ref_;
};

}  // namespace controls
