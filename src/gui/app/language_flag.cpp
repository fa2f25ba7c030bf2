#include "gui/app/language_flag.h"

#include <atomic>

namespace orlix::gui {

namespace {
std::atomic<int> flag{0};
}

int languageFlag() { return flag.load(); }
void setLanguageFlag(int value) { flag.store(value); }

}  // namespace orlix::gui
