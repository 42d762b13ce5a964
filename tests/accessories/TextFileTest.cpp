#include "accessories/TextFile.h"
#include "accessories/fuzz/TextFileFuzzCheck.h"
#include "plan/TextEncoding.h"
#include "support/Fakes.h"
#include "support/Helpers.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zp {
namespace {

using LB = LineBreak;

QByteArray encodeText(const QString& text, const TextFileFormat& format, QByteArray* used = nullptr)
{
    const QStringList lines = text.split(u'\n');
    return encodeTextFile(lines, TextFileLayout().breaksFor(lines, format.newLineBreak), format, used);
}

QString escaped(unsigned char byte)
{
    const char32_t c = kByteEscapeBase + byte;
    return QString::fromUcs4(&c, 1);
}

TEST(TextFileTest, decodeTextFile_detectsEncodingLineBreaksAndMark)
{
    struct Case {
        const char* label;
        QByteArray bytes;
        QString text;
        TextFileFormat format;
        std::vector<LineBreak> breaks;
    } cases[] = {
        {"UTF-8 with LF", "caf\xC3\xA9\nzwei\n", QString::fromUtf8("caf\u00e9\nzwei\n"), {kUtf8Encoding, false, LB::Lf, true},
         {LB::Lf, LB::Lf}},
        {"UTF-8 with CR LF", "a\r\nb\r\n", "a\nb\n", {kUtf8Encoding, false, LB::CrLf, true}, {LB::CrLf, LB::CrLf}},
        {"Windows-1252", "caf\xE9 \x80\r\n", QString::fromUtf8("caf\u00e9 \u20ac\n"), {kWindows1252Encoding, false, LB::CrLf, true},
         {LB::CrLf}},
        {"byte-order mark", "\xEF\xBB\xBFhi\n", "hi\n", {kUtf8Encoding, true, LB::Lf, true}, {LB::Lf}},
        {"no line break at all", "one line", "one line", {kUtf8Encoding, false, LB::Lf, false}, {}},
        {"mixed breaks: the commonest, the first of equals", "a\nb\r\nc\rd\r\n", "a\nb\nc\nd\n",
         {kUtf8Encoding, false, LB::CrLf, true}, {LB::Lf, LB::CrLf, LB::Cr, LB::CrLf}},
        {"U+2029 ends a line, U+2028 and a no-break space stay", "a\xE2\x80\xA9\x62\xE2\x80\xA8\xC2\xA0",
         QString::fromUtf8("a\nb\u2028\u00a0"), {kUtf8Encoding, false, LB::ParagraphSeparator, false}, {LB::ParagraphSeparator}},
        {"a binary file reads byte by byte", QByteArray("\x00\xFF\x01\x9D", 4), QString(QChar(0)) + QChar(0xff) + QChar(1) + QChar(0x9d),
         {kWindows1252Encoding, false, LB::Lf, false}, {}},
        {"mostly UTF-8: its characters shown, a stray byte escaped", "\xC3\xA0 \xE9t\xC3\xA9",
         QString::fromUtf8("\u00e0 ") + escaped(0xE9) + QString::fromUtf8("t\u00e9"), {kUtf8Encoding, false, LB::Lf, false}, {}},
        {"frame marks the editor would break lines at are escaped", "\xEF\xB7\x90",
         escaped(0xEF) + escaped(0xB7) + escaped(0x90), {kUtf8Encoding, false, LB::Lf, false}, {}},
        {"UTF-16 LE with its mark", QByteArray("\xFF\xFE" "U\0n\0\xE9\0\r\0\n\0", 12), QString::fromUtf8("Un\u00e9\n"),
         {kUtf16LeEncoding, true, LB::CrLf, true}, {LB::CrLf}},
        {"UTF-16 BE with its mark, a character beyond U+FFFF", QByteArray("\xFE\xFF\xD8\x3D\xDE\x00\0\n", 8),
         QString::fromUtf8("\U0001F600\n"), {kUtf16BeEncoding, true, LB::Lf, true}, {LB::Lf}},
        {"a mark but no UTF-16 (odd length) reads as bytes", QByteArray("\xFF\xFE" "a", 3), QString::fromUtf8("\u00ff\u00fea"),
         {kWindows1252Encoding, false, LB::Lf, false}, {}},
    };
    for (const Case& c : cases) {
        const TextFileContent got = decodeTextFile(c.bytes);
        EXPECT_EQ(got.text, c.text) << c.label;
        EXPECT_EQ(got.format, c.format) << c.label;
        EXPECT_EQ(got.breaks, c.breaks) << c.label;
    }
}

TEST(TextFileTest, notTextProblem_refusesNulBytesBeforeTheSniffLimitButNotUtf16)
{
    QByteArray late(kTextSniffBytes, 'a');
    late.append('\0');
    const std::pair<QByteArray, bool> cases[] = {
        {"plain text\n", false},
        {QByteArray("\x7F" "ELF\x02\x01\x01\0", 8), true},
        {QByteArray("\xFF\xFE" "a\0", 4), false},
        {late, false},
        {QByteArray(), false},
    };
    for (const auto& [bytes, refused] : cases)
        EXPECT_EQ(notTextProblem(bytes).has_value(), refused) << bytes.left(8).toHex().toStdString();
}

TEST(TextFileTest, encodeTextFile_endsWithALineBreakOnlyWhereTheFileHadOne)
{
    struct Case {
        const char* label;
        QString text;
        TextFileFormat format;
        QByteArray bytes;
        QByteArray encoding;
    } cases[] = {
        {"a new text gets a final line break", "a\nb", {kUtf8Encoding, false, LB::Lf, true}, "a\nb\n", kUtf8Encoding},
        {"in CR LF style", "a\nb", {kUtf8Encoding, false, LB::CrLf, true}, "a\r\nb\r\n", kUtf8Encoding},
        {"one already there is kept, not doubled", "a\n", {kUtf8Encoding, false, LB::CrLf, true}, "a\r\n", kUtf8Encoding},
        {"a file that had none gets none", "a\nb", {kUtf8Encoding, false, LB::Lf, false}, "a\nb", kUtf8Encoding},
        {"an empty text is empty", "", {kUtf8Encoding, false, LB::Lf, true}, "", kUtf8Encoding},
        {"Windows-1252 stays", QString::fromUtf8("\u00e9\u20ac"), {kWindows1252Encoding, false, LB::Lf, true}, "\xE9\x80\n",
         kWindows1252Encoding},
        {"a character it cannot hold makes it UTF-8", QString::fromUtf8("\u00e9\u4e2d"), {kWindows1252Encoding, false, LB::Lf, true},
         "\xC3\xA9\xE4\xB8\xAD\n", kUtf8Encoding},
        {"the byte-order mark is kept", "x", {kUtf8Encoding, true, LB::Lf, true}, "\xEF\xBB\xBFx\n", kUtf8Encoding},
        {"an escape gives its byte back", QStringLiteral("a") + escaped(0xFF), {kUtf8Encoding, false, LB::Lf, false}, "a\xFF",
         kUtf8Encoding},
    };
    for (const Case& c : cases) {
        QByteArray used;
        EXPECT_EQ(encodeText(c.text, c.format, &used), c.bytes) << c.label;
        EXPECT_EQ(used, c.encoding) << c.label;
    }
}

TEST(TextFileTest, editedMixedFile_keepsTheBreakOfEveryLineLeftAloneOrEditedInPlace)
{
    // Lines a..f with breaks LF, CR LF, CR, CR LF, CR LF: CR LF is the usual one.
    const QByteArray file = "a\nb\r\nc\rd\r\ne\r\nf";
    const TextFileContent read = decodeTextFile(file);
    const TextFileLayout layout(read);
    struct Case {
        const char* label;
        QStringList lines;
        QByteArray bytes;
    } cases[] = {
        {"unchanged", {"a", "b", "c", "d", "e", "f"}, file},
        {"one line edited", {"a", "B", "c", "d", "e", "f"}, "a\nB\r\nc\rd\r\ne\r\nf"},
        {"one removed", {"a", "c", "d", "e", "f"}, "a\nc\rd\r\ne\r\nf"},
        {"one added: the usual break", {"a", "b", "new", "c", "d", "e", "f"}, "a\nb\r\nnew\r\nc\rd\r\ne\r\nf"},
        {"edited at the top, removed further down", {"A", "b", "c", "e", "f"}, "A\nb\r\nc\re\r\nf"},
        {"a line moved up", {"d", "a", "b", "c", "e", "f"}, "d\r\na\nb\r\nc\re\r\nf"},
        {"a line after the last", {"a", "b", "c", "d", "e", "f", "g"}, "a\nb\r\nc\rd\r\ne\r\nf\r\ng"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(encodeTextFile(c.lines, layout.breaksFor(c.lines, read.format.newLineBreak), read.format), c.bytes)
            << c.label;
}

TEST(TextFileCorpus, everyFileWrittenBackUnchangedGivesItsBytesAndAnEditChangesOnlyItsLines)
{
    const QDir corpus(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("fuzz/corpus")));
    const QStringList inputs = corpus.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    ASSERT_GE(inputs.size(), 25) << corpus.path().toStdString();
    for (const QString& name : inputs)
        EXPECT_EQ(fuzzcheck::checkTextBytes(fuzzcheck::fileBytes(corpus.filePath(name))), QString()) << name.toStdString();
}

TEST(TextFileTest, tooLarge_saysTheSizeInWholeMegabytes)
{
    const std::pair<qint64, const char*> cases[] = {
        {0, nullptr},
        {kMaxTextFileBytes, nullptr},
        {kMaxTextFileBytes + 1, "It is too large for the notepad (65 MB)."},
        {qint64(200) << 20, "It is too large for the notepad (200 MB)."},
        {qint64(5) << 30, "It is too large for the notepad (5120 MB)."},
    };
    for (const auto& [size, text] : cases)
        EXPECT_EQ(tooLargeProblem(size).value_or(QString()), QString::fromLatin1(text)) << size;
}

TEST(TextFileTest, saveAndReloadKeepsTextEncodingAndLineBreaks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("note.txt"));
    const QString text = QString::fromUtf8("Stra\u00dfe \u00e9t\u00e9\nzweite Zeile\n\nEnde\n");
    for (const QByteArray& encoding : {kUtf8Encoding, kWindows1252Encoding}) {
        for (const LineBreak lb : {LB::Lf, LB::CrLf}) {
            const TextFileFormat format{encoding, false, lb, true};
            ASSERT_TRUE(writeFileBytes(path, encodeText(text, format)));
            const QByteArray first = readBytes(path);
            const std::optional<QByteArray> bytes = readFileBytes(path);
            ASSERT_TRUE(bytes.has_value());
            const TextFileContent back = decodeTextFile(*bytes);
            EXPECT_EQ(back.text, text) << encoding.constData() << int(lb);
            EXPECT_EQ(back.format, format) << encoding.constData() << int(lb);
            // Saving what was read gives the same bytes again.
            ASSERT_TRUE(writeFileBytes(path, encodeText(back.text, back.format)));
            EXPECT_EQ(readBytes(path), first) << encoding.constData() << int(lb);
        }
    }
}

TEST(TextFileTest, changedOnDisk_seesAnotherSizeOrOtherBytesOfTheSameSize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("watched.txt"));
    const FileFingerprint read = FileFingerprint::of("one\n");
    writeBytes(path, "one\n");
    EXPECT_FALSE(changedOnDisk(path, read));
    writeBytes(path, "two\n");
    EXPECT_TRUE(changedOnDisk(path, read));
    writeBytes(path, "one\nmore\n");
    EXPECT_TRUE(changedOnDisk(path, read));
    QFile::remove(path);
    EXPECT_FALSE(changedOnDisk(path, read)); // gone: nothing to overwrite
}

TEST(TextFileTest, failuresReportAReasonAndLeaveTheOldFileWhole)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(readFileBytes(dir.filePath(QStringLiteral("gone.txt")), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(readFileBytes(dir.path(), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    // A pipe is refused at once: reading it would wait for a writer.
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    error.clear();
    EXPECT_FALSE(readFileBytes(fifo, &error).has_value());
    EXPECT_EQ(error, "It is not a regular file (a pipe or a device).");

    // A file in place of a folder: nothing can be written there.
    const QString plain = dir.filePath(QStringLiteral("plain.txt"));
    writeBytes(plain, "x\n");
    error.clear();
    EXPECT_FALSE(writeFileBytes(plain + QStringLiteral("/inner.txt"), "y", &error));
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
    const bool written = writeFileBytes(path, QByteArray(100000, 'x'), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("old text\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left (the pipe is no file)
}

} // namespace
} // namespace zp
