#include <gtest/gtest.h>

#include "core/config/file_store.h"
#include "core/macros/macro_page_model.h"
#include "core/macros/macro_record.h"

using namespace orlix;
using namespace orlix::macros;

namespace {

constexpr const char* kPath = "/prog/Macro.cfg";
constexpr uint32_t kA = 0x41, kB = 0x42, kC = 0x43;
constexpr uint32_t kUp = kReleasedFlag;

EventItem down(uint32_t vk) { return {kItemPress, vk}; }
EventItem up(uint32_t vk) { return {kItemRelease, vk}; }
EventItem ms(uint32_t d) { return {kItemDelay, d}; }

struct MacroPageFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MemoryFileStore files;
  RecordingNotices notices;
  FakePacer filePacer;  // the library's pauses, kept apart from the clock the page reads
  FakePacer clock;
  bool chinese = false;
  TextSource texts{[](std::string_view key) {
                     std::string k(key);
                     return std::u16string(k.begin(), k.end());
                   },
                   [this] { return chinese; }};
  MacroLibrary library{*image, files, kPath, notices, texts, filePacer};
  std::vector<std::string> calls;
  std::unique_ptr<MacroPageModel> page;

  void SetUp() override {
    files.addFolder("/prog");
    files.put(kPath, std::vector<uint8_t>(kMacroFileSize, 0));
    MacroPageModel::setLastHookedEvent({});
    clock.advance(1000);
    MacroPageHooks hooks;
    hooks.setReceiveWindow = [this] { calls.push_back("receive"); };
    hooks.setHookStatus = [this](int on) { calls.push_back("hook " + std::to_string(on)); };
    hooks.debugOutput = [this](std::string_view s) { calls.push_back(std::string(s)); };
    page = std::make_unique<MacroPageModel>(MacroPageServices{library, notices, clock, texts}, hooks);
    page->showCategory(kCustomCategory);
  }

  // Stores a macro of category 21 directly in the library.
  uint32_t storeMacro(uint32_t low, EventList events, std::u16string name = u"m", uint32_t loop = 1) {
    uint32_t id = makeMacroId(kCustomCategory, low);
    EXPECT_TRUE(library.StoreMacro(buildTransferBlock(events, loop, id, name)));
    return id;
  }
  void record(std::initializer_list<std::pair<uint32_t, uint32_t>> keys, uint32_t gap = 0) {
    for (auto [vk, flags] : keys) {
      clock.advance(gap);
      page->hookedEvent(vk, flags);
    }
  }
  std::optional<std::vector<uint32_t>> stored(uint32_t id) {
    auto r = library.FindMacroRecord(id);
    if (!r) return std::nullopt;
    return macros::events(image->macroLibrary[size_t(*r)]);
  }
  uint32_t storedLoop(uint32_t id) { return recordLoop(image->macroLibrary[size_t(*library.FindMacroRecord(id))]); }
};

}  // namespace

