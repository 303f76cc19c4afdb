#include "Errors.h"
#include "FileAliasEngine.h"
#include "Keys.h"
#include "SettingsHandle.h"
#include "TestFiles.h"
#include "dlg_ArchiveGDB.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray golden(const QString& name)
{
    return readAll(testDataPath(QStringLiteral("archive/") + name));
}

QString registrationError(AliasEngine& engine, const ArchiveSettings& settings,
                          const QString& entry)
{
    try {
        registerArchiveAliases(engine, settings, archiveTargets(settings, entry));
    } catch (const CalvexError& error) {
        return error.message();
    }
    return QString();
}

// Every key the archive settings could read holds its own name, so a result names its source.
const char* const NamedKeys[] = {
    Key::SERVER_NAME,      Key::ZORVSTK_SERVER,    Key::ZORVHIS_SERVER,   Key::TRAINSTK_SERVER,
    Key::TRAINHIS_SERVER,  Key::ZORVSTK_FILE,      Key::ZORVHIS_FILE,     Key::TRAINSTK_FILE,
    Key::TRAINHIS_FILE,    Key::ZORV_PATH,         Key::ZORV_PATH_R,      Key::TRAIN_PATH,
    Key::TRAIN_PATH_R,     Key::ZORV_PURGE_PATH,   Key::ZORV_PURGE_PATH_R, Key::TRAIN_PURGE_PATH,
    Key::TRAIN_PURGE_PATH_R};

} // namespace

class tst_Archive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void shouldLoadSettingsOfSelectedSet_data();
    void shouldLoadSettingsOfSelectedSet();
    void shouldPointAtYearOrStoredDatabases_data();
    void shouldPointAtYearOrStoredDatabases();
    void shouldWriteAliasesPerUser_data();
    void shouldWriteAliasesPerUser();
    void shouldRefuseMissingFileInStandaloneMode_data();
    void shouldRefuseMissingFileInStandaloneMode();

private:
    // Loads the archive settings from a Register.ini with the named keys and `values`.
    ArchiveSettings load(const QList<QPair<const char*, QString>>& values, bool namedKeys = true);
    // The settings the registration tests start from, tested files under the purge folder.
    ArchiveSettings registrationSettings(const QString& mode, const QString& osServer,
                                         const QString& databaseFolder) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_purge;
    QString m_aliases;
};

void tst_Archive::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_purge = m_dir->filePath(QStringLiteral("purge"));
    QVERIFY(QDir().mkpath(m_purge));
    m_aliases = m_dir->filePath(QStringLiteral("DbAliases.cfg"));
}

ArchiveSettings tst_Archive::load(const QList<QPair<const char*, QString>>& values, bool namedKeys)
{
    QByteArray ini = "[DATABASE]\r\n";
    if (namedKeys) {
        for (const char* key : NamedKeys)
            ini += QByteArray(key) + '=' + key + "\r\n";
    }
    for (const auto& [key, value] : values) {
        if (!value.isNull())
            ini += QByteArray(key) + '=' + value.toLocal8Bit() + "\r\n";
    }
    const QString path = m_dir->filePath(QStringLiteral("Register.ini"));
    if (!writeAll(path, ini))
        qFatal("cannot write %s", qPrintable(path));
    const SettingsHandle settings = openSettings(path);
    return ArchiveSettings::load(*settings);
}

ArchiveSettings tst_Archive::registrationSettings(const QString& mode, const QString& osServer,
                                                  const QString& databaseFolder) const
{
    ArchiveSettings a;
    a.production = true;
    a.mode = mode;
    a.osServer = osServer;
    a.serverName = QStringLiteral("dbhost");
    a.stockConnection = QStringLiteral("/pos/Zorv/ZorvStk.gdb");
    a.historyConnection = QStringLiteral("/pos/Zorv/ZorvHis.gdb");
    a.stockFile = m_purge + QStringLiteral("/ZorvStk.gdb");
    a.historyFile = m_purge + QStringLiteral("/ZorvHis.gdb");
    a.databaseFolder = databaseFolder;
    a.purgeFolder = m_purge;
    return a;
}

