// Putting a freshly written archive in its place. The run and the single backup write the new
// archive under a name aside, so a failed or cancelled write touches nothing of the older
// backups; only a finished archive then replaces the old one, or becomes generation 1 while the
// older generations move one place up. Every rename and delete is checked; when one fails, all
// that was moved goes back and the older backups stay as they were.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

// A written archive: its ".zip" file and, when split into Files parts, the parts 1 .. Files-1
// before it, named by PartFileName of the ".zip" file.
struct ArchiveSet {
  std::string ZipFile;
  int Files = 1;
};

// The parts in order, then the ".zip" file.
std::vector<std::string> ArchiveSetFiles(const ArchiveSet& set);
// Bytes of all files of the set; -1 when one of them is missing.
std::int64_t ArchiveSetSize(const ArchiveSet& set);

// A ".zip" name beside archive for writing a new set aside: no file of that stem exists yet, so
// neither the archive nor any of its parts can meet an older file.
std::string AsideArchiveName(const std::string& archive);

struct PlacementResult {
  bool Ok = false;
  // When not Ok: which file could not be moved (a sentence for the log and the message).
  std::string Error;
  // Files of the dropped backup that could not be deleted; the new one is in place all the same.
  std::vector<std::string> NotDeleted;
};

// The written set takes the name target: the archive there and every part file of that name
// (also the surplus parts of a longer split) give way, and are deleted once the new set is in.
PlacementResult ReplaceArchiveSet(const ArchiveSet& written, const std::string& target);

// For two or more generations: the files of the oldest (base + generations, its ".zip" and every
// part, also without the ".zip") are dropped, each generation k below moves whole to k + 1, and
// the written set becomes generation 1 (base + "1.zip" and its parts).
PlacementResult RotateGenerations(const ArchiveSet& written, const std::string& base, int generations);

}  // namespace app
