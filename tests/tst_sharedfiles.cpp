#include "AtomicFile.h"
#include "Errors.h"
#include "FaultInjection.h"
#include "FileAliasEngine.h"
#include "ProfileFile.h"
#include "SettingsFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <memory>
#include <sys/stat.h>
#include <thread>

namespace {

enum class Fault { FullDisk, SizeLimit };

// A realistic settings file of about 20 KB.
QByteArray settingsText(int keys, const QByteArray& extra = {})
{
    QByteArray text = "; shared by the suite\r\n[DATABASE]\r\n";
    for (int i = 0; i < keys; ++i)
        text += "KEY_" + QByteArray::number(i) + "=/opt/ZorvanPOS/Db/some/folder/" +
                QByteArray::number(i) + "\r\n";
    return text + extra;
}

QStringList entriesOf(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end()); // byte order, whatever the locale
    return names;
}

QString engineError(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EngineError& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Special)

class tst_SharedFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldKeepFileWhenWriteFails_data();
    void shouldKeepFileWhenWriteFails();
    void shouldRefuseSpecialFilesWithoutBlocking_data();
    void shouldRefuseSpecialFilesWithoutBlocking();
    void shouldCreateTargetOfDanglingLink_data();
    void shouldCreateTargetOfDanglingLink();
    void shouldNeverShowReaderAnEmptyOrCutFile_data();
    void shouldNeverShowReaderAnEmptyOrCutFile();
    void shouldRemoveOnlyOwnStaleTemporaries();
    void shouldSaveAliasesInFolderThatAllowsNoLockFile();

private:
    // The shop folder: reachable by the unprivileged account, writable by the owner only.
    QString shop() const { return m_dir->filePath(QStringLiteral("shop")); }
    // The writer runs unprivileged: the folder lets it make a temporary file, or not.
    void setShopWritable(bool byWriter) const
    {
        if (byWriter)
            QVERIFY(QFile::setPermissions(shop(), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::ReadOther |
                                                      QFile::WriteOther | QFile::ExeOther));
        else
            makeShopReadOnly();
    }
    void makeShopReadOnly() const
    {
        QVERIFY(QFile::setPermissions(shop(), QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_SharedFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ExeOther));
    QVERIFY(QDir().mkdir(shop()));
}

void tst_SharedFiles::cleanup()
{
    QFile::setPermissions(shop(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
}

void tst_SharedFiles::shouldKeepFileWhenWriteFails_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("inPlace"); // the folder allows no temporary file

    QTest::newRow("full file system") << Fault::FullDisk << false;
    QTest::newRow("full file system, written in place") << Fault::FullDisk << true;
    QTest::newRow("file size limit") << Fault::SizeLimit << false;
    QTest::newRow("file size limit, written in place") << Fault::SizeLimit << true;
}

void tst_SharedFiles::shouldKeepFileWhenWriteFails()
{
    QFETCH(Fault, fault);
    QFETCH(bool, inPlace);
    SmallDisk disk(shop(), 64);
    if (fault == Fault::FullDisk && !disk.mounted())
        QSKIP("mounting a small file system needs root; the file size limit rows cover this");

    const QString path = shop() + QStringLiteral("/Register.ini");
    const QByteArray before = settingsText(400);
    QVERIFY(before.size() > 16000);
    QVERIFY(writeAll(path, before));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                            QFile::WriteOther));
    // Longer by more than a page, so that even a rewrite in place needs space the disk lacks.
    const QByteArray after = settingsText(400, "NEW_KEY=" + QByteArray(6000, 'v') + "\r\n");
    setShopWritable(!inPlace);
    if (fault == Fault::FullDisk)
        QVERIFY(disk.fill());

    const QByteArray outcome = inUnprivilegedChild([&]() -> QByteArray {
        std::unique_ptr<FileSizeLimit> limit;
        if (fault == Fault::SizeLimit)
            limit = std::make_unique<FileSizeLimit>(rlim_t(before.size()));
        QString error;
        const bool written = writeFileAtomically(path, after, &error);
        return written ? QByteArray("(written)") : error.toUtf8();
    });

    QVERIFY2(outcome != "(written)" && !outcome.isEmpty(), outcome.constData());
    QCOMPARE(readAll(path, "(unreadable)"), before);
    QStringList expected{QStringLiteral("Register.ini")};
    if (fault == Fault::FullDisk)
        expected.prepend(QStringLiteral(".filler"));
    QCOMPARE(entriesOf(shop()), expected);
}

void tst_SharedFiles::shouldRefuseSpecialFilesWithoutBlocking_data()
{
    QTest::addColumn<Special>("special");
    QTest::addColumn<QString>("reason");

    QTest::newRow("FIFO") << Special::Fifo << "it is not a regular file";
    QTest::newRow("socket") << Special::Socket << "it is not a regular file";
    QTest::newRow("folder") << Special::Folder << "it is a folder";
    QTest::newRow("link to /dev/zero") << Special::DevZeroLink << "it is not a regular file";
}

