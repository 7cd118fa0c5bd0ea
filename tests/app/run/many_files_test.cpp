// A source of more files than an archive without Zip64 records holds.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/run/run_fixture.h"
#include "tests/support/host_python.h"
#include "tests/support/scripted_prompts.h"

using namespace run_testing;

namespace {

// Empty files made by the host, in folders of 1,000: through Wine they would take minutes.
const char kMakeFiles[] = R"PY(
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    folder = os.path.join(root, f"{i // 1000:03}")
    if i % 1000 == 0:
        os.makedirs(folder)
    open(os.path.join(folder, f"{i:05}.txt"), "wb").close()
)PY";

const char kRemoveFolder[] = "import shutil, sys\nshutil.rmtree(sys.argv[1])\n";

void RunHost(const char* script, const std::vector<std::string>& args) {
  std::string output;
  ASSERT_TRUE(testing_support::RunHostPython(script, args, output)) << output;
}

}  // namespace

class ManyFiles : public RunFixture {};

// Refused as soon as the files are collected, before the writer opens any of them or begins the
// archive (the writer's own refusal would come only then, in English): the reason names the
// number in German, in the log and the box alike, and the previous backup stays as it was.
TEST_F(ManyFiles, MoreThan65535FilesAreRefusedBeforeTheArchiveIsBegun) {
  MakeFile("src\\a.txt", "alpha");
  RunJob(Definition());
  const Files before = Snapshot(target);
  ASSERT_EQ(before.size(), 1u);
  const std::string many = source + "viele";
  RunHost(kMakeFiles, {testing_support::HostPath(many), "65535"});
  TakeLog();
  main.visible = true;
  testing_support::ScriptedPrompts prompts;
  prompts.AnswerNext(classlib::PromptResult::Ok);

  RunJob(Definition());

  const std::string reason = "Die Sicherung umfasst 65.536 Dateien; ein Backup kann h\xC3\xB6" "chstens 65.535 Dateien aufnehmen.";
  EXPECT_EQ(Snapshot(target), before);
  const std::string log = TakeLog();
  EXPECT_NE(log.find("Fehler:       Die Sicherung umfasst 65.536 Dateien; ein Backup kann h\xF6" "chstens 65.535 Dateien "
                     "aufnehmen.\r\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("Zip64"), std::string::npos) << log;
  EXPECT_EQ(log.substr(log.size() - std::string(kAborted).size()), kAborted) << log;
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find(reason), std::string::npos) << prompts.messages[0].text;
  RunHost(kRemoveFolder, {testing_support::HostPath(many)});
}
