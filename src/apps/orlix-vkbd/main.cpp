// orlix-vkbd: the virtual keyboard daemon.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "core/device/virtual_keyboard.h"
#include "platform/paths.h"
#include "platform/uhid_keyboard.h"
#include "platform/vkbd_server.h"

namespace {
orlix::platform::VkbdServer* gServer = nullptr;
void onSignal(int) {
  if (gServer) gServer->stop();
}

void usage(std::ostream& o) {
  o << "usage: orlix-vkbd [--socket PATH] [--state DIR] [--daemon] [--uhid]\n"
       "  Serves a virtual Orlix keyboard on a Unix socket.\n"
       "  --socket PATH  default $ORLIX_VKBD_SOCKET, else $XDG_RUNTIME_DIR/orlix/umorlixdrv.sock\n"
       "  --state DIR    where memory.bin and transfers.log are kept\n"
       "                 (default $XDG_STATE_HOME/orlix/vkbd)\n"
       "  --daemon       go to the background once the socket answers\n"
       "  --uhid         also present the keyboard to the kernel through /dev/uhid, so\n"
       "                 it gets a hidraw node and is found as the real keyboard is\n"
       "                 (orlixctl --driver hidraw); needs root or access to /dev/uhid\n";
}
}  // namespace

int main(int argc, char** argv) {
  namespace p = orlix::platform;
  std::filesystem::path socket = p::defaultVkbdSocket();
  std::filesystem::path state = p::stateFolder() / "vkbd";
  bool daemon = false;
  bool uhid = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--socket" && i + 1 < argc) socket = argv[++i];
    else if (a == "--state" && i + 1 < argc) state = argv[++i];
    else if (a == "--daemon") daemon = true;
    else if (a == "--uhid") uhid = true;
    else if (a == "-h" || a == "--help") {
      usage(std::cout);
      return 0;
    } else {
      std::cerr << "orlix-vkbd: unknown argument " << a << "\n";
      usage(std::cerr);
      return 2;
    }
  }

  int ready[2] = {-1, -1};
  if (daemon) {
    // The parent waits for one byte from the child: the socket is listening.
    if (::pipe(ready) != 0) return 1;
    pid_t pid = ::fork();
    if (pid < 0) return 1;
    if (pid > 0) {
      ::close(ready[1]);
      char c = 0;
      ssize_t n = ::read(ready[0], &c, 1);
      return n == 1 && c == 1 ? 0 : 1;
    }
    ::close(ready[0]);
    ::setsid();
  }

  std::unique_ptr<p::UhidFront> uhidFront;
  if (uhid) {
    uhidFront = std::make_unique<p::UhidFront>(socket);
    if (!uhidFront->open()) {
      std::cerr << "orlix-vkbd: " << uhidFront->error() << "\n";
      return 1;
    }
  }

  orlix::VirtualKeyboard keyboard;
  p::VkbdServer server(keyboard, socket, state);
  if (!server.listen()) {
    std::cerr << "orlix-vkbd: " << server.error() << "\n";
    return 1;
  }
  gServer = &server;
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);
  if (daemon) {
    char c = 1;
    [[maybe_unused]] auto n = ::write(ready[1], &c, 1);
    ::close(ready[1]);
    // A daemon keeps no terminal or pipe of its starter open.
    int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
      if (null > 2) ::close(null);
    }
  } else {
    std::cerr << "orlix-vkbd: listening at " << socket.string() << ", state in " << state.string() << "\n";
  }
  if (uhidFront) uhidFront->start();
  server.run();
  if (uhidFront) uhidFront->stop();
  return 0;
}
