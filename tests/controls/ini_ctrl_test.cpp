#include <gtest/gtest.h>

#include "controls/panels/vis_ini_ctrl.h"

using namespace controls;

namespace {

class CountingIniCtrl : public TVisIniCtrl {
 public:
  using TVisIniCtrl::TVisIniCtrl;
  mutable int queries = 0;

 protected:
  std::string QueryUserName() const override {
    ++queries;
    return "Anwender";
  }
};

}  // namespace

TEST(IniCtrl, Defaults) {
  TVisIniCtrl ini(nullptr);
  EXPECT_TRUE(ini.Common());
  EXPECT_EQ(ini.IniPrefix(), TVisPathPrefix::ppWindows);
  EXPECT_EQ(ini.MaxEntries(), 16);
  EXPECT_EQ(ini.RegRoot(), TVisRegRootKey::rpCurrentUser);
  EXPECT_EQ(ini.Target(), TVisIniTarget::itAuto);
  EXPECT_EQ(ini.EffectiveTarget(), TVisIniTarget::itRegistry);
  EXPECT_EQ(ini.EncKey(), 0x5E27);
  ini.SetTarget(TVisIniTarget::itIniFile);
  EXPECT_EQ(ini.EffectiveTarget(), TVisIniTarget::itIniFile);
  ini.SetTarget(TVisIniTarget::itAuto);
  EXPECT_EQ(ini.EffectiveTarget(), TVisIniTarget::itRegistry);
}

TEST(IniCtrl, FileNamesGetTheirExtension) {
  const struct {
    const char* given;
    const char* stored;
  } cases[] = {
      {"", ""},
      {"pack", "pack.INI"},
      {"pack.cfg", "pack.cfg"},
      {"pack.", "pack.INI"},
      {"pack.  ", "pack.INI"},
      {"C:\\alte.daten\\pack", "C:\\alte.daten\\pack.INI"},
      {"alte.daten\\pack.ini", "alte.daten\\pack.ini"},
  };
  TVisIniCtrl ini(nullptr);
  for (const auto& c : cases) {
    ini.SetIniFile(c.given);
    EXPECT_EQ(ini.IniFile(), c.stored) << c.given;
  }
}

TEST(IniCtrl, OneLetterPerEntryLimitsTheEntries) {
  TVisIniCtrl ini(nullptr);
  ini.SetMaxEntries(30);
  EXPECT_EQ(ini.MaxEntries(), 30);
  ini.SetAlphaCounter(true);
  EXPECT_EQ(ini.MaxEntries(), 26);
  ini.SetMaxEntries(30);
  EXPECT_EQ(ini.MaxEntries(), 26);
  ini.SetMaxEntries(20);
  EXPECT_EQ(ini.MaxEntries(), 20);
  ini.SetAlphaCounter(false);
  ini.SetMaxEntries(200);
  EXPECT_EQ(ini.MaxEntries(), 200);
}

TEST(IniCtrl, NetUserReadsTheNameOncePerSwitch) {
  CountingIniCtrl ini(nullptr);
  ini.SetNetUser(true);
  ini.SetNetUser(true);
  EXPECT_EQ(ini.queries, 1);
  EXPECT_EQ(ini.User(), "Anwender");
  ini.SetNetUser(false);
  EXPECT_EQ(ini.User(), "Anwender");
  ini.SetNetUser(true);
  EXPECT_EQ(ini.queries, 2);
}
