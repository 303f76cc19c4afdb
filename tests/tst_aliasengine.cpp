#include "Errors.h"
#include "FileAliasEngine.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QElapsedTimer>
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
    void shouldAcceptWhatOtherProgramsWrite_data();
    void shouldAcceptWhatOtherProgramsWrite();
    void shouldReportUnusablePath_data();
    void shouldReportUnusablePath();
    void shouldApplyOperationsToFileAsItIsNow_data();
    void shouldApplyOperationsToFileAsItIsNow();
    void shouldDropFailedSaveForGood();
    void shouldKeepOtherAliasesBytes_data();
    void shouldKeepOtherAliasesBytes();
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
    QTest::newRow("after existing aliases, comments and CRLF kept")
        << QByteArray("; written by the suite\r\n\r\n[POSSYS]\r\nTYPE=INTRBASE\r\n"
                      "  # the main database\r\nSERVER NAME=/opt/pos/Db/POSSYS.FDB\r\n")
        << "ARCHIVE" << "INTRBASE" << QStringList{"SERVER NAME=/opt/pos/Db/2023/POSSYS.FDB"}
        << "add_to_existing.cfg";
    QTest::newRow("values verbatim, Windows-1252")
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
    QCOMPARE(readAll(m_path),
             QByteArray("[A]\r\nTYPE= INTRBASE \r\nSERVER NAME= '/my pos/x.fdb' \r\nUSER NAME= POS\t\r\n"));
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

void TestAliasEngine::shouldAcceptWhatOtherProgramsWrite_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("line outside any alias") << QByteArray("; note\nTYPE=INTRBASE\n[A]\nTYPE=X\nUSER NAME=U\n");
    QTest::newRow("line without '='") << QByteArray("[A]\nTYPE=X\nSERVER NAME\nUSER NAME=U\n");
    QTest::newRow("TYPE not first") << QByteArray("[A]\nUSER NAME=U\nTYPE=X\n");
    QTest::newRow("alias without TYPE") << QByteArray("[B]\n\n[A]\nUSER NAME=U\n[C]\nTYPE=X\n");
    QTest::newRow("duplicate alias, the first counts")
        << QByteArray("[A]\nTYPE=X\nUSER NAME=U\n[B]\nTYPE=X\n[a]\nTYPE=X\nUSER NAME=U\n");
    QTest::newRow("comments, blank lines and CR line ends")
        << QByteArray("; keep me\r\n\r\n[A]\r\n  # and me\r\nTYPE=X\r\n\r\nUSER NAME=U\r\n");
    QTest::newRow("lone CR line ends") << QByteArray("; keep me\r\r[A]\rTYPE=X\rUSER NAME=U\r");
}

// Another program's file is never refused: its alias is found and changed, every other byte kept.
void TestAliasEngine::shouldAcceptWhatOtherProgramsWrite()
{
    QFETCH(QByteArray, content);

    QVERIFY(writeAll(m_path, content));
    FileAliasEngine engine(m_path);
    QVERIFY(engine.IsAlias(QStringLiteral("A")));
    engine.ModifyAlias(QStringLiteral("A"), {QStringLiteral("USER NAME=POS")});
    engine.SaveConfigFile();
    const qsizetype at = content.indexOf("USER NAME=U");
    QCOMPARE(readAll(m_path), QByteArray(content).replace(at, 11, "USER NAME=POS"));
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
    engine.reset(); // the failed save is not tried again: nothing is logged, nothing written
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("gone"))));
}

enum class Step { Nothing, Delete, Recreate, Comment };

void TestAliasEngine::shouldApplyOperationsToFileAsItIsNow_data()
{
    QTest::addColumn<bool>("add"); // this run adds ARCHIVE, or modifies POSSYS
    QTest::addColumn<QByteArray>("otherProgramWrites"); // between the operation and the save
    QTest::addColumn<QByteArray>("expected");           // null: the save fails
    QTest::addColumn<QString>("error");

    const QByteArray withComment = "; do not touch POSSYS\n" + Fixture;
    QTest::newRow("modify after another program added comments")
        << false << withComment
        << QByteArray(withComment).replace("/old/POSSYS.FDB", "/new/POSSYS.FDB") << QString();
    QTest::newRow("modify of an alias another program removed")
        << false << QByteArray("[REPORTS]\nTYPE=MSACCESS\n") << QByteArray()
        << "The alias POSSYS was removed from the alias configuration @PATH@ by another program";
    const QByteArray other = Fixture + "\n[ARCHIVE]\nTYPE=MSSQL\nSERVER NAME=old\nDATABASE NAME=keep\n";
    QTest::newRow("add of an alias another program created meanwhile")
        << true << other << QByteArray(other).replace("SERVER NAME=old", "SERVER NAME=/new/2025.FDB")
        << QString();
}

