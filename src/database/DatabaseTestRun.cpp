#include "DatabaseTestRun.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace {
std::atomic<int> liveWorkerThreads{0};
}

int DatabaseTestRun::workerThreads()
{
    return liveWorkerThreads.load();
}

void ProbeWorker::probe(int index, const QString& connection, const QString& user,
                        const QString& password, int timeoutSeconds)
{
    const ProbeResult result = m_probe->probe(connection, user, password, timeoutSeconds);
    Q_EMIT probed(index, result);
}

DatabaseTestRun::DatabaseTestRun(QList<AliasConnection> targets, ProbeFactory factory,
                                 PasswordPrompt askPassword, int timeoutSeconds, QObject* parent)
    : QObject(parent), m_targets(std::move(targets)), m_factory(std::move(factory)),
      m_askPassword(std::move(askPassword)), m_timeoutSeconds(timeoutSeconds)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &DatabaseTestRun::onWatchdog);
}

DatabaseTestRun::~DatabaseTestRun()
{
    m_watchdog.stop();
    m_password.fill(QLatin1Char(' '));
    if (!m_thread)
        return;
    disconnect(m_worker, nullptr, this, nullptr);
    m_thread->quit();
    // An attach under way ends within its time-out; one that hangs beyond it is left behind
    // rather than holding the window.
    if (m_thread->wait((m_timeoutSeconds + 2) * 1000)) {
        delete m_worker;
        delete m_thread;
    } else {
        abandonWorker();
    }
}

void DatabaseTestRun::start()
{
    m_next = 0;
    next();
}

void DatabaseTestRun::next()
{
    while (m_next < m_targets.size() && m_targets.at(m_next).connection.isEmpty()) {
        const int index = m_next++;
        Q_EMIT aliasStarted(index);
        ProbeResult nothing;
        nothing.error = QStringLiteral("no database set");
        Q_EMIT aliasFinished(index, nothing);
    }
    if (m_next >= m_targets.size()) {
        m_current = -1;
        Q_EMIT finished(false);
        return;
    }
    m_current = m_next++;
    Q_EMIT aliasStarted(m_current);
    dispatch(m_current);
}

void DatabaseTestRun::dispatch(int index)
{
    if (!m_thread)
        startWorker();
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, index, connection = m_targets.at(index).connection,
         password = m_password, timeout = m_timeoutSeconds] {
            worker->probe(index, connection, user(), password, timeout);
        },
        Qt::QueuedConnection);
    // The client's own time-out covers the network; this one covers everything else.
    m_watchdog.start((m_timeoutSeconds + 5) * 1000);
}

void DatabaseTestRun::onProbed(int index, const ProbeResult& result)
{
    if (index != m_current)
        return;
    m_watchdog.stop();
    if (result.loginRefused && !m_passwordAsked && m_askPassword) {
        m_passwordAsked = true;
        const std::optional<QString> password = m_askPassword(m_targets.at(index));
        if (index != m_current)
            return; // cancelled while the question was open
        if (password) {
            m_password = *password;
            dispatch(index);
            return;
        }
    }
    Q_EMIT aliasFinished(index, result);
    next();
}

void DatabaseTestRun::onWatchdog()
{
    if (m_current < 0)
        return;
    abandonWorker();
    ProbeResult late;
    late.error = QStringLiteral("No answer within %1 seconds.").arg(m_timeoutSeconds + 5);
    Q_EMIT aliasFinished(m_current, late);
    next();
}

void DatabaseTestRun::cancel()
{
    if (m_current < 0)
        return;
    m_watchdog.stop();
    abandonWorker();
    m_current = -1;
    m_next = int(m_targets.size());
    Q_EMIT finished(true);
}

void DatabaseTestRun::startWorker()
{
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("DatabaseTest"));
    m_worker = new ProbeWorker(m_factory());
    m_worker->moveToThread(m_thread);
    ++liveWorkerThreads;
    connect(m_thread, &QThread::finished, m_thread, [] { --liveWorkerThreads; },
            Qt::DirectConnection);
    connect(m_worker, &ProbeWorker::probed, this, &DatabaseTestRun::onProbed,
            Qt::QueuedConnection);
    m_thread->start();
}

void DatabaseTestRun::abandonWorker()
{
    if (!m_thread)
        return;
    // The blocked attach cannot be interrupted; its thread ends by itself when it returns.
    disconnect(m_worker, nullptr, this, nullptr);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    // The program does not end under a thread that is still inside the client library.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        const int limit = (m_timeoutSeconds + 2) * 1000;
        connect(app, &QCoreApplication::aboutToQuit, m_thread,
                [thread = m_thread, limit] { thread->wait(limit); });
    }
    m_thread->quit();
    m_thread = nullptr;
    m_worker = nullptr;
}
