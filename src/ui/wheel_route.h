#pragma once

#include <functional>

class QWidget;

namespace tavrelia {

// Turning the mouse wheel anywhere over a tab's panel runs the panel's wheel action
// (one step of its channel bar) instead of scrolling the control under the pointer.
// Call once the panel's widgets exist.
void routeWheel(QWidget* panel, std::function<void(int delta)> action);

}  // namespace tavrelia
