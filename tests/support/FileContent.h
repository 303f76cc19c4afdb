#pragma once

#include "TestFiles.h"

#include <QByteArray>
#include <QString>

// What the file holds, for comparing a file before and after: a file that cannot be read (an
// absent one, say) reads as "(unreadable)", which no empty or written file equals.
inline QByteArray contentOf(const QString& path)
{
    return readAll(path, QByteArrayLiteral("(unreadable)"));
}