void tst_SharedFiles::shouldRefuseSpecialFilesWithoutBlocking()
{
    QFETCH(Special, special);
    QFETCH(QString, reason);
    const QString settingsPath = shop() + QStringLiteral("/Register.ini");
    const QString aliasesPath = shop() + QStringLiteral("/DbAliases.cfg");
    QLocalServer socketServer;
    socketServer.setSocketOptions(QLocalServer::UserAccessOption);
    QVERIFY(makeSpecialFile(special, settingsPath, socketServer));
    // The alias configuration as a second name of the same thing (a socket has one server).
    QVERIFY(special == Special::Socket ? QFile::link(settingsPath, aliasesPath)
                                       : makeSpecialFile(special, aliasesPath, socketServer));

    QByteArray bytes;
    QString error;
    QCOMPARE(readSharedFile(settingsPath, &bytes, &error), ReadOutcome::Failed);
    QCOMPARE(error, reason);
    QVERIFY(bytes.isEmpty());
    QVERIFY(!writeFileAtomically(settingsPath, "[DATABASE]\r\n", &error));
    QCOMPARE(error, reason);

    SettingsFile* settings = SettingsFile::open(settingsPath);
    QCOMPARE(settings->readText(QStringLiteral("DATABASE"), QStringLiteral("POS_PATH"),
                                QStringLiteral("(default)")),
             QStringLiteral("(default)"));
    QString written = QStringLiteral("(written)");
    try {
        settings->writeText(QStringLiteral("DATABASE"), QStringLiteral("POS_PATH"),
                            QStringLiteral("/opt"));
    } catch (const CalvexError& e) {
        written = e.message();
    }
    settings->release();
    QCOMPARE(written, QStringLiteral("Unable to write to ") + settingsPath);

    FileAliasEngine engine(aliasesPath);
    QCOMPARE(engineError([&] { engine.IsAlias(QStringLiteral("POSSYS")); }),
             QStringLiteral("Cannot read the alias configuration %1: %2").arg(aliasesPath, reason));
    QFileInfo settingsInfo(settingsPath);
    QVERIFY(!settingsInfo.isFile() || settingsInfo.isSymLink());
}

void tst_SharedFiles::shouldCreateTargetOfDanglingLink_data()
{
    QTest::addColumn<QString>("linkTarget");  // what Register.ini points at
    QTest::addColumn<QString>("secondLink");  // a link on the way ("" for none)
    QTest::addColumn<QString>("createdFile"); // relative to the shop folder

    QTest::newRow("relative link") << "data/Register.ini" << "" << "data/Register.ini";
    QTest::newRow("absolute link") << "@SHOP@/data/Shared.ini" << "" << "data/Shared.ini";
    QTest::newRow("chain of links") << "hop.ini" << "data/End.ini" << "data/End.ini";
}

void tst_SharedFiles::shouldCreateTargetOfDanglingLink()
{
    QFETCH(QString, linkTarget);
    QFETCH(QString, secondLink);
    QFETCH(QString, createdFile);
    QVERIFY(QDir(shop()).mkdir(QStringLiteral("data")));
    const QString path = shop() + QStringLiteral("/Register.ini");
    QVERIFY(::symlink(QFile::encodeName(linkTarget.replace("@SHOP@", shop())).constData(),
                      QFile::encodeName(path).constData()) == 0);
    if (!secondLink.isEmpty())
        QVERIFY(::symlink(QFile::encodeName(secondLink).constData(),
                          QFile::encodeName(shop() + "/hop.ini").constData()) == 0);

    SettingsFile* settings = SettingsFile::open(path);
    QCOMPARE(settings->readText(QStringLiteral("DATABASE"), QStringLiteral("DEFAULT"),
                                QStringLiteral("C")),
             QStringLiteral("C"));
    QString outcome = QStringLiteral("(written)");
    try {
        settings->writeText(QStringLiteral("DATABASE"), QStringLiteral("DEFAULT"),
                            QStringLiteral("T"));
    } catch (const CalvexError& e) {
        outcome = e.message();
    }
    QCOMPARE(outcome, QStringLiteral("(written)"));
    QCOMPARE(settings->readText(QStringLiteral("DATABASE"), QStringLiteral("DEFAULT")),
             QStringLiteral("T"));
    settings->release();
    QVERIFY(QFileInfo(path).isSymLink());
    QCOMPARE(readAll(shop() + '/' + createdFile), QByteArray("[DATABASE]\r\nDEFAULT=T\r\n"));
}

void tst_SharedFiles::shouldNeverShowReaderAnEmptyOrCutFile_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("replaced") << false;
    QTest::newRow("written in place") << true;
}

