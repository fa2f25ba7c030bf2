#include <gtest/gtest.h>

#include "core/config/config_image.h"
#include "core/lighting/effect_page_models.h"
#include "core/lighting/palette_model.h"

using namespace orlix;
using namespace orlix::lighting;

TEST(PaletteModel, EachSliderSetsOneComponent) {
  struct Row {
    int id;
    uint32_t expected;
  };
  for (Row r : {Row{775, rgb(10, 200, 0)}, Row{776, rgb(255, 10, 0)}, Row{777, rgb(255, 200, 10)}}) {
    PaletteModel p;
    EXPECT_TRUE(p.slider(10, r.id));
    EXPECT_EQ(p.colour(), r.expected) << r.id;
  }
  PaletteModel p;
  EXPECT_FALSE(p.slider(10, 1002));
  EXPECT_EQ(p.colour(), rgb(255, 200, 0));
}

TEST(PaletteModel, OnlyClicksInsideTheWheelPick) {
  // The wheel's box is (224, 51, 319, 145): its corners lie outside the ellipse.
  EXPECT_TRUE(PaletteModel::insideWheel(271, 98));
  EXPECT_TRUE(PaletteModel::insideWheel(224, 98));
  EXPECT_TRUE(PaletteModel::insideWheel(318, 98));
  EXPECT_FALSE(PaletteModel::insideWheel(319, 98));
  EXPECT_FALSE(PaletteModel::insideWheel(223, 98));
  EXPECT_TRUE(PaletteModel::insideWheel(271, 51));
  EXPECT_FALSE(PaletteModel::insideWheel(271, 50));
  EXPECT_FALSE(PaletteModel::insideWheel(226, 53));
  EXPECT_FALSE(PaletteModel::insideWheel(316, 142));

  PaletteModel p;
  EXPECT_FALSE(p.pick(226, 53, rgb(1, 2, 3)));
  EXPECT_EQ(p.colour(), rgb(255, 200, 0));
  EXPECT_TRUE(p.pick(271, 98, 0xFF030201u));  // alpha of the read pixel dropped
  EXPECT_EQ(p.colour(), rgb(1, 2, 3));
}

TEST(PaletteModel, WritesBackByKindAndIndex) {
  auto image = makeConfigImage();
  RecordingNotices notices;
  struct Row {
    int button, kind, index;
    int swatch;     // written swatch, -1 none
    int colour;     // 0 colour 1, 1 colour 2, -1 none
  };
  const Row rows[] = {
      {kButtonBreathing, kPaletteBreathing, 1, 1, 1}, {kButtonBreathing, kPaletteBreathing, 2, -1, -1},
      {kButtonSingle, kPaletteSingle, 0, 0, 0},       {kButtonSingle, kPaletteSingle, 2, -1, -1},
      {kButtonAlwaysOn, kPaletteAlwaysOn, 1, 0, 0},   {kButtonAlwaysOn, kPaletteAlwaysOn, 0, -1, -1},
      {kButtonSingle, kPaletteNone, 0, -1, -1},
  };
  const uint32_t picked = rgb(9, 8, 7);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.kind * 10 + r.index);
    EffectPageModel owner(r.button, {*image, notices, TextSource{}, nullptr, nullptr});
    EffectPageModel before = owner;
    PaletteModel p({r.kind, r.index, picked});
    p.writeBack(owner);
    for (int i = 0; i < owner.info().swatchCount; ++i)
      EXPECT_EQ(owner.swatchColour(i), i == r.swatch ? picked : before.swatchColour(i)) << i;
    EXPECT_EQ(owner.settings().colour1, r.colour == 0 ? picked : before.settings().colour1);
    EXPECT_EQ(owner.settings().colour2, r.colour == 1 ? picked : before.settings().colour2);
  }
}

TEST(PaletteModel, AlwaysOnOpensItWithItsColourAtIndexOne) {
  auto image = makeConfigImage();
  RecordingNotices notices;
  EffectPageModel always(kButtonAlwaysOn, {*image, notices, TextSource{}, nullptr, nullptr});
  PaletteModel p(always.swatchRequest(0));
  EXPECT_EQ(p.kind(), kPaletteAlwaysOn);
  EXPECT_EQ(p.index(), 1);
  EXPECT_EQ(red(p.colour()), 255);
  EXPECT_EQ(green(p.colour()), 200);
  EXPECT_EQ(blue(p.colour()), 0);
}
