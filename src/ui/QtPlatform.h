#pragma once
// The Qt implementations of the platform services, and the pure conversions
// they are built on (kept apart so tests can reach them without dialogs).

#include "ui/LoadedParts.h"
#include "ui/Platform.h"
#include "ui/QtClipboard.h"
#include "ui/QtPrinting.h"
#include "ui/QtSystemFacts.h"
#include "ui/SystemServices.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

namespace zp {

// --- Pure helpers -----------------------------------------------------------

// Message texts join lines with "\n", a few with "\n\r" or "\r\n"; Qt wants
// plain "\n". Pairs become one line feed and any other carriage return goes.
QString messageBoxText(const QString& text);

// Turns the planner's filter strings, description and pattern separated by
// "|" ("All files (*.*) |*.*|Pln Files (*.pln) |*.pln|"), into Qt name
// filters ("All files (*)", "Pln Files (*.pln)"). The description is trimmed
// (a stray leading "," or ";" too)
// and its own trailing "(...)" replaced by the real patterns; "*.*" means
// every file ("*"); several patterns separated by ";" become space-separated.
QStringList qtNameFilters(const QString& filter);

// The display font as a QFont. "System" (and an empty name) keep the
// application's default family, since no font carries that name here.
QFont toQFont(const FontChoice& choice);

// A font chosen in the dialog as the settings keep it; the size is the point
// size rounded, the colour is passed through.
FontChoice fromQFont(const QFont& font, std::int32_t colour);

// A stored colour: FontChoice::kSystemTextColour (and the other system
// colour codes with the top bit set) come from the palette, anything else
// is 0x00BBGGRR.
QColor toQColor(std::int32_t colour, const QPalette& palette);
std::int32_t fromQColor(const QColor& colour);

// How a tool window shows the user's display font: `widget` takes the font,
// and its colour for text and labels; the system colour codes are read from
// `windowPalette` (the tool window's own).
void showInDisplayFont(QWidget& widget, const FontChoice& font, const QPalette& windowPalette);

// --- Services ---------------------------------------------------------------

// A modal QMessageBox. Style bits: buttons in the low three bits (0 OK,
// 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/
// Cancel), icon in 16/32/48/64 (critical, question, exclamation,
// information), default button in 256/512 (second/third). Escape gives
// Cancel where there is one, else No, else OK (Abort for Abort/Retry/Ignore).
class QtMessageBox : public MessageBoxService {
public:
    int msgBox(const QString& text, int style = MsgStyle::OkOnly, const QString& title = QString()) override;
};

// Twips per pixel from the primary screen's logical dpi (1440 / dpi, 15 at
// 96 dpi); 15 and a 1024 x 768 screen when there is no screen at all.
class QtScreenMetrics : public ScreenMetrics {
public:
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    QSize screenSizeTwips() const override;
};

// QFileDialog with the converted filters, the 1-based entry preselected.
// A save name without an extension is returned as typed: callers decide
// whether to add one.
class QtFileDialogs : public FileDialogs {
public:
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
};

// The font and colour dialog (FontColourDialog) started on the current
// display font and colour.
class QtFontDialog : public FontDialog {
public:
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
};

// One of each Qt service, for the program's whole run.
class QtNumberDialog : public NumberDialog {
public:
    std::optional<int> askNumber(const NumberRequest& request) override;
};

// A QProgressDialog over the active window, application modal; the bar
// counts thousandths of the total.
class QtProgressDialogs : public ProgressDialogs {
public:
    std::unique_ptr<ProgressWindow> open(const ProgressRequest& request, std::function<void()> cancel) override;
};

class QtPlatform {
public:
    // The chart, printing and sound parts are looked for in the program's
    // own folder, or in `partDirectory`.
    QtPlatform();
    explicit QtPlatform(const QString& partDirectory);
    Platform platform();

private:
    QtMessageBox messages_;
    SystemClock clock_;
    LocaleDateOrder dateOrder_;
    QtScreenMetrics screen_;
    QtFileDialogs fileDialogs_;
    QtFontDialog fontDialog_;
    QtNumberDialog numberDialog_;
    QtClipboard clipboard_;
    LoadedPrintService printing_;
    QtSystemFacts systemFacts_;
    LoadedSound sound_;
    LoadedChartService charts_;
    QtProgressDialogs progress_;
};

} // namespace zp
