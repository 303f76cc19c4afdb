#include "Errors.h"
#include "FileAliasEngine.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <memory>

namespace {

const QByteArray Fixture = "[POSSYS]\n"
                           "TYPE=INTRBASE\n"
                           "SERVER NAME=/old/POSSYS.FDB\n"
                           "USER NAME=SYSDBA\n"
                           "\n"
                           "[REPORTS]\n"
                           "TYPE=MSACCESS\n"
                           "DATABASE NAME=/old/Reports.mdb\n";

QByteArray golden(const QString& name)
{
    return readAll(testDataPath(QStringLiteral("aliasengine/") + name));
}

// The message of the EngineError the call raises, or a null string when it raises none.
template <typename Call>
QString engineError(Call call)
{
    try {
        call();
    } catch (const EngineError& error) {
        return error.message();
    }
    return QString();
}

// The second program of the concurrency tests: adds one alias and saves, as another
// installation's tool would.
int addAliasAndSave(const QString& path, const QString& name)
{
    try {
        FileAliasEngine engine(path);
        engine.AddAlias(name, QStringLiteral("INTRBASE"), {QStringLiteral("SERVER NAME=/db/") + name});
        engine.SaveConfigFile();
        return 0;
    } catch (const EngineError& error) {
        qCritical("%s", error.what());
        return 1;
    }
}

// A program that dies while holding the configuration's lock.
int lockAndDie(const QString& lockPath)
{
    QLockFile lock(lockPath);
    if (!lock.tryLock())
        return 1;
    std::_Exit(0); // no destructor: the lock file stays behind
}

} // namespace

class TestAliasEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void shouldEditParamList_data();
    void shouldEditParamList();
    void shouldWriteAddedAlias_data();
    void shouldWriteAddedAlias();
    void shouldModifyOnlyExistingParams_data();
    void shouldModifyOnlyExistingParams();
    void shouldKeepValuesVerbatim();
    void shouldRefuse_data();
    void shouldRefuse();
    void shouldFindAliasIgnoringCase();
    void shouldReportMalformedFile_data();
    void shouldReportMalformedFile();
    void shouldReportUnusablePath_data();
    void shouldReportUnusablePath();
    void shouldNotOverwriteFileThatBecameMalformed();
    void shouldMergeSavesOfTwoEngines();
    void shouldMergeSavesOfOtherProcesses();
    void shouldReportLockHeldByAnotherProgram();
    void shouldTakeOverLockOfDeadProgram();
    void shouldSaveOnDestruction();
    void shouldNotWriteWithoutChanges();
    void shouldKeepSymlink();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestAliasEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("DbAliases.cfg"));
}

void TestAliasEngine::shouldEditParamList_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("after");

    const QStringList two{"SERVER NAME=/a.fdb", "USER NAME=SYSDBA"};
    QTest::newRow("replaces in place") << two << "SERVER NAME" << "/b.fdb"
                                       << QStringList{"SERVER NAME=/b.fdb", "USER NAME=SYSDBA"};
    QTest::newRow("replaces ignoring case") << two << "user name" << "POS"
                                            << QStringList{"SERVER NAME=/a.fdb", "user name=POS"};
    QTest::newRow("appends a new name") << two << "PASSWORD" << "x=y"
                                        << QStringList{"SERVER NAME=/a.fdb", "USER NAME=SYSDBA", "PASSWORD=x=y"};
    QTest::newRow("empty value removes") << two << "Server Name" << ""
                                         << QStringList{"USER NAME=SYSDBA"};
    QTest::newRow("empty value adds none") << two << "PASSWORD" << "" << two;
}

void TestAliasEngine::shouldEditParamList()
{
    QFETCH(QStringList, before);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QStringList, after);

    AliasParams params;
    for (const QString& line : before)
        params.setValue(line.section('=', 0, 0), line.section('=', 1));
    QCOMPARE(params.lines(), before);

    params.setValue(name, value);
    QCOMPARE(params.lines(), after);
    QCOMPARE(params.value(name.toLower()), value);
}

