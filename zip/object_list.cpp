#include "zip/object_list.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "classlib/exceptions.h"
#include "classlib/format.h"
#include "zip/zip_records.h"

namespace zip {

std::string PlainClassName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                    std::free);
  std::string name = status == 0 && demangled ? demangled.get() : type.name();
  const size_t colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

void RaiseListIndexError(int index) {
  throw classlib::EListError(classlib::Format("Listenindex überschreitet das Maximum (%d)", index));
}

void RaiseDuplicateItem() { throw classlib::EListError("Duplicate Object index"); }

void RaisePutInSortedList() { throw classlib::EListError("Cannot <Put> an Object in a sorted list!"); }

void RaiseNotInList(const std::type_info& itemType) {
  throw classlib::EListError(classlib::Format("tObject %s not in item list", PlainClassName(itemType).c_str()));
}

void RaiseClassNotRegistered(const std::string& name) {
  throw EClassNotFound(classlib::Format("Class <%s> not registered", name.c_str()));
}

void RaiseNilSourceClass() { throw EClassNotFound("Nil Source Class!"); }

void RaiseSourceClassNotRegistered(const std::string& name) {
  throw EClassNotFound(classlib::Format("Source Class <%s> not registered", name.c_str()));
}

void WriteFormByte(THugeStream& stream, std::uint8_t value) { stream.WriteBuffer(&value, 1); }

void WriteForm32(THugeStream& stream, std::uint32_t value) {
  std::uint8_t bytes[4];
  Put32(bytes, value);
  stream.WriteBuffer(bytes, 4);
}

std::uint8_t ReadFormByte(THugeStream& stream) {
  std::uint8_t value;
  stream.ReadBuffer(&value, 1);
  return value;
}

std::uint32_t ReadForm32(THugeStream& stream) {
  std::uint8_t bytes[4];
  stream.ReadBuffer(bytes, 4);
  return Get32(bytes);
}

void WriteClassName(THugeStream& stream, const std::string& name) {
  WriteFormByte(stream, static_cast<std::uint8_t>(name.size()));
  stream.WriteBuffer(name.data(), static_cast<std::int64_t>(name.size()));
}

std::string ReadClassName(THugeStream& stream) {
  std::string name(ReadFormByte(stream), '\0');
  stream.ReadBuffer(&name[0], static_cast<std::int64_t>(name.size()));
  return name;
}

TDuplicates ReadDuplicatesMode(THugeStream& stream) {
  const std::uint8_t mode = ReadFormByte(stream);
  if (mode > static_cast<std::uint8_t>(TDuplicates::Error)) throw classlib::EReadError("Stream-Lesefehler");
  return static_cast<TDuplicates>(mode);
}

int GrownCapacity(int capacity) {
  if (capacity > 8) return capacity + 16;
  if (capacity > 4) return capacity + 8;
  return capacity + 4;
}

}  // namespace zip
