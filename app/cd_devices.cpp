#include "app/cd_devices.h"

#include <cctype>

#include "classlib/text.h"

namespace app {

const char kNoCDWriter[] = "Kein CD-Recorder verfügbar!";

std::vector<std::string> CDWriterEntries(TCDWriter& writer) {
  std::vector<std::string> entries;
  const int count = writer.GetDeviceCount();
  for (int i = 0; i < count; ++i)
    entries.push_back("(" + writer.GetDeviceDriveLetter(i) + ":) " + writer.GetDeviceVendor(i) + " " +
                      writer.GetDeviceProduct(i));
  if (entries.empty()) entries.push_back(kNoCDWriter);
  return entries;
}

std::string DriveLetterOfEntry(const std::string& entry) {
  const bool drive = entry.size() >= 4 && entry[0] == '(' && IsDriveLetter(entry.substr(1, 1)) && entry[2] == ':' &&
                     entry[3] == ')';
  return drive ? entry.substr(1, 1) : "";
}

bool IsDriveLetter(const std::string& letter) {
  return letter.size() == 1 && ((letter[0] >= 'a' && letter[0] <= 'z') || (letter[0] >= 'A' && letter[0] <= 'Z'));
}

int FindCDDevice(TCDWriter& writer, const std::string& driveLetter) {
  if (!IsDriveLetter(driveLetter)) return -1;
  const int count = writer.GetDeviceCount();
  for (int i = 0; i < count; ++i)
    if (classlib::SameTextAscii(writer.GetDeviceDriveLetter(i), driveLetter)) return i;
  return -1;
}

bool SelectCDDevice(TCDWriter& writer, const std::string& driveLetter) {
  const int device = FindCDDevice(writer, driveLetter);
  return device >= 0 && writer.SelectDevice(device);
}

std::vector<std::string> CDSpeedEntries(int maxSpeed) {
  std::vector<std::string> entries;
  for (int speed = maxSpeed; speed > 1; speed -= 2) entries.push_back(std::to_string(speed) + "-fach");
  entries.push_back("1-fach");
  return entries;
}

int SpeedOfEntry(const std::string& entry) {
  int speed = 0;
  std::size_t at = 0;
  for (; at < entry.size() && at < 4 && std::isdigit(static_cast<unsigned char>(entry[at])); ++at)
    speed = speed * 10 + (entry[at] - '0');
  return entry.compare(at, 5, "-fach") == 0 ? speed : 0;
}

}  // namespace app
