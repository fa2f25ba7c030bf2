#include "platform/data_folder_lock.h"

#include <gtest/gtest.h>

#include <chrono>

#include "core/config/config_sync.h"
#include "core/config/profiles.h"
#include "core/device/pacer.h"
#include "core/keys/key_codes.h"
#include "core/macros/macro_library.h"
#include "platform/disk_file_store.h"
#include "platform/file_registry.h"
#include "platform/paths.h"
#include "temp_dir.h"

using namespace orlix;

namespace {

constexpr uint32_t kCombo = 0x04030002;

// One program's configuration in the data folder, as loaded at its start.
struct Program {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  std::unique_ptr<Profiles> profiles;
  std::unique_ptr<macros::MacroLibrary> macros;
  Program(const std::filesystem::path& data, FileStore& files, Registry& registry, UserNotices& notices,
          Pacer& pacer) {
    initialiseDefaults(*image);
    profiles = std::make_unique<Profiles>(*image, files, registry, notices, data.string());
    macros = std::make_unique<macros::MacroLibrary>(*image, files, (data / "Macro.cfg").string(), notices,
                                                    TextSource{}, pacer);
    profiles->loadProfileTableAtStartUp();
    macros->LoadMacroLibrary();
  }
};

// The window program's save path on real files and the real lock, with
// another holder of the lock (orlixctl between its read and its last save).
struct WindowSaveUnderLock : ::testing::Test {
  test::TempDir dir;
  std::filesystem::path data = dir.path() / "data";
  platform::DiskFileStore files;
  std::unique_ptr<platform::FileRegistry> registry;
  RecordingNotices notices;
  FakePacer pacer;
  static constexpr int kWaitMs = 150;
  platform::DataFolderLock lock{data, kWaitMs};
  std::unique_ptr<Program> window;
  std::unique_ptr<ConfigSync> sync;

  void SetUp() override {
    ASSERT_TRUE(platform::ensureFolder(data / "Profile"));
    ASSERT_EQ(files.write((data / "Macro.cfg").string(), std::vector<uint8_t>(macros::kMacroFileSize, 0)),
              FileError::None);
    registry = std::make_unique<platform::FileRegistry>(dir.path() / "config");
    window = std::make_unique<Program>(data, files, *registry, notices, pacer);
    sync = std::make_unique<ConfigSync>(*window->image, *window->profiles, files, *registry,
                                        (data / "Macro.cfg").string(), lock, notices, TextSource{});
    window->profiles->setWriteGuard(sync.get());
    sync->rememberAll();
    notices.entries.clear();
  }
  uint32_t storedKey(int k) {
    Program next(data, files, *registry, notices, pacer);
    return next.image->keyTable[size_t(k)];
  }
};

TEST_F(WindowSaveUnderLock, WaitsBoundedWhileAnotherHoldsItAndThenKeepsBothChanges) {
  std::string error;
  auto other = platform::FolderLock::acquire(data, 0, error);
  ASSERT_TRUE(other) << error;
  {  // orlixctl, holding the lock, stores its change
    Program ctl(data, files, *registry, notices, pacer);
    ctl.image->keyTable[10] = keys::kDisabledCode;
    ASSERT_TRUE(ctl.profiles->saveProfileTableAndProfile());
  }
  window->image->keyTable[20] = kCombo;

  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(window->profiles->saveProfile());
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(kWaitMs));
  EXPECT_LT(waited, std::chrono::milliseconds(kWaitMs + 2000));
  ASSERT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(storedKey(20), defaultKeyTable()[20]);  // nothing written while the other held it

  other.reset();
  EXPECT_TRUE(window->profiles->saveProfile());
  EXPECT_EQ(storedKey(10), keys::kDisabledCode);
  EXPECT_EQ(storedKey(20), kCombo);
}

TEST_F(WindowSaveUnderLock, TheWindowsHoldKeepsOrlixctlOutUntilItEnds) {
  std::string error;
  {
    auto held = sync->hold();
    ASSERT_TRUE(held);
    EXPECT_EQ(sync->hold(), held);  // shared within the window program
    EXPECT_FALSE(platform::FolderLock::acquire(data, 0, error));
  }
  EXPECT_TRUE(platform::FolderLock::acquire(data, 0, error)) << error;
}

}  // namespace
