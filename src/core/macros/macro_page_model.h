#pragma once
// The macro page without the window: its state (the two lists, recording, key
// capture, the editing panel, the loop options, the game category), the rules
// of every button, list and hooked event in the order the page applies them,
// and the calls it makes to the keyboard hook. The page forwards its input here
// and draws what the model holds; orlixctl shares the rules that apply to it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/text_source.h"
#include "core/app/user_notices.h"
#include "core/device/pacer.h"
#include "core/macros/macro_editing.h"
#include "core/macros/macro_library.h"
#include "core/macros/macro_record.h"

namespace orlix::macros {

inline constexpr uint32_t kReleasedFlag = 0x80;  // bit 7 of a hooked event's flags
inline constexpr uint32_t kMaxRecordedKeyEvents = 999;
inline constexpr int kMouseLeftVk = 1, kMouseRightVk = 2, kMouseMiddleVk = 4;
inline constexpr uint32_t kButtonDown = 513;  // WM_LBUTTONDOWN
inline constexpr uint32_t kButtonUp = 514;    // WM_LBUTTONUP
inline constexpr size_t kLoopCountDigits = 4;
inline constexpr size_t kDelayDigits = 4;
inline constexpr std::u16string_view kNewMacroZh = u"新建宏";
inline constexpr std::u16string_view kNewMacroEn = u"New Macro";
inline constexpr std::u16string_view kInUseZh = u"当前宏正在被使用，不能删除！";
inline constexpr std::u16string_view kInUseEn = u"The macro is being applied and cannot be deleted!";
inline constexpr std::string_view kNotValidItem = "LoadMacroToList:  Not a vaild item";

// The text of an event-list item: the key name of the code's low byte (empty
// when unnamed), or "%d  ms" for a delay.
std::u16string eventItemText(const EventItem& item);
// Names of a game category as the game menu and the game button show them.
std::u16string_view gameMenuName(int category, bool chinese);
std::u16string_view gameButtonName(int category, bool chinese);

// A new macro identifier: category in the top byte, the tick count in the low
// 24 bits. An identifier that taken() reports (another macro has it) or whose
// low 24 bits are 0 is passed over, so a new macro never replaces another one.
uint32_t newMacroId(int category, uint32_t tickCount, const std::function<bool(uint32_t)>& taken);

// Deletes the macro unless a key of the current profile is bound to it; then the
// info dialog says so ("当前宏正在被使用，不能删除！" / "The macro is being applied
// and cannot be deleted!") and nothing changes. True when it was deleted.
bool deleteMacroUnlessInUse(MacroLibrary& library, uint32_t id, UserNotices& notices, const TextSource& texts);

// The calls of the keyboard hook library the page makes.
struct MacroPageHooks {
  std::function<void()> setReceiveWindow;    // SetReciveWindow (page)
  std::function<void(int on)> setHookStatus;  // SetHookStatus (on, 0)
  std::function<void(std::string_view)> debugOutput;
};

struct MacroPageServices {
  MacroLibrary& library;
  UserNotices& notices;
  Pacer& clock;  // the tick count
  TextSource texts;
};

// What the editing panel shows.
struct EditingPanel {
  bool visible = false;
  bool keyOptionShown = false, keyOptionChecked = false;
  bool delayOptionShown = false, delayOptionChecked = false;
  bool keyBoxShown = false;    // with the key OK button
  bool delayBoxShown = false;  // with the delay OK button
  std::u16string keyBoxText = u"A";
  std::u16string delayBoxText = u"7";
  bool focusDelayBox = false;  // the delay box is to take the input focus
};

class MacroPageModel {
 public:
  MacroPageModel(MacroPageServices services, MacroPageHooks hooks);

  // The main window's call after start-up: lists the macros of category as a
  // game choice does, without choosing a game.
  void showCategory(int category);
  // Another process changed the macro library: the shown category is listed
  // again, the selection kept on the same macro while it is listed. Nothing
  // changes while recording or while the list holds a new macro not stored yet.
  void libraryChanged();
  // A language switch: the captions are read again (see recordCaption, gameCaption).
  void refreshLanguage() { ++captionRevision_; }
  // The page closes: the hook stops delivering.
  void closePage();

  // New macro button: adds "新建宏" / "New Macro" and selects it; returns the
  // index to open the name editor on.
  int newMacro();
  // Delete macro button.
  void deleteMacro();
  // The macro list's selection changed to index (0x465).
  void selectMacro(int index);
  // A name was edited in place (0x470).
  void renameMacro(int index, std::u16string_view name);

