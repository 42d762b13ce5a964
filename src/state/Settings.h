#pragma once
#include "plan/RecordStore.h"
#include "ui/FontDialog.h"
#include "ui/WindowPlacement.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace zp {

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
    // The file as it was read, so that a line whose setting did not change is
    // written back exactly as it was: lines 1 ... 106 decoded (empty when no
    // file was read), a leading byte-order mark and LF-only line breaks.
    QStringList fileLines;
    bool fileByteOrderMark = false;
    bool fileLfOnly = false;

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

// The values of lines 3 ... 106: every setting but the "save settings on
// exit" flag, wherever it lives (the plan's name, date style, backup flag,
// edit style and field labels travel with the record store). Taken right
// after the file is read, it is what the next exit writes when the flag is
// "0", so a run with the flag cleared leaves the file as it found it.
struct SettingsSnapshot {
    QString planFileName;                  // line 3
    QString displayMode;                   // line 4
    std::array<QString, 3> reserved;       // lines 5-7
    QString startupShow;                   // line 8
    QString fileDateStyle;                 // line 9
    QString keepBackups;                   // line 10
    FontChoice font;                       // lines 11-16
    std::array<QString, 3> fontStyleTexts; // lines 13-15 as read
    QString plotTitle;                     // line 17
    QString plotXLabel;                    // line 18
    QString plotYLabel;                    // line 19
    int editStyle = 0;                     // line 20
    std::array<WindowPlacement, 16> windowPlacement{}; // rows 1-15: lines 21-80
    double soundOn = 0;                    // line 81
    double maxRecordSeconds = 0;           // line 82
    std::array<QString, 25> fieldLabels;   // 1-24: lines 83-106
    QByteArray encoding = QByteArrayLiteral("UTF-8"); // how the file was read

    friend bool operator==(const SettingsSnapshot&, const SettingsSnapshot&) = default;
};

SettingsSnapshot takeSettingsSnapshot(const Settings& settings, const RecordStore& store);
void applySettingsSnapshot(const SettingsSnapshot& values, Settings& settings, RecordStore& store);
// The defaults of every setting but the flag.
SettingsSnapshot defaultSettingsSnapshot();

} // namespace zp
