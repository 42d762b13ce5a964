#include "views/RecordCopyText.h"
#include "support/Fakes.h"

#include <QTextStream>
#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord rec(const QString& date, const QString& name, const QString& status)
{
    PlannerRecord r;
    r[Field::StartDate] = date;
    r[Field::Time] = QStringLiteral("10:30");
    r[Field::Name] = name;
    r[Field::PhoneAfterHours] = QStringLiteral("432");
    r[Field::PhoneBusinessHours] = QString();
    r[Field::Message] = QStringLiteral("Quote");
    r[Field::Income] = QStringLiteral("120");
    r[Field::Expense] = QStringLiteral("15");
    r[Field::JobStatus] = status;
    r[Field::ImagePath] = kNoAttachment;
    r[Field::AudioPath] = QStringLiteral("/snd/a.wav");
    r[Field::FinishDate] = QStringLiteral("06/11/1996");
    return r;
}

class RecordCopyTextTest : public ::testing::Test {
protected:
    RecordCopyTextTest()
    {
        store.replaceAll({rec(QStringLiteral("05/11/1996"), QStringLiteral("Smith"), QStringLiteral("1")),
                          rec(QStringLiteral("07/11/1996"), QStringLiteral("Jones"), QStringLiteral("0")),
                          rec(QStringLiteral("09/11/1996"), QStringLiteral("Brown"), QStringLiteral("x"))});
        useDefaultCaptions();
    }
    // The captions the user sees by default.
    void useDefaultCaptions()
    {
        const auto& defaults = RecordStore::defaultFieldLabels();
        for (std::size_t i = 1; i < defaults.size(); ++i)
            store.fieldLabels[i] = defaults[i];
    }

    RecordStore store;
    FakeClipboard clipboard;
    FakeMessageBox messages;
};

TEST_F(RecordCopyTextTest, copyAll_isEveryBlockWithOneBlankAndTwoEmptyLinesAfterEach)
{
    store.replaceAll({store.record(1).toRecord(), store.record(2).toRecord()});
    ASSERT_TRUE(copyAllRecords(store, clipboard, messages));
    const QString expected = QStringLiteral(
        "Planner Record No. 1\r\n"
        "Start date 05/11/1996, 10:30\r\n"
        "Finish date 06/11/1996\r\n"
        "Name Smith\r\n"
        "Phone(ah) 432\r\n"
        "Phone(bh) \r\n"
        "Message Quote\r\n"
        "Income 120\r\n"
        "Expense 15\r\n"
        "Job status Done \r\n"
        "Image  plandefault\r\n"
        "Sound  /snd/a.wav\r\n"
        "\r\n"
        "\r\n"
        "Planner Record No. 2\r\n"
        "Start date 07/11/1996, 10:30\r\n"
        "Finish date 06/11/1996\r\n"
        "Name Jones\r\n"
        "Phone(ah) 432\r\n"
        "Phone(bh) \r\n"
        "Message Quote\r\n"
        "Income 120\r\n"
        "Expense 15\r\n"
        "Job status Pending\r\n"
        "Image  plandefault\r\n"
        "Sound  /snd/a.wav\r\n"
        "\r\n"
        "\r\n");
    EXPECT_EQ(clipboard.content, expected);
    EXPECT_EQ(copyAllText(store), expected);
    EXPECT_TRUE(messages.empty());
    // Written to a stream: the same lines, on a terminal each ended by LF alone.
    for (const QLatin1String lineBreak : {QLatin1String("\r\n"), QLatin1String("\n")}) {
        QString written;
        QTextStream out(&written);
        writeCopyAllText(store, out, lineBreak);
        out.flush();
        EXPECT_EQ(written, QString(expected).replace(QLatin1String("\r\n"), lineBreak));
    }
}

TEST_F(RecordCopyTextTest, copySelected_onTheThirdLine_isRecordThreeWithTwoBlanksAndNoEmptyLine)
{
    store.currentRecord = 1;
    ASSERT_TRUE(copySelectedRecord(store, 2, clipboard, messages));
    EXPECT_EQ(store.currentRecord, 3);
    EXPECT_EQ(clipboard.content, QStringLiteral("Planner Record No. 3\r\n"
                                                "Start date 09/11/1996, 10:30\r\n"
                                                "Finish date  06/11/1996\r\n"
                                                "Name  Brown\r\n"
                                                "Phone(ah)  432\r\n"
                                                "Phone(bh)  \r\n"
                                                "Message  Quote\r\n"
                                                "Income  120\r\n"
                                                "Expense  15\r\n"
                                                "Job status  Pending\r\n"
                                                "Image  plandefault\r\n"
                                                "Sound  /snd/a.wav\r\n"));
}

TEST_F(RecordCopyTextTest, printSwitches_dropLines_andChooseTheDateLine)
{
    store.fieldLabels[12 + 6] = QStringLiteral("off");  // time
    store.fieldLabels[12 + 1] = QStringLiteral("off");  // name
    store.fieldLabels[12 + 11] = QStringLiteral("off"); // image
    QString text = copySelectedText(store, 1);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Planner Record No. 1\r\nStart date 05/11/1996\r\nFinish date  ")));
    EXPECT_FALSE(text.contains(QStringLiteral("Name")));
    EXPECT_FALSE(text.contains(QStringLiteral("Image")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Sound  /snd/a.wav\r\n")));

    store.fieldLabels[12 + 2] = QStringLiteral("off"); // start date too: no date line
    text = copyAllText(store);
    EXPECT_FALSE(text.contains(QStringLiteral("Start date")));
    EXPECT_EQ(text.count(QStringLiteral("Planner Record No.")), 3);

    store.fieldLabels[12 + 6] = QStringLiteral("on"); // time on, start date off: date and time
    EXPECT_TRUE(copySelectedText(store, 1).contains(QStringLiteral("\r\nStart date 05/11/1996, 10:30\r\n")));
}

TEST_F(RecordCopyTextTest, nothingToCopy_isToldAndLeavesTheClipboard)
{
    EXPECT_FALSE(copySelectedRecord(store, -1, clipboard, messages));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("No record selected."));
    EXPECT_EQ(messages.last().style, MsgStyle::Exclamation);

    RecordStore empty;
    EXPECT_FALSE(copyAllRecords(empty, clipboard, messages));
    EXPECT_EQ(messages.last().text, QStringLiteral("No records to copy."));
    EXPECT_EQ(messages.last().style, MsgStyle::Exclamation);
    EXPECT_TRUE(clipboard.writes.empty());
    EXPECT_EQ(copyAllText(empty), QString());
}

} // namespace
} // namespace zp
