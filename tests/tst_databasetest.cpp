// "Test GDB": each alias is opened for real with the Firebird client library.
#include "FirebirdFixture.h"

#include "AliasEngine.h"
#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "DatabaseTestDialog.h"
#include "FileAliasEngine.h"
#include "Keys.h"
#include "QtServices.h"
#include "SettingsFile.h"
#include "Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QTableWidget>

#include <memory>

namespace {

constexpr int AttachTimeout = 5;

std::unique_ptr<DatabaseTestDialog> openDialog(const QList<AliasConnection>& targets,
                                               int timeout = AttachTimeout)
{
    auto dialog = std::make_unique<DatabaseTestDialog>(
        targets, [] { return makeFirebirdProbe(); }, nullptr, timeout);
    dialog->show();
    return dialog;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An attach that hangs where the client's own time-out does not reach (a stalled disk): the
// probe blocks until released.
class StalledProbe : public DatabaseProbe
{
public:
    explicit StalledProbe(QSemaphore* release) : m_release(release) {}
    ProbeResult probe(const QString&, const QString&, const QString&, int) override
    {
        m_release->acquire();
        ProbeResult late;
        late.ok = true;
        return late;
    }

private:
    QSemaphore* m_release;
};

// Records what the bottom bar looked like at each of Apply's pauses.
class RecordingPause : public Pause
{
public:
    explicit RecordingPause(const QWidget* watched) : m_watched(watched) {}
    void pause(int) override { enabled.append(m_watched->isEnabled()); }
    QList<bool> enabled;

private:
    const QWidget* m_watched;
};

class RecordingBoxes : public MessageBoxes
{
public:
    void error(QWidget*, const QString& text) override { shown.append(text); }
    void information(QWidget*, const QString& text) override { shown.append(text); }
    void applicationError(QWidget*, const QString& text) override { shown.append(text); }
    QStringList shown;
};

// Answers each password question that opens while a test runs, and counts them.
class PasswordAnswerer : public QObject
{
public:
    PasswordAnswerer(std::optional<QString> answer) : m_answer(std::move(answer))
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* question = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!question)
                return;
            ++asked;
            echo = question->textEchoMode();
            if (m_answer) {
                question->setTextValue(*m_answer);
                question->accept();
            } else {
                question->reject();
            }
        });
        m_timer.start();
    }
    int asked = 0;
    QLineEdit::EchoMode echo = QLineEdit::Normal;

