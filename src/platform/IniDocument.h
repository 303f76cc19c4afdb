#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

// An INI file held as its original lines, read and changed one value at a time with the
// private-profile rules of the suite's settings file:
// - section and key names are trimmed and compared without regard to ASCII letter case;
// - the first matching section and, inside it, the first matching key win;
// - a value is trimmed; when a matching pair of ' or " encloses it, it is returned without them;
// - a key that is absent differs from a key present with an empty value.
// A write replaces one value in place and keeps every other byte (comments, blank lines,
// spacing, duplicate and unknown lines, the line-ending style); a new key goes at the end of
// its section (before trailing blank lines), a new section at the end of the document.
// The document works on 8-bit text; callers convert with the locale's encoding.
class IniDocument
{
public:
    IniDocument() = default;
    static IniDocument fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;
    void setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    bool hasSection(QByteArrayView section) const { return findSection(section) >= 0; }

    // Section names in file order (first occurrence of each, as written in the file).
    QList<QByteArray> sections() const;
    // Key names of the first matching section, in file order, first occurrence of each.
    QList<QByteArray> keys(QByteArrayView section) const;

private:
    qsizetype findSection(QByteArrayView section) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, QByteArrayView key) const;
    void terminateLastLine(qsizetype before);

    QList<QByteArray> m_lines; // each with its own line ending, as read
    QByteArray m_eol = "\r\n";  // for lines this document adds
};
