#pragma once

#include <QByteArray>
#include <QString>

// Replaces the whole content of the file at `path` so that readers see either the old or
// the new content, never a mix: a temporary file in the same folder renamed over the old one.
// - a symbolic link is followed: the file it points at is replaced, the link stays;
// - the replaced file keeps its permission bits, owner and group;
// - an existing file that is not writable is refused, although the folder would allow a rename;
// - a writable file in a folder that is not writable is written in place;
// - a missing file is created (mode 0644 less the umask).
// Returns false and fills `error` (a short reason) when the file could not be written.
bool writeFileAtomically(const QString& path, const QByteArray& content, QString* error = nullptr);
