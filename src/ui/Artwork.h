#pragma once
// The program's built-in pictures: toolbar buttons, the moving logo and the
// calendar picture of the start and About windows, all compiled in from
// resources/resources.qrc.

#include <QPixmap>
#include <QString>

namespace zp {

// Registers the compiled-in pictures. The resources live in a static
// library, so something must refer to them for the linker to keep them;
// every function here calls this, and calling it again does nothing.
void initArtwork();

// Resource path of a toolbar button's picture by the button's control name
// ("imgFileNewButton", "Image12", ...); empty for an unknown name.
QString toolbarPicturePath(const QString& buttonName);

// A toolbar button's picture, and its pressed look made from it: darker
// and shifted one pixel right and down, the same size as the original.
QPixmap toolbarPicture(const QString& buttonName);
QPixmap pressedLook(const QPixmap& normal);

// The wide logo bitmap that scrolls through the main window's logo box.
QPixmap logoPicture();
// The calendar picture of the start and About windows.
QPixmap calendarPicture();
// A 32 x 32 city badge of the world clock by its file name ("london");
// a null picture for an unknown name.
QPixmap cityPicture(const QString& name);

inline const QString kLogoPath = QStringLiteral(":/logo.png");
inline const QString kCalendarPath = QStringLiteral(":/calendar.png");

} // namespace zp
