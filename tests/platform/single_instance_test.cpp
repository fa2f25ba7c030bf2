#include "platform/single_instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <functional>

#include "platform/paths.h"
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

// A lock name planted as a link, or a lock folder that is not the user's own
// private folder, is never written through: the victim file keeps its bytes and
// the socket alone decides.
TEST(SingleInstanceTest, HostileLockFolderIsNotWrittenThrough) {
  struct Case {
    const char* what;
    void (*prepare)(const std::filesystem::path& folder, const std::filesystem::path& victim, const std::string& name);
    bool needsRoot;
  };
  const Case cases[] = {
      {"link named like the lock",
       [](auto& folder, auto& victim, auto& name) {
         std::filesystem::create_directory(folder);
         ::chmod(folder.c_str(), 0700);
         std::filesystem::create_symlink(victim, folder / (name + ".lock"));
       },
       false},
      {"folder open to others",
       [](auto& folder, auto&, auto&) {
         std::filesystem::create_directory(folder);
         ::chmod(folder.c_str(), 0777);
       },
       false},
      {"folder is a link to a private folder",
       [](auto& folder, auto& victim, auto&) {
         std::filesystem::create_directory(victim.parent_path() / "real");
         ::chmod((victim.parent_path() / "real").c_str(), 0700);
         std::filesystem::create_directory_symlink(victim.parent_path() / "real", folder);
       },
       false},
      {"folder of another user",
       [](auto& folder, auto&, auto&) {
         std::filesystem::create_directory(folder);
         ::chmod(folder.c_str(), 0700);
         ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.needsRoot && ::geteuid() != 0) continue;
    TempDir dir;
    auto victim = dir / "thesis.tex";
    test::writeText(victim, "precious");
    auto folder = dir / "orlix-run";
    std::string name = testName("hostile");
    c.prepare(folder, victim, name);
    SingleInstance first(name, folder);
    EXPECT_EQ(first.acquire(), SingleInstance::Result::First);
    EXPECT_EQ(test::readBytes(victim), std::vector<uint8_t>({'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
    if (!std::filesystem::is_symlink(folder / (name + ".lock")))
      EXPECT_FALSE(std::filesystem::exists(folder / (name + ".lock")));
    EXPECT_FALSE(std::filesystem::exists(dir / "real" / (name + ".lock")));
    // The socket still keeps a second copy out.
    SingleInstance second(name, folder);
    EXPECT_EQ(second.acquire(), SingleInstance::Result::Second);
  }
}

TEST(EnsurePrivateFolder, CreatesPrivateAndRefusesOthers) {
  TempDir dir;
  std::string why;
  auto fresh = dir / "a" / "fresh";
  ASSERT_TRUE(ensurePrivateFolder(fresh, &why)) << why;
  struct stat st {};
  ASSERT_EQ(::lstat(fresh.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(ensurePrivateFolder(fresh));
  std::filesystem::create_directory(dir / "open");
  ::chmod((dir / "open").c_str(), 0755);
  EXPECT_FALSE(ensurePrivateFolder(dir / "open", &why));
  EXPECT_NE(why.find("0700"), std::string::npos) << why;
  test::writeText(dir / "file", "x");
  EXPECT_FALSE(ensurePrivateFolder(dir / "file"));
  std::filesystem::create_directory_symlink(fresh, dir / "link");
  EXPECT_FALSE(ensurePrivateFolder(dir / "link"));
}

// Runs body in a child process under another user id (root only); its exit status.
int asOtherUser(const std::function<int()>& body) {
  pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

int bindAbstract(const std::string& name) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::string full = name + "-" + std::to_string(::getuid());
  std::memcpy(addr.sun_path + 1, full.data(), full.size());
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), socklen_t(offsetof(sockaddr_un, sun_path) + 1 + full.size())) !=
          0 ||
      ::listen(fd, 8) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Whoever holds the socket name, the lock decides who is first.
TEST(SingleInstanceTest, TakenSocketNameDoesNotMakeTheLockHolderSecond) {
  TempDir dir;
  std::string name = testName("squat");
  int squatter = bindAbstract(name);
  ASSERT_GE(squatter, 0);
  SingleInstance first(name, dir.path());
  EXPECT_EQ(first.acquire(), SingleInstance::Result::First);
  EXPECT_EQ(first.fd(), -1);
  SingleInstance second(name, dir.path());
  EXPECT_EQ(second.acquire(), SingleInstance::Result::Second);
  ::close(squatter);
}

// A socket bound by another user under this user's name gets no words.
TEST(SingleInstanceTest, SignalIsNotSentToAnotherUsersSocket) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  std::string name = testName("foreign");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  uid_t me = ::getuid();
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
    // The name of the victim, bound by the other user.
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string full = name + "-" + std::to_string(me);
    std::memcpy(addr.sun_path + 1, full.data(), full.size());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), socklen_t(offsetof(sockaddr_un, sun_path) + 1 + full.size())) !=
            0 ||
        ::listen(fd, 8) != 0)
      ::_exit(1);
    char c = 1;
    if (::write(ready[1], &c, 1) != 1) ::_exit(2);
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 3000) != 1) ::_exit(0);
    int conn = ::accept(fd, nullptr, nullptr);
    char buf[16];
    pollfd q{conn, POLLIN, 0};
    // Anything written to the impostor is a failure.
    if (::poll(&q, 1, 500) == 1 && ::recv(conn, buf, sizeof buf, 0) > 0) ::_exit(3);
    ::_exit(0);
  }
  ::close(ready[1]);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ::close(ready[0]);
  EXPECT_FALSE(SingleInstance::signalFirst(kShowWindowWord, name, 200));
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Words from another user's connection are dropped unread.
TEST(SingleInstanceTest, DrainIgnoresOtherUsers) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempDir dir;
  std::string name = testName("other");
  SingleInstance first(name, dir.path());
  ASSERT_EQ(first.acquire(), SingleInstance::Result::First);
  uid_t me = ::getuid();
  int rc = asOtherUser([&] {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string full = name + "-" + std::to_string(me);
    std::memcpy(addr.sun_path + 1, full.data(), full.size());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), socklen_t(offsetof(sockaddr_un, sun_path) + 1 + full.size())) !=
        0)
      return 1;
    return ::send(fd, "show\n", 5, MSG_NOSIGNAL) == 5 ? 0 : 2;
  });
  ASSERT_EQ(rc, 0);
  ASSERT_TRUE(readable(first.fd(), 2000));
  EXPECT_TRUE(first.drain().empty());
}

}  // namespace
}  // namespace orlix::platform
