// "Test GDB" in the main window: the button, the five aliases as they stand in the window, the
// same strings as the database stage, and the button while Apply runs.
#include "FirebirdFixture.h"
#include "DatabaseTestHelpers.h"

#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "FileAliasEngine.h"
#include "QtServices.h"
#include "SettingsFile.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestDatabaseTestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The client library takes its configuration from FIREBIRD, read at its first use: in a
        // configuration of our own no local server answers, wherever the test runs.
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

QTEST_MAIN(TestDatabaseTestWindow)
#include "tst_databasetest_window.moc"
