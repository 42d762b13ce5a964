#include "accessories/windows/CalculatorWindow.h"

#include "ui/QtPlatform.h"
#include "ui/TextFit.h"
#include "ui/WindowGeometry.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace zp {

namespace {

// The size the key captions were drawn for.
constexpr int kLargestKeyPoints = 9;

// The key pad, row by row: caption, control name and index in its control
// array (-1 for a single control).
struct KeySpec {
    const char* caption;
    const char* name;
    int index;
};

constexpr int kKeyColumns = 6;
constexpr KeySpec kKeyPad[] = {
    {"Sin", "Command1", -1},  {"Cos", "Command2", -1},  {"Tan", "Command3", -1},
    {"ASin", "Command13", -1}, {"ACos", "Command14", -1}, {"ATan", "Command15", -1},
    {"SQR", "Command8", -1},  {"X^2", "Command9", -1},  {"LOG", "Command10", -1},
    {"Int", "Command16", -1}, {"Pi", "Command17", -1},  {"ILLUM", "Command12", -1},
    {"7", "Number", 7},       {"8", "Number", 8},       {"9", "Number", 9},
    {"/", "Operator", 3},     {"MC", "Command7", -1},   {"OFF", "Command11", -1},
    {"4", "Number", 4},       {"5", "Number", 5},       {"6", "Number", 6},
    {"X", "Operator", 2},     {"MR", "Command6", -1},   {"C", "Cancel", -1},
    {"1", "Number", 1},       {"2", "Number", 2},       {"3", "Number", 3},
    {"-", "Operator", 1},     {"M+", "Command5", -1},   {"CE", "CancelEntry", -1},
    {"0", "Number", 0},       {".", "Decimal", -1},     {"+/-", "Command4", -1},
    {"+", "Operator", 0},     {"%", "Percent", -1},     {"=", "Operator", 4},
};

constexpr int kPadMargin = 3;
constexpr int kPadSpacing = 2;
// How long a key typed on the keyboard shows pressed.
constexpr int kFlashMs = 120;
// The displays never shrink their text below this size to fit it in.
constexpr int kSmallestDisplayPoints = 6;

// The key a keyboard key stands for, by caption; empty for none.
QString captionForKey(const QKeyEvent& event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    switch (event.key()) {
    case Qt::Key_Enter:
    case Qt::Key_Return:
    case Qt::Key_Equal: return QStringLiteral("=");
    case Qt::Key_Escape: return QStringLiteral("C");
    case Qt::Key_Delete: return QStringLiteral("CE");
    case Qt::Key_Asterisk:
    case Qt::Key_X: return QStringLiteral("X");
    case Qt::Key_Comma:
    case Qt::Key_Period: return QStringLiteral(".");
    case Qt::Key_Plus: return QStringLiteral("+");
    case Qt::Key_Minus: return QStringLiteral("-");
    case Qt::Key_Slash: return QStringLiteral("/");
    case Qt::Key_Percent: return QStringLiteral("%");
    default: break;
    }
    if (event.key() >= Qt::Key_0 && event.key() <= Qt::Key_9)
        return QString(QChar(u'0' + (event.key() - Qt::Key_0)));
    return {};
}

} // namespace

CalculatorWindow::CalculatorWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), platform_(platform), twips_(platform.screen)
{
    setObjectName(QStringLiteral("form5"));
    setWindowTitle(kCalculatorCaption);
    // Drawn for key captions of 9 points; a larger font grows the window
    // and its keys with it.
    QFont nine = font();
    nine.setPointSize(kLargestKeyPoints);
    const double growth = growthToFit(fontMetrics().height(), QFontMetrics(nine).height());
    setFixedSize(twips_.toPixelsX(kCalculatorWidthTwips * growth), twips_.toPixelsY(kCalculatorHeightTwips * growth));
    createDisplays();
    createKeys();
    connectKeys();
    showState();
}

