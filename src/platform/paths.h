#pragma once
// The folders of the program on Linux: where its read-only files are (the
// program folder), where it writes profiles and the macro library (the data
// folder), where its settings live, and the runtime and state folders.

#include <filesystem>
#include <string>

namespace orlix::platform {

namespace fs = std::filesystem;

// Folder of the running executable.
fs::path executableFolder();

// The program folder: override (--root) if given, else ORLIX_ROOT, else the
// executable's folder when it holds skins/ or Language/ (build tree, portable
// install), else <prefix>/share/orlix.
fs::path programFolder(const std::string& override = {});

// Where Profile/ and Macro.cfg live: the program folder when it is writable,
// else $XDG_DATA_HOME/orlix (created on demand by the writers).
fs::path dataFolder(const fs::path& programFolder);

// Settings (the registry store): override (--config), else ORLIX_CONFIG_DIR, else
// $XDG_CONFIG_HOME/orlix, else ~/.config/orlix.
fs::path configFolder(const std::string& override = {});

// $XDG_RUNTIME_DIR/orlix, else /tmp/orlix-<uid>.
fs::path runtimeFolder();

// $XDG_STATE_HOME/orlix, else ~/.local/state/orlix.
fs::path stateFolder();

// The virtual keyboard's socket: ORLIX_VKBD_SOCKET, else runtimeFolder()/umorlixdrv.sock.
fs::path defaultVkbdSocket();

// Creates the folder and its parents with mode 0700 for the parts it creates.
bool ensureFolder(const fs::path& folder);

// Writes a whole file atomically: a temporary file beside it, flushed, renamed
// over the old one. On failure the old file is untouched and false is returned.
bool writeFileAtomically(const fs::path& file, const void* data, size_t size);

}  // namespace orlix::platform
