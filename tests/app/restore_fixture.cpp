#include "tests/app/restore_fixture.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "classlib/wide.h"
#include "tests/support/host_python.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test.h"
#include "zip/fs.h"
#include "zip/path_strings.h"
#include "zip/zip_writer.h"

namespace restore_fixture {

namespace fsys = std::filesystem;
using testing_support::HostPath;
using testing_support::Join;

namespace {

// Makes the source tree (even seconds, so DOS dates hold them exactly; never midnight, which the
// list shows without a time) and the peers' archives.
const char kMakeBackups[] = R"PY(
import os, random, struct, subprocess, sys, time, zipfile
root = sys.argv[1]
RESERVED = ('conout$.txt', 'CONIN$', 'sub/CONIN$.log', 'CONOUT$', 'COM\u00b9', 'LPT\u00b2.txt', 'com\u00b3/x.txt',
            'Lpt\u00b9.log')
src = os.path.join(root, 'quelle')
rnd = random.Random(7)
tree = [
    ('klein.txt', b'Hallo Welt', (2019, 1, 2, 3, 4, 6)),
    ('leer.txt', b'', (2020, 2, 3, 4, 5, 8)),
    ('grenze.bin', bytes(rnd.randrange(256) for _ in range(1023)), (2021, 3, 4, 5, 6, 10)),
    ('genau.bin', bytes(rnd.randrange(256) for _ in range(1024)), (2022, 4, 5, 6, 7, 12)),
    ('Größe äö.txt', 'Prüfung äöüß\r\n'.encode('utf-8') * 40, (2022, 12, 24, 18, 30, 0)),
    ('Unterordner/bericht.txt', b''.join(b'Zeile %d des Berichts\r\n' % i for i in range(300)), (2023, 6, 7, 8, 9, 14)),
    ('Unterordner/nullen.bin', bytes(1200000), (2023, 7, 8, 9, 10, 16)),
    ('Unterordner/Tiefer/daten.bin', bytes(rnd.randrange(256) for _ in range(70000)), (2024, 1, 31, 23, 59, 58)),
]
def path_of(name):
    return os.path.join(src, *name.split('/'))
for name, data, when in tree:
    os.makedirs(os.path.dirname(path_of(name)), exist_ok=True)
    with open(path_of(name), 'wb') as f:
        f.write(data)
    t = time.mktime(when + (0, 0, -1))
    os.utime(path_of(name), (t, t))
with zipfile.ZipFile(os.path.join(root, 'python.zip'), 'w') as z:
    z.write(path_of('Unterordner'), 'Unterordner/')
    for i, (name, data, when) in enumerate(tree):
        z.write(path_of(name), name, compress_type=zipfile.ZIP_DEFLATED if i % 2 else zipfile.ZIP_STORED)
# Info-ZIP writes names in the host's code page without saying so: ASCII names only.
subprocess.run(['zip', '-q', '-r', '-P', 'Geheim1', os.path.join(root, 'infozip.zip'), '.', '-x', 'Gr*'],
               cwd=src, check=True)
stamp = (2021, 5, 6, 7, 8, 10)
with zipfile.ZipFile(os.path.join(root, 'unsicher.zip'), 'w') as z:
    for name in ('gut.txt', '../boese.txt', 'sub/../../auch-boese.txt'):
        z.writestr(zipfile.ZipInfo(name, stamp), name.encode())
damaged = os.path.join(root, 'beschaedigt.zip')
with zipfile.ZipFile(damaged, 'w') as z:
    for name in ('a.txt', 'b.txt', 'c.txt'):
        z.writestr(zipfile.ZipInfo(name, stamp), (name * 100).encode())
data = bytearray(open(damaged, 'rb').read())
open(os.path.join(root, 'intakt.zip'), 'wb').write(data)
def data_offset(archive, name):
    offset = zipfile.ZipFile(archive).getinfo(name).header_offset
    name_length, extra_length = struct.unpack_from('<HH', open(archive, 'rb').read(), offset + 26)
    return offset + 30 + name_length + extra_length
data[data_offset(damaged, 'b.txt') + 5] ^= 0xFF
open(damaged, 'wb').write(data)
# Deflated entries whose data is broken from its start: all zeros, and cut after its first byte.
broken = os.path.join(root, 'zerstoert.zip')
with zipfile.ZipFile(broken, 'w') as z:
    for name in ('a.txt', 'genullt.txt', 'gekappt.txt'):
        z.writestr(zipfile.ZipInfo(name, stamp), (name * 100).encode(), compress_type=zipfile.ZIP_DEFLATED)
data = bytearray(open(broken, 'rb').read())
start = data_offset(broken, 'genullt.txt')
size = zipfile.ZipFile(broken).getinfo('genullt.txt').compress_size
data[start:start + size] = bytes(size)
local = zipfile.ZipFile(broken).getinfo('gekappt.txt').header_offset
central = data.rfind(b'gekappt.txt') - 46
for at in (local + 18, central + 20):
    struct.pack_into('<I', data, at, 1)
open(broken, 'wb').write(data)
# Every name Windows keeps for a device, each followed by an ordinary file.
with zipfile.ZipFile(os.path.join(root, 'reserviert.zip'), 'w') as z:
    for i, name in enumerate(RESERVED):
        z.writestr(zipfile.ZipInfo(name, stamp), b'Ger\xc3\xa4t')
        z.writestr(zipfile.ZipInfo('nach-%d.txt' % i, stamp), b'danach %d' % i)
with zipfile.ZipFile(os.path.join(root, 'gleichnamig.zip'), 'w') as z:
    for name, data in (('Bericht.txt', b'erster'), ('bericht.TXT', b'zweiter'), ('name', b'eins'), ('name.', b'zwei'),
                       ('name ', b'drei')):
        z.writestr(zipfile.ZipInfo(name, stamp), data)
reasons = os.path.join(root, 'gruende.zip')
with zipfile.ZipFile(reasons, 'w') as z:
    for name in ('methode.txt', 'schreibgeschuetzt.txt', 'ordner/', 'gut.txt'):
        z.writestr(zipfile.ZipInfo(name, stamp), b'' if name.endswith('/') else name.encode())
data = bytearray(open(reasons, 'rb').read())
local = zipfile.ZipFile(reasons).getinfo('methode.txt').header_offset
central = data.rfind(b'methode.txt') - 46
for at in (local + 8, central + 10):
    struct.pack_into('<H', data, at, 99)
open(reasons, 'wb').write(data)
# Info-ZIP encrypts one file and adds another as it is; a wrong password whose check byte matches
# the encrypted one's, as about one in 256 do, passes the first check.
secret = os.path.join(root, 'geheim.zip')
os.makedirs(os.path.join(root, 'geheim'))
for name in ('geheim.txt', 'offen.txt'):
    with open(os.path.join(root, 'geheim', name), 'wb') as f:
        f.write(b'Inhalt von %s\r\n' % name.encode() * 50)
subprocess.run(['zip', '-q', '-P', 'Geheim3', secret, 'geheim.txt'], cwd=os.path.join(root, 'geheim'), check=True)
subprocess.run(['zip', '-q', secret, 'offen.txt'], cwd=os.path.join(root, 'geheim'), check=True)
info = zipfile.ZipFile(secret).getinfo('geheim.txt')
check = (info._raw_time >> 8) & 0xFF if info.flag_bits & 0x8 else info.CRC >> 24
header = open(secret, 'rb').read()[data_offset(secret, 'geheim.txt'):][:12]
passing = next(p for p in ('falsch%d' % i for i in range(100000))
               if zipfile._ZipDecrypter(p.encode())(header)[11] == check)
print('PASSING\t' + passing)
print('RESERVED\t%d' % len(RESERVED))
)PY";

// The rows and the label of each archive, as Python's zipfile reads it; German number format.
const char kListBackups[] = R"PY(
import sys, zipfile
def kb(size):
    return max(1, size // 1024)
def german(value, decimals):
    return f'{value:,.{decimals}f}'.replace(',', '#').replace('.', ',').replace('#', '.')
for key, path in zip(sys.argv[1::2], sys.argv[2::2]):
    files = [i for i in zipfile.ZipFile(path).infolist() if not i.is_dir()]
    for i in files:
        folder, _, name = i.filename.rpartition('/')
        folder = folder.replace('/', '\\') + '\\' if folder else ''
        y, mo, d, h, mi, s = i.date_time
        print('\t'.join(['ROW', key, name, folder, str(kb(i.file_size)) + ' KB',
                         f'{d:02}.{mo:02}.{y} {h:02}:{mi:02}']))
    unpacked = german(sum(kb(i.file_size) for i in files) / 1024, 2)
    packed = german(sum(kb(i.compress_size) for i in files) / 1024, 2)
    print('\t'.join(['LABEL', key, f'Backup enthält {len(files)} Datei(en). Orig.: {unpacked} MB, kompr.: {packed} MB.']))
)PY";

void RunPython(const char* script, const std::vector<std::string>& args, std::string& output) {
  if (!testing_support::RunHostPython(script, args, output)) throw std::runtime_error("host Python failed: " + output);
}

// The tree below source as our writer stores it; split into parts of 30,000 bytes, with the last
// part renamed to the archive's name, as a backup run leaves a split backup.
void WriteOwnBackup(const std::string& source, const std::string& archive, const std::string& password, bool split) {
  zip::TZipWriter writer;
  writer.SetZipName(archive);
  writer.SetPassword(password);
  if (split) {
    writer.MultiZipInfo().MultiMode = zip::TMultiMode::mmBlocks;
    writer.MultiZipInfo().FirstBlockSize = 30000;
    writer.MultiZipInfo().BlockSize = 30000;
  }
  writer.SetRootDir(source);
  writer.SetRelativePaths(true);
  writer.SetAddDirEntriesOnRecurse(true);
  writer.FilesList().Add(Join(source, "*.*"));
  writer.ArchiveFiles();
  if (split && !MoveFileW(classlib::Widen(writer.ZipName()).c_str(), classlib::Widen(archive).c_str()))
    throw std::runtime_error("cannot rename the last part " + writer.ZipName());
}

Fixtures MakeFixtures(const std::string& folder) {
  std::string output;
  RunPython(kMakeBackups, {HostPath(folder)}, output);
  Fixtures f;
  f.source = Join(folder, "quelle");
  f.own = {Join(folder, "eigen.zip"), "Geheim2", {}, {}};
  f.infoZip = {Join(folder, "infozip.zip"), "Geheim1", {}, {}};
  f.python = {Join(folder, "python.zip"), "", {}, {}};
  f.unsafe = Join(folder, "unsicher.zip");
  f.damaged = Join(folder, "beschaedigt.zip");
  f.intact = Join(folder, "intakt.zip");
  f.broken = Join(folder, "zerstoert.zip");
  f.reserved = Join(folder, "reserviert.zip");
  f.sameNames = Join(folder, "gleichnamig.zip");
  f.reasons = Join(folder, "gruende.zip");
  f.secret = Join(folder, "geheim.zip");
  std::istringstream made(output);
  for (std::string line; std::getline(made, line);) {
    const std::size_t tab = line.find('\t');
    if (line.compare(0, tab, "PASSING") == 0) f.passingPassword = line.substr(tab + 1);
    if (line.compare(0, tab, "RESERVED") == 0) f.reservedCount = std::stoi(line.substr(tab + 1));
  }
  f.split = Join(folder, "teile.zip");
  WriteOwnBackup(f.source, f.split, "", true);
  f.cutSplit = Join(folder, "schnitt.zip");
  for (const char* extension : {".001", ".002", ".zip"}) {
    const std::string from = zip::ChangeFileExt(f.split, extension), to = zip::ChangeFileExt(f.cutSplit, extension);
    if (!CopyFileW(classlib::Widen(from).c_str(), classlib::Widen(to).c_str(), FALSE))
      throw std::runtime_error("cannot copy " + from);
  }
  const std::string firstPart = zip::ChangeFileExt(f.cutSplit, ".001");
  fsys::resize_file(fsys::u8path(firstPart), fsys::file_size(fsys::u8path(firstPart)) - 100);
  WriteOwnBackup(f.source, f.own.archive, f.own.password, true);
  if (!zip::fs::FileExists(Join(folder, "eigen.002")) || zip::fs::FileExists(Join(folder, "eigen.003")))
    throw std::runtime_error("the own backup is not a set of three parts");
  // Python cannot read a split set; the same tree written whole has the same entries and sizes.
  const std::string whole = Join(folder, "eigen-ganz.zip");
  WriteOwnBackup(f.source, whole, f.own.password, false);

  RunPython(kListBackups,
            {"own", HostPath(whole), "infoZip", HostPath(f.infoZip.archive), "python", HostPath(f.python.archive)},
            output);
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, '\t');) fields.push_back(field);
    if (fields.size() < 3) continue;
    Backup& backup = fields[1] == "own" ? f.own : fields[1] == "infoZip" ? f.infoZip : f.python;
    if (fields[0] == "LABEL") backup.label = fields[2];
    if (fields[0] == "ROW" && fields.size() == 6) backup.rows.push_back({fields[2], fields[3], fields[4], fields[5]});
  }
  return f;
}

}  // namespace

