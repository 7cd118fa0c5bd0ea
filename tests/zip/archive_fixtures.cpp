#include "tests/zip/archive_fixtures.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "tests/zip/peer_tools.h"
#include "zip/crc32.h"

namespace archive_fixtures {
namespace {

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::uint32_t Get16(const std::string& s, std::size_t at) {
  return static_cast<std::uint8_t>(s.at(at)) | static_cast<std::uint8_t>(s.at(at + 1)) << 8;
}

std::uint32_t Get32(const std::string& s, std::size_t at) { return Get16(s, at) | Get16(s, at + 2) << 16; }

void Patch16(std::string& s, std::size_t at, std::uint32_t v) {
  std::string bytes;
  Put16(bytes, v);
  s.replace(at, 2, bytes);
}

void Patch32(std::string& s, std::size_t at, std::uint32_t v) {
  std::string bytes;
  Put32(bytes, v);
  s.replace(at, 4, bytes);
}

std::uint32_t Crc(const std::string& data) { return ~zip::UpdateCrc32(0xFFFFFFFF, data.data(), data.size()); }

std::size_t EndRecordOffset(const std::string& archive) {
  for (std::size_t i = archive.size() - 22 + 1; i-- > 0;)
    if (Get32(archive, i) == 0x06054B50) return i;
  throw std::runtime_error("no end record");
}

// The fields local header and central record share, from the version needed to the name length.
void PutSharedFields(std::string& out, const RawEntry& e) {
  Put16(out, 10);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, e.dosTime);
  Put32(out, Crc(e.data));
  Put32(out, static_cast<std::uint32_t>(e.data.size()));
  Put32(out, static_cast<std::uint32_t>(e.data.size()));
  Put16(out, static_cast<std::uint32_t>(e.name.size()));
}

// The 30 fixed bytes and the name; the stored data follows.
std::string LocalHeader(const RawEntry& e) {
  std::string h;
  Put32(h, 0x04034B50);
  PutSharedFields(h, e);
  Put16(h, 0);
  return h + e.name;
}

// The central records of the entries at a.localOffsets, then the end record.
void AppendDirectory(RawArchive& a, const std::vector<RawEntry>& entries, const std::string& archiveComment) {
  std::string directory;
  a.directoryOffset = static_cast<std::uint32_t>(a.bytes.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const RawEntry& e = entries[i];
    a.centralOffsets.push_back(static_cast<std::uint32_t>(a.directoryOffset + directory.size()));
    Put32(directory, 0x02014B50);
    Put16(directory, 20);
    PutSharedFields(directory, e);
    Put16(directory, static_cast<std::uint32_t>(e.centralExtra.size()));
    Put16(directory, static_cast<std::uint32_t>(e.comment.size()));
    Put16(directory, 0);
    Put16(directory, 0);
    Put32(directory, e.name.empty() || e.name.back() != '/' ? 0x20 : 0x10);
    Put32(directory, a.localOffsets[i]);
    directory += e.name + e.centralExtra + e.comment;
  }
  a.bytes += directory;
  a.endOffset = static_cast<std::uint32_t>(a.bytes.size());
  Put32(a.bytes, 0x06054B50);
  Put16(a.bytes, 0);
  Put16(a.bytes, 0);
  Put16(a.bytes, static_cast<std::uint32_t>(entries.size()));
  Put16(a.bytes, static_cast<std::uint32_t>(entries.size()));
  Put32(a.bytes, static_cast<std::uint32_t>(directory.size()));
  Put32(a.bytes, a.directoryOffset);
  Put16(a.bytes, static_cast<std::uint32_t>(archiveComment.size()));
  a.bytes += archiveComment;
}

}  // namespace

RawArchive BuildStored(const std::vector<RawEntry>& entries, const std::string& archiveComment,
                       const std::string& prefix) {
  RawArchive a;
  a.bytes = prefix;
  for (const RawEntry& e : entries) {
    if (e.headerOf >= 0) {
      a.localOffsets.push_back(a.localOffsets.at(static_cast<std::size_t>(e.headerOf)));
      continue;
    }
    a.localOffsets.push_back(static_cast<std::uint32_t>(a.bytes.size()));
    a.bytes += LocalHeader(e) + e.data;
  }
  AppendDirectory(a, entries, archiveComment);
  return a;
}

RawArchive BuildOverlapped(const std::string& kernel, int count) {
  // From the back: each entry's data is all that follows its own header.
  std::vector<RawEntry> entries;
  std::string tail = kernel;
  for (int i = count; i >= 1; --i) {
    entries.insert(entries.begin(), RawEntry("teil" + std::to_string(i) + ".bin", tail));
    tail = LocalHeader(entries.front()) + tail;
  }
  RawArchive a;
  a.bytes = tail;
  std::uint32_t offset = 0;
  for (const RawEntry& e : entries) {
    a.localOffsets.push_back(offset);
    offset += static_cast<std::uint32_t>(LocalHeader(e).size());
  }
  AppendDirectory(a, entries, {});
  return a;
}

