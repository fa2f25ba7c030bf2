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
    addApplyCommands(t);
    addProfileCommands(t);
    addKeyCommands(t);
    addLightCommands(t);
    addMacroCommands(t);
    addListenCommands(t);
    return t;
  }();
  return table;
}

}  // namespace orlix::cli
