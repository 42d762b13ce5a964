#include "accessories/windows/FindDialog.h"

#include "ui/WindowGeometry.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zp {

FindDialog::FindDialog(ProgramState& state, const Platform& platform, FindSettings& settings, QWidget* parent)
    : QDialog(parent), platform_(platform), settings_(settings),
      place_(*this, Twips(platform.screen), state.settings.placement(PlacementRow::NotepadFind))
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);

    auto* label1 = new QLabel(QStringLiteral("Enter &Text"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    label1->setBuddy(text1_);
    check1_ = new QCheckBox(QStringLiteral("  Match case"), this);
    check1_->setObjectName(QStringLiteral("Check1"));

    auto* panel = new QGroupBox(QStringLiteral("  Direction"), this);
    panel->setObjectName(QStringLiteral("SSPanel1"));
    up_ = new QRadioButton(QStringLiteral("&Up"), panel);
    up_->setObjectName(QStringLiteral("Option1"));
    down_ = new QRadioButton(QStringLiteral("&Down"), panel);
    down_->setObjectName(QStringLiteral("Option2"));
    auto* directions = new QHBoxLayout(panel);
    directions->addWidget(up_);
    directions->addWidget(down_);

    find_ = new QPushButton(QStringLiteral("&Find"), this);
    find_->setObjectName(QStringLiteral("cmdFind"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdcancel"));
    // Enter always finds: a button that became default by taking the
    // focus would let Enter put the dialog away instead.
    for (QPushButton* b : {find_, cancel})
        b->setAutoDefault(false);
    find_->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(text1_, 0, 1, 1, 2);
    grid->addWidget(find_, 0, 3);
    grid->addWidget(check1_, 1, 0, 1, 2);
    grid->addWidget(panel, 1, 2);
    grid->addWidget(cancel, 1, 3, Qt::AlignTop);
    grid->setColumnStretch(1, 1);

    // Find works only with something to find.
    connect(text1_, &QLineEdit::textChanged, this, [this](const QString& t) { find_->setEnabled(!t.isEmpty()); });
    connect(up_, &QRadioButton::toggled, this, [this](bool on) { settings_.down = !on; });
    connect(check1_, &QCheckBox::toggled, this, [this](bool on) { settings_.matchCase = on; });
    connect(find_, &QPushButton::clicked, this, [this] {
        settings_.text = text1_->text();
        emit findRequested();
    });
    connect(cancel, &QPushButton::clicked, this, &FindDialog::reject);

    const Twips twips(platform_.screen);
    const WindowPlacement design = Settings::defaultPlacements()[PlacementRow::NotepadFind];
    resize(QSize(twips.toPixelsX(int(design.width)), twips.toPixelsY(int(design.height))).expandedTo(sizeHint()));
}

void FindDialog::start(const QString& text)
{
    text1_->setText(text);
    find_->setEnabled(!text.isEmpty());
    check1_->setChecked(settings_.matchCase);
    down_->setChecked(true);
    settings_.down = true;
    centreOnScreen(*this, platform_.screen);
    show();
    raise();
    activateWindow();
    text1_->setFocus();
    text1_->selectAll();
}

void FindDialog::reject()
{
    // The text to find stays for Find Next.
    place_.remember();
    QDialog::reject();
}

} // namespace zp
