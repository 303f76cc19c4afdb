#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QString>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Real faults for the tests of the shared files: a small file system that fills up, a file size
// limit that fails writes on any machine, and actions run by an account that permission bits
// bind (root ignores them).

// A tmpfs of a few pages mounted on a folder, as root only; unmounted on destruction.
class SmallDisk
{
public:
    explicit SmallDisk(const QString& folder, int kilobytes = 64) : m_folder(folder)
    {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0777";
        m_mounted = ::geteuid() == 0 && QDir().mkpath(folder) &&
                    ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                            options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }

    // Takes every free byte with a file of its own; true when the disk is then full.
    bool fill()
    {
        const QByteArray path = QFile::encodeName(m_folder + QStringLiteral("/.filler"));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'x');
        ssize_t n;
        while ((n = ::write(fd, block.constData(), block.size())) > 0) {
        }
        bool full = n < 0 && errno == ENOSPC;
        for (int size = 2048; full && size > 0; size /= 2) // the last partial page too
            while (::write(fd, block.constData(), size_t(size)) > 0) {
            }
        ::close(fd);
        return full;
    }

    // Gives the space back.
    void empty() { ::unlink(QFile::encodeName(m_folder + QStringLiteral("/.filler")).constData()); }

private:
    QString m_folder;
    bool m_mounted = false;
};

// While alive, no file of this process may grow beyond `bytes`: a write past that fails with
// EFBIG, on any machine and for any account.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = SIG_DFL;
};

// A file that is not a regular file, made at `path`; a socket needs a server that stays alive.
enum class Special { Fifo, Socket, Folder, DevZeroLink };

inline bool makeSpecialFile(Special special, const QString& path, QLocalServer& socketServer)
{
    switch (special) {
    case Special::Fifo:
        return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
    case Special::Socket:
        return socketServer.listen(path);
    case Special::Folder:
        return QDir().mkdir(path);
    case Special::DevZeroLink:
        return QFile::link(QStringLiteral("/dev/zero"), path);
    }
    return false;
}

constexpr uid_t NobodyId = 65534;

// Runs `action` in a child process as "nobody" when root (so permission bits bind it), else in
// a child as the current account; returns what the action returned (its first 64 KiB).
inline QByteArray inUnprivilegedChild(const std::function<QByteArray()>& action)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return "(no pipe)";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const bool dropped = ::geteuid() != 0 || (::setgroups(0, nullptr) == 0 &&
                                                  ::setgid(NobodyId) == 0 &&
                                                  ::setuid(NobodyId) == 0);
        const QByteArray text = dropped ? action() : QByteArray("(cannot drop privileges)");
        const bool sent = ::write(channel[1], text.constData(), text.size()) == text.size();
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return text;
}