TEST_F(MacroPageFixture, RecordingIntake) {
  struct Step {
    uint32_t after;  // ms since the previous event
    uint32_t vk, flags;
  };
  struct Case {
    const char* name;
    bool delayToggle;
    std::vector<Step> steps;
    EventList expected;
  } cases[] = {
      {"press, 300 ms, release", false, {{5000, kA, 0}, {300, kA, kUp}}, {down(kA), ms(300), up(kA)}},
      {"a held key repeats its press", false, {{0, kA, 0}, {30, kA, 0}, {30, kA, 0}, {40, kA, kUp}},
       {down(kA), ms(100), up(kA)}},
      {"the delay toggle adds only keys", true, {{0, kA, 0}, {50, kB, 0}, {50, kA, kUp}, {50, kB, kUp}},
       {down(kA), down(kB), up(kA), up(kB)}},
      {"extra flag bits do not matter", false, {{0, kA, 0x01}, {20, kA, 0x81}}, {down(kA), ms(20), up(kA)}},
  };
  int low = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MacroPageModel::setLastHookedEvent({});
    uint32_t id = storeMacro(uint32_t(low++), {down(kC), up(kC)});
    page->showCategory(kCustomCategory);
    page->setDelayToggle(c.delayToggle);
    page->recordButton();
    ASSERT_TRUE(page->recording());
    EXPECT_TRUE(page->events().empty());
    for (const auto& s : c.steps) {
      clock.advance(s.after);
      page->hookedEvent(s.vk, s.flags);
    }
    EXPECT_EQ(page->events(), c.expected);
    page->recordButton();
    EXPECT_FALSE(page->recording());
    std::vector<uint32_t> words;
    for (const auto& e : c.expected)
      words.push_back(eventWord(e.kind == kItemPress ? kEventPress : e.kind == kItemRelease ? kEventRelease : kEventDelay,
                                e.value));
    EXPECT_EQ(stored(id), words);
  }
  EXPECT_EQ(eventItemText(ms(300)), u"300  ms");
  EXPECT_EQ(eventItemText(down(kA)), u"A");
  EXPECT_EQ(eventItemText(up(0x141)), u"A");  // by the low byte
  EXPECT_EQ(eventItemText(down(1)), u"Left Button");
  EXPECT_EQ(eventItemText(down(0x07)), u"");  // unnamed code
}

TEST_F(MacroPageFixture, RecordingKeepsAtMost999KeyEvents) {
  uint32_t id = storeMacro(7, {down(kC), up(kC)});
  page->showCategory(kCustomCategory);
  page->setDelayToggle(true);
  page->recordButton();
  for (int i = 0; i < 1000; ++i) page->hookedEvent(kA, i % 2 ? kUp : 0);
  EXPECT_EQ(page->events().size(), 999u);
  EXPECT_EQ(page->recordedKeyEvents(), 999u);
  page->recordButton();
  EXPECT_EQ(stored(id)->size(), 999u);
}

TEST_F(MacroPageFixture, RecordingNeedsASelectedMacroAndSwitchesTheHook) {
  page->recordButton();  // nothing selected in an empty category
  EXPECT_FALSE(page->recording());
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(page->recordCaption(), u"str_macro_start");

  page->newMacro();
  page->recordButton();
  EXPECT_TRUE(page->recording());
  EXPECT_FALSE(page->editButtonsEnabled());
  EXPECT_EQ(page->recordCaption(), u"str_macro_end");
  EXPECT_EQ(calls, (std::vector<std::string>{"receive", "hook 1"}));
  // The buttons disabled while recording do nothing when called anyway.
  EXPECT_EQ(page->newMacro(), -1);
  page->recordButton();
  EXPECT_EQ(calls.back(), "hook 0");
  EXPECT_TRUE(page->editButtonsEnabled());
  page->closePage();
  EXPECT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls.back(), "hook 0");
}

TEST_F(MacroPageFixture, MouseButtonsPostOnlyWhileRecordingOrCapturing) {
  EXPECT_FALSE(page->mouseButton(kMouseLeftVk, kButtonDown));
  uint32_t id = page->newMacro() >= 0 ? page->macros().back().id : 0;
  page->recordButton();
  using Posted = std::optional<std::pair<uint32_t, uint32_t>>;
  EXPECT_EQ(page->mouseButton(kMouseLeftVk, kButtonDown), Posted(std::pair{1u, 0u}));
  EXPECT_EQ(page->mouseButton(kMouseRightVk, kButtonUp), Posted(std::pair{2u, kUp}));
  EXPECT_EQ(page->mouseButton(kMouseMiddleVk, 0x200), Posted());  // a mouse move
  page->hookedEvent(1, 0);
  clock.advance(80);
  page->hookedEvent(1, kUp);
  page->recordButton();
  EXPECT_EQ(stored(id), (std::vector<uint32_t>{0xC0000001, 0xA0000050, 0xE0000001}));
}

