#include "ui/FontColourDialog.h"

#include "ui/QtPlatform.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace zp {

namespace {

// A QFontDialog used as a child widget. As a dialog it would answer keys
// itself: Escape anywhere and Enter in its font and style lists close it
// (leaving a hole in the surrounding dialog), Enter elsewhere does nothing
// as it has no buttons. So its own closing closes the surrounding dialog
// instead, and the keys its own widgets leave go on to that dialog's Cancel
// and default OK.
class EmbeddedFontPicker : public QFontDialog {
public:
    using QFontDialog::QFontDialog;

    void done(int result) override
    {
        if (auto* outer = qobject_cast<QDialog*>(parentWidget()))
            outer->done(result);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override { event->ignore(); }
};

// The font as the picker should show it. QFontDialog finds the style by its
// name ("Normal", "Bold Italic") and takes the family's first style when no
// name matches, so fonts whose upright style is called "Book" came up as
// "Condensed Italic"; fontconfig aliases such as "Sans Serif" list no bold
// style at all. So the family is the one really used for the font, and the
// style the closest of that family's own: italic (or oblique) as asked, the
// nearest weight, and the shortest name among equals ("Bold" before
// "Condensed Bold").
QFont pickerFont(const QFont& wanted)
{
    QFont font = wanted;
    const QString family = QFontInfo(wanted).family();
    font.setFamily(family);
    const QStringList styles = QFontDatabase::styles(family);
    if (!wanted.styleName().isEmpty() && styles.contains(wanted.styleName()))
        return font;

    QString best;
    int bestScore = 0;
    for (const QString& style : styles) {
        const QFont candidate = QFontDatabase::font(family, style, 12);
        const int score = std::abs(candidate.weight() - wanted.weight())
                          + (candidate.italic() != wanted.italic() ? 10000 : 0);
        if (best.isEmpty() || score < bestScore || (score == bestScore && style.size() < best.size())) {
            best = style;
            bestScore = score;
        }
    }
    font.setStyleName(best);
    return font;
}

} // namespace

FontColourDialog::FontColourDialog(const FontChoice& initial, QWidget* parent)
    : QDialog(parent)
    , initialName_(initial.name)
    , colour_(initial.colour)
{
    setWindowTitle(QStringLiteral("Font"));

    picker_ = new EmbeddedFontPicker(this);
    picker_->setObjectName(QStringLiteral("fontPicker"));
    picker_->setWindowFlags(Qt::Widget);
    // The native dialog could not be embedded and would lack the effects.
    picker_->setOptions(QFontDialog::DontUseNativeDialog | QFontDialog::NoButtons);
    picker_->setCurrentFont(pickerFont(toQFont(initial)));
    initialFamily_ = picker_->currentFont().family();
    picker_->setSizeGripEnabled(false); // the outer dialog is the window
    // The picker's sample text is its only centred line edit; showing it in
    // the chosen colour previews font and colour together.
    for (QLineEdit* edit : picker_->findChildren<QLineEdit*>()) {
        if (edit->alignment() & Qt::AlignHCenter)
            sample_ = edit;
    }

    swatch_ = new QLabel(this);
    swatch_->setObjectName(QStringLiteral("colourSwatch"));
    swatch_->setFixedSize(40, 20);
    swatch_->setFrameShape(QFrame::Box);
    swatch_->setAutoFillBackground(true);
    colourName_ = new QLabel(this);
    colourName_->setObjectName(QStringLiteral("colourName"));

    auto* colourButton = new QPushButton(QStringLiteral("&Colour..."), this);
    colourButton->setObjectName(QStringLiteral("colourButton"));
    colourButton->setAutoDefault(false);
    connect(colourButton, &QPushButton::clicked, this, &FontColourDialog::pickColour);
    defaultColourButton_ = new QPushButton(QStringLiteral("&Default colour"), this);
    defaultColourButton_->setObjectName(QStringLiteral("defaultColourButton"));
    defaultColourButton_->setAutoDefault(false);
    connect(defaultColourButton_, &QPushButton::clicked, this, &FontColourDialog::useSystemColour);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(QStringLiteral("Colour:"), this));
    colourRow->addWidget(swatch_);
    colourRow->addWidget(colourName_);
    colourRow->addStretch(1);
    colourRow->addWidget(colourButton);
    colourRow->addWidget(defaultColourButton_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picker_);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);

    showColour();
}

void FontColourDialog::setCurrentFont(const QFont& font)
{
    picker_->setCurrentFont(pickerFont(font));
}

QFont FontColourDialog::currentFont() const
{
    return picker_->currentFont();
}

void FontColourDialog::setColour(const QColor& colour)
{
    if (!colour.isValid())
        return;
    colour_ = fromQColor(colour);
    showColour();
}

void FontColourDialog::useSystemColour()
{
    colour_ = FontChoice::kSystemTextColour;
    showColour();
}

QColor FontColourDialog::shownColour() const
{
    return toQColor(colour_, palette());
}

FontChoice FontColourDialog::choice() const
{
    FontChoice c = fromQFont(currentFont(), colour_);
    if (c.name == initialFamily_)
        c.name = initialName_;
    return c;
}

void FontColourDialog::pickColour()
{
    const QColor chosen = QColorDialog::getColor(shownColour(), this, QStringLiteral("Colour"));
    setColour(chosen); // invalid when cancelled
}

void FontColourDialog::showColour()
{
    const QColor shown = shownColour();
    QPalette pal = swatch_->palette();
    pal.setColor(QPalette::Window, shown);
    swatch_->setPalette(pal);
    if (sample_) {
        QPalette samplePal = sample_->palette();
        samplePal.setColor(QPalette::Text, shown);
        sample_->setPalette(samplePal);
    }
    const bool system = colour_ < 0;
    colourName_->setText(system ? QStringLiteral("System text colour") : shown.name().toUpper());
    defaultColourButton_->setEnabled(!system);
}

} // namespace zp
