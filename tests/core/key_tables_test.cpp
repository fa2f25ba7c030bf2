#include <gtest/gtest.h>

#include <set>

#include "core/config/config_image.h"
#include "core/keys/key_codes.h"
#include "core/keys/key_index.h"
#include "core/keys/key_picture_map.h"
#include "core/keys/usage_map.h"
#include "core/lighting/lighting_key_map.h"

using namespace orlix;
using namespace orlix::keys;

TEST(UsageMap, FirstMatchLookups) {
  struct {
    uint8_t usage, vk;
  } toVk[] = {{0x58, 0x0D}, {0xF1, 0x02}, {0x00, 0x00}, {0x29, 0x1B}, {0x62, 0x60}, {0x32, 0x00}, {0x64, 0x00}};
  for (auto c : toVk) EXPECT_EQ(usageToVk(c.usage), c.vk) << int(c.usage);
  struct {
    uint8_t vk, usage;
  } toUsage[] = {{0x0D, 0x28}, {0x10, 0x00}, {0x11, 0x00}, {0x12, 0x00}, {0x5C, 0xE7}, {0x04, 0xF2}};
  for (auto c : toUsage) EXPECT_EQ(vkToUsage(c.vk), c.usage) << int(c.vk);
}

TEST(KeyCodes, ConstructorsAndDecoders) {
  EXPECT_EQ(combination(kModAlt, 0x3D), 0x3D040002u);   // Alt+F4
  EXPECT_EQ(combination(kModWin, 0x0F), 0x0F080002u);   // Win+L
  EXPECT_EQ(combination(kModCtrl, 0x09), 0x09010002u);  // Ctrl+F
  EXPECT_EQ(combination(kModCtrl | kModShift, 0x04), 0x04030002u);
  EXPECT_EQ(consumerUsage(consumer(0x0183)), 0x0183);
  EXPECT_EQ(hostFunction(9), 0xC9000003u);
  EXPECT_TRUE(isMacro(kMacroCode));
  EXPECT_TRUE(isMacro(placedMacro(2)));
  EXPECT_EQ(placedMacro(2), 0x00030005u);
  EXPECT_EQ(mouseDoubleClick(), 0x01F00001u);
}

TEST(DefaultKeyTable, KnownEntries) {
  auto t = defaultKeyTable();
  const int fkeys[] = {11, 17, 23, 29, 35, 41, 47, 53, 59, 65, 71, 77};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(t[size_t(fkeys[i])], plainKey(uint8_t(0x3A + i)));
  for (int k : {18, 24, 36, 42, 72}) EXPECT_EQ(t[size_t(k)], 0u);
  for (int k = 126; k < 181; ++k) EXPECT_EQ(t[size_t(k)], 0u);
  EXPECT_EQ(t[73], 0x00640000u);
  EXPECT_EQ(t[113], 0xE2000004u);
  EXPECT_EQ(t[125], 0x4C200004u);
  EXPECT_EQ(t[0], 0x00E00001u);
}

TEST(KeyIndex, NamesAndTokens) {
  EXPECT_EQ(keyIndexInfo(0).name, "Left Ctrl");
  EXPECT_EQ(keyIndexInfo(18).name, "left column key 1");
  EXPECT_EQ(keyIndexInfo(78).name, "");
  EXPECT_FALSE(keyIndexInfo(73).hasButton);
  EXPECT_EQ(keyIndexFromToken("Esc"), 5);
  EXPECT_EQ(keyIndexFromToken("1"), 10);   // the key "1"
  EXPECT_EQ(keyIndexFromToken("#1"), 1);   // index 1
  EXPECT_EQ(keyIndexFromToken("81"), 81);
  EXPECT_EQ(keyIndexFromToken("181"), std::nullopt);
  EXPECT_EQ(keyIndexFromToken("nope"), std::nullopt);
  // Every key with a code in the default table has a name and a unique token.
  auto t = defaultKeyTable();
  std::set<std::string_view> tokens;
  for (int k = 0; k < 126; ++k) {
    bool present = t[size_t(k)] != 0 || k == 18 || k == 24 || k == 36 || k == 42 || k == 72;
    EXPECT_EQ(present, !keyIndexInfo(k).name.empty()) << k;
    if (present) {
      EXPECT_TRUE(tokens.insert(keyIndexInfo(k).token).second) << k;
      EXPECT_EQ(keyIndexFromToken(keyIndexInfo(k).token), k) << k;
    }
  }
}

TEST(KeyPictureMap, Walk) {
  const auto& map = keyPictureMap();
  int visited = 0;
  std::set<int> seen;
  for (int n = 0; n < kKeyPictureCount && !isEmptyPictureRecord(n); ++n) {
    ++visited;
    EXPECT_TRUE(seen.insert(map[size_t(n)].keyIndex).second) << n;
    EXPECT_TRUE(keyIndexInfo(map[size_t(n)].keyIndex).hasButton) << n;
  }
  EXPECT_EQ(visited, 109);
  EXPECT_TRUE(seen.count(0));
  for (int k : {18, 24, 36, 42, 72}) EXPECT_TRUE(seen.count(k));
  for (int k : {73, 80, 107, 113, 119, 125}) EXPECT_FALSE(seen.count(k));
  EXPECT_EQ(map[59].rect.bottom, 232);
  EXPECT_EQ(map[94].rect.bottom, 297);
  EXPECT_EQ(map[99].rect, (Rect{247, 266, 442, 297}));
}

TEST(LightingKeyMap, CodesAreUnique) {
  const auto& map = lighting::lightingKeyMap();
  std::set<uint32_t> codes;
  for (int i = 0; i < 112; ++i) EXPECT_TRUE(codes.insert(map[size_t(i)].ledCode).second) << i;
  EXPECT_EQ(map[112].ledCode, 0u);
  EXPECT_EQ(map[99].ledCode, 0u);
  EXPECT_EQ(map[0].ledCode, 0xA0u);
  EXPECT_EQ(map[111].rect, (Rect{812, 296, 845, 329}));
}
