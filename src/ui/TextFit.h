#pragma once

#include <QColor>
#include <QMargins>
#include <QSize>

class QFontMetrics;
class QString;

namespace zp {

// How big a control must be for its text, and what colour the text must be
// to stand out. The windows are laid out in twips drawn for the small font
// of old screens; these let them grow with the font the user has instead.

// The room a text of this font takes with the margins around it.
QSize textRoom(const QFontMetrics& metrics, const QString& text, const QMargins& margins = {});

// How much a design size must grow to hold what is needed: 1 or more.
double growthToFit(int neededPixels, int designPixels);

// Contrast of two colours as the web's accessibility rules measure it:
// 1 (the same) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// The least contrast for ordinary text.
constexpr double kLeastTextContrast = 4.5;

// The colour to write in on a background that does not follow the theme:
// the wanted colour where it stands out enough, else black or white,
// whichever stands out more.
QColor readableOn(const QColor& background, const QColor& wanted);

} // namespace zp
