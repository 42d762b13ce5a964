#pragma once

class QWidget;

namespace zp {

// Makes a clickable picture or panel (a label that acts on a click) a push
// button for screen readers: its role is a button, its name its accessible
// name (or its text), and the reader's "press" calls the widget's
// invokable click(). The widget must have one.
void presentAsButton(QWidget& widget);

} // namespace zp
