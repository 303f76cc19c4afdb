#include "Errors.h"
#include "SettingsFile.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

// The text that SettingsFile reads and writes: defaults, the code page, writes that change
// nothing, and a cached copy that never hides another program's change.

namespace {

QByteArray contentOf(const QString& path)
{
    return readAll(path, "(unreadable)");
}

} // namespace

class tst_SettingsText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldReturnDefaultTextAsTheProfileFunctionsDo_data();
    void shouldReturnDefaultTextAsTheProfileFunctionsDo();
    void shouldRefuseTextTheCodePageCannotHold_data();
    void shouldRefuseTextTheCodePageCannotHold();
    void shouldLeaveFileUntouchedWhenWriteChangesNothing_data();
    void shouldLeaveFileUntouchedWhenWriteChangesNothing();
    void shouldSeeAnotherProgramsChangeRightAfterOwnWrite();
    void shouldTrustStampsOnlyOnceTheClockHasMovedOn_data();
    void shouldTrustStampsOnlyOnceTheClockHasMovedOn();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path; // Register.ini in it
};

void tst_SettingsText::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("Register.ini"));
}

void tst_SettingsText::cleanup()
{
    m_dir.reset();
}

void tst_SettingsText::shouldReturnDefaultTextAsTheProfileFunctionsDo_data()
{
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "C" << "C";
    QTest::newRow("trailing spaces removed") << "abc   " << "abc";
    QTest::newRow("leading spaces kept") << "  abc" << "  abc";
    QTest::newRow("the first character is never removed") << "   " << " ";
    QTest::newRow("only spaces are removed, not tabs") << "abc \t" << "abc \t";
    QTest::newRow("one outer pair of quotes removed") << "\"a b\"" << "a b";
    QTest::newRow("quotes removed after the spaces") << "'a'  " << "a";
    QTest::newRow("a lone quote stays") << "\"" << "\"";
    QTest::newRow("unmatched quotes stay") << "\"a'" << "\"a'";
    QTest::newRow("an empty pair gives empty text") << "\"\"" << "";
    QTest::newRow("cut at 2047 characters") << QString(3000, QLatin1Char('x'))
                                            << QString(2047, QLatin1Char('x'));
    QTest::newRow("quotes removed before the cut")
        << '"' + QString(2047, QLatin1Char('x')) + '"' << QString(2047, QLatin1Char('x'));
}

void tst_SettingsText::shouldReturnDefaultTextAsTheProfileFunctionsDo()
{
    QFETCH(QString, defaultText);
    QFETCH(QString, expected);

    // Absent in every way: no file, no section, no key, a key without "=".
    SettingsFile* settings = SettingsFile::open(m_path);
    QCOMPARE(settings->readText(QStringLiteral("Database"), QStringLiteral("Server"), defaultText),
             expected);
    QVERIFY(writeAll(m_path, "[Other]\r\nServer=x\r\n[Database]\r\nPath=x\r\nServer\r\n"));
    QCOMPARE(settings->readText(QStringLiteral("Nowhere"), QStringLiteral("Server"), defaultText),
             expected);
    QCOMPARE(settings->readText(QStringLiteral("Other"), QStringLiteral("Path"), defaultText),
             expected);
    QCOMPARE(settings->readText(QStringLiteral("Database"), QStringLiteral("Server"), defaultText),
             expected);
    settings->release();
}

void tst_SettingsText::shouldRefuseTextTheCodePageCannotHold_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal"); // empty: written
    QTest::addColumn<QByteArray>("written");

    const QByteArray ansi("[Database]\r\nServer=caf\xe9\r\n");
    QTest::newRow("a letter outside Windows-1252")
        << ansi << QStringLiteral("\u0141\u00f3d\u017a")
        << QStringLiteral("The text \"\u0141\u00f3d\u017a\" cannot be written to @PATH@: "
                          "its code page, Windows-1252, has no \u0141 or \u017a")
        << ansi;
    QTest::newRow("a character beyond the 16-bit range")
        << ansi << QStringLiteral("shop \U0001F600")
        << QStringLiteral("The text \"shop \U0001F600\" cannot be written to @PATH@: "
                          "its code page, Windows-1252, has no \U0001F600")
        << ansi;
    QTest::newRow("a character without a glyph is named by its code")
        << ansi << QStringLiteral("a\u200bb")
        << QStringLiteral("The text \"a\u200bb\" cannot be written to @PATH@: "
                          "its code page, Windows-1252, has no U+200B")
        << ansi;
    QTest::newRow("the letters Windows-1252 holds are written")
        << ansi << QStringLiteral("\u00c9t\u00e9 \u20ac \u0081") << QString()
        << QByteArray("[Database]\r\nServer=\xc9t\xe9 \x80 \x81\r\n");
    QTest::newRow("a UTF-8 file holds every letter")
        << QByteArray("\xef\xbb\xbf[Database]\r\nServer=x\r\n")
        << QStringLiteral("\u0141\u00f3d\u017a") << QString()
        << QByteArray("\xef\xbb\xbf[Database]\r\nServer=\xc5\x81\xc3\xb3\x64\xc5\xba\r\n");
}