// A reader in a tight loop while another process writes 1,000 times, the file growing and
// shrinking: replaced, it sees one whole version every time; rewritten in place (where a
// temporary file cannot be made), never an empty or cut one.
void tst_SharedFiles::shouldNeverShowReaderAnEmptyOrCutFile()
{
    QFETCH(bool, inPlace);
    const QString path = shop() + QStringLiteral("/Register.ini");
    const QByteArray shorter = settingsText(40);
    const QByteArray longer = settingsText(40, "LOG_EXT=000\r\nLANGUAGE=0\r\n");
    QVERIFY(writeAll(path, shorter));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                            QFile::WriteOther));
    setShopWritable(!inPlace);

    std::atomic<bool> done{false};
    int reads = 0, empty = 0, cut = 0, mixed = 0;
    std::thread reader([&] {
        while (!done) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray seen = file.readAll();
            ++reads;
            if (seen.isEmpty())
                ++empty;
            else if (!seen.startsWith(shorter))
                ++cut;
            else if (seen != shorter && seen != longer)
                ++mixed;
        }
    });
    const QByteArray outcome = inUnprivilegedChild([&]() -> QByteArray {
        for (int i = 0; i < 1000; ++i)
            if (!writeFileAtomically(path, i % 2 ? shorter : longer))
                return "write " + QByteArray::number(i) + " failed";
        return "(written)";
    });
    done = true;
    reader.join();

    QCOMPARE(outcome, QByteArray("(written)"));
    QVERIFY(reads > 0);
    QCOMPARE(empty, 0);
    QCOMPARE(cut, 0);
    if (!inPlace)
        QCOMPARE(mixed, 0);
    QCOMPARE(readAll(path), shorter);
    QCOMPARE(entriesOf(shop()), QStringList{QStringLiteral("Register.ini")});
}

void tst_SharedFiles::shouldRemoveOnlyOwnStaleTemporaries()
{
    QVERIFY(createEntries(shop(), {"Register.ini", "Register.ini.Ab12Cd", "Register.ini.zzzzzz",
                                   "Register.ini.bak", "Register.ini.Ab12C", "Register.ini.Ab-12C",
                                   "Register.ini.ABCDEF/", "Other.ini.abcdef",
                                   "DbAliases.cfg.x1y2z3"}));
    QVERIFY(QFile::link(shop() + "/Register.ini.zzzzzz", shop() + "/Register.ini.linked"));

    removeStaleTemporaries(shop() + QStringLiteral("/Register.ini"));
    removeStaleTemporaries(shop() + QStringLiteral("/DbAliases.cfg"));

    QCOMPARE(entriesOf(shop()),
             QStringList({"Other.ini.abcdef", "Register.ini", "Register.ini.ABCDEF",
                          "Register.ini.Ab-12C", "Register.ini.Ab12C", "Register.ini.bak",
                          "Register.ini.linked"}));
}

// Register.ini is rewritten in place in a folder that allows no temporary file; the alias
// configuration beside it must be saved too, although no lock file can be made there.
void tst_SharedFiles::shouldSaveAliasesInFolderThatAllowsNoLockFile()
{
    const QString aliases = shop() + QStringLiteral("/DbAliases.cfg");
    const QString settings = shop() + QStringLiteral("/Register.ini");
    QVERIFY(writeAll(aliases, "[OTHER]\nTYPE=MSSQL\nDATABASE NAME=keep\n"));
    QVERIFY(writeAll(settings, "[DATABASE]\r\nDEFAULT=C\r\n"));
    for (const QString& path : {aliases, settings})
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ReadOther | QFile::WriteOther));
    makeShopReadOnly();

    const QByteArray outcome = inUnprivilegedChild([&]() -> QByteArray {
        try {
            SettingsFile* file = SettingsFile::open(settings);
            file->writeText(QStringLiteral("DATABASE"), QStringLiteral("DEFAULT"),
                            QStringLiteral("T"));
            file->release();
            FileAliasEngine engine(aliases, std::chrono::milliseconds(0));
            engine.AddAlias(QStringLiteral("POSSYS"), QStringLiteral("INTRBASE"),
                            {QStringLiteral("SERVER NAME=/opt/Db/POSSYS.FDB")});
            engine.SaveConfigFile();
        } catch (const CalvexError& e) {
            return e.message().toUtf8();
        }
        return "(saved)";
    });

    QCOMPARE(outcome, QByteArray("(saved)"));
    QCOMPARE(readAll(settings), QByteArray("[DATABASE]\r\nDEFAULT=T\r\n"));
    const QByteArray saved = readAll(aliases);
    QVERIFY2(saved.contains("[OTHER]\nTYPE=MSSQL\nDATABASE NAME=keep\n"), saved.constData());
    QVERIFY2(saved.contains("[POSSYS]\nTYPE=INTRBASE\nSERVER NAME=/opt/Db/POSSYS.FDB\n"),
             saved.constData());
    QCOMPARE(entriesOf(shop()), QStringList({"DbAliases.cfg", "Register.ini"}));
}

QTEST_GUILESS_MAIN(tst_SharedFiles)
#include "tst_sharedfiles.moc"
