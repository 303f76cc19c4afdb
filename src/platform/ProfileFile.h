#pragma once

#include "IniDocument.h"

#include <QString>

#include <ctime>
#include <optional>
#include <sys/types.h>

// Private-profile access to one INI file on disk (the rules are those of IniDocument).
// Every call consults the file, so another program's change is seen at once: the parsed
// document is kept and checked on every call against the file's identity and change stamps
// (device, inode, size, modification and change time to the nanosecond); only a changed file
// is read and parsed again. Every write reaches the disk at once and atomically (see
// writeFileAtomically). Text is converted with the file's encoding (see IniDocument).
// Not for use from several threads at once.
// File times come from the kernel's coarse clock, or in whole seconds on some file systems:
// another change within the same tick as the one we saw can leave every stamp as it was. True
// when a file last changed at `changed` (its ctime) has stamps that tell any later change, as
// seen at `now` on the coarse real-time clock.
bool changeStampIsSettled(const timespec& changed, const timespec& now);

class ProfileFile
{
public:
    // A value reads back as at most this many characters.
    static constexpr int MaxValueLength = 2047;

    enum class WriteResult {
        Written,
        Unchanged,   // the key already held the value: the file was not touched
        Unencodable, // the file's encoding cannot hold some character of the text
        Failed,      // the file could not be read or written; it is unchanged
    };

    explicit ProfileFile(QString path);

    const QString& path() const { return m_path; }

    // The stored value, or nothing when the file, the section or the key is absent.
    std::optional<QString> read(const QString& section, const QString& key) const;
    // The stored value, or `defaultValue` as the profile functions return a default.
    QString read(const QString& section, const QString& key, const QString& defaultValue) const;
    // Returns false (and a short reason in `error`) when the file could not be written;
    // the file is then unchanged. A write that changes nothing leaves the file untouched.
    bool write(const QString& section, const QString& key, const QString& value,
               QString* error = nullptr);
    // As write(); for Unencodable, `error` says which characters the file cannot hold
    // ("its code page, Windows-1252, has no Ł or ź").
    WriteResult writeValue(const QString& section, const QString& key, const QString& value,
                           QString* error = nullptr);

    // A default text as the profile functions return it for an absent key: trailing spaces
    // removed (never the first character), one outer pair of quotes removed, cut to
    // MaxValueLength characters.
    static QString defaultText(const QString& text);

private:
    struct Stamp
    {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        bool operator==(const Stamp& other) const;
    };

    // The file's bytes; a missing file gives none. False when it exists but cannot be read.
    static bool readBytes(const QString& path, QByteArray* bytes, QString* error);
    // Brings m_document up to date with the file; false when it cannot be read.
    bool refresh(QString* error) const;
    Stamp stampNow() const;
    std::optional<QString> lookUp(const QString& section, const QString& key) const;

    QString m_path;
    QByteArray m_nativePath; // m_path as the system names it
    mutable IniDocument m_document;
    mutable QByteArray m_bytes; // the file's bytes that m_document holds
    mutable Stamp m_stamp;      // of the file when m_bytes were read or written
    mutable bool m_cached = false;
    // The stamps alone cannot vouch for m_bytes: they were taken right after our own write,
    // or so soon after a change that another change in the same clock tick would not show.
    mutable bool m_confirm = false;
};