void CalculatorWindow::createDisplays()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel3D1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto makeDisplay = [panel](const char* name, const QString& accessible) {
        auto* label = new QLabel(kEmptyDisplay, panel);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAutoFillBackground(true);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        label->setAccessibleName(accessible);
        return label;
    };
    readout_ = makeDisplay("Readout", QStringLiteral("Display"));
    readout2_ = makeDisplay("Readout2", QStringLiteral("Second display"));
    option1_ = new QRadioButton(panel);
    option1_->setObjectName(QStringLiteral("Option1"));
    option1_->setAccessibleName(QStringLiteral("Use the display"));
    option1_->setToolTip(option1_->accessibleName());
    option1_->setChecked(true);
    option2_ = new QRadioButton(panel);
    option2_->setObjectName(QStringLiteral("Option2"));
    option2_->setAccessibleName(QStringLiteral("Use the second display"));
    option2_->setToolTip(option2_->accessibleName());
    memoryLabel_ = new QLabel(kMemoryOn, panel);
    memoryLabel_->setObjectName(QStringLiteral("Label1"));
    QFont small = memoryLabel_->font();
    small.setPointSize(7);
    memoryLabel_->setFont(small);
    // Keeps its room while hidden, so the keys do not move.
    QSizePolicy keep = memoryLabel_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    memoryLabel_->setSizePolicy(keep);

    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(kPadMargin, kPadMargin, kPadMargin, 1);
    grid->setHorizontalSpacing(kPadSpacing);
    grid->setVerticalSpacing(kPadSpacing);
    grid->addWidget(option1_, 0, 0);
    grid->addWidget(readout_, 0, 1);
    grid->addWidget(option2_, 1, 0);
    grid->addWidget(readout2_, 1, 1);
    grid->addWidget(memoryLabel_, 2, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->setSpacing(2);
    outer->addWidget(panel);
}

void CalculatorWindow::createKeys()
{
    auto* pad = new QFrame(this);
    pad->setObjectName(QStringLiteral("Panel3D3"));
    pad->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* grid = new QGridLayout(pad);
    grid->setContentsMargins(kPadMargin, kPadMargin, kPadMargin, kPadMargin);
    grid->setSpacing(kPadSpacing);

    // The captions take the largest size up to 9 points (or the window's
    // font, when larger) at which the widest of them fits its key.
    const int keyWidth = (width() - 4 - 2 * kPadMargin - 2 - (kKeyColumns - 1) * kPadSpacing) / kKeyColumns;
    QFont font = this->font();
    for (int points = std::max(kLargestKeyPoints, font.pointSize()); points >= 6; --points) {
        font.setPointSize(points);
        const QFontMetrics fm(font);
        int widest = 0;
        for (const KeySpec& k : kKeyPad)
            widest = std::max(widest, fm.horizontalAdvance(QString::fromLatin1(k.caption)));
        if (widest + 6 <= keyWidth)
            break;
    }

    int position = 0;
    for (const KeySpec& k : kKeyPad) {
        auto* button = new QPushButton(QString::fromLatin1(k.caption), pad);
        button->setObjectName(QString::fromLatin1(k.name));
        if (k.index >= 0)
            button->setProperty("index", k.index);
        button->setFont(font);
        button->setAutoDefault(false);
        button->setMinimumSize(0, 0);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        // Padding is what the style adds round a caption; keys are too
        // small to spare any.
        button->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
        grid->addWidget(button, position / kKeyColumns, position % kKeyColumns);
        keys_[button->text()] = button;
        ++position;
    }
    static_cast<QVBoxLayout*>(layout())->addWidget(pad, 1);
}

void CalculatorWindow::connectKeys()
{
    for (const auto& [caption, button] : keys_) {
        if (const std::optional<CalcKey> k = keyForCaption(caption))
            connect(button, &QPushButton::clicked, this, [this, key = *k] { press(key); });
    }
    connect(key(QStringLiteral("OFF")), &QPushButton::clicked, this, &QWidget::close);
    connect(option1_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            engine_.selectDisplay(0);
            showState();
        }
    });
    connect(option2_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            engine_.selectDisplay(1);
            showState();
        }
    });
    auto* copy = new QAction(QStringLiteral("Copy"), this);
    copy->setObjectName(QStringLiteral("copyDisplay"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WindowShortcut);
    connect(copy, &QAction::triggered, this, &CalculatorWindow::copyDisplay);
    addAction(copy);
}

