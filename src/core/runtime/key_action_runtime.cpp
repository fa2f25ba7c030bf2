#include "core/runtime/key_action_runtime.h"

#include "core/keys/key_codes.h"
#include "core/keys/key_index.h"
#include "core/util/utf8_utf16.h"

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

std::vector<HostFunctionKey> hostFunctionKeys(const ConfigImage& image) {
  std::vector<HostFunctionKey> keys;
  for (int k = 0; k < kKeyCount; ++k) {
    uint32_t code = image.keyTable[size_t(k)];
    uint8_t b3 = uint8_t(code >> 24);
    if ((code & 0xFF) != 3 || (b3 & 0xF0) != 0xC0) continue;
    int s = b3 & 0xF;
    bool withText = s == kOpen || s == kSound || s == kOpenFile || s == kOpenFolder || s == kOpenWeb;
    bool shot = s == kShotDesktop || s == kShotWindow || s == kShotRegion;
    if (!withText && !shot) continue;
    keys.push_back({k, s, withText ? image.actionText(k) : std::u16string()});
  }
  return keys;
}

std::string describe(const HostFunctionKey& key) {
  const char* what = "";
  switch (key.subtype) {
    case kOpen: what = "open"; break;
    case kSound: what = "play sound"; break;
    case kOpenFile: what = "open file"; break;
    case kOpenFolder: what = "open folder"; break;
    case kOpenWeb: what = "open web address"; break;
    case kShotDesktop: what = "screenshot of the desktop"; break;
    case kShotWindow: what = "screenshot of a window"; break;
    case kShotRegion: what = "screenshot of a region"; break;
  }
  std::string line = "key " + std::to_string(key.keyIndex);
  auto name = keys::keyIndexInfo(key.keyIndex).name;
  if (!name.empty()) line += " (" + std::string(name) + ")";
  line += ": " + std::string(what);
  if (!key.text.empty()) line += " " + utf16ToUtf8(key.text);
  return line;
}

}  // namespace orlix::runtime
