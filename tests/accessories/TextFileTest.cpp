#include "accessories/TextFile.h"
#include "plan/TextEncoding.h"
#include "support/Fakes.h"

#include <QDir>
#include <csignal>
#include <sys/resource.h>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zp {
namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(TextFileTest, decodeTextFile_detectsEncodingLineBreaksAndMark)
{
    struct Case {
        const char* label;
        QByteArray bytes;
        QString text;
        TextFileFormat format;
    } cases[] = {
        {"UTF-8 with LF", "caf\xC3\xA9\nzwei\n", QString::fromUtf8("caf\u00e9\nzwei\n"), {kUtf8Encoding, false, false}},
        {"UTF-8 with CR LF", "a\r\nb\r\n", "a\nb\n", {kUtf8Encoding, true, false}},
        {"Windows-1252", "caf\xE9 \x80\r\n", QString::fromUtf8("caf\u00e9 \u20ac\n"), {kWindows1252Encoding, true, false}},
        {"byte-order mark", "\xEF\xBB\xBFhi\n", "hi\n", {kUtf8Encoding, false, true}},
        {"no line break at all", "one line", "one line", {kUtf8Encoding, false, false}},
        {"the first line break decides", "a\nb\r\n", "a\nb\n", {kUtf8Encoding, false, false}},
        {"a binary file reads byte by byte", QByteArray("\x00\xFF\x01\x9D", 4), QString(QChar(0)) + QChar(0xff) + QChar(1) + QChar(0x9d),
         {kWindows1252Encoding, false, false}},
    };
    for (const Case& c : cases) {
        const TextFileContent got = decodeTextFile(c.bytes);
        EXPECT_EQ(got.text, c.text) << c.label;
        EXPECT_EQ(got.format, c.format) << c.label;
    }
}

TEST(TextFileTest, encodeTextFile_endsWithOneLineBreakInTheFilesStyle)
{
    struct Case {
        const char* label;
        QString text;
        TextFileFormat format;
        QByteArray bytes;
        QByteArray encoding;
    } cases[] = {
        {"a line break is added", "a\nb", {kUtf8Encoding, false, false}, "a\nb\n", kUtf8Encoding},
        {"in CR LF style", "a\nb", {kUtf8Encoding, true, false}, "a\r\nb\r\n", kUtf8Encoding},
        {"one already there is kept, not doubled", "a\n", {kUtf8Encoding, true, false}, "a\r\n", kUtf8Encoding},
        {"an empty text is one line break", "", {kUtf8Encoding, false, false}, "\n", kUtf8Encoding},
        {"CR LF typed in is one break", "a\r\nb", {kUtf8Encoding, true, false}, "a\r\nb\r\n", kUtf8Encoding},
        {"Windows-1252 stays", QString::fromUtf8("\u00e9\u20ac"), {kWindows1252Encoding, false, false}, "\xE9\x80\n",
         kWindows1252Encoding},
        {"a character it cannot hold makes it UTF-8", QString::fromUtf8("\u00e9\u4e2d"), {kWindows1252Encoding, false, false},
         "\xC3\xA9\xE4\xB8\xAD\n", kUtf8Encoding},
        {"the byte-order mark is kept", "x", {kUtf8Encoding, false, true}, "\xEF\xBB\xBFx\n", kUtf8Encoding},
    };
    for (const Case& c : cases) {
        QByteArray used;
        EXPECT_EQ(encodeTextFile(c.text, c.format, &used), c.bytes) << c.label;
        EXPECT_EQ(used, c.encoding) << c.label;
    }
}

TEST(TextFileTest, saveAndReloadKeepsTextEncodingAndLineBreaks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("note.txt"));
    const QString text = QString::fromUtf8("Stra\u00dfe \u00e9t\u00e9\nzweite Zeile\n\nEnde\n");
    for (const QByteArray& encoding : {kUtf8Encoding, kWindows1252Encoding}) {
        for (const bool crlf : {false, true}) {
            const TextFileFormat format{encoding, crlf, false};
            ASSERT_TRUE(writeTextFile(path, text, format).has_value());
            const QByteArray first = readBytes(path);
            const std::optional<TextFileContent> back = readTextFile(path);
            ASSERT_TRUE(back.has_value());
            EXPECT_EQ(back->text, text) << encoding.constData() << crlf;
            EXPECT_EQ(back->format, format) << encoding.constData() << crlf;
            // Saving what was read gives the same bytes again.
            ASSERT_TRUE(writeTextFile(path, back->text, back->format).has_value());
            EXPECT_EQ(readBytes(path), first) << encoding.constData() << crlf;
        }
    }
}

TEST(TextFileTest, failuresReportAReasonAndLeaveTheOldFileWhole)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(readTextFile(dir.filePath(QStringLiteral("gone.txt")), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(readTextFile(dir.path(), &error).has_value());
    EXPECT_FALSE(error.isEmpty());

    // A file in place of a folder: nothing can be written there.
    const QString plain = dir.filePath(QStringLiteral("plain.txt"));
    writeBytes(plain, "x\n");
    error.clear();
    EXPECT_FALSE(writeTextFile(plain + QStringLiteral("/inner.txt"), QStringLiteral("y"), TextFileFormat{}, &error));
    EXPECT_FALSE(error.isEmpty());

    // A write cut short (as on a full disk): the save fails, the old file
    // stays. A file size limit does it whatever rights the test runs with.
    const QString path = dir.filePath(QStringLiteral("keep.txt"));
    writeBytes(path, "old text\n");
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    error.clear();
    const bool written = writeTextFile(path, QString(100000, u'x'), TextFileFormat{}, &error).has_value();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("old text\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left
}

} // namespace
} // namespace zp
