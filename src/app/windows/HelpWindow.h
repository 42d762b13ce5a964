#pragma once
#include <QTextBrowser>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace zp {

// The guide's page view: a topic the guide does not have shows a page
// saying so instead of an empty one.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

protected:
    // The guide's headings and shaded cells take their colours from the
    // theme, and change with it.
    void changeEvent(QEvent* event) override;

private:
    void followPalette();
};

// The user guide's viewer: contents on the left, the page on the right,
// Back/Forward/Contents and find-in-page above it.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // A topic of the guide, with an optional "#anchor": "ledger.html#plot".
    void showTopic(const QString& topic);
    // The topic showing now, relative to the guide ("calculator.html").
    QString currentTopic() const;

    // Finds the find box's text from the cursor on; false when it is not
    // on the page.
    bool findNext(bool backwards = false);

private:
    void createControls();
    QHBoxLayout* createButtonBar();
    void createShortcuts();
    void connectControls();
    void followSource(const QUrl& source);

    HelpBrowser* browser_ = nullptr;
    QListWidget* contents_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
    QToolButton* home_ = nullptr;
    QLineEdit* find_ = nullptr;
    QToolButton* findNext_ = nullptr;
    QToolButton* findPrevious_ = nullptr;
    QLabel* findStatus_ = nullptr;
};

} // namespace zp