void TestAliasEngine::shouldWriteAddedAlias_data()
{
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QString>("expected");

    QTest::newRow("INTRBASE defaults, listed names in their place")
        << QByteArray() << "POSSYS" << "INTRBASE"
        << QStringList{"SERVER NAME=/opt/pos/Db/POSSYS.FDB", "ENABLE BCD=TRUE", "user name=POS"}
        << "add_intrbase.cfg";
    QTest::newRow("other driver without defaults, TYPE only from the driver")
        << QByteArray() << "REPORTS" << "MSACCESS"
        << QStringList{"TYPE=INTRBASE", "DATABASE NAME=/opt/pos/Reports.mdb"} << "add_other_driver.cfg";
    QTest::newRow("after existing aliases, comments and CRLF dropped")
        << QByteArray("; written by the suite\r\n\r\n[POSSYS]\r\nTYPE=INTRBASE\r\n"
                      "  # the main database\r\nSERVER NAME=/opt/pos/Db/POSSYS.FDB\r\n")
        << "ARCHIVE" << "INTRBASE" << QStringList{"SERVER NAME=/opt/pos/Db/2023/POSSYS.FDB"}
        << "add_to_existing.cfg";
    QTest::newRow("values verbatim, UTF-8")
        << QByteArray() << "CAFÉ" << "MSACCESS"
        << QStringList{"DATABASE NAME= \"/opt/my pos/a=b;#1\" é.mdb"} << "add_verbatim.cfg";
}

void TestAliasEngine::shouldWriteAddedAlias()
{
    QFETCH(QByteArray, existing);
    QFETCH(QString, alias);
    QFETCH(QString, driver);
    QFETCH(QStringList, params);
    QFETCH(QString, expected);

    if (!existing.isNull())
        QVERIFY(writeAll(m_path, existing));
    {
        FileAliasEngine engine(m_path);
        engine.AddAlias(alias, driver, params);
        QVERIFY(engine.IsAlias(alias));
        QCOMPARE(readAll(m_path), existing); // held in memory until saved
        engine.SaveConfigFile();
    }
    QCOMPARE(readAll(m_path), golden(expected));

    // Another program reads back exactly what was written.
    FileAliasEngine reader(m_path);
    reader.ModifyAlias(alias, {});
    reader.SaveConfigFile();
    QCOMPARE(readAll(m_path), golden(expected));
}

void TestAliasEngine::shouldModifyOnlyExistingParams_data()
{
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QByteArray>("oldLine");
    QTest::addColumn<QByteArray>("newLine");

    QTest::newRow("replaces a value") << "POSSYS" << QStringList{"SERVER NAME=/new/POSSYS.FDB"}
                                      << QByteArray("SERVER NAME=/old/POSSYS.FDB")
                                      << QByteArray("SERVER NAME=/new/POSSYS.FDB");
    QTest::newRow("names ignore case, the file's spelling stays")
        << "possys" << QStringList{"server name=/new/POSSYS.FDB"}
        << QByteArray("SERVER NAME=/old/POSSYS.FDB") << QByteArray("SERVER NAME=/new/POSSYS.FDB");
    QTest::newRow("adds no parameter") << "POSSYS" << QStringList{"PASSWORD=masterkey"}
                                       << QByteArray() << QByteArray();
    QTest::newRow("keeps the type") << "POSSYS" << QStringList{"TYPE=MSACCESS"}
                                    << QByteArray() << QByteArray();
    QTest::newRow("other driver keeps its type")
        << "REPORTS" << QStringList{"TYPE=INTRBASE", "SERVER NAME=/x.fdb", "DATABASE NAME=/new/Reports.mdb"}
        << QByteArray("DATABASE NAME=/old/Reports.mdb") << QByteArray("DATABASE NAME=/new/Reports.mdb");
}

