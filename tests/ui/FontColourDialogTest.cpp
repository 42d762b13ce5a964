#include "ui/FontColourDialog.h"

#include <QAbstractItemView>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

FontChoice serifChoice()
{
    FontChoice c;
    c.name = QStringLiteral("DejaVu Serif");
    c.size = 12;
    c.bold = false;
    c.italic = false;
    c.strikethru = false;
    c.colour = 0x00123456;
    return c;
}

TEST(FontColourDialog, untouched_reportsTheInitialChoiceIncludingSystemNameAndColour)
{
    // "System" has no font of its own here; it must come back as "System",
    // not as the stand-in family the picker shows.
    const FontChoice defaults;
    FontColourDialog defaultDialog(defaults);
    EXPECT_EQ(defaultDialog.choice(), defaults);
    EXPECT_EQ(defaultDialog.colour(), FontChoice::kSystemTextColour);

    FontColourDialog serifDialog(serifChoice());
    EXPECT_EQ(serifDialog.choice(), serifChoice());
    EXPECT_EQ(serifDialog.shownColour(), QColor(0x56, 0x34, 0x12));
}

TEST(FontColourDialog, reportsFamilySizeAndStrikeoutSetThroughThePicker)
{
    FontColourDialog dialog(FontChoice{});
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPointSize(14);
    f.setStrikeOut(true);
    dialog.setCurrentFont(f);

    const FontChoice c = dialog.choice();
    EXPECT_EQ(c.name, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(c.size, 14);
    EXPECT_TRUE(c.strikethru);
    EXPECT_EQ(c.colour, FontChoice::kSystemTextColour); // colour untouched

    f.setStrikeOut(false);
    dialog.setCurrentFont(f);
    EXPECT_FALSE(dialog.choice().strikethru);
}

TEST(FontColourDialog, keepsBoldAndItalicWhateverTheFamilyCallsItsStyles)
{
    // "DejaVu Serif" names its upright style "Book" and lists condensed
    // styles first; "DejaVu Sans" slants as "Oblique"; "Sans Serif" is an
    // alias. Every combination must come back as it was set.
    for (const char* family : {"DejaVu Serif", "DejaVu Sans", "Sans Serif"}) {
        for (const bool bold : {false, true}) {
            for (const bool italic : {false, true}) {
                FontColourDialog dialog(serifChoice());
                QFont f(QString::fromLatin1(family));
                f.setPointSize(11);
                f.setBold(bold);
                f.setItalic(italic);
                dialog.setCurrentFont(f);
                const FontChoice c = dialog.choice();
                EXPECT_EQ(c.bold, bold) << family << " bold " << bold << " italic " << italic;
                EXPECT_EQ(c.italic, italic) << family << " bold " << bold << " italic " << italic;
                EXPECT_FALSE(dialog.currentFont().styleName().contains(QStringLiteral("Condensed"))) << family;
            }
        }
    }
}

TEST(FontColourDialog, roundsFractionalSizesToWholePoints)
{
    struct SizeCase {
        double points;
        int expected;
    };
    for (const SizeCase sc : {SizeCase{9.75, 10}, SizeCase{11.5, 12}, SizeCase{13.25, 13}, SizeCase{72, 72}}) {
        FontColourDialog dialog(serifChoice());
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPointSizeF(sc.points);
        dialog.setCurrentFont(f);
        EXPECT_EQ(dialog.choice().size, sc.expected) << sc.points;
    }
}

TEST(FontColourDialog, storesColoursAsBgrAndGoesBackToTheSystemColour)
{
    FontColourDialog dialog(FontChoice{});
    auto* swatch = dialog.findChild<QLabel*>(QStringLiteral("colourSwatch"));
    auto* defaultButton = dialog.findChild<QPushButton*>(QStringLiteral("defaultColourButton"));
    ASSERT_TRUE(swatch && defaultButton);
    EXPECT_EQ(swatch->palette().color(QPalette::Window), dialog.palette().color(QPalette::WindowText));
    EXPECT_FALSE(defaultButton->isEnabled()); // already the system colour

    dialog.setColour(QColor(255, 0, 0));
    EXPECT_EQ(dialog.choice().colour, 0x000000FF);
    dialog.setColour(QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(dialog.choice().colour, 0x00563412);
    EXPECT_EQ(swatch->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
    // Black is a colour of its own, not the system colour.
    dialog.setColour(QColor(0, 0, 0));
    EXPECT_EQ(dialog.choice().colour, 0);

    dialog.setColour(QColor()); // a cancelled colour dialog
    EXPECT_EQ(dialog.choice().colour, 0);

    ASSERT_TRUE(defaultButton->isEnabled());
    defaultButton->click();
    EXPECT_EQ(dialog.choice().colour, FontChoice::kSystemTextColour);
    EXPECT_EQ(swatch->palette().color(QPalette::Window), dialog.palette().color(QPalette::WindowText));
}

// Where keys can land in the picker: its edits and its lists.
QList<QWidget*> keyTargets(const FontColourDialog& dialog)
{
    QList<QWidget*> targets;
    if (auto* picker = dialog.findChild<QFontDialog*>(QStringLiteral("fontPicker"))) {
        for (QLineEdit* e : picker->findChildren<QLineEdit*>())
            targets << e;
        for (QAbstractItemView* v : picker->findChildren<QAbstractItemView*>())
            targets << v;
    }
    return targets;
}

TEST(FontColourDialog, enterAndEscapeInThePickerAnswerTheWholeDialog)
{
    // The picker's lists answer Enter themselves, its edits pass keys on;
    // either way the whole dialog must close and the picker stay in it.
    struct KeyCase {
        Qt::Key key;
        const char* name;
        int result;
    };
    const qsizetype targetCount = keyTargets(FontColourDialog(serifChoice())).size();
    ASSERT_GE(targetCount, 4); // family, style and size lists and edits at least
    for (const KeyCase kc : {KeyCase{Qt::Key_Return, "Return", QDialog::Accepted},
                             KeyCase{Qt::Key_Escape, "Escape", QDialog::Rejected}}) {
        for (qsizetype i = 0; i < targetCount; ++i) {
            FontColourDialog dialog(serifChoice());
            dialog.show();
            QWidget* target = keyTargets(dialog).at(i);
            dialog.setResult(-1);
            QTest::keyClick(target, kc.key);
            const char* where = target->metaObject()->className();
            EXPECT_EQ(dialog.result(), kc.result) << kc.name << " on " << where;
            EXPECT_FALSE(dialog.isVisible()) << kc.name << " on " << where;
            EXPECT_FALSE(dialog.findChild<QFontDialog*>()->isHidden()) << kc.name << " on " << where;
        }
    }
}

} // namespace
} // namespace zp
