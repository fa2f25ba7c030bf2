#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <sstream>
#include <thread>

#include "../platform/platform_test_util.h"
#include "cli/cli.h"
#include "core/config/profile_file.h"
#include "core/device/device_commands.h"
#include "core/device/virtual_keyboard.h"
#include "core/keys/key_index.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"
#include "platform/paths.h"
#include "platform/vkbd_server.h"

using namespace orlix;
using namespace testutil;
using Bytes = std::vector<uint8_t>;

namespace {

struct CliFixture : ::testing::Test {
  TempFolder dir;
  fs::path root = dir.path / "root", config = dir.path / "cfg", socket = dir.path / "kb.sock";
  VirtualKeyboard keyboard;
  std::unique_ptr<platform::VkbdServer> server;
  std::thread serverThread;

  struct Result {
    int rc;
    std::string out, err;
    int errLines() const { return int(std::count(err.begin(), err.end(), '\n')); }
  };

  void SetUp() override {
    fs::create_directories(root);
    server = std::make_unique<platform::VkbdServer>(keyboard, socket, dir.path / "state");
    ASSERT_TRUE(server->listen()) << server->error();
    serverThread = std::thread([this] { server->run(); });
  }
  void TearDown() override {
    server->stop();
    serverThread.join();
  }

  Result run(std::vector<std::string> args) {
    std::vector<std::string> argv{"orlixctl", "--root", root.string(), "--config", config.string(), "--driver",
                                  "sim:" + socket.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::ostringstream out, err;
    int rc = cli::runCli(argv, out, err);
    return {rc, out.str(), err.str()};
  }
  Bytes profileFile(int k = 1) const {
    std::string s = readFile(root / "Profile" / ("Profile" + std::to_string(k) + ".cfg"));
    return Bytes(s.begin(), s.end());
  }
  uint32_t savedCode(int key, int profile = 1) const { return getU32(profileFile(profile), 4 * size_t(key)); }
  uint32_t keyboardCode(int key) {
    return getU32(keyboard.memory(), device::kKeyTableAddress + 4 * size_t(key));
  }
  // A Macro.cfg holding n macros of category 21, identifiers 0x15000001.. .
  void writeMacros(int n) {
    Bytes lib(2052000, 0);
    for (int i = 0; i < n; ++i) {
      size_t r = size_t(i) * kMacroRecordSize;
      putU32(lib, r + macros::kRecSize, 112);
      putU32(lib, r + macros::kRecMagic, macros::kMacroMagic);
      putU32(lib, r + macros::kRecId, 0x15000001u + uint32_t(i));
      putU32(lib, r + macros::kRecLoop, 1);
      putU32(lib, r + macros::kRecCount, 2);
      putU32(lib, r + macros::kRecEvents, 0xC0000041);
      putU32(lib, r + macros::kRecEvents + 4, 0xE0000041);
      putU16(lib, r + macros::kRecName, u'M');
    }
    std::ofstream(root / "Macro.cfg", std::ios::binary).write(reinterpret_cast<const char*>(lib.data()),
                                                               std::streamsize(lib.size()));
  }
};

}  // namespace

TEST_F(CliFixture, AFirstRunCreatesProfile1AndTheRegistryValue) {
  auto r = run({"profile", "list"});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("* 1  Profile1"), std::string::npos) << r.out;
  EXPECT_EQ(profileFile().size(), 107952u);
  EXPECT_EQ(fs::file_size(config / "Software" / "ULMORA" / "OrlixRGB" / "ConfigInfo"), 8700u);
}

