#pragma once
#include "ui/FontDialog.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace zp {

// Placement of one window in twips: top, left, width, height.
struct WindowPlacement {
    double top = 0;
    double left = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// Where to put a window whose remembered placement is `stored`, given the
// screens' rectangles and the window's minimum size, all in twips. The
// stored values stay as they are; this is only for showing the window.
// - A width or height below the minimum is raised to it.
// - A window is reachable when its top edge lies on a screen, at least
//   kPlacementGrip twips above that screen's bottom, with at least
//   kPlacementGrip twips (or its whole width, when narrower) of it across
//   that screen. Otherwise it is moved onto the screen it is nearest to,
//   as far as needed to lie inside it (its top-left corner inside when it
//   is larger than the screen).
// With no screens the size correction alone applies.
constexpr int kPlacementGrip = 600;
WindowPlacement fitOnScreen(const WindowPlacement& stored, const QList<QRect>& screensTwips, const QSize& minimumTwips);

// Rows of the remembered window placements.
namespace PlacementRow {
constexpr int Main = 1;
constexpr int Print = 2;
constexpr int About = 3;
constexpr int TextEntry = 4;
constexpr int Calculator = 5;
constexpr int WorldTimes = 6;
constexpr int Ledger = 7;
constexpr int PhoneBook = 8;
constexpr int StartPicture = 9;
constexpr int Keyword = 10;
constexpr int LedgerPlot = 11;
constexpr int Reminders = 12;
constexpr int Loan = 13;
constexpr int NotepadFind = 14;
constexpr int Notepad = 15;
} // namespace PlacementRow

// The settings the planner keeps from one run to the next. Field labels,
// the edit style, the backup flag and the plan's name travel with the
// record store; everything else lives here.
struct Settings {
    QString saveSettingsOnExit = QStringLiteral("1");
    QString displayMode = QStringLiteral("sortbydate");
    std::array<QString, 3> reserved{QStringLiteral("*.*"), QStringLiteral("*.*"), QStringLiteral("*.*")};
    QString startupShow = QStringLiteral("all");
    FontChoice font;
    // Lines 13-15 (bold, italic, strikethrough) as the file had them: texts
    // that are kept as they are while they still say what the font is, so a
    // hand-written "TRUE" or "0" goes back into the file unchanged.
    std::array<QString, 3> fontStyleTexts{QStringLiteral("True"), QStringLiteral("False"), QStringLiteral("False")};
    QString plotTitle = QStringLiteral("Income and Expense versus Time");
    QString plotXLabel = QStringLiteral("Time (Days)");
    QString plotYLabel = QStringLiteral("$");
    std::array<WindowPlacement, 16> windowPlacement = defaultPlacements(); // rows 1 ... 15
    double soundOn = 0;
    double maxRecordSeconds = 10;
    // Encoding of the settings file as it was read ("UTF-8" or
    // "windows-1252"); it is written back the same way.
    QByteArray fileEncoding = QByteArrayLiteral("UTF-8");

    // The largest display font size the Fonts command accepts.
    static constexpr int kMaxFontSize = 14;
    // Takes the font chosen in the font dialog, its size cut to
    // kMaxFontSize, and returns what was stored (to show in the dialog).
    FontChoice takeFontChoice(FontChoice chosen);

    static std::array<WindowPlacement, 16> defaultPlacements();
    WindowPlacement& placement(int row) { return windowPlacement[static_cast<std::size_t>(row)]; }
    const WindowPlacement& placement(int row) const { return windowPlacement[static_cast<std::size_t>(row)]; }
};

// The red, green and blue parts of a 0x00BBGGRR font colour; nothing for
// a system colour (a negative value, kSystemTextColour among them), which
// stands for the system's window text colour.
struct FontRgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const FontRgb&, const FontRgb&) = default;
};
std::optional<FontRgb> fontRgb(std::int32_t colour);

} // namespace zp
