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

bool SelectCDDevice(TCDWriter& writer, const std::string& driveLetter) {
  const int count = writer.GetDeviceCount();
  for (int i = 0; i < count; ++i)
    if (!driveLetter.empty() && classlib::SameTextAscii(writer.GetDeviceDriveLetter(i), driveLetter))
      return writer.SelectDevice(i);
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
