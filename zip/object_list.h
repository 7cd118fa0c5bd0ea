// The engine's item lists. TObjectList is a growable array of item pointers that either owns its
// items (frees them when they leave the list or the list dies) or only refers to them.
// TSortedObjectList keeps its items in the order of Compare and finds them by binary search.
//
// An owning list takes over an item only once it has stored it: when Add raises, or a sorted list
// in ignore mode leaves the item out (Add returns -1), the caller still owns it.
//
// A list writes itself as a binary form and reads itself back (WriteData, ReadData): for a sorted
// list its duplicates mode (1 byte), then the owns-items flag (1 byte), the count (32 bits), and
// per item its class name (a length byte and at most 63 characters) followed by what the class's
// registered writer writes. Classes are registered per item base type in TClassRegistry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <type_traits>
#include <algorithm>
#include <vector>

#include "classlib/exceptions.h"
#include "zip/streams.h"

namespace zip {

constexpr int kMaxListSize = 0x1FFFFFFE;
constexpr std::size_t kMaxClassNameLength = 63;

// A class name that no registry knows, or an empty slot to be written.
CLASSLIB_EXCEPTION(EClassNotFound, classlib::Exception);

// Each raises classlib::EListError.
[[noreturn]] void RaiseListIndexError(int index);
[[noreturn]] void RaiseDuplicateItem();
[[noreturn]] void RaisePutInSortedList();
[[noreturn]] void RaiseNotInList(const std::type_info& itemType);
// Each raises EClassNotFound.
[[noreturn]] void RaiseClassNotRegistered(const std::string& name);
[[noreturn]] void RaiseNilSourceClass();
[[noreturn]] void RaiseSourceClassNotRegistered(const std::string& name);

// The capacity after one growth step.
int GrownCapacity(int capacity);
// The class name without its namespaces, as its source names it.
std::string PlainClassName(const std::type_info& type);

// The fields of the binary form, little-endian; short reads raise EReadError.
void WriteFormByte(THugeStream& stream, std::uint8_t value);
void WriteForm32(THugeStream& stream, std::uint32_t value);
std::uint8_t ReadFormByte(THugeStream& stream);
std::uint32_t ReadForm32(THugeStream& stream);
// name: at most kMaxClassNameLength characters.
void WriteClassName(THugeStream& stream, const std::string& name);
std::string ReadClassName(THugeStream& stream);

// What a sorted list does with an item equal to one it holds; the values are those of the binary
// form.
enum class TDuplicates { Ignore, Accept, Error };
// A value outside the three raises EReadError.
TDuplicates ReadDuplicatesMode(THugeStream& stream);

// How the binary form makes, reads and writes the items of one class.
template <typename T>
struct TRegisterRec {
  std::type_index type;
  std::function<T*()> create;
  std::function<void(T& item, THugeStream& stream)> reader;
  std::function<void(T& item, THugeStream& stream)> writer;
};

// The classes whose items lists of T write and read, by class name; one for each item base type,
// made at its first use and freed at shutdown.
template <typename T>
class TClassRegistry {
 public:
  static TClassRegistry& Instance() {
    static TClassRegistry registry;
    return registry;
  }

  // Registers C (T or a class derived from it, default-constructible) under its class name. False,
  // registering nothing, when that name is registered already or too long for the binary form.
  template <typename C>
  bool Register(std::function<void(C& item, THugeStream& stream)> reader,
                std::function<void(C& item, THugeStream& stream)> writer) {
    static_assert(std::is_base_of<T, C>::value, "a list of T holds only classes derived from T");
    const std::string name = PlainClassName(typeid(C));
    if (name.size() > kMaxClassNameLength) return false;
    TRegisterRec<T> record{std::type_index(typeid(C)), [] { return static_cast<T*>(new C); },
                           [reader](T& item, THugeStream& stream) { reader(static_cast<C&>(item), stream); },
                           [writer](T& item, THugeStream& stream) { writer(static_cast<C&>(item), stream); }};
    return records_.emplace(name, std::move(record)).second;
  }

  // Null when the name is not registered.
  const TRegisterRec<T>* Find(const std::string& name) const {
    const auto it = records_.find(name);
    return it == records_.end() ? nullptr : &it->second;
  }

 private:
  TClassRegistry() = default;
  std::map<std::string, TRegisterRec<T>> records_;
};

template <typename T>
class TObjectList {
 public:
  explicit TObjectList(bool ownsItems = true) : ownsItems_(ownsItems) {}
  virtual ~TObjectList() { Clear(); }
  TObjectList(const TObjectList&) = delete;
  TObjectList& operator=(const TObjectList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // Between 0 and kMaxListSize. New slots are empty (nullptr); an owning list frees the items it
  // drops.
  virtual void SetCount(int count) {
    if (count < 0 || count > kMaxListSize) RaiseListIndexError(count);
    if (count > capacity_) SetCapacity(count);
    for (; Count() > count; items_.pop_back()) FreeItem(items_.back());
    items_.resize(static_cast<std::size_t>(count), nullptr);
  }
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
  virtual int IndexOf(const T* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i] == item) return static_cast<int>(i);
    return -1;
  }

