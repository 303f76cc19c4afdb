#include "Errors.h"
#include "SettingsFile.h"
#include "FaultInjection.h"
#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = NobodyId;

// The account that permission checks apply to: root ignores permission bits, so as root
// such checks run as "nobody" (see asUnprivileged).
uid_t unprivilegedId()
{
    return ::geteuid() == 0 ? Nobody : ::geteuid();
}

// Runs `action` under unprivilegedId() and returns its text: as root, in a child process that
// has dropped its privileges, so the kernel applies the permission bits to it.
QString asUnprivileged(const std::function<QString()>& action)
{
    return QString::fromUtf8(inUnprivilegedChild([&] { return action().toUtf8(); }));
}

// The error text a write produced, or "(written)".
QString writeOutcome(const QString& path)
{
    SettingsFile* settings = SettingsFile::open(path);
    QString outcome = QStringLiteral("(written)");
    try {
        settings->writeText(QStringLiteral("Database"), QStringLiteral("Server"),
                            QStringLiteral("Remote"));
    } catch (const CalvexError& e) {
        outcome = e.message();
    }
    settings->release();
    return outcome;
}

QByteArray contentOf(const QString& path)
{
    return readAll(path, "(unreadable)");
}

// Every entry below `root` with its content ("(folder)" for folders), stray files included.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.insert(path, it.fileInfo().isDir() ? QByteArray("(folder)") : contentOf(path));
    }
    return entries;
}

const QByteArray Original = "; shared by the suite\r\n[Database]\r\nServer=Local\r\n";
const QByteArray Written = "; shared by the suite\r\n[Database]\r\nServer=Remote\r\n";

enum class Fault { ReadOnlyFile, ParentIsAFile, TargetIsAFolder };

// How another program changes the file.
enum class Change { InPlace, InPlaceTimesKept, RenamedTimesKept };

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Change)

class tst_SettingsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldDecodeBooleansLikeProfileIntegers_data();
    void shouldDecodeBooleansLikeProfileIntegers();
    void shouldWriteBooleansAsOneAndZero();
    void shouldReturnDefaultOnlyWhenKeyIsAbsent();
    void shouldSeeAnotherProgramsChangeAtOnce_data();
    void shouldSeeAnotherProgramsChangeAtOnce();
    void shouldRefuseWriteAndLeaveFileUntouched_data();
    void shouldRefuseWriteAndLeaveFileUntouched();
    void shouldKeepModeOwnerAndGroup();
    void shouldFollowSymbolicLink();
    void shouldWriteInPlaceInReadOnlyFolder_data();
    void shouldWriteInPlaceInReadOnlyFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder; // the installation folder, reachable by the unprivileged account
    QString m_path;   // Register.ini in it
};

void tst_SettingsFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ExeGroup |
                                                     QFile::ExeOther));
    m_folder = m_dir->filePath(QStringLiteral("install"));
    QVERIFY(QDir().mkdir(m_folder));
    m_path = m_folder + QStringLiteral("/Register.ini");
}

void tst_SettingsFile::cleanup()
{
    // A folder left read-only would stop the temporary folder from being removed.
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
}

void tst_SettingsFile::shouldDecodeBooleansLikeProfileIntegers_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QVariant>("integer"); // null: not an integer
    QTest::addColumn<bool>("whenDefaultFalse");
    QTest::addColumn<bool>("whenDefaultTrue");

    const QVariant none;
    auto row = [](const char* name, const QString& stored, const QVariant& integer, bool ifFalse,
                  bool ifTrue) {
        QTest::newRow(name) << stored << true << integer << ifFalse << ifTrue;
    };
    row("1", "1", 1, true, true);
    row("0", "0", 0, false, false);
    row("2", "2", 2, true, true);
    row("0x10", "0x10", 16, true, true);
    row("leading blanks", "  1", 1, true, true);
    row("plus sign", "+1", 1, true, true);
    row("minus sign", "-1", -1, true, true);
    row("minus zero", "-0", 0, false, false);
    row("dollar hex", "$1F", 31, true, true);
    row("signed dollar hex", "-$10", -16, true, true);
    row("x hex zero", "x0", 0, false, false);
    row("X hex", "X1", 1, true, true);
    row("0X hex zero", "0X0", 0, false, false);
    row("word", "yes", none, false, true);
    row("empty", "", none, false, true);
    row("trailing junk", "1a", none, false, true);
    row("hex prefix alone", "0x", none, false, true);
    row("dollar alone", "$", none, false, true);
    row("sign alone", "-", none, false, true);
    row("trailing blank", "1 ", none, false, true);
    row("blank after sign", "- 1", none, false, true);
    row("beyond 64 bits", "99999999999999999999", none, false, true);
    row("beyond 32 bits", "4294967296", none, false, true);
    row("largest 32-bit", "2147483647", 2147483647, true, true);
    row("one past the largest", "2147483648", none, false, true);
    row("smallest 32-bit", "-2147483648", qint64(-2147483648LL), true, true);
    row("eight hex digits", "$FFFFFFFF", -1, true, true);
    row("nine hex digits", "$100000000", none, false, true);
    QTest::newRow("absent") << QString() << false << none << false << true;
}

