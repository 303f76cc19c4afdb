#include "FileAliasEngine.h"

#include "AtomicFile.h"
#include "Errors.h"

#include <QFile>
#include <QLockFile>
#include <QtDebug>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const QString TypeName = QStringLiteral("TYPE");

// Our saves hold the lock for milliseconds; a lock this old was left by a program that hung.
constexpr std::chrono::seconds StaleLockTime(30);

QString paramName(const QString& line)
{
    return line.section(QLatin1Char('='), 0, 0).trimmed();
}

bool sameName(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

qsizetype indexOfParam(const QStringList& params, const QString& name)
{
    for (qsizetype i = 0; i < params.size(); ++i) {
        if (sameName(paramName(params[i]), name))
            return i;
    }
    return -1;
}

QStringList driverDefaults(const QString& driver)
{
    if (driver.compare(QLatin1String("INTRBASE"), Qt::CaseInsensitive) == 0) {
        return {QStringLiteral("SERVER NAME="),
                QStringLiteral("USER NAME=SYSDBA"),
                QStringLiteral("OPEN MODE=READ/WRITE"),
                QStringLiteral("SQLPASSTHRU MODE=SHARED AUTOCOMMIT"),
                QStringLiteral("LANGDRIVER="),
                QStringLiteral("SQLQRYMODE=")};
    }
    return {};
}


bool isComment(const QString& trimmed)
{
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// An exclusive advisory lock on the configuration file itself, held until destruction.
class FileLock
{
public:
    enum Outcome { Locked, NoFile, Busy, Failed };
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // closing releases the lock
    }

    Outcome lock(const QString& path, std::chrono::milliseconds wait)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return errno == ENOENT ? NoFile : Failed;
        const auto until = std::chrono::steady_clock::now() + wait;
        while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                return Failed;
            if (std::chrono::steady_clock::now() >= until)
                return Busy;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return Locked;
    }

private:
    int m_fd = -1;
};

} // namespace

FileAliasEngine::FileAliasEngine(QString path, std::chrono::milliseconds lockWait)
    : m_path(std::move(path)), m_lockWait(lockWait)
{
}

FileAliasEngine::~FileAliasEngine()
{
    if (m_changes.empty())
        return;
    // An added alias must not be lost because the caller never saved. A destructor cannot
    // report a failure (throwing here would terminate the program), so it is only logged.
    try {
        SaveConfigFile();
    } catch (const std::exception& error) {
        qWarning("%s", error.what());
    }
}

const IniDocument& FileAliasEngine::current(bool reread)
{
    const FileStamp stamp = stampOf(m_path);
    if (m_read && !reread && stamp == m_stamp)
        return m_document;
    QByteArray bytes;
    QString reason;
    if (readSharedFile(m_path, &bytes, &reason) == ReadOutcome::Failed) {
        throw EngineError(QStringLiteral("Cannot read the alias configuration %1: %2")
                              .arg(m_path, reason));
    }
    // A missing file is an empty configuration; an unchanged one is not parsed again.
    if (!m_read || bytes != m_bytes) {
        m_document = IniDocument::fromBytes(bytes);
        m_document.setNewLineEnd("\n"); // a new configuration is written with LF
        m_bytes = bytes;
    }
    m_stamp = stamp;
    m_read = true;
    return m_document;
}

QByteArray FileAliasEngine::encoded(const IniDocument& document, const QString& text) const
{
    QStringList unheld;
    const auto bytes = document.encode(text, &unheld);
    if (!bytes) {
        throw EngineError(QStringLiteral("The text \"%1\" cannot be stored in the alias configuration %2: its encoding has no %3")
                              .arg(text, m_path, unheld.join(QStringLiteral(", "))));
    }
    return *bytes;
}

bool FileAliasEngine::inFile(const QString& name)
{
    const IniDocument& document = current();
    const auto bytes = document.encode(name.trimmed());
    return bytes && document.hasSection(*bytes);
}

bool FileAliasEngine::IsAlias(const QString& name)
{
    if (inFile(name))
        return true;
    return std::any_of(m_changes.begin(), m_changes.end(), [&](const Change& change) {
        return change.kind == Change::Add && sameName(change.name, name);
    });
}

void FileAliasEngine::AddAlias(const QString& name, const QString& driver,
                               const QStringList& params)
{
    checkName(name);
    if (driver.trimmed().isEmpty() || hasLineBreak(driver)) {
        throw EngineError(QStringLiteral("The driver type \"%1\" cannot be stored in the alias configuration %2")
                              .arg(driver, m_path));
    }
    checkParams(params);
    if (IsAlias(name)) {
        throw EngineError(QStringLiteral("The alias %1 already exists in the alias configuration %2")
                              .arg(name, m_path));
    }

    // The driver argument alone sets TYPE; a listed name takes the place of its default.
    QStringList listed;
    QStringList lines = driverDefaults(driver);
    for (const QString& param : params) {
        const QString key = paramName(param);
        if (sameName(key, TypeName))
            continue;
        listed.append(param);
        const qsizetype index = indexOfParam(lines, key);
        if (index >= 0)
            lines[index] = param;
        else
            lines.append(param);
    }
    m_changes.push_back({Change::Add, name, driver, listed, lines});
}

