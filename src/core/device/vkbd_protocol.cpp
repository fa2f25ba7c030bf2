#include "core/device/vkbd_protocol.h"

#include "core/util/bytes.h"

namespace orlix::vkbd {

std::vector<uint8_t> encode(uint8_t type, std::span<const uint8_t> body) {
  std::vector<uint8_t> f(5 + body.size());
  putU32(f, 0, uint32_t(1 + body.size()));
  f[4] = type;
  std::copy(body.begin(), body.end(), f.begin() + 5);
  return f;
}

std::vector<uint8_t> encodeText(uint8_t type, const std::string& text) {
  return encode(type, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

std::vector<uint8_t> encodeU32(uint8_t type, uint32_t value) {
  uint8_t b[4];
  putU32(b, 0, value);
  return encode(type, b);
}

void FrameReader::feed(std::span<const uint8_t> bytes) {
  if (failed()) return;
  if (pos_ > 0 && pos_ == buffer_.size()) {
    buffer_.clear();
    pos_ = 0;
  } else if (pos_ > 65536) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + ptrdiff_t(pos_));
    pos_ = 0;
  }
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<Frame> FrameReader::next() {
  if (failed() || buffered() < 4) return std::nullopt;
  uint32_t len = getU32(std::span<const uint8_t>(buffer_).subspan(pos_), 0);
  if (len == 0 || len > kMaxFrameBody) {
    error_ = "frame length " + std::to_string(len) + " out of range";
    return std::nullopt;
  }
  if (buffered() < 4 + size_t(len)) return std::nullopt;
  Frame f;
  f.type = buffer_[pos_ + 4];
  f.body.assign(buffer_.begin() + ptrdiff_t(pos_ + 5), buffer_.begin() + ptrdiff_t(pos_ + 4 + len));
  pos_ += 4 + len;
  return f;
}

}  // namespace orlix::vkbd
