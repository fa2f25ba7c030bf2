#include "cli/cli.h"
#include "cli/commands.h"

namespace orlix::cli {

const CommandTable& commandTable() {
  static const CommandTable table = [] {
    CommandTable t;
    addDeviceCommands(t);
    addSimCommands(t);
    addPlatformCommands(t);
    addKeysCommands(t);
    addLangCommands(t);
    return t;
  }();
  return table;
}

}  // namespace orlix::cli
