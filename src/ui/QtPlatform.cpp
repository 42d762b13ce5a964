#include "ui/QtPlatform.h"

#include "ui/FontColourDialog.h"

#include <QApplication>
#include <QInputDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <langinfo.h>
#include <locale.h>

namespace zp {

// --- Pure helpers -----------------------------------------------------------

QString messageBoxText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\n') {
            out += u'\n';
            if (i + 1 < text.size() && text.at(i + 1) == u'\r')
                ++i;
        } else if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') {
                out += u'\n';
                ++i;
            }
            // a lone carriage return is dropped
        } else {
            out += c;
        }
    }
    return out;
}

QStringList qtNameFilters(const QString& filter)
{
    QStringList parts = filter.split(u'|');
    if (!parts.isEmpty() && parts.last().trimmed().isEmpty())
        parts.removeLast(); // the trailing "|"

    static const QRegularExpression trailingGroup(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList result;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        // A stray separator before the first description ("," in the
        // notepad's filter) is not shown.
        while (description.startsWith(u',') || description.startsWith(u';'))
            description = description.mid(1).trimmed();
        const QString patternText = i + 1 < parts.size() ? parts.at(i + 1) : QString();
        if (description.isEmpty() && patternText.trimmed().isEmpty())
            continue;

        QStringList patterns;
        for (QString p : patternText.split(u';')) {
            p = p.trimmed();
            if (p == u"*.*")
                p = QStringLiteral("*");
            if (!p.isEmpty() && !patterns.contains(p))
                patterns << p;
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        const QString joined = patterns.join(u' ');

        description.remove(trailingGroup);
        result << (description.isEmpty() ? joined : description + QStringLiteral(" (") + joined + u')');
    }
    return result;
}

QFont toQFont(const FontChoice& choice)
{
    QFont f;
    const QString name = choice.name.trimmed();
    if (!name.isEmpty() && name.compare(u"System", Qt::CaseInsensitive) != 0)
        f.setFamily(name);
    f.setPointSize(choice.size > 0 ? choice.size : 10);
    f.setBold(choice.bold);
    f.setItalic(choice.italic);
    f.setStrikeOut(choice.strikethru);
    return f;
}

FontChoice fromQFont(const QFont& font, std::int32_t colour)
{
    FontChoice c;
    c.name = font.family();
    const double pt = font.pointSizeF();
    c.size = pt > 0 ? static_cast<int>(std::lround(pt)) : c.size;
    c.bold = font.bold();
    c.italic = font.italic();
    c.strikethru = font.strikeOut();
    c.colour = colour;
    return c;
}

QColor toQColor(std::int32_t colour, const QPalette& palette)
{
    if (colour < 0) {
        // System colours: the top bit set and the system colour index below.
        switch (static_cast<std::uint32_t>(colour) & 0xFFu) {
        case 5: return palette.color(QPalette::Base);
        case 13: return palette.color(QPalette::Highlight);
        case 14: return palette.color(QPalette::HighlightedText);
        case 15: return palette.color(QPalette::Button);
        case 16: return palette.color(QPalette::Dark);
        case 17: return palette.color(QPalette::Disabled, QPalette::WindowText);
        case 18: return palette.color(QPalette::ButtonText);
        case 20: return palette.color(QPalette::Light);
        case 21: return palette.color(QPalette::Shadow);
        case 22: return palette.color(QPalette::Midlight);
        case 23: return palette.color(QPalette::ToolTipText);
        case 24: return palette.color(QPalette::ToolTipBase);
        default: return palette.color(QPalette::WindowText);
        }
    }
    const auto v = static_cast<std::uint32_t>(colour);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

void showInDisplayFont(QWidget& widget, const FontChoice& font, const QPalette& windowPalette)
{
    widget.setFont(toQFont(font));
    QPalette p = widget.palette();
    const QColor colour = toQColor(font.colour, windowPalette);
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::WindowText, colour);
    widget.setPalette(p);
}

std::int32_t fromQColor(const QColor& colour)
{
    const QColor c = colour.toRgb();
    return static_cast<std::int32_t>((c.blue() << 16) | (c.green() << 8) | c.red());
}

// --- Message box ------------------------------------------------------------

namespace {

// Answers not named in MessageBox.h.
constexpr int kAnswerAbort = 3;
constexpr int kAnswerRetry = 4;
constexpr int kAnswerIgnore = 5;

int answerFor(int clicked)
{
    switch (clicked) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Abort: return kAnswerAbort;
    case QMessageBox::Retry: return kAnswerRetry;
    case QMessageBox::Ignore: return kAnswerIgnore;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: return MsgAnswer::Cancel;
    }
}

} // namespace

int QtMessageBox::msgBox(const QString& text, int style, const QString& title)
{
    using SB = QMessageBox::StandardButton;
    std::vector<SB> buttons;
    SB escape = SB::Ok;
    switch (style & 7) {
    case 1: buttons = {SB::Ok, SB::Cancel}; escape = SB::Cancel; break;
    case 2: buttons = {SB::Abort, SB::Retry, SB::Ignore}; escape = SB::Abort; break;
    case 3: buttons = {SB::Yes, SB::No, SB::Cancel}; escape = SB::Cancel; break;
    case 4: buttons = {SB::Yes, SB::No}; escape = SB::No; break;
    case 5: buttons = {SB::Retry, SB::Cancel}; escape = SB::Cancel; break;
    default: buttons = {SB::Ok}; escape = SB::Ok; break;
    }

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
    case MsgStyle::Critical: icon = QMessageBox::Critical; break;
    case MsgStyle::Question: icon = QMessageBox::Question; break;
    case MsgStyle::Exclamation: icon = QMessageBox::Warning; break;
    case MsgStyle::Information: icon = QMessageBox::Information; break;
    default: break;
    }

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? kProgramTitle : title);
    box.setText(messageBoxText(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(icon);
    QMessageBox::StandardButtons set;
    for (SB b : buttons)
        set |= b;
    box.setStandardButtons(set);
    const std::size_t defaultIndex = static_cast<std::size_t>((style >> 8) & 3);
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
    box.setEscapeButton(escape);
    box.exec();
    return answerFor(box.standardButton(box.clickedButton()));
}

// --- Clock, date order, screen ---------------------------------------------

namespace {

QScreen* primary()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
}

} // namespace