QPushButton* CalculatorWindow::key(const QString& caption) const
{
    const auto it = keys_.find(caption);
    return it == keys_.end() ? nullptr : it->second;
}

void CalculatorWindow::open()
{
    if (!state_.calculatorOpen) {
        // A new opening starts afresh: empty memory, first display, no colour.
        engine_ = CalculatorEngine();
        {
            const QSignalBlocker block(option1_);
            option1_->setChecked(true);
        }
        place_.restore();
        applyFont();
        showState();
        state_.calculatorOpen = true;
    }
    show();
    raise();
    activateWindow();
}

void CalculatorWindow::press(CalcKey key)
{
    if (const std::optional<QString> message = engine_.press(key))
        platform_.messages.msgBox(*message, MsgStyle::Exclamation, kCalculatorMessageTitle);
    // C runs the opening set-up again, the display font with it.
    if (key == CalcKey::Clear)
        applyFont();
    showState();
}

void CalculatorWindow::showState()
{
    // The displays' widths decide how large their text can be shown.
    layout()->activate();
    readout_->setText(engine_.display(0));
    readout2_->setText(engine_.display(1));
    // A screen reader reads the result with the display's name.
    readout_->setAccessibleName(QStringLiteral("Display %1").arg(engine_.display(0)));
    readout2_->setAccessibleName(QStringLiteral("Second display %1").arg(engine_.display(1)));
    memoryLabel_->setVisible(engine_.memoryShown());
    for (QLabel* display : {readout_, readout2_}) {
        QPalette p = display->palette();
        const std::optional<std::int32_t> colour = engine_.displayColour();
        const QColor background = colour ? toQColor(*colour, p) : palette().color(QPalette::Base);
        p.setColor(QPalette::Window, background);
        // A display colour of its own keeps the figures readable in any theme.
        p.setColor(QPalette::WindowText, readableOn(background, toQColor(state_.settings.font.colour, palette())));
        display->setPalette(p);
        fitDisplayText(display);
    }
}

void CalculatorWindow::applyFont()
{
    QFont font = toQFont(state_.settings.font);
    // Room for the largest font the settings allow, so the key pad never moves.
    QFont largest = font;
    largest.setPointSize(std::max(font.pointSize(), Settings::kMaxFontSize));
    const int height = QFontMetrics(largest).height() + 6;
    for (QLabel* display : {readout_, readout2_}) {
        showInDisplayFont(*display, state_.settings.font, palette());
        display->setFixedHeight(height);
        fitDisplayText(display);
    }
}

void CalculatorWindow::fitDisplayText(QLabel* display)
{
    // A long result is shown smaller rather than cut off.
    QFont font = toQFont(state_.settings.font);
    const int room = std::max(1, display->contentsRect().width() - 4);
    while (font.pointSize() > kSmallestDisplayPoints && QFontMetrics(font).horizontalAdvance(display->text()) > room)
        font.setPointSize(font.pointSize() - 1);
    display->setFont(font);
}

void CalculatorWindow::copyDisplay()
{
    QString text = engine_.activeText();
    // "25." is the display's way of showing 25 being typed.
    if (text.endsWith(u'.'))
        text.chop(1);
    platform_.clipboard.setText(text);
}

void CalculatorWindow::flashKey(QAbstractButton* button)
{
    button->click();
    button->setDown(true);
    QTimer::singleShot(kFlashMs, button, [b = QPointer<QAbstractButton>(button)] {
        if (b)
            b->setDown(false);
    });
}

void CalculatorWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Backspace && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        engine_.backspace();
        showState();
        event->accept();
        return;
    }
    const QString caption = captionForKey(*event);
    if (QPushButton* button = caption.isEmpty() ? nullptr : key(caption)) {
        flashKey(button);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CalculatorWindow::closeEvent(QCloseEvent* event)
{
    place_.remember();
    state_.calculatorOpen = false;
    QWidget::closeEvent(event);
}

} // namespace zp
