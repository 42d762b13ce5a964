#include "app/LegacyText.h"

#include <QStringDecoder>

#include <cerrno>
#include <iconv.h>

namespace zp {

namespace {

constexpr const char* kIconvName = "WINDOWS-1252";

bool isUndefinedIn1252(unsigned code)
{
    return code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 || code == 0x9D;
}

// Owns one iconv conversion descriptor.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; stops at the first byte sequence it cannot
    // convert and leaves `in`/`inLeft` there. Returns false when it stopped
    // on such a sequence, true when all input was converted.
    bool convert(char*& in, size_t& inLeft, QByteArray& out)
    {
        char buffer[1024];
        while (inLeft > 0) {
            char* o = buffer;
            size_t oLeft = sizeof buffer;
            const size_t r = iconv(cd_, &in, &inLeft, &o, &oLeft);
            out.append(buffer, static_cast<qsizetype>(o - buffer));
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                return false; // EILSEQ or EINVAL
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
int utf8Length(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QString fromWindows1252(QByteArrayView bytes)
{
    QByteArray input = bytes.toByteArray();
    Converter conv("UTF-8", kIconvName);
    if (!conv.ok())
        return QString::fromLatin1(input); // no converter installed: the nearest code page
    QByteArray utf8;
    utf8.reserve(input.size() * 2);
    char* in = input.data();
    size_t left = static_cast<size_t>(input.size());
    while (!conv.convert(in, left, utf8)) {
        // An undefined byte: keep it as the control character of its number.
        const auto byte = static_cast<unsigned char>(*in);
        utf8.append(QString(QChar(byte)).toUtf8());
        ++in;
        --left;
    }
    return QString::fromUtf8(utf8);
}

std::optional<QByteArray> toWindows1252(QStringView text)
{
    QByteArray input = text.toUtf8();
    Converter conv(kIconvName, "UTF-8");
    if (!conv.ok()) {
        for (const QChar c : text)
            if (c.unicode() > 0xFF)
                return std::nullopt;
        return text.toLatin1();
    }
    QByteArray out;
    out.reserve(input.size());
    char* in = input.data();
    size_t left = static_cast<size_t>(input.size());
    while (!conv.convert(in, left, out)) {
        const auto lead = static_cast<unsigned char>(*in);
        const int length = utf8Length(lead);
        if (length != 2 || left < 2)
            return std::nullopt;
        const unsigned code = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(in[1]) & 0x3Fu);
        if (!isUndefinedIn1252(code))
            return std::nullopt;
        out.append(static_cast<char>(code));
        in += 2;
        left -= 2;
    }
    return out;
}

QByteArray detectEncoding(QByteArrayView bytes)
{
    return isValidUtf8(bytes) ? kUtf8Encoding : kWindows1252Encoding;
}

QString decodeText(QByteArrayView bytes, const QByteArray& encoding)
{
    if (encoding == kWindows1252Encoding)
        return fromWindows1252(bytes);
    return QString::fromUtf8(bytes);
}

} // namespace zp
