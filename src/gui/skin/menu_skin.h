#pragma once
// The skinned pop-up menu of the macro page's game button, with the calls the
// page makes: CreateMenuEx opens a menu for an owner window, the choice comes
// back as message 0x501 (0, item id), DestroyMenuEx closes it.

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <array>
#include <cstddef>
#include <cstdint>

namespace orlix::gui {

// One menu item as the caller passes it: 88 bytes.
struct MenuExItem {
  uint32_t parent;    // 255: top level, else the id of the item it hangs under
  uint32_t id;        // reported with 0x501 when chosen
  char16_t text[40];  // at most 39 characters, zero-terminated
};
static_assert(sizeof(MenuExItem) == 88);
static_assert(offsetof(MenuExItem, parent) == 0 && offsetof(MenuExItem, id) == 4 && offsetof(MenuExItem, text) == 8);

inline constexpr uint32_t kMenuExTopLevel = 255;

// Builds an item; text beyond 39 characters is cut.
MenuExItem makeMenuExItem(uint32_t parent, uint32_t id, const QString& text);

// Opens the menu for owner with its top-left corner at screenPos. Colours: the
// item text, the text of the item under the pointer, and the frame. images are
// the item pictures: normal, over, down, disabled of plain items, then the same
// for items that open a submenu. A menu the owner still has open is closed
// first. False when there is nothing to show.
bool CreateMenuEx(QWidget* owner, int itemHeight, QPoint screenPos, QColor textColour, QColor hotTextColour,
                  QColor frameColour, const std::array<QString, 8>& images, const MenuExItem* items, int count);
// Closes owner's menu; false when it has none open.
bool DestroyMenuEx(QWidget* owner);
// The owner's open menu window, or nullptr.
QWidget* openMenuEx(QWidget* owner);

}  // namespace orlix::gui