std::vector<std::string> SplitIntoParts(const std::string& archive, const std::vector<std::uint32_t>& cuts) {
  std::vector<std::uint32_t> starts = {0};
  starts.insert(starts.end(), cuts.begin(), cuts.end());
  const auto partOf = [&](std::uint32_t offset) {
    return static_cast<std::uint32_t>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin() - 1);
  };
  std::string patched = archive;
  const std::size_t end = EndRecordOffset(archive);
  const std::uint32_t directory = Get32(archive, end + 16);
  const std::uint32_t lastPart = static_cast<std::uint32_t>(starts.size() - 1);
  if (partOf(static_cast<std::uint32_t>(end)) != lastPart) throw std::logic_error("end record must be in the last part");
  std::uint32_t onLastPart = 0;
  for (std::size_t at = directory; Get32(archive, at) == 0x02014B50;
       at += 46 + Get16(archive, at + 28) + Get16(archive, at + 30) + Get16(archive, at + 32)) {
    const std::uint32_t local = Get32(archive, at + 42);
    Patch16(patched, at + 34, partOf(local));
    Patch32(patched, at + 42, local - starts[partOf(local)]);
    if (partOf(static_cast<std::uint32_t>(at)) == lastPart) ++onLastPart;
  }
  Patch16(patched, end + 4, lastPart);
  Patch16(patched, end + 6, partOf(directory));
  Patch16(patched, end + 8, onLastPart);
  Patch32(patched, end + 16, directory - starts[partOf(directory)]);
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const std::size_t until = i + 1 < starts.size() ? starts[i + 1] : patched.size();
    parts.push_back(patched.substr(starts[i], until - starts[i]));
  }
  return parts;
}

bool Listed::operator==(const Listed& o) const {
  return path == o.path && folder == o.folder && packed == o.packed && unpacked == o.unpacked && crc == o.crc &&
         method == o.method && dosTime == o.dosTime;
}

void PrintTo(const Listed& e, std::ostream* out) {
  *out << e.path << (e.folder ? " (folder)" : "") << " packed " << e.packed << " unpacked " << e.unpacked << " crc "
       << std::hex << e.crc << " date " << e.dosTime << std::dec << " method " << e.method;
}

std::vector<Listed> ReaderListing(const TestReader& reader) {
  std::vector<Listed> listing;
  for (int i = 0; i < reader.EntryCount(); ++i) {
    const zip::TZipHeaderInfo& e = reader.Entry(i);
    std::string path = reader.EntryPath(i);
    std::replace(path.begin(), path.end(), '\\', '/');
    listing.push_back({path, reader.EntryName(i).empty(), reader.EntryPackedSize(i), reader.EntryUnpackedSize(i),
                       e.CRC32, e.CompressionMethod, e.DateTime, e.LocalHeaderOffset});
  }
  std::sort(listing.begin(), listing.end());
  return listing;
}

#ifndef _WIN32

std::string RunPython(const std::string& program, const std::vector<std::string>& args) {
  std::string command = "PYTHONIOENCODING=utf-8 python3 -c " + peer_tools::Quote(program);
  for (const std::string& a : args) command += " " + peer_tools::Quote(a);
  std::string output;
  if (peer_tools::Run(command, output) != 0) throw std::runtime_error("python failed: " + output);
  return output;
}

std::vector<Listed> PythonListing(const std::string& archive) {
  const std::string program = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    for i in z.infolist():
        y, mo, d, h, mi, s = i.date_time
        dos = ((y - 1980) << 25) | (mo << 21) | (d << 16) | (h << 11) | (mi << 5) | (s // 2)
        print('\t'.join(str(v) for v in [i.filename, int(i.is_dir()), i.compress_size, i.file_size, i.CRC,
                                          i.compress_type, dos, i.header_offset]))
)";
  const std::string output = RunPython(program, {archive});
  std::vector<Listed> listing;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    Listed e;
    std::string folder, packed, unpacked, crc, method, dos, offset;
    std::getline(fields, e.path, '\t');
    fields >> folder >> packed >> unpacked >> crc >> method >> dos >> offset;
    e.folder = folder == "1";
    e.packed = static_cast<std::uint32_t>(std::stoul(packed));
    e.unpacked = static_cast<std::uint32_t>(std::stoul(unpacked));
    e.crc = static_cast<std::uint32_t>(std::stoul(crc));
    e.method = std::stoi(method);
    e.dosTime = static_cast<std::uint32_t>(std::stoul(dos));
    e.headerOffset = static_cast<std::uint32_t>(std::stoul(offset));
    listing.push_back(e);
  }
  std::sort(listing.begin(), listing.end());
  return listing;
}

#endif

}  // namespace archive_fixtures
