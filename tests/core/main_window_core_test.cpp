#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>

#include "core/app/hints.h"
#include "core/app/main_window_core.h"
#include "core/app/presence_check.h"
#include "core/config/file_store.h"
#include "core/device/device_commands.h"
#include "core/device/messages.h"
#include "core/device/virtual_keyboard.h"
#include "core/keys/key_codes.h"
#include "core/runtime/key_action_runtime.h"
#include "core/util/bytes.h"
#include "fake_folder_lock.h"

using namespace orlix;
using namespace orlix::app;
using localization::StringKey;

namespace {

TEST(Hints, NumbersNameTheirStringKeys) {
  struct Row {
    long hint;
    std::optional<StringKey> key;
  };
  const Row rows[] = {{0, StringKey::str_profile1},    {4, StringKey::str_profile5},
                      {5, StringKey::str_ok},          {10, StringKey::str_help},
                      {15, StringKey::str_xyindependent}, {16, std::nullopt},
                      {22, std::nullopt},              {23, StringKey::str_mode1},
                      {32, StringKey::str_ledspe},     {48, StringKey::str_update},
                      {56, StringKey::str_led_wave},   {57, std::nullopt},
                      {kClearHint, std::nullopt},      {-1, std::nullopt}};
  for (const Row& r : rows) EXPECT_EQ(hintStringKey(r.hint), r.key) << "hint " << r.hint;
}

TEST(FirstShow, OnlyAfterFiveMinutesUpOrWhenAskedFor) {
  EXPECT_FALSE(showsAtFirstShow(0, false));
  EXPECT_FALSE(showsAtFirstShow(300000, false));
  EXPECT_TRUE(showsAtFirstShow(300001, false));
  EXPECT_TRUE(showsAtFirstShow(1000, true));
}

struct PresenceCheckTest : ::testing::Test {
  RecordingNotices notices;
  std::vector<std::string> calls;
  bool present = true;
  bool chinese = false;
  PresenceServices services() {
    PresenceServices s;
    s.registerNotifications = [this] { calls.push_back("register"); };
    s.isPresent = [this] {
      calls.push_back("present?");
      return present;
    };
    s.startUpdater = [this] { calls.push_back("updater"); };
    s.postClose = [this] { calls.push_back("close"); };
    s.notices = &notices;
    s.texts.chinese = [this] { return chinese; };
    return s;
  }
};

TEST_F(PresenceCheckTest, PresentKeyboardStartsTheUpdater) {
  EXPECT_TRUE(startupPresenceCheck(services()));
  EXPECT_EQ(calls, (std::vector<std::string>{"register", "present?", "updater"}));
  EXPECT_TRUE(notices.entries.empty());
}

TEST_F(PresenceCheckTest, AbsentKeyboardIsToldThenTheProgramCloses) {
  present = false;
  EXPECT_FALSE(startupPresenceCheck(services()));
  EXPECT_EQ(calls, (std::vector<std::string>{"register", "present?", "close"}));
  ASSERT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(notices.entries[0].kind, "timed");
  EXPECT_EQ(notices.entries[0].text, u"The Orlix gaming Keyboard cannot be found.");

  chinese = true;
  notices.entries.clear();
  startupPresenceCheck(services());
  EXPECT_EQ(notices.entries.at(0).text, u"没有找到Orlix键盘.");
}

TEST_F(PresenceCheckTest, OnlyTheKeyboardsRemovalCloses) {
  auto s = services();
  EXPECT_FALSE(onDeviceChange(s, kDeviceArrival, R"(\\?\USB#VID_24AE&PID_4009#1#{A5DCBF10})"));
  EXPECT_FALSE(onDeviceChange(s, kDeviceRemoveComplete, R"(\\?\USB#VID_046D&PID_C077#1#{A5DCBF10})"));
  EXPECT_FALSE(onDeviceChange(s, 0x0007, R"(\\?\USB#VID_24AE&PID_4009#1#{A5DCBF10})"));
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(onDeviceChange(s, kDeviceRemoveComplete, R"(\\?\usb#vid_24ae&pid_4009#1#{a5dcbf10})"));
  EXPECT_EQ(calls, (std::vector<std::string>{"close"}));
  EXPECT_EQ(notices.entries.at(0).text, u"The Orlix gaming keyboard cannot be found.");
}

// A progress dialog that, while it "runs", dispatches what the main window is
// posted, as the modal loop of the window program does.
struct FakeProgress : ProgressSession {
  MessageQueue queue;
  std::function<void()> pump;
  std::vector<Message> seen;
  MessageTarget& target() override { return queue; }
  void run() override {
    for (;;) {
      if (pump) pump();
      auto m = queue.take(std::chrono::milliseconds(5));
      if (!m) continue;
      seen.push_back(*m);
      if (m->id == msg::kClose) break;
    }
    if (pump) pump();
  }
};

// A clock whose pauses on other threads than the test's wait while it is shut,
// so a test can act while the apply worker is surely still writing.
struct GatedPacer : Pacer {
  FakePacer clock;
  std::mutex m;
  std::condition_variable cv;
  bool shut = false;
  std::thread::id owner = std::this_thread::get_id();
  void pause(uint32_t ms) override {
    if (std::this_thread::get_id() != owner) {
      std::unique_lock lock(m);
      cv.wait(lock, [this] { return !shut; });
    }
    clock.pause(ms);
  }
  uint32_t tickCount() override { return clock.tickCount(); }
  void setShut(bool s) {
    {
      std::lock_guard lock(m);
      shut = s;
    }
    cv.notify_all();
  }
};

struct MainWindowCoreTest : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  VirtualKeyboard keyboard;
  VirtualDriverEndpoint endpoint{keyboard};
  DriverChannel channel{endpoint};
  GatedPacer pacer;
  MemoryFileStore files;
  MemoryRegistry registry;
  RecordingNotices notices;
  RecordingHostActions host;
  localization::LanguageStrings strings;
  std::unique_ptr<Profiles> profiles;
  std::unique_ptr<macros::MacroLibrary> macroLibrary;
  bool withSync = false;  // the files shared with orlixctl through the folder's lock
  FakeFolderLock lock;
  std::unique_ptr<ConfigSync> sync;
  MessageQueue window;  // what the main window is posted
  std::unique_ptr<MainWindowCore> core;
  std::vector<std::string> calls;
  std::u16string status;
  bool menuOpen = false;
  bool keyboardPresent = true;
  bool exitDuringApply = false;
  std::filesystem::path folder;

  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("orlix-mw-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder / "Language");
    std::ofstream(folder / "Language/en.xml") << "<root><config><str_ok>OK</str_ok></config></root>";
    std::ofstream(folder / "Language/fre.xml") << "<root><config><str_ok>Valider</str_ok></config></root>";
    files.addFolder("/prog");
    files.addFolder("/prog/Profile");
    initialiseDefaults(*image);
    profiles = std::make_unique<Profiles>(*image, files, registry, notices, "/prog");
    macroLibrary = std::make_unique<macros::MacroLibrary>(*image, files, "/prog/Macro.cfg", notices, TextSource{},
                                                          pacer);
    MainWindowServices s{*image, channel, pacer, *profiles, *macroLibrary, host, notices, registry, strings,
                         folder, {}};
    if (withSync) {
      sync = std::make_unique<ConfigSync>(*image, *profiles, files, registry, "/prog/Macro.cfg", lock, notices,
                                          TextSource{});
      profiles->setWriteGuard(sync.get());
      macroLibrary->setWriteGuard(sync.get());
      s.sync = sync.get();
    }
    s.presence.registerNotifications = [this] { calls.push_back("register"); };
    s.presence.isPresent = [this] { return keyboardPresent; };
    s.presence.startUpdater = [this] { calls.push_back("updater"); };
    MainWindowHooks h;
    h.showLanguageButton = [this](const localization::LanguageInfo& l) {
      calls.push_back("language " + std::to_string(l.id));
    };
    h.addTray = [this] { calls.push_back("tray"); };
    h.startFirstShowTimer = [this] { calls.push_back("timer"); };
    h.buildPages = [this] { calls.push_back("pages"); };
    h.showSelectedProfile = [this](int k) { calls.push_back("profile " + std::to_string(k)); };
    h.selectMacroEntry21 = [this] { calls.push_back("macro entry"); };
    h.showWindow = [this] { calls.push_back("show"); };
    h.openTrayMenu = [this] { calls.push_back("tray menu"); };
    h.setStatusText = [this](const std::u16string& t) { status = t; };
    h.refreshAllKeys = [this] {
      calls.push_back("refresh keys");
      if (exitDuringApply) window.post(kCommand, kCommandExit, 0);
    };
    h.refreshLightingPage = [this] { calls.push_back("refresh lighting"); };
    h.languageMenuOpen = [this] { return menuOpen; };
    h.refreshMacroPage = [this] { calls.push_back("refresh macro"); };
    h.reloadMacroList = [this] { calls.push_back("reload macros"); };
    h.closeLanguageMenu = [this] { calls.push_back("close menu"); };
    h.makeProgress = [this] {
      auto p = std::make_unique<FakeProgress>();
      p->pump = [this] {
        dispatch();
        pacer.setShut(false);
      };
      return p;
    };
    h.removeTray = [this] { calls.push_back("remove tray"); };
    h.destroyPages = [this] {
      calls.push_back(std::string("destroy pages, channel ") + (channel.isOpen() ? "open" : "closed"));
    };
    h.endLoop = [this] {
      calls.push_back(std::string("end loop, channel ") + (channel.isOpen() ? "open" : "closed"));
    };
    core = std::make_unique<MainWindowCore>(std::move(s), std::move(h), window);
  }
  void TearDown() override {
    core.reset();
    std::filesystem::remove_all(folder);
  }
  // Handles every message waiting for the main window.
  void dispatch() {
    for (auto batch = window.drain(); !batch.empty(); batch = window.drain())
      for (Message m : batch) core->handle(m.id, m.wParam, m.lParam);
  }
  void startUp() {
    core->initialise();
    dispatch();
    calls.clear();
    notices.entries.clear();  // the missing Macro.cfg and profile file of a first start
  }
  size_t profileFileSize() {
    auto* f = files.find("/prog/Profile/Profile1.cfg");
    return f ? f->size() : 0;
  }
};

