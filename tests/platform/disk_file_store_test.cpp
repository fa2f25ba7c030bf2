#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <unistd.h>

#include "platform/disk_file_store.h"
#include "platform_test_util.h"

using namespace orlix;
using namespace testutil;
using Bytes = std::vector<uint8_t>;

TEST(DiskFileStore, ReadWriteAndWhyAFileCannotBeHad) {
  TempFolder dir;
  platform::DiskFileStore store;
  std::string file = (dir.path / "Macro.cfg").string();
  FileError e = FileError::Other;

  EXPECT_FALSE(store.read(file, 100, e));
  EXPECT_EQ(e, FileError::NotFound);
  EXPECT_FALSE(store.exists(file));
  EXPECT_EQ(store.write(file, Bytes{1, 2, 3, 4, 5}), FileError::None);
  EXPECT_TRUE(store.exists(file));
  auto b = store.read(file, 3, e);
  ASSERT_TRUE(b);
  EXPECT_EQ(e, FileError::None);
  EXPECT_EQ(*b, (Bytes{1, 2, 3}));

  std::string inMissingFolder = (dir.path / "Profile" / "Profile1.cfg").string();
  EXPECT_EQ(store.write(inMissingFolder, Bytes{1}), FileError::NotFound);
  EXPECT_FALSE(store.read(inMissingFolder, 10, e));
  EXPECT_EQ(e, FileError::NotFound);
  EXPECT_FALSE(store.read(dir.path.string(), 10, e));  // a folder is not a file
}

TEST(DiskFileStore, AFailedWriteKeepsThePreviousFile) {
  TempFolder dir;
  platform::DiskFileStore store;
  fs::path file = dir.path / "Profile1.cfg";
  ASSERT_EQ(store.write(file.string(), Bytes(10, 0xAB)), FileError::None);
  // The new content cannot be written in full: files may not grow beyond 100
  // bytes (a full disk, as far as the writer can tell).
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit small = saved;
  small.rlim_cur = 100;
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  FileError e = store.write(file.string(), Bytes(1000, 0x01));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(e, FileError::Other);
  EXPECT_EQ(readFile(file), std::string(10, char(0xAB)));
}
