#pragma once
// Names of the skin files (relative to the program folder's skins/ folder) and
// the ids of the images built into the program.

#include <array>

namespace orlix::skin {

// The three full-size images of a skinned window.
struct ImageTriple {
  const char* normal;
  const char* down;
  const char* over;
};

inline constexpr ImageTriple kMainFrame{"Config/Orlix_Frame_Normal.bmp", "Config/Orlix_Frame_Down.bmp",
                                        "Config/Orlix_Frame_Over.bmp"};
inline constexpr ImageTriple kKeyboardPage{"Keyboard/Orlix_Main_Normal.bmp", "Keyboard/Orlix_Main_Down.bmp",
                                           "Keyboard/Orlix_Main_Over.bmp"};
inline constexpr ImageTriple kSettingPanel{"Set/setting/Setting_Normal.bmp", "Set/setting/Setting_Down.bmp",
                                           "Set/setting/Setting_Over.bmp"};
inline constexpr ImageTriple kBasePage{"Set/base/Base_Normal.bmp", "Set/base/Base_Down.bmp",
                                       "Set/base/Base_Over.bmp"};
inline constexpr ImageTriple kComboPage{"Set/combo/Combo_Normal.bmp", "Set/combo/Combo_Down.bmp",
                                        "Set/combo/Combo_Over.bmp"};
inline constexpr ImageTriple kMacroSetTab{"Set/macro/Macro_Normal.bmp", "Set/macro/Macro_Down.bmp",
                                          "Set/macro/Macro_Over.bmp"};
inline constexpr ImageTriple kLightingPage{"Light/Orlix_Light_Normal.bmp", "Light/Orlix_Light_Down.bmp",
                                           "Light/Orlix_Light_Over.bmp"};
inline constexpr ImageTriple kAlwaysPage{"Light/Always/LedAlways_Normal.bmp", "Light/Always/LedAlways_Down.bmp",
                                         "Light/Always/LedAlways_Over.bmp"};
inline constexpr ImageTriple kBreathPage{"Light/Breath/Breath_Normal.bmp", "Light/Breath/Breath_Down.bmp",
                                         "Light/Breath/Breath_Over.bmp"};
inline constexpr ImageTriple kSevenPage{"Light/AllColor/AllColor_Normal.bmp", "Light/AllColor/AllColor_Down.bmp",
                                        "Light/AllColor/AllColor_Over.bmp"};
inline constexpr ImageTriple kSinglePage{"Light/Single/Single_Normal.bmp", "Light/Single/Single_Down.bmp",
                                         "Light/Single/Single_Over.bmp"};
inline constexpr ImageTriple kStrengthPage{"Light/Strength/LedStrength_Normal.bmp",
                                           "Light/Strength/LedStrength_Down.bmp",
                                           "Light/Strength/LedStrength_Over.bmp"};
inline constexpr ImageTriple kWavePage{"Light/Wave/LightWave_Normal.bmp", "Light/Wave/LightWave_Down.bmp",
                                       "Light/Wave/LightWave_Over.bmp"};
inline constexpr ImageTriple kMacroPage{"Macro/Macro_normal.bmp", "Macro/Macro_down.bmp", "Macro/Macro_over.bmp"};
inline constexpr ImageTriple kSupportPage{"Support/support_normal.bmp", "Support/support_down.bmp",
                                          "Support/support_over.bmp"};

inline constexpr const char* kKeyboardOverlay = "Light/Orlix_KeyBoard.png";
inline constexpr const char* kPalette = "Light/Palette.bmp";
inline constexpr const char* kSliderThumb = "Slider.png";
inline constexpr const char* kProgressBackground = "ProgressBar/Progress_Normal.png";
inline constexpr const char* kProgressFill = "ProgressBar/Progress_Over.png";
inline constexpr const char* kLanguageIni = "languagetype.ini";

// Item images of the skinned menu, in the order the macro page passes them:
// normal, over, down, disabled for plain items, then the same for items with a
// submenu. They lie in skins/Menu/.
inline constexpr std::array<const char*, 8> kMenuImages{
    "MenuNorL.BMP",       "MenuOverL.BMP",       "MenuDownL.BMP",       "MenuNorL.BMP",
    "MenuNorHaveSub.BMP", "MenuOverHaveSub.BMP", "MenuDownHaveSub.BMP", "MenuNorHaveSub.BMP"};
inline constexpr const char* kMenuFolder = "Menu/";

// List box item icons: the normal and the selected look of each icon type.
struct ListIcon {
  int type;
  const char* normal;
  const char* selected;
};
inline constexpr std::array<ListIcon, 3> kListIcons{{{2, "up_normal.png", "up_select.png"},
                                                     {3, "down_normal.png", "down_select.png"},
                                                     {4, "delay_normal.png", "delay_select.png"}}};

// Images built into the program.
namespace resource {
inline constexpr int kProgramIcon = 128;
inline constexpr int kScrollSkin = 131;
inline constexpr int kInfoFirst = 134, kInfoLast = 137;
inline constexpr int kLanguagePictureFirst = 158, kLanguagePictureLast = 169;
inline constexpr int kTrayConfigIcon = 179, kTrayExitIcon = 180;
inline constexpr int kFlagFirst = 182, kFlagLast = 194;
inline constexpr int kPopupFrame = 187;
}  // namespace resource

}  // namespace orlix::skin