TEST_F(MainWindowCoreTest, InitialisesInOrderAndBecomesTheMainWindow) {
  core->initialise();
  EXPECT_EQ(calls, (std::vector<std::string>{"language 2", "tray", "timer", "pages", "profile 0", "macro entry",
                                             "register", "updater"}));
  EXPECT_TRUE(channel.isOpen());
  ASSERT_TRUE(core->version().has_value());
  EXPECT_TRUE(windows::exists(kMainWindowTitle));
  EXPECT_EQ(profileFileSize(), 107952u);  // the missing profile 1 was created
  EXPECT_EQ(strings.text(StringKey::str_ok), u"OK");
}

TEST_F(MainWindowCoreTest, MissingKeyboardAtStartClosesAfterTheNotice) {
  keyboardPresent = false;
  core->initialise();
  EXPECT_EQ(notices.entries.back().kind, "timed");
  dispatch();  // the posted WM_CLOSE
  EXPECT_TRUE(core->closed());
  EXPECT_FALSE(windows::exists(kMainWindowTitle));
}

TEST_F(MainWindowCoreTest, ShutsDownInOrder) {
  startUp();
  image->perKeyLighting[0].effectCode = 0xAA;
  image->perKeyLighting[0].colours.assign(3, {});
  window.post(kCommand, kCommandExit, 0);
  dispatch();
  EXPECT_EQ(calls, (std::vector<std::string>{"remove tray", "destroy pages, channel open",
                                             "end loop, channel closed"}));
  EXPECT_TRUE(image->perKeyLighting[0].colours.empty());
  EXPECT_FALSE(windows::exists(kMainWindowTitle));
  core->handle(kClose, 0, 0);  // a second close does nothing
  EXPECT_EQ(calls.size(), 3u);
}

