#include "AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

bool writeFileAtomically(const QString& path, const QByteArray& content, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };

    // A link is followed: the file it points at is replaced, the link itself stays.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink()) {
        target = info.canonicalFilePath(); // the end of a chain of links
        if (target.isEmpty())
            target = info.symLinkTarget(); // a dangling link: create the file it names
    }

    const QByteArray native = QFile::encodeName(target);
    struct stat before {};
    const bool exists = ::stat(native.constData(), &before) == 0;
    if (exists) {
        if (S_ISDIR(before.st_mode))
            return fail(QStringLiteral("it is a folder"));
        // The rename would succeed on a read-only file; the file's own protection must hold.
        if (::access(native.constData(), W_OK) != 0)
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
    }

    QSaveFile file(target);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const int fd = file.handle();
    struct stat opened {};
    // Written in place (folder not writable), the file keeps its attributes by itself, and a
    // writer that may write it without owning it could not set them anyway.
    const bool inPlace = exists && ::fstat(fd, &opened) == 0 && opened.st_dev == before.st_dev &&
                         opened.st_ino == before.st_ino;
    if (exists && !inPlace) {
        // The suite's own account must still be able to write a file replaced by root.
        bool kept = ::fchown(fd, before.st_uid, before.st_gid) == 0;
        // Only root may give a file away; another writer keeps at least the group if it can.
        if (!kept && errno == EPERM)
            kept = ::fchown(fd, uid_t(-1), before.st_gid) == 0 || errno == EPERM;
        if (!kept || ::fchmod(fd, before.st_mode & 07777) != 0) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            file.cancelWriting();
            return fail(reason);
        }
    }
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
