#include "zip/object_list.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "classlib/exceptions.h"
#include "classlib/format.h"

namespace zip {

namespace {

// The class name without its namespaces, as a user would know it.
std::string PlainClassName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                    std::free);
  std::string name = status == 0 && demangled ? demangled.get() : type.name();
  const size_t colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

}  // namespace

void RaiseListIndexError(int index) {
  throw classlib::EListError(classlib::Format("Listenindex überschreitet das Maximum (%d)", index));
}

void RaiseDuplicateItem() { throw classlib::EListError("Duplicate Object index"); }

void RaisePutInSortedList() { throw classlib::EListError("Cannot <Put> an Object in a sorted list!"); }

void RaiseNotInList(const std::type_info& itemType) {
  throw classlib::EListError(classlib::Format("tObject %s not in item list", PlainClassName(itemType).c_str()));
}

int GrownCapacity(int capacity) {
  if (capacity > 8) return capacity + 16;
  if (capacity > 4) return capacity + 8;
  return capacity + 4;
}

}  // namespace zip
