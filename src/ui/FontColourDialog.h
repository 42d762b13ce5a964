#pragma once
// The display font dialog: font, size, style, strikeout and the text colour
// in one window. QFontDialog knows no colour, so it is embedded as a plain
// widget next to a colour swatch with buttons to pick a colour or go back to
// the system's window text colour.

#include "ui/FontDialog.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <cstdint>

class QFontDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zp {

class FontColourDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontColourDialog(const FontChoice& initial, QWidget* parent = nullptr);

    // The font shown in the embedded font picker. Family and style are
    // matched to the fonts installed: an alias or a missing family shows as
    // the font really used, bold and italic as the nearest style it has.
    void setCurrentFont(const QFont& font);
    QFont currentFont() const;

    // An explicit colour (stored as 0x00BBGGRR), or back to the system's
    // window text colour (FontChoice::kSystemTextColour).
    void setColour(const QColor& colour);
    void useSystemColour();
    std::int32_t colour() const { return colour_; }
    // The colour the swatch shows: the system colour resolved through the
    // dialog's palette.
    QColor shownColour() const;

    // What the user picked. The name stays as it came in while the family
    // the picker started on is still selected, so a stored "System" (or a
    // font this machine lacks) is not replaced by its stand-in just because
    // only the size or the colour changed.
    FontChoice choice() const;

public slots:
    // Opens QColorDialog on the current colour; cancelling it changes nothing.
    void pickColour();

private:
    void showColour();

    QFontDialog* picker_ = nullptr;
    QLineEdit* sample_ = nullptr;
    QLabel* swatch_ = nullptr;
    QLabel* colourName_ = nullptr;
    QPushButton* defaultColourButton_ = nullptr;
    QString initialName_;
    QString initialFamily_;
    std::int32_t colour_ = FontChoice::kSystemTextColour;
};

} // namespace zp