private:
    std::optional<QString> m_answer;
    QTimer m_timer;
};

} // namespace

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
        QCOMPARE(layOutFirebirdRoot(m_client.path(),
                                    QStringLiteral("RemoteServicePort = %1\n").arg(m_port)),
                 QString());
        qputenv("FIREBIRD", QFile::encodeName(m_client.path()));
        qputenv("FIREBIRD_LOCK", QFile::encodeName(m_client.filePath(QStringLiteral("lock"))));
        qunsetenv("ISC_USER");
        qunsetenv("ISC_PASSWORD");
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

    void shouldTestTheFiveAliasesOfTheWindowAsTheyStand_data()
    {
        QTest::addColumn<bool>("production");
        QTest::newRow("production set") << true;
        QTest::newRow("training set") << false;
    }
    void shouldTestTheFiveAliasesOfTheWindowAsTheyStand()
    {
        QFETCH(bool, production);
        const QDir dir(m_dir->path());
        QVERIFY(dir.mkpath(QStringLiteral("Db")));
        for (const char* name : {"POSAPP", "POSHIS", "POSSTK", "POSSYS", "TRAINAPP", "TRAINHIS",
                                 "TRAINSTK", "TRAINSYS", "ZorvTmp"})
            QCOMPARE(createDatabase(dir.filePath(QStringLiteral("Db/%1.FDB").arg(QLatin1String(name)))),
                     QString());
        const QString db = dir.filePath(QStringLiteral("Db/"));
        const QByteArray ini =
            QStringLiteral("[DATABASE]\r\nDATABASE_SERVER=LOCAL\r\nDEFAULT=%1\r\nDEFAULT_SERVER=%1\r\n"
                           "POS_PATH=%2\r\nPOSAPP_FILE=%2POSAPP.FDB\r\nPOSHIS_FILE=%2POSHIS.FDB\r\n"
                           "POSSTK_FILE=%2POSSTK.FDB\r\nPOSSYS_FILE=%2gone.FDB\r\n"
                           "TRAINAPP_FILE=%2TRAINAPP.FDB\r\nTRAINHIS_FILE=%2TRAINHIS.FDB\r\n"
                           "TRAINSTK_FILE=%2TRAINSTK.FDB\r\nTRAINSYS_FILE=%2gone.FDB\r\n"
                           "POSTMP_FILE=%2ZorvTmp.FDB\r\n")
                .arg(production ? QStringLiteral("C") : QStringLiteral("T"), db)
                .toLatin1();
        const QString iniPath = dir.filePath(QStringLiteral("Register.ini"));
        {
            QFile file(iniPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(ini);
        }
        QtMessageBoxes boxes;
        QtFolderPicker folders;
        QtFilePicker files;
        QtPause pause;
        SystemClock clock;
        auto window = std::make_unique<TfrmConfigTools>(dir.filePath(QStringLiteral("calvex")),
                                                        Services{&boxes, &folders, &files, &pause, &clock});
        window->show();
        auto* button = window->findChild<QPushButton*>(QStringLiteral("btnTestGDB"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("Test GDB"));
        QCOMPARE(button->geometry(), QRect(819, 8, 75, 25));
        QCOMPARE(button->parentWidget()->objectName(), QStringLiteral("Panel2"));
        QVERIFY(button->isEnabled());
        // Follows OK: whatever disables OK (Apply does) disables the test too.
        window->BitBtn2->setEnabled(false);
        QVERIFY(!button->isEnabled());
        window->BitBtn2->setEnabled(true);
        QVERIFY(button->isEnabled());

        // The system file keyed in the window, not yet stored, is the one tested.
        QLineEdit* system = production ? window->databasePage->edtPosSys
                                       : window->databasePage->edtTrainSys;
        system->setText(db + (production ? QStringLiteral("POSSYS.FDB") : QStringLiteral("TRAINSYS.FDB")));
        const QByteArray stored = fileBytes(iniPath);

        DatabaseTestDialog* dialog = nullptr;
        QTimer::singleShot(0, this, [&] {
            dialog = qobject_cast<DatabaseTestDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            QTRY_VERIFY_WITH_TIMEOUT(dialog->isFinished(), 30000);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Test GDB"));
            const QString set = production ? QStringLiteral("POS") : QStringLiteral("TRAIN");
            const QStringList files{set + "SYS", set + "HIS", set + "APP", set + "STK"};
            const QList<AliasConnection>& targets = dialog->run().targets();
            QCOMPARE(targets.size(), 5);
            for (int i = 0; i < 4; ++i)
                QCOMPARE(targets.at(i).connection, db + files.at(i) + QStringLiteral(".FDB"));
            QCOMPARE(targets.at(4).alias, QStringLiteral("POSTMP"));
            QCOMPARE(targets.at(4).connection, db + QStringLiteral("ZorvTmp.FDB"));
            for (int i = 0; i < 5; ++i)
                QVERIFY2(dialog->resultText(i).startsWith(QLatin1String("OK: ODS 12.0")),
                         qPrintable(dialog->resultText(i)));
            dialog->findChild<QPushButton*>(QStringLiteral("button"))->click();
        });
        button->click();
        QVERIFY(dialog);
        QVERIFY(!dialog || !dialog->isVisible());
        QCOMPARE(fileBytes(iniPath), stored);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("DbAliases.cfg"))));
        window->close();
    }

    // The strings tested are the strings the database stage registers, for every mode and set.
    void shouldFormTheStringsTheDatabaseStageRegisters_data()
    {
        QTest::addColumn<bool>("standalone");
        QTest::addColumn<bool>("production");
        QTest::newRow("standalone, production") << true << true;
        QTest::newRow("standalone, training") << true << false;
        QTest::newRow("client, production") << false << true;
        QTest::newRow("client, training") << false << false;
    }
    void shouldFormTheStringsTheDatabaseStageRegisters()
    {
        QFETCH(bool, standalone);
        QFETCH(bool, production);
        const QDir dir(m_dir->path());
        QtMessageBoxes boxes;
        const Services services{&boxes, nullptr, nullptr, nullptr, nullptr};
        DatabasePage page(services);
        page.cbServer->setCurrentIndex(standalone ? 0 : 1);
        page.rgDatabase->setItemIndex(production ? 0 : 1);
        page.edtServerName->setText(QStringLiteral("DBHOST/3051"));
        QLineEdit* const fields[] = {page.edtPosApp,    page.edtPosHis,    page.edtPosStk,
                                     page.edtPosSys,    page.edtTrainApp,  page.edtTrainHis,
                                     page.edtTrainStk,  page.edtTrainSys,  page.edtPosAppR,
                                     page.edtPosHisR,   page.edtPosStkR,   page.edtPosSysR,
                                     page.edtTrainAppR, page.edtTrainHisR, page.edtTrainStkR,
                                     page.edtTrainSysR};
        int n = 0;
        for (QLineEdit* field : fields) {
            const QString file = dir.filePath(QStringLiteral("f%1.FDB").arg(n++));
            QVERIFY(QFile(file).open(QIODevice::WriteOnly));
            field->setText(field->objectName().endsWith(QLatin1Char('R'))
                               ? QStringLiteral(":/srv/pos/") + field->objectName()
                               : file);
        }
        page.edtPosTmp->setText(dir.filePath(QStringLiteral("f0.FDB")));

        const QList<AliasConnection> tested = page.aliasConnections();
        SettingsFile* settings = SettingsFile::open(dir.filePath(QStringLiteral("Register.ini")));
        {
            FileAliasEngine engine(dir.filePath(QStringLiteral("DbAliases.cfg")));
            page.bbtnDatabaseClick(*settings, engine);
        }
        settings->release();

        QCOMPARE(tested.size(), 5);
        const QStringList order{"POSSYS", "POSHIS", "POSAPP", "POSSTK", "POSTMP"};
        const QStringList lines = QString::fromLatin1(fileBytes(dir.filePath(QStringLiteral("DbAliases.cfg"))))
                                      .split(QRegularExpression(QStringLiteral("\\r?\\n")));
        auto parametersOf = [&](const QString& alias) {
            QStringList found;
            bool inside = false;
            for (const QString& line : lines) {
                if (line.startsWith(QLatin1Char('[')))
                    inside = line == QLatin1Char('[') + alias + QLatin1Char(']');
                else if (inside)
                    found.append(line);
            }
            return found;
        };
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(tested.at(i).alias, order.at(i));
            QVERIFY(!tested.at(i).connection.isEmpty());
            const QStringList registered = parametersOf(order.at(i));
            QVERIFY2(registered.contains(QStringLiteral("SERVER NAME=") + tested.at(i).connection),
                     qPrintable(registered.join(QLatin1Char('|')) + QStringLiteral(" vs ") +
                                tested.at(i).connection));
        }
        if (!standalone)
            QVERIFY(tested.at(0).connection.startsWith(QLatin1String("DBHOST/3051:/srv/pos/")));
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

    void shouldBeDisabledWhileApplyRuns()
    {
        const QDir dir(m_dir->path());
        for (const char* folder : {"Db", "Purge", "Report/Analysis", "Report/Form", "Report/Journal",
                                   "Report/Listing", "Report/Misc"})
            QVERIFY(dir.mkpath(QLatin1String(folder)));
        for (const char* name : {"POSAPP", "POSHIS", "POSSTK", "POSSYS"})
            QVERIFY(QFile(dir.filePath(QStringLiteral("Db/%1.FDB").arg(QLatin1String(name))))
                        .open(QIODevice::WriteOnly));
        QVERIFY(QFile(dir.filePath(QStringLiteral("Tmp.FDB"))).open(QIODevice::WriteOnly));
        const QString d = dir.path();
        const QByteArray ini =
            QStringLiteral("[DATABASE]\r\nDATABASE_SERVER=LOCAL\r\nDEFAULT=C\r\nDEFAULT_SERVER=C\r\n"
                           "POSAPP_FILE=%1/Db/POSAPP.FDB\r\nPOSHIS_FILE=%1/Db/POSHIS.FDB\r\n"
                           "POSSTK_FILE=%1/Db/POSSTK.FDB\r\nPOSSYS_FILE=%1/Db/POSSYS.FDB\r\n"
                           "POS_PURGE_PATH=%1/Purge\r\nPOSTMP_FILE=%1/Tmp.FDB\r\nSTOCK_PHOTO_PATH=\r\n"
                           "[REPORT]\r\nANALYSIS=%1/Report/Analysis\r\nFORM=%1/Report/Form\r\n"
                           "JOURNAL=%1/Report/Journal\r\nLISTING=%1/Report/Listing\r\n"
                           "MISC=%1/Report/Misc\r\n")
                .arg(d)
                .toLatin1();
        {
            QFile file(dir.filePath(QStringLiteral("Register.ini")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(ini);
        }
        RecordingBoxes boxes;
        QWidget placeholder;
        RecordingPause pause(&placeholder);
        SystemClock clock;
        auto window = std::make_unique<TfrmConfigTools>(dir.filePath(QStringLiteral("calvex")),
                                                        Services{&boxes, nullptr, nullptr, &pause, &clock});
        auto* button = window->findChild<QPushButton*>(QStringLiteral("btnTestGDB"));
        pause = RecordingPause(button);
        QVERIFY(button->isEnabled());
        window->bbtnApplyClick();
        QCOMPARE(boxes.shown, QStringList{QStringLiteral("Calvex Update Completed.")});
        QCOMPARE(pause.enabled, (QList<bool>{false, false, false, false}));
        QVERIFY(button->isEnabled());
    }

private:
    QTemporaryDir m_client;
    int m_port = 0;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestDatabaseTest)
#include "tst_databasetest.moc"
