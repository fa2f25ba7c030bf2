#include <gtest/gtest.h>

#include <algorithm>
#include <signal.h>
#include <sys/stat.h>
#include <sys/resource.h>
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

// Reading into a buffer: a file shorter, as long as and longer than the room,
// and files that cannot be read, which leave the buffer as it was.
TEST(DiskFileStore, ReadIntoFillsTheRoomAndTellsHowMuch) {
  TempFolder dir;
  platform::DiskFileStore store;
  std::string file = (dir.path / "Macro.cfg").string();
  Bytes big(200000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i * 7 + 1);
  struct Case {
    size_t fileSize, room, expected;
  } cases[] = {{5, 8, 5}, {8, 8, 8}, {200000, 150000, 150000}, {0, 4, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileSize);
    ASSERT_EQ(store.write(file, std::span<const uint8_t>(big.data(), c.fileSize)), FileError::None);
    Bytes room(c.room, 0xEE);
    FileError e = FileError::Other;
    auto n = store.readInto(file, room, e);
    ASSERT_TRUE(n);
    EXPECT_EQ(e, FileError::None);
    EXPECT_EQ(*n, c.expected);
    EXPECT_TRUE(std::equal(room.begin(), room.begin() + ptrdiff_t(c.expected), big.begin()));
    EXPECT_TRUE(std::all_of(room.begin() + ptrdiff_t(c.expected), room.end(), [](uint8_t b) { return b == 0xEE; }));
  }
  Bytes room(4, 0xEE);
  FileError e = FileError::None;
  EXPECT_FALSE(store.readInto((dir.path / "none.cfg").string(), room, e));
  EXPECT_EQ(e, FileError::NotFound);
  EXPECT_FALSE(store.readInto(dir.path.string(), room, e));
  EXPECT_EQ(e, FileError::Other);
  EXPECT_EQ(room, Bytes(4, 0xEE));
}

// A named pipe or a device given as a file is refused at once, never waited on.
TEST(DiskFileStore, ReadRefusesWhatIsNoRegularFileWithoutBlocking) {
  TempFolder dir;
  platform::DiskFileStore store;
  auto fifo = dir.path / "pipe.cfg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (std::string path : {fifo.string(), std::string("/dev/zero")}) {
    SCOPED_TRACE(path);
    // A read that blocks is ended by the alarm: the test fails instead of hanging.
    struct sigaction sa {};
    sa.sa_handler = [](int) {};
    ::sigaction(SIGALRM, &sa, nullptr);  // no SA_RESTART: the blocked open returns
    ::alarm(2);
    FileError e = FileError::None;
    EXPECT_FALSE(store.read(path, 100, e));
    ::alarm(0);
    EXPECT_EQ(e, FileError::Other);
  }
}

TEST(DiskFileStore, AWriteThatFailsHalfWayKeepsThePreviousFile) {
  TempFolder dir;
  platform::DiskFileStore store;
  fs::path file = dir.path / "Profile1.cfg";
  ASSERT_EQ(store.write(file.string(), Bytes(1000, 0xAB)), FileError::None);

  // Files of this process may not grow beyond 4 KiB: the write stops half-way.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  FileError e = store.write(file.string(), Bytes(10000, 0x01));
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(e, FileError::Other);
  EXPECT_EQ(readFile(file), std::string(1000, char(0xAB)));
  for (const auto& entry : fs::directory_iterator(dir.path))  // no temporary file is left
    EXPECT_EQ(entry.path().filename(), "Profile1.cfg");
}
