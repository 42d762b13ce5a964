#include "accessories/Notepad.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

TEST(NotepadTest, aNameWithoutExtension_getsTxt)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/notes", "/home/u/notes.txt"},   {"/home/u/notes.md", "/home/u/notes.md"},
        {"/home/u.v/notes", "/home/u.v/notes.txt"}, {"/home/u/.notes", "/home/u/.notes.txt"},
        {"/home/u/notes.", "/home/u/notes."},     {"notes", "notes.txt"},
    };
    for (const auto& [typed, saved] : cases)
        EXPECT_EQ(withTextExtension(QString::fromLatin1(typed)), QString::fromLatin1(saved)) << typed;
}

TEST(NotepadTest, documentTable_reusesTheFirstFreeSlot)
{
    DocumentTable t;
    EXPECT_EQ(t.size(), 1);
    EXPECT_TRUE(t.isFree(1));
    EXPECT_EQ(t.takeSlot(), 1); // the template's slot first
    EXPECT_EQ(t.takeSlot(), 2);
    EXPECT_EQ(t.takeSlot(), 3);
    t.setDirty(2, true);
    EXPECT_TRUE(t.isDirty(2));
    t.release(2);
    EXPECT_TRUE(t.isFree(2));
    EXPECT_FALSE(t.isDirty(2));
    EXPECT_EQ(t.openCount(), 2);
    EXPECT_EQ(t.takeSlot(), 2);
    EXPECT_FALSE(t.isDirty(2)); // a new document is clean
    EXPECT_EQ(t.takeSlot(), 4);
    t.setDirty(9, true); // out of range: ignored
    EXPECT_TRUE(t.isFree(9));
    t.reset();
    EXPECT_EQ(t.size(), 1);
    EXPECT_EQ(t.openCount(), 0);
}

TEST(NotepadTest, textsOfTheNotepad)
{
    EXPECT_EQ(unsavedChangesMessage(QStringLiteral("/HOME/A.TXT")),
              QStringLiteral("The text in [/HOME/A.TXT] has changed.\n\rDo you want to save the changes?"));
    EXPECT_EQ(cannotOpenMessage(QStringLiteral("/tmp/x")), QStringLiteral("Can't open file: /tmp/x"));
    EXPECT_EQ(documentCaption(QStringLiteral("/home/ann/notes.txt")), QStringLiteral("/HOME/ANN/NOTES.TXT"));

    const QDateTime when(QDate(2026, 12, 7), QTime(14, 5, 9));
    const QString us = generalDateText(when, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(us.startsWith(QStringLiteral("12/7/26 2:05:09"))) << us.toStdString();
    EXPECT_EQ(generalDateText(when, QLocale(QLocale::English, QLocale::UnitedKingdom)),
              QStringLiteral("07/12/2026 14:05:09"));
}

TEST(NotepadTest, textPieces_endAfterALineFeed)
{
    struct Case {
        const char* label;
        const char* text;
        qsizetype size;
        QStringList pieces;
    } cases[] = {
        {"short text whole", "ab\ncd", 10, {"ab\ncd"}},
        {"cut after the line feed past the size", "ab\ncd\nef\ngh", 4, {"ab\ncd\n", "ef\ngh"}},
        {"a line feed right at the size", "abc\ndef\n", 4, {"abc\n", "def\n"}},
        {"no line feed: one piece", "abcdefgh", 2, {"abcdefgh"}},
        {"empty text, no pieces", "", 4, {}},
    };
    for (const Case& c : cases) {
        QStringList got;
        const QString text = QString::fromUtf8(c.text);
        for (QStringView piece : textPieces(text, c.size))
            got << piece.toString();
        EXPECT_EQ(got, c.pieces) << c.label;
    }
}

} // namespace
} // namespace zp
