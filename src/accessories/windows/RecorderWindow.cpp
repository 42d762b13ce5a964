#include "accessories/windows/RecorderWindow.h"

#include "ui/WindowGeometry.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace zp {

namespace {

constexpr int kRecorderWidthTwips = 4200;
// How often the elapsed recording time and the level are shown: often
// enough for the meter to follow the voice.
constexpr int kProgressMs = 100;

QIcon recordIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 0, 0));
    painter.drawEllipse(QRectF(2, 2, 12, 12));
    return QIcon(pixmap);
}

// The folder exists (made when missing) and takes new files.
bool folderTakesFiles(const QString& folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

RecorderWindow::RecorderWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      state_(state),
      platform_(platform),
      twips_(platform.screen),
      session_(state.store, state.settings.maxRecordSeconds)
{
    setObjectName(QStringLiteral("Form13"));
    setWindowTitle(kRecorderCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    createMenu();
    createControls();
    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(session_.timerIntervalMs());
    // A coarse timer may fire a twentieth early: a limit is a limit.
    timer1_->setTimerType(Qt::PreciseTimer);
    connect(timer1_, &QTimer::timeout, this, &RecorderWindow::tickLimitTimer);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(kProgressMs);
    connect(progressTimer_, &QTimer::timeout, this, &RecorderWindow::showProgress);
    applyLimitTicks();
}

RecorderWindow::~RecorderWindow()
{
    // Closing the program with the recorder open still keeps the recording.
    if (!ended_) {
        ended_ = true;
        finishRecording();
        platform_.sound.closeDevice();
        session_.end(recordingKept_);
        emit closed();
    }
}

void RecorderWindow::createMenu()
{
    menuBar_ = new QMenuBar(this);
    QMenu* menu = menuBar_->addMenu(QStringLiteral("&Max. Rec. time"));
    menu->menuAction()->setObjectName(QStringLiteral("maxrectime"));
    for (const RecordLimitItem& item : recordLimitItems()) {
        QAction* action = menu->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QString::fromLatin1(item.control));
        action->setProperty("index", item.index);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, item] { chooseLimit(item); });
    }
}

void RecorderWindow::createControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
    layout->setContentsMargins(8, 6, 8, 6);

    auto* mmControl = new QFrame(this);
    mmControl->setObjectName(QStringLiteral("MMControl1"));
    mmControl->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* grid = new QGridLayout(mmControl);
    grid->setContentsMargins(4, 4, 4, 4);
    auto addButton = [&](int column, const char* name, const QIcon& icon, const char* labelName, const char* caption) {
        auto* button = new QPushButton(icon, QString(), mmControl);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(QString::fromLatin1(caption));
        button->setAccessibleName(QString::fromLatin1(caption));
        button->setMinimumSize(40, 28);
        auto* label = new QLabel(QString::fromLatin1(caption), mmControl);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(button, 0, column);
        grid->addWidget(label, 1, column);
        return button;
    };
    stopButton_ = addButton(0, "StopButton", style()->standardIcon(QStyle::SP_MediaStop), "Label1", "Stop");
    recordButton_ = addButton(1, "RecordButton", recordIcon(), "Label2", "Record");
    ejectButton_ = addButton(2, "CloseButton", style()->standardIcon(QStyle::SP_DialogCloseButton), "Label3", "Close");
    // Listening to what was just recorded before it goes into the record.
    playButton_ = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("&Play"), mmControl);
    playButton_->setObjectName(QStringLiteral("PlayButton"));
    playButton_->setToolTip(QStringLiteral("Play the recording"));
    playButton_->setEnabled(false);
    grid->addWidget(playButton_, 0, 3);

    command3D1_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QString(), this);
    command3D1_->setObjectName(QStringLiteral("Command3D1"));
    command3D1_->setToolTip(QStringLiteral("Close"));
    command3D1_->setAccessibleName(QStringLiteral("Close"));

    auto* row = new QHBoxLayout;
    row->addWidget(mmControl, 1);
    row->addWidget(command3D1_, 0, Qt::AlignTop);
    layout->addLayout(row);

    levelMeter_ = new QProgressBar(this);
    levelMeter_->setObjectName(QStringLiteral("LevelMeter"));
    levelMeter_->setAccessibleName(QStringLiteral("Input level"));
    levelMeter_->setRange(0, 100);
    levelMeter_->setValue(0);
    levelMeter_->setTextVisible(false);
    levelMeter_->setMaximumHeight(10);
    layout->addWidget(levelMeter_);

    status_ = new QLabel(QStringLiteral("Press Record to start"), this);
    status_->setObjectName(QStringLiteral("RecorderStatus"));
    layout->addWidget(status_);

    connect(recordButton_, &QPushButton::clicked, this, &RecorderWindow::record);
    connect(stopButton_, &QPushButton::clicked, this, &RecorderWindow::stop);
    connect(playButton_, &QPushButton::clicked, this, &RecorderWindow::play);
    connect(ejectButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(command3D1_, &QPushButton::clicked, this, &QWidget::close);
    // Keys that work wherever the focus is in the window.
    const std::pair<QKeySequence, void (RecorderWindow::*)()> keys[] = {
        {QKeySequence(Qt::Key_R), &RecorderWindow::record},
        {QKeySequence(Qt::Key_S), &RecorderWindow::stop},
        {QKeySequence(Qt::Key_P), &RecorderWindow::play},
        {QKeySequence(Qt::Key_Escape), &RecorderWindow::closeWindow},
    };
    for (const auto& [key, slot] : keys) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, slot);
    }
    setMinimumWidth(twips_.toPixelsX(kRecorderWidthTwips));
}

