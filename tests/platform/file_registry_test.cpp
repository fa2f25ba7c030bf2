#include "platform/file_registry.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace orlix::platform {
namespace {

using test::TempDir;
using Bytes = std::vector<uint8_t>;

TEST(FileRegistry, OneFilePerValueUnderTheSettingsFolder) {
  TempDir t;
  FileRegistry reg(t / "cfg");
  EXPECT_FALSE(reg.read(kProfileRegistryKey, kProfileRegistryValue));

  Bytes table(8700, 0);
  table[4] = 1;
  ASSERT_TRUE(reg.write(kProfileRegistryKey, kProfileRegistryValue, table));
  ASSERT_TRUE(reg.write(kLanguageRegistryKey, kLanguageRegistryValue, {2, 0, 0, 0}));

  EXPECT_EQ(test::readBytes(t / "cfg/Software/ULMORA/OrlixRGB/ConfigInfo"), table);
  EXPECT_EQ(test::readBytes(t / "cfg/Software/ULMORA/OrlixCfg/LANGUAGE/Language"), (Bytes{2, 0, 0, 0}));
  EXPECT_EQ(reg.read(kProfileRegistryKey, kProfileRegistryValue), table);

  // A later write replaces the value as a whole, also with fewer bytes.
  ASSERT_TRUE(reg.write(kProfileRegistryKey, kProfileRegistryValue, {7}));
  EXPECT_EQ(reg.read(kProfileRegistryKey, kProfileRegistryValue), (Bytes{7}));
  ASSERT_TRUE(reg.write(kProfileRegistryKey, kProfileRegistryValue, {}));
  EXPECT_EQ(reg.read(kProfileRegistryKey, kProfileRegistryValue), Bytes{});
}

TEST(FileRegistry, KeyThatCannotBeCreatedFailsAndKeepsNothing) {
  TempDir t;
  // The settings folder itself cannot be made: a file stands in its place.
  test::writeText(t / "cfg", "not a folder");
  FileRegistry blocked(t / "cfg");
  EXPECT_FALSE(blocked.write(kLanguageRegistryKey, kLanguageRegistryValue, {1, 0, 0, 0}));
  EXPECT_FALSE(blocked.read(kLanguageRegistryKey, kLanguageRegistryValue));

  // One level of the key is taken by a file: that key fails, others still work.
  FileRegistry reg(t / "ok");
  test::writeText(t / "ok/Software/ULMORA/OrlixCfg", "in the way");
  EXPECT_FALSE(reg.write(kLanguageRegistryKey, kLanguageRegistryValue, {1, 0, 0, 0}));
  EXPECT_TRUE(reg.write(kProfileRegistryKey, kProfileRegistryValue, {1}));
}

TEST(FileRegistry, FailedWriteLeavesTheOldValue) {
  TempDir t;
  FileRegistry reg(t.path());
  ASSERT_TRUE(reg.write("K", "V", {1, 2, 3}));
  // A subkey whose folder would have to replace the value's file cannot be made.
  EXPECT_FALSE(reg.write("K\\V", "W", {9}));
  EXPECT_EQ(reg.read("K", "V"), (Bytes{1, 2, 3}));
  // A value whose file would have to replace a key's folder cannot be written.
  ASSERT_TRUE(reg.write("K\\Sub", "X", {4}));
  EXPECT_FALSE(reg.write("K", "Sub", {5}));
  EXPECT_FALSE(reg.read("K", "Sub"));
  EXPECT_EQ(reg.read("K\\Sub", "X"), (Bytes{4}));
}

TEST(FileRegistry, NamesStayInsideTheFolderAndApart) {
  TempDir t;
  FileRegistry reg(t / "cfg");
  struct Case {
    std::string key, value;
  };
  const Case cases[] = {
      {"..\\..\\escape", "v"}, {"a/b", "v"},  {"K", ".."},  {"K", "."},     {"K", "a/b"},
      {"K", ""},               {"K", "@"},    {"K", "%40"}, {"K", "%2F"},   {"Q\\.", "v"},
      {"K\\\\\\", "v2"},       {"K\\%25", "v"},
  };
  // Every case gets its own file below the folder, and its own value.
  for (size_t i = 0; i < std::size(cases); ++i) {
    auto& c = cases[i];
    auto file = reg.pathOf(c.key, c.value);
    auto rel = file.lexically_relative(t / "cfg");
    EXPECT_FALSE(rel.empty() || *rel.begin() == "..") << c.key << " / " << c.value << " -> " << file;
    ASSERT_TRUE(reg.write(c.key, c.value, {uint8_t(i)})) << c.key << " / " << c.value;
  }
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(reg.read(cases[i].key, cases[i].value), (Bytes{uint8_t(i)})) << cases[i].key << " / " << cases[i].value;
  EXPECT_FALSE(std::filesystem::exists(t / "escape"));
  // A key's unnamed value is the file "@"; doubled backslashes add no level.
  EXPECT_EQ(reg.pathOf("K", ""), t / "cfg/K/@");
  EXPECT_EQ(reg.pathOf("A\\\\B\\", "v"), t / "cfg/A/B/v");
}

}  // namespace
}  // namespace orlix::platform
