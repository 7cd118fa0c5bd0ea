// The engine's exception classes; each carries a text from the engine's message table.
#pragma once

#include "classlib/exceptions.h"

namespace zip {

CLASSLIB_EXCEPTION(EBadZipFile, classlib::Exception);
CLASSLIB_EXCEPTION(EIncompleteZip, classlib::Exception);
CLASSLIB_EXCEPTION(ENotAZipFile, classlib::Exception);
CLASSLIB_EXCEPTION(EFatalUnzipError, classlib::Exception);
CLASSLIB_EXCEPTION(EUserCanceled, classlib::Exception);
CLASSLIB_EXCEPTION(EBiggerThanUncompressed, classlib::Exception);
CLASSLIB_EXCEPTION(ENotEnoughRoom, classlib::Exception);
CLASSLIB_EXCEPTION(ECantWriteUCF, classlib::Exception);
CLASSLIB_EXCEPTION(EZLibError, classlib::Exception);
CLASSLIB_EXCEPTION(EZCompressionError, EZLibError);
// An operation was started on a component that is still busy with another.
CLASSLIB_EXCEPTION(EZipBusy, classlib::Exception);

}  // namespace zip
