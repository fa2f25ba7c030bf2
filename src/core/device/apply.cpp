#include "core/device/apply.h"

#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/keys/key_codes.h"
#include "core/keys/key_picture_map.h"
#include "core/lighting/lighting_model.h"
#include "core/macros/macro_encoding.h"

namespace orlix {

std::thread startApply(ApplyContext& ctx, MessageTarget& progress, const std::function<void()>& refreshAllKeys) {
  ctx.image.ledGroupCommands = lighting::buildLedGroupCommands(ctx.image);
  if (refreshAllKeys) refreshAllKeys();
  windows::postTo(kMainWindowTitle, msg::kLightingSend, msg::kSendLedGroups, 0);
  return std::thread([&ctx, &progress] { runApplyWorker(ctx, progress); });
}

namespace {

// The macro of key k placed in a slot: the slot, or -1 when the key falls back
// to its default code. ok becomes false when a directory entry is refused.
int placeMacro(ApplyContext& ctx, int k, bool& ok) {
  ConfigImage& image = ctx.image;
  uint32_t id = image.macroId(k);
  int record = -1;
  for (int r = 0; r < kMacroRecordCount && record < 0; ++r)
    if (image.macroRecordId(r) == id) record = r;
  if (record < 0 || !image.macroInUse(record)) return -1;
  const MacroRecord& macro = image.macroLibrary[size_t(record)];

  auto& map = image.macroSlotMap;
  for (int s = 0; s < kMacroSlotCount; ++s)
    if (map[size_t(s)].macroId == id) {
      int slot = map[size_t(s)].slot;
      if (!ctx.channel.transfer(device::macroDirectoryEntry(slot))) ok = false;
      macros::EncodeMacro(ctx.channel, ctx.pacer, slot, macro);
      return slot;
    }
  for (int s = 0; s < kMacroSlotCount; ++s) {
    if (map[size_t(s)].macroId != 0) continue;
    if (!ctx.channel.transfer(device::macroDirectoryEntry(s))) ok = false;
    if (macros::EncodeMacro(ctx.channel, ctx.pacer, s, macro) != 0) {
      map[size_t(s)] = {id, uint8_t(s)};
      return s;
    }
  }
  return -1;
}

}  // namespace

void runApplyWorker(ApplyContext& ctx, MessageTarget& progress) {
  if (!windows::exists(kMainWindowTitle)) {
    progress.post(msg::kClose, 0, 0);
    return;
  }
  ConfigImage& image = ctx.image;
  Pacer& pacer = ctx.pacer;
  bool keyTableWritten;
  bool ok = true;
  {
    std::lock_guard lock(ctx.applyLock);
    image.macroSlotMap.fill({});
    pacer.pause(apply::kPauseAfterSlotMapReset);
    progress.post(msg::kProgress, 0, 0);
    pacer.pause(apply::kPauseAfterProgressStart);

    const auto& pictureMap = keys::keyPictureMap();
    for (int i = 0; i < keys::kKeyPictureCount; ++i) {
      progress.post(msg::kProgress, uintptr_t(95 * i / keys::kKeyPictureCount), 0);
      int k = pictureMap[size_t(i)].keyIndex;
      if (k == 0 && i != keys::kLeftCtrlRecord) break;
      if (!keys::isMacro(image.keyTable[size_t(k)])) continue;
      ctx.channel.transfer(device::macroDirectoryHeader());
      int slot = placeMacro(ctx, k, ok);
      std::lock_guard entry(ctx.keyTableLock);
      image.keyTable[size_t(k)] = slot >= 0 ? keys::placedMacro(slot) : image.defaultKeyTable[size_t(k)];
    }
    progress.post(msg::kProgress, 99, 0);
    pacer.pause(apply::kPauseBeforeKeyTable);
    keyTableWritten = device::writeKeyTable(ctx.channel, image.keyTable, pacer);
  }
  if (keyTableWritten && ok) {
    progress.post(msg::kProgress, 100, 0);
    pacer.pause(apply::kPauseBeforeSuccess);
    windows::postTo(kMainWindowTitle, msg::kApplyDone, 0, 0);
  } else {
    windows::postTo(kMainWindowTitle, msg::kApplyFailed, 0, 0);
  }
  progress.post(msg::kClose, 0, 0);
}

}  // namespace orlix
