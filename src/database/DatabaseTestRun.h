#pragma once

#include "DatabaseNaming.h"
#include "DatabaseProbe.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QThread;
class ProbeWorker;

// One run of the database test: attaches to each alias's connection string in turn on a worker
// thread that touches no widget and no file, and reports back on the user-interface thread.
// A server that refuses the login gets one password, asked once per run, kept only in memory.
class DatabaseTestRun : public QObject
{
    Q_OBJECT

public:
    using ProbeFactory = std::function<std::unique_ptr<DatabaseProbe>()>;
    // Asked on the user-interface thread; nothing when the user declines.
    using PasswordPrompt = std::function<std::optional<QString>(const AliasConnection&)>;

    // The user every alias is registered with.
    static QString user() { return QStringLiteral("SYSDBA"); }

    DatabaseTestRun(QList<AliasConnection> targets, ProbeFactory factory,
                    PasswordPrompt askPassword, int timeoutSeconds = 5,
                    QObject* parent = nullptr);
    ~DatabaseTestRun() override;

    const QList<AliasConnection>& targets() const { return m_targets; }
    bool isRunning() const { return m_current >= 0; }

    // Worker threads of all runs that have not ended yet, abandoned ones included.
    static int workerThreads();

    void start();
    // Stops the run at once; an attach under way is abandoned and its answer ignored.
    void cancel();

Q_SIGNALS:
    void aliasStarted(int index);
    void aliasFinished(int index, const ProbeResult& result);
    void finished(bool cancelled);

private:
    void next();
    void dispatch(int index);
    void onProbed(int index, const ProbeResult& result);
    void onWatchdog();
    void startWorker();
    void abandonWorker();

    QList<AliasConnection> m_targets;
    ProbeFactory m_factory;
    PasswordPrompt m_askPassword;
    int m_timeoutSeconds;
    QThread* m_thread = nullptr;
    ProbeWorker* m_worker = nullptr;
    QTimer m_watchdog;
    int m_current = -1;
    int m_next = 0;
    QString m_password;
    bool m_passwordAsked = false;
};

// Lives on the worker thread; one attach per request.
class ProbeWorker : public QObject
{
    Q_OBJECT

public:
    explicit ProbeWorker(std::unique_ptr<DatabaseProbe> probe) : m_probe(std::move(probe)) {}

    void probe(int index, const QString& connection, const QString& user,
               const QString& password, int timeoutSeconds);

Q_SIGNALS:
    void probed(int index, const ProbeResult& result);

private:
    std::unique_ptr<DatabaseProbe> m_probe;
};
