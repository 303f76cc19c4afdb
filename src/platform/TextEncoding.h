#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Conversions for the suite's text files, which must come back byte for byte.
namespace TextEncoding {

// Windows-1252 bytes as text. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become U+0081 and so on, as Windows converts them, so that they are written back.
QString fromWindows1252(QByteArrayView bytes);

// The text in Windows-1252, or nothing when a character has no byte there; `unheld` then gets
// those characters, each once, in order of appearance.
std::optional<QByteArray> toWindows1252(QStringView text, QStringList* unheld = nullptr);

// UTF-8 for a text typed or read, or nothing when it holds an unpaired surrogate.
std::optional<QByteArray> toUtf8(QStringView text, QStringList* unheld = nullptr);

// UTF-16LE code units as UTF-8 bytes and back. An unpaired surrogate is carried as the
// three-byte form of its code point, so that every unit of a file is written back as it was.
QByteArray utf16LEToUtf8(QByteArrayView units);
QByteArray utf8ToUtf16LE(QByteArrayView bytes);

} // namespace TextEncoding
