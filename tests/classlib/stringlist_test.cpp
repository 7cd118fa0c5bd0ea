#include <gtest/gtest.h>

#include "classlib/exceptions.h"
#include "classlib/stringlist.h"

using classlib::TStringList;

TEST(StringList, KeepsOrderAndFindsWithoutCase) {
  TStringList list;
  list.Add("Beta");
  list.Add("alpha");
  list.Insert(0, "Gamma");
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0], "Gamma");
  EXPECT_EQ(list.IndexOf("ALPHA"), 2);
  EXPECT_EQ(list.IndexOf("delta"), -1);
  list.Delete(1);
  EXPECT_EQ(list, (TStringList{"Gamma", "alpha"}));
}

TEST(StringList, OutOfRangeIndexRaises) {
  TStringList list{"a"};
  EXPECT_THROW(list[1], classlib::EListError);
  EXPECT_THROW(list[-1], classlib::EListError);
  EXPECT_THROW(list.Delete(1), classlib::EListError);
  EXPECT_THROW(list.Insert(2, "x"), classlib::EListError);
}

TEST(StringList, TextFormEndsEachLine) {
  TStringList list{"eins", "", "drei"};
  EXPECT_EQ(list.Text(), "eins\r\n\r\ndrei\r\n");
  TStringList back;
  back.SetText(list.Text());
  EXPECT_EQ(back, list);
  back.SetText("a\nb\rc\r\n\r\nd");
  EXPECT_EQ(back, (TStringList{"a", "b", "c", "", "d"}));
  back.SetText("");
  EXPECT_EQ(back.Count(), 0);
}