TEST_F(MainWindowCoreTest, HintsSetTheStatusText) {
  startUp();
  strings.set(StringKey::str_profile3, u"Profile three");
  core->handle(msg::kHint, 0, 2);
  EXPECT_EQ(status, u"Profile three");
  core->handle(msg::kHint, 0, kClearHint);
  EXPECT_EQ(status, u"");
  core->handle(msg::kHint, 0, 2);
  core->handle(msg::kHint, 0, 18);
  EXPECT_EQ(status, u"");
}

TEST_F(MainWindowCoreTest, TrayMessagesAndCommands) {
  startUp();
  EXPECT_EQ(core->handle(msg::kTrayNotify, 0, kTrayDoubleClick), 1);
  EXPECT_EQ(core->handle(msg::kTrayNotify, 0, kTrayRightUp), 1);
  EXPECT_EQ(core->handle(msg::kTrayNotify, 0, 0x200), 1);
  core->handle(kCommand, kCommandConfig, 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"show", "tray menu", "show"}));
}

TEST_F(MainWindowCoreTest, ApplyWritesTheKeyTableThenSavesTheProfile) {
  startUp();
  image->keyTable[10] = keys::kDisabledCode;
  size_t writesBefore = size_t(files.writes());
  window.post(msg::kStartApply, 0, 0);
  dispatch();
  EXPECT_FALSE(core->applying());
  EXPECT_EQ(getU32(keyboard.memory(), device::kKeyTableAddress + 4 * 10), keys::kDisabledCode);
  // 0x706 (2) saved the profile once, 0x703 saved the table and the profile.
  EXPECT_GE(size_t(files.writes()), writesBefore + 2);
  EXPECT_TRUE(registry.read(kProfileRegistryKey, kProfileRegistryValue).has_value());
  auto* saved = files.find("/prog/Profile/Profile1.cfg");
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(getU32(*saved, 4 * 10), keys::kDisabledCode);
  EXPECT_TRUE(notices.entries.empty());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "refresh lighting"), calls.end());
}

