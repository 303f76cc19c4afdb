#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "DirectoriesPage.h"
#include "FakeServices.h"
#include "FaultInjection.h"
#include "IniDocument.h"
#include "TestFiles.h"
#include "Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

namespace {

enum class Fault { FullDisk, SizeLimit };

void retype(QLineEdit* field, const QString& text)
{
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

QStringList boxesOf(const FakeServices& fake)
{
    QStringList shown;
    for (const ShownBox& box : fake.boxes.shown)
        shown << box.kind + ": " + box.text;
    return shown;
}

bool barRestored(const TfrmConfigTools& w)
{
    return w.BitBtn2->isEnabled() && w.bbtnCancel->isEnabled() && w.BitBtn5->isEnabled() &&
           !w.ProgressBar1->isVisible();
}

// "SECTION/KEY=value" for every key line of an INI file, in file order.
QStringList keysOf(const QByteArray& ini)
{
    QStringList entries;
    QString section;
    for (QByteArray line : ini.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('['))
            section = QString::fromLatin1(line.mid(1, line.indexOf(']') - 1));
        else if (line.contains('='))
            entries << section + '/' + QString::fromLatin1(line);
    }
    return entries;
}

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Special)

class tst_FaultsWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldReportFullDiskAndKeepBothFiles_data();
    void shouldReportFullDiskAndKeepBothFiles();
    void shouldLeaveOldOrNewValuesWhenDiskFillsDuringApply_data();
    void shouldLeaveOldOrNewValuesWhenDiskFillsDuringApply();
    void shouldOpenWithErrorWhenSettingsFileIsSpecial_data();
    void shouldOpenWithErrorWhenSettingsFileIsSpecial();
    void shouldEndApplyWithErrorWhenAliasFileIsSpecial_data();
    void shouldEndApplyWithErrorWhenAliasFileIsSpecial();
    void shouldRemoveStaleTemporariesAtStart();
    void shouldKeepBackupsOfBothFilesOnOk();

private:
    QString shop() const { return m_dir->filePath(QStringLiteral("shop")); }
    QString iniPath() const { return shop() + QStringLiteral("/Register.ini"); }
    QString cfgPath() const { return shop() + QStringLiteral("/DbAliases.cfg"); }
    // The shop's folders and files, its Register.ini and an alias configuration with another
    // program's alias.
    void layOutShop();
    // Opens the window, edits two fields and presses OK; `duringPause` runs at each pause.
    void runOk(FakeServices& fake, const std::function<void(int)>& duringPause = {});

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_FaultsWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkdir(shop()));
}

void tst_FaultsWindow::cleanup()
{
    m_dir.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_FaultsWindow::layOutShop()
{
    QDir folder(shop());
    for (const char* sub : {"Db", "PurgeC", "Pictures", "Log", "Report/Analysis", "Report/Form",
                            "Report/Journal", "Report/Listing", "Report/Misc", "Report2/Analysis",
                            "Report2/Form", "Report2/Journal", "Report2/Listing", "Report2/Misc"})
        QVERIFY(folder.mkpath(QLatin1String(sub)));
    QVERIFY(createEntries(shop(), {"Db/POSAPP.FDB", "Db/POSHIS.FDB", "Db/POSSTK.FDB",
                                   "Db/POSSYS.FDB", "Tmp.gdb", "Tmp2.gdb"}));
    const QByteArray seed = readAll(testDataPath(QStringLiteral("apply/window_seed.ini")))
                                .replace("@DIR@", QFile::encodeName(shop()));
    QVERIFY(!seed.isEmpty());
    QVERIFY(writeAll(iniPath(), seed));
    QVERIFY(writeAll(cfgPath(), "[OTHER]\nTYPE=MSSQL\nDATABASE NAME=keep\n"));
}

void tst_FaultsWindow::runOk(FakeServices& fake, const std::function<void(int)>& duringPause)
{
    TfrmConfigTools window(shop() + QStringLiteral("/calvex"), fake.services());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    DatabasePage& database = *window.databasePage;
    QTest::keyClick(database.cbServer, Qt::Key_Up); // standalone
    retype(database.edtPosTmp, shop() + QStringLiteral("/Tmp2.gdb"));
    QTest::mouseClick(window.LabelDirectories, Qt::LeftButton);
    retype(window.directoriesPage->dedtReportPath, shop() + QStringLiteral("/Report2"));
    int pauses = 0;
    fake.pause.onPause = [&](int) {
        if (duringPause)
            duringPause(++pauses);
    };
    QTest::mouseClick(window.BitBtn2, Qt::LeftButton);
    if (!fake.boxes.shown.isEmpty() && fake.boxes.shown.last().kind == QLatin1String("application")) {
        QVERIFY(window.isVisible());
        QVERIFY(barRestored(window));
    }
}

void tst_FaultsWindow::shouldReportFullDiskAndKeepBothFiles_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::newRow("full file system") << Fault::FullDisk;
    QTest::newRow("file size limit") << Fault::SizeLimit;
}