// The help says how a key is named, and the names work as it says.
TEST_F(CliFixture, HelpTellsHowKeysAreNamed) {
  auto r = run({"--help"});
  ASSERT_EQ(r.rc, 0);
  EXPECT_NE(r.out.find("bare\n  digit 0..9 is the key of that name"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("#N is the key of index N"), std::string::npos) << r.out;
  auto digit = run({"key", "show", "1"}), index = run({"key", "show", "#1"});
  ASSERT_EQ(digit.rc, 0) << digit.err;
  ASSERT_EQ(index.rc, 0) << index.err;
  EXPECT_NE(digit.out, index.out);
}

TEST_F(CliFixture, KeySetShowAndBadInput) {
  auto r = run({"key", "set", "a", "combo:ctrl+shift+a"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(savedCode(8), 0x04030002u);
  r = run({"key", "show", "#8"});
  EXPECT_NE(r.out.find("function: combo:ctrl+shift+a"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("modified"), std::string::npos);
  EXPECT_NE(r.out.find("description: Shift + Ctrl + A"), std::string::npos) << r.out;

  struct Bad {
    std::vector<std::string> args;
    int rc;
  };
  const Bad bad[] = {
      {{"key", "set", "nosuchkey", "disable"}, 2},
      {{"key", "set", "a", "combo:a"}, 2},
      {{"key", "set", "a", "combo:hyper+a"}, 2},
      {{"key", "set", "a", "media:louder"}, 2},
      {{"key", "set", "a", "frobnicate"}, 2},
      {{"key", "set", "a", "macro:0x15009999"}, 1},
      {{"key", "show"}, 2},
  };
  for (const auto& b : bad) {
    auto x = run(b.args);
    EXPECT_EQ(x.rc, b.rc) << b.args.back();
    EXPECT_EQ(x.errLines(), 1) << x.err;
  }
  EXPECT_EQ(savedCode(8), 0x04030002u);  // untouched by the refusals

  const std::pair<std::string, uint32_t> ok[] = {
      {"disable", 7}, {"mouse:dblclick", 0x01F00001}, {"media:play", 0xCD000004}, {"media:player", 0x83010004},
      {"key:enter", 0x00280001}, {"host:folder:/home/u/My Files", 0xC5000003}, {"default", 0x00040001}};
  for (const auto& [function, code] : ok) {
    ASSERT_EQ(run({"key", "set", "#8", function}).rc, 0) << function;
    EXPECT_EQ(savedCode(8), code) << function;
  }
}

TEST_F(CliFixture, MacrosFromNewToDelete) {
  auto r = run({"macro", "new", "--category", "3", "--name", "Reload", "--loop-option", "2", "--events",
                "R down, 30ms, 20ms, R up, lbutton down, lbutton up"});
  ASSERT_EQ(r.rc, 0) << r.err;
  std::string id = r.out.substr(r.out.find("0x"), 10);
  EXPECT_EQ(id.substr(0, 4), "0x03");

  r = run({"macro", "show", id});
  EXPECT_NE(r.out.find("events: r down, 50ms, r up, lbutton down, lbutton up"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("loop option 2"), std::string::npos);
  EXPECT_NE(run({"macro", "list", "--category", "3"}).out.find("Reload"), std::string::npos);
  EXPECT_EQ(run({"macro", "list", "--category", "4"}).out, "no macros\n");

  ASSERT_EQ(run({"macro", "rename", id, "Reload fast"}).rc, 0);
  ASSERT_EQ(run({"key", "set", "g2", "macro:" + id}).rc, 0);
  r = run({"macro", "delete", id});
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.err, "The macro is being applied and cannot be deleted!\n");
  r = run({"--lang", "1", "macro", "delete", id});
  EXPECT_EQ(r.err, "当前宏正在被使用，不能删除！\n");

  ASSERT_EQ(run({"key", "set", "g2", "default"}).rc, 0);
  ASSERT_EQ(run({"macro", "delete", id}).rc, 0);
  EXPECT_EQ(run({"macro", "show", id}).rc, 1);

  for (const auto& events : {"", "A sideways", "nokey down", "-5ms"}) {
    auto x = run({"macro", "new", "--category", "21", "--name", "x", "--events", events});
    EXPECT_EQ(x.rc, 2) << events;
    EXPECT_EQ(x.errLines(), 1) << x.err;
  }
}

TEST_F(CliFixture, BindingAFiftyFirstMacroIsRefused) {
  writeMacros(51);
  // The first 51 keys with a key button that are not left column keys.
  std::vector<std::string> keys;
  for (int k = 0; k < 126 && keys.size() < 51; ++k)
    if (k != 18 && k != 24 && k != 36 && k != 42 && k != 72 && !std::string(orlix::keys::keyIndexInfo(k).token).empty() &&
        orlix::keys::keyIndexInfo(k).hasButton)
      keys.push_back("#" + std::to_string(k));
  ASSERT_EQ(keys.size(), 51u);
  for (int i = 0; i < 50; ++i)
    ASSERT_EQ(run({"key", "set", keys[size_t(i)], "macro:" + std::to_string(0x15000001 + i)}).rc, 0) << i;
  auto r = run({"key", "set", keys[50], "macro:0x15000033"});
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.err, "注意：只能分配50个宏到键盘中！\n");
}

TEST_F(CliFixture, LightSendsTheEffectAndSavesTheProfile) {
  auto r = run({"light", "always", "--keys", "led:22,led:23,led:24"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("sent ac000100ffc80003222324 (11 bytes"), std::string::npos) << r.out;
  ASSERT_FALSE(keyboard.lightingCommands().empty());
  EXPECT_EQ(toHex(keyboard.lightingCommands().back()), "ac000100ffc80003222324");
  // The page's commit on OK: entries 83..85 carry 0xAC at 96 and 100; the lighting mode is 6.
  Bytes p = profileFile();
  size_t led83 = profile::kKeyTableBytes + profile::kKeyExtraBytes + 83 * kLedStateSize;
  EXPECT_EQ(getU32(p, led83 + 96), 0xACu);
  EXPECT_EQ(getU32(p, led83 + 100), 0xACu);
  EXPECT_EQ(getU32(p, profile::kFixedBlocksSize - 4), 6u);

  r = run({"light", "single"});
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.err, "Single lighting:Uncheck the keyboard button!\n");
  r = run({"light", "always", "--apply-mode"});  // the Apply button says what OK says, never "?"
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.err, "ON :Uncheck the keyboard button!\n");
  r = run({"--lang", "1", "light", "wave", "--apply-mode", "--speed", "30"});  // wave selects every key itself
  EXPECT_EQ(r.rc, 0) << r.err;
  r = run({"light", "strength", "--level", "4", "--apply-mode"});
  EXPECT_NE(r.out.find("sent ad050400"), std::string::npos) << r.out;
  for (const auto& bad : std::vector<std::vector<std::string>>{{"light", "strength", "--color", "1,2,3"},
                                                              {"light", "wave", "--direction", "4"},
                                                              {"light", "single", "--speed", "11"},
                                                              {"light", "always", "--keys", "112"},
                                                              {"light", "disco"}}) {
    auto x = run(bad);
    EXPECT_EQ(x.rc, 2) << bad.back();
    EXPECT_EQ(x.errLines(), 1) << x.err;
  }
}

TEST_F(CliFixture, ApplyWritesKeysAndMacrosAndSaves) {
  writeMacros(2);
  ASSERT_EQ(run({"key", "set", "esc", "macro:0x15000001"}).rc, 0);
  ASSERT_EQ(run({"key", "set", "f1", "macro:0x15000001"}).rc, 0);
  ASSERT_EQ(run({"key", "set", "f2", "macro:0x15000002"}).rc, 0);
  ASSERT_EQ(run({"light", "always", "--keys", "all"}).rc, 0);
  auto r = run({"apply"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(keyboardCode(5), 0x00010005u);
  EXPECT_EQ(keyboardCode(11), 0x00010005u);
  EXPECT_EQ(keyboardCode(17), 0x00020005u);
  EXPECT_EQ(savedCode(17), 0x00020005u);  // saved with the slot numbers after 0x703
  // The LED group command went out with its extra zero byte.
  auto lighting = keyboard.lightingCommands();
  EXPECT_EQ(lighting.back().size(), 8u + 112 + 1);
  EXPECT_EQ(lighting.back().back(), 0);
}

TEST_F(CliFixture, UnpluggedInTheMiddleOfAnApply) {
  writeMacros(1);
  ASSERT_EQ(run({"key", "set", "esc", "macro:0x15000001"}).rc, 0);
  Bytes before = profileFile();
  // The apply saves the profile as it sends the LED group commands, at least
  // half a second before the worker's first write: the unplug falls in between.
  Result r;
  std::thread apply([&] { r = run({"apply"}); });
  bool saved = waitForReplacement(root / "Profile" / "Profile1.cfg");
  keyboard.setPlugged(false);
  apply.join();
  ASSERT_TRUE(saved);
  EXPECT_EQ(r.rc, 3);
  EXPECT_EQ(r.err, "Setting Error\n");
  EXPECT_EQ(profileFile(), before);  // intact: only the unchanged state was saved before the unplug

  r = run({"apply"});  // still unplugged: the driver refuses to open
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.errLines(), 1) << r.err;
}

TEST_F(CliFixture, ProfilesSwitchExportImportAndRestoreDefaults) {
  Result r0{};
  ASSERT_EQ(run({"key", "set", "a", "disable"}).rc, 0);
  ASSERT_EQ(run({"profile", "export", (dir.path / "a.cfg").string()}).rc, 0);
  ASSERT_EQ(run({"profile", "switch", "3"}).rc, 0);
  EXPECT_NE(run({"profile", "list"}).out.find("* 3  Profile3"), std::string::npos);
  EXPECT_EQ(savedCode(8, 3), 0x00040001u);

  r0 = run({"profile", "import", (dir.path / "a.cfg").string()});
  ASSERT_EQ(r0.rc, 0) << r0.err;
  EXPECT_EQ(r0.out.find("host function"), std::string::npos) << r0.out;  // none to tell of
  EXPECT_EQ(savedCode(8, 3), 7u);
  EXPECT_EQ(fs::file_size(root / "Macro.cfg"), 2052000u);

  auto r = run({"profile", "import", (dir.path / "missing.cfg").string()});
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.errLines(), 1);
  r = run({"profile", "export", (dir.path / "no" / "such" / "x.cfg").string()});
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.errLines(), 1);
  // An existing file is replaced only when asked to, and keeps its permissions.
  std::ofstream(dir.path / "mine.cfg") << "keep";
  fs::permissions(dir.path / "mine.cfg", fs::perms::owner_read | fs::perms::owner_write);
  r = run({"profile", "export", (dir.path / "mine.cfg").string()});
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.errLines(), 1) << r.err;
  EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
  EXPECT_EQ(readFile(dir.path / "mine.cfg"), "keep");
  r = run({"profile", "export", "--force", (dir.path / "mine.cfg").string()});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_GT(fs::file_size(dir.path / "mine.cfg"), 2052000u);
  EXPECT_EQ(fs::status(dir.path / "mine.cfg").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(run({"profile", "switch", "6"}).rc, 2);

  // What is no configuration file (garbage, notes, the macro library picked by
  // mistake, a named pipe) is refused in one line and every file stays as it was.
  std::ofstream(dir.path / "junk.cfg", std::ios::binary) << std::string(200000, '\xA9');
  std::ofstream(dir.path / "notes.txt") << "shopping list\n";
  ASSERT_EQ(::mkfifo((dir.path / "pipe.cfg").c_str(), 0600), 0);
  auto profileBefore = profileFile(3);
  auto macrosBefore = readFile(root / "Macro.cfg");
  for (auto name : {"junk.cfg", "notes.txt", "pipe.cfg"}) {
    SCOPED_TRACE(name);
    r = run({"profile", "import", (dir.path / name).string()});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.errLines(), 1) << r.err;
    EXPECT_NE(r.err.find("nothing was changed"), std::string::npos) << r.err;
  }
  r = run({"profile", "import", (root / "Macro.cfg").string()});
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find("not a configuration file"), std::string::npos) << r.err;
  EXPECT_EQ(profileFile(3), profileBefore);
  EXPECT_EQ(readFile(root / "Macro.cfg"), macrosBefore);

  r = run({"profile", "restore-defaults"});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(savedCode(8, 3), 0x00040001u);
  EXPECT_EQ(keyboardCode(8), 0x00040001u);
}

