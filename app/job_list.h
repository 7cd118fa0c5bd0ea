// The definition list of the main window without the window: per job its name, the text of the
// column "Nächste Sicherung" and whether the user selected it. The column text is also the
// scheduler's state: an interval countdown, a time of day, or one of the marks below. The main
// window's list view shows this model and follows its changes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classlib/datetime.h"

namespace app {

extern const char kNoSchedule[];   // "n/a"
extern const char kDeactivated[];  // "Deaktiviert": switched off until the program ends
extern const char kChecking[];     // "Wird geprüft...": the test for changed files runs
extern const char kRunning[];      // "Wird durchgeführt..."

struct JobItem {
  std::string Name;
  std::string NextRun;
  // When NextRun was last set: a countdown counts the clock minutes from then on.
  classlib::TDateTime NextRunSet = 0;
  bool Selected = false;
};

class JobList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const JobItem& Item(int index) const { return items_[static_cast<std::size_t>(index)]; }
  // -1 when no job of that name is listed.
  int IndexOf(const std::string& name) const;

  void Add(const std::string& name, const std::string& nextRun);
  bool Remove(const std::string& name);
  bool Rename(const std::string& from, const std::string& to);
  void Clear();
  // Orders the jobs by name as the list view shows them: by the user's locale, without regard to case.
  void Sort();

  // The column of the job; empty when it is not (or no longer) listed.
  std::string NextRun(const std::string& name) const;
  // 0 when the job is not listed.
  classlib::TDateTime NextRunSet(const std::string& name) const;
  // False, changing nothing, when the job is not listed. Marks the column as set now.
  bool SetNextRun(const std::string& name, const std::string& text);
  bool SetSelected(const std::string& name, bool selected);

  // Copies in list order, so a caller that lets the windows run meanwhile never walks a list that
  // changed under it.
  std::vector<std::string> Names() const;
  std::vector<std::string> SelectedNames() const;

  // After every change: the index of the changed item, or -1 when items came or went.
  std::function<void(int index)> OnChange;

 private:
  void Changed(int index);

  std::vector<JobItem> items_;
};

}  // namespace app
