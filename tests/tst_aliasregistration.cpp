#include "AliasRegistration.h"
#include "DatabasePage.h"
#include "Errors.h"
#include "FakeServices.h"
#include "FileAliasEngine.h"
#include "Keys.h"
#include "SettingsFile.h"
#include "TestFiles.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString Absent = QStringLiteral("<absent>");

// The lines of one alias section (TYPE and parameters), or with no name the alias names.
QStringList aliasLines(const QString& cfgPath, const QString& alias = QString())
{
    QStringList lines;
    bool inside = false;
    // The file is in the ANSI code page; these tests use no letter beyond Latin-1.
    const QString text = QString::fromLatin1(readAll(cfgPath));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            inside = line == QLatin1Char('[') + alias + QLatin1Char(']');
            if (alias.isEmpty())
                lines << line.mid(1, line.size() - 2);
        } else if (inside && !line.isEmpty()) {
            lines << line;
        }
    }
    return lines;
}

QStringList intrbaseAlias(const QString& connection)
{
    return {"TYPE=INTRBASE", "SERVER NAME=" + connection, "USER NAME=SYSDBA",
            "OPEN MODE=READ/WRITE", "SQLPASSTHRU MODE=SHARED AUTOCOMMIT", "LANGDRIVER=",
            "SQLQRYMODE="};
}

// The message of the CalvexError the call raises, or a null string when it raises none.
template <typename Call>
QString errorOf(Call call)
{
    try {
        call();
    } catch (const CalvexError& error) {
        return error.message();
    }
    return QString();
}

const char* const ProductionKeys[] = {Key::POSAPP_SERVER, Key::POSHIS_SERVER,
                                      Key::POSSTK_SERVER, Key::POSSYS_SERVER};
const char* const TrainingKeys[] = {Key::TRAINAPP_SERVER, Key::TRAINHIS_SERVER,
                                    Key::TRAINSTK_SERVER, Key::TRAINSYS_SERVER};
const char* const Aliases[] = {"POSAPP", "POSHIS", "POSSTK", "POSSYS"};

} // namespace

class tst_AliasRegistration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldTellExistingFilesAndFolders();
    void shouldWriteGoldenSettingsAndAliasesOnEveryRun_data();
    void shouldWriteGoldenSettingsAndAliasesOnEveryRun();
    void shouldStoreModeAndLiveSetConnections_data();
    void shouldStoreModeAndLiveSetConnections();
    void shouldReadModeBackExactly_data();
    void shouldReadModeBackExactly();
    void shouldRepointExistingAliasWithoutFileTest_data();
    void shouldRepointExistingAliasWithoutFileTest();
    void shouldStopAtFirstMissingFile_data();
    void shouldStopAtFirstMissingFile();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString iniPath() const { return path(QStringLiteral("Register.ini")); }
    QString cfgPath() const { return path(QStringLiteral("DbAliases.cfg")); }
    QString stored(const char* key) const
    {
        return m_settings->readText(QLatin1String(Section::DATABASE), QLatin1String(key), Absent);
    }
    QString runStage()
    {
        return errorOf([this] { m_page->bbtnDatabaseClick(*m_settings, *m_engine); });
    }
    QByteArray fixture(const QString& name) const;
    void install(const QString& ini, const QString& cfg = QString(), bool loadServer = true);

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeServices m_fake;
    std::unique_ptr<DatabasePage> m_page;
    SettingsFile* m_settings = nullptr;
    std::unique_ptr<FileAliasEngine> m_engine;
};

