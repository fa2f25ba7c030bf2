#include "platform/single_instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "temp_dir.h"

namespace orlix::platform {
namespace {

using test::TempDir;

// A name of this test run, so a running program is never disturbed.
std::string testName(const char* what) { return std::string("OrlixConfigTest-") + what + "-" + std::to_string(::getpid()); }

bool readable(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, timeoutMs) == 1;
}

TEST(SingleInstanceTest, SecondCopySignalsTheFirst) {
  TempDir dir;
  std::string name = testName("signal");
  SingleInstance first(name, dir.path());
  ASSERT_EQ(first.acquire(), SingleInstance::Result::First);
  EXPECT_TRUE(std::filesystem::exists(dir / (name + ".lock")));
  EXPECT_FALSE(readable(first.fd(), 0));

  SingleInstance second(name, dir.path());
  ASSERT_EQ(second.acquire(), SingleInstance::Result::Second);
  EXPECT_EQ(second.fd(), -1);
  ASSERT_TRUE(SingleInstance::signalFirst(kShowWindowWord, name));

  ASSERT_TRUE(readable(first.fd(), 2000));
  EXPECT_EQ(first.drain(), std::vector<std::string>{"show"});
  EXPECT_TRUE(first.drain().empty());
}

TEST(SingleInstanceTest, SecondProcessSignalsAndExits) {
  TempDir dir;
  std::string name = testName("process");
  SingleInstance first(name, dir.path());
  ASSERT_EQ(first.acquire(), SingleInstance::Result::First);

  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SingleInstance copy(name, dir.path());
    if (copy.acquire() != SingleInstance::Result::Second) ::_exit(10);
    ::_exit(SingleInstance::signalFirst(kShowWindowWord, name) ? 0 : 11);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ASSERT_TRUE(readable(first.fd(), 2000));
  EXPECT_EQ(first.drain(), std::vector<std::string>{"show"});
}

TEST(SingleInstanceTest, LockIsFreedWhenTheFirstCopyEnds) {
  TempDir dir;
  std::string name = testName("release");
  {
    SingleInstance first(name, dir.path());
    ASSERT_EQ(first.acquire(), SingleInstance::Result::First);
  }
  SingleInstance next(name, dir.path());
  EXPECT_EQ(next.acquire(), SingleInstance::Result::First);
  // Nobody listens under another name: signalling gives up.
  EXPECT_FALSE(SingleInstance::signalFirst(kShowWindowWord, testName("nobody"), 100));
}

TEST(SingleInstanceTest, UnusableLockFolderLeavesTheSocketToDecide) {
  TempDir dir;
  test::writeText(dir / "file", "x");
  std::string name = testName("nolock");
  SingleInstance first(name, dir / "file" / "run");
  ASSERT_EQ(first.acquire(), SingleInstance::Result::First);
  SingleInstance second(name, dir / "file" / "run");
  EXPECT_EQ(second.acquire(), SingleInstance::Result::Second);
}

TEST(SingleInstanceTest, SilentOrLongPeersDoNotBlockOrOverflow) {
  TempDir dir;
  std::string name = testName("peers");
  SingleInstance first(name, dir.path());
  ASSERT_EQ(first.acquire(), SingleInstance::Result::First);
  ASSERT_TRUE(SingleInstance::signalFirst("", name));  // connects, writes only a newline
  ASSERT_TRUE(SingleInstance::signalFirst(std::string(500, 'x'), name));
  ASSERT_TRUE(readable(first.fd(), 2000));
  auto words = first.drain();
  ASSERT_EQ(words.size(), 1u);
  EXPECT_EQ(words[0].size(), 64u);

  // A peer that connects and says nothing costs the first copy a short wait only.
  int silent = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::string abstractName = name + "-" + std::to_string(::getuid());
  std::memcpy(addr.sun_path + 1, abstractName.data(), abstractName.size());
  ASSERT_EQ(::connect(silent, reinterpret_cast<sockaddr*>(&addr),
                      socklen_t(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size())),
            0);
  ASSERT_TRUE(readable(first.fd(), 2000));
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(first.drain().empty());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  ::close(silent);
}

}  // namespace
}  // namespace orlix::platform
