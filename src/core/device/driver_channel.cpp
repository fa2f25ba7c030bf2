#include "core/device/driver_channel.h"

#include <algorithm>

#include "core/device/messages.h"
#include "core/device/request_block.h"
#include "core/util/bytes.h"

namespace orlix {

DriverChannel::DriverChannel(DriverEndpoint& endpoint, HidLibrary* hidLibrary)
    : endpoint_(endpoint), hidLibrary_(hidLibrary) {}

DriverChannel::~DriverChannel() {
  stopEvents();
  if (semaphoreHandle_) semaphores::remove(semaphoreHandle_);
  closeHidHandle();
}

void DriverChannel::stopEvents() {
  stop_ = true;
  if (semaphore_) semaphore_->shutdown();
  if (eventThread_.joinable()) eventThread_.join();
}

bool DriverChannel::start(MessageTarget* window) {
  window_ = window;
  if (!semaphore_) {
    semaphore_ = std::make_shared<EventSemaphore>(8000);
    semaphoreHandle_ = semaphores::add(semaphore_);
    eventThread_ = std::thread([this] { eventLoop(); });
  }
  return hidLibrary_ != nullptr;
}

bool DriverChannel::openHidHandle() {
  closeHidHandle();
  if (!hidLibrary_) return false;
  hidHandle_ = hidLibrary_->OpenHidDevice(0xFF01, 1, 0, 0, 0, 0, 1, 0x40000000);
  return hidHandle_ != 0;
}

void DriverChannel::closeHidHandle() {
  if (hidHandle_ && hidLibrary_) hidLibrary_->closeHandle(hidHandle_);
  hidHandle_ = 0;
}

bool DriverChannel::open() {
  if (!endpoint_.open()) {
    open_ = false;
    return false;
  }
  auto block = driver::registerRequest(semaphoreHandle_);
  if (!endpoint_.control(driver::kRequestControlCode, block, {})) {
    endpoint_.close();
    open_ = false;
    return false;
  }
  open_ = true;
  return true;
}

bool DriverChannel::close() {
  if (open_.exchange(false)) {
    auto block = driver::releaseRequest();
    endpoint_.control(driver::kRequestControlCode, block, {});
    endpoint_.close();
  }
  return true;
}

bool DriverChannel::transfer(const uint8_t* bytes, size_t count) {
  if (!open_ || (bytes == nullptr && count > 0) || count > driver::kMaxTransfer) return false;
  auto block = driver::transferRequest({bytes, count});
  return endpoint_.control(driver::kRequestControlCode, block, {});
}

bool DriverChannel::receive8(uint8_t out[8]) {
  auto block = driver::readRequest();
  driver::RequestBlock reply = block;
  if (!endpoint_.control(driver::kRequestControlCode, block, reply)) return false;
  std::copy_n(reply.begin() + driver::kOffPayload, driver::kReplySize, out);
  return true;
}

void DriverChannel::eventLoop() {
  // One buffer for the thread's life, not cleared between events.
  driver::EventBuffer buffer = driver::eventBuffer();
  while (!stop_) {
    if (!semaphore_->acquire()) break;
    if (!open_) continue;
    if (!endpoint_.control(driver::kEventControlCode, buffer, buffer)) continue;
    if (MessageTarget* w = window_.load())
      w->post(msg::kKeyEvent, getU32(buffer, 0), 0);
  }
}

}  // namespace orlix
