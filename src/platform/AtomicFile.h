#pragma once

#include <QByteArray>
#include <QString>

// Safe access to the files shared with the suite's other programs (Register.ini, DbAliases.cfg).
// Neither call ever blocks on a file that is not a regular file (a FIFO, a socket, a device),
// and every step of a write is checked, so a full disk is an error, never a torn file.

// A shared file is a few kilobytes; anything larger than this is not one of ours.
constexpr qint64 MaxSharedFileSize = 64 * 1024 * 1024;

enum class ReadOutcome { Read, Missing, Failed };

// What tells one version of a file from another without reading it: its identity, size and
// change times (to the nanosecond). A link is followed; `exists` is false when nothing is there.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0, inode = 0;
    qint64 size = 0;
    qint64 modified = 0, changed = 0; // nanoseconds since the epoch

    bool operator==(const FileStamp& other) const;
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
FileStamp stampOf(const QString& path);

// Reads the whole file at `path` (a link is followed). `Missing` when nothing is there, also
// behind a dangling link; `Failed` with a short reason in `error` when the path names something
// that is not a regular file, is larger than `limit`, or cannot be read.
ReadOutcome readSharedFile(const QString& path, QByteArray* content, QString* error = nullptr,
                           qint64 limit = MaxSharedFileSize);

// Replaces the whole content of the file at `path` so that readers see either the old or the
// new content, never a mix: a temporary file "<name>.XXXXXX" in the same folder, written and
// synced, renamed over the old one, then the folder synced, so that a write reported done
// survives a power cut.
// - a symbolic link is followed: the file it points at is replaced (or created), the link stays;
// - the replaced file keeps its permission bits, owner and group;
// - an existing file that is not writable is refused, although the folder would allow a rename;
// - a writable file in a folder where no temporary file can be made is rewritten in place: the
//   space is reserved first and the old content put back if the write fails, so the file is
//   never left empty or cut (a reader at that very moment may see a mix of old and new);
// - a missing file is created (mode 0644 less the umask).
// Returns false and fills `error` (a short reason) when the file could not be written; the file
// is then unchanged.
bool writeFileAtomically(const QString& path, const QByteArray& content, QString* error = nullptr);

// Keeps the file's present content as "<path>.bak" (written as writeFileAtomically does, with the
// file's mode, owner and group), so a technician can undo a change by hand. A missing file has
// nothing to keep. Returns false with a short reason when no copy could be made.
bool backUpFile(const QString& path, QString* error = nullptr);

// Removes what an interrupted write of the file at `path` left beside it: regular files named
// "<name>.XXXXXX" (six letters or digits), the temporary files of writeFileAtomically. Only the
// program's single running copy may call it, before it writes.
void removeStaleTemporaries(const QString& path);
