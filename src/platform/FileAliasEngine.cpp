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

template <typename Aliases>
auto findAlias(Aliases& aliases, const QString& name)
{
    return std::find_if(aliases.begin(), aliases.end(),
                        [&name](const auto& alias) { return sameName(alias.name, name); });
}

bool isComment(const QString& trimmed)
{
    return trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) ||
           trimmed.startsWith(QLatin1Char('#'));
}

bool isSectionHeader(const QString& trimmed)
{
    return trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('[')) &&
           trimmed.endsWith(QLatin1Char(']'));
}

FileAliasEngine::Aliases parse(const QByteArray& bytes, const QString& path)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));

    auto malformed = [&path](qsizetype line, const QString& what) {
        return EngineError(QStringLiteral("The alias configuration %1 is malformed at line %2: %3")
                               .arg(path)
                               .arg(line)
                               .arg(what));
    };

    FileAliasEngine::Aliases aliases;
    bool typeSeen = true; // of the current section; nothing to check before the first one
    qsizetype headerLine = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (isComment(trimmed))
            continue;
        if (isSectionHeader(trimmed)) {
            if (!typeSeen)
                throw malformed(headerLine, QStringLiteral("the alias has no TYPE"));
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed();
            if (name.isEmpty())
                throw malformed(i + 1, QStringLiteral("an alias without a name"));
            if (findAlias(aliases, name) != aliases.end())
                throw malformed(i + 1, QStringLiteral("the alias %1 appears twice").arg(name));
            aliases.push_back({name, QString(), {}});
            typeSeen = false;
            headerLine = i + 1;
            continue;
        }
        if (aliases.empty())
            throw malformed(i + 1, QStringLiteral("a line outside any alias"));
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            throw malformed(i + 1, QStringLiteral("a line without '='"));
        FileAliasEngine::Alias& alias = aliases.back();
        if (!typeSeen) {
            if (!sameName(paramName(line), TypeName))
                throw malformed(i + 1, QStringLiteral("TYPE must be the alias's first line"));
            alias.type = line.mid(equals + 1);
            typeSeen = true;
        } else {
            alias.params.append(line);
        }
    }
    if (!typeSeen)
        throw malformed(headerLine, QStringLiteral("the alias has no TYPE"));
    return aliases;
}

QByteArray serialize(const FileAliasEngine::Aliases& aliases)
{
    QString text;
    for (const FileAliasEngine::Alias& alias : aliases) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QLatin1Char('[') + alias.name + QLatin1String("]\n");
        text += TypeName + QLatin1Char('=') + alias.type + QLatin1Char('\n');
        for (const QString& param : alias.params)
            text += param + QLatin1Char('\n');
    }
    return text.toUtf8();
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

bool FileAliasEngine::IsAlias(const QString& name)
{
    ensureLoaded();
    return findAlias(m_aliases, name) != m_aliases.end();
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
    ensureLoaded();
    if (findAlias(m_aliases, name) != m_aliases.end()) {
        throw EngineError(QStringLiteral("The alias %1 already exists in the alias configuration %2")
                              .arg(name, m_path));
    }

    // The driver argument alone sets TYPE; a listed name takes the place of its default.
    QStringList lines = driverDefaults(driver);
    for (const QString& param : params) {
        const QString key = paramName(param);
        if (sameName(key, TypeName))
            continue;
        const qsizetype index = indexOfParam(lines, key);
        if (index >= 0)
            lines[index] = param;
        else
            lines.append(param);
    }
    m_changes.push_back({Change::Add, name, driver, lines});
    apply(m_aliases, m_changes.back());
}

void FileAliasEngine::ModifyAlias(const QString& name, const QStringList& params)
{
    checkParams(params);
    ensureLoaded();
    if (findAlias(m_aliases, name) == m_aliases.end()) {
        throw EngineError(QStringLiteral("The alias %1 does not exist in the alias configuration %2")
                              .arg(name, m_path));
    }
    m_changes.push_back({Change::Modify, name, QString(), params});
    apply(m_aliases, m_changes.back());
}

void FileAliasEngine::SaveConfigFile()
{
    if (m_changes.empty())
        return;
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

    Aliases merged = readFile();
    for (const Change& change : m_changes)
        apply(merged, change);
    QString reason;
    if (!writeFileAtomically(m_path, serialize(merged), &reason))
        throw cannotSave(reason);
    m_aliases = std::move(merged);
    m_loaded = true;
    m_changes.clear();
}

// Replaying on the file's current content: an alias another program added meanwhile under
// the same name takes this run's definition (the user just asked for it); a modification of
// an alias another program removed meanwhile is dropped.
void FileAliasEngine::apply(Aliases& aliases, const Change& change)
{
    const auto alias = findAlias(aliases, change.name);
    if (change.kind == Change::Add) {
        Alias added{change.name, change.type, change.params};
        if (alias != aliases.end())
            *alias = std::move(added);
        else
            aliases.push_back(std::move(added));
        return;
    }
    if (alias == aliases.end())
        return;
    for (const QString& param : change.params) {
        const QString name = paramName(param);
        if (sameName(name, TypeName))
            continue;
        const QString value = param.mid(param.indexOf(QLatin1Char('=')) + 1);
        for (QString& line : alias->params) {
            if (sameName(paramName(line), name))
                line = line.left(line.indexOf(QLatin1Char('=')) + 1) + value;
        }
    }
}

void FileAliasEngine::ensureLoaded()
{
    if (m_loaded)
        return;
    m_aliases = readFile();
    m_loaded = true;
}

FileAliasEngine::Aliases FileAliasEngine::readFile() const
{
    QByteArray bytes;
    QString reason;
    if (readSharedFile(m_path, &bytes, &reason) == ReadOutcome::Failed) {
        throw EngineError(QStringLiteral("Cannot read the alias configuration %1: %2")
                              .arg(m_path, reason));
    }
    return parse(bytes, m_path); // a missing file is an empty configuration
}

void FileAliasEngine::checkName(const QString& name) const
{
    if (name.isEmpty() || name != name.trimmed() || hasLineBreak(name)) {
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
