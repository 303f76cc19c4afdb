#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

// Small file helpers the tests share. CALVEX_TEST_DATA is the tests/data folder, set per test.

// The path of a file under tests/data, e.g. testDataPath("archive/existing.cfg").
inline QString testDataPath(const QString& relativePath)
{
    return QStringLiteral(CALVEX_TEST_DATA "/") + relativePath;
}

// The bytes of the file, or `failure` when it cannot be read. A test that must tell an absent
// file from an empty one passes a marker such as "(absent)".
inline QByteArray readAll(const QString& path, const QByteArray& failure = QByteArray())
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : failure;
}

// Replaces the file's content by `bytes`; false when it cannot be written in full.
inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Creates each entry under `root`: a name ending in "/" is a folder, any other an empty file.
inline bool createEntries(const QString& root, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const QString path = root + QLatin1Char('/') + entry;
        if (entry.endsWith(QLatin1Char('/'))) {
            if (!QDir().mkpath(path))
                return false;
        } else if (!QDir().mkpath(QFileInfo(path).path()) || !writeAll(path, {})) {
            return false;
        }
    }
    return true;
}
