#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/keys/combo_model.h"
#include "core/keys/key_codes.h"

using namespace orlix;
using namespace orlix::keys;

namespace {

constexpr uint32_t kRelease = 0x80;

struct KeyEvent {
  unsigned vk;
  uint32_t flags;
};

struct ComboCase {
  const char* name;
  std::vector<ComboModel::Box> clicked;  // boxes ticked with the mouse first
  std::vector<KeyEvent> events;
  uint32_t code;
};

class ComboCases : public ::testing::TestWithParam<ComboCase> {};

}  // namespace

TEST_P(ComboCases, CaptureGivesTheCode) {
  const ComboCase& c = GetParam();
  ComboModel m;
  for (auto b : c.clicked) m.toggle(b);
  for (const auto& e : c.events) m.onKeyEvent(e.vk, e.flags);
  EXPECT_EQ(m.code(), c.code);
  SettingResult r{0x1234, 0, u"kept"};
  m.fillResult(r);
  EXPECT_EQ(r.code, c.code);
  EXPECT_EQ(r.category, kCategoryCombination);
  EXPECT_EQ(r.text, u"kept");
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComboCases,
    ::testing::Values(
        ComboCase{"CtrlThenC", {}, {{0xA2, 0}, {0x43, 0}, {0x43, kRelease}, {0xA2, kRelease}}, 0x06010002},
        ComboCase{"CtrlPressedTwiceIsClear", {}, {{0xA2, 0}, {0xA2, kRelease}, {0xA2, 0}, {0xA2, kRelease}}, 0},
        ComboCase{"AltAndWinAloneGiveLeftAlt", {}, {{0xA4, 0x20}, {0x5B, 0x01}}, 0x00E20001},
        ComboCase{"WinAndCtrlGiveLeftWin", {}, {{0x11, 0}, {0x5C, 0x01}}, 0x00E30001},
        ComboCase{"ShiftAloneGivesLeftShift", {}, {{0xA0, 0}}, 0x00E10001},
        ComboCase{"NumEnterIsEnter", {}, {{0x0D, 0x01}}, 0x00280001},
        ComboCase{"KeyWithoutUsageIsNothing", {}, {{0x2B, 0}}, 0},
        ComboCase{"WinBoxTickedThenD", {ComboModel::kWin}, {{0x44, 0}}, 0x07080002},
        ComboCase{"CtrlShiftA", {}, {{0xA2, 0}, {0xA0, 0}, {0x41, 0}}, 0x04030002},
        // A release flag on a modifier (any bit outside 0x31) leaves the box alone.
        ComboCase{"ModifierWithOtherFlagIgnored", {}, {{0xA3, 0x02}, {0x41, 0}}, 0x00040001},
        // The last ordinary key wins, on press and release alike.
        ComboCase{"LastKeyWins", {}, {{0x41, 0}, {0x42, kRelease}}, 0x00050001}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ComboModel, EveryAcceptedModifierFlagInvertsTheBox) {
  for (uint32_t f : {0x00u, 0x01u, 0x10u, 0x11u, 0x20u, 0x21u}) {
    ComboModel m;
    EXPECT_EQ(m.onKeyEvent(0x12, f), ComboModel::KeyEffect::BoxToggled) << f;
    EXPECT_TRUE(m.checked(ComboModel::kAlt)) << f;
  }
  for (uint32_t f : {0x80u, 0x81u, 0x02u, 0xA1u}) {
    ComboModel m;
    EXPECT_EQ(m.onKeyEvent(0x12, f), ComboModel::KeyEffect::Ignored) << f;
    EXPECT_FALSE(m.checked(ComboModel::kAlt)) << f;
  }
}

TEST(ComboModel, CapturedKeyIsNamedByTheLayout) {
  struct Letters : KeyboardLayout {
    char32_t characterOf(uint8_t vk) override { return vk >= 'A' && vk <= 'Z' ? char32_t(vk - 'A' + 'a') : 0; }
  } layout;
  ComboModel m;
  EXPECT_EQ(m.capturedName(layout), u"");
  EXPECT_EQ(m.onKeyEvent(0x0D, 0x01), ComboModel::KeyEffect::KeyCaptured);
  EXPECT_EQ(m.capturedName(layout), u"Enter");
  m.onKeyEvent(0x41, 0);
  EXPECT_EQ(m.capturedName(layout), u"A");
}