void tst_FaultsWindow::shouldReportFullDiskAndKeepBothFiles()
{
    QFETCH(Fault, fault);
    SmallDisk disk(shop(), 128);
    if (fault == Fault::FullDisk && !disk.mounted())
        QSKIP("mounting a small file system needs root; the file size limit row covers this");
    layOutShop();
    const QByteArray ini = readAll(iniPath());
    const QByteArray cfg = readAll(cfgPath());
    std::unique_ptr<FileSizeLimit> limit;
    if (fault == Fault::FullDisk)
        QVERIFY(disk.fill());
    else
        limit = std::make_unique<FileSizeLimit>(rlim_t(1));

    FakeServices fake;
    runOk(fake);
    limit.reset();

    QCOMPARE(boxesOf(fake),
             QStringList{QStringLiteral("application: Unable to write to %1.").arg(iniPath())});
    QCOMPARE(readAll(iniPath()), ini);
    QCOMPARE(readAll(cfgPath()), cfg);
}

void tst_FaultsWindow::shouldLeaveOldOrNewValuesWhenDiskFillsDuringApply_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("atPause"); // the disk fills while the n-th pause runs
    for (int pause = 1; pause <= 4; ++pause) {
        QTest::addRow("full file system at pause %d", pause) << Fault::FullDisk << pause;
        QTest::addRow("file size limit at pause %d", pause) << Fault::SizeLimit << pause;
    }
}

void tst_FaultsWindow::shouldLeaveOldOrNewValuesWhenDiskFillsDuringApply()
{
    QFETCH(Fault, fault);
    QFETCH(int, atPause);
    SmallDisk disk(shop(), 256);
    if (fault == Fault::FullDisk && !disk.mounted())
        QSKIP("mounting a small file system needs root; the file size limit rows cover this");

    // What an Apply that succeeds leaves, as the reference of every new value.
    layOutShop();
    const QStringList oldIni = keysOf(readAll(iniPath()));
    const QByteArray oldCfg = readAll(cfgPath());
    {
        FakeServices fake;
        runOk(fake);
        QCOMPARE(boxesOf(fake), QStringList{QStringLiteral("information: Calvex Update Completed.")});
    }
    const QStringList newIni = keysOf(readAll(iniPath()));
    const QByteArray newCfg = readAll(cfgPath());
    QVERIFY(newIni != oldIni && newCfg != oldCfg);

    layOutShop();
    std::unique_ptr<FileSizeLimit> limit;
    FakeServices fake;
    runOk(fake, [&](int pause) {
        if (pause != atPause)
            return;
        if (fault == Fault::FullDisk)
            QVERIFY(disk.fill());
        else
            limit = std::make_unique<FileSizeLimit>(rlim_t(1));
    });
    limit.reset();

    const QByteArray cfg = readAll(cfgPath());
    // The aliases are saved one after the other: old, new, or the old with the first few added.
    QVERIFY2(cfg.startsWith(oldCfg) && newCfg.startsWith(cfg) &&
                 (cfg == newCfg || newCfg.mid(cfg.size()).startsWith("\n[")),
             cfg.constData());
    const QStringList ini = keysOf(readAll(iniPath()));
    QVERIFY(!ini.isEmpty());
    for (const QString& entry : ini)
        QVERIFY2(oldIni.contains(entry) || newIni.contains(entry), qPrintable(entry));
    for (const QString& entry : oldIni) {
        const QString key = entry.section('=', 0, 0) + '=';
        QVERIFY2(std::any_of(ini.begin(), ini.end(),
                             [&](const QString& e) { return e.startsWith(key); }),
                 qPrintable(key));
    }
    if (!fake.boxes.shown.isEmpty() && fake.boxes.shown.last().kind == QLatin1String("application"))
        QVERIFY2(fake.boxes.shown.last().text.startsWith(QLatin1String("Unable to write to ")) ||
                     fake.boxes.shown.last().text.startsWith(QLatin1String("Cannot save the alias")),
                 qPrintable(fake.boxes.shown.last().text));
    QStringList left = QDir(shop()).entryList(QDir::Files | QDir::Hidden);
    left.removeAll(QStringLiteral(".filler"));
    left.removeAll(QStringLiteral("Register.ini.bak"));
    left.removeAll(QStringLiteral("DbAliases.cfg.bak"));
    QCOMPARE(left, QStringList({"DbAliases.cfg", "Register.ini", "Tmp.gdb", "Tmp2.gdb"}));
}

