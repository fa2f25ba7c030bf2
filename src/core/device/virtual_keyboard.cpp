#include "core/device/virtual_keyboard.h"

#include <algorithm>
#include <cstdio>

#include "core/device/device_commands.h"
#include "core/device/event_semaphore.h"
#include "core/device/request_block.h"
#include "core/keys/key_index.h"
#include "core/util/bytes.h"

namespace orlix {

VirtualKeyboard::VirtualKeyboard() : memory_(kMemorySize, 0) {}

bool VirtualKeyboard::control(Session& session, uint32_t code, std::span<const uint8_t> in,
                              std::span<uint8_t> out) {
  std::unique_lock lock(mutex_);
  if (!plugged_) return false;

  if (code == driver::kEventControlCode) {
    if (in.size() != driver::kEventBufferSize || out.size() != driver::kEventBufferSize) return false;
    if (getU32(in, driver::kEventOffIdentity) != driver::kDeviceIdentity) return false;
    if (events_.empty()) return false;
    uint32_t word = events_.front();
    events_.pop_front();
    // in and out may be the same buffer: only the first word changes.
    putU32(out, 0, word);
    if (onLog) onLog(LogKind::Event, out.first(4));
    return true;
  }
  if (code != driver::kRequestControlCode) return false;

  auto req = driver::decode(in);
  if (!req) return false;
  switch (req->code) {
    case driver::kRequestRegister:
      registered_.emplace_back(&session, req->semaphore);
      return true;
    case driver::kRequestRelease:
      std::erase_if(registered_, [&](auto& r) { return r.first == &session; });
      return true;
    case driver::kRequestTransfer:
      if (req->direction == driver::kDirectionToKeyboard) {
        std::vector<uint8_t> payload(req->payload.begin(), req->payload.end());
        if (onLog) onLog(LogKind::Out, payload);
        return transferLocked(payload);
      }
      // A read: the reply of the last version query, zeros otherwise.
      if (out.size() != driver::kRequestSize || req->count != driver::kReplySize) return false;
      {
        std::array<uint8_t, 8> reply{};
        if (replyReady_) {
          reply = {device::kCmdVersion, 0, 0, versionMajor_, versionMinor_, 0, 0, 0};
          replyReady_ = false;
        }
        if (out.data() != in.data()) std::copy(in.begin(), in.end(), out.begin());
        std::copy(reply.begin(), reply.end(), out.begin() + driver::kOffPayload);
        if (onLog) onLog(LogKind::In, reply);
      }
      return true;
  }
  return false;
}

bool VirtualKeyboard::transferLocked(std::span<const uint8_t> p) {
  if (p.empty()) return true;
  switch (p[0]) {
    case device::kCmdMemoryWrite: {
      if (p.size() < 4) {
        ++malformed_;
        return true;
      }
      size_t addr = p[1] | (p[2] << 8);
      size_t len = p[3];
      if (4 + len > p.size() || addr + len > kMemorySize) {
        ++malformed_;
        return true;
      }
      std::copy_n(p.begin() + 4, len, memory_.begin() + ptrdiff_t(addr));
      if (onMemoryWritten) onMemoryWritten(memory_);
      return true;
    }
    case device::kCmdVersion:
      replyReady_ = true;
      return true;
    default:
      lighting_.emplace_back(p.begin(), p.end());
      return true;
  }
}

void VirtualKeyboard::detach(Session& session) {
  std::lock_guard lock(mutex_);
  std::erase_if(registered_, [&](auto& r) { return r.first == &session; });
}

bool VirtualKeyboard::plugged() const {
  std::lock_guard lock(mutex_);
  return plugged_;
}

void VirtualKeyboard::setPlugged(bool plugged) {
  std::lock_guard lock(mutex_);
  plugged_ = plugged;
  if (!plugged) {
    // Pulling the cable drops the driver's clients with it.
    registered_.clear();
    events_.clear();
  }
}

bool VirtualKeyboard::pushEvent(uint32_t word) {
  std::lock_guard lock(mutex_);
  if (!plugged_) return false;
  events_.push_back(word);
  if (registered_.empty()) return true;
  auto [session, handle] = registered_.back();
  if (session->signal) session->signal(handle);
  return true;
}

uint32_t VirtualKeyboard::hostKeyEvent(int keyIndex, int subtype) {
  return 0xC000u | (uint32_t(subtype & 0xF) << 8) | uint32_t(keyIndex & 0xFF);
}

void VirtualKeyboard::reset() {
  std::lock_guard lock(mutex_);
  std::fill(memory_.begin(), memory_.end(), 0);
  lighting_.clear();
  events_.clear();
  replyReady_ = false;
  malformed_ = 0;
  if (onMemoryWritten) onMemoryWritten(memory_);
}

void VirtualKeyboard::setVersion(uint8_t major, uint8_t minor) {
  std::lock_guard lock(mutex_);
  versionMajor_ = major;
  versionMinor_ = minor;
}

std::vector<uint8_t> VirtualKeyboard::memory() const {
  std::lock_guard lock(mutex_);
  return memory_;
}

void VirtualKeyboard::loadMemory(std::span<const uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  std::fill(memory_.begin(), memory_.end(), 0);
  std::copy_n(bytes.begin(), std::min(bytes.size(), kMemorySize), memory_.begin());
}

std::vector<std::vector<uint8_t>> VirtualKeyboard::lightingCommands() const {
  std::lock_guard lock(mutex_);
  return lighting_;
}

size_t VirtualKeyboard::pendingEvents() const {
  std::lock_guard lock(mutex_);
  return events_.size();
}

size_t VirtualKeyboard::malformedWrites() const {
  std::lock_guard lock(mutex_);
  return malformed_;
}

VirtualDriverEndpoint::VirtualDriverEndpoint(VirtualKeyboard& keyboard) : keyboard_(keyboard) {
  session_.signal = [](uint32_t handle) {
    auto s = semaphores::find(handle);
    return s && s->release();
  };
}

VirtualDriverEndpoint::~VirtualDriverEndpoint() { keyboard_.detach(session_); }

bool VirtualDriverEndpoint::open() {
  if (failing_ || !keyboard_.plugged()) return false;
  isOpen_ = true;
  return true;
}

bool VirtualDriverEndpoint::control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) {
  {
    std::lock_guard lock(mutex_);
    requests_.emplace_back(in.begin(), in.end());
  }
  if (failing_) return false;
  int n = failAfter_.load();
  if (n > 0) {
    failAfter_ = n - 1;
    if (n == 1) return false;
  }
  return keyboard_.control(session_, code, in, out);
}

