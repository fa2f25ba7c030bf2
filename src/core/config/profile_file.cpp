#include "core/config/profile_file.h"

#include <algorithm>

#include "core/util/bytes.h"

namespace orlix::profile {

namespace {

constexpr uint8_t kWave = 0xA9, kBreathing = 0xAA, kSingle = 0xAB, kAlwaysOn = 0xAC, kStrength = 0xAD,
                  kSeven = 0xAE;

void appendU32(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t b[4];
  putU32(b, 0, v);
  out.insert(out.end(), b, b + 4);
}

// The bytes of a table of byte records, which lie end to end as the file holds them.
template <typename Table>
std::span<const uint8_t> tableBytes(const Table& t) {
  return {reinterpret_cast<const uint8_t*>(t.data()), sizeof(t)};
}
template <typename Table>
std::span<uint8_t> tableBytes(Table& t) {
  return {reinterpret_cast<uint8_t*>(t.data()), sizeof(t)};
}
static_assert(sizeof(ConfigImage::keyExtra) == kKeyExtraBytes && sizeof(ConfigImage::ledState) == kLedStateBytes);

void appendFixedBlocks(const ConfigImage& image, std::vector<uint8_t>& out, bool all) {
  for (uint32_t code : image.keyTable) appendU32(out, code);
  for (auto block : {tableBytes(image.keyExtra), tableBytes(image.ledState)})
    out.insert(out.end(), block.begin(), block.end());
  if (!all) return;
  appendU32(out, image.waveExtraLength);
  out.insert(out.end(), image.waveExtra.begin(), image.waveExtra.end());
  appendU32(out, image.lightingMode);
}

// Reads bytes into dst as far as they go; returns the new position.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> b) : b_(b) {}
  size_t pos() const { return pos_; }
  size_t left() const { return b_.size() - pos_; }
  void into(std::span<uint8_t> dst) {
    size_t n = std::min(dst.size(), left());
    std::copy_n(b_.begin() + ptrdiff_t(pos_), n, dst.begin());
    pos_ += n;
  }
  void intoU32(uint32_t& v) {
    uint8_t b[4];
    putU32(b, 0, v);
    into(b);
    v = getU32(b, 0);
  }
  uint8_t byte() { return b_[pos_++]; }

 private:
  std::span<const uint8_t> b_;
  size_t pos_ = 0;
};

// Reads one record if the bytes hold all of it.
bool readLightingRecord(Reader& in, PerKeyLightingRecord& r) {
  if (in.left() < kTextKeySize + 3) return false;
  Reader probe = in;
  PerKeyLightingRecord t;
  t.params = r.params;
  probe.into(tableBytes(t.textKey));
  t.ledCode = probe.byte();
  t.effectCode = probe.byte();
  t.sendMode = probe.byte();
  auto params = [&](std::initializer_list<int> order) {
    if (probe.left() < order.size()) return false;
    for (int p : order) t.params[size_t(p)] = probe.byte();
    return true;
  };
  auto colours = [&](size_t n, size_t first) {
    size_t width = 4 - first;
    if (probe.left() < n * width) return false;
    t.colours.assign(n, {0, 0, 0, 0});
    for (auto& e : t.colours)
      for (size_t k = first; k < 4; ++k) e[k] = probe.byte();
    return true;
  };
  bool ok = true;
  bool newList = true;
  switch (t.effectCode) {
    case kWave: ok = params({1, 0, 2, 3}) && colours(t.params[3], 0); break;
    case kBreathing:
    case kSingle: ok = params({0, 1}) && colours(t.params[1], 1); break;
    case kAlwaysOn: ok = params({0, 1, 2}) && colours(t.params[2], 1); break;
    case kStrength:
    case kSeven: ok = params({0}); newList = false; break;
    default: newList = false; break;
  }
  if (!ok) return false;
  if (!newList) t.colours = std::move(r.colours);
  r = std::move(t);
  in = probe;
  return true;
}

}  // namespace

void appendLightingRecord(const PerKeyLightingRecord& r, std::vector<uint8_t>& out) {
  auto text = tableBytes(r.textKey);
  out.insert(out.end(), text.begin(), text.end());
  out.insert(out.end(), {r.ledCode, r.effectCode, r.sendMode});
  const auto& p = r.params;
  auto entries = [&](size_t n, size_t first) {
    for (size_t e = 0; e < n; ++e)
      for (size_t k = first; k < 4; ++k) out.push_back(e < r.colours.size() ? r.colours[e][k] : 0);
  };
  switch (r.effectCode) {
    case kWave:
      out.insert(out.end(), {p[1], p[0], p[2], p[3]});
      entries(p[3], 0);
      break;
    case kBreathing:
    case kSingle:
      out.insert(out.end(), {p[0], p[1]});
      entries(p[1], 1);
      break;
    case kAlwaysOn:
      out.insert(out.end(), {p[0], p[1], p[2]});
      entries(p[2], 1);
      break;
    case kStrength:
    case kSeven:
      out.push_back(p[0]);
      break;
  }
}

std::vector<uint8_t> serializeProfile(const ConfigImage& image) {
  std::vector<uint8_t> out;
  serializeProfile(image, out);
  return out;
}

void serializeProfile(const ConfigImage& image, std::vector<uint8_t>& out) {
  out.clear();
  out.reserve(kFixedBlocksSize + kLightingKeys * (kTextKeySize + 32));
  appendFixedBlocks(image, out, true);
  for (int i = 0; i < kLightingKeys; ++i) appendLightingRecord(image.perKeyLighting[size_t(i)], out);
}

std::vector<uint8_t> serializeCreatedProfile(const ConfigImage& image) {
  std::vector<uint8_t> out;
  out.reserve(kCreatedProfileSize);
  appendFixedBlocks(image, out, false);
  return out;
}

size_t readProfileImage(ConfigImage& image, std::span<const uint8_t> bytes) {
  image.keyTable.fill(0);
  for (auto block : {tableBytes(image.keyExtra), tableBytes(image.ledState)}) std::fill_n(block.data(), block.size(), uint8_t(0));

  Reader in(bytes);
  std::array<uint8_t, kKeyTableBytes> kt{};
  in.into(kt);
  for (size_t k = 0; k < image.keyTable.size(); ++k) image.keyTable[k] = getU32(kt, 4 * k);
  in.into(tableBytes(image.keyExtra));
  in.into(tableBytes(image.ledState));
  in.intoU32(image.waveExtraLength);
  in.into(image.waveExtra);
  in.intoU32(image.lightingMode);
  for (int i = 0; i < kLightingKeys; ++i)
    if (!readLightingRecord(in, image.perKeyLighting[size_t(i)])) break;
  return in.pos();
}

std::optional<size_t> wholeProfileLength(std::span<const uint8_t> bytes) {
  if (bytes.size() < kFixedBlocksSize) return std::nullopt;
  Reader in(bytes.subspan(kFixedBlocksSize));
  PerKeyLightingRecord scratch;
  for (int i = 0; i < kLightingKeys; ++i)
    if (!readLightingRecord(in, scratch)) return std::nullopt;
  return kFixedBlocksSize + in.pos();
}

}  // namespace orlix::profile
