#include "app/job_list.h"

#include <algorithm>

#include "app/list_sort.h"
#include "classlib/clock.h"

namespace app {

const char kNoSchedule[] = "n/a";
const char kDeactivated[] = "Deaktiviert";
const char kChecking[] = "Wird geprüft...";
const char kRunning[] = "Wird durchgeführt...";

int JobList::IndexOf(const std::string& name) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].Name == name) return static_cast<int>(i);
  return -1;
}

void JobList::Add(const std::string& name, const std::string& nextRun) {
  items_.push_back({name, nextRun, classlib::Now(), false});
  Changed(-1);
}

bool JobList::Remove(const std::string& name) {
  const int index = IndexOf(name);
  if (index < 0) return false;
  items_.erase(items_.begin() + index);
  Changed(-1);
  return true;
}

bool JobList::Rename(const std::string& from, const std::string& to) {
  const int index = IndexOf(from);
  if (index < 0) return false;
  items_[static_cast<std::size_t>(index)].Name = to;
  Changed(index);
  return true;
}

void JobList::Clear() {
  items_.clear();
  Changed(-1);
}

void JobList::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [](const JobItem& a, const JobItem& b) { return CompareText(a.Name, b.Name) < 0; });
  Changed(-1);
}

std::string JobList::NextRun(const std::string& name) const {
  const int index = IndexOf(name);
  return index < 0 ? std::string() : Item(index).NextRun;
}

classlib::TDateTime JobList::NextRunSet(const std::string& name) const {
  const int index = IndexOf(name);
  return index < 0 ? 0 : Item(index).NextRunSet;
}

bool JobList::SetNextRun(const std::string& name, const std::string& text) {
  const int index = IndexOf(name);
  if (index < 0) return false;
  JobItem& item = items_[static_cast<std::size_t>(index)];
  item.NextRun = text;
  item.NextRunSet = classlib::Now();
  Changed(index);
  return true;
}

bool JobList::SetSelected(const std::string& name, bool selected) {
  const int index = IndexOf(name);
  if (index < 0) return false;
  items_[static_cast<std::size_t>(index)].Selected = selected;
  Changed(index);
  return true;
}

std::vector<std::string> JobList::Names() const {
  std::vector<std::string> names;
  for (const JobItem& item : items_) names.push_back(item.Name);
  return names;
}

std::vector<std::string> JobList::SelectedNames() const {
  std::vector<std::string> names;
  for (const JobItem& item : items_)
    if (item.Selected) names.push_back(item.Name);
  return names;
}

void JobList::Changed(int index) {
  if (OnChange) OnChange(index);
}

}  // namespace app