void tst_AliasRegistration::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // The database files an installation has on this machine.
    for (const char* folder : {"Db", "Train", "Tmp"})
        QVERIFY(QDir(m_dir->path()).mkpath(QLatin1String(folder)));
    for (const char* file : {"Db/POSAPP.FDB", "Db/POSHIS.FDB", "Db/POSSTK.FDB", "Db/POSSYS.FDB",
                             "Train/POSAPP.FDB", "Train/POSHIS.FDB", "Train/POSSTK.FDB",
                             "Train/POSSYS.FDB", "Tmp/POSTMP.FDB"}) {
        QFile f(path(QLatin1String(file)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    m_page = std::make_unique<DatabasePage>(m_fake.services());
    m_settings = SettingsFile::open(iniPath());
    m_engine = std::make_unique<FileAliasEngine>(cfgPath());
}

void tst_AliasRegistration::cleanup()
{
    m_engine.reset();
    m_settings->release();
    m_settings = nullptr;
}

// A data file with this run's installation folder in place of "@DIR@".
QByteArray tst_AliasRegistration::fixture(const QString& name) const
{
    QByteArray bytes = readAll(testDataPath(QStringLiteral("database/") + name));
    return bytes.replace("@DIR@", QFile::encodeName(m_dir->path()));
}

// Puts the fixtures into the installation and loads the page from its Register.ini.
void tst_AliasRegistration::install(const QString& ini, const QString& cfg, bool loadServer)
{
    for (const auto& [target, name] : {std::pair{iniPath(), ini}, std::pair{cfgPath(), cfg}}) {
        if (name.isEmpty())
            continue;
        const QByteArray bytes = fixture(name);
        QFile file(target);
        QVERIFY2(!bytes.isEmpty() && file.open(QIODevice::WriteOnly), qPrintable(name));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    if (loadServer)
        m_page->loadServer(*m_settings);
    m_page->loadPaths(*m_settings);
}

void tst_AliasRegistration::shouldTellExistingFilesAndFolders()
{
    const QString file = path(QStringLiteral("Db/POSAPP.FDB"));
    const QString folder = path(QStringLiteral("Db"));
    const QString missing = path(QStringLiteral("Db/NONE.FDB"));
    QVERIFY(!isExistingFile(QString()) && !isExistingFolder(QString()));
    QVERIFY(isExistingFile(file) && !isExistingFolder(file));
    QVERIFY(!isExistingFile(folder) && isExistingFolder(folder));
    QVERIFY(!isExistingFile(missing) && !isExistingFolder(missing));
}

void tst_AliasRegistration::shouldWriteGoldenSettingsAndAliasesOnEveryRun_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("cfg");
    QTest::addColumn<QString>("expected"); // <expected>.ini and <expected>.cfg
    QTest::addColumn<bool>("fieldsNamed");
    auto row = [](const char* name, const char* ini, const char* cfg, const char* expected,
                  bool fieldsNamed) {
        QTest::newRow(name) << QString::fromUtf8(ini) << QString::fromUtf8(cfg)
                            << QString::fromUtf8(expected) << fieldsNamed;
    };
    row("every control, new section", "small.ini", "", "fields.expected", true);
    row("standalone, production, CRLF", "standalone.ini", "", "standalone.expected", false);
    row("client, training, Linux, LF", "client.ini", "others.cfg", "client.expected", false);
}

void tst_AliasRegistration::shouldWriteGoldenSettingsAndAliasesOnEveryRun()
{
    QFETCH(QString, ini);
    QFETCH(QString, cfg);
    QFETCH(QString, expected);
    QFETCH(bool, fieldsNamed);
    install(ini, cfg);
    if (fieldsNamed) {
        // Every key gets a value of its own, so a key stored from the wrong control shows.
        for (QLineEdit* field : m_page->findChildren<QLineEdit*>())
            field->setText(QLatin1Char('<') + field->objectName() + QLatin1Char('>'));
        m_page->edtPosTmp->setText(path(QStringLiteral("Tmp/POSTMP.FDB")));
        for (QCheckBox* box : {m_page->cbPurgeLocalC, m_page->cbPurgeRemoteT, m_page->CheckBox4})
            box->setChecked(true);
    }

    // Runs 2 and 3 change nothing: a second Apply with the same engine, a new start of the tool.
    for (int run = 1; run <= 3; ++run) {
        if (run == 3)
            m_engine = std::make_unique<FileAliasEngine>(cfgPath());
        QCOMPARE(runStage(), QString());
        QCOMPARE(readAll(iniPath()), fixture(expected + ".ini"));
        QCOMPARE(readAll(cfgPath()), fixture(expected + ".cfg"));
    }
}

void tst_AliasRegistration::shouldStoreModeAndLiveSetConnections_data()
{
    QTest::addColumn<int>("serverIndex");
    QTest::addColumn<int>("setIndex");
    QTest::addColumn<QString>("serverSystem"); // the OS radio checked, if any
    QTest::addColumn<QString>("storedOs");
    // DATABASE_SERVER, DEFAULT (and DEFAULT_SERVER), OS_SERVER, the four connections' prefix
    QTest::addColumn<QStringList>("expected");
    auto row = [](const char* name, int server, int set, const char* system, const QString& os,
                  const QStringList& expected) {
        QTest::newRow(name) << server << set << QString::fromUtf8(system) << os << expected;
    };
    row("standalone, production, Windows over 1", 0, 0, "windows", "1",
        {"LOCAL", "C", "0", "@/Db/"});
    row("standalone, training, Linux over 0", 0, 1, "linux", "0", {"LOCAL", "T", "0", "@/Train/"});
    row("standalone, no set chosen, Windows", 0, -1, "windows", Absent,
        {"LOCAL", "T", "0", "@/Train/"});
    row("client, production, Linux, none stored", 1, 0, "linux", Absent,
        {"REMOTE", "C", Absent, "SRV1:D:\\Dépôt\\Db\\"});
    row("client, training, Linux over 2", 1, 1, "linux", "2",
        {"REMOTE", "T", "2", "SRV1:/srv/train/"});
    row("client, no set, no system chosen", 1, -1, "", "1",
        {"REMOTE", "T", "1", "SRV1:/srv/train/"});
}

void tst_AliasRegistration::shouldStoreModeAndLiveSetConnections()
{
    QFETCH(int, serverIndex);
    QFETCH(int, setIndex);
    QFETCH(QString, serverSystem);
    QFETCH(QString, storedOs);
    QFETCH(QStringList, expected);
    install(QStringLiteral("standalone.ini"), QString(), false); // nothing chosen yet
    if (storedOs != Absent)
        m_settings->writeText(QLatin1String(Section::DATABASE), Key::OS_SERVER, storedOs);
    m_page->edtServerName->setText(QStringLiteral("SRV1:"));
    m_page->cbServer->setCurrentIndex(serverIndex);
    m_page->rgDatabase->setItemIndex(setIndex);
    if (!serverSystem.isEmpty())
        (serverSystem == "windows" ? m_page->rBtnOS0 : m_page->rBtnOS1)->setChecked(true);

    QCOMPARE(runStage(), QString());

    QCOMPARE(stored(Key::DATABASE_SERVER), expected[0]);
    QCOMPARE(stored(Key::DEFAULT), expected[1]);
    QCOMPARE(stored(Key::DEFAULT_SERVER), expected[1]);
    QCOMPARE(stored(Key::OS_SERVER), expected[2]);
    const bool production = setIndex == 0;
    const QStringList otherOld =
        production ? QStringList{"old-train-app", "old-train-his", "old-train-stk", "old-train-sys"}
                   : QStringList{"old-app", "old-his", "old-stk", "old-sys"};
    for (int i = 0; i < 4; ++i) {
        const QString connection = QString(expected[3]).replace('@', m_dir->path()) +
                                   QLatin1String(Aliases[i]) + QStringLiteral(".FDB");
        QCOMPARE(stored(production ? ProductionKeys[i] : TrainingKeys[i]), connection);
        QCOMPARE(stored(production ? TrainingKeys[i] : ProductionKeys[i]), otherOld[i]);
        QCOMPARE(aliasLines(cfgPath(), QLatin1String(Aliases[i])), intrbaseAlias(connection));
    }
}

void tst_AliasRegistration::shouldReadModeBackExactly_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QString>("systemConnection");
    QTest::addColumn<QString>("error");
    auto row = [](const char* name, const QByteArray& mode, const char* connection,
                  const char* error = nullptr) {
        QTest::newRow(name) << mode << QString::fromUtf8(connection) << QString::fromUtf8(error);
    };
    row("DEFAULT_SERVER C: production", "DATABASE_SERVER=REMOTE\nDEFAULT_SERVER=C\n", "prod-sys");
    row("DEFAULT_SERVER c: training", "DATABASE_SERVER=REMOTE\nDEFAULT_SERVER=c\n", "train-sys");
    row("DEFAULT alone: training", "DATABASE_SERVER=REMOTE\nDEFAULT=C\n", "train-sys");
    row("DATABASE_SERVER LOCAL: files tested", "DATABASE_SERVER=LOCAL\nDEFAULT_SERVER=C\n", "",
        "Cannot Locate FIREBIRTH data file : System FDB");
    row("DATABASE_SERVER local: client mode", "DATABASE_SERVER=local\nDEFAULT_SERVER=C\n",
        "prod-sys");
}

void tst_AliasRegistration::shouldReadModeBackExactly()
{
    QFETCH(QByteArray, mode);
    QFETCH(QString, systemConnection);
    QFETCH(QString, error);
    // Only the stored texts count: the database files named here do not exist.
    QFile ini(iniPath());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[DATABASE]\n" + mode +
              "POSSYS_FILE=/none/POSSYS.FDB\nTRAINSYS_FILE=/none/TRAINSYS.FDB\n"
              "POSSYS_SERVER=prod-sys\nTRAINSYS_SERVER=train-sys\nPOSTMP_FILE=" +
              QFile::encodeName(path(QStringLiteral("Tmp/POSTMP.FDB"))));
    ini.close();

    QCOMPARE(errorOf([this] { registerAliases(*m_settings, *m_engine); }), error);

    QCOMPARE(aliasLines(cfgPath(), QStringLiteral("POSSYS")),
             systemConnection.isEmpty() ? QStringList() : intrbaseAlias(systemConnection));
}