  // The item after (forward) or before the given one, nullptr past either end; for no item the
  // first or the last. An item not in the list raises. The item itself is looked for, not one
  // that sorts equal to it, so a walk through equal items goes on.
  T* Neighbour(const T* item, bool forward) const {
    if (item == nullptr) return forward ? First() : Last();
    const int index = TObjectList::IndexOf(item);
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

  // Replaces the items by those of the binary form. Items of a class not registered raise
  // EClassNotFound; whatever fails leaves the list empty. A list that does not own its items
  // leaves the ones it made to the caller.
  virtual void ReadData(THugeStream& stream) {
    Clear();
    try {
      ownsItems_ = ReadFormByte(stream) != 0;
      const std::uint32_t count = ReadForm32(stream);
      for (std::uint32_t i = 0; i < count; ++i) {
        const std::string name = ReadClassName(stream);
        const TRegisterRec<T>* record = TClassRegistry<T>::Instance().Find(name);
        if (record == nullptr) RaiseClassNotRegistered(name);
        std::unique_ptr<T> item(record->create());
        record->reader(*item, stream);
        // One left out (ignore mode) goes with the unique_ptr.
        if (Add(item.get()) >= 0) item.release();
      }
    } catch (...) {
      // All the list holds was made here.
      const bool owned = ownsItems_;
      ownsItems_ = true;
      Clear();
      ownsItems_ = owned;
      throw;
    }
  }

  // An empty slot raises EClassNotFound, as does an item of a class not registered.
  virtual void WriteData(THugeStream& stream) const {
    WriteFormByte(stream, ownsItems_ ? 1 : 0);
    WriteForm32(stream, static_cast<std::uint32_t>(Count()));
    for (T* item : items_) {
      if (item == nullptr) RaiseNilSourceClass();
      const std::string name = PlainClassName(typeid(*item));
      const TRegisterRec<T>* record = TClassRegistry<T>::Instance().Find(name);
      if (record == nullptr || record->type != std::type_index(typeid(*item))) RaiseSourceClassNotRegistered(name);
      WriteClassName(stream, name);
      record->writer(*item, stream);
    }
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

template <typename T>
class TSortedObjectList : public TObjectList<T> {
 public:
  explicit TSortedObjectList(TDuplicates duplicates, bool ownsItems = true)
      : TObjectList<T>(ownsItems), duplicates_(duplicates) {}

  TDuplicates Duplicates() const { return duplicates_; }

  // What an item is ordered and found by: the item itself, unless a descendant derives a key.
  virtual const T& KeyOf(const T& item) const { return item; }
  // Below 0 when the item's key sorts before key, 0 when they are equal.
  virtual int Compare(const T& itemKey, const T& key) const = 0;

  // Binary search. index is where key belongs: with duplicates accepted, before its equals.
  bool Find(const T& key, int& index) const {
    int low = 0;
    int high = this->Count() - 1;
    bool found = false;
    while (low <= high) {
      const int middle = (low + high) / 2;
      const int result = Compare(KeyOf(*this->Items(middle)), key);
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
    if (Find(KeyOf(*item), index)) {
      if (duplicates_ == TDuplicates::Ignore) return -1;
      if (duplicates_ == TDuplicates::Error) RaiseDuplicateItem();
    }
    this->InsertAt(index, item);
    return index;
  }
  // The order decides the position.
  void Insert(int, T* item) override { Add(item); }
  [[noreturn]] void Put(int, T*) override { RaisePutInSortedList(); }
  // An empty slot has no place in the order: only shrinking is allowed.
  void SetCount(int count) override {
    if (count > this->Count()) RaiseListIndexError(count);
    TObjectList<T>::SetCount(count);
  }

  // The index of an item whose key equals the item's (with duplicates accepted, the first of
  // them); -1 when there is none.
  int IndexOf(const T* item) const override {
    int index;
    return Find(KeyOf(*item), index) ? index : -1;
  }

  // The duplicates mode comes first.
  void ReadData(THugeStream& stream) override {
    this->Clear();
    duplicates_ = ReadDuplicatesMode(stream);
    TObjectList<T>::ReadData(stream);
  }
  void WriteData(THugeStream& stream) const override {
    WriteFormByte(stream, static_cast<std::uint8_t>(duplicates_));
    TObjectList<T>::WriteData(stream);
  }

 private:
  TDuplicates duplicates_;
};

}  // namespace zip