void TestAliasEngine::shouldModifyOnlyExistingParams()
{
    QFETCH(QString, alias);
    QFETCH(QStringList, params);
    QFETCH(QByteArray, oldLine);
    QFETCH(QByteArray, newLine);

    QVERIFY(writeAll(m_path, Fixture));
    FileAliasEngine engine(m_path);
    engine.ModifyAlias(alias, params);
    engine.SaveConfigFile();
    QCOMPARE(readAll(m_path), QByteArray(Fixture).replace(oldLine, newLine));
}

void TestAliasEngine::shouldKeepValuesVerbatim()
{
    QVERIFY(writeAll(m_path, "[A]\r\nTYPE= INTRBASE \r\nSERVER NAME= '/my pos/x.fdb' \r\nUSER NAME=SYSDBA\r\n"));
    FileAliasEngine engine(m_path);
    engine.ModifyAlias(QStringLiteral("A"), {QStringLiteral("USER NAME= POS\t")});
    engine.SaveConfigFile();
    QCOMPARE(readAll(m_path), QByteArray("[A]\nTYPE= INTRBASE \nSERVER NAME= '/my pos/x.fdb' \nUSER NAME= POS\t\n"));
}

void TestAliasEngine::shouldRefuse_data()
{
    QTest::addColumn<bool>("add");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QString>("reason");

    QTest::newRow("modify of a missing alias") << false << "ARCHIVE" << QStringList{"USER NAME=POS"}
                                               << "does not exist";
    QTest::newRow("add of an existing alias") << true << "Reports" << QStringList() << "already exists";
    QTest::newRow("alias name with a line break") << true << "NEW\n[POSSYS]" << QStringList() << "name";
    QTest::newRow("value with a line break") << true << "NEW" << QStringList{"SERVER NAME=/a\r\nTYPE=X"}
                                             << "parameter";
    QTest::newRow("parameter without '='") << false << "POSSYS" << QStringList{"SERVER NAME"}
                                           << "parameter";
    QTest::newRow("parameter read as a comment") << true << "NEW" << QStringList{";NOTE=x"} << "parameter";
}

void TestAliasEngine::shouldRefuse()
{
    QFETCH(bool, add);
    QFETCH(QString, alias);
    QFETCH(QStringList, params);
    QFETCH(QString, reason);

    QVERIFY(writeAll(m_path, Fixture));
    {
        FileAliasEngine engine(m_path);
        const QString message = engineError([&] {
            if (add)
                engine.AddAlias(alias, QStringLiteral("INTRBASE"), params);
            else
                engine.ModifyAlias(alias, params);
        });
        QVERIFY2(message.contains(reason) && message.contains(m_path), qPrintable(message));
    }
    QCOMPARE(readAll(m_path), Fixture);
}

void TestAliasEngine::shouldFindAliasIgnoringCase()
{
    QVERIFY(writeAll(m_path, Fixture));
    FileAliasEngine engine(m_path);
    QVERIFY(engine.IsAlias(QStringLiteral("possys")));
    QVERIFY(!engine.IsAlias(QStringLiteral("ARCHIVE")));
    engine.AddAlias(QStringLiteral("Archive"), QStringLiteral("INTRBASE"), {});
    QVERIFY(engine.IsAlias(QStringLiteral("ARCHIVE")));
}

void TestAliasEngine::shouldReportMalformedFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("line");

    QTest::newRow("line outside any alias") << QByteArray("; note\nTYPE=INTRBASE\n[A]\nTYPE=X\n") << 2;
    QTest::newRow("line without '='") << QByteArray("[A]\nTYPE=X\nSERVER NAME\n") << 3;
    QTest::newRow("TYPE not first") << QByteArray("[A]\nUSER NAME=SYSDBA\nTYPE=X\n") << 2;
    QTest::newRow("alias without TYPE") << QByteArray("[A]\nTYPE=X\n\n[B]\n\n[C]\nTYPE=X\n") << 4;
    QTest::newRow("duplicate alias") << QByteArray("[A]\nTYPE=X\n[B]\nTYPE=X\n[a]\nTYPE=X\n") << 5;
}

