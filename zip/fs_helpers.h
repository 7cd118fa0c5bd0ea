// File, date and volume operations of the engine over the file-system layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/datetime.h"
#include "zip/streams.h"

// <windows.h> maps this name to its wide function; the engine's own must keep its name.
#ifdef SetVolumeLabel
#undef SetVolumeLabel
#endif

namespace zip {

// Rewrites each component to its short (8.3) name where the host has one, else keeps it as
// written. "X:" gets a "\" after it; leading and trailing "\" are kept as given.
std::string ConvertPathNames(const std::string& path);

// The file's modification time, repaired as a DOS date-time; Now() when there is none.
classlib::TDateTime FileDateTime(const std::string& name);

// Creates the directory and every missing one above it; true when it exists afterwards.
bool ForceDirectories(const std::string& path);

// Renames source to target on the same drive, replacing an existing target; false at once for
// different drives, and when no free name is left to put the old target aside under. When the
// rename fails the old target keeps its name.
bool RenameWithBackup(const std::string& source, const std::string& target);

// Renames, or else copies (the source stays). An empty copy is reported with a box, as a source
// that could not be read looks the same.
void MoveOrCopyFile(const std::string& source, const std::string& target);

// Creates a new empty file "KPZ..." in directory and returns its name; raises EFCreateError.
std::string MakeTempFileName(const std::string& directory);
// The same, left open for writing (one opening less): name receives its name.
std::unique_ptr<TLFNFileStream> MakeTempFile(const std::string& directory, std::int32_t bufferSize, bool flushOnClose,
                                             std::string& name);

// Empty when the volume has no label or cannot be read.
std::string GetVolumeLabel(const std::string& root);
// Removes the old label, then sets the new one; the result of setting it.
bool SetVolumeLabel(const std::string& root, const std::string& label);

}  // namespace zip
