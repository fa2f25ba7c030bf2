#pragma once
// Starting and finding the virtual keyboard daemon.

#include <filesystem>
#include <string>

namespace orlix::platform {

// The orlix-vkbd program: beside the running executable, else in the install's
// bin folder, else on PATH. Empty when none is found.
std::filesystem::path findVkbdProgram();

// True when a daemon answers at socket.
bool vkbdAnswers(const std::filesystem::path& socket);

// Starts orlix-vkbd in the background on socket (and the state folder, when not
// empty), detached from this process, and waits until it answers (at most
// timeoutMs). True when one answers, also when one was already running.
bool startVkbd(const std::filesystem::path& socket, const std::filesystem::path& state, std::string& error,
               int timeoutMs = 5000);

}  // namespace orlix::platform
