#pragma once
// The folders of the program on Linux: where its read-only files are (the
// program folder), where it writes profiles and the macro library (the data
// folder), where its settings live, and the runtime and state folders.

#include <filesystem>
#include <memory>
#include <string>

namespace orlix::platform {

namespace fs = std::filesystem;

// Folder of the running executable.
fs::path executableFolder();

// The program folder: override (--root) if given, else ORLIX_ROOT, else the
// executable's folder when it holds skins/, Language/ or Profile/ (build tree, portable
// install), else ../share/orlix beside the executable's folder when that exists
// (an installed prefix, wherever it was moved), else the configured
// <prefix>/share/orlix.
fs::path programFolder(const std::string& override = {});
// The part of programFolder() after the overrides, for an executable in folder exe.
fs::path programFolderBeside(const fs::path& exe);

// Where Profile/ and Macro.cfg live: the program folder when it is writable,
// else $XDG_DATA_HOME/orlix (else ~/.local/share/orlix).
fs::path dataFolder(const fs::path& programFolder);

// Makes a data folder apart from the program folder ready for first use, as an
// installation would leave it beside the program: the folder, an empty Profile/
// and a copy of the program folder's Macro.cfg when it has none. Existing files
// are never touched. Nothing is done when the two folders are the same. False
// when the folder or Profile/ cannot be made or the copy fails.
bool prepareDataFolder(const fs::path& programFolder, const fs::path& dataFolder);
// dataFolder(programFolder), prepared for first use, with the temporary files
// of crashed writes removed from it and from its Profile/. A folder that cannot
// be prepared is still returned: the file operations then report their failures.
fs::path preparedDataFolder(const fs::path& programFolder);

// Settings (the registry store): override (--config), else ORLIX_CONFIG_DIR, else
// $XDG_CONFIG_HOME/orlix, else ~/.config/orlix.
fs::path configFolder(const std::string& override = {});

// $XDG_RUNTIME_DIR/orlix, else /tmp/orlix-<uid>.
fs::path runtimeFolder();

// $XDG_STATE_HOME/orlix, else ~/.local/state/orlix.
fs::path stateFolder();

// The virtual keyboard's socket: ORLIX_VKBD_SOCKET, else runtimeFolder()/umorlixdrv.sock.
fs::path defaultVkbdSocket();

// Root of the sysfs tree that device discovery reads: ORLIX_SYSFS_ROOT, else /sys.
fs::path sysfsRoot();

// Creates the folder and its parents with mode 0700 for the parts it creates.
bool ensureFolder(const fs::path& folder);

// Makes sure folder is this user's own: creates it (and its parents) with
// mode 0700 when missing, then refuses it unless it is a real folder (not a
// symbolic link), owned by the user and open to nobody else. Folders in shared
// places (the /tmp fallback of the runtime folder) can be made by anyone, so
// whatever is found there is checked, never trusted. False with a reason in
// *why when refused or not made.
bool ensurePrivateFolder(const fs::path& folder, std::string* why = nullptr);

// Opens (creating with mode 0600 when flags hold O_CREAT) a file that must not
// be a symbolic link, so a link planted in its place never redirects a write.
// O_CLOEXEC and O_NOFOLLOW are added to flags. A descriptor or -1 with errno.
int openNoFollow(const fs::path& file, int flags);

// Writes a whole file atomically: a temporary file beside it (a fresh name, so
// concurrent writers never share one), flushed, renamed over the old one, and
// the folder flushed. On failure the old file is untouched, no temporary file
// is left and false is returned. New files get mode 0666 less the umask; a
// replaced file keeps its permission bits.
bool writeFileAtomically(const fs::path& file, const void* data, size_t size);

// Removes, directly in folder, the temporary files that writeFileAtomically
// (and the first-use copy of Macro.cfg) leave behind when a process dies
// between writing and renaming: "<name>.tmp-<pid>[-<n>]" whose process is
// gone. Those of a running process are left alone: it may be writing. Returns
// how many were removed.
int removeStaleTemporaries(const fs::path& folder);

// An advisory lock (flock) on <folder>/.orlix.lock, held while the object
// lives, so that read-modify-write cycles on the folder's files by several
// processes follow one another instead of undoing each other.
class FolderLock {
 public:
  // Waits up to timeoutMs for the lock. Nothing, with a reason in error, when
  // it cannot be had in time or the lock file cannot be opened.
  static std::unique_ptr<FolderLock> acquire(const fs::path& folder, int timeoutMs, std::string& error);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  explicit FolderLock(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace orlix::platform