void FileAliasEngine::ModifyAlias(const QString& name, const QStringList& params)
{
    checkParams(params);
    if (!IsAlias(name)) {
        throw EngineError(QStringLiteral("The alias %1 does not exist in the alias configuration %2")
                              .arg(name, m_path));
    }
    QStringList listed;
    for (const QString& param : params)
        if (!sameName(paramName(param), TypeName))
            listed.append(param);
    m_changes.push_back({Change::Modify, name, QString(), listed, {}});
}

void FileAliasEngine::SaveConfigFile()
{
    if (m_changes.empty())
        return;
    // A failed save is final: its operations are dropped, never retried behind the user's back.
    std::vector<Change> changes;
    changes.swap(m_changes);
    auto cannotSave = [this](const QString& reason) {
        return EngineError(QStringLiteral("Cannot save the alias configuration %1: %2").arg(m_path, reason));
    };

    const QString lockPath = m_path + QLatin1String(".lock");
    QLockFile lock(lockPath);
    lock.setStaleLockTime(StaleLockTime);
    // In a folder that allows no lock file beside it, the file itself is locked: it is then
    // rewritten in place, like Register.ini in that folder.
    FileLock ownLock;
    if (!lock.tryLock(m_lockWait)) {
        if (lock.error() == QLockFile::LockFailedError) {
            qint64 pid = 0;
            QString host, program;
            QString holder;
            if (lock.getLockInfo(&pid, &host, &program))
                holder = QStringLiteral(" (process %1 on %2)").arg(pid).arg(host);
            throw EngineError(QStringLiteral("The alias configuration %1 is locked by another program%2")
                                  .arg(m_path, holder));
        }
        if (lock.error() != QLockFile::PermissionError)
            throw cannotSave(QStringLiteral("cannot create the lock file %1").arg(lockPath));
        switch (ownLock.lock(m_path, m_lockWait)) {
        case FileLock::Locked:
        case FileLock::NoFile: // nothing to lock; the write reports what stops it
            break;
        case FileLock::Busy:
            throw EngineError(QStringLiteral("The alias configuration %1 is locked by another program")
                                  .arg(m_path));
        case FileLock::Failed:
            throw cannotSave(QStringLiteral("cannot create the lock file %1").arg(lockPath));
        }
    }

    IniDocument document = current(true); // under the lock, as the file is now
    for (const Change& change : changes)
        apply(document, change);
    const QByteArray bytes = document.toBytes();
    if (bytes == m_bytes && stampOf(m_path).exists)
        return; // nothing changes: the file is left untouched
    QString reason;
    // The run's first save keeps the file as it was, so that it can be restored by hand; a
    // folder that takes no copy does not stop the save.
    if (!m_backedUp && !m_bytes.isEmpty() && !backUpFile(m_path, &reason))
        qWarning("No backup of %s: %s", qPrintable(m_path), qPrintable(reason));
    m_backedUp = true;
    if (!writeFileAtomically(m_path, bytes, &reason))
        throw cannotSave(reason);
    m_document = std::move(document);
    m_bytes = bytes;
    m_stamp = stampOf(m_path);
}

void FileAliasEngine::apply(IniDocument& document, const Change& change) const
{
    const QByteArray section = encoded(document, change.name);
    if (!document.hasSection(section)) {
        if (change.kind == Change::Modify) {
            throw EngineError(QStringLiteral("The alias %1 was removed from the alias configuration %2 by another program")
                                  .arg(change.name, m_path));
        }
        QList<QByteArray> lines{encoded(document, TypeName + QLatin1Char('=') + change.driver)};
        for (const QString& line : change.lines)
            lines.append(encoded(document, line));
        document.appendSection(section, lines, true);
        return;
    }
    // An existing alias (also one another program added under the same name meanwhile): only
    // the listed parameters that it has take the new values.
    for (const QString& param : change.listed) {
        const QByteArray key = encoded(document, paramName(param));
        const QByteArray value = encoded(document, param.mid(param.indexOf(QLatin1Char('=')) + 1));
        if (document.value(section, key))
            document.setValue(section, key, value);
    }
}

void FileAliasEngine::checkName(const QString& name) const
{
    if (name.isEmpty() || name != name.trimmed() || hasLineBreak(name) ||
        name.contains(QLatin1Char(']'))) {
        throw EngineError(QStringLiteral("The alias name \"%1\" cannot be stored in the alias configuration %2")
                              .arg(name, m_path));
    }
}

// A parameter must read back as the same parameter: a name, '=', and no line break.
void FileAliasEngine::checkParams(const QStringList& params) const
{
    for (const QString& param : params) {
        const QString name = paramName(param);
        if (!param.contains(QLatin1Char('=')) || name.isEmpty() || isComment(name) ||
            name.startsWith(QLatin1Char('[')) || hasLineBreak(param)) {
            throw EngineError(QStringLiteral("The alias parameter \"%1\" cannot be stored in the alias configuration %2")
                                  .arg(param, m_path));
        }
    }
}
