// orlix: the keyboard's configuration program, with its window and tray icon.
#include "gui/app/orlix_config_app.h"

int main(int argc, char** argv) { return orlix::gui::runOrlix(argc, argv); }