// An imported profile's host-function keys are listed, one line each.
TEST_F(CliFixture, ImportTellsOfHostFunctionKeys) {
  ASSERT_EQ(run({"key", "set", "#9", "host:open:/home/u/notes.txt"}).rc, 0);
  ASSERT_EQ(run({"profile", "export", (dir.path / "h.cfg").string()}).rc, 0);
  ASSERT_EQ(run({"key", "set", "#9", "default"}).rc, 0);
  auto r = run({"profile", "import", (dir.path / "h.cfg").string()});
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("1 keys that run a host function"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n  key 9 (Q): open /home/u/notes.txt\n"), std::string::npos) << r.out;
}

// A command that changes the configuration waits for another one that holds
// the data folder, instead of reading what the other is about to replace.
TEST_F(CliFixture, ChangesWaitForAnotherCommandHoldingTheFolder) {
  ASSERT_EQ(run({"key", "set", "a", "disable"}).rc, 0);
  std::string error;
  auto held = platform::FolderLock::acquire(root, 1000, error);
  ASSERT_TRUE(held) << error;
  std::atomic<bool> finished{false};
  Result r{};
  std::thread second([&] {
    r = run({"key", "set", "#9", "disable"});
    finished = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(finished.load());
  held.reset();
  second.join();
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(savedCode(8), 7u);
  EXPECT_EQ(savedCode(9), 7u);
}

TEST_F(CliFixture, WithoutAKeyboardCommandsThatNeedOneFailInOneLine) {
  server->stop();
  serverThread.join();
  server = std::make_unique<platform::VkbdServer>(keyboard, dir.path / "other.sock", dir.path / "state");
  ASSERT_TRUE(server->listen());
  serverThread = std::thread([this] { server->run(); });
  for (const auto& args : std::vector<std::vector<std::string>>{{"apply"}, {"light", "seven", "--keys", "all"},
                                                               {"profile", "restore-defaults"}}) {
    auto r = run(args);
    EXPECT_EQ(r.rc, 1) << args[0];
    EXPECT_EQ(r.errLines(), 1) << r.err;
    EXPECT_NE(r.err.find("cannot reach the keyboard"), std::string::npos);
  }
}
