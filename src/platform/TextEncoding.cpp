#include "TextEncoding.h"

#include <QStringList>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

const char* const HostUtf16 =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isUndefinedIn1252(char16_t c)
{
    return c == 0x81 || c == 0x8d || c == 0x8f || c == 0x90 || c == 0x9d;
}

// One conversion descriptor per direction and thread, opened on first use.
class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != iconv_t(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t get()
    {
        if (m_cd != iconv_t(-1))
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        return m_cd;
    }

private:
    iconv_t m_cd;
};

iconv_t decoder()
{
    thread_local Converter converter(HostUtf16, "CP1252");
    return converter.get();
}

iconv_t encoder()
{
    thread_local Converter converter("CP1252", HostUtf16);
    return converter.get();
}

void addUnheld(QStringList* unheld, QStringView character)
{
    if (unheld && !unheld->contains(character))
        unheld->append(character.toString());
}

void appendUtf8(QByteArray& out, char32_t cp)
{
    if (cp < 0x80) {
        out.append(char(cp));
    } else if (cp < 0x800) {
        out.append(char(0xc0 | (cp >> 6))).append(char(0x80 | (cp & 0x3f)));
    } else if (cp < 0x10000) {
        out.append(char(0xe0 | (cp >> 12)))
            .append(char(0x80 | ((cp >> 6) & 0x3f)))
            .append(char(0x80 | (cp & 0x3f)));
    } else {
        out.append(char(0xf0 | (cp >> 18)))
            .append(char(0x80 | ((cp >> 12) & 0x3f)))
            .append(char(0x80 | ((cp >> 6) & 0x3f)))
            .append(char(0x80 | (cp & 0x3f)));
    }
}

void appendUnit(QByteArray& out, char16_t unit)
{
    out.append(char(unit & 0xff)).append(char(unit >> 8));
}

} // namespace

namespace TextEncoding {

QString fromWindows1252(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QString text(bytes.size(), Qt::Uninitialized); // one unit per byte in this code page
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char* out = reinterpret_cast<char*>(text.data());
    size_t outLeft = size_t(text.size()) * 2;
    const iconv_t cd = decoder();
    if (cd == iconv_t(-1))
        return QString::fromLatin1(bytes); // no converter installed: keep the bytes' values
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno != EILSEQ || outLeft < 2)
            break;
        // A byte the code page leaves undefined stands for the character of the same value.
        const char16_t unit = uchar(*in);
        std::memcpy(out, &unit, 2);
        out += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    text.truncate(text.size() - qsizetype(outLeft / 2));
    return text;
}

std::optional<QByteArray> toWindows1252(QStringView text, QStringList* unheld)
{
    if (isAscii(text))
        return text.toLatin1();
    QByteArray bytes(text.size(), Qt::Uninitialized); // at most one byte per unit
    const iconv_t cd = encoder();
    if (cd == iconv_t(-1)) {
        addUnheld(unheld, text);
        return std::nullopt;
    }
    char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.data()));
    size_t inLeft = size_t(text.size()) * 2;
    char* out = bytes.data();
    size_t outLeft = size_t(bytes.size());
    bool complete = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        const qsizetype at = text.size() - qsizetype(inLeft / 2);
        const char16_t unit = text.at(at).unicode();
        if (errno == EILSEQ && isUndefinedIn1252(unit) && outLeft > 0) {
            *out++ = char(unit);
            --outLeft;
            in += 2;
            inLeft -= 2;
            continue;
        }
        if (errno != EILSEQ && errno != EINVAL)
            return std::nullopt;
        // A character without a byte: name it (both halves of a surrogate pair) and go on.
        const qsizetype length = text.at(at).isHighSurrogate() && at + 1 < text.size() &&
                                         text.at(at + 1).isLowSurrogate()
                                     ? 2
                                     : 1;
        addUnheld(unheld, text.sliced(at, length));
        complete = false;
        in += 2 * length;
        inLeft -= 2 * size_t(length);
    }
    if (!complete)
        return std::nullopt;
    bytes.truncate(bytes.size() - qsizetype(outLeft));
    return bytes;
}

std::optional<QByteArray> toUtf8(QStringView text, QStringList* unheld)
{
    bool complete = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            addUnheld(unheld, text.sliced(i, 1));
            complete = false;
        }
    }
    if (!complete)
        return std::nullopt;
    return text.toUtf8();
}

QByteArray utf16LEToUtf8(QByteArrayView units)
{
    QByteArray out;
    out.reserve(units.size());
    const qsizetype count = units.size() / 2;
    auto unitAt = [&units](qsizetype i) {
        return char16_t(uchar(units[2 * i]) | (uchar(units[2 * i + 1]) << 8));
    };
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t unit = unitAt(i);
        if (QChar::isHighSurrogate(unit) && i + 1 < count && QChar::isLowSurrogate(unitAt(i + 1))) {
            appendUtf8(out, QChar::surrogateToUcs4(unit, unitAt(i + 1)));
            ++i;
        } else {
            appendUtf8(out, unit); // an unpaired surrogate keeps its own code point
        }
    }
    return out;
}

QByteArray utf8ToUtf16LE(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size() * 2);
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = uchar(bytes[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        char32_t cp = length == 1   ? lead
                      : length == 2 ? lead & 0x1f
                      : length == 3 ? lead & 0x0f
                                    : lead & 0x07;
        int taken = 1;
        while (taken < length && i + taken < bytes.size() &&
               (uchar(bytes[i + taken]) & 0xc0) == 0x80) {
            cp = (cp << 6) | (uchar(bytes[i + taken]) & 0x3f);
            ++taken;
        }
        if (taken < length || (length > 1 && lead < 0xc2)) {
            appendUnit(out, char16_t(0xfffd)); // only a typed text can bring this, never a file
            i += taken;
            continue;
        }
        if (cp >= 0x10000) {
            appendUnit(out, QChar::highSurrogate(cp));
            appendUnit(out, QChar::lowSurrogate(cp));
        } else {
            appendUnit(out, char16_t(cp));
        }
        i += taken;
    }
    return out;
}

} // namespace TextEncoding
