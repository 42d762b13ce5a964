#include "plan/TextEncoding.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

QByteArray everyByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    return all;
}

// --- Windows-1252 ---------------------------------------------------------------

TEST(Windows1252Test, everyByteDecodesToOneCharacterAndEncodesBackToItself)
{
    const QString text = fromWindows1252(everyByte());
    ASSERT_EQ(text.size(), 256);
    const auto back = toWindows1252(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, everyByte());
}

TEST(Windows1252Test, bytesReadAsTheCodePageDefinesThem)
{
    struct Case {
        unsigned char byte;
        char16_t character;
    };
    const Case cases[] = {
        {0x41, u'A'},      {0x80, u'\u20AC'}, {0x92, u'\u2019'}, {0x93, u'\u201C'}, {0x9F, u'\u0178'},
        {0xA0, u'\u00A0'}, {0xE9, u'\u00E9'}, {0xFF, u'\u00FF'},
        // Left undefined by the code page: the control character of the same number.
        {0x81, u'\u0081'}, {0x8D, u'\u008D'}, {0x8F, u'\u008F'}, {0x90, u'\u0090'}, {0x9D, u'\u009D'},
    };
    for (const Case& c : cases) {
        const char byte = static_cast<char>(c.byte);
        EXPECT_EQ(fromWindows1252(QByteArrayView(&byte, 1)), QString(QChar(c.character))) << int(c.byte);
    }
}

TEST(Windows1252Test, characterWithoutAByteIsRefused)
{
    // U+0080 is a control character whose number the euro sign took; the
    // others lie outside the code page altogether.
    const QString refused[] = {
        QString(QChar(u'\u0080')), QString(QChar(u'\u009F')), QString(QChar(u'\u0100')),
        QString::fromUtf8("\xE4\xBC\x9A"),     // 会
        QString::fromUtf8("\xF0\x9F\x93\x85"), // a calendar, outside the BMP
        QString(QChar(u'\xD800')),             // a lone surrogate
    };
    for (const QString& character : refused) {
        EXPECT_FALSE(toWindows1252(QStringLiteral("ab") + character + QStringLiteral("c")).has_value())
            << character.toStdString();
        QByteArray out("kept");
        EXPECT_FALSE(appendWindows1252(character, out));
        EXPECT_EQ(out, QByteArray("kept"));
    }
}

TEST(Windows1252Test, appendAddsAfterWhatIsThere)
{
    QByteArray out("x");
    EXPECT_TRUE(appendWindows1252(QString::fromUtf8("é€\r\n"), out));
    EXPECT_EQ(out, QByteArray("x\xE9\x80\r\n"));
    EXPECT_EQ(toWindows1252(QString()).value_or("missing"), QByteArray());
}

// --- telling the encodings apart ---------------------------------------------------

TEST(TextEncodingTest, onlyWellFormedUtf8IsTakenAsUtf8)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        bool utf8;
    };
    const Case cases[] = {
        {"empty", QByteArray(), true},
        {"ascii", "plannerend\r\n", true},
        {"e acute", "caf\xC3\xA9", true},
        {"four bytes", "\xF0\x9F\x93\x85", true},
        {"byte order mark", "\xEF\xBB\xBFx", true},
        {"windows-1252 e acute", "caf\xE9", false},
        {"cut short", "caf\xC3", false},
        {"surrogate", "\xED\xA0\x80", false},
        {"overlong slash", "\xC0\xAF", false},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isValidUtf8(c.bytes), c.utf8) << c.name;
        EXPECT_EQ(detectEncoding(c.bytes), c.utf8 ? kUtf8Encoding : kWindows1252Encoding) << c.name;
    }
}

TEST(TextEncodingTest, decodeTextUsesTheEncodingAndDropsALeadingByteOrderMark)
{
    EXPECT_EQ(decodeText("caf\xE9", kWindows1252Encoding), QString::fromUtf8("café"));
    EXPECT_EQ(decodeText("caf\xC3\xA9", kUtf8Encoding), QString::fromUtf8("café"));
    EXPECT_EQ(decodeText("\xEF\xBB\xBFx", kUtf8Encoding), QStringLiteral("x"));
    EXPECT_EQ(decodeText("caf\xE9", kUtf8Encoding), QString::fromUtf8("caf\uFFFD"));
}

// --- piece by piece ------------------------------------------------------------------

TEST(TextDecoderTest, utf8ErrorIsRememberedAcrossLaterPieces)
{
    TextDecoder decoder(kUtf8Encoding);
    EXPECT_EQ(decoder.decode("caf\xC3\xA9"), QString::fromUtf8("café"));
    EXPECT_FALSE(decoder.invalid());
    EXPECT_EQ(decoder.decode("caf\xE9"), QString::fromUtf8("caf\uFFFD"));
    EXPECT_TRUE(decoder.invalid());
    EXPECT_EQ(decoder.decode("ok"), QStringLiteral("ok"));
    EXPECT_TRUE(decoder.invalid());
}

TEST(TextDecoderTest, piecesStandAlone)
{
    // A sequence split over two pieces is an error in each; a byte-order
    // mark is a character wherever it stands.
    TextDecoder split(kUtf8Encoding);
    split.decode("caf\xC3");
    EXPECT_TRUE(split.invalid());

    const QString mark(QChar(u'\uFEFF'));
    TextDecoder bom(kUtf8Encoding);
    EXPECT_EQ(bom.decode("\xEF\xBB\xBFx"), mark + QStringLiteral("x"));
    EXPECT_EQ(bom.decode("\xEF\xBB\xBFy"), mark + QStringLiteral("y"));
    EXPECT_FALSE(bom.invalid());
}

TEST(TextDecoderTest, windows1252PiecesAreNeverInvalid)
{
    TextDecoder decoder(kWindows1252Encoding);
    EXPECT_EQ(decoder.decode("caf\xC3\xA9 \x81"), QString::fromUtf8("cafÃ© \u0081"));
    EXPECT_FALSE(decoder.invalid());
}

} // namespace
} // namespace zp
