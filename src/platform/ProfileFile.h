#pragma once

#include "IniDocument.h"

#include <QString>

#include <optional>

// Private-profile access to one INI file on disk (the rules are those of IniDocument).
// Every call reads the file afresh, so another program's change is seen at once (the file
// is small); every write reaches the disk at once and atomically (see writeFileAtomically).
// Text is converted with the locale's 8-bit encoding.
class ProfileFile
{
public:
    // A value reads back as at most this many characters.
    static constexpr int MaxValueLength = 2047;

    explicit ProfileFile(QString path);

    const QString& path() const { return m_path; }

    // The stored value, or nothing when the file, the section or the key is absent.
    std::optional<QString> read(const QString& section, const QString& key) const;
    // Returns false (and a short reason in `error`) when the file could not be written;
    // the file is then unchanged.
    bool write(const QString& section, const QString& key, const QString& value,
               QString* error = nullptr);

private:
    // False when the file exists but cannot be read.
    bool load(IniDocument* document, QString* error) const;

    QString m_path;
};
