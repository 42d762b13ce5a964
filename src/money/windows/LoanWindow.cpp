#include "money/windows/LoanWindow.h"

#include "money/LoanScheduleModel.h"
#include "plan/RecordStore.h"
#include "plan/TextNumber.h"
#include "ui/Accessibility.h"
#include "ui/FigureGrid.h"
#include "ui/KeyboardAccess.h"
#include "ui/QtPlatform.h"
#include "ui/TextFit.h"
#include "ui/WindowGeometry.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QTableView>
#include <algorithm>
#include <set>

namespace zp {

namespace {

// The smallest client area, in twips.
constexpr int kMinWidthTwips = 4345;
constexpr int kMinHeightTwips = 3276;

void setBevelOf(QFrame* frame, int style)
{
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(style == 1 ? QFrame::Sunken : QFrame::Raised);
    frame->setLineWidth(2);
}

} // namespace

ClickPanel::ClickPanel(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setBevel(2);
    // Reached with Tab, but a mouse click leaves the focus in the box being
    // edited, so its check does not run before the click's own.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    presentAsButton(*this);
}

void ClickPanel::setBevel(int style)
{
    bevel_ = style;
    setBevelOf(this, style);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        emit clicked();
    else
        QLabel::keyPressEvent(event);
}

LoanWindow::LoanWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QMainWindow(parent), state_(state), platform_(platform), twips_(platform.screen)
{
    setObjectName(QStringLiteral("Loan1"));
    setWindowTitle(kLoanCaption);
    closeOnEscape(*this);
    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->setMinimumSize(twips_.toPixelsX(kMinWidthTwips), twips_.toPixelsY(kMinHeightTwips));
    client_->installEventFilter(this);
    buildInputs();
    buildResults();
    buildMenu();
    fillInputs();
    applyFont();
}

void LoanWindow::buildInputs()
{
    const QString captions[] = {QStringLiteral("Loan Amount"), QStringLiteral("Loan Period (years)"),
                                QStringLiteral("Interest (%)"), QStringLiteral("Start Date"),
                                QStringLiteral("Repayments")};
    for (int i = 0; i < 5; ++i) {
        auto* caption = new QLabel(captions[i], client_);
        caption->setObjectName(QStringLiteral("Panel3D%1").arg(i + 1));
        caption->setAlignment(Qt::AlignCenter);
        setBevelOf(caption, 2);
        captions_.push_back(caption);
        auto* frame = new QFrame(client_);
        frame->setObjectName(QStringLiteral("Panel3D%1").arg(i + 8));
        setBevelOf(frame, 1);
        frames_.push_back(frame);
    }
    auto box = [this](int i, const char* name) {
        auto* edit = new QLineEdit(frames_[static_cast<std::size_t>(i)]);
        edit->setObjectName(QLatin1String(name));
        edit->installEventFilter(this);
        captions_[static_cast<std::size_t>(i)]->setBuddy(edit);
        // The caption sits outside the box's frame, where a screen reader
        // does not look for it.
        edit->setAccessibleName(captions_[static_cast<std::size_t>(i)]->text());
        return edit;
    };
    amount_ = box(0, "Text1");
    years_ = box(1, "Text2");
    rate_ = box(2, "Text3");
    start_ = box(3, "Text4");
    frequency_ = new QComboBox(frames_[4]);
    frequency_->setObjectName(QStringLiteral("Combo1"));
    frequency_->setEditable(true);
    frequency_->setInsertPolicy(QComboBox::NoInsert);
    frequency_->addItems({QStringLiteral("Weekly"), QStringLiteral("Fortnightly"), QStringLiteral("Monthly"),
                          QStringLiteral("Quarterly")});
    frequency_->installEventFilter(this);
    frequency_->setAccessibleName(captions_[4]->text());
    frequency_->lineEdit()->setAccessibleName(captions_[4]->text());
    frequency_->lineEdit()->installEventFilter(this);
    // Choosing from the list is as good as typing and leaving.
    connect(frequency_, &QComboBox::activated, this, [this] { checkFrequency(); });

    command_ = new ClickPanel(client_);
    command_->setObjectName(QStringLiteral("Panel3D6"));
    command_->setText(kLoanShowCaption);
    connect(command_, &ClickPanel::clicked, this, &LoanWindow::togglePanels);

    QWidget::setTabOrder(amount_, years_);
    QWidget::setTabOrder(years_, rate_);
    QWidget::setTabOrder(rate_, start_);
    QWidget::setTabOrder(start_, frequency_);
    QWidget::setTabOrder(frequency_, command_);
}

void LoanWindow::buildResults()
{
    results_ = new QFrame(client_);
    results_->setObjectName(QStringLiteral("Panel3D7"));
    setBevelOf(results_, 2);
    summary_ = new QListWidget(results_);
    summary_->setObjectName(QStringLiteral("RepaymentsList"));
    summary_->setAccessibleName(QStringLiteral("Repayment summary"));
    grid1_ = new QTableView(results_);
    grid1_->setObjectName(QStringLiteral("Grid1"));
    grid1_->setAccessibleName(QStringLiteral("Repayment schedule"));
    schedule_ = new LoanScheduleModel(grid1_);
    grid1_->setModel(schedule_);
    grid1_->verticalHeader()->hide();
    grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid1_->setWordWrap(false);
    grid1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid1_->setItemDelegate(new FullTextTipDelegate(grid1_));
    showHeadingRowsInHeader(*grid1_, kLoanHeadingRows);
    addCopyRowsAction(*grid1_, QStringLiteral("copySchedule"), [this] { copySchedule(); });
    results_->hide();
}

void LoanWindow::buildMenu()
{
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options"));
    print_ = options->addAction(QStringLiteral("&Print"));
    print_->setObjectName(QStringLiteral("Print"));
    QAction* close = options->addAction(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("Close"));
    connect(close, &QAction::triggered, this, &QWidget::close);
}

void LoanWindow::fillInputs()
{
    if (state_.loanStartText.isEmpty())
        state_.loanStartText = loanTodayText(platform_.clock.today(), dateOrder());
    amount_->setText(plainNumber(state_.loanAmount));
    years_->setText(plainNumber(state_.loanYears));
    rate_->setText(plainNumber(state_.loanRatePercent));
    start_->setText(state_.loanStartText);
    frequency_->setEditText(QStringLiteral("Monthly"));
}

void LoanWindow::open()
{
    if (!state_.loanOpen) {
        fillInputs();
        // Closed in the results view, it still opens in the input view.
        if (!results_->isHidden())
            togglePanels();
        place_.restore();
    }
    state_.loanOpen = true;
    applyFont();
    show();
    layOutPanels();
    raise();
    activateWindow();
}

void LoanWindow::applyFont()
{
    for (QWidget* w : std::initializer_list<QWidget*>{amount_, years_, rate_, start_, frequency_, summary_, grid1_})
        showInDisplayFont(*w, state_.settings.font, palette());
    grid1_->verticalHeader()->setDefaultSectionSize(grid1_->fontMetrics().height() + 4);
}

DateOrder LoanWindow::dateOrder() const
{
    return state_.store.dateOrder();
}

void LoanWindow::layOutPanels()
{
    const int cw = twips_.toTwipsX(client_->width());
    const int ch = twips_.toTwipsY(client_->height());
    auto place = [this](QWidget* w, int x, int y, int width, int height) {
        w->setGeometry(twips_.toPixelsX(x), twips_.toPixelsY(y), std::max(1, twips_.toPixelsX(width)),
                       std::max(1, twips_.toPixelsY(height)));
    };
    // The rows are drawn 420 twips high with captions 2000 wide; a larger
    // font makes them as large as its captions and entry boxes need.
    const QMargins bevel(command_->frameWidth() + 4, command_->frameWidth() + 2, command_->frameWidth() + 4,
                         command_->frameWidth() + 2);
    int captionWidth = 2000;
    int rowHeight = 420;
    for (std::size_t i = 0; i < captions_.size(); ++i) {
        const QSize caption = textRoom(captions_[i]->fontMetrics(), captions_[i]->text(), bevel);
        QWidget* input = frames_[i]->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        const int box = input ? input->minimumSizeHint().height() + 2 * frames_[i]->frameWidth() + 2 : 0;
        captionWidth = std::max(captionWidth, twips_.toTwipsX(caption.width()));
        rowHeight = std::max({rowHeight, twips_.toTwipsY(caption.height()), twips_.toTwipsY(box)});
    }
    const int commandHeight =
        std::max(400, twips_.toTwipsY(textRoom(command_->fontMetrics(), command_->text(), bevel).height()));
    const QSize least(twips_.toPixelsX(std::max({kMinWidthTwips, captionWidth + 2300,
                                                 twips_.toTwipsX(textRoom(command_->fontMetrics(), command_->text(), bevel).width()) + 100})),
                      twips_.toPixelsY(std::max(kMinHeightTwips, 600 + 5 * (rowHeight + 100) + 50)));
    if (client_->minimumSize() != least)
        client_->setMinimumSize(least); // the window grows to it and comes back here
    place(command_, 50, 50, cw - 100, commandHeight);
    for (std::size_t i = 0; i < captions_.size(); ++i) {
        const int top = commandHeight + 200 + static_cast<int>(i) * (rowHeight + 100);
        place(captions_[i], 100, top, captionWidth, rowHeight);
        place(frames_[i], captionWidth + 200, top, cw - captionWidth - 300, rowHeight);
        QWidget* input = frames_[i]->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        if (input)
            input->setGeometry(frames_[i]->contentsRect().adjusted(1, 1, -1, -1));
    }
    place(results_, 50, commandHeight + 100, cw - 100, ch - commandHeight - 150);
    // The summary shows its five lines whole; with a large display font it
    // takes what it needs from the top of the schedule.
    const QFontMetrics summaryFont(summary_->font());
    const int line = std::max(summaryFont.lineSpacing() + 2, summary_->count() > 0 ? summary_->sizeHintForRow(0) : 0);
    const int summaryTwips = std::max(960, twips_.toTwipsY(5 * line + 2 * summary_->frameWidth() + 4));
    place(summary_, 75, 40, cw - 250, summaryTwips);
    place(grid1_, 75, 1030 + summaryTwips - 960, cw - 250, ch - 1600 - (summaryTwips - 960));
    // Six columns share the grid, but none narrower than 1000 twips nor
    // than its widest heading or figure; the grid scrolls sideways when
    // they need more room than it has.
    const int share = twips_.toPixelsX(std::max(1000.0, twips_.toTwipsX(grid1_->width()) / 6.2));
    for (int c = 0; c < 6; ++c)
        grid1_->setColumnWidth(c, std::max(share, c < static_cast<int>(widest_.size()) ? widest_[static_cast<std::size_t>(c)] : 0));
}

void LoanWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // Without a window manager to hold it, the window is set back to its
    // smallest size here.
    const QSize least = minimumSizeHint().expandedTo(minimumSize());
    if (width() < least.width() || height() < least.height())
        resize(std::max(width(), least.width()), std::max(height(), least.height()));
}

