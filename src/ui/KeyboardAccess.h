#pragma once
#include <functional>

class QWidget;

namespace zp {

// Escape anywhere in `window` does what its Close command does (`close`,
// or QWidget::close when none is given), so a tool window is left the way
// its own command leaves it, placement and all.
void closeOnEscape(QWidget& window, std::function<void()> close = {});

// Shift+F10 in `window` opens the context menu of the control with the
// focus, as the menu key does: at an item view's current item, elsewhere at
// the control's text cursor or middle.
void addContextMenuKey(QWidget& window);

} // namespace zp
