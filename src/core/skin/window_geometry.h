#pragma once
// Where the controls of every skinned window sit, and how large each window's
// images are. The windows create their controls from these tables and the skin
// generator draws each control's look at the same place, so a control always
// covers its own picture. Rectangles are window client pixels, right and bottom
// exclusive; polygons list their corners in drawing order.

#include <algorithm>
#include <array>

#include "core/geometry/rect.h"

namespace orlix::skin {

struct Point {
  int x = 0, y = 0;
  constexpr bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0, height = 0;
  constexpr bool operator==(const Size&) const = default;
};

using Quad = std::array<Point, 4>;

// Bounding box of a polygon, right and bottom exclusive.
constexpr Rect boundsOf(const Quad& q) {
  Rect r{q[0].x, q[0].y, q[0].x, q[0].y};
  for (const Point& p : q) {
    r.left = std::min(r.left, p.x);
    r.top = std::min(r.top, p.y);
    r.right = std::max(r.right, p.x);
    r.bottom = std::max(r.bottom, p.y);
  }
  return r;
}

constexpr Rect rectXYWH(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

// Transparent outside colour of shaped windows: RGB(255, 0, 253).
inline constexpr unsigned kKeyColourRed = 255, kKeyColourGreen = 0, kKeyColourBlue = 253;

// The main window: skins/Config/Orlix_Frame_*.bmp.
namespace main_frame {
inline constexpr Size kSize{960, 642};
inline constexpr Rect kMinimize{888, 3, 921, 34};
inline constexpr Rect kClose{923, 3, 956, 35};
// Tabs: keyboard, lighting, macro, support page.
inline constexpr std::array<Quad, 4> kTabs{{
    {{{30, 84}, {222, 84}, {245, 121}, {30, 121}}},
    {{{229, 84}, {463, 84}, {485, 121}, {251, 121}}},
    {{{471, 84}, {706, 84}, {728, 121}, {493, 121}}},
    {{{713, 84}, {927, 84}, {927, 121}, {734, 121}}},
}};
inline constexpr std::array<int, 4> kTabHints{6, 7, 8, 10};
inline constexpr std::array<Quad, 5> kProfiles{{
    {{{344, 606}, {438, 606}, {414, 634}, {321, 635}}},
    {{{440, 606}, {534, 606}, {510, 634}, {417, 635}}},
    {{{534, 606}, {628, 606}, {605, 635}, {511, 635}}},
    {{{629, 606}, {724, 606}, {700, 635}, {606, 635}}},
    {{{724, 608}, {820, 608}, {797, 635}, {701, 635}}},
}};
inline constexpr std::array<int, 5> kProfileHints{0, 1, 2, 3, 4};
inline constexpr Quad kApply{{{837, 589}, {943, 589}, {943, 635}, {799, 635}}};
inline constexpr int kApplyHint = 5;
inline constexpr Rect kLanguage{15, 617, 57, 635};
inline constexpr Rect kLanguagePicture = rectXYWH(19, 592, 37, 22);
inline constexpr Rect kStatusArea{67, 598, 300, 628};
inline constexpr Point kPageOrigin{17, 128};
}  // namespace main_frame

// The four pages of the main window share one size: the keyboard page's image.
namespace page {
inline constexpr Size kSize{925, 457};
}

// Keyboard page: skins/Keyboard/Orlix_Main_*.bmp; its key buttons are the key
// picture map (core/keys/key_picture_map.h).

// Lighting page: skins/Light/Orlix_Light_*.bmp; its light buttons are the lighting
// key map (core/lighting/lighting_key_map.h). The keyboard overlay
// skins/Light/Orlix_KeyBoard.png has the page's size.
namespace lighting_page {
// Effect buttons: seven-colour, strength, wave, breathing, single, always-on.
inline constexpr std::array<Quad, 6> kEffectButtons{{
    {{{39, 408}, {197, 408}, {170, 446}, {12, 446}}},
    {{{202, 408}, {374, 408}, {347, 446}, {176, 446}}},
    {{{379, 408}, {499, 408}, {472, 446}, {351, 446}}},
    {{{503, 408}, {624, 408}, {598, 446}, {477, 446}}},
    {{{629, 408}, {786, 408}, {760, 446}, {602, 446}}},
    {{{794, 408}, {914, 408}, {887, 446}, {767, 446}}},
}};
inline constexpr std::array<int, 6> kEffectHints{53, 54, 56, 30, 55, 29};
inline constexpr Rect kSelectAll{828, 23, 906, 48};
inline constexpr Rect kShowToggle{98, 374, 118, 386};
}  // namespace lighting_page

// Key setting panel: skins/Set/setting/Setting_*.bmp.
namespace setting_panel {
inline constexpr Size kSize{414, 300};
inline constexpr Rect kClose{383, 1, 411, 24};
inline constexpr Rect kComboTab{0, 37, 110, 64};
inline constexpr Rect kMacroTab{111, 37, 207, 64};
inline constexpr Rect kBaseTab{208, 37, 303, 64};
inline constexpr Rect kPageArea{21, 74, 391, 243};
inline constexpr Rect kDisableBox{23, 258, 42, 277};
inline constexpr Rect kRestore{238, 254, 315, 289};
inline constexpr Rect kOk{316, 254, 393, 289};
inline constexpr Rect kTitle{135, 1, 277, 20};
inline constexpr Rect kCurrentFunction{5, 16, 180, 38};
inline constexpr Rect kDisableLabel{46, 258, 106, 278};
}  // namespace setting_panel

// The three pages inside the key setting panel have the page area's size.
namespace panel_page {
inline constexpr Size kSize{370, 169};
}

// Base page: skins/Set/base/Base_*.bmp.
namespace base_page {
inline constexpr Rect kList{0, 0, 372, 171};
}

// Combination page: skins/Set/combo/Combo_*.bmp.
namespace combo_page {
inline constexpr Rect kCtrl{59, 45, 72, 58};
inline constexpr Rect kAlt{59, 70, 72, 83};
inline constexpr Rect kShift{59, 94, 72, 108};
inline constexpr Rect kWin{58, 119, 72, 133};
inline constexpr Rect kCaptureArea{168, 77, 328, 102};
inline constexpr Rect kCaptureText{169, 78, 310, 99};
}  // namespace combo_page

// Macro set tab: skins/Set/macro/Macro_*.bmp.
namespace macro_set_tab {
inline constexpr Rect kGameList{1, 1, 184, 168};
inline constexpr Rect kMacroList{188, 1, 369, 168};
}  // namespace macro_set_tab

// Effect pages: skins/Light/<effect>/<name>_*.bmp.
namespace effect_page {
struct Buttons {
  Size size;
  Rect ok, cancel, apply;
};
inline constexpr Buttons kAlways{{320, 246}, {205, 162, 284, 188}, {205, 198, 284, 225}, {205, 127, 284, 152}};
inline constexpr Buttons kBreath{{466, 318}, {272, 274, 351, 301}, {362, 274, 440, 301}, {183, 274, 260, 301}};
inline constexpr Buttons kSeven{{466, 322}, {272, 274, 351, 307}, {361, 274, 440, 301}, {182, 230, 261, 301}};
inline constexpr Buttons kSingle{{466, 300}, {273, 257, 352, 284}, {361, 257, 440, 284}, {184, 257, 262, 284}};
inline constexpr Buttons kStrength{{446, 280}, {243, 234, 322, 261}, {334, 234, 412, 261}, {153, 234, 231, 261}};
inline constexpr Buttons kWave{{430, 262}, {213, 216, 292, 243}, {321, 216, 399, 243}, {106, 216, 184, 243}};

inline constexpr Rect kAlwaysSwatch{52, 127, 149, 224};
inline constexpr std::array<Rect, 2> kBreathSwatches{{{195, 130, 222, 156}, {230, 130, 257, 156}}};
inline constexpr Rect kBreathSlider{219, 196, 360, 206};
inline constexpr int kBreathSliderId = 1003;
// Seven-colour options: the first button is option 2, the second option 1.
inline constexpr std::array<Rect, 2> kSevenOptions{{{112, 144, 124, 155}, {225, 144, 236, 155}}};
inline constexpr std::array<int, 2> kSevenOptionValues{2, 1};
inline constexpr std::array<Rect, 2> kSingleSwatches{{{207, 68, 240, 100}, {207, 125, 240, 158}}};
inline constexpr Rect kSingleSlider{230, 199, 370, 209};
inline constexpr int kSingleSliderId = 1004;
// Strength levels 1..6.
inline constexpr std::array<Rect, 6> kStrengthLevels{{{57, 133, 106, 162},
                                                      {118, 133, 167, 160},
                                                      {178, 134, 229, 161},
                                                      {241, 134, 288, 160},
                                                      {302, 134, 349, 160},
                                                      {365, 134, 413, 160}}};
inline constexpr std::array<Rect, 5> kWaveDirections{{{228, 106, 255, 134},
                                                      {264, 108, 292, 133},
                                                      {303, 108, 328, 134},
                                                      {340, 108, 365, 134},
                                                      {374, 106, 401, 134}}};
inline constexpr std::array<int, 5> kWaveDirectionTypes{3, 2, 6, 1, 5};
inline constexpr Rect kWaveSlider{225, 163, 367, 173};
inline constexpr int kWaveSliderId = 1002;
}  // namespace effect_page

// Palette dialog: skins/Light/Palette.bmp, one picture for everything.
namespace palette {
inline constexpr Size kSize{335, 200};
inline constexpr Rect kPreview{145, 16, 155, 24};
inline constexpr Rect kRed{90, 41, 183, 51};
inline constexpr Rect kGreen{90, 88, 183, 98};
inline constexpr Rect kBlue{90, 131, 183, 141};
inline constexpr int kRedId = 775, kGreenId = 776, kBlueId = 777;
inline constexpr Rect kOk{184, 166, 249, 190};
inline constexpr Rect kCancel{255, 166, 319, 190};
// The colour wheel fills the ellipse inside this box.
inline constexpr Rect kWheel{224, 51, 319, 145};
}  // namespace palette

// Macro page: skins/Macro/Macro_*.bmp.
namespace macro_page {
inline constexpr Rect kRecord{782, 20, 900, 53};
inline constexpr Rect kGame{25, 49, 326, 70};
inline constexpr Rect kMacroList{27, 89, 324, 405};
inline constexpr Rect kNewMacro{26, 412, 67, 440};
inline constexpr Rect kDeleteMacro{77, 412, 119, 440};
inline constexpr Rect kEventList{345, 51, 625, 405};
inline constexpr Rect kInsert{361, 412, 391, 440};
inline constexpr Rect kDeleteEvent{394, 412, 424, 440};
inline constexpr Rect kChange{427, 412, 457, 440};
inline constexpr Rect kDelayToggle{646, 59, 786, 79};
inline constexpr Rect kLoopCountOption{643, 86, 760, 105};
inline constexpr Rect kLoopCountBox{856, 89, 890, 100};
inline constexpr Rect kLoopHeldOption{643, 112, 895, 128};
inline constexpr Rect kLoopToggleOption{643, 131, 787, 152};
inline constexpr Rect kMouseLeft{715, 214, 741, 247};
inline constexpr Rect kMouseMiddle{756, 200, 778, 254};
inline constexpr Rect kMouseRight{789, 214, 822, 247};
inline constexpr Rect kKeyOption{641, 339, 786, 358};
inline constexpr Rect kKeyBox{666, 365, 821, 379};
inline constexpr Rect kKeyOk{852, 363, 892, 381};
inline constexpr Rect kDelayOption{640, 387, 801, 407};
inline constexpr Rect kDelayBox{666, 414, 821, 429};
inline constexpr Rect kDelayOk{852, 412, 892, 432};
}  // namespace macro_page

// Skinned menu of the macro page: skins/Menu/*.BMP, one item each.
namespace menu_skin {
inline constexpr int kItemHeight = 24;
inline constexpr Size kImageSize{160, 24};
}  // namespace menu_skin

// Support page: skins/Support/support_*.bmp.
namespace support_page {
inline constexpr Rect kDriverVersion{97, 261, 215, 295};
inline constexpr Rect kFirmwareVersion{403, 261, 521, 295};
inline constexpr Rect kWebSite{708, 261, 827, 295};
inline constexpr Rect kRestoreDefaults{781, 388, 875, 420};
inline constexpr Rect kImport{132, 387, 224, 421};
inline constexpr Rect kExport{232, 388, 324, 420};
inline constexpr int kDriverHint = 48, kFirmwareHint = 48, kWebHint = 49, kRestoreHint = 50, kImportHint = 51,
                     kExportHint = 52;
// Layout rectangles of the two version texts.
inline constexpr Rect kFirmwareText = rectXYWH(425, 169, 500, 192);
inline constexpr Rect kDriverText = rectXYWH(124, 169, 252, 192);
}  // namespace support_page

// Info dialog: bitmap resources 134..137, each of this size.
namespace info_dialog {
inline constexpr Size kSize{330, 172};
inline constexpr Rect kClose{300, 0, 329, 29};
inline constexpr Rect kOkOfTwo{178, 127, 244, 159};
inline constexpr Rect kCancelOfTwo{245, 127, 311, 159};
inline constexpr Rect kOkAlone{240, 127, 306, 159};
inline constexpr Rect kTitle{10, 9, 100, 23};
inline constexpr Rect kText{90, 73, 305, 91};
// Button faces inside the rectangles above. The one-button and the two-button
// forms share bitmaps (135 and 136 serve both), so the faces sit where both
// forms' rectangles cover them: the right face lies inside the lone OK and the
// Cancel rectangle, the left face inside the left OK only.
inline constexpr Rect kLeftFace{180, 129, 239, 157};
inline constexpr Rect kRightFace{247, 129, 306, 157};
inline constexpr int kBackgroundOfTwo = 136, kOverOfTwo = 137, kDownOfTwo = 135;
inline constexpr int kBackgroundAlone = 135, kOverAlone = 136, kDownAlone = 134;
}  // namespace info_dialog

// Progress dialog: skins/ProgressBar/Progress_Normal.png and Progress_Over.png.
namespace progress_dialog {
inline constexpr Size kSize{330, 80};
inline constexpr Rect kBar{35, 47, 295, 56};
inline constexpr Rect kText = rectXYWH(35, 20, 310, 40);
}  // namespace progress_dialog

// skins/Slider.png: the thumb of every slider.
namespace slider {
inline constexpr Size kThumbSize{10, 10};
}

// Scroll bar skin, bitmap resource 131: 9 columns by 3 rows of square cells.
namespace scroll_skin {
inline constexpr int kThickness = 14;
inline constexpr int kColumns = 9, kRows = 3;
inline constexpr Size kSize{kThickness * kColumns, kThickness * kRows};
// Column of a part: vertical bar 0..3, horizontal bar 4..7.
enum Part { kFirstArrow = 0, kSecondArrow = 1, kThumb = 2, kTrack = 3 };
inline constexpr int kHorizontalColumn = 4;
enum State { kNormal = 0, kOver = 1, kPressed = 2 };
}  // namespace scroll_skin

// PNG resource 187: the frame of the skinned popup menu, drawn in nine parts.
namespace popup_frame {
inline constexpr Size kSize{65, 65};
inline constexpr int kCorner = 32;
}  // namespace popup_frame

// List box item icons in skins/: up_*, down_*, delay_*.
inline constexpr Size kListIconSize{16, 16};
// Language flags (PNG resources) and language button pictures (bitmap resources).
inline constexpr Size kFlagSize{19, 11};
inline constexpr Size kLanguagePictureSize{37, 22};

}  // namespace orlix::skin