TEST_F(MacroPageFixture, NewMacroIsStoredOnlyOnceItHasEvents) {
  clock.advance(0x123);
  int at = page->newMacro();
  ASSERT_EQ(at, 0);
  const MacroListItem item = page->macros()[0];
  EXPECT_EQ(item.name, u"New Macro");
  EXPECT_EQ(item.id, makeMacroId(kCustomCategory, clock.tickCount()));
  EXPECT_EQ(page->selectedMacroIndex(), 0);
  EXPECT_EQ(page->loopCountText(), u"1");
  EXPECT_EQ(page->loopOption(), LoopOption::PlayCount);
  EXPECT_FALSE(stored(item.id));
  page->chooseLoopOption(LoopOption::Third);  // an empty list is not stored
  EXPECT_FALSE(stored(item.id));

  page->gameChosen(kCustomCategory);  // the list is rebuilt from the library
  EXPECT_TRUE(page->macros().empty());
  EXPECT_EQ(page->selectedMacroIndex(), -1);

  chinese = true;
  page->newMacro();
  EXPECT_EQ(page->macros().back().name, u"新建宏");
  page->renameMacro(0, u"Twenty-one characters");
  EXPECT_EQ(page->macros()[0].name, u"Twenty-one character");  // 20 characters at most
  page->recordButton();
  record({{kA, 0}, {kA, kUp}}, 10);
  page->recordButton();
  EXPECT_EQ(recordName(image->macroLibrary[size_t(*library.FindMacroRecord(page->macros()[0].id))]),
            u"Twenty-one character");
}

TEST_F(MacroPageFixture, NewIdentifiersNeverReplaceAnotherMacro) {
  uint32_t taken = storeMacro(clock.tickCount(), {down(kA), up(kA)});  // the identifier the tick count gives
  page->showCategory(kCustomCategory);
  page->newMacro();
  uint32_t first = page->macros().back().id;
  EXPECT_NE(first, taken);
  EXPECT_EQ(first, taken + 1);
  page->newMacro();  // in the same millisecond: the unstored one is passed over too
  EXPECT_EQ(page->macros().back().id, taken + 2);
  EXPECT_EQ(newMacroId(3, 0x5000000, nullptr), makeMacroId(3, 1));  // low 24 bits 0 are passed over
}

TEST_F(MacroPageFixture, SelectingAnotherMacroWhileRecordingStoresIntoTheRecordedOne) {
  uint32_t first = storeMacro(1, {down(kC), up(kC)}, u"first");
  uint32_t second = storeMacro(2, {down(kB), up(kB)}, u"second");
  page->showCategory(kCustomCategory);
  ASSERT_EQ(page->selectedMacroIndex(), 1);
  page->selectMacro(0);
  EXPECT_EQ(page->events(), (EventList{down(kC), up(kC)}));
  page->recordButton();
  record({{kA, 0}, {kA, kUp}}, 40);
  page->selectMacro(1);
  EXPECT_FALSE(page->recording());
  EXPECT_EQ(calls.back(), "hook 0");
  EXPECT_EQ(stored(first), (std::vector<uint32_t>{0xC0000041, 0xA0000028, 0xE0000041}));
  EXPECT_EQ(stored(second), (std::vector<uint32_t>{0xC0000042, 0xE0000042}));
  EXPECT_EQ(page->events(), (EventList{down(kB), up(kB)}));
}

