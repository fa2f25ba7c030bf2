#include "cli/cli.h"
#include "cli/json_output.h"

#include <charconv>
#include <cstdlib>
#include <utility>
#include <ostream>

namespace orlix::cli {

int fail(Context& ctx, const std::string& message, int code) {
  ctx.err << "orlixctl: " << message << "\n";
  return code;
}

std::optional<long> parseInteger(std::string_view text, long min, long max) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  long v = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (text.empty() || ec != std::errc() || p != text.data() + text.size() || v < min || v > max)
    return std::nullopt;
  return v;
}

namespace {
// The global options as the help lists them (the manual page is made from the help).
constexpr std::pair<const char*, const char*> kGlobalOptions[] = {
    {"--driver auto|sim[:SOCKET]|hidraw[:DEVICE]", "how the keyboard is reached (default auto: the keyboard, else the virtual one)"},
    {"--simulate", "use the virtual keyboard, starting orlix-vkbd when none runs"},
    {"--root DIR", "the program folder (skins/, Language/, Profile/); default ORLIX_ROOT, else found beside the program"},
    {"--config DIR", "the settings folder; default ORLIX_CONFIG_DIR, else $XDG_CONFIG_HOME/orlix"},
    {"--lang ID", "the language of the texts a command shows (see orlixctl lang list)"},
    {"--instance NAME", "the running window program to tell of stored changes (orlix --instance NAME; "
                        "default OrlixConfig)"},
    {"--json", "print one JSON document instead of text (version, paths, devices, sim status, keys, key show, "
               "profile list, macro list, macro show)"},
    {"-h, --help", "show this help"},
};

void printHelp(std::ostream& out) {
  out << "usage: orlixctl [--driver auto|sim[:SOCKET]|hidraw[:DEVICE]] [--simulate] [--json]\n"
         "                [--root DIR] [--config DIR] [--lang ID] [--instance NAME] COMMAND [ARGS...]\n\n"
         "options:\n";
  for (auto [option, summary] : kGlobalOptions) out << "  " << option << "\n      " << summary << "\n";
  out << "\ncommands:\n";
  for (const auto& c : commandTable()) {
    out << "  " << c.usage << "\n      " << c.summary << "\n";
  }
  out << "\nkeys (KEY in the commands above):\n"
         "  a name: a, f1, lctrl, num1, g1..g5 (the five keys in the left column); a bare\n"
         "  digit 0..9 is the key of that name (1 is the key 1, not index 1);\n"
         "  #N is the key of index N (0..180), and so is a number of two or more digits;\n"
         "  orlixctl keys lists every key with its index and name.\n";
}

const char* envOr(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}
}  // namespace

int runCli(std::span<const std::string> argv, std::ostream& out, std::ostream& err) {
  Context ctx{GlobalOptions{}, out, err, argv.empty() ? std::string() : argv[0]};
  ctx.options.root = envOr("ORLIX_ROOT");
  ctx.options.config = envOr("ORLIX_CONFIG_DIR");
  size_t i = 1;
  auto value = [&](const std::string& opt, std::string& into) -> bool {
    if (i + 1 >= argv.size()) return false;
    into = argv[++i];
    (void)opt;
    return true;
  };
  for (; i < argv.size(); ++i) {
    const std::string& a = argv[i];
    if (a == "--simulate") {
      ctx.options.simulate = true;
    } else if (a == "--json") {
      ctx.options.json = true;
    } else if (a == "--driver") {
      if (!value(a, ctx.options.driver)) return fail(ctx, "--driver needs a value", kExitUsage);
    } else if (a.rfind("--driver=", 0) == 0) {
      ctx.options.driver = a.substr(9);
    } else if (a == "--root") {
      if (!value(a, ctx.options.root)) return fail(ctx, "--root needs a folder", kExitUsage);
    } else if (a == "--config") {
      if (!value(a, ctx.options.config)) return fail(ctx, "--config needs a folder", kExitUsage);
    } else if (a == "--lang") {
      if (!value(a, ctx.options.lang)) return fail(ctx, "--lang needs a language (see orlixctl lang list)", kExitUsage);
    } else if (a == "--instance") {
      if (!value(a, ctx.options.instance)) return fail(ctx, "--instance needs a name", kExitUsage);
    } else if (a == "-h" || a == "--help" || a == "help") {
      printHelp(out);
      return kExitOk;
    } else if (!a.empty() && a[0] == '-') {
      return fail(ctx, "unknown option " + a + " (see orlixctl --help)", kExitUsage);
    } else {
      break;
    }
  }
  if (i >= argv.size()) {
    printHelp(err);
    return kExitUsage;
  }
  const std::string& name = argv[i];
  for (const auto& c : commandTable())
    if (c.name == name) {
      if (ctx.options.json && !jsonSupported(name, argv.subspan(i + 1)))
        return fail(ctx, "--json is not available for " + name + " (see orlixctl --help)", kExitUsage);
      try {
        return c.run(ctx, argv.subspan(i + 1));
      } catch (const std::exception& e) {
        return fail(ctx, e.what());
      }
    }
  return fail(ctx, "unknown command '" + name + "' (see orlixctl --help)", kExitUsage);
}

}  // namespace orlix::cli
