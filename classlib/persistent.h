// The roots of the class tree: TObject (any object an event may name as its sender) and
// TPersistent (an object whose settings can be copied from another of a suitable kind).
#pragma once

#include <functional>
#include <string>

#include "classlib/exceptions.h"

namespace classlib {

class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
};

// The object's class name without its namespace ("TDateCalendarColors"), for messages.
std::string ClassNameOf(const TObject& object);

// An event whose sender need not be a component (settings objects, change links).
using TObjectEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
 public:
  // Copies Source's settings; a source of an unknown kind asks Source to copy itself here, and
  // where neither knows the other the assignment fails with EConvertError.
  virtual void Assign(const TPersistent& Source) { Source.AssignTo(*this); }

 protected:
  virtual void AssignTo(TPersistent&) const {
    throw EConvertError("Die Einstellungen lassen sich nicht zuweisen");
  }
};

}  // namespace classlib
