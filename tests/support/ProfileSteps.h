#pragma once

#include "ProfileFile.h"
#include "TestFiles.h"

#include <QList>
#include <QMetaType>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

// Calls on a profile file and the bytes on disk around them, for table-driven tests of the
// private-profile rules.

// One call on the file: a read and the value it must return (nothing = absent), a write, or a
// copy (a read whose text is written back under another key).
struct Step
{
    enum Kind { Read, Write, Copy } kind = Read;
    QString section;
    QString key;
    std::optional<QString> value; // Copy: the key written
};
using Steps = QList<Step>;
Q_DECLARE_METATYPE(Steps)

inline Step reads(const QString& section, const QString& key, const QString& expected)
{
    return {Step::Read, section, key, expected};
}

inline Step readsNothing(const QString& section, const QString& key)
{
    return {Step::Read, section, key, std::nullopt};
}

inline Step writes(const QString& section, const QString& key, const QString& value)
{
    return {Step::Write, section, key, value};
}

inline Step copies(const QString& section, const QString& from, const QString& to)
{
    return {Step::Copy, section, from, to};
}

// Quoted, so that an empty value and an absent one read differently in a failure message.
inline QString shown(const std::optional<QString>& value)
{
    return value ? QLatin1Char('"') + *value + QLatin1Char('"') : QStringLiteral("(absent)");
}

// UTF-16LE bytes with their byte-order mark; `units` are the code units in file order.
inline QByteArray utf16le(const QList<char16_t>& units)
{
    QByteArray bytes("\xff\xfe");
    for (char16_t unit : units)
        bytes.append(char(unit & 0xff)).append(char(unit >> 8));
    return bytes;
}

inline QByteArray utf16le(const QString& text)
{
    QList<char16_t> units;
    for (QChar c : text)
        units.append(c.unicode());
    return utf16le(units);
}

// Every byte from `from` to `to`, both included.
inline QByteArray byteRange(int from, int to)
{
    QByteArray bytes;
    for (int b = from; b <= to; ++b)
        bytes.append(char(b));
    return bytes;
}

// Runs the steps on a file holding `before` (nothing: no file) and compares the file's bytes.
inline void runSteps(const QByteArray& before, const Steps& steps, const QByteArray& after)
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Register.ini"));
    if (!before.isNull())
        QVERIFY(writeAll(path, before));

    ProfileFile file(path);
    for (const Step& step : steps) {
        QString error;
        switch (step.kind) {
        case Step::Write:
            QVERIFY2(file.write(step.section, step.key, *step.value, &error), qPrintable(error));
            break;
        case Step::Read:
            QCOMPARE(shown(file.read(step.section, step.key)), shown(step.value));
            break;
        case Step::Copy: {
            const auto text = file.read(step.section, step.key);
            QVERIFY(text);
            QVERIFY2(file.write(step.section, *step.value, *text, &error), qPrintable(error));
            break;
        }
        }
    }
    QCOMPARE(readAll(path, "(absent)"), after);
}
