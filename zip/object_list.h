// The engine's item lists. TObjectList is a growable array of item pointers that either owns its
// items (frees them when they leave the list or the list dies) or only refers to them.
// TSortedObjectList keeps its items in the order of Compare and finds them by binary search.
//
// An owning list takes over an item only once it has stored it: when Add raises, or a sorted list
// in ignore mode leaves the item out (Add returns -1), the caller still owns it.
#pragma once

#include <cstddef>
#include <typeinfo>
#include <algorithm>
#include <vector>

namespace zip {

constexpr int kMaxListSize = 0x1FFFFFFE;

// Each raises classlib::EListError.
[[noreturn]] void RaiseListIndexError(int index);
[[noreturn]] void RaiseDuplicateItem();
[[noreturn]] void RaisePutInSortedList();
[[noreturn]] void RaiseNotInList(const std::type_info& itemType);

// The capacity after one growth step.
int GrownCapacity(int capacity);

template <typename T>
class TObjectList {
 public:
  explicit TObjectList(bool ownsItems = true) : ownsItems_(ownsItems) {}
  virtual ~TObjectList() { Clear(); }
  TObjectList(const TObjectList&) = delete;
  TObjectList& operator=(const TObjectList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  int Capacity() const { return capacity_; }
  bool OwnsItems() const { return ownsItems_; }

  // Between Count and kMaxListSize.
  void SetCapacity(int capacity) {
    if (capacity < Count() || capacity > kMaxListSize) RaiseListIndexError(capacity);
    // The storage grows geometrically underneath, so filling a list by small capacity steps does not
    // copy it again and again.
    if (static_cast<std::size_t>(capacity) > items_.capacity())
      items_.reserve(std::max(static_cast<std::size_t>(capacity), 2 * items_.capacity()));
    capacity_ = capacity;
  }

  T* Items(int index) const {
    CheckIndex(index, Count() - 1);
    return items_[static_cast<std::size_t>(index)];
  }
  T* First() const { return Items(0); }
  T* Last() const { return Items(Count() - 1); }

  virtual int Add(T* item) {
    InsertAt(Count(), item);
    return Count() - 1;
  }
  // index may be Count (append).
  virtual void Insert(int index, T* item) {
    CheckIndex(index, Count());
    InsertAt(index, item);
  }
  // An owning list frees the item it replaces.
  virtual void Put(int index, T* item) {
    CheckIndex(index, Count() - 1);
    T*& slot = items_[static_cast<std::size_t>(index)];
    if (slot != item) FreeItem(slot);
    slot = item;
  }

  // By identity; -1 when absent.
  int IndexOf(const T* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i] == item) return static_cast<int>(i);
    return -1;
  }

  // The item after (forward) or before the given one, nullptr past either end; for no item the
  // first or the last. An item not in the list raises.
  T* Neighbour(const T* item, bool forward) const {
    if (item == nullptr) return forward ? First() : Last();
    const int index = IndexOf(item);
    if (index < 0) RaiseNotInList(typeid(T));
    const int next = forward ? index + 1 : index - 1;
    return next >= 0 && next < Count() ? items_[static_cast<std::size_t>(next)] : nullptr;
  }

  // Frees the items when owning; count and capacity become 0.
  void Clear() {
    for (T* item : items_) FreeItem(item);
    std::vector<T*>().swap(items_);
    capacity_ = 0;
  }

 protected:
  // No range check; grows when full.
  void InsertAt(int index, T* item) {
    if (Count() == capacity_) SetCapacity(GrownCapacity(capacity_));
    items_.insert(items_.begin() + index, item);
  }

 private:
  static void CheckIndex(int index, int highest) {
    if (index < 0 || index > highest) RaiseListIndexError(index);
  }
  void FreeItem(T* item) {
    if (ownsItems_) delete item;
  }

  std::vector<T*> items_;
  int capacity_ = 0;
  bool ownsItems_;
};

enum class TDuplicates { Ignore, Accept, Error };

template <typename T>
class TSortedObjectList : public TObjectList<T> {
 public:
  explicit TSortedObjectList(TDuplicates duplicates, bool ownsItems = true)
      : TObjectList<T>(ownsItems), duplicates_(duplicates) {}

  TDuplicates Duplicates() const { return duplicates_; }

  // Below 0 when item sorts before key, 0 when they are equal.
  virtual int Compare(const T& item, const T& key) const = 0;

  // Binary search. index is where key belongs: with duplicates accepted, before its equals.
  bool Find(const T& key, int& index) const {
    int low = 0;
    int high = this->Count() - 1;
    bool found = false;
    while (low <= high) {
      const int middle = (low + high) / 2;
      const int result = Compare(*this->Items(middle), key);
      if (result < 0) {
        low = middle + 1;
      } else {
        high = middle - 1;
        if (result == 0) {
          found = true;
          if (duplicates_ != TDuplicates::Accept) low = middle;
        }
      }
    }
    index = low;
    return found;
  }

  // Places the item where Find puts it and returns that index; -1 when ignore mode leaves an equal
  // item out; error mode raises for one.
  int Add(T* item) override {
    int index;
    if (Find(*item, index)) {
      if (duplicates_ == TDuplicates::Ignore) return -1;
      if (duplicates_ == TDuplicates::Error) RaiseDuplicateItem();
    }
    this->InsertAt(index, item);
    return index;
  }
  // The order decides the position.
  void Insert(int, T* item) override { Add(item); }
  [[noreturn]] void Put(int, T*) override { RaisePutInSortedList(); }

 private:
  TDuplicates duplicates_;
};

}  // namespace zip
