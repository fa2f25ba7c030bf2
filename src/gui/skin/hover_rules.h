#pragma once
// When a skinned button takes or loses its hover look. Shared by the buttons so
// the rule lives in one place.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <optional>

namespace orlix::gui {

// The hover state a pointer move asks for, or nothing to keep it: a drag that
// started elsewhere (left button held, not yet hovered) changes nothing, and a
// button only lights up while its window is active.
inline std::optional<bool> hoverAfterMove(const QWidget& button, const QMouseEvent& e, bool hovered) {
  bool leftDown = e.buttons() & Qt::LeftButton;
  if (leftDown && !hovered) return std::nullopt;
  bool inside = button.rect().contains(e.position().toPoint());
  if (inside && QApplication::activeWindow()) return true;
  if (!inside) return false;
  return std::nullopt;
}

// Whether the pointer entering the button gives it the hover look.
inline bool hoverOnEnter(bool hovered) {
  if ((QApplication::mouseButtons() & Qt::LeftButton) && !hovered) return false;
  return QApplication::activeWindow() != nullptr;
}

}  // namespace orlix::gui
