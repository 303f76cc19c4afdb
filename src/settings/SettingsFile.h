#pragma once

#include "ProfileFile.h"

#include <QString>

#include <optional>

// The suite's shared settings file, Register.ini. It holds nothing but the path: every read
// consults the file and every write reaches it at once, one value at a time.
class SettingsFile
{
public:
    // Remembers the path; touches no file and cannot fail.
    static SettingsFile* open(const QString& path);

    const QString& path() const { return m_file.path(); }

    // The stored text, or `defaultValue` when the key is absent (present but empty is ""),
    // the default as the profile functions return it (see ProfileFile::defaultText).
    QString readText(const QString& section, const QString& key,
                     const QString& defaultValue = QString()) const;
    // Throws CalvexError "Unable to write to <path>" when the file cannot be written, and a
    // CalvexError naming the text when the file's code page cannot hold one of its characters.
    // Writing the value a key already holds leaves the file untouched.
    void writeText(const QString& section, const QString& key, const QString& value);
    bool readBool(const QString& section, const QString& key, bool defaultValue = false) const;
    void writeBool(const QString& section, const QString& key, bool value);
    // Frees the object; every write is already on disk.
    void release();

private:
    explicit SettingsFile(const QString& path);

    ProfileFile m_file;
};

// The settings file's integer reading: leading blanks, an optional sign, then decimal digits
// or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow; 32-bit range.
std::optional<qint64> parseProfileInteger(const QString& text);

// A boolean value: true when it is an integer other than 0; `defaultValue` when it is no integer.
bool decodeBoolean(const std::optional<QString>& stored, bool defaultValue);
