#include "app/cd_devices.h"

#include <cctype>

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

char DriveLetterOfEntry(const std::string& entry) {
  return entry.size() > 3 && entry[0] == '(' && entry.compare(2, 2, ":)") == 0 ? entry[1] : 0;
}

bool SelectCDDevice(TCDWriter& writer, char driveLetter) {
  const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
  const int count = writer.GetDeviceCount();
  for (int i = 0; i < count; ++i) {
    const std::string letter = writer.GetDeviceDriveLetter(i);
    if (letter.size() == 1 && lower(letter[0]) == lower(driveLetter)) return writer.SelectDevice(i);
  }
  return false;
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