void TestAliasEngine::shouldReportMalformedFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, line);

    QVERIFY(writeAll(m_path, content));
    FileAliasEngine engine(m_path); // reads on first use, not here
    const QString message = engineError([&] { engine.IsAlias(QStringLiteral("A")); });
    QVERIFY2(message.startsWith(QStringLiteral("The alias configuration %1 is malformed at line %2:")
                                    .arg(m_path)
                                    .arg(line)),
             qPrintable(message));
}

void TestAliasEngine::shouldReportUnusablePath_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("start");

    // Root ignores permission bits; these faults bind every user.
    QTest::newRow("configuration is a folder") << "folder" << "Cannot read the alias configuration";
    QTest::newRow("installation folder missing") << "missing" << "Cannot save the alias configuration";
    QTest::newRow("link into a missing folder") << "dangling" << "Cannot save the alias configuration";
}

void TestAliasEngine::shouldReportUnusablePath()
{
    QFETCH(QString, setup);
    QFETCH(QString, start);

    QString path = m_path;
    if (setup == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    else if (setup == QLatin1String("missing"))
        path = m_dir->filePath(QStringLiteral("gone/DbAliases.cfg"));
    else
        QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("gone/real.cfg")), path));

    auto engine = std::make_unique<FileAliasEngine>(path);
    const QString message = engineError([&] {
        engine->AddAlias(QStringLiteral("POSSYS"), QStringLiteral("INTRBASE"), {});
        engine->SaveConfigFile();
    });
    QVERIFY2(message.startsWith(start + QLatin1Char(' ') + path), qPrintable(message));
    if (start.startsWith(QLatin1String("Cannot save"))) {
        // The addition is still pending: the destructor's last attempt fails too, and is logged.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(path)));
    }
    engine.reset();
}

void TestAliasEngine::shouldNotOverwriteFileThatBecameMalformed()
{
    FileAliasEngine engine(m_path);
    engine.AddAlias(QStringLiteral("POSSYS"), QStringLiteral("INTRBASE"), {});
    const QByteArray broken = "[A]\nnot a parameter\n";
    QVERIFY(writeAll(m_path, broken));
    QVERIFY(engineError([&] { engine.SaveConfigFile(); }).contains(QLatin1String("malformed")));
    QCOMPARE(readAll(m_path), broken);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("malformed")));
}

void TestAliasEngine::shouldMergeSavesOfTwoEngines()
{
    QVERIFY(writeAll(m_path, Fixture));
    FileAliasEngine first(m_path);
    FileAliasEngine second(m_path);
    first.AddAlias(QStringLiteral("ARCHIVE"), QStringLiteral("INTRBASE"), {});
    second.ModifyAlias(QStringLiteral("REPORTS"), {QStringLiteral("DATABASE NAME=/second.mdb")});
    first.SaveConfigFile();
    second.SaveConfigFile();
    QVERIFY(second.IsAlias(QStringLiteral("ARCHIVE"))); // its view is what it wrote

    // The second engine still remembers the old POSSYS; its save must not bring that back.
    first.ModifyAlias(QStringLiteral("POSSYS"), {QStringLiteral("SERVER NAME=/first.fdb")});
    first.SaveConfigFile();
    second.ModifyAlias(QStringLiteral("ARCHIVE"), {QStringLiteral("USER NAME=POS")});
    second.SaveConfigFile();

    const QByteArray content = readAll(m_path);
    QVERIFY(content.contains("[ARCHIVE]\nTYPE=INTRBASE\nSERVER NAME=\nUSER NAME=POS\n"));
    QVERIFY(content.contains("DATABASE NAME=/second.mdb\n"));
    QVERIFY(content.contains("SERVER NAME=/first.fdb\n"));
}

