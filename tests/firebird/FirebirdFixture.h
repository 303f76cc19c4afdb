#pragma once

// Real Firebird for the tests: databases created with the client library, a private server on
// 127.0.0.1 with its own configuration and security database, and a peer that never answers.

#include <ibase.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QElapsedTimer>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Creates an empty database at `path` with the embedded engine; on failure says why.
inline QString createDatabase(const QString& path, int pageSize = 4096)
{
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    const QByteArray sql = "CREATE DATABASE '" + path.toUtf8() + "' USER 'SYSDBA' PAGE_SIZE " +
                           QByteArray::number(pageSize);
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), 3, nullptr)) {
        char text[512];
        const ISC_STATUS* vector = status;
        QString why;
        while (fb_interpret(text, sizeof text, &vector) > 0)
            why += QString::fromLocal8Bit(text) + QLatin1Char(' ');
        return why.isEmpty() ? QStringLiteral("create failed") : why;
    }
    isc_detach_database(status, &db);
    return QString();
}

// The folder the Debian packages put the engine's plugins, messages and character sets in.
inline QString firebirdRoot()
{
    const QDir lib(QStringLiteral("/usr/lib"));
    for (const QString& arch : lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString root = lib.filePath(arch + QStringLiteral("/firebird/3.0"));
        if (QFileInfo::exists(root + QStringLiteral("/plugins/libEngine12.so")))
            return root;
    }
    return QString();
}

// Lays out a Firebird root folder of its own at `folder`: the installed plugins, messages and
// character sets, and a firebird.conf with `configuration`. Empty on success, else why not.
inline QString layOutFirebirdRoot(const QString& folder, const QString& configuration)
{
    const QString system = firebirdRoot();
    if (system.isEmpty())
        return QStringLiteral("no Firebird engine installed (firebird3.0-server-core)");
    QDir root(folder);
    if (!root.mkpath(QStringLiteral("lock")))
        return QStringLiteral("cannot lay out ") + folder;
    for (const char* entry : {"plugins", "intl", "lib", "UDF", "firebird.msg", "plugins.conf"})
        QFile::link(system + QLatin1Char('/') + QLatin1String(entry),
                    root.filePath(QLatin1String(entry)));
    QFile conf(root.filePath(QStringLiteral("firebird.conf")));
    if (!conf.open(QIODevice::WriteOnly) || conf.write(configuration.toUtf8()) < 0)
        return QStringLiteral("cannot write firebird.conf");
    QFile databases(root.filePath(QStringLiteral("databases.conf")));
    if (!databases.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write databases.conf");
    return QString();
}

inline int freeLocalPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// Points the client library at a configuration of our own in `folder` (it is read at the
// library's first use), so that no other server on the machine takes part: "local server"
// attaches go to `port`. Returns an error text, empty on success.
inline QString usePrivateClient(const QString& folder, int port)
{
    const QString laidOut =
        layOutFirebirdRoot(folder, QStringLiteral("RemoteServicePort = %1\n").arg(port));
    if (!laidOut.isEmpty())
        return laidOut;
    qputenv("FIREBIRD", QFile::encodeName(folder));
    qputenv("FIREBIRD_LOCK", QFile::encodeName(folder + QStringLiteral("/lock")));
    qunsetenv("ISC_USER");
    qunsetenv("ISC_PASSWORD");
    return QString();
}

// A Firebird server of its own: bound to 127.0.0.1 on a private port, with its own
// configuration, lock folder and security database holding a known SYSDBA password.
class PrivateFirebirdServer
{
public:
    static QString password() { return QStringLiteral("Calvex-7-Test"); }

    PrivateFirebirdServer(const QString& folder, int port) : m_root(folder), m_port(port) {}
    ~PrivateFirebirdServer() { stop(); }

    int port() const { return m_port; }

    // Sets everything up and starts the server; on failure returns why, with nothing left running.
    QString start()
    {
        const QString server = QStringLiteral("/usr/sbin/firebird");
        const QString script = QStringLiteral("/usr/share/firebird/3.0/security.sql");
        if (!QFileInfo(server).isExecutable() || !QFileInfo::exists(script))
            return QStringLiteral("no Firebird server installed (firebird3.0-server)");
        const QDir root(m_root);
        const QString security = root.filePath(QStringLiteral("security3.fdb"));
        const QString laidOut = layOutFirebirdRoot(
            m_root, QStringLiteral("RemoteServicePort = %1\nRemoteBindAddress = 127.0.0.1\n"
                                   "SecurityDatabase = %2\nServerMode = Super\nUdfAccess = None\n")
                        .arg(m_port)
                        .arg(security));
        if (!laidOut.isEmpty())
            return laidOut;

        // The security database, made with the embedded engine under the private configuration.
        const QString made = isql(QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA';\n"
                                                 "INPUT '%2';\nCOMMIT;\n")
                                      .arg(security, script),
                                  QString());
        if (!made.isEmpty())
            return QStringLiteral("cannot create the security database: ") + made;
        const QString user = isql(QStringLiteral("CREATE OR ALTER USER SYSDBA PASSWORD '%1' "
                                                 "USING PLUGIN Srp;\nCOMMIT;\n")
                                      .arg(password()),
                                  security);
        if (!user.isEmpty())
            return QStringLiteral("cannot set the SYSDBA password: ") + user;

        m_server.setProcessEnvironment(environment());
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(server, {});
        if (!m_server.waitForStarted(5000))
            return QStringLiteral("the server did not start: ") + m_server.errorString();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 15000) {
            if (m_server.state() != QProcess::Running)
                return QStringLiteral("the server ended at once: ") +
                       QString::fromLocal8Bit(m_server.readAll());
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, quint16(m_port));
            if (socket.waitForConnected(500))
                return QString();
            QThread::msleep(100);
        }
        stop();
        return QStringLiteral("the server did not listen on port %1").arg(m_port);
    }

    void stop()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        if (!m_server.waitForFinished(3000)) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
    }

