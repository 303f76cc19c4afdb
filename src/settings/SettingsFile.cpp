#include "SettingsFile.h"

#include "Errors.h"

SettingsFile::SettingsFile(const QString& path) : m_file(path) {}

SettingsFile* SettingsFile::open(const QString& path)
{
    return new SettingsFile(path);
}

QString SettingsFile::readText(const QString& section, const QString& key,
                               const QString& defaultValue) const
{
    return m_file.read(section, key, defaultValue);
}

void SettingsFile::writeText(const QString& section, const QString& key, const QString& value)
{
    QString reason;
    switch (m_file.writeValue(section, key, value, &reason)) {
    case ProfileFile::WriteResult::Written:
    case ProfileFile::WriteResult::Unchanged:
        return;
    case ProfileFile::WriteResult::Unencodable:
        // Never replaced silently: the suite would read another text than the one typed.
        throw CalvexError(QStringLiteral("The text \"%1\" cannot be written to %2: %3")
                              .arg(value, m_file.path(), reason));
    case ProfileFile::WriteResult::Failed:
        break;
    }
    throw CalvexError(QStringLiteral("Unable to write to ") + m_file.path());
}

bool SettingsFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return decodeBoolean(m_file.read(section, key), defaultValue);
}

void SettingsFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeText(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void SettingsFile::release()
{
    delete this;
}

std::optional<qint64> parseProfileInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    const QStringView rest = QStringView(text).sliced(i);
    if (rest.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        i += 2;
    } else if (rest.startsWith(QLatin1Char('$')) ||
               rest.startsWith(QLatin1Char('x'), Qt::CaseInsensitive)) {
        base = 16;
        i += 1;
    }
    const QStringView digits = QStringView(text).sliced(i);
    if (digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits) {
        const bool ok = base == 10 ? c.isDigit() && c.unicode() < 128
                                   : QStringLiteral("0123456789abcdefABCDEF").contains(c);
        if (!ok)
            return std::nullopt;
    }
    // The suite's programs read 32-bit integers: a larger number is no integer to them; eight
    // hexadecimal digits give the 32-bit pattern, so "$FFFFFFFF" is -1.
    bool ok = false;
    const qint64 magnitude = digits.toLongLong(&ok, base);
    const qint64 limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    if (!ok || magnitude > limit)
        return std::nullopt;
    const qint64 value = base == 16 ? qint64(qint32(quint32(magnitude))) : magnitude;
    return negative ? -value : value;
}

bool decodeBoolean(const std::optional<QString>& stored, bool defaultValue)
{
    if (!stored)
        return defaultValue;
    const auto number = parseProfileInteger(*stored);
    return number ? *number != 0 : defaultValue;
}