TEST_F(MainWindowCoreTest, ExitDuringAnApplyWaitsForIt) {
  startUp();
  image->keyTable[180] = keys::kDisabledCode;
  exitDuringApply = true;  // "Exit" arrives while the progress dialog runs ...
  pacer.setShut(true);     // ... and the worker has not written the key table yet
  window.post(msg::kStartApply, 0, 0);
  dispatch();
  EXPECT_TRUE(core->closed());
  EXPECT_EQ(getU32(keyboard.memory(), device::kKeyTableAddress + 4 * 180), keys::kDisabledCode);
  EXPECT_EQ(calls.back(), "end loop, channel closed");
}

TEST_F(MainWindowCoreTest, FailedApplySaysSettingError) {
  startUp();
  endpoint.setFailing(true);
  window.post(msg::kStartApply, 0, 0);
  dispatch();
  ASSERT_FALSE(notices.entries.empty());
  EXPECT_EQ(notices.entries.back().text, u"Setting Error");
}

TEST_F(MainWindowCoreTest, LightingSendRefreshesAndSavesTheProfile) {
  startUp();
  int writes = files.writes();
  EXPECT_EQ(core->handle(msg::kLightingSend, msg::kSendEffectSlots, 0), 1);
  EXPECT_EQ(files.writes(), writes + 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"refresh lighting"}));
}

TEST_F(MainWindowCoreTest, KeyEventsReachTheRuntime) {
  startUp();
  image->keyTable[7] = keys::kTypeHostFunction | (uint32_t(runtime::kOpenWeb) << 16);
  image->setActionText(7, u"https://example.org/");
  core->handle(msg::kKeyEvent, 0xC000 | (runtime::kOpenWeb << 8) | 7, 0);
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(host.calls[0].text, u"https://example.org/");
}

TEST_F(MainWindowCoreTest, LanguageMessageOnlyWithTheMenuOpen) {
  startUp();
  core->handle(msg::kLanguageChoice, 0, 3);
  EXPECT_EQ(strings.text(StringKey::str_ok), u"OK");
  EXPECT_FALSE(registry.read(kLanguageRegistryKey, kLanguageRegistryValue).has_value());
  EXPECT_TRUE(calls.empty());

  menuOpen = true;
  core->handle(msg::kLanguageChoice, 0, 3);
  EXPECT_EQ(strings.text(StringKey::str_ok), u"Valider");
  EXPECT_EQ(registry.read(kLanguageRegistryKey, kLanguageRegistryValue), (std::vector<uint8_t>{3, 0, 0, 0}));
  EXPECT_EQ(calls, (std::vector<std::string>{"language 3", "refresh macro", "close menu"}));
}

