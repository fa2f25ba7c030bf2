#pragma once
// One function per area adds that area's commands to the table.

#include "cli/cli.h"

namespace orlix::cli {

void addDeviceCommands(CommandTable& t);  // version
void addSimCommands(CommandTable& t);     // sim ...
void addPlatformCommands(CommandTable& t);  // paths, devices
void addKeysCommands(CommandTable& t);    // keys
void addLangCommands(CommandTable& t);    // lang ...
void addApplyCommands(CommandTable& t);   // apply
void addProfileCommands(CommandTable& t); // profile ...
void addKeyCommands(CommandTable& t);     // key show|set
void addLightCommands(CommandTable& t);   // light ...
void addMacroCommands(CommandTable& t);   // macro ...
void addListenCommands(CommandTable& t);  // listen

}  // namespace orlix::cli