TEST_F(MacroPageFixture, GameChoiceSelectsTheLastMacroOfTheCategory) {
  EXPECT_EQ(page->gameCaption(), u"Customisze");
  ASSERT_TRUE(page->gameButton());
  EXPECT_FALSE(page->gameButton());  // one menu at a time
  auto items = page->gameMenuItems();
  ASSERT_EQ(items.size(), 21u);
  EXPECT_EQ(items[0], (std::pair<int, std::u16string>{1, u"Battlefield 3 "}));
  EXPECT_EQ(items[20].second, u"Customize");

  uint32_t a = makeMacroId(8, 1), b = makeMacroId(8, 2);
  ASSERT_TRUE(library.StoreMacro(buildTransferBlock({down(kA), up(kA)}, 1, a, u"a")));
  ASSERT_TRUE(library.StoreMacro(buildTransferBlock({down(kB), ms(20), up(kB)}, 0xFFFE, b, u"b")));
  storeMacro(3, {down(kC), up(kC)});
  page->gameChosen(8);
  EXPECT_FALSE(page->gameMenuOpen());
  EXPECT_EQ(page->gameCategory(), 8);
  EXPECT_EQ(page->gameCaption(), u"World of Tanks");
  ASSERT_EQ(page->macros().size(), 2u);
  EXPECT_EQ(page->selectedMacroIndex(), 1);
  EXPECT_EQ(page->macroSelection(), 1);
  EXPECT_EQ(page->events(), (EventList{down(kB), ms(20), up(kB)}));
  EXPECT_EQ(page->loopOption(), LoopOption::Second);
  EXPECT_EQ(page->loopCountText(), u"1");

  page->recordButton();
  record({{kC, 0}, {kC, kUp}}, 15);
  page->recordButton();
  EXPECT_EQ(stored(b), (std::vector<uint32_t>{0xC0000043, 0xA000000F, 0xE0000043}));
  EXPECT_EQ(stored(a), (std::vector<uint32_t>{0xC0000041, 0xE0000041}));

  page->newMacro();  // new macros are filed under the chosen game
  EXPECT_EQ(categoryOf(page->macros().back().id), 8);

  chinese = true;
  page->gameChosen(13);
  EXPECT_EQ(page->gameCaption(), u"远古遗迹守卫2（Dota 2）");
  EXPECT_EQ(page->gameMenuItems()[4].second, u"军团要塞2");
}

TEST_F(MacroPageFixture, DeletingAMacro) {
  uint32_t a = storeMacro(1, {down(kA), up(kA)}, u"a");
  uint32_t b = storeMacro(2, {down(kB), up(kB)}, u"b");
  image->setMacroId(30, b);
  page->showCategory(kCustomCategory);
  page->deleteMacro();  // b is bound to key 30
  ASSERT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(notices.entries[0].kind, "info");
  EXPECT_EQ(notices.entries[0].text, kInUseEn);
  EXPECT_EQ(page->macros().size(), 2u);
  EXPECT_TRUE(stored(b));

  chinese = true;
  EXPECT_FALSE(deleteMacroUnlessInUse(library, b, notices, texts));
  EXPECT_EQ(notices.entries.back().text, kInUseZh);

  image->setMacroId(30, 0);
  page->deleteMacro();
  EXPECT_FALSE(stored(b));
  ASSERT_EQ(page->macros().size(), 1u);
  EXPECT_EQ(page->selectedMacroIndex(), 0);
  EXPECT_EQ(page->events(), (EventList{down(kA), up(kA)}));  // the macro now selected shows its events
  page->deleteMacro();
  EXPECT_FALSE(stored(a));
  EXPECT_EQ(page->selectedMacroIndex(), -1);
  EXPECT_TRUE(page->events().empty());
}

