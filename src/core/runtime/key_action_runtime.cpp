#include "core/runtime/key_action_runtime.h"

namespace orlix::runtime {

int onKeyEvent(const ConfigImage& image, HostActions& host, uint32_t w) {
  int s = subtypeOf(w), k = keyIndexOf(w);
  if (!isHostEvent(w) || k >= kKeyCount) return 1;  // only 0..180 have a key extra record
  auto text = [&] { return image.actionText(k); };
  switch (s) {
    case kOpen:
    case kOpenWeb: {
      auto t = text();
      if (!t.empty()) host.open(t);
      break;
    }
    case kSound: {
      auto t = text();
      if (!t.empty()) host.playSound(t);
      break;
    }
    case kOpenFile:
    case kOpenFolder: {
      auto t = text();
      if (t.empty()) break;
      if (t.find(u' ') != std::u16string::npos) t = u"\"" + t + u"\"";
      host.open(t);
      break;
    }
    case kShotDesktop:
      host.startProgram(kScreenGrabProgram, {"-t", "desktop", "-p"});
      break;
    case kShotWindow:
      host.startProgram(kScreenGrabProgram, {"-t", "window", "-p"});
      break;
    case kShotRegion:
      host.startProgram(kScreenGrabProgram, {"-t", "region", "-p"});
      break;
    default:
      break;
  }
  return 1;
}

}  // namespace orlix::runtime
