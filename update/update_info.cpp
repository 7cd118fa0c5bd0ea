#include "update/update_info.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "classlib/exceptions.h"
#include "update/vendor_signature.h"

namespace update {
namespace {

constexpr char kSectionHeader[] = "[data full]";
constexpr size_t kVersionSkip = 8;  // "Version="
constexpr size_t kSizeSkip = 5;     // "Size="
constexpr char kDigestKey[] = "SHA256=";
constexpr size_t kUnitLength = 3;   // " KB"

// The lines that end in CR LF, LF or CR, without their ends.
std::vector<std::string> CompleteLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end = text.find_first_of("\r\n"); end != std::string::npos; end = text.find_first_of("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

const std::string& LineAt(const std::vector<std::string>& lines, size_t index) {
  if (index >= lines.size()) throw classlib::EListError("Listenindex überschreitet das Maximum");
  return lines[index];
}

std::string From(const std::string& line, size_t skip) { return line.size() > skip ? line.substr(skip) : ""; }

bool IsDigits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsHex(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

// Sign of a - b for numbers of any length.
int CompareNumbers(const std::string& a, const std::string& b) {
  const std::string x = a.substr(std::min(a.find_first_not_of('0'), a.size()));
  const std::string y = b.substr(std::min(b.find_first_not_of('0'), b.size()));
  if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
  return x.compare(y) < 0 ? -1 : x.compare(y) > 0 ? 1 : 0;
}

// Sign of a - b for decimal numbers given as integer part and fraction digits.
int CompareDecimals(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (const int whole = CompareNumbers(a[0], b[0])) return whole;
  std::string x = a.size() > 1 ? a[1] : "", y = b.size() > 1 ? b[1] : "";
  const size_t digits = std::max(x.size(), y.size());
  x.resize(digits, '0');
  y.resize(digits, '0');
  return x.compare(y) < 0 ? -1 : x.compare(y) > 0 ? 1 : 0;
}

std::vector<std::string> SplitVersion(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t dot = text.find('.', start);
    parts.push_back(text.substr(start, dot - start));
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  if (parts.size() > 4 || !std::all_of(parts.begin(), parts.end(), IsDigits)) {
    throw classlib::EConvertError("\"" + text + "\" ist keine gültige Versionsangabe");
  }
  return parts;
}

}  // namespace

TUpdateInfo GetUpdateInfo(const std::string& Text, const std::string& actualVersion) {
  TUpdateInfo info{actualVersion, actualVersion, "0", ""};
  const std::vector<std::string> lines = CompleteLines(Text);
  if (lines.size() <= 2) return info;
  const auto section = std::find_if(lines.begin(), lines.end(),
                                    [](const std::string& line) { return line.find(kSectionHeader) != std::string::npos; });
  if (section == lines.end()) return info;
  const size_t at = static_cast<size_t>(section - lines.begin());
  info.AvailableVersion = From(LineAt(lines, at + 1), kVersionSkip);
  info.DownloadSize = From(LineAt(lines, at + 2), kSizeSkip);
  if (at + 3 < lines.size() && lines[at + 3].rfind(kDigestKey, 0) == 0) {
    info.SetupDigest = lines[at + 3].substr(sizeof kDigestKey - 1);
  }
  return info;
}

TUpdateFile ReadUpdateFile(const std::string& Text, const TFileVersion& own) {
  std::string signedPart;
  if (!VerifyVendorSignature(Text, signedPart)) return {};
  TUpdateFile file;
  try {
    const TUpdateInfo info = GetUpdateInfo(signedPart, VersionText(own));
    // Without the digest nothing could tell the setup from any other file.
    if (info.SetupDigest.size() != 64 || !IsHex(info.SetupDigest)) return {};
    file.Newer = IsNewerVersion(own, info.AvailableVersion);
    file.Info = info;
  } catch (const classlib::Exception&) {
    file.Kind = TUpdateFileKind::Unreadable;
    return file;
  }
  file.Kind = TUpdateFileKind::Offer;
  return file;
}

bool IsNewerVersion(const TFileVersion& own, const std::string& available) {
  const std::vector<std::string> offered = SplitVersion(available);
  if (offered.size() <= 2) return CompareDecimals(SplitVersion(VersionText(own)), offered) < 0;
  const int ownParts[] = {own.Major, own.Minor, own.Release, own.Build};
  for (size_t i = 0; i < 4; ++i) {
    const int order = CompareNumbers(std::to_string(ownParts[i]), i < offered.size() ? offered[i] : "0");
    if (order != 0) return order < 0;
  }
  return false;
}

int DownloadSizeKB(const std::string& sizeText) {
  if (sizeText.size() <= kUnitLength) return 0;
  const std::string number = sizeText.substr(0, sizeText.size() - kUnitLength);
  if (!IsDigits(number)) return 0;
  long long kb = 0;
  for (char c : number) {
    kb = kb * 10 + (c - '0');
    if (kb > INT_MAX) return 0;
  }
  return static_cast<int>(kb);
}

}  // namespace update