void TestAliasEngine::shouldMergeSavesOfOtherProcesses()
{
    // This engine reads the file, then other programs save while its own addition is pending.
    FileAliasEngine engine(m_path);
    engine.AddAlias(QStringLiteral("LOCAL"), QStringLiteral("INTRBASE"), {});

    const QStringList others{"OTHER1", "OTHER2", "OTHER3"};
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const QString& name : others) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->setProcessChannelMode(QProcess::ForwardedChannels);
        processes.back()->start(QCoreApplication::applicationFilePath(),
                                {QStringLiteral("--add-alias"), m_path, name});
    }
    for (const auto& process : processes) {
        QVERIFY(process->waitForFinished(30000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }
    engine.SaveConfigFile();

    const QByteArray content = readAll(m_path);
    for (const QString& name : others + QStringList{"LOCAL"})
        QVERIFY2(content.contains('[' + name.toUtf8() + "]\n"), qPrintable(name));
}

void TestAliasEngine::shouldReportLockHeldByAnotherProgram()
{
    FileAliasEngine engine(m_path, std::chrono::milliseconds(0));
    engine.AddAlias(QStringLiteral("POSSYS"), QStringLiteral("INTRBASE"), {});
    {
        QLockFile other(m_path + QStringLiteral(".lock"));
        QVERIFY(other.tryLock());
        QCOMPARE(engineError([&] { engine.SaveConfigFile(); }),
                 QStringLiteral("The alias configuration %1 is locked by another program "
                                "(process %2 on %3)")
                     .arg(m_path)
                     .arg(QCoreApplication::applicationPid())
                     .arg(QSysInfo::machineHostName()));
        QVERIFY(!QFile::exists(m_path));
    }
    engine.SaveConfigFile(); // the change was kept for the next attempt
    QVERIFY(readAll(m_path).startsWith("[POSSYS]\n"));
}

void TestAliasEngine::shouldTakeOverLockOfDeadProgram()
{
    const QString lockPath = m_path + QStringLiteral(".lock");
    QCOMPARE(QProcess::execute(QCoreApplication::applicationFilePath(),
                               {QStringLiteral("--lock-and-die"), lockPath}),
             0);
    QVERIFY(QFile::exists(lockPath));

    FileAliasEngine engine(m_path, std::chrono::milliseconds(0));
    engine.AddAlias(QStringLiteral("POSSYS"), QStringLiteral("INTRBASE"), {});
    engine.SaveConfigFile();
    QVERIFY(readAll(m_path).startsWith("[POSSYS]\n"));
}

void TestAliasEngine::shouldSaveOnDestruction()
{
    {
        FileAliasEngine engine(m_path);
        engine.AddAlias(QStringLiteral("POSSYS"), QStringLiteral("INTRBASE"), {});
    }
    QVERIFY(FileAliasEngine(m_path).IsAlias(QStringLiteral("POSSYS")));
}

void TestAliasEngine::shouldNotWriteWithoutChanges()
{
    {
        FileAliasEngine engine(m_path);
        QVERIFY(!engine.IsAlias(QStringLiteral("POSSYS")));
        engine.SaveConfigFile();
    }
    QVERIFY(!QFile::exists(m_path));
}

void TestAliasEngine::shouldKeepSymlink()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("shared")));
    const QString target = m_dir->filePath(QStringLiteral("shared/DbAliases.cfg"));
    QVERIFY(writeAll(target, Fixture));
    QVERIFY(QFile::link(target, m_path));

    FileAliasEngine engine(m_path);
    engine.AddAlias(QStringLiteral("ARCHIVE"), QStringLiteral("INTRBASE"), {});
    engine.SaveConfigFile();

    QVERIFY(QFileInfo(m_path).isSymLink());
    QVERIFY(readAll(target).startsWith(Fixture + "\n[ARCHIVE]\n"));
}

int main(int argc, char** argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--add-alias") == 0)
        return addAliasAndSave(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc == 3 && qstrcmp(argv[1], "--lock-and-die") == 0)
        return lockAndDie(QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    TestAliasEngine test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_aliasengine.moc"
