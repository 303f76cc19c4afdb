#include "AtomicFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

QString kindReason(mode_t mode)
{
    return S_ISDIR(mode) ? QStringLiteral("it is a folder")
                         : QStringLiteral("it is not a regular file");
}

// The file a chain of symbolic links ends at, whether or not it exists.
QByteArray resolveLinks(QByteArray path)
{
    for (int hop = 0; hop < 40; ++hop) {
        char target[4096];
        const ssize_t length = ::readlink(path.constData(), target, sizeof target - 1);
        if (length < 0)
            return path; // not a link (or nothing there)
        QByteArray next(target, length);
        if (!next.startsWith('/')) {
            const qsizetype slash = path.lastIndexOf('/');
            next.prepend(slash < 0 ? QByteArray() : path.left(slash + 1));
        }
        path = next;
    }
    return path;
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

bool writeAll(int fd, const QByteArray& content, off_t offset, int* error)
{
    const char* data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(left), offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? errno : ENOSPC; // a write that makes no progress is a full disk
            return false;
        }
        data += n;
        left -= n;
        offset += n;
    }
    return true;
}

// Reads what `fd` holds, up to limit + 1 bytes so that a larger file shows as one.
bool readAll(int fd, qint64 limit, QByteArray* content, int* error)
{
    content->clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = errno;
            return false;
        }
        if (n == 0)
            return true;
        content->append(buffer, n);
        if (content->size() > limit)
            return true;
    }
}

// Syncs the folder so that a rename in it survives a power cut. A file system that cannot
// sync folders (EINVAL) orders renames itself.
bool syncFolder(const QByteArray& folder, int* error)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    *error = errno;
    ::close(fd);
    return synced;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The folder allows no temporary file: the file itself is rewritten. Space for the new content
// is reserved before any byte changes, and the old content is put back if the write fails.
bool writeInPlace(const QByteArray& target, const struct stat& before, const QByteArray& content,
                  QString* error)
{
    int fd = ::open(target.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    const bool canRestore = fd >= 0;
    if (fd < 0 && errno == EACCES)
        fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return fail(error, reasonOf(errno));
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_ino != before.st_ino ||
        opened.st_dev != before.st_dev) {
        ::close(fd);
        return fail(error, QStringLiteral("the file changed while it was written"));
    }
    QByteArray old;
    int code = 0;
    if (canRestore && !readAll(fd, MaxSharedFileSize, &old, &code)) {
        ::close(fd);
        return fail(error, reasonOf(code));
    }
    if (content.size() > 0 &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(content.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS && errno != EINVAL) {
        code = errno; // ENOSPC, EDQUOT, EFBIG: nothing has changed yet
        ::close(fd);
        return fail(error, reasonOf(code));
    }
    bool written = writeAll(fd, content, 0, &code);
    if (written && content.size() < opened.st_size && ::ftruncate(fd, off_t(content.size())) != 0) {
        code = errno;
        written = false;
    }
    if (!written) {
        int ignored = 0;
        if (canRestore && writeAll(fd, old, 0, &ignored))
            (void)::ftruncate(fd, off_t(old.size()));
        ::close(fd);
        return fail(error, reasonOf(code));
    }
    if (::fsync(fd) != 0) {
        code = errno;
        ::close(fd);
        return fail(error, reasonOf(code));
    }
    if (::close(fd) != 0)
        return fail(error, reasonOf(errno));
    return true;
}

} // namespace

bool FileStamp::operator==(const FileStamp& o) const
{
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
           modified == o.modified && changed == o.changed;
}

FileStamp stampOf(const QString& path)
{
    struct stat status {};
    FileStamp stamp;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = status.st_dev;
    stamp.inode = status.st_ino;
    stamp.size = status.st_size;
    stamp.modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.changed = qint64(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
    return stamp;
}

ReadOutcome readSharedFile(const QString& path, QByteArray* content, QString* error, qint64 limit)
{
    content->clear();
    // Non-blocking: a FIFO must not stall the program until a writer appears.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT)
            return ReadOutcome::Missing; // also behind a dangling link
        if (error)
            *error = errno == ENXIO ? QStringLiteral("it is not a regular file") : reasonOf(errno);
        return ReadOutcome::Failed;
    }
    struct stat status {};
    QString reason;
    int code = 0;
    if (::fstat(fd, &status) != 0)
        reason = reasonOf(errno);
    else if (!S_ISREG(status.st_mode))
        reason = kindReason(status.st_mode);
    else if (status.st_size > limit)
        reason = QStringLiteral("it is larger than %1 bytes").arg(limit);
    else if (!readAll(fd, limit, content, &code))
        reason = reasonOf(code);
    else if (content->size() > limit)
        reason = QStringLiteral("it is larger than %1 bytes").arg(limit);
    ::close(fd);
    if (reason.isEmpty())
        return ReadOutcome::Read;
    content->clear();
    if (error)
        *error = reason;
    return ReadOutcome::Failed;
}