TEST_F(MainWindowCoreTest, RestoreDefaultsStartsAnApply) {
  startUp();
  image->keyTable[3] = keys::kDisabledCode;
  core->handle(msg::kRestoreDefaults, 0, 0);
  EXPECT_EQ(image->keyTable, image->defaultKeyTable);
  auto posted = window.drain();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].id, msg::kStartApply);
}

TEST_F(MainWindowCoreTest, ProfileButtonsSwitchOnlyToAnotherProfile) {
  startUp();
  core->switchProfile(0);
  EXPECT_TRUE(calls.empty());
  core->switchProfile(2);
  EXPECT_EQ(profiles->current(), 2);
  EXPECT_EQ(calls, (std::vector<std::string>{"profile 2", "refresh keys", "refresh lighting"}));
}

TEST_F(MainWindowCoreTest, RemovalOfTheKeyboardWhileRunningCloses) {
  startUp();
  core->deviceChange(kDeviceRemoveComplete, R"(\\?\USB#VID_1234&PID_0001#x#{A5DCBF10})");
  EXPECT_TRUE(window.drain().empty());
  core->deviceChange(kDeviceRemoveComplete, R"(\\?\USB#VID_24AE&PID_4009#x#{A5DCBF10})");
  dispatch();
  EXPECT_TRUE(core->closed());
  EXPECT_EQ(notices.entries.back().text, u"The Orlix gaming keyboard cannot be found.");
}

}  // namespace

struct MainWindowSyncTest : MainWindowCoreTest {
  void SetUp() override {
    withSync = true;
    MainWindowCoreTest::SetUp();
  }
  // orlixctl disables key k in the stored profile (its own read, change and save).
  void orlixctlDisables(int k) {
    auto held = lock.acquire();
    ASSERT_TRUE(held);
    auto other = makeConfigImage();
    initialiseDefaults(*other);
    Profiles ctl(*other, files, registry, notices, "/prog");
    ctl.loadProfileTableAtStartUp();
    other->keyTable[size_t(k)] = keys::kDisabledCode;
    ASSERT_TRUE(ctl.saveProfileTableAndProfile());
  }
};

TEST_F(MainWindowSyncTest, OrlixctlsWordTakesTheChangeUpAndRedraws) {
  startUp();
  orlixctlDisables(10);
  window.post(kTakeUpStored, 0, 0);
  dispatch();
  EXPECT_EQ(image->keyTable[10], keys::kDisabledCode);
  EXPECT_EQ(calls, (std::vector<std::string>{"refresh keys", "refresh lighting"}));
  EXPECT_FALSE(lock.held());
}

TEST_F(MainWindowSyncTest, ApplyHoldsTheLockFromTakeUpToSaveAndWritesBothChanges) {
  startUp();
  orlixctlDisables(10);             // no word reached the window
  image->keyTable[20] = 0x04030002;  // the window's own edit
  int acquired = lock.acquired;
  window.post(msg::kStartApply, 0, 0);
  dispatch();
  // One hold for the take-up, the writes to the keyboard and both saves.
  EXPECT_EQ(lock.acquired, acquired + 1);
  EXPECT_FALSE(lock.held());
  EXPECT_EQ(getU32(keyboard.memory(), device::kKeyTableAddress + 4 * 10), keys::kDisabledCode);
  EXPECT_EQ(getU32(keyboard.memory(), device::kKeyTableAddress + 4 * 20), 0x04030002u);
  auto* saved = files.find("/prog/Profile/Profile1.cfg");
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(getU32(*saved, 4 * 10), keys::kDisabledCode);
  EXPECT_EQ(getU32(*saved, 4 * 20), 0x04030002u);
  EXPECT_TRUE(notices.entries.empty());
}

TEST_F(MainWindowSyncTest, ApplyWhileOrlixctlHoldsTheLockIsRefusedWithANotice) {
  startUp();
  image->keyTable[20] = 0x04030002;
  lock.heldElsewhere = true;
  auto memory = keyboard.memory();
  window.post(msg::kStartApply, 0, 0);
  dispatch();
  EXPECT_FALSE(core->applying());
  EXPECT_EQ(keyboard.memory(), memory);
  ASSERT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(notices.entries[0].text, kConfigBusyEn);
  EXPECT_EQ(image->keyTable[20], 0x04030002u);  // kept for the next try
}