void tst_Archive::shouldLoadSettingsOfSelectedSet_data()
{
    QTest::addColumn<bool>("namedKeys");
    QTest::addColumn<QString>("defaultServer"); // a null text: the key is absent
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("osServer");
    QTest::addColumn<bool>("production");
    // mode, OS, server, stock/history connection, stock/history file, database/purge folder
    QTest::addColumn<QStringList>("loaded");

    const QStringList production{"SERVER_NAME", "ZORVSTK_SERVER", "ZORVHIS_SERVER",
                                 "ZORVSTK_FILE", "ZORVHIS_FILE"};
    const QStringList training{"SERVER_NAME", "TRAINSTK_SERVER", "TRAINHIS_SERVER",
                               "TRAINSTK_FILE", "TRAINHIS_FILE"};
    const QStringList zorvLocal{"ZORV_PATH", "ZORV_PURGE_PATH"};
    const QStringList zorvRemote{"ZORV_PATH_R", "ZORV_PURGE_PATH_R"};
    const QStringList trainLocal{"TRAIN_PATH", "TRAIN_PURGE_PATH"};
    const QStringList trainRemote{"TRAIN_PATH_R", "TRAIN_PURGE_PATH_R"};
    const QString absent;

    QTest::newRow("production, standalone") << true << "C" << "LOCAL" << "1" << true
        << QStringList{"LOCAL", "1"} + production + zorvLocal;
    QTest::newRow("production, client") << true << "C" << "REMOTE" << "1" << true
        << QStringList{"REMOTE", "1"} + production + zorvRemote;
    QTest::newRow("production, other mode reads the local folders") << true << "C" << "SERVER" << "0"
        << true << QStringList{"SERVER", "0"} + production + zorvLocal;
    QTest::newRow("production, lowercase remote is not REMOTE") << true << "C" << "remote" << "0"
        << true << QStringList{"remote", "0"} + production + zorvLocal;
    QTest::newRow("training, standalone") << true << "T" << "LOCAL" << "0" << false
        << QStringList{"LOCAL", "0"} + training + trainLocal;
    QTest::newRow("training, client") << true << "T" << "REMOTE" << "0" << false
        << QStringList{"REMOTE", "0"} + training + trainRemote;
    QTest::newRow("lowercase c is training") << true << "c" << "REMOTE" << "1" << false
        << QStringList{"REMOTE", "1"} + training + trainRemote;
    QTest::newRow("no DEFAULT_SERVER is training") << true << absent << "LOCAL" << "1" << false
        << QStringList{"LOCAL", "1"} + training + trainLocal;
    QTest::newRow("no OS_SERVER reads 0") << true << "C" << "REMOTE" << absent << true
        << QStringList{"REMOTE", "0"} + production + zorvRemote;
    QTest::newRow("empty OS_SERVER stays empty") << true << "C" << "REMOTE" << "" << true
        << QStringList{"REMOTE", ""} + production + zorvRemote;
    QTest::newRow("missing keys read empty") << false << "C" << absent << absent << true
        << QStringList{"", "0", "", "", "", "", "", "", ""};
}

void tst_Archive::shouldLoadSettingsOfSelectedSet()
{
    QFETCH(bool, namedKeys);
    QFETCH(QString, defaultServer);
    QFETCH(QString, mode);
    QFETCH(QString, osServer);
    QFETCH(bool, production);
    QFETCH(QStringList, loaded);

    const ArchiveSettings a = load({{Key::DEFAULT_SERVER, defaultServer},
                                    {Key::DATABASE_SERVER, mode},
                                    {Key::OS_SERVER, osServer}},
                                   namedKeys);
    QCOMPARE(a.production, production);
    QCOMPARE((QStringList{a.mode, a.osServer, a.serverName, a.stockConnection, a.historyConnection,
                          a.stockFile, a.historyFile, a.databaseFolder, a.purgeFolder}),
             loaded);
}