bool writeFileAtomically(const QString& path, const QByteArray& content, QString* error)
{
    const QByteArray target = resolveLinks(QFile::encodeName(path));

    struct stat before {};
    const bool exists = ::stat(target.constData(), &before) == 0;
    if (!exists && errno != ENOENT)
        return fail(error, reasonOf(errno));
    if (exists) {
        if (!S_ISREG(before.st_mode))
            return fail(error, kindReason(before.st_mode));
        // The rename would succeed on a read-only file; the file's own protection must hold.
        if (::access(target.constData(), W_OK) != 0)
            return fail(error, reasonOf(errno));
    }

    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        if (exists && (errno == EACCES || errno == EPERM))
            return writeInPlace(target, before, content, error);
        return fail(error, reasonOf(errno));
    }
    auto abandon = [&](int code) {
        ::close(fd);
        ::unlink(temporary.constData());
        return fail(error, reasonOf(code));
    };

    if (exists) {
        // The suite's own account must still be able to write a file replaced by root.
        bool kept = ::fchown(fd, before.st_uid, before.st_gid) == 0;
        // Only root may give a file away; another writer keeps at least the group if it can.
        if (!kept && errno == EPERM)
            kept = ::fchown(fd, uid_t(-1), before.st_gid) == 0 || errno == EPERM;
        if (!kept || ::fchmod(fd, before.st_mode & 07777) != 0)
            return abandon(errno);
    } else if (::fchmod(fd, newFileMode()) != 0) {
        return abandon(errno);
    }

    int code = 0;
    if (!writeAll(fd, content, 0, &code))
        return abandon(code);
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        code = errno;
        ::unlink(temporary.constData());
        return fail(error, reasonOf(code));
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        code = errno;
        ::unlink(temporary.constData());
        return fail(error, reasonOf(code));
    }
    if (!syncFolder(folderOf(target), &code))
        return fail(error, reasonOf(code));
    return true;
}

bool backUpFile(const QString& path, QString* error)
{
    QByteArray content;
    switch (readSharedFile(path, &content, error)) {
    case ReadOutcome::Missing:
        return true;
    case ReadOutcome::Failed:
        return false;
    case ReadOutcome::Read:
        break;
    }
    const QByteArray target = resolveLinks(QFile::encodeName(path));
    struct stat original {};
    if (::stat(target.constData(), &original) != 0)
        return fail(error, reasonOf(errno));
    const QString backup = QFile::decodeName(target) + QStringLiteral(".bak");
    if (!writeFileAtomically(backup, content, error))
        return false;
    // The copy is as private as the file: an earlier backup may have had other attributes.
    const QByteArray native = QFile::encodeName(backup);
    if (::chown(native.constData(), original.st_uid, original.st_gid) != 0 && errno == EPERM)
        (void)::chown(native.constData(), uid_t(-1), original.st_gid);
    if (::chmod(native.constData(), original.st_mode & 07777) != 0)
        return fail(error, reasonOf(errno));
    return true;
}

void removeStaleTemporaries(const QString& path)
{
    const QByteArray target = resolveLinks(QFile::encodeName(path));
    const QByteArray folder = folderOf(target);
    const QByteArray prefix = target.mid(target.lastIndexOf('/') + 1) + '.';
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
            continue;
        bool pattern = true;
        for (char c : name.mid(prefix.size()))
            pattern = pattern && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                  (c >= '0' && c <= '9'));
        const QByteArray full = folder + '/' + name;
        struct stat status {};
        if (pattern && ::lstat(full.constData(), &status) == 0 && S_ISREG(status.st_mode))
            ::unlink(full.constData());
    }
    ::closedir(dir);
}