private:
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FIREBIRD"), m_root);
        env.insert(QStringLiteral("FIREBIRD_LOCK"), m_root + QStringLiteral("/lock"));
        env.remove(QStringLiteral("ISC_USER"));
        env.remove(QStringLiteral("ISC_PASSWORD"));
        return env;
    }

    // Runs an isql script in embedded mode; returns its complaint, empty on success.
    QString isql(const QString& input, const QString& database) const
    {
        QProcess tool;
        tool.setProcessEnvironment(environment());
        tool.setProcessChannelMode(QProcess::MergedChannels);
        QStringList args{QStringLiteral("-q"), QStringLiteral("-b")};
        if (!database.isEmpty())
            args << QStringLiteral("-user") << QStringLiteral("SYSDBA") << database;
        tool.start(QStringLiteral("isql-fb"), args);
        if (!tool.waitForStarted(5000))
            return QStringLiteral("isql-fb (firebird3.0-utils) did not start");
        tool.write(input.toUtf8());
        tool.closeWriteChannel();
        if (!tool.waitForFinished(60000)) {
            tool.kill();
            tool.waitForFinished();
            return QStringLiteral("isql-fb did not finish");
        }
        const QString output = QString::fromLocal8Bit(tool.readAll()).trimmed();
        if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
            return output.isEmpty() ? QStringLiteral("isql-fb failed") : output;
        return QString();
    }

    QString m_root;
    int m_port = 0;
    QProcess m_server;
};

// A socket on 127.0.0.1 that listens but never accepts or answers: the kernel completes the
// connection, and the peer then waits for a reply that never comes.
class SilentPeer
{
public:
    SilentPeer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        socklen_t size = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_fd, 8) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        m_port = ntohs(address.sin_port);
    }
    ~SilentPeer()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};