void tst_FaultsWindow::shouldOpenWithErrorWhenSettingsFileIsSpecial_data()
{
    QTest::addColumn<Special>("special");
    QTest::newRow("FIFO") << Special::Fifo;
    QTest::newRow("socket") << Special::Socket;
    QTest::newRow("folder") << Special::Folder;
    QTest::newRow("link to /dev/zero") << Special::DevZeroLink;
}

void tst_FaultsWindow::shouldOpenWithErrorWhenSettingsFileIsSpecial()
{
    QFETCH(Special, special);
    QLocalServer server;
    QVERIFY(makeSpecialFile(special, iniPath(), server));
    FakeServices fake;
    QElapsedTimer clock;
    clock.start();
    TfrmConfigTools window(shop() + QStringLiteral("/calvex"), fake.services());
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(boxesOf(fake),
             QStringList{QStringLiteral("application: Unable to write to %1.").arg(iniPath())});
}

void tst_FaultsWindow::shouldEndApplyWithErrorWhenAliasFileIsSpecial_data()
{
    shouldOpenWithErrorWhenSettingsFileIsSpecial_data();
}

void tst_FaultsWindow::shouldEndApplyWithErrorWhenAliasFileIsSpecial()
{
    QFETCH(Special, special);
    layOutShop();
    QVERIFY(QFile::remove(cfgPath()));
    QLocalServer server;
    QVERIFY(makeSpecialFile(special, cfgPath(), server));
    FakeServices fake;
    runOk(fake);
    const QString reason = special == Special::Folder ? QStringLiteral("it is a folder")
                                                      : QStringLiteral("it is not a regular file");
    QCOMPARE(boxesOf(fake),
             QStringList{QStringLiteral("application: Cannot read the alias configuration %1: %2.")
                             .arg(cfgPath(), reason)});
}

void tst_FaultsWindow::shouldRemoveStaleTemporariesAtStart()
{
    layOutShop();
    QVERIFY(createEntries(shop(), {"Register.ini.k9Xq2Z", "DbAliases.cfg.Qw3rTy",
                                   "Register.ini.bak", "Register.ini.bak.a1B2c3"}));
    FakeServices fake;
    TfrmConfigTools window(shop() + QStringLiteral("/calvex"), fake.services());
    QCOMPARE(boxesOf(fake), QStringList());
    QCOMPARE(QDir(shop()).entryList({"Register.ini*", "DbAliases.cfg*"}, QDir::Files),
             QStringList({"DbAliases.cfg", "Register.ini", "Register.ini.bak"}));
}

// OK keeps the settings as they were before it, and the first alias save the configuration, so a
// technician can undo a bad Apply by hand; an older backup is replaced.
void tst_FaultsWindow::shouldKeepBackupsOfBothFilesOnOk()
{
    layOutShop();
    const QByteArray ini = readAll(iniPath());
    const QByteArray cfg = readAll(cfgPath());
    QVERIFY(QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(writeAll(iniPath() + ".bak", "older backup"));

    FakeServices fake;
    runOk(fake);

    QCOMPARE(boxesOf(fake), QStringList{QStringLiteral("information: Calvex Update Completed.")});
    QVERIFY(readAll(iniPath()) != ini && readAll(cfgPath()) != cfg);
    QCOMPARE(readAll(iniPath() + ".bak"), ini);
    QCOMPARE(readAll(cfgPath() + ".bak"), cfg);
    QCOMPARE(QFile::permissions(iniPath() + ".bak"), QFile::permissions(iniPath()));
}

QTEST_MAIN(tst_FaultsWindow)
#include "tst_faults_window.moc"