void tst_AliasRegistration::shouldRepointExistingAliasWithoutFileTest_data()
{
    QTest::addColumn<QString>("alias");
    QTest::addColumn<bool>("emptyConnection"); // client mode, no server name nor remote files
    QTest::addColumn<QStringList>("expected");
    const QString kept = QStringLiteral("OPEN MODE=READ ONLY");
    QTest::newRow("INTRBASE alias, its file missing") << "POSAPP" << false
        << QStringList{"TYPE=INTRBASE", "SERVER NAME=@/Db/POSAPP.FDB", "USER NAME=SYSDBA", kept};
    QTest::newRow("other driver keeps type, gains nothing") << "POSHIS" << false
        << QStringList{"TYPE=MSACCESS", "DATABASE NAME=/old/History.mdb"};
    QTest::newRow("empty connection keeps old server name") << "POSAPP" << true
        << QStringList{"TYPE=INTRBASE", "SERVER NAME=/old/POSAPP.FDB", "USER NAME=SYSDBA", kept};
    QTest::newRow("empty connection, new alias: driver default") << "POSSYS" << true
        << intrbaseAlias(QString());
}

void tst_AliasRegistration::shouldRepointExistingAliasWithoutFileTest()
{
    QFETCH(QString, alias);
    QFETCH(bool, emptyConnection);
    QFETCH(QStringList, expected);
    expected.replaceInStrings(QStringLiteral("=@/"), '=' + m_dir->path() + '/');
    install(QStringLiteral("standalone.ini"), QStringLiteral("existing.cfg"));
    QVERIFY(QFile::remove(path(QStringLiteral("Db/%1.FDB").arg(alias))));
    if (emptyConnection) {
        m_page->cbServer->setCurrentIndex(1);
        for (QLineEdit* field : QList<QLineEdit*>{m_page->edtServerName, m_page->edtPosAppR,
                                                  m_page->edtPosHisR, m_page->edtPosStkR,
                                                  m_page->edtPosSysR})
            field->clear();
    }

    QCOMPARE(runStage(), QString());

    QCOMPARE(aliasLines(cfgPath(), alias), expected);
}