// Each save applies this run's operations to the file as another program left it.
void TestAliasEngine::shouldApplyOperationsToFileAsItIsNow()
{
    QFETCH(bool, add);
    QFETCH(QByteArray, otherProgramWrites);
    QFETCH(QByteArray, expected);
    QFETCH(QString, error);

    QVERIFY(writeAll(m_path, Fixture));
    FileAliasEngine engine(m_path);
    // A first save of the run, as Apply makes one per alias.
    engine.ModifyAlias(QStringLiteral("REPORTS"), {QStringLiteral("DATABASE NAME=/old/Reports.mdb")});
    engine.SaveConfigFile();
    if (add) {
        QVERIFY(!engine.IsAlias(QStringLiteral("ARCHIVE")));
        engine.AddAlias(QStringLiteral("ARCHIVE"), QStringLiteral("INTRBASE"),
                        {QStringLiteral("SERVER NAME=/new/2025.FDB"), QStringLiteral("USER NAME=KLYDBA")});
    } else {
        engine.ModifyAlias(QStringLiteral("POSSYS"), {QStringLiteral("SERVER NAME=/new/POSSYS.FDB")});
    }
    QVERIFY(writeAll(m_path, otherProgramWrites));
    QCOMPARE(engineError([&] { engine.SaveConfigFile(); }),
             error.isEmpty() ? QString() : QString(error).replace("@PATH@", m_path));
    QCOMPARE(readAll(m_path), expected.isNull() ? otherProgramWrites : expected);
    QCOMPARE(engine.IsAlias(QStringLiteral("POSSYS")), otherProgramWrites.contains("[POSSYS]"));
}

// A save that failed is reported once and never tried again, also not when the engine goes.
void TestAliasEngine::shouldDropFailedSaveForGood()
{
    QVERIFY(writeAll(m_path, Fixture));
    auto engine = std::make_unique<FileAliasEngine>(m_path, std::chrono::milliseconds(200));
    engine->ModifyAlias(QStringLiteral("POSSYS"), {QStringLiteral("SERVER NAME=/new/POSSYS.FDB")});
    QLockFile other(m_path + QStringLiteral(".lock"));
    QVERIFY(other.tryLock());
    QVERIFY(engineError([&] { engine->SaveConfigFile(); }).contains(QLatin1String("locked")));
    other.unlock();

    QElapsedTimer clock;
    clock.start();
    engine.reset();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(readAll(m_path), Fixture);
}

void TestAliasEngine::shouldKeepOtherAliasesBytes_data()
{
    QTest::addColumn<QByteArray>("content"); // with @VALUE@ where POSSYS's server name goes
    QTest::addColumn<QByteArray>("written"); // @VALUE@ after the modify, in the file's encoding

    const QByteArray ansi = "[OTHER]\nSERVER NAME=/srv/caf\xe9\x81\x8d\x8f\x90\x9d\xff.fdb\n"
                            "[POSSYS]\nTYPE=INTRBASE\nSERVER NAME=@VALUE@\n";
    QTest::newRow("Windows-1252, undefined bytes too") << ansi << QByteArray("/pos/caf\xe9.fdb");
    QTest::newRow("UTF-8 with its mark")
        << QByteArray("\xEF\xBB\xBF[OTHER]\nSERVER NAME=/srv/caf\xc3\xa9.fdb\n[POSSYS]\nTYPE=INTRBASE\n"
                      "SERVER NAME=@VALUE@\n")
        << QByteArray("/pos/caf\xc3\xa9.fdb");
    QString utf16 = QStringLiteral("[OTHER]\r\nSERVER NAME=/srv/caf\u00e9.fdb\r\n[POSSYS]\r\n"
                                   "TYPE=INTRBASE\r\nSERVER NAME=@VALUE@\r\n");
    QTest::newRow("UTF-16LE with its mark")
        << "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2)
        << QByteArray("/\0p\0o\0s\0/\0c\0a\0f\0\xe9\0.\0f\0d\0b\0", 26);
}

void TestAliasEngine::shouldKeepOtherAliasesBytes()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, written);
    const bool wide = content.startsWith("\xFF\xFE");
    const QByteArray marker = wide ? QByteArray("@\0V\0A\0L\0U\0E\0@\0", 14) : QByteArray("@VALUE@");
    QVERIFY(writeAll(m_path, QByteArray(content).replace(marker, wide ? QByteArray("o\0l\0d\0", 6) : "old")));

    FileAliasEngine engine(m_path);
    engine.ModifyAlias(QStringLiteral("possys"), {QStringLiteral("SERVER NAME=/pos/caf\u00e9.fdb")});
    engine.SaveConfigFile();
    QCOMPARE(readAll(m_path), QByteArray(content).replace(marker, written));
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
    engine.SaveConfigFile(); // the failed save is final: nothing is left to write
    QVERIFY(!QFile::exists(m_path));
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
