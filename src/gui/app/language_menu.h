#pragma once
// CMenuExA: the language menu, the pop-up menu whose items are the twelve
// interface languages with their flags. Choosing one posts 0x401 (0, id) to
// the owner; closing it without a choice posts 0x401 (0, 0).

#include "gui/skin/wnd_popup.h"

namespace orlix::gui {

class CMenuExA : public CMenuEx {
  Q_OBJECT

 public:
  explicit CMenuExA(QWidget* owner = nullptr) : CMenuEx(owner) {}

 protected:
  void fillItems() override;
};

}  // namespace orlix::gui
