#include "app/burner_list.h"

#include <cctype>

namespace app {

const char kNoBurner[] = "Kein CD-Recorder verfügbar!";

classlib::TStringList BurnerEntries(TCDWriter& writer) {
  classlib::TStringList entries;
  const int count = writer.GetDeviceCount();
  for (int i = 0; i < count; ++i)
    entries.Add("(" + writer.GetDeviceDriveLetter(i) + ":) " + writer.GetDeviceVendor(i) + " " +
                writer.GetDeviceProduct(i));
  if (entries.Count() == 0) entries.Add(kNoBurner);
  return entries;
}

char BurnerDriveLetter(const std::string& entry) {
  const bool listed = entry.size() >= 4 && entry[0] == '(' && entry[2] == ':' && entry[3] == ')' &&
                      std::isalpha(static_cast<unsigned char>(entry[1]));
  return listed ? entry[1] : 0;
}

bool SelectBurner(TCDWriter& writer, char letter) {
  const int count = writer.GetDeviceCount();
  for (int i = 0; i < count; ++i) {
    const std::string drive = writer.GetDeviceDriveLetter(i);
    if (drive.size() == 1 && std::tolower(static_cast<unsigned char>(drive[0])) ==
                                 std::tolower(static_cast<unsigned char>(letter)))
      return writer.SelectDevice(i);
  }
  return false;
}

}  // namespace app
