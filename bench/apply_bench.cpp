// The apply against the in-process virtual keyboard, with its real pauses.
// Reports ratio = (measured apply time) / (sum of the pauses the apply is
// prescribed to make): the apply's own cost is what lies above 1.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <mutex>

#include "core/config/config_image.h"
#include "core/device/apply.h"
#include "core/device/driver_channel.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/device/virtual_keyboard.h"
#include "core/keys/key_codes.h"
#include "core/keys/key_picture_map.h"
#include "core/lighting/lighting_model.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"

using namespace orlix;

namespace {

// Real pauses, added up.
class MeteredPacer : public Pacer {
 public:
  void pause(uint32_t ms) override {
    total_ += ms;
    real_.pause(ms);
  }
  uint32_t tickCount() override { return real_.tickCount(); }
  uint64_t total() const { return total_.load(); }

 private:
  RealPacer real_;
  std::atomic<uint64_t> total_{0};
};

struct Rig {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  VirtualKeyboard keyboard;
  VirtualDriverEndpoint endpoint{keyboard};
  DriverChannel channel{endpoint};
  MessageQueue mainWindow;
  std::mutex applyLock;
  MeteredPacer pacer;
  ApplyContext ctx{*image, channel, pacer, applyLock};

  explicit Rig(int macroCount) {
    initialiseDefaults(*image);
    image->keyTable = image->defaultKeyTable;
    resetPerKeyLighting(*image);
    restoreLedCodesFromMap(*image);
    restoreDefaults(*image, 0, {});  // every key in the seven-colour group
    image->keyTable = image->defaultKeyTable;
    channel.open();
    // Two more lighting groups, as a user's profile would have.
    std::array<bool, kLedRecordCount> sel{};
    for (int i = 0; i < 20; ++i) sel[size_t(i)] = true;
    lighting::selectionRecount(*image, sel);
    lighting::buildAndSend(*image, lighting::pageDefaults(lighting::kBreathing, *image), nullptr);
    // Macros of 30 events each, bound to the first keys of the picture map.
    const auto& map = keys::keyPictureMap();
    for (int m = 0; m < macroCount; ++m) {
      auto& r = image->macroLibrary[size_t(m)];
      uint32_t id = macros::makeMacroId(21, uint32_t(1000 + m));
      putU32(r, macros::kRecSize, 104 + 4 * 30);
      putU32(r, macros::kRecMagic, macros::kMacroMagic);
      putU32(r, macros::kRecId, id);
      putU32(r, macros::kRecLoop, 1);
      putU32(r, macros::kRecCount, 30);
      for (int e = 0; e < 30; ++e) {
        uint32_t w = e % 3 == 0   ? macros::eventWord(macros::kEventPress, 0x41 + uint32_t(e % 26))
                     : e % 3 == 1 ? macros::eventWord(macros::kEventDelay, 40)
                                  : macros::eventWord(macros::kEventRelease, 0x41 + uint32_t((e - 2) % 26));
        putU32(r, macros::kRecEvents + 4 * size_t(e), w);
      }
      int k = map[size_t(m)].keyIndex;
      image->keyTable[size_t(k)] = keys::kMacroCode;
      image->setMacroId(k, id);
    }
    windows::registerTarget(kMainWindowTitle, &mainWindow);
  }
  ~Rig() { windows::unregisterTarget(&mainWindow); }

  // One apply as the main window runs it, until the progress is closed.
  bool apply() {
    std::thread worker = startApply(ctx, mainWindow);
    bool ok = false;
    for (bool closed = false; !closed;) {
      auto m = mainWindow.take(std::chrono::milliseconds(5000));
      if (!m) break;
      if (m->id == msg::kLightingSend) lighting::sendLighting(channel, *image, m->wParam, m->lParam);
      ok = ok || m->id == msg::kApplyDone;
      closed = m->id == msg::kClose;
    }
    worker.join();
    return ok;
  }
};

void BM_Apply(benchmark::State& state) {
  Rig rig(int(state.range(0)));
  double elapsed = 0;
  uint64_t pausedBefore = rig.pacer.total();
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    if (!rig.apply()) state.SkipWithError("the apply failed");
    elapsed += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  }
  double paused = double(rig.pacer.total() - pausedBefore);
  double n = double(state.iterations());
  state.counters["ratio"] = elapsed / paused;
  state.counters["pauses_ms"] = paused / n;
  state.counters["own_cost_ms"] = (elapsed - paused) / n;
}

}  // namespace

BENCHMARK(BM_Apply)->ArgName("macros")->Arg(0)->Arg(50)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