void tst_Archive::shouldPointAtYearOrStoredDatabases_data()
{
    QTest::addColumn<QString>("defaultServer");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("osServer");
    QTest::addColumn<QString>("entry");
    // stock connection, history connection, stock file tested, history file tested
    QTest::addColumn<QStringList>("targets");

    const QString year = QStringLiteral("2024 Archive GDB");
    const QString def = QStringLiteral("Default GDB");
    const QStringList none{"", "", "", ""};
    auto local = [](const QString& folder, const QString& purge) {
        return QStringList{folder + "/2024/ZorvStk.gdb", folder + "/2024/ZorvHis.gdb",
                           purge + "/2024/ZorvStk.gdb", purge + "/2024/ZorvHis.gdb"};
    };
    auto remote = [](const QString& folder, const QString& d, const QString& purge) {
        const QString at = "SERVER_NAME:" + folder + d + "2024" + d;
        return QStringList{at + "ZorvStk.gdb", at + "ZorvHis.gdb", purge + "/2024/ZorvStk.gdb",
                           purge + "/2024/ZorvHis.gdb"};
    };
    const QStringList zorvStored{"ZORVSTK_SERVER", "ZORVHIS_SERVER", "ZORVSTK_FILE", "ZORVHIS_FILE"};
    const QStringList trainStored{"TRAINSTK_SERVER", "TRAINHIS_SERVER", "TRAINSTK_FILE",
                                  "TRAINHIS_FILE"};

    for (const bool zorv : {true, false}) {
        const QString set = zorv ? "C" : "T";
        const QString path = zorv ? "ZORV_PATH" : "TRAIN_PATH";
        const QString purge = zorv ? "ZORV_PURGE_PATH" : "TRAIN_PURGE_PATH";
        auto row = [zorv](const char* what) -> QTestData& {
            return QTest::newRow(qPrintable(QString(zorv ? "production, " : "training, ") + what));
        };
        row("standalone, Windows server, year") << set << "LOCAL" << "0" << year << local(path, purge);
        row("standalone, Linux server, year") << set << "LOCAL" << "1" << year << local(path, purge);
        row("standalone, unknown server, year") << set << "LOCAL" << "2" << year << none;
        row("client, Windows server, year") << set << "REMOTE" << "0" << year
                                            << remote(path + "_R", "\\", purge + "_R");
        row("client, Linux server, year") << set << "REMOTE" << "1" << year
                                          << remote(path + "_R", "/", purge + "_R");
        row("client, unknown server, year") << set << "REMOTE" << "" << year << none;
        row("other mode, Windows server, year") << set << "SERVER" << "0" << year
                                                << local(path, purge);
        row("other mode, Linux server, year") << set << "SERVER" << "1" << year
                                              << local(path, purge);
        row("other mode, unknown server, year") << set << "SERVER" << "Linux" << year << none;
        row("standalone, Default GDB") << set << "LOCAL" << "0" << def
                                       << (zorv ? zorvStored : trainStored);
        row("client, unknown server, Default GDB") << set << "REMOTE" << "2" << def
                                                   << (zorv ? zorvStored : trainStored);
    }
    QTest::newRow("lowercase remote takes the local form") << "C" << "remote" << "0" << year
        << local("ZORV_PATH", "ZORV_PURGE_PATH");
    QTest::newRow("year from the first four characters") << "C" << "LOCAL" << "0" << "1999x"
        << QStringList{"ZORV_PATH/1999/ZorvStk.gdb", "ZORV_PATH/1999/ZorvHis.gdb",
                       "ZORV_PURGE_PATH/1999/ZorvStk.gdb", "ZORV_PURGE_PATH/1999/ZorvHis.gdb"};
    QTest::newRow("Default GDB matched exactly") << "C" << "LOCAL" << "0" << "default gdb"
        << QStringList{"ZORV_PATH/defa/ZorvStk.gdb", "ZORV_PATH/defa/ZorvHis.gdb",
                       "ZORV_PURGE_PATH/defa/ZorvStk.gdb", "ZORV_PURGE_PATH/defa/ZorvHis.gdb"};
}

void tst_Archive::shouldPointAtYearOrStoredDatabases()
{
    QFETCH(QString, defaultServer);
    QFETCH(QString, mode);
    QFETCH(QString, osServer);
    QFETCH(QString, entry);
    QFETCH(QStringList, targets);

    const ArchiveSettings a = load({{Key::DEFAULT_SERVER, defaultServer},
                                    {Key::DATABASE_SERVER, mode},
                                    {Key::OS_SERVER, osServer}});
    const ArchiveTargets t = archiveTargets(a, entry);
    QCOMPARE((QStringList{t.stockConnection, t.historyConnection, t.stockFile, t.historyFile}),
             targets);
}