bool RecorderWindow::open(const QRect& mainWindowTwips)
{
    session_.begin();
    show();
    // Centred by the width the window really has once laid out.
    const WindowPlacement shown = placementOf(*this, twips_);
    const QPoint at = recorderPosition(mainWindowTwips, int(shown.width));
    moveWindow(*this, twips_, WindowPlacement{double(at.y()), double(at.x()), shown.width, shown.height});
    raise();
    activateWindow();
    timer1_->start();

    const QString folder = state_.store.recordingsFolder;
    const QString path =
        newRecordingPath(folder, platform_.clock.now(), [](const QString& p) { return QFileInfo::exists(p); });
    session_.useNewPath(path);
    if (!folderTakesFiles(folder)) {
        failWith(kRecorderNamingError);
        return false;
    }
    if (!platform_.sound.openDevice()) {
        failWith(kRecorderOpenError);
        return false;
    }
    if (!platform_.sound.canRecord() || !platform_.sound.canPlay()) {
        failWith(kRecorderDeviceError);
        return false;
    }
    recordButton_->setFocus();
    return true;
}

void RecorderWindow::failWith(const QString& message)
{
    session_.fail();
    timer1_->stop();
    platform_.sound.closeDevice();
    platform_.messages.msgBox(message, MsgStyle::Exclamation, kAudioErrorTitle);
    close();
}

QAction* RecorderWindow::limitAction(const QString& name) const
{
    return menuBar_->findChild<QAction*>(name);
}

void RecorderWindow::applyLimitTicks()
{
    const auto ticked = recordLimitFor(state_.settings.maxRecordSeconds);
    for (const RecordLimitItem& item : recordLimitItems())
        limitAction(QString::fromLatin1(item.control))->setChecked(ticked && ticked->index == item.index);
}

void RecorderWindow::chooseLimit(const RecordLimitItem& item)
{
    session_.chooseLimit(item);
    applyLimitTicks();
    timer1_->setInterval(session_.timerIntervalMs());
    if (!session_.timerRunning())
        timer1_->stop();
}

void RecorderWindow::record()
{
    if (session_.failed())
        return;
    finishRecording(); // Record while recording starts the file again
    // Playing back the file about to be recorded over would read it while
    // it is rewritten, and the microphone would hear it.
    platform_.sound.stopPlaying();
    // The name was free when the window opened; what is there now is
    // checked again, as the recording replaces it.
    if (const auto problem = recordingTargetProblem(state_.store.currentSoundPath, state_.store.planFileName)) {
        platform_.messages.msgBox(*problem, MsgStyle::Exclamation, kAudioErrorTitle);
        return;
    }
    if (!platform_.sound.startRecording(state_.store.currentSoundPath)) {
        platform_.messages.msgBox(kRecorderOpenError, MsgStyle::Exclamation, kAudioErrorTitle);
        return;
    }
    recordingKept_ = false;
    recordingRunning_ = true;
    playButton_->setEnabled(false);
    session_.recordStarted(platform_.clock.now());
    // The limit counts from Record, not from when the window opened: the
    // timer starts again from here.
    timer1_->start();
    progressTimer_->start();
    showProgress();
}

std::optional<RecordingResult> RecorderWindow::finishRecording()
{
    if (!recordingRunning_)
        return std::nullopt;
    recordingRunning_ = false;
    const RecordingResult result = platform_.sound.stopRecording();
    recordingKept_ = result.kept;
    return result;
}

void RecorderWindow::stop()
{
    const auto result = finishRecording();
    if (!result)
        return;
    progressTimer_->stop();
    levelMeter_->setValue(0);
    playButton_->setEnabled(result->kept);
    // The length the file really holds, which a full disk makes shorter
    // than the time the window was recording.
    status_->setText(recordingResultText(*result, fileName()));
}

void RecorderWindow::play()
{
    if (playButton_->isEnabled())
        platform_.sound.play(state_.store.currentSoundPath);
}

QString RecorderWindow::fileName() const
{
    return QFileInfo(state_.store.currentSoundPath).fileName();
}

void RecorderWindow::showProgress()
{
    if (recordingRunning_ && !platform_.sound.isRecording()) {
        stop(); // it ended by itself: say so now, not when Stop is pressed
        return;
    }
    if (!recordingRunning_)
        return;
    const QDateTime now = platform_.clock.now();
    if (session_.limitReached(now)) {
        stop();
        return;
    }
    levelMeter_->setValue(qRound(100 * std::clamp(platform_.sound.inputLevel(), 0.0, 1.0)));
    status_->setText(recordingProgressText(fileName(), session_.recordedMs(now)));
}

void RecorderWindow::tickLimitTimer()
{
    if (session_.timerTick())
        stop();
    if (!session_.timerRunning())
        timer1_->stop();
}

void RecorderWindow::closeEvent(QCloseEvent* event)
{
    // Stop, save and close: what was recorded is kept.
    if (!ended_) {
        ended_ = true;
        timer1_->stop();
        progressTimer_->stop();
        finishRecording();
        platform_.sound.closeDevice();
        session_.end(recordingKept_);
        emit closed();
    }
    event->accept();
}

} // namespace zp
