#include <windows.h>

#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "classlib/exceptions.h"
#include "classlib/registry.h"
#include "tests/support/scratch_registry.h"

using classlib::ERegistryException;
using classlib::TRegistry;
using testing_support::ScratchRegistry;

namespace {

struct RawValue {
  DWORD type = 0;
  std::string bytes;
};

// Reads a value below the scratch key without the class under test.
RawValue Raw(HKEY root, const wchar_t* key, const wchar_t* name) {
  HKEY h;
  RawValue v;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return v;
  DWORD size = 0;
  RegQueryValueExW(h, name, nullptr, &v.type, nullptr, &size);
  v.bytes.resize(size);
  RegQueryValueExW(h, name, nullptr, &v.type, reinterpret_cast<BYTE*>(&v.bytes[0]), &size);
  RegCloseKey(h);
  return v;
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ERegistryException& e) {
    return e.what();
  }
  return "(nothing raised)";
}

}  // namespace

class Registry : public ::testing::Test {
 protected:
  ScratchRegistry scratch;
  TRegistry reg;
};

TEST_F(Registry, WritesEachKindWithItsRegistryType) {
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Kinds", true));
  reg.WriteString("Text", "Grüße");
  reg.WriteInteger("Number", -5);
  reg.WriteBool("Flag", true);
  reg.WriteDateTime("When", 46366.75);

  const RawValue text = Raw(scratch.Key(), L"Software\\Test\\Kinds", L"Text");
  EXPECT_EQ(text.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(text.bytes, std::string("G\0r\0\xFC\0\xDF\0" "e\0\0\0", 12));
  const RawValue number = Raw(scratch.Key(), L"Software\\Test\\Kinds", L"Number");
  EXPECT_EQ(number.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(number.bytes, std::string("\xFB\xFF\xFF\xFF", 4));
  const RawValue flag = Raw(scratch.Key(), L"Software\\Test\\Kinds", L"Flag");
  EXPECT_EQ(flag.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(flag.bytes, std::string("\x01\0\0\0", 4));
  const RawValue when = Raw(scratch.Key(), L"Software\\Test\\Kinds", L"When");
  EXPECT_EQ(when.type, static_cast<DWORD>(REG_BINARY));
  const double expected = 46366.75;
  EXPECT_EQ(when.bytes, std::string(reinterpret_cast<const char*>(&expected), 8));

  EXPECT_EQ(reg.ReadString("Text"), "Grüße");
  EXPECT_EQ(reg.ReadInteger("Number"), -5);
  EXPECT_TRUE(reg.ReadBool("Flag"));
  EXPECT_EQ(reg.ReadDateTime("When"), 46366.75);
}

TEST_F(Registry, MissingOrMistypedReadsRaiseExceptStrings) {
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test", true));
  reg.WriteString("Text", "x");
  reg.WriteInteger("Number", 1);
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_EQ(MessageOf([&] { reg.ReadInteger("Missing"); }), "Ungültiger Datentyp für 'Missing'");
  EXPECT_EQ(MessageOf([&] { reg.ReadBool("Text"); }), "Ungültiger Datentyp für 'Text'");
  EXPECT_EQ(MessageOf([&] { reg.ReadDateTime("Number"); }), "Ungültiger Datentyp für 'Number'");
  EXPECT_EQ(MessageOf([&] { reg.ReadString("Number"); }), "Ungültiger Datentyp für 'Number'");
}

TEST_F(Registry, PathsAreAbsoluteWithBackslashElseRelative) {
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Test");
  ASSERT_TRUE(reg.OpenKey("Child", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Test\\Child");
  reg.WriteInteger("v", 7);
  EXPECT_TRUE(reg.KeyExists("\\Software\\Test\\Child"));
  EXPECT_FALSE(reg.OpenKey("\\Software\\Nowhere", false));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Test\\Child");  // a failed open keeps the open key
  EXPECT_EQ(Raw(scratch.Key(), L"Software\\Test\\Child", L"v").bytes, std::string("\x07\0\0\0", 4));
}

TEST_F(Registry, ListsNamesAndDeletesWholeTrees) {
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Jobs\\Büro", true));
  reg.WriteString("a", "");
  reg.WriteString("C:\\Daten\\Brief.doc", "");
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Jobs\\Büro\\Files", true));
  reg.WriteString("x", "");
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Jobs\\Zuhause", true));

  ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Jobs", false));
  EXPECT_EQ(reg.GetKeyNames(), (classlib::TStringList{"Büro", "Zuhause"}));
  ASSERT_TRUE(reg.OpenKey("Büro", false));
  EXPECT_EQ(reg.GetValueNames(), (classlib::TStringList{"a", "C:\\Daten\\Brief.doc"}));
  EXPECT_TRUE(reg.DeleteValue("a"));
  EXPECT_FALSE(reg.ValueExists("a"));

  EXPECT_TRUE(reg.DeleteKey("\\Software\\Test\\Jobs\\Büro"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\Test\\Jobs\\Büro"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Test\\Jobs\\Zuhause"));
  EXPECT_FALSE(reg.DeleteKey("\\Software\\Test\\Jobs\\Büro"));
}

TEST_F(Registry, WritingWithoutAnOpenKeyRaises) {
  EXPECT_EQ(MessageOf([&] { reg.WriteInteger("v", 1); }), "Fehler beim Setzen der Daten für 'v'");
}
