#include "app/restore_listing.h"

#include <windows.h>

#include "classlib/number_format.h"
#include "classlib/wide.h"

namespace app {

const char kRestoreLabelEmpty[] = "Backup enthält 0 Datei(en). Orig.: 0 MB, kompr.: 0 MB.";
const char kArchiveChangedText[] =
    "Das Backup wurde verändert oder entfernt, seit es geöffnet wurde. Bitte öffnen Sie es erneut und wählen Sie die "
    "Datei(en) noch einmal aus.";

std::int64_t ListedKB(std::uint64_t bytes) { return bytes > 1023 ? static_cast<std::int64_t>(bytes / 1024) : 1; }

std::string KBText(std::int64_t kb) { return std::to_string(kb) + " KB"; }

std::string RestoreLabelText(int count, std::int64_t unpackedKB, std::int64_t packedKB) {
  auto mb = [](std::int64_t kb) { return classlib::FormatFloat("#,##0.00", static_cast<double>(kb) / 1024); };
  return "Backup enthält " + std::to_string(count) + " Datei(en). Orig.: " + mb(unpackedKB) + " MB, kompr.: " +
         mb(packedKB) + " MB.";
}

FileStamp StampOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(classlib::Widen(path).c_str(), GetFileExInfoStandard, &data)) return {};
  FileStamp stamp;
  stamp.size = static_cast<std::int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  stamp.writeTime = static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
  return stamp;
}

}  // namespace app
