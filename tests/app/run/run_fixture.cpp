#include "tests/app/run/run_fixture.h"

#include "classlib/clock.h"
#include "classlib/wide.h"
#include "tests/support/host_python.h"
#include "zip/fs.h"

namespace run_testing {

const char kStartLines[] =
    "Uhrzeit:      05.03.2024 14:22\r\nTyp:          Instant Backup\r\nName:         Job\r\n"
    "Art:          Start der Durchf\xFChrung\r\n";
const char kCompleted[] =
    "Beendet um:   05.03.2024 14:22\r\nGrund:        Ende der Durchf\xFChrung\r\n"
    "-------------------------------------------------------------------------\r\n";
const char kAborted[] =
    "Beendet um:   05.03.2024 14:22\r\nGrund:        Abbruch der Durchf\xFChrung\r\n"
    "-------------------------------------------------------------------------\r\n";

namespace {

const char kPeerCheck[] = R"(import os, shutil, subprocess, sys, tempfile, zipfile

def fail(what, result):
    print(what + ': ' + result.stdout + result.stderr)
    sys.exit(1)

def run(command):
    return subprocess.run(command, capture_output=True, text=True, stdin=subprocess.DEVNULL)

password, files = sys.argv[1], sys.argv[2:]
work = tempfile.mkdtemp()
try:
    target = files[0]
    if len(files) > 1:
        for i, f in enumerate(files[:-1]):
            shutil.copy(f, os.path.join(work, 'set.z%02d' % (i + 1)))
        shutil.copy(files[-1], os.path.join(work, 'set.zip'))
        target = os.path.join(work, 'joined.zip')
        r = run(['zip', '-q', '-s', '0', os.path.join(work, 'set.zip'), '--out', target])
        if r.returncode: fail('zip -s 0', r)
    r = run(['unzip', '-t'] + (['-P', password] if password else []) + [target])
    if r.returncode: fail('unzip -t', r)
    if password:
        z = zipfile.ZipFile(target)
        z.setpassword(password.encode('latin-1'))
        if z.testzip() is not None: print('zipfile: bad entry'); sys.exit(1)
    else:
        r = run(['python3', '-m', 'zipfile', '-t', target])
        if r.returncode: fail('python3 -m zipfile -t', r)
    r = run(['7z', 't'] + (['-p' + password] if password else []) + [target])
    if r.returncode: fail('7z t', r)
    z = zipfile.ZipFile(target)
    if password: z.setpassword(password.encode('latin-1'))
    for info in sorted(z.infolist(), key=lambda i: i.filename):
        data = z.read(info)
        print(info.filename + '\t' + (data.decode('latin-1') if len(data) <= 64 else '%d bytes' % len(data)))
finally:
    shutil.rmtree(work)
)";

}  // namespace

Files Snapshot(const std::string& folder) {
  Files files;
  zip::fs::FindData entry;
  const zip::fs::FindHandle h = zip::fs::FindFirst(folder, entry);
  if (h == zip::fs::kInvalidHandle) return files;
  do {
    if ((entry.attributes & zip::fs::kAttrDirectory) == 0)
      files[entry.name] = testing_support::ReadFile(testing_support::Join(folder, entry.name));
  } while (zip::fs::FindNext(h, entry));
  zip::fs::FindClose(h);
  return files;
}

std::string EntryName(const std::string& path) {
  std::string name = path.substr(3);
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

std::string PeerListing(const std::vector<std::string>& files, const std::string& password) {
  std::vector<std::string> args = {password};
  for (const std::string& file : files) args.push_back(testing_support::HostPath(file));
  std::string output;
  EXPECT_TRUE(testing_support::RunHostPython(kPeerCheck, args, output)) << output;
  return output;
}

RunFixture::RunFixture() {
  SetNow(5, 14, 22);
  zip::fs::MakeDirectory(source);
  zip::fs::MakeDirectory(target);
  main.preventErrors = true;
  app::MainWindowHooks& h = app::MainWindow();
  h.SetSchedulerEnabled = [this](bool enabled) {
    main.schedulerEnabled = enabled;
    scheduler.SetTimerEnabled(enabled);
  };
  h.RecomputeRunningJobs = [this] {
    ++main.recomputedJobLists;
    scheduler.RecomputeRunningJobs();
  };
  app::System().ExitSystem = [this](unsigned flags) {
    exits.push_back(flags);
    return true;
  };
  app::System().OpenFile = [this](const std::string& file) {
    opened.push_back(file);
    return true;
  };
}

RunFixture::~RunFixture() {
  app::System() = app::SystemActions();
  delete progress;
  delete popup;
  delete recover;
}

void RunFixture::SetNow(int day, int hour, int minute, int second) {
  now = classlib::EncodeDate(2024, 3, day) + classlib::EncodeTime(hour, minute, second, 0);
  classlib::SetClockForTesting([this] { return now; });
}

app::BackupDefinition RunFixture::Definition(const std::string& name) const {
  return app_testing::FolderJob(name, source, target);
}

std::string RunFixture::MakeFile(const std::string& relative, const std::string& content, int day) {
  const std::string path = dir / relative;
  for (std::size_t at = path.find('\\', dir.Path().size() + 1); at != std::string::npos; at = path.find('\\', at + 1))
    zip::fs::MakeDirectory(path.substr(0, at));
  testing_support::WriteFile(path, content);
  const classlib::TDateTime date = classlib::EncodeDate(2024, 3, day) + classlib::EncodeTime(9, 30, 0, 0);
  EXPECT_TRUE(zip::fs::SetFileDate(path, classlib::DateTimeToFileDate(date))) << path;
  return path;
}

void RunFixture::RunJob(const app::BackupDefinition& def) {
  // Afresh, so no value of an earlier definition of the name stays.
  app::DeleteBackupDefinition(def.Title);
  app::WriteBackupDefinition(def);
  EXPECT_TRUE(scheduler.RunNow({def.Title}));
}

std::string RunFixture::TakeLog() {
  const std::string log = Log();
  const std::string fresh = log.substr(std::min(logRead_.size(), log.size()));
  logRead_ = log;
  return fresh;
}

}  // namespace run_testing