void tst_SettingsFile::shouldDecodeBooleansLikeProfileIntegers()
{
    QFETCH(QString, stored);
    QFETCH(bool, present);
    QFETCH(QVariant, integer);
    QFETCH(bool, whenDefaultFalse);
    QFETCH(bool, whenDefaultTrue);

    const std::optional<QString> value = present ? std::optional(stored) : std::nullopt;
    if (present) {
        const auto parsed = parseProfileInteger(stored);
        QCOMPARE(parsed ? QVariant(*parsed) : QVariant(), integer.isNull() ? integer
                                                               : QVariant(integer.toLongLong()));
    }
    QCOMPARE(decodeBoolean(value, false), whenDefaultFalse);
    QCOMPARE(decodeBoolean(value, true), whenDefaultTrue);
}

void tst_SettingsFile::shouldWriteBooleansAsOneAndZero()
{
    SettingsFile* settings = SettingsFile::open(m_path);
    settings->writeBool(QStringLiteral("Flags"), QStringLiteral("On"), true);
    settings->writeBool(QStringLiteral("Flags"), QStringLiteral("Off"), false);

    QCOMPARE(contentOf(m_path), QByteArray("[Flags]\r\nOn=1\r\nOff=0\r\n"));
    QCOMPARE(settings->readBool(QStringLiteral("Flags"), QStringLiteral("On"), false), true);
    QCOMPARE(settings->readBool(QStringLiteral("Flags"), QStringLiteral("Off"), true), false);
    QCOMPARE(settings->readBool(QStringLiteral("Flags"), QStringLiteral("Missing"), true), true);
    settings->release();
}

void tst_SettingsFile::shouldReturnDefaultOnlyWhenKeyIsAbsent()
{
    QVERIFY(writeAll(m_path, "[Database]\r\nServer=\r\n"));
    SettingsFile* settings = SettingsFile::open(m_path);

    QCOMPARE(settings->readText(QStringLiteral("Database"), QStringLiteral("Server"),
                                QStringLiteral("fallback")),
             QString(""));
    QCOMPARE(settings->readText(QStringLiteral("Database"), QStringLiteral("Path"),
                                QStringLiteral("fallback")),
             QStringLiteral("fallback"));
    settings->release();
}

void tst_SettingsFile::shouldSeeAnotherProgramsChangeAtOnce_data()
{
    QTest::addColumn<QByteArray>("changed"); // null: the file is deleted
    QTest::addColumn<Change>("how");
    QTest::addColumn<QString>("expected");

    QTest::newRow("value changed, same size")
        << QByteArray("[Database]\r\nServer=Other\r\n") << Change::InPlace << "Other";
    QTest::newRow("value changed, longer")
        << QByteArray("[Database]\r\nServer=Much longer\r\n") << Change::InPlace << "Much longer";
    QTest::newRow("key removed") << QByteArray("[Database]\r\n") << Change::InPlace << "fallback";
    QTest::newRow("file deleted") << QByteArray() << Change::InPlace << "fallback";
    // Each stamp alone must give the change away.
    QTest::newRow("same size, modification time put back")
        << QByteArray("[Database]\r\nServer=Other\r\n") << Change::InPlaceTimesKept << "Other";
    QTest::newRow("replaced by another file, same size and times")
        << QByteArray("[Database]\r\nServer=Other\r\n") << Change::RenamedTimesKept << "Other";
}

void tst_SettingsFile::shouldSeeAnotherProgramsChangeAtOnce()
{
    QFETCH(QByteArray, changed);
    QFETCH(Change, how);
    QFETCH(QString, expected);

    QVERIFY(writeAll(m_path, "[Database]\r\nServer=Local\r\n"));
    struct stat before {};
    QVERIFY(::stat(QFile::encodeName(m_path).constData(), &before) == 0);
    SettingsFile* settings = SettingsFile::open(m_path);
    const auto server = [settings] {
        return settings->readText(QStringLiteral("Database"), QStringLiteral("Server"),
                                  QStringLiteral("fallback"));
    };
    QCOMPARE(server(), QStringLiteral("Local"));
    QCOMPARE(server(), QStringLiteral("Local"));

    const QString target =
        how == Change::RenamedTimesKept ? m_path + QStringLiteral(".new") : m_path;
    QVERIFY(changed.isNull() ? QFile::remove(m_path) : writeAll(target, changed));
    if (how != Change::InPlace) {
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(target).constData(), times, 0) == 0);
    }
    if (how == Change::RenamedTimesKept)
        QVERIFY(::rename(QFile::encodeName(target).constData(),
                         QFile::encodeName(m_path).constData()) == 0);
    QCOMPARE(server(), expected);
    QCOMPARE(server(), expected);
    settings->release();
}