void tst_AliasRegistration::shouldStopAtFirstMissingFile_data()
{
    QTest::addColumn<int>("serverIndex");
    QTest::addColumn<QStringList>("missing");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("saved");
    auto row = [](const char* name, int server, const QStringList& missing, const char* error,
                  const QStringList& saved) {
        QTest::newRow(name) << server << missing << QString::fromUtf8(error) << saved;
    };
    const QStringList all{"Db/POSAPP.FDB", "Db/POSHIS.FDB", "Db/POSSTK.FDB", "Db/POSSYS.FDB"};
    const QStringList four{"POSSYS", "POSHIS", "POSAPP", "POSSTK"};
    row("standalone, system", 0, {"Db/POSSYS.FDB"},
        "Cannot Locate FIREBIRTH data file : System FDB", {});
    row("standalone, history", 0, {"Db/POSHIS.FDB"},
        "Cannot Locate Interbase data file : History GDB", four.mid(0, 1));
    row("standalone, application", 0, {"Db/POSAPP.FDB"},
        "Cannot Locate Interbase data file : Application GDB", four.mid(0, 2));
    row("standalone, stock", 0, {"Db/POSSTK.FDB"},
        "Cannot Locate Interbase data file : Stock GDB", four.mid(0, 3));
    row("standalone, temporary", 0, {"Tmp/POSTMP.FDB"},
        "Cannot Locate Interbase data file : Temporary Tmp", four);
    row("client, database files not tested", 1, all, nullptr, four + QStringList{"POSTMP"});
    row("client, temporary file tested", 1, all + QStringList{"Tmp/POSTMP.FDB"},
        "Cannot Locate Interbase data file : Temporary Tmp", four);
}

void tst_AliasRegistration::shouldStopAtFirstMissingFile()
{
    QFETCH(int, serverIndex);
    QFETCH(QStringList, missing);
    QFETCH(QString, error);
    QFETCH(QStringList, saved);
    install(QStringLiteral("standalone.ini"));
    m_page->cbServer->setCurrentIndex(serverIndex);
    for (const QString& file : missing)
        QVERIFY(QFile::remove(path(file)));

    QCOMPARE(runStage(), error);

    QCOMPARE(aliasLines(cfgPath()), saved);
    // Every value was stored before the first alias was registered.
    QCOMPARE(stored(Key::REREGISTER_DATABASE), QStringLiteral("F"));
    if (serverIndex == 0)
        QCOMPARE(readAll(iniPath()), fixture("standalone.expected.ini"));
}

QTEST_MAIN(tst_AliasRegistration)
#include "tst_aliasregistration.moc"
