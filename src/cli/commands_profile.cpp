#include <filesystem>
#include <ostream>

#include "cli/commands.h"
#include "cli/config_session.h"
#include "cli/json_output.h"
#include "core/config/profiles.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/runtime/key_action_runtime.h"

namespace orlix::cli {

namespace {

const char* reasonOf(FileError e) {
  switch (e) {
    case FileError::NotFound: return "the folder does not exist";
    case FileError::AccessDenied: return "permission denied";
    default: return "the file could not be written";
  }
}

int profileList(Context& ctx) {
  Session s(ctx);
  if (!s.open(false)) return kExitFailure;
  if (ctx.options.json) return printProfileListJson(ctx, s);
  for (int k = 0; k < kProfileCount; ++k) {
    const auto& rec = s.image->profiles.records[size_t(k)];
    std::string path = s.profiles->path(k);
    bool present = s.files.exists(path);
    ctx.out << (k == s.profiles->current() ? "* " : "  ") << k + 1 << "  " << narrow(profile::recordName(rec)) << "  "
            << path << (present ? "" : "  (no file yet)") << "\n";
  }
  return kExitOk;
}

int profileSwitch(Context& ctx, const std::string& arg) {
  auto n = parseInteger(arg, 1, 5);
  if (!n) return fail(ctx, "profile number must be 1..5: " + arg, kExitUsage);
  Session s(ctx);
  if (!s.open(false)) return kExitFailure;
  s.profiles->switchProfile(int(*n - 1));
  if (!s.commit()) return kExitFailure;
  ctx.out << "profile " << *n << " is current (orlixctl apply writes it into the keyboard)\n";
  return kExitOk;
}

int profileExport(Context& ctx, const std::string& file, bool force) {
  std::error_code ec;
  if (!force && std::filesystem::exists(std::filesystem::symlink_status(file, ec)))
    return fail(ctx, file + " exists; nothing was written (--force replaces it)");
  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  FileError e = s.profiles->exportConfiguration(file);
  if (e != FileError::None) return fail(ctx, "cannot write " + file + ": " + reasonOf(e));
  ctx.out << "exported profile " << s.profiles->current() + 1 << " and the macro library to " << file << "\n";
  return kExitOk;
}

int profileImport(Context& ctx, const std::string& file) {
  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  if (!s.files.exists(file)) return fail(ctx, "cannot read " + file + ": no such file");
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    return fail(ctx, "cannot import " + file + ": not a regular file; nothing was changed");
  ImportError why = ImportError::None;
  if (!s.profiles->importConfiguration(file, &why)) {
    if (why == ImportError::NotAConfiguration)
      return fail(ctx, "cannot import " + file +
                           ": not a configuration file (its size is not that of an exported profile); nothing was "
                           "changed");
    return fail(ctx, "cannot read " + file + "; nothing was changed");
  }
  if (!s.commit() || !s.saveMacros()) return kExitFailure;
  ctx.out << "imported " << file << " into profile " << s.profiles->current() + 1
          << " (orlixctl apply writes it into the keyboard)\n";
  // Keys that start programs or open files came with the file: the user learns
  // of them before an apply lets the keyboard report their presses.
  auto hostKeys = runtime::hostFunctionKeys(*s.image);
  if (!hostKeys.empty())
    ctx.out << "the imported profile has " << hostKeys.size()
            << " keys that run a host function when pressed (while orlix or orlixctl listen runs):\n";
  for (const auto& k : hostKeys) ctx.out << "  " << runtime::describe(k) << "\n";
  return kExitOk;
}

int profileRestoreDefaults(Context& ctx) {
  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  auto keyboard = connectKeyboard(ctx);
  if (!keyboard) return kExitFailure;
  bool startApply = false;
  {
    MessageQueue main;
    windows::registerTarget(kMainWindowTitle, &main);
    restoreDefaults(*s.image, s.profiles->current(), {});
    windows::unregisterTarget(&main);
    for (const auto& m : main.drain()) startApply = startApply || m.id == msg::kStartApply;
  }
  if (!startApply) return fail(ctx, "restoring the defaults did not start an apply");
  int rc = runApply(s, *keyboard);
  if (rc == kExitOk) ctx.out << "defaults restored in profile " << s.profiles->current() + 1 << "\n";
  return rc;
}

int cmdProfile(Context& ctx, std::span<const std::string> args) {
  const char* usage =
      "usage: orlixctl profile list | switch N | export [--force] FILE | import FILE | restore-defaults";
  if (args.empty()) return fail(ctx, usage, kExitUsage);
  const std::string& sub = args[0];
  if (sub == "list" && args.size() == 1) return profileList(ctx);
  if (sub == "switch" && args.size() == 2) return profileSwitch(ctx, args[1]);
  if (sub == "export" && args.size() == 2 && args[1] != "--force") return profileExport(ctx, args[1], false);
  if (sub == "export" && args.size() == 3 && (args[1] == "--force" || args[2] == "--force"))
    return profileExport(ctx, args[1] == "--force" ? args[2] : args[1], true);
  if (sub == "import" && args.size() == 2) return profileImport(ctx, args[1]);
  if (sub == "restore-defaults" && args.size() == 1) return profileRestoreDefaults(ctx);
  return fail(ctx, usage, kExitUsage);
}

}  // namespace

void addProfileCommands(CommandTable& t) {
  t.push_back({"profile", "profile list | switch N | export [--force] FILE | import FILE | restore-defaults",
               "list or switch the five profiles, export (--force: over an existing file) or import a "
               "configuration, restore the defaults",
               cmdProfile});
}

}  // namespace orlix::cli