void tst_SettingsFile::shouldRefuseWriteAndLeaveFileUntouched_data()
{
    QTest::addColumn<Fault>("fault");

    // The folder would allow the rename; only the file's own protection refuses the write.
    QTest::newRow("read-only file") << Fault::ReadOnlyFile;
    // These two bind root as well.
    QTest::newRow("parent is a regular file") << Fault::ParentIsAFile;
    QTest::newRow("target is a folder") << Fault::TargetIsAFolder;
}

void tst_SettingsFile::shouldRefuseWriteAndLeaveFileUntouched()
{
    QFETCH(Fault, fault);

    QString path = m_path;
    switch (fault) {
    case Fault::ReadOnlyFile:
        QVERIFY(writeAll(m_path, Original));
        QVERIFY(::chmod(QFile::encodeName(m_path).constData(), 0444) == 0);
        QVERIFY(::chown(QFile::encodeName(m_path).constData(), unprivilegedId(), -1) == 0);
        QVERIFY(::chown(QFile::encodeName(m_folder).constData(), unprivilegedId(), -1) == 0);
        break;
    case Fault::ParentIsAFile:
        QVERIFY(writeAll(m_folder + QStringLiteral("/pos"), Original));
        path = m_folder + QStringLiteral("/pos/Register.ini");
        break;
    case Fault::TargetIsAFolder:
        QVERIFY(QDir().mkdir(m_path));
        break;
    }
    const auto before = snapshot(m_dir->path());

    const QString outcome = fault == Fault::ReadOnlyFile
                                ? asUnprivileged([path] { return writeOutcome(path); })
                                : writeOutcome(path);

    QCOMPARE(outcome, QStringLiteral("Unable to write to ") + path);
    QCOMPARE(snapshot(m_dir->path()), before);
}

void tst_SettingsFile::shouldKeepModeOwnerAndGroup()
{
    QVERIFY(writeAll(m_path, Original));
    QVERIFY(::chmod(QFile::encodeName(m_path).constData(), 0640) == 0);
    // As root, the file belongs to another account, which must still own it afterwards.
    if (::geteuid() == 0)
        QVERIFY(::chown(QFile::encodeName(m_path).constData(), Nobody, Nobody) == 0);
    struct stat before {};
    QVERIFY(::stat(QFile::encodeName(m_path).constData(), &before) == 0);

    QCOMPARE(writeOutcome(m_path), QStringLiteral("(written)"));

    struct stat after {};
    QVERIFY(::stat(QFile::encodeName(m_path).constData(), &after) == 0);
    QCOMPARE(contentOf(m_path), Written);
    QCOMPARE(after.st_mode & 07777, mode_t(0640));
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
}

void tst_SettingsFile::shouldFollowSymbolicLink()
{
    const QString shared = m_dir->filePath(QStringLiteral("shared"));
    QVERIFY(QDir().mkdir(shared));
    QVERIFY(writeAll(shared + QStringLiteral("/Register.ini"), Original));
    QVERIFY(::symlink("../shared/Register.ini", QFile::encodeName(m_path).constData()) == 0);

    QCOMPARE(writeOutcome(m_path), QStringLiteral("(written)"));

    QVERIFY(QFileInfo(m_path).isSymLink());
    QCOMPARE(QFile::symLinkTarget(m_path), shared + QStringLiteral("/Register.ini"));
    QCOMPARE(contentOf(shared + QStringLiteral("/Register.ini")), Written);
}

void tst_SettingsFile::shouldWriteInPlaceInReadOnlyFolder_data()
{
    QTest::addColumn<bool>("throughGroup");

    QTest::newRow("file owned by the writer") << false;
    // Another account owns the file; the writer may write it but not change its attributes.
    QTest::newRow("file writable through its group") << true;
}

void tst_SettingsFile::shouldWriteInPlaceInReadOnlyFolder()
{
    QFETCH(bool, throughGroup);

    QVERIFY(writeAll(m_path, Original));
    const QByteArray file = QFile::encodeName(m_path);
    if (throughGroup) {
        if (::geteuid() != 0)
            QSKIP("needs root to give the file to another account");
        QVERIFY(::chown(file.constData(), 0, Nobody) == 0);
        QVERIFY(::chmod(file.constData(), 0664) == 0);
    } else {
        QVERIFY(::chown(file.constData(), unprivilegedId(), -1) == 0);
    }
    QVERIFY(::chmod(QFile::encodeName(m_folder).constData(), 0555) == 0);

    QCOMPARE(asUnprivileged([this] { return writeOutcome(m_path); }),
             QStringLiteral("(written)"));
    QCOMPARE(contentOf(m_path), Written);
    QCOMPARE(QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Register.ini")});
}

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_settingsfile.moc"
