#include "core/app/presence_check.h"

#include <algorithm>
#include <cctype>

namespace orlix::app {

namespace {
bool containsNoCase(std::string_view hay, std::string_view needle) {
  auto eq = [](char a, char b) { return std::toupper(uint8_t(a)) == std::toupper(uint8_t(b)); };
  return std::search(hay.begin(), hay.end(), needle.begin(), needle.end(), eq) != hay.end();
}

void notifyAndClose(const PresenceServices& s, std::u16string_view text) {
  if (s.notices) s.notices->showTimedInfo(std::u16string(text), kNotFoundSeconds);
  if (s.postClose) s.postClose();
}
}  // namespace

std::u16string_view notFoundAtStartText(const TextSource& texts) {
  return texts.pick(u"没有找到Orlix键盘.", u"The Orlix gaming Keyboard cannot be found.");
}

std::u16string_view notFoundRemovedText(const TextSource& texts) {
  return texts.pick(u"没有找到Orlix键盘.", u"The Orlix gaming keyboard cannot be found.");
}

bool startupPresenceCheck(const PresenceServices& s) {
  if (s.registerNotifications) s.registerNotifications();
  bool present = s.isPresent && s.isPresent();
  if (present) {
    if (s.startUpdater) s.startUpdater();
  } else {
    notifyAndClose(s, notFoundAtStartText(s.texts));
  }
  return present;
}

bool onDeviceChange(const PresenceServices& s, uint32_t event, std::string_view interfaceName) {
  if (event != kDeviceRemoveComplete || !containsNoCase(interfaceName, kKeyboardFragment)) return false;
  notifyAndClose(s, notFoundRemovedText(s.texts));
  return true;
}

}  // namespace orlix::app
