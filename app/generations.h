// Putting a freshly written archive in its place. The run and the single backup write the new
// archive under a name aside, so a failed or cancelled write touches nothing of the older
// backups; only a finished archive then replaces the old one, or becomes generation 1 while the
// older generations move one place up. Every rename and delete is checked; when one fails, all
// that was moved goes back and the older backups stay as they were.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/backup_definition.h"

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
// neither the archive nor any of its parts can meet an older file. Raises EFCreateError when the
// names are all taken.
std::string AsideArchiveName(const std::string& archive);

// The stem of the archive that file (a name without folder) was written aside for by
// AsideArchiveName, as its ".zip" or a part; empty when it is no such name.
std::string AsideArchiveStem(const std::string& file);

// name (a file name with ".zip") when folder has neither a file of that name nor a part of it;
// else the first free of the names NumberedStem gives, so that a time-named archive never
// replaces one of another job of the same minute. Raises EFCreateError when the names are all
// taken.
std::string FreeArchiveName(const std::string& folder, const std::string& name);

// Deletes, and logs, the files of folder that a write aside left when the program was stopped
// before it ended: named by AsideArchiveName for an archive whose stem (name without ".zip")
// ours accepts, as the ".zip" or as a part. Nothing else is touched.
void RemoveLeftoverAsideFiles(const std::string& folder, const std::function<bool(const std::string& stem)>& ours);

// Puts right what a placement stopped by a kill left in folder, by the list of its renames that it
// kept there (its new set's ".zip" written aside, for a stem ours accepts, with "~plan"): when all
// renames were made, the dropped set is deleted; else every rename is taken back, so the older
// sets are where they were and the new set is aside again, a leftover. The log says what was put
// back. Raises EFOpenError or EFCreateError when a list cannot be followed or removed: a placement
// must not begin over it. ours must accept the stems of the archives kept as well.
void RepairStoppedPlacements(const std::string& folder, const std::function<bool(const std::string& stem)>& ours);

// Puts right what a run of def stopped while placing its new set left in folder without a list of
// its renames (as placements did before they kept one): an older set of the job's archives whose
// ".zip" file is missing, moved aside under "~alt" (or "~alt" and a number) for the new set, goes
// back under its names, and the log says so. A ".zip" that is there keeps its place.
void RestoreDroppedSets(const std::string& folder, const BackupDefinition& def);

struct PlacementResult {
  bool Ok = false;
  // When not Ok: which file could not be moved (a sentence for the log and the message).
  std::string Error;
  // Files of the dropped backup that could not be deleted; the new one is in place all the same.
  std::vector<std::string> NotDeleted;
};

// An older set gives way as a whole and nothing else does: its ".zip" and the parts its end record
// counts, or, when the ".zip" cannot be read, the parts that exist in an unbroken run from 1. It is
// moved aside, all its files under one suffix, until the new set is in place.
// Other files of like names stay: parts beyond the count or without their ".zip", more or other
// digits. One that is in the way of the new set stops the placement.

// The written set takes the name target; the older set of that name is deleted once the new one
// is in.
PlacementResult ReplaceArchiveSet(const ArchiveSet& written, const std::string& target);

// For two or more generations: the oldest set (base + generations + ".zip" with its parts) is
// dropped, each generation k below moves whole to k + 1, and the written set becomes generation 1
// (base + "1.zip" and its parts).
PlacementResult RotateGenerations(const ArchiveSet& written, const std::string& base, int generations);

// step runs after each file operation of a placement, so a test can stop one there; none for none.
void SetPlacementStepForTesting(std::function<void()> step);

}  // namespace app
