#pragma once
// The apply's modal progress dialog as the main window's rules use it.

#include <memory>

#include "core/app/main_window_core.h"

class QWidget;

namespace orlix::gui {

// A progress dialog ready to receive the worker's messages; run() shows it
// modally until the worker closes it.
std::unique_ptr<app::ProgressSession> makeProgressSession(QWidget* parent);

}  // namespace orlix::gui
