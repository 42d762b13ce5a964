// Find in the main window: the bar above the records list, the list
// narrowed to the records with its text as the user types, moving from one
// found record to the next, and the whole list back when the bar closes.

#include "app/windows/MainWindow.h"

#include "app/windows/MainStatusBar.h"
#include "app/windows/RecordsListView.h"
#include "ui/Hints.h"
#include "views/RecordSearch.h"
#include "views/RecordsList.h"
#include "views/RecordsListModel.h"
#include "views/windows/FindBar.h"

#include <QAction>
#include <QShortcut>
#include <QTabWidget>

namespace zp {

void MainWindow::createFind()
{
    find_ = std::make_unique<RecordsFind>();
    findBar_ = new FindBar(ssTab2_);
    findBar_->hide();
    hints_->attach(findBar_, QStringLiteral("Find records: the list shows only the records with this text"));
    // Tab goes from the text to the list it narrows.
    QWidget::setTabOrder(findBar_->focusProxy(), viewlist_);
    connect(findBar_, &FindBar::textChanged, this, &MainWindow::findAsTyped);
    connect(findBar_, &FindBar::nextWanted, this, [this] { findNext(true); });
    connect(findBar_, &FindBar::previousWanted, this, [this] { findNext(false); });
    connect(findBar_, &FindBar::closeWanted, this, &MainWindow::closeFind);
    connect(menuAction(QStringLiteral("Findrecords")), &QAction::triggered, this, &MainWindow::openFind);
    connect(menuAction(QStringLiteral("Findnext")), &QAction::triggered, this, [this] { findNext(true); });
    connect(menuAction(QStringLiteral("Findprevious")), &QAction::triggered, this, [this] { findNext(false); });
    // Escape in the narrowed list ends the find too, where the user is
    // looking at what it found.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), viewlist_, this, &MainWindow::closeFind,
                                 Qt::WidgetShortcut);
    escape->setObjectName(QStringLiteral("findEscapeKey"));
    // The bar reads in the list's font, so it grows with it.
    connect(this, &MainWindow::fontsApplied, this, [this] {
        findBar_->setFont(viewlist_->font());
        placeRecordsList(listArea_);
    });
}

bool MainWindow::findOpen() const
{
    return findBar_ && !findBar_->isHidden();
}

void MainWindow::placeRecordsList(const QRect& area)
{
    listArea_ = area;
    QRect list = area;
    if (findOpen()) {
        const int height = std::min(findBar_->sizeHint().height(), area.height() / 2);
        findBar_->setGeometry(area.x(), area.y(), area.width(), height);
        findBar_->raise();
        list.setTop(area.y() + height);
    }
    if (viewlist_->geometry() != list)
        viewlist_->setGeometry(list);
}

void MainWindow::openFind()
{
    if (!findOpen()) {
        findBar_->setFont(viewlist_->font());
        findBar_->show();
        placeRecordsList(listArea_);
        // The text of the last find is looked for again, ready to be typed over.
        findAsTyped(findBar_->text());
    }
    findBar_->start();
}

void MainWindow::closeFind()
{
    if (!findOpen())
        return;
    findBar_->hide();
    placeRecordsList(listArea_);
    listModel_->showAll();
    statusBar_->setFindCount(QString());
    // The whole list, on the record found.
    focusRecordsList(Qt::ShortcutFocusReason);
}

void MainWindow::findAsTyped(const QString& text)
{
    if (!findOpen())
        return;
    const RecordStore& store = state_.store;
    const std::vector<int>& found =
        find_->search(store, lineLayoutOf(state_.settings.displayMode), store.dateOrder(), text);
    listModel_->narrow(found, find_->current());
    // The current record stays current while it has the text; otherwise
    // the first record found takes its place, quietly: a sound on every
    // keystroke would be noise.
    if (listModel_->lineOfRecord(store.currentRecord) < 0 && !found.empty())
        selectRecord(found.front(), false);
    viewlist_->showCurrentLine(listModel_->lineOfRecord(store.currentRecord));
    showFindCount();
}

void MainWindow::findNext(bool forward)
{
    const int before = state_.store.currentRecord;
    if (!findOpen()) {
        openFind();
        // Opening already went to the first record found.
        if (state_.store.currentRecord != before)
            return;
    }
    const int record = nextFoundRecord(find_->found(), before, forward);
    if (record == 0)
        return;
    selectRecord(record, true);
    viewlist_->showCurrentLine(listModel_->lineOfRecord(record));
}

std::optional<std::vector<int>> MainWindow::refreshFind()
{
    if (!findOpen())
        return std::nullopt;
    const RecordStore& store = state_.store;
    std::vector<int> found = find_->refresh(store, lineLayoutOf(state_.settings.displayMode), store.dateOrder());
    showFindCount();
    return found;
}

void MainWindow::showFindCount()
{
    const int found = static_cast<int>(find_->found().size());
    statusBar_->setFindCount(findCountText(found, state_.store.recordCount()));
    findBar_->setNothingFound(found == 0 && !find_->current().looksForNothing());
}

} // namespace zp