TEST_F(MacroPageFixture, InsertingAndChangingThroughThePanel) {
  uint32_t id = storeMacro(1, {down(kA), ms(100), up(kA), down(kB), up(kB)});
  page->showCategory(kCustomCategory);

  page->selectEvent(3);
  page->insertButton();
  EXPECT_TRUE(page->panel().visible);
  EXPECT_TRUE(page->panel().keyOptionShown && page->panel().delayOptionShown);
  EXPECT_FALSE(page->panel().keyBoxShown || page->panel().delayBoxShown);
  EXPECT_TRUE(calls.empty());
  page->keyOption();
  EXPECT_TRUE(page->keyCapture());
  EXPECT_TRUE(page->panel().keyBoxShown);
  EXPECT_EQ(page->panel().keyBoxText, u"");
  EXPECT_EQ(calls, (std::vector<std::string>{"receive", "hook 1"}));
  page->hookedEvent(kC, 0);
  page->hookedEvent(kC, 0);  // a repeat
  EXPECT_EQ(page->capturedKey(), kC);
  EXPECT_EQ(page->panel().keyBoxText, u"C");
  page->okButton();
  EXPECT_EQ(calls.back(), "hook 0");
  EXPECT_FALSE(page->keyCapture());
  EXPECT_FALSE(page->panel().visible);
  EXPECT_EQ(page->events(), (EventList{down(kA), ms(100), up(kA), down(kC), up(kC), down(kB), up(kB)}));
  EXPECT_EQ(stored(id)->at(3), 0xC0000043u);
  EXPECT_EQ(stored(id)->at(4), 0xE0000043u);

  // Change a delay: the panel shows only the delay option, the box empty with the focus.
  calls.clear();
  page->selectEvent(1);
  page->changeButton();
  EXPECT_TRUE(page->changeMode());
  EXPECT_TRUE(page->panel().delayOptionShown && !page->panel().keyOptionShown);
  EXPECT_TRUE(page->panel().delayBoxShown && page->panel().focusDelayBox);
  EXPECT_EQ(page->panel().delayBoxText, u"");
  EXPECT_EQ(calls, (std::vector<std::string>{"hook 0", "hook 0"}));
  page->setDelayBoxText(u"250");
  page->okButton();
  EXPECT_FALSE(page->changeMode());
  EXPECT_EQ(page->events()[1], ms(250));
  EXPECT_EQ(stored(id)->at(1), 0xA00000FAu);

  // Change a key: it keeps its kind and takes the captured key.
  page->selectEvent(2);
  page->changeButton();
  EXPECT_TRUE(page->panel().keyOptionShown && !page->panel().delayOptionShown);
  EXPECT_TRUE(page->keyCapture());
  page->hookedEvent(kB, kUp);
  page->okButton();
  EXPECT_EQ(page->events()[2], up(kB));

  // Change with nothing captured or no number changes nothing but still closes the panel.
  page->selectEvent(0);
  page->changeButton();
  page->okButton();
  EXPECT_EQ(page->events()[0], down(kA));
  EXPECT_FALSE(page->panel().visible);
}

TEST_F(MacroPageFixture, InsertingDelays) {
  struct Case {
    const char* name;
    EventList list;
    size_t selected;
    std::u16string box;
    EventList expected;
  } cases[] = {
      {"after 327650 ms", {down(kA), ms(327650), up(kA)}, 2, u"50", {down(kA), ms(327670), up(kA)}},
      {"after 327660 ms", {down(kA), ms(327660), up(kA)}, 2, u"50", {down(kA), ms(327670), up(kA)}},
      {"at the first event", {down(kA), ms(10), up(kA)}, 0, u"50", {down(kA), ms(10), up(kA)}},
      {"between two keys", {down(kA), up(kA)}, 1, u"7", {down(kA), ms(7), up(kA)}},
      {"onto the selected delay", {down(kA), ms(10), up(kA)}, 1, u"5", {down(kA), ms(15), up(kA)}},
      {"an empty box", {down(kA), up(kA)}, 1, u"", {down(kA), up(kA)}},
  };
  uint32_t low = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t id = storeMacro(low++, c.list);
    page->showCategory(kCustomCategory);
    ASSERT_EQ(page->macros().back().id, id);
    page->selectEvent(c.selected);
    page->insertButton();
    page->delayOption();
    EXPECT_FALSE(page->keyCapture());
    page->setDelayBoxText(c.box);
    page->okButton();
    EXPECT_EQ(page->events(), c.expected);
  }
}