double QtScreenMetrics::twipsPerPixelX() const
{
    const QScreen* s = primary();
    return Twips::twipsPerPixelForDpi(s ? s->logicalDotsPerInchX() : 96.0);
}

double QtScreenMetrics::twipsPerPixelY() const
{
    const QScreen* s = primary();
    return Twips::twipsPerPixelForDpi(s ? s->logicalDotsPerInchY() : 96.0);
}

QSize QtScreenMetrics::screenSizeTwips() const
{
    const QScreen* s = primary();
    const QSize px = s ? s->geometry().size() : QSize(1024, 768);
    const Twips t(twipsPerPixelX(), twipsPerPixelY());
    return QSize(t.toTwipsX(px.width()), t.toTwipsY(px.height()));
}

// --- File and font dialogs --------------------------------------------------

namespace {

struct PreparedFilters {
    QString joined;
    QString selected;
};

PreparedFilters prepare(const FileDialogRequest& request)
{
    const QStringList filters = qtNameFilters(request.filter);
    PreparedFilters p;
    p.joined = filters.join(QStringLiteral(";;"));
    if (!filters.isEmpty()) {
        const int i = request.filterIndex - 1;
        p.selected = filters.at(i >= 0 && i < filters.size() ? i : 0);
    }
    return p;
}

std::optional<QString> chosen(const QString& name)
{
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

} // namespace

std::optional<QString> QtFileDialogs::openFileName(const FileDialogRequest& request)
{
    PreparedFilters p = prepare(request);
    return chosen(QFileDialog::getOpenFileName(QApplication::activeWindow(), request.title, request.initialPath,
                                               p.joined, &p.selected));
}

std::optional<QString> QtFileDialogs::saveFileName(const FileDialogRequest& request)
{
    PreparedFilters p = prepare(request);
    if (request.defaultSuffix.isEmpty())
        return chosen(QFileDialog::getSaveFileName(QApplication::activeWindow(), request.title, request.initialPath,
                                                   p.joined, &p.selected));
    // The static function has no default suffix; the dialog itself adds
    // it before asking whether to replace the file it then names.
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialPath, p.joined);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!p.selected.isEmpty())
        dialog.selectNameFilter(p.selected);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return chosen(dialog.selectedFiles().first());
}

std::optional<int> QtNumberDialog::askNumber(const NumberRequest& request)
{
    bool ok = false;
    const int value = QInputDialog::getInt(QApplication::activeWindow(), request.title, request.label, request.value,
                                           request.minimum, request.maximum, 1, &ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<FontChoice> QtFontDialog::chooseFont(const FontChoice& initial)
{
    FontColourDialog dialog(initial, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

namespace {

class QtProgressWindow : public ProgressWindow {
public:
    QtProgressWindow(const ProgressRequest& request, std::function<void()> cancel)
        : dialog_(new QProgressDialog(request.label, QStringLiteral("Cancel"), 0, 0, QApplication::activeWindow()))
    {
        dialog_->setObjectName(QStringLiteral("ProgressDialog"));
        dialog_->setWindowTitle(request.title);
        // The work reads the plan while the window shows: nothing else of
        // the program may change it meanwhile.
        dialog_->setWindowModality(Qt::ApplicationModal);
        // Shown by us, at once; the dialog's own timing would wait for values.
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->setMinimumDuration(0);
        QObject::connect(dialog_, &QProgressDialog::canceled, dialog_, [this, cancel = std::move(cancel)] {
            if (!cancelled_) {
                cancelled_ = true;
                cancel();
            }
        });
        dialog_->show();
    }
    ~QtProgressWindow() override
    {
        if (dialog_) {
            // The dialog's close announces a cancel; the work is over now.
            dialog_->disconnect();
            delete dialog_.data();
        }
    }
    void setProgress(qint64 done, qint64 total) override
    {
        if (!dialog_)
            return;
        if (total <= 0) {
            dialog_->setRange(0, 0);
            return;
        }
        dialog_->setRange(0, 1000);
        dialog_->setValue(int(std::clamp<qint64>(done, 0, total) * 1000 / total));
    }

private:
    QPointer<QProgressDialog> dialog_;
    bool cancelled_ = false;
};

} // namespace

std::unique_ptr<ProgressWindow> QtProgressDialogs::open(const ProgressRequest& request, std::function<void()> cancel)
{
    return std::make_unique<QtProgressWindow>(request, std::move(cancel));
}

// --- The set ----------------------------------------------------------------

QtPlatform::QtPlatform() : QtPlatform(QCoreApplication::applicationDirPath()) {}

QtPlatform::QtPlatform(const QString& partDirectory)
    : printing_(partDirectory, messages_), sound_(partDirectory), charts_(partDirectory)
{
}

Platform QtPlatform::platform()
{
    return Platform{messages_,  clock_,       dateOrder_, screen_,       fileDialogs_, fontDialog_,
                    clipboard_, printing_,    systemFacts_, sound_,      numberDialog_, charts_,
                    progress_};
}

} // namespace zp
