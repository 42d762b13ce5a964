#include "plan/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include <iconv.h>

namespace zp {

namespace {

// The character of each Windows-1252 byte is asked of the C library's
// converter once; decoding and encoding then go through this table, which
// is far quicker than a converter call per text. A byte the converter does
// not know (the five undefined ones) keeps the control character of its
// own number.
class Windows1252 {
public:
    static const Windows1252& instance()
    {
        static const Windows1252 table;
        return table;
    }

    QString decode(QByteArrayView bytes) const
    {
        QString out;
        appendTo(bytes, out);
        return out;
    }

    void appendTo(QByteArrayView bytes, QString& out) const
    {
        const qsizetype start = out.size();
        out.resize(start + bytes.size());
        char16_t* dst = reinterpret_cast<char16_t*>(out.data()) + start;
        for (const char c : bytes)
            *dst++ = toUnicode_[static_cast<unsigned char>(c)];
    }

    // The byte of a character, or -1 when the code page has none.
    int encode(char16_t c) const
    {
        if (c < 0x80)
            return c;
        const auto it = std::lower_bound(fromUnicode_.begin(), fromUnicode_.end(),
                                         std::make_pair(c, static_cast<unsigned char>(0)));
        return it != fromUnicode_.end() && it->first == c ? it->second : -1;
    }

private:
    Windows1252()
    {
        for (int b = 0; b < 256; ++b)
            toUnicode_[static_cast<std::size_t>(b)] = static_cast<char16_t>(b);
        iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1252");
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            for (int b = 0x80; b < 256; ++b) {
                char in = static_cast<char>(b);
                char out[8] = {};
                char* inPtr = &in;
                char* outPtr = out;
                std::size_t inLeft = 1;
                std::size_t outLeft = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)
                    && outPtr - out == 2) {
                    toUnicode_[static_cast<std::size_t>(b)] = static_cast<char16_t>(
                        static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
                }
            }
            iconv_close(cd);
        } else {
            // No converter module installed: try Qt's (present when it is
            // built with ICU); failing that the bytes read as Latin-1, which
            // differs only in 0x80 ... 0x9F.
            QStringDecoder decoder("windows-1252");
            if (decoder.isValid()) {
                for (int b = 0x80; b < 256; ++b) {
                    const char in = static_cast<char>(b);
                    const QString s = decoder.decode(QByteArrayView(&in, 1));
                    if (s.size() == 1 && !decoder.hasError())
                        toUnicode_[static_cast<std::size_t>(b)] = s[0].unicode();
                    decoder.resetState();
                }
            }
        }
        for (int b = 0x80; b < 256; ++b)
            fromUnicode_.emplace_back(toUnicode_[static_cast<std::size_t>(b)], static_cast<unsigned char>(b));
        std::sort(fromUnicode_.begin(), fromUnicode_.end());
    }

    std::array<char16_t, 256> toUnicode_{};
    // Characters of the bytes from 0x80 up with their byte, sorted by character.
    std::vector<std::pair<char16_t, unsigned char>> fromUnicode_;
};

bool isWindows1252(const QByteArray& encoding) { return encoding == kWindows1252Encoding; }

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    // Checked in place: a whole plan need not be decoded to learn this.
    return bytes.isValidUtf8();
}

QByteArray detectEncoding(QByteArrayView bytes)
{
    return isValidUtf8(bytes) ? kUtf8Encoding : kWindows1252Encoding;
}

QString fromWindows1252(QByteArrayView bytes)
{
    return Windows1252::instance().decode(bytes);
}

bool appendWindows1252(QStringView text, QByteArray& out)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    const Windows1252& table = Windows1252::instance();
    for (const QChar c : text) {
        const int b = table.encode(c.unicode());
        if (b < 0) {
            out.resize(start);
            return false;
        }
        *dst++ = static_cast<char>(b);
    }
    return true;
}

std::optional<QByteArray> toWindows1252(QStringView text)
{
    QByteArray out;
    if (!appendWindows1252(text, out))
        return std::nullopt;
    return out;
}

QString decodeText(QByteArrayView bytes, const QByteArray& encoding)
{
    if (isWindows1252(encoding))
        return fromWindows1252(bytes);
    return QString::fromUtf8(bytes);
}

TextDecoder::TextDecoder(const QByteArray& encoding)
    : windows1252_(isWindows1252(encoding)),
      utf8_(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom)
{
}

void TextDecoder::appendTo(QByteArrayView bytes, QString& out)
{
    if (windows1252_) {
        Windows1252::instance().appendTo(bytes, out);
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + utf8_.requiredSpace(bytes.size()));
    const QChar* end = utf8_.appendToBuffer(out.data() + start, bytes);
    out.resize(end - out.constData());
    if (utf8_.hasError())
        invalid_ = true;
}

QString TextDecoder::decode(QByteArrayView bytes)
{
    if (windows1252_)
        return Windows1252::instance().decode(bytes);
    QString text = utf8_.decode(bytes);
    if (utf8_.hasError())
        invalid_ = true;
    return text;
}

} // namespace zp