void VirtualDriverEndpoint::close() {
  isOpen_ = false;
  keyboard_.detach(session_);
}

std::vector<std::vector<uint8_t>> VirtualDriverEndpoint::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::string describeMemory(std::span<const uint8_t> mem) {
  std::string s;
  char line[160];
  if (mem.size() < VirtualKeyboard::kMemorySize) return "memory image too short\n";
  s += "key table at 0x0C00 (index, key, code):\n";
  for (int k = 0; k < keys::kKeyCount; ++k) {
    uint32_t code = getU32(mem, device::kKeyTableAddress + 4 * size_t(k));
    auto& info = keys::keyIndexInfo(k);
    if (info.name.empty() && code == 0) continue;
    std::snprintf(line, sizeof line, "  %3d  %-20s 0x%08x\n", k,
                  info.name.empty() ? "-" : std::string(info.name).c_str(), code);
    s += line;
  }
  uint16_t count = getU16(mem, device::kSlotCountAddress);
  std::snprintf(line, sizeof line, "macro directory at 0x1000: %u slots\n", count);
  s += line;
  for (int slot = 0; slot < device::kSlotCount; ++slot) {
    size_t e = device::kDirectoryAddress + 4 * size_t(slot);
    uint16_t start = getU16(mem, e), size = getU16(mem, e + 2);
    size_t a = device::slotAddress(slot);
    auto image = mem.subspan(a, device::kSlotStride);
    bool used = std::any_of(image.begin(), image.end(), [](uint8_t b) { return b != 0; });
    if (start == 0 && size == 0 && !used) continue;
    std::snprintf(line, sizeof line, "  slot %2d: start 0x%04x size %u%s\n", slot, start, size,
                  used ? "" : " (empty)");
    s += line;
    if (!used) continue;
    size_t last = image.size();
    while (last > 0 && image[last - 1] == 0) --last;
    for (size_t i = 0; i < last; i += 32) {
      std::snprintf(line, sizeof line, "    %04zx: ", a + i);
      s += line;
      s += toHex(image.subspan(i, std::min<size_t>(32, last - i)));
      s += "\n";
    }
  }
  return s;
}

}  // namespace orlix
