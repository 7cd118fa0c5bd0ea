// How the archives of a backup are named: the archive itself, the parts of a split archive and
// the numbered generations a job keeps.
#pragma once

#include <string>

#include "app/backup_definition.h"
#include "classlib/datetime.h"

namespace app {

// The last four characters are ".zip" in any case.
bool HasZipExtension(const std::string& name);
// name without its ".zip", when it has one: the stem of an archive's files.
std::string WithoutZipExtension(const std::string& name);

// The file name (no folder) of a run's archive: the job name, or with UseDateTime the start as
// "yyyy-mm-dd hh-nn"; then ".zip", or " [part].zip" for a partial run of any mode, so a partial run
// never takes the name of the full backup. A name that already ends in ".zip" gets " [part]"
// before it in a partial run.
std::string ArchiveName(const BackupDefinition& def, bool partial, classlib::TDateTime start);

// stem, or from n = 2 on stem + " (n)": the names a time-named archive takes when its own is taken.
std::string NumberedStem(const std::string& stem, int n);

// Whether stem (a file name without ".zip") is that of an archive some run of def writes: full or
// partial, with UseDateTime at any start and with the number NumberedStem gives.
bool IsRunArchiveStem(const BackupDefinition& def, const std::string& stem);
// The same for the archives a run keeps: with generations, the stems of generations 1 .. count.
bool IsKeptArchiveStem(const BackupDefinition& def, const std::string& stem);

// How many generations a run keeps: Instances, but one for date-time names.
int GenerationsOf(const BackupDefinition& def);

// Part n (1-based) of a split archive: its extension replaced by "." and three digits, as the
// zip writer names them ("job.zip", 2 gives "job.002").
std::string PartFileName(const std::string& archive, int part);

// The stem of the generations: folder + archive name without its ".zip".
std::string GenerationBase(const std::string& folder, const std::string& archiveName);
// Generation k (1 newest) is base + k + ".zip", its parts base + k + "." + three digits.
std::string GenerationFileName(const std::string& base, int generation);
std::string GenerationPartName(const std::string& base, int generation, int part);

}  // namespace app