TEST_F(MacroPageFixture, InsertWithoutASelectionOnlyClosesThePanel) {
  uint32_t id = storeMacro(1, {down(kA), up(kA)});
  page->showCategory(kCustomCategory);
  page->selectEvent(std::nullopt);
  page->insertButton();
  page->keyOption();
  page->hookedEvent(kB, 0);
  page->okButton();
  EXPECT_EQ(calls.back(), "hook 0");
  EXPECT_FALSE(page->keyCapture());
  EXPECT_FALSE(page->panel().visible);
  EXPECT_EQ(stored(id)->size(), 2u);
}

TEST_F(MacroPageFixture, DeletingEventsAndTheLoopOptions) {
  uint32_t id = storeMacro(1, {down(kA), ms(10), ms(20), up(kA)}, u"m", 5);
  page->showCategory(kCustomCategory);
  EXPECT_EQ(page->loopCountText(), u"5");
  page->selectEvent(0);
  page->deleteEventButton();  // stores, merging the two delays
  EXPECT_EQ(page->events(), (EventList{ms(30), up(kA)}));
  EXPECT_EQ(stored(id), (std::vector<uint32_t>{0xE0000041}));  // the leading delay is left out

  struct Case {
    LoopOption option;
    std::u16string box;
    uint32_t loop;
  } cases[] = {{LoopOption::PlayCount, u"0", 1},       {LoopOption::PlayCount, u"9999", 9999},
               {LoopOption::PlayCount, u"", 1},        {LoopOption::Second, u"12", 0xFFFE},
               {LoopOption::Third, u"12", 0xFFFF},     {LoopOption::PlayCount, u"12", 12}};
  for (const auto& c : cases) {
    page->chooseLoopOption(c.option);
    page->loopCountEdited(c.box);
    EXPECT_EQ(storedLoop(id), c.loop) << std::string(c.box.begin(), c.box.end());
  }

  page->selectEvent(0);
  page->deleteEventButton();
  page->selectEvent(0);
  page->deleteEventButton();  // the last event: not stored
  EXPECT_TRUE(page->events().empty());
  EXPECT_EQ(stored(id)->size(), 1u);
}

TEST_F(MacroPageFixture, LoadingStopsAtAnInvalidItem) {
  uint32_t id = makeMacroId(kCustomCategory, 9);
  TransferBlock b;
  b.id = id;
  b.events = {0xC0000041, 0x12345678, 0xE0000041};
  b.size = uint32_t(kBlkEvents + 4 * b.events.size());
  ASSERT_TRUE(library.StoreMacro(encodeTransferBlock(b)));
  page->showCategory(kCustomCategory);
  EXPECT_EQ(page->events(), (EventList{down(kA)}));
  EXPECT_EQ(calls, (std::vector<std::string>{std::string(kNotValidItem)}));
}

TEST_F(MacroPageFixture, ALibraryChangedElsewhereIsListedAgainKeepingThePick) {
  uint32_t one = storeMacro(1, {down(kA), up(kA)}, u"One");
  storeMacro(2, {down(kB), up(kB)}, u"Two");
  page->showCategory(kCustomCategory);
  page->selectMacro(0);

  uint32_t three = storeMacro(3, {down(kC), up(kC)}, u"Three");  // taken up from orlixctl
  page->libraryChanged();
  ASSERT_EQ(page->macros().size(), 3u);
  EXPECT_EQ(page->macros()[2].id, three);
  EXPECT_EQ(page->macroSelection(), 0);
  EXPECT_EQ(page->macros()[0].id, one);
  EXPECT_EQ(page->events(), (EventList{down(kA), up(kA)}));

  // A new macro without events lives only in the list: it is not dropped.
  page->newMacro();
  storeMacro(4, {down(kA), up(kA)}, u"Four");
  page->libraryChanged();
  ASSERT_EQ(page->macros().size(), 4u);
  EXPECT_EQ(page->macros()[3].record, -1);
}