void tst_Archive::shouldWriteAliasesPerUser_data()
{
    QTest::addColumn<QString>("before"); // empty: no configuration file yet
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("osServer");
    QTest::addColumn<QString>("databaseFolder");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("after");

    const QString year = QStringLiteral("2024 Archive GDB");
    const QStringList none;
    const QStringList yearFiles{"2024/ZorvStk.gdb", "2024/ZorvHis.gdb"};

    QTest::newRow("existing, standalone, year, no file test")
        << "existing.cfg" << "LOCAL" << "0" << "/pos/Zorv" << year << none << "repointed-local.cfg";
    QTest::newRow("existing, client, Windows server")
        << "existing.cfg" << "REMOTE" << "0" << "D:\\Zorv" << year << none << "repointed-windows.cfg";
    QTest::newRow("existing, client, Linux server")
        << "existing.cfg" << "REMOTE" << "1" << "/srv/zorv" << year << none << "repointed-linux.cfg";
    QTest::newRow("existing, back to Default GDB")
        << "existing.cfg" << "LOCAL" << "0" << "/pos/Zorv" << "Default GDB" << none
        << "repointed-default.cfg";
    QTest::newRow("existing, unknown server: only the users change")
        << "existing.cfg" << "REMOTE" << "2" << "/srv/zorv" << year << none << "users-only.cfg";
    QTest::newRow("missing, standalone, files present")
        << "" << "LOCAL" << "0" << "/pos/Zorv" << year << yearFiles << "added-local.cfg";
    QTest::newRow("missing, other mode, no file test")
        << "" << "SERVER" << "1" << "/pos/Zorv" << year << none << "added-local.cfg";
    QTest::newRow("missing, client, no file test")
        << "" << "REMOTE" << "1" << "/srv/zorv" << year << none << "added-linux.cfg";
    QTest::newRow("missing, client, unknown server: added without a server name")
        << "" << "REMOTE" << "x" << "/srv/zorv" << year << none << "added-empty.cfg";
}

void tst_Archive::shouldWriteAliasesPerUser()
{
    QFETCH(QString, before);
    QFETCH(QString, mode);
    QFETCH(QString, osServer);
    QFETCH(QString, databaseFolder);
    QFETCH(QString, entry);
    QFETCH(QStringList, present);
    QFETCH(QString, after);

    if (!before.isEmpty())
        QVERIFY(writeAll(m_aliases, golden(before)));
    QVERIFY(createEntries(m_purge, present));

    FileAliasEngine engine(m_aliases);
    QCOMPARE(registrationError(engine, registrationSettings(mode, osServer, databaseFolder), entry),
             QString());
    QCOMPARE(readAll(m_aliases), golden(after));
}

void tst_Archive::shouldRefuseMissingFileInStandaloneMode_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("osServer");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("message"); // "<purge>" stands for the purge folder
    QTest::addColumn<QString>("after");   // empty: still no configuration file

    const QString year = QStringLiteral("2024 Archive GDB");
    const QString stock = QStringLiteral("Cannot Locate Interbase Data File : Stock GDB\r\n");
    const QString history = QStringLiteral("Cannot Locate Interbase Data File : History GDB\r\n");

    QTest::newRow("stock file missing") << "" << "0" << year << QStringList{"2024/ZorvHis.gdb"}
                                        << stock + "<purge>/2024/ZorvStk.gdb" << "";
    QTest::newRow("history file missing, stock alias saved before")
        << "" << "1" << year << QStringList{"2024/ZorvStk.gdb"}
        << history + "<purge>/2024/ZorvHis.gdb" << "stock-added.cfg";
    QTest::newRow("a folder is no file")
        << "" << "0" << year << QStringList{"2024/ZorvStk.gdb/", "2024/ZorvHis.gdb"}
        << stock + "<purge>/2024/ZorvStk.gdb" << "";
    QTest::newRow("unknown server: no file name")
        << "" << "2" << year << QStringList{"2024/ZorvStk.gdb", "2024/ZorvHis.gdb"} << stock << "";
    QTest::newRow("Default GDB tests the stored files")
        << "" << "0" << "Default GDB" << QStringList{"2024/ZorvStk.gdb", "2024/ZorvHis.gdb"}
        << stock + "<purge>/ZorvStk.gdb" << "";
    QTest::newRow("existing stock alias re-pointed, history file missing")
        << "existing-stock.cfg" << "0" << year << QStringList{}
        << history + "<purge>/2024/ZorvHis.gdb" << "stock-repointed.cfg";
}

void tst_Archive::shouldRefuseMissingFileInStandaloneMode()
{
    QFETCH(QString, before);
    QFETCH(QString, osServer);
    QFETCH(QString, entry);
    QFETCH(QStringList, present);
    QFETCH(QString, message);
    QFETCH(QString, after);

    if (!before.isEmpty())
        QVERIFY(writeAll(m_aliases, golden(before)));
    QVERIFY(createEntries(m_purge, present));

    FileAliasEngine engine(m_aliases);
    QCOMPARE(registrationError(engine, registrationSettings("LOCAL", osServer, "/pos/Zorv"), entry),
             message.replace(QLatin1String("<purge>"), m_purge));
    if (after.isEmpty())
        QVERIFY(!QFile::exists(m_aliases));
    else
        QCOMPARE(readAll(m_aliases), golden(after));
}

QTEST_GUILESS_MAIN(tst_Archive)

#include "tst_archive.moc"
