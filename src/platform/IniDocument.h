#pragma once

#include "NameTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

// An INI file held as its bytes, read and changed one value at a time with the rules of the
// Windows private-profile functions, which the suite's other programs use on the same files:
// - CRLF, LF and a lone CR each end a line, freely mixed;
// - a section header is a line whose first non-blank is "[" and that holds a "]"; its name is
//   the text up to the last "]", trimmed; a "[" line without "]" is an ordinary key line;
// - a key line is split at its first "="; a line without one is a key without a value;
// - names are trimmed of blanks (space, TAB, VT, FF) and matched ASCII-case-insensitively;
//   the first section of a name and, inside it, the first key of a name win;
// - a value read ends at a NUL, is trimmed, and loses one outer pair of the same quote
//   character (" or ') when it has at least two characters; "a=" is empty, not absent.
// Lines before the first header belong to a nameless section (name "").
//
// A write replaces one value in place and keeps every other byte (comments, blank lines,
// spacing, duplicate and unknown lines, each line's own line end); a new key goes at the end of
// its section (before trailing blank lines), a new section at the end of the document; a new
// line takes the first line end of the file (CRLF in an empty one).
//
// Encoding: a file starting with a UTF-8 byte-order mark is UTF-8, one starting with a UTF-16LE
// mark is UTF-16LE, any other is Windows-1252. The byte interface below works on the
// document's text bytes: Windows-1252 for such files and UTF-8 for the other two (a UTF-16LE
// file is held as UTF-8 and written back unit for unit). decode() and encode() convert.
//
// Finding a section or a key costs a hash look-up, not a scan, so a document of thousands of
// sections stays fast; parsing makes no heap allocation per line. Views returned stay valid
// until the next change of the document.
class IniDocument
{
public:
    enum class Encoding { Windows1252, Utf8Bom, Utf16LEBom };

    // One key line of a section, in file order.
    struct Entry
    {
        QByteArray key;                  // trimmed
        std::optional<QByteArray> value; // read as value() reads it; nothing for a line without "="
        QByteArray raw;                  // everything after the first "=", as stored
    };

    IniDocument();
    static IniDocument fromBytes(const QByteArray& fileBytes);
    // The file's bytes: its byte-order mark, then the lines in the file's encoding.
    QByteArray toBytes() const;

    Encoding encoding() const { return m_encoding; }
    QString decode(QByteArrayView text) const;
    // The text in the document's encoding, or nothing when a character cannot be held there
    // (listed in `unheld`).
    std::optional<QByteArray> encode(QStringView text, QStringList* unheld = nullptr) const;

    // The value as the profile functions read it; nothing when the section or key is absent or
    // the key's line has no "=". Not cut to a length: ProfileFile cuts the decoded text.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;
    // As value(), as a view into the document.
    std::optional<QByteArrayView> valueView(QByteArrayView section, QByteArrayView key) const;
    // The stored bytes after the "=", trimmed, without the read rules; nothing as for value().
    std::optional<QByteArrayView> storedValue(QByteArrayView section, QByteArrayView key) const;
    bool hasSection(QByteArrayView section) const;

    // Section names in file order (first occurrence of each, as written in the file; the
    // nameless section is not listed).
    QList<QByteArray> sections() const;
    // Key names of the first matching section, in file order, first occurrence of each.
    QList<QByteArray> keys(QByteArrayView section) const;
    // Every key line of the first matching section, in file order, duplicates included; a
    // comment is a line without "=" to the profile functions, so it is listed without a value.
    QList<Entry> entries(QByteArrayView section) const;

    // Sets the first matching key of the first matching section, in place; appends the key or
    // the section when absent. A line break in `value` would split it into lines of its own, so
    // CR and LF are written as spaces. Returns false, changing nothing, when the key already
    // holds exactly `value` (its stored value, trimmed, is byte-identical).
    bool setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    // Appends "[name]" and then each line ("key=value") at the end of the document, even when
    // a section of that name exists already (the first one still wins).
    // `blankLineBefore` separates it from a last line that is not blank.
    void appendSection(QByteArrayView name, const QList<QByteArray>& lines,
                       bool blankLineBefore = false);
    // The line end of the lines this document adds, for a document that has none of its own.
    void setNewLineEnd(QByteArrayView eol)
    {
        if (m_head < 0)
            m_eol = eol.toByteArray();
    }

private:
    enum class Kind : std::uint8_t { Blank, Header, Key, KeyOnly };
    struct Line
    {
        qsizetype start = 0; // of its content in m_text; its line end follows the content
        std::int32_t length = 0;
        std::int32_t nameStart = 0; // section or key name, relative to start
        std::int32_t nameLength = 0;
        std::int32_t equals = -1; // position of the first "=", relative to start
        std::int32_t section = 0; // the section it belongs to (a header: its own)
        std::int32_t next = -1;   // the following line in file order
        std::uint8_t eol = 0;     // bytes of line end after the content
        Kind kind = Kind::Blank;
    };
    struct Section
    {
        std::int32_t header = -1;     // its header line; -1 for the nameless section
        std::int32_t first = -1;      // its first line (the header), -1 while it has none
        std::int32_t last = -1;       // its last line
        std::int32_t lastFilled = -1; // its last line that is not blank
    };
    QByteArrayView contentOf(const Line& line) const;
    QByteArrayView nameOf(const Line& line) const;
    QByteArrayView rawValueOf(const Line& line) const; // after "=", untrimmed
    std::uint64_t keyHash(std::int32_t section, QByteArrayView name) const;
    std::int32_t findSection(QByteArrayView name) const;
    std::int32_t findKey(std::int32_t section, QByteArrayView name) const;
    void indexSection(std::int32_t section);
    void indexKey(std::int32_t line);
    void parse(qsizetype from);
    std::int32_t addLine(QByteArrayView content, QByteArrayView eol, std::int32_t section);
    void replaceContent(std::int32_t line, const QByteArray& content);
    void insertAfter(std::int32_t after, std::int32_t line);
    void ensureLineEnd(std::int32_t line);
    void classify(Line& line) const;

    Encoding m_encoding = Encoding::Windows1252;
    QByteArray m_source;       // the bytes the document was read from, while it is unchanged
    QByteArray m_text;         // the text bytes; lines point into it, changed lines are appended
    QByteArray m_tail;         // an odd last byte of a UTF-16LE file
    QByteArray m_eol = "\r\n"; // for lines this document adds
    std::vector<Line> m_lines;
    std::vector<Section> m_sections; // file order; [0] is the nameless section
    std::int32_t m_head = -1;        // the first line in file order
    std::int32_t m_tailLine = -1;    // the last line in file order
    NameTable m_sectionIndex;        // first section of each name
    NameTable m_keyIndex;            // first line of each key name in each section
    bool m_changed = false;
};