  // Record button.
  void recordButton();
  // A hooked event (0x40A).
  void hookedEvent(uint32_t vk, uint32_t flags);
  // A mouse button of the page (vk 1, 2 or 4) reported message (513 / 514):
  // the 0x40A event (code, flags) to post to the page, when one is due.
  std::optional<std::pair<uint32_t, uint32_t>> mouseButton(uint32_t vk, uint32_t message) const;

  // The event list's selection.
  void selectEvent(std::optional<size_t> index);
  void insertButton();
  void keyOption();
  void delayOption();
  void changeButton();
  void okButton();
  void deleteEventButton();
  void setDelayBoxText(std::u16string_view text) { panel_.delayBoxText = std::u16string(text); }

  void setDelayToggle(bool ticked) { delayToggle_ = ticked; }
  void chooseLoopOption(LoopOption option);
  // The user changed the loop count box.
  void loopCountEdited(std::u16string_view text);

  // Game button: true when a menu is to be opened (none is open).
  bool gameButton();
  // Closes an open game menu first on any click; true when one was open.
  bool closeGameMenu();
  // The menu's items: category and name, in category order.
  std::vector<std::pair<int, std::u16string>> gameMenuItems() const;
  // The menu's answer (0x501).
  void gameChosen(int category);

  // State the page draws.
  const std::vector<MacroListItem>& macros() const { return macros_; }
  int macroSelection() const { return listSelection_; }
  int selectedMacroIndex() const { return selectedMacro_; }
  const EventList& events() const { return events_; }
  std::optional<size_t> eventSelection() const { return eventSelection_; }
  const EditingPanel& panel() const { return panel_; }
  bool recording() const { return recording_; }
  bool keyCapture() const { return keyCapture_; }
  uint8_t capturedKey() const { return capturedKey_; }
  bool changeMode() const { return changeMode_; }
  bool delayToggle() const { return delayToggle_; }
  LoopOption loopOption() const { return loopOption_; }
  const std::u16string& loopCountText() const { return loopCountText_; }
  int gameCategory() const { return gameCategory_; }
  bool gameIsChosen() const { return gameChosen_; }
  bool gameMenuOpen() const { return gameMenuOpen_; }
  uint32_t recordedKeyEvents() const { return recordedKeyEvents_; }
  // The five buttons disabled while recording.
  bool editButtonsEnabled() const { return !recording_; }
  std::u16string recordCaption() const;
  std::u16string gameCaption() const;
  // Counters that grow whenever a list changes, so the page rebuilds only what changed.
  uint64_t macroListRevision() const { return macroRevision_; }
  uint64_t eventListRevision() const { return eventRevision_; }
  uint64_t captionRevision() const { return captionRevision_; }

  // The last hooked event: process-wide, never reset.
  struct HookedEvent {
    uint32_t vk = 0;
    bool released = false;
  };
  static HookedEvent lastHookedEvent();
  static void setLastHookedEvent(HookedEvent e);

 private:
  void stopRecording();
  void loadSelectedMacro();
  void listMacros(int category);
  void storeEventList();
  void hidePanel();
  void setHook(int on);
  void eventsChanged() { ++eventRevision_; }
  std::optional<uint32_t> delayBoxNumber() const;
  // The macro the event list belongs to: while recording the selected macro
  // index, else the macro list's selection.
  const MacroListItem* currentMacro() const;

  MacroPageServices s_;
  MacroPageHooks h_;
  std::vector<MacroListItem> macros_;
  int listSelection_ = -1;
  int selectedMacro_ = -1;
  EventList events_;
  std::optional<size_t> eventSelection_;
  EditingPanel panel_;
  bool recording_ = false;
  bool keyCapture_ = false;
  uint8_t capturedKey_ = 0;
  uint32_t recordedKeyEvents_ = 0;
  uint32_t lastTick_ = 0;
  bool changeMode_ = false;
  bool delayToggle_ = false;
  LoopOption loopOption_ = LoopOption::PlayCount;
  std::u16string loopCountText_ = u"1";
  int gameCategory_ = kCustomCategory;
  int listedCategory_ = -1;
  bool gameChosen_ = false;
  bool gameMenuOpen_ = false;
  uint64_t macroRevision_ = 0, eventRevision_ = 0, captionRevision_ = 0;
};

}  // namespace orlix::macros