void PrintTo(const Row& row, std::ostream* out) {
  *out << "{" << row.name << " | " << row.folder << " | " << row.size << " | " << row.changed << "}";
}

const Fixtures& TheFixtures() {
  static testing_support::TempDir folder;
  static const Fixtures fixtures = MakeFixtures(folder.Path());
  return fixtures;
}

std::string SourceOf(const Row& row) { return Join(TheFixtures().source, row.folder + row.name); }

std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fsys::recursive_directory_iterator(fsys::u8path(folder)))
    if (entry.is_regular_file()) files.push_back(entry.path().lexically_relative(fsys::u8path(folder)).u8string());
  std::sort(files.begin(), files.end());
  return files;
}

void ExpectRestored(const std::vector<Row>& rows, const std::string& dest, bool keepFolders) {
  std::vector<std::string> expected;
  for (const Row& row : rows) {
    const std::string relative = (keepFolders ? row.folder : std::string()) + row.name;
    expected.push_back(relative);
    const std::string restored = Join(dest, relative);
    ASSERT_TRUE(zip::fs::FileExists(restored)) << restored;
    EXPECT_TRUE(testing_support::ReadFile(restored) == testing_support::ReadFile(SourceOf(row))) << restored;
    std::uint32_t restoredDate = 0, sourceDate = 0;
    EXPECT_TRUE(zip::fs::FileAge(restored, restoredDate) && zip::fs::FileAge(SourceOf(row), sourceDate));
    EXPECT_EQ(restoredDate, sourceDate) << restored;
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FilesBelow(dest), expected);
}

RestoreWindows::RestoreWindows() {
  host = new classlib::TForm(nullptr);
  host->SetCaption("Orvanta");
  host->SetClientSize(600, 346);
  page = new app::TRestorePage(host);
  page->SetParent(host);
  page->SetAlign(classlib::TAlign::alClient);
  extract = new app::TFormExtract(nullptr);
  page->SetExtractForm(extract);
  host->Show();
}

RestoreWindows::~RestoreWindows() {
  delete extract;
  delete host;
}

std::vector<Row> RestoreWindows::Rows() const {
  std::vector<Row> rows;
  classlib::TListItems& items = page->ListViewRestore->Items();
  for (int i = 0; i < items.Count(); ++i)
    rows.push_back({items[i]->Caption(), items[i]->SubItem(0), items[i]->SubItem(1), items[i]->SubItem(2)});
  return rows;
}

void RestoreWindows::ClickColumn(int column) {
  NMLISTVIEW header = {};
  header.hdr.hwndFrom = page->ListViewRestore->Handle();
  header.hdr.code = LVN_COLUMNCLICK;
  header.iSubItem = column;
  SendMessageW(page->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

}  // namespace restore_fixture
