// The class library's exception tree. Messages are complete texts, ready to show.
#pragma once

#include <stdexcept>
#include <string>

namespace classlib {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

#define CLASSLIB_EXCEPTION(Name, Base)                                 \
  class Name : public Base {                                          \
   public:                                                            \
    explicit Name(const std::string& message) : Base(message) {}      \
  }

CLASSLIB_EXCEPTION(EStreamError, Exception);
CLASSLIB_EXCEPTION(EReadError, EStreamError);
CLASSLIB_EXCEPTION(EWriteError, EStreamError);
CLASSLIB_EXCEPTION(EFCreateError, EStreamError);
CLASSLIB_EXCEPTION(EFOpenError, EStreamError);
CLASSLIB_EXCEPTION(EListError, Exception);
CLASSLIB_EXCEPTION(EOSError, Exception);
CLASSLIB_EXCEPTION(EConvertError, Exception);
CLASSLIB_EXCEPTION(ERegistryException, Exception);
CLASSLIB_EXCEPTION(EInvalidOperation, Exception);
// The system has no timer, window or GDI object left.
CLASSLIB_EXCEPTION(EOutOfResources, Exception);
// A picture that is damaged or of a form the layer does not read.
CLASSLIB_EXCEPTION(EInvalidGraphic, Exception);

}  // namespace classlib