void tst_SettingsText::shouldRefuseTextTheCodePageCannotHold()
{
    QFETCH(QByteArray, original);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, written);

    QVERIFY(writeAll(m_path, original));
    SettingsFile* settings = SettingsFile::open(m_path);
    QString outcome;
    try {
        settings->writeText(QStringLiteral("Database"), QStringLiteral("Server"), typed);
    } catch (const CalvexError& e) {
        outcome = e.message();
    }
    settings->release();
    QCOMPARE(outcome, QString(refusal).replace(QLatin1String("@PATH@"), m_path));
    QCOMPARE(contentOf(m_path), written);
}

void tst_SettingsText::shouldLeaveFileUntouchedWhenWriteChangesNothing_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("written"); // null: the file is not written at all

    QTest::newRow("same value") << QByteArray("[Database]\r\nServer=Local\r\n") << "Local"
                                << QByteArray();
    QTest::newRow("same value, spacing around it")
        << QByteArray("[Database]\r\nServer =  Local \t\r\n") << "Local" << QByteArray();
    QTest::newRow("same quoted value") << QByteArray("[Database]\r\nServer=\"a b\"\r\n")
                                       << "\"a b\"" << QByteArray();
    QTest::newRow("same Windows-1252 text") << QByteArray("[Database]\r\nServer=caf\xe9\r\n")
                                            << QStringLiteral("caf\u00e9") << QByteArray();
    QTest::newRow("only the first key counts")
        << QByteArray("[Database]\r\nServer=Local\r\nServer=Remote\r\n") << "Local"
        << QByteArray();
    QTest::newRow("other letter case is a change")
        << QByteArray("[Database]\r\nServer=Local\r\n") << "LOCAL"
        << QByteArray("[Database]\r\nServer=LOCAL\r\n");
    QTest::newRow("a key without = is a change")
        << QByteArray("[Database]\r\nServer\r\n") << ""
        << QByteArray("[Database]\r\nServer=\r\n");
}

void tst_SettingsText::shouldLeaveFileUntouchedWhenWriteChangesNothing()
{
    QFETCH(QByteArray, original);
    QFETCH(QString, value);
    QFETCH(QByteArray, written);

    QVERIFY(writeAll(m_path, original));
    // An old modification time shows any rewrite, however quick.
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(m_path).constData(), old, 0) == 0);
    struct stat before {};
    QVERIFY(::stat(QFile::encodeName(m_path).constData(), &before) == 0);

    SettingsFile* settings = SettingsFile::open(m_path);
    settings->writeText(QStringLiteral("Database"), QStringLiteral("Server"), value);
    settings->release();

    struct stat after {};
    QVERIFY(::stat(QFile::encodeName(m_path).constData(), &after) == 0);
    QCOMPARE(contentOf(m_path), written.isNull() ? original : written);
    QCOMPARE(after.st_ino == before.st_ino && after.st_mtim.tv_sec == before.st_mtim.tv_sec &&
                 after.st_ctim.tv_sec == before.st_ctim.tv_sec &&
                 after.st_ctim.tv_nsec == before.st_ctim.tv_nsec,
             written.isNull());
}

void tst_SettingsText::shouldSeeAnotherProgramsChangeRightAfterOwnWrite()
{
    QVERIFY(writeAll(m_path, "[Database]\r\nServer=Local\r\n"));
    SettingsFile* settings = SettingsFile::open(m_path);
    settings->writeText(QStringLiteral("Database"), QStringLiteral("Server"),
                        QStringLiteral("Remote"));
    QCOMPARE(settings->readText(QStringLiteral("Database"), QStringLiteral("Server")),
             QStringLiteral("Remote"));

    // At once, in place, the same size: where the clock is coarse, only the bytes tell.
    QVERIFY(writeAll(m_path, "[Database]\r\nServer=Other!\r\n"));
    QCOMPARE(settings->readText(QStringLiteral("Database"), QStringLiteral("Server")),
             QStringLiteral("Other!"));
    settings->writeText(QStringLiteral("Database"), QStringLiteral("Path"), QStringLiteral("/p"));
    QCOMPARE(contentOf(m_path), QByteArray("[Database]\r\nServer=Other!\r\nPath=/p\r\n"));
    settings->release();
}

void tst_SettingsText::shouldTrustStampsOnlyOnceTheClockHasMovedOn_data()
{
    QTest::addColumn<qint64>("changedNs"); // the file's change time
    QTest::addColumn<qint64>("nowNs");
    QTest::addColumn<bool>("settled");

    const qint64 second = 1'000'000'000LL;
    const qint64 base = 1000 * second + 500'000'000LL;
    QTest::newRow("in the same tick") << base << base << false;
    QTest::newRow("a few ticks later") << base << base + 8'000'000LL << false;
    QTest::newRow("well after") << base << base + 50'000'000LL << true;
    QTest::newRow("in the future") << base + second << base << false;
    QTest::newRow("whole seconds, one second later") << 1000 * second << 1001 * second << false;
    QTest::newRow("whole seconds, three seconds later") << 1000 * second << 1003 * second << true;
}

void tst_SettingsText::shouldTrustStampsOnlyOnceTheClockHasMovedOn()
{
    QFETCH(qint64, changedNs);
    QFETCH(qint64, nowNs);
    QFETCH(bool, settled);

    const auto at = [](qint64 ns) {
        return timespec{time_t(ns / 1'000'000'000LL), long(ns % 1'000'000'000LL)};
    };
    QCOMPARE(changeStampIsSettled(at(changedNs), at(nowNs)), settled);
}

QTEST_GUILESS_MAIN(tst_SettingsText)
#include "tst_settingstext.moc"
