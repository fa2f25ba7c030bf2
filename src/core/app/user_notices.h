#pragma once
// How the system tells the user things: the skinned info dialog ("Show info"),
// a standard message box with a caption, and the timed info dialog. The GUI shows
// dialogs, orlixctl prints to stderr, tests record.

#include <string>
#include <vector>

namespace orlix {

enum class NoticeResult { Ok, Cancel };

class UserNotices {
 public:
  virtual ~UserNotices() = default;
  // Info dialog with an OK button, or OK and Cancel when twoButtons.
  virtual NoticeResult showInfo(const std::u16string& text, bool twoButtons = false) = 0;
  // Standard message box; caption is "Warning", "Info" or "Error".
  virtual NoticeResult messageBox(const std::u16string& text, const std::u16string& caption,
                                  bool okCancel = false) = 0;
  // Info dialog that closes by itself after seconds.
  virtual void showTimedInfo(const std::u16string& text, int seconds) = 0;
};

// Records every notice; answers with a preset result (tests).
class RecordingNotices : public UserNotices {
 public:
  struct Entry {
    std::string kind;  // "info", "box", "timed"
    std::u16string text;
    std::u16string caption;
  };
  NoticeResult answer = NoticeResult::Ok;
  std::vector<Entry> entries;

  NoticeResult showInfo(const std::u16string& text, bool) override {
    entries.push_back({"info", text, u""});
    return answer;
  }
  NoticeResult messageBox(const std::u16string& text, const std::u16string& caption, bool) override {
    entries.push_back({"box", text, caption});
    return answer;
  }
  void showTimedInfo(const std::u16string& text, int) override { entries.push_back({"timed", text, u""}); }
};

}  // namespace orlix
