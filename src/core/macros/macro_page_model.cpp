#include "core/macros/macro_page_model.h"

#include <algorithm>

#include "core/keys/key_names.h"
#include "core/macros/game_categories.h"
#include "core/macros/macro_record.h"

namespace orlix::macros {

namespace {
MacroPageModel::HookedEvent gLastHooked;

template <typename F, typename... A>
void call(const F& f, A&&... a) {
  if (f) f(std::forward<A>(a)...);
}
}  // namespace

std::u16string eventItemText(const EventItem& item) {
  if (item.isDelay()) {
    std::string digits = std::to_string(item.value) + "  ms";
    return std::u16string(digits.begin(), digits.end());
  }
  return keys::keyName(uint8_t(item.value & 0xFF));
}

std::u16string_view gameMenuName(int category, bool chinese) {
  if (category == 1) return chinese ? u"战地 3 " : u"Battlefield 3 ";
  if (category == 5 && chinese) return u"军团要塞2";
  if (category == kCustomCategory && !chinese) return u"Customize";
  return gameCategoryName(category, chinese);
}

std::u16string_view gameButtonName(int category, bool chinese) {
  if (category == 13 && chinese) return u"远古遗迹守卫2（Dota 2）";
  return gameCategoryName(category, chinese);
}

uint32_t newMacroId(int category, uint32_t tickCount, const std::function<bool(uint32_t)>& taken) {
  uint32_t id = makeMacroId(category, tickCount);
  // Bounded by the 2^24 tick values; the library holds at most 500 macros.
  for (uint32_t tries = 0; tries < (1u << 24); ++tries) {
    if ((id & 0xFFFFFF) != 0 && !(taken && taken(id))) break;
    id = makeMacroId(category, ++tickCount);
  }
  return id;
}

bool deleteMacroUnlessInUse(MacroLibrary& library, uint32_t id, UserNotices& notices, const TextSource& texts) {
  if (library.IsMacroInUse(id)) {
    notices.showInfo(std::u16string(texts.pick(kInUseZh, kInUseEn)));
    return false;
  }
  library.DeleteMacro(id);
  return true;
}

MacroPageModel::HookedEvent MacroPageModel::lastHookedEvent() { return gLastHooked; }
void MacroPageModel::setLastHookedEvent(HookedEvent e) { gLastHooked = e; }

MacroPageModel::MacroPageModel(MacroPageServices services, MacroPageHooks hooks)
    : s_(std::move(services)), h_(std::move(hooks)) {}

void MacroPageModel::setHook(int on) { call(h_.setHookStatus, on); }

const MacroListItem* MacroPageModel::currentMacro() const {
  int i = recording_ ? selectedMacro_ : listSelection_;
  return i >= 0 && i < int(macros_.size()) ? &macros_[size_t(i)] : nullptr;
}

std::u16string MacroPageModel::recordCaption() const {
  return s_.texts.text(recording_ ? "str_macro_end" : "str_macro_start");
}

std::u16string MacroPageModel::gameCaption() const {
  bool zh = s_.texts.isChinese();
  return std::u16string(gameButtonName(gameChosen_ ? gameCategory_ : kCustomCategory, zh));
}

void MacroPageModel::showCategory(int category) { listMacros(category); }

void MacroPageModel::closePage() { setHook(0); }

void MacroPageModel::libraryChanged() {
  if (recording_ || listedCategory_ < 0) return;
  // A new macro lives only in the list until its first events are stored.
  if (std::any_of(macros_.begin(), macros_.end(), [](const MacroListItem& m) { return m.record < 0; })) return;
  uint32_t selected = listSelection_ >= 0 && listSelection_ < int(macros_.size()) ? macros_[size_t(listSelection_)].id : 0;
  listMacros(listedCategory_);
  for (int i = 0; i < int(macros_.size()); ++i)
    if (macros_[size_t(i)].id == selected && i != listSelection_) {
      listSelection_ = selectedMacro_ = i;
      loadSelectedMacro();
    }
}

void MacroPageModel::listMacros(int category) {
  listedCategory_ = category;
  macros_ = s_.library.ListMacros(category);
  ++macroRevision_;
  // Adding an item selects it: the last listed macro ends up selected.
  listSelection_ = int(macros_.size()) - 1;
  selectedMacro_ = listSelection_;
  loadSelectedMacro();
}

void MacroPageModel::loadSelectedMacro() {
  events_.clear();
  eventSelection_.reset();
  loopOption_ = LoopOption::PlayCount;
  loopCountText_ = u"1";
  if (selectedMacro_ >= 0 && selectedMacro_ < int(macros_.size())) {
    if (auto r = s_.library.FindMacroRecord(macros_[size_t(selectedMacro_)].id)) {
      const MacroRecord& record = s_.library.image().macroLibrary[size_t(*r)];
      LoadedMacro loaded = LoadMacroToList(record);
      if (loaded.list.size() < eventCount(record)) call(h_.debugOutput, kNotValidItem);
      events_ = std::move(loaded.list);
      loopOption_ = loaded.option;
      loopCountText_ = events_.empty() ? u"1" : loaded.loopCountText;
    }
  }
  if (!events_.empty()) eventSelection_ = events_.size() - 1;
  eventsChanged();
}

int MacroPageModel::newMacro() {
  if (recording_) return -1;
  uint32_t id = newMacroId(gameCategory_, s_.clock.tickCount(), [this](uint32_t candidate) {
    if (s_.library.FindMacroRecord(candidate)) return true;
    return std::any_of(macros_.begin(), macros_.end(), [&](const MacroListItem& m) { return m.id == candidate; });
  });
  macros_.push_back({std::u16string(s_.texts.pick(kNewMacroZh, kNewMacroEn)), id, -1});
  ++macroRevision_;
  listSelection_ = selectedMacro_ = int(macros_.size()) - 1;
  // Nothing of it is stored yet: loading finds no record and leaves the list empty.
  loadSelectedMacro();
  return listSelection_;
}

void MacroPageModel::deleteMacro() {
  if (recording_ || listSelection_ < 0 || listSelection_ >= int(macros_.size())) return;
  if (!deleteMacroUnlessInUse(s_.library, macros_[size_t(listSelection_)].id, s_.notices, s_.texts)) return;
  macros_.erase(macros_.begin() + listSelection_);
  ++macroRevision_;
  listSelection_ = selectedMacro_ = int(macros_.size()) - 1;
  // The macro that is selected now shows its own events; an empty list under a
  // selected macro could not be told apart from an empty macro, and selecting it
  // again would not load it.
  loadSelectedMacro();
}

void MacroPageModel::selectMacro(int index) {
  if (index < 0 || index >= int(macros_.size())) return;
  listSelection_ = index;
  if (index == selectedMacro_) return;
  if (recording_) stopRecording();
  selectedMacro_ = index;
  loadSelectedMacro();
}

void MacroPageModel::renameMacro(int index, std::u16string_view name) {
  if (index < 0 || index >= int(macros_.size())) return;
  std::u16string cut(name.substr(0, kMaxNameChars));
  macros_[size_t(index)].name = cut;
  ++macroRevision_;
  s_.library.RenameMacro(macros_[size_t(index)].id, cut);
}

void MacroPageModel::recordButton() {
  if (recording_) {
    stopRecording();
    return;
  }
  if (selectedMacro_ < 0 || selectedMacro_ >= int(macros_.size())) return;
  events_.clear();
  eventSelection_.reset();
  eventsChanged();
  call(h_.setReceiveWindow);
  setHook(1);
  recordedKeyEvents_ = 0;
  lastTick_ = 0;
  recording_ = true;
}

void MacroPageModel::stopRecording() {
  setHook(0);
  // Stored while still recording, so the events go into the macro the
  // recording started with.
  storeEventList();
  recording_ = false;
}

void MacroPageModel::hookedEvent(uint32_t vk, uint32_t flags) {
  bool released = (flags & kReleasedFlag) != 0;
  if (vk == gLastHooked.vk && released == gLastHooked.released) return;  // a held key's repeats
  if (keyCapture_) {
    capturedKey_ = uint8_t(vk);
    panel_.keyBoxText = eventItemText({kItemPress, vk});
    return;
  }
  if (!recording_ || recordedKeyEvents_ >= kMaxRecordedKeyEvents) return;
  if (!delayToggle_) {
    uint32_t t = s_.clock.tickCount();
    if (lastTick_ != 0) events_.push_back({kItemDelay, t - lastTick_});
    lastTick_ = t;
  }
  events_.push_back({released ? kItemRelease : kItemPress, vk});
  ++recordedKeyEvents_;
  gLastHooked = {vk, released};
  eventSelection_ = events_.size() - 1;
  eventsChanged();
}

std::optional<std::pair<uint32_t, uint32_t>> MacroPageModel::mouseButton(uint32_t vk, uint32_t message) const {
  if (!recording_ && !keyCapture_) return std::nullopt;
  if (message == kButtonDown) return std::pair{vk, 0u};
  if (message == kButtonUp) return std::pair{vk, kReleasedFlag};
  return std::nullopt;
}

void MacroPageModel::selectEvent(std::optional<size_t> index) {
  eventSelection_ = index && *index < events_.size() ? index : std::nullopt;
}

void MacroPageModel::hidePanel() {
  panel_.visible = false;
  panel_.keyOptionShown = panel_.delayOptionShown = false;
  panel_.keyBoxShown = panel_.delayBoxShown = false;
  panel_.focusDelayBox = false;
}

void MacroPageModel::insertButton() {
  if (recording_) return;
  changeMode_ = false;
  panel_.visible = true;
  panel_.keyOptionShown = panel_.delayOptionShown = true;
  panel_.keyOptionChecked = panel_.delayOptionChecked = false;
  panel_.keyBoxShown = panel_.delayBoxShown = false;
  panel_.focusDelayBox = false;
}

void MacroPageModel::keyOption() {
  panel_.keyOptionChecked = true;
  panel_.delayOptionChecked = false;
  panel_.keyBoxShown = true;
  panel_.keyBoxText.clear();
  panel_.delayBoxShown = false;
  panel_.focusDelayBox = false;
  capturedKey_ = 0;
  keyCapture_ = true;
  call(h_.setReceiveWindow);
  setHook(1);
}

void MacroPageModel::delayOption() {
  panel_.keyOptionChecked = false;
  panel_.delayOptionChecked = true;
  panel_.delayBoxShown = true;
  panel_.delayBoxText.clear();
  panel_.focusDelayBox = true;
  panel_.keyBoxShown = false;
  setHook(0);
  keyCapture_ = false;
}

void MacroPageModel::changeButton() {
  if (recording_) return;
  setHook(0);
  changeMode_ = true;
  if (!eventSelection_ || *eventSelection_ >= events_.size()) return;
  panel_.visible = true;
  if (events_[*eventSelection_].isDelay()) {
    delayOption();
    panel_.keyOptionShown = false;
    panel_.delayOptionShown = true;
  } else {
    keyOption();
    panel_.keyOptionShown = true;
    panel_.delayOptionShown = false;
  }
}

std::optional<uint32_t> MacroPageModel::delayBoxNumber() const {
  const std::u16string& t = panel_.delayBoxText;
  if (t.empty()) return std::nullopt;
  uint64_t v = 0;
  for (char16_t c : t) {
    if (c < u'0' || c > u'9') return std::nullopt;
    v = std::min<uint64_t>(v * 10 + uint64_t(c - u'0'), uint64_t(1) << 40);
  }
  return uint32_t(v & 0xFFFFFFFF);
}

void MacroPageModel::okButton() {
  bool valid = eventSelection_ && *eventSelection_ < events_.size();
  if (!valid) {
    keyCapture_ = false;
    setHook(0);
  } else if (changeMode_) {
    if (events_[*eventSelection_].isDelay()) {
      if (auto d = delayBoxNumber()) changeDelay(events_, eventSelection_, *d);
    } else if (capturedKey_ != 0) {
      changeKey(events_, eventSelection_, capturedKey_);
    }
    setHook(0);
    keyCapture_ = false;
  } else if (panel_.keyOptionChecked) {
    setHook(0);
    keyCapture_ = false;
    insertKey(events_, eventSelection_, capturedKey_);
  } else if (panel_.delayOptionChecked) {
    if (auto d = delayBoxNumber()) insertDelay(events_, eventSelection_, *d);
  }
  hidePanel();
  changeMode_ = false;
  eventsChanged();
  storeEventList();
}

void MacroPageModel::deleteEventButton() {
  if (recording_) return;
  if (!eventSelection_ || *eventSelection_ >= events_.size()) return;
  bool store = deleteEvent(events_, eventSelection_);
  eventSelection_.reset();
  eventsChanged();
  if (store) storeEventList();
}

void MacroPageModel::chooseLoopOption(LoopOption option) {
  loopOption_ = option;
  storeEventList();
}

void MacroPageModel::loopCountEdited(std::u16string_view text) {
  loopCountText_ = std::u16string(text);
  storeEventList();
}

void MacroPageModel::storeEventList() {
  const MacroListItem* m = currentMacro();
  if (!m || events_.empty()) return;
  size_t before = events_.size();
  macros::storeEventList(s_.library, events_, loopOption_, loopCountText_, m->id, m->name);
  if (events_.size() != before) {
    // Merged delays: the selection stays within the list.
    if (eventSelection_ && *eventSelection_ >= events_.size()) eventSelection_ = events_.size() - 1;
    eventsChanged();
  }
}

bool MacroPageModel::gameButton() {
  if (gameMenuOpen_) return false;
  gameMenuOpen_ = true;
  return true;
}

bool MacroPageModel::closeGameMenu() {
  bool was = gameMenuOpen_;
  gameMenuOpen_ = false;
  return was;
}

std::vector<std::pair<int, std::u16string>> MacroPageModel::gameMenuItems() const {
  std::vector<std::pair<int, std::u16string>> items;
  bool zh = s_.texts.isChinese();
  for (int c = 1; c <= kCategoryCount; ++c) items.emplace_back(c, std::u16string(gameMenuName(c, zh)));
  return items;
}

void MacroPageModel::gameChosen(int category) {
  gameMenuOpen_ = false;
  if (category < 1 || category > kCategoryCount) return;
  gameCategory_ = category;
  gameChosen_ = true;
  ++captionRevision_;
  listMacros(category);
}

}  // namespace orlix::macros
