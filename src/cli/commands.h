#pragma once
// One function per area adds that area's commands to the table.

#include "cli/cli.h"

namespace orlix::cli {

void addDeviceCommands(CommandTable& t);  // version
void addSimCommands(CommandTable& t);     // sim ...
void addPlatformCommands(CommandTable& t);  // paths, devices
void addKeysCommands(CommandTable& t);    // keys
void addLangCommands(CommandTable& t);    // lang ...

}  // namespace orlix::cli