bool LoanWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize) {
        layOutPanels();
        return false;
    }
    if (!frequency_)
        return QMainWindow::eventFilter(watched, event);
    QObject* field = watched == frequency_->lineEdit() ? frequency_ : watched;
    const bool isField = field == amount_ || field == years_ || field == rate_ || field == start_ || field == frequency_;
    if (!isField)
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            checkField(field, true);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched != frequency_->lineEdit()) {
        checkField(field, false);
    }
    return QMainWindow::eventFilter(watched, event);
}

void LoanWindow::checkField(QObject* field, bool withNote)
{
    if (checking_)
        return;
    if (field == amount_)
        checkAmount();
    else if (field == years_)
        checkYears();
    else if (field == rate_)
        checkRate();
    else if (field == start_)
        checkStartDate(withNote);
    else if (field == frequency_)
        checkFrequency();
}

void LoanWindow::checkAmount()
{
    const LoanField f = normaliseLoanAmount(amount_->text());
    amount_->setText(f.text);
    state_.loanAmount = f.value;
}

void LoanWindow::checkYears()
{
    const LoanField f = normaliseLoanYears(years_->text());
    years_->setText(f.text);
    state_.loanYears = f.value;
}

void LoanWindow::checkRate()
{
    const LoanField f = normaliseLoanRate(rate_->text());
    rate_->setText(f.text);
    state_.loanRatePercent = f.value;
}

