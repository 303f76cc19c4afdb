// "Test GDB" on real Firebird: local files by the embedded engine, a private server on
// 127.0.0.1, a peer that never answers, and an attach that hangs.
#include "FirebirdFixture.h"
#include "DatabaseTestHelpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

class TestDatabaseTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The client library takes its configuration from FIREBIRD, read at its first use: a
        // configuration of our own sends "local server" attaches to the port of the server
        // this test starts, so no other server on the machine takes part.
        QVERIFY(m_client.isValid());
        m_port = freeLocalPort();
        QVERIFY(m_port > 0);
        QCOMPARE(usePrivateClient(m_client.path(), m_port), QString());
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup()
    {
        // An abandoned attach ends by itself within its time-out.
        QTRY_COMPARE_WITH_TIMEOUT(DatabaseTestRun::workerThreads(), 0, (AttachTimeout + 5) * 1000);
        m_dir.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void shouldReportWhatEachLocalFileIs_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("database") << "database" << true
                                  << QStringList{"ODS 12.0", "page size 4096", "Firebird 3.0",
                                                 "embedded engine"};
        QTest::newRow("missing file") << "missing" << false
                                      << QStringList{"I/O error during \"open\" operation",
                                                     "No such file or directory"};
        QTest::newRow("not a database") << "junk" << false
                                        << QStringList{"is not a valid database"};
        QTest::newRow("empty file") << "empty" << false
                                    << QStringList{"I/O error during \"read\" operation"};
        QTest::newRow("folder") << "folder" << false << QStringList{"I/O error"};
        QTest::newRow("no database set") << "unset" << false << QStringList{"no database set"};
    }
    void shouldReportWhatEachLocalFileIs()
    {
        QFETCH(QString, kind);
        QFETCH(bool, ok);
        QFETCH(QStringList, expected);
        QString path = m_dir->filePath(QStringLiteral("POSSYS.FDB"));
        if (kind == QLatin1String("database")) {
            QCOMPARE(createDatabase(path), QString());
        } else if (kind == QLatin1String("junk")) {
            QFile junk(path);
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write(QByteArray(64 * 1024, 'x'));
        } else if (kind == QLatin1String("empty")) {
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("unset")) {
            path.clear();
        }
        const QByteArray before = fileBytes(path);

        PasswordAnswerer answerer(QStringLiteral("unused"));
        auto dialog = openDialog({{QStringLiteral("POSSYS"), path}});
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isFinished(), 15000);
        QCOMPARE(answerer.asked, 0); // the embedded engine asks for no password
        const QString result = dialog->resultText(0);
        QCOMPARE(result.startsWith(QLatin1String("OK")), ok);
        for (const QString& part : expected)
            QVERIFY2(result.contains(part), qPrintable(result));
        if (kind != QLatin1String("database") && kind != QLatin1String("folder"))
            QCOMPARE(fileBytes(path), before); // a file that is not a database stays as it was
        auto* results = dialog->findChild<QTableWidget*>(QStringLiteral("results"));
        QCOMPARE(results->item(0, 1)->text(), path);
    }

    void shouldOpenDatabasesOnARealServer()
    {
        PrivateFirebirdServer server(m_dir->filePath(QStringLiteral("server")), m_port);
        const QString why = server.start();
        if (!why.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private Firebird server here: ") + why));
        const QString file = m_dir->filePath(QStringLiteral("POSSYS.FDB"));
        QCOMPARE(createDatabase(file), QString());
        const QString host = QStringLiteral("127.0.0.1/%1:").arg(server.port());
        QString windows = file;
        windows.replace(QLatin1Char('/'), QLatin1Char('\\'));
        const QList<AliasConnection> targets{
            {QStringLiteral("POSSYS"), host + file},
            {QStringLiteral("POSHIS"), host + windows},
            {QStringLiteral("POSAPP"), host + m_dir->filePath(QStringLiteral("gone.FDB"))},
            {QStringLiteral("POSSTK"), QString()},
            {QStringLiteral("POSTMP"), file}};

        {
            // The server wants a password: it is asked once and serves the whole test.
            PasswordAnswerer answerer(PrivateFirebirdServer::password());
            auto dialog = openDialog(targets);
            QTRY_VERIFY_WITH_TIMEOUT(dialog->isFinished(), 30000);
            QCOMPARE(answerer.asked, 1);
            QCOMPARE(answerer.echo, QLineEdit::Password);
            QVERIFY2(dialog->resultText(0).startsWith(QLatin1String("OK: ODS 12.0, page size 4096, server ")),
                     qPrintable(dialog->resultText(0)));
            QVERIFY(dialog->resultText(0).contains(QLatin1String("over the network")));
            QVERIFY2(dialog->resultText(1).contains(QLatin1String("I/O error")),
                     qPrintable(dialog->resultText(1)));
            QVERIFY2(dialog->resultText(2).contains(QLatin1String("No such file or directory")),
                     qPrintable(dialog->resultText(2)));
            QCOMPARE(dialog->resultText(3), QStringLiteral("no database set"));
            // A local file goes through the local server when one runs.
            QVERIFY2(dialog->resultText(4).startsWith(QLatin1String("OK: ODS 12.0")),
                     qPrintable(dialog->resultText(4)));
            QVERIFY(dialog->resultText(4).contains(QLatin1String("through the local server")));
        }
        {
            PasswordAnswerer answerer(QStringLiteral("not-the-password"));
            auto dialog = openDialog(targets.mid(0, 2));
            QTRY_VERIFY_WITH_TIMEOUT(dialog->isFinished(), 30000);
            QCOMPARE(answerer.asked, 1);
            for (int row = 0; row < 2; ++row)
                QVERIFY2(dialog->resultText(row).contains(
                             QLatin1String("Your user name and password are not defined")),
                         qPrintable(dialog->resultText(row)));
        }
        {
            PasswordAnswerer answerer(std::nullopt); // the technician declines
            auto dialog = openDialog(targets.mid(0, 1));
            QTRY_VERIFY_WITH_TIMEOUT(dialog->isFinished(), 30000);
            QCOMPARE(answerer.asked, 1);
            QVERIFY(dialog->resultText(0).contains(QLatin1String("password")));
        }
        server.stop();
        // With the server gone, the client's own network error.
        auto dialog = openDialog(targets.mid(0, 1));
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isFinished(), 30000);
        QVERIFY2(dialog->resultText(0).contains(QLatin1String("Unable to complete network request")),
                 qPrintable(dialog->resultText(0)));
    }

    void shouldStayResponsiveAndCancelDuringASlowAttach()
    {
        SilentPeer peer;
        QVERIFY(peer.port() > 0);
        const QString silent = QStringLiteral("127.0.0.1/%1:/srv/pos/POSSYS.FDB").arg(peer.port());
        auto dialog = openDialog({{QStringLiteral("POSSYS"), silent},
                                  {QStringLiteral("POSHIS"), silent}});
        QTRY_COMPARE(dialog->resultText(0), QStringLiteral("testing ..."));
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(50);
        QTest::qWait(1000);
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QVERIFY(!dialog->isFinished());

        QElapsedTimer clock;
        clock.start();
        auto* button = dialog->findChild<QPushButton*>(QStringLiteral("button"));
        QCOMPARE(button->text(), QStringLiteral("Cancel"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(dialog->isFinished());
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(dialog->resultText(0), QStringLiteral("cancelled"));
        QCOMPARE(dialog->resultText(1), QStringLiteral("cancelled"));
        QCOMPARE(button->text(), QStringLiteral("Close"));
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    }

    void shouldGiveUpOnAPeerThatNeverAnswers()
    {
        SilentPeer peer;
        QVERIFY(peer.port() > 0);
        auto dialog = openDialog(
            {{QStringLiteral("POSSYS"), QStringLiteral("127.0.0.1/%1:/srv/POSSYS.FDB").arg(peer.port())},
             {QStringLiteral("POSTMP"), QString()}},
            2);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isFinished(), 10000);
        const QString result = dialog->resultText(0);
        QVERIFY2(!result.startsWith(QLatin1String("OK")) && !result.isEmpty() &&
                     result != QLatin1String("testing ..."),
                 qPrintable(result));
        QCOMPARE(dialog->resultText(1), QStringLiteral("no database set"));
    }

    void shouldMoveOnWhenAnAttachHangsBeyondItsTimeOut()
    {
        QSemaphore release;
        auto dialog = std::make_unique<DatabaseTestDialog>(
            QList<AliasConnection>{{QStringLiteral("POSSYS"), QStringLiteral("/stalled/POSSYS.FDB")},
                                   {QStringLiteral("POSHIS"), QStringLiteral("/stalled/POSHIS.FDB")}},
            [&release] { return std::make_unique<StalledProbe>(&release); }, nullptr, 1);
        dialog->show();
        // The watchdog gives the attach its time-out and five seconds more, then moves on.
        QTRY_COMPARE_WITH_TIMEOUT(dialog->resultText(0), QStringLiteral("No answer within 6 seconds."),
                                  10000);
        QCOMPARE(dialog->resultText(1), QStringLiteral("testing ..."));
        QCOMPARE(DatabaseTestRun::workerThreads(), 2); // the stalled one is left behind
        release.release(); // the abandoned attach returns: its answer is ignored
        QTRY_COMPARE_WITH_TIMEOUT(DatabaseTestRun::workerThreads(), 1, 5000);
        QCOMPARE(dialog->resultText(0), QStringLiteral("No answer within 6 seconds."));
        release.release();
        QTRY_VERIFY(dialog->isFinished());
        QVERIFY(dialog->resultText(1).startsWith(QLatin1String("OK")));
    }

private:
    QTemporaryDir m_client;
    int m_port = 0;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestDatabaseTest)
#include "tst_databasetest.moc"