void LoanWindow::checkFrequency()
{
    frequency_->setEditText(frequencyWord(frequencyFromText(frequency_->currentText())));
}

bool LoanWindow::checkStartDate(bool withNote)
{
    const QDate today = platform_.clock.today();
    if (loanStartDate(start_->text(), dateOrder(), today.year()).isValid()) {
        state_.loanStartText = start_->text();
        return true;
    }
    checking_ = true;
    platform_.messages.msgBox(withNote ? kLoanDateMessage + QLatin1Char('\n') + kLoanControlPanelNote : kLoanDateMessage,
                              MsgStyle::Exclamation, kLoanDateTitle);
    checking_ = false;
    state_.loanStartText = loanTodayText(today, dateOrder());
    start_->setText(state_.loanStartText);
    return false;
}

void LoanWindow::togglePanels()
{
    if (checking_)
        return;
    const bool toResults = results_->isHidden();
    if (toResults) {
        checkAmount();
        checkYears();
        checkRate();
        checkFrequency();
        if (!checkStartDate(true))
            return;
    }
    command_->setBevel(1);
    for (QWidget* w : captions_)
        w->setVisible(!toResults);
    for (QWidget* w : frames_)
        w->setVisible(!toResults);
    results_->setVisible(toResults);
    if (!toResults) {
        command_->setText(kLoanShowCaption);
        command_->setBevel(2);
        return;
    }
    command_->setText(kLoanWaitCaption);
    command_->repaint();
    computeLoan();
}

void LoanWindow::computeLoan()
{
    const LoanInputs inputs{state_.loanAmount, state_.loanYears, state_.loanRatePercent,
                            frequencyFromText(frequency_->currentText())};
    state_.loanStartText = start_->text();
    const LoanFigures figures = computeLoanFigures(inputs);
    summary_->clear();
    summary_->addItems(loanSummaryLines(start_->text(), figures));
    const QDate start = loanStartDate(start_->text(), dateOrder(), platform_.clock.today().year());
    schedule_->setSchedule(inputs.frequency, loanScheduleRows(inputs, figures, start, dateOrder()));
    const auto& rows = schedule_->rows();
    widest_ = widestCellWidths(*grid1_, [&rows](int r, int c) {
        return QStringView(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    });
    layOutPanels();
    grid1_->scrollToTop();
    command_->setBevel(2);
    if (command_->text() == kLoanWaitCaption)
        command_->setText(kLoanAgainCaption);
}

void LoanWindow::copySchedule()
{
    const std::vector<int> selected = selectedRows(*grid1_);
    const auto& rows = schedule_->rows();
    std::vector<LoanRow> chosen;
    if (!selected.empty()) {
        for (int r : selected)
            chosen.push_back(rows[static_cast<std::size_t>(r)]);
    } else {
        // The whole schedule, without the empty row kept below it.
        chosen.assign(rows.begin(), rows.end() - 1);
    }
    platform_.clipboard.setText(loanRowsText(chosen));
}

void LoanWindow::closeEvent(QCloseEvent* event)
{
    place_.remember();
    state_.loanOpen = false;
    QMainWindow::closeEvent(event);
}

} // namespace zp
