#include "BottomBar.h"
#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "DirectoriesPage.h"
#include "FakeServices.h"
#include "FileContent.h"
#include "ModulesPage.h"
#include "SettingsHandle.h"
#include "TestFiles.h"
#include "Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLockFile>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

namespace {

// Replaces what the field holds by typing, as a user would.
void retype(QLineEdit* field, const QString& text)
{
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

void tick(QAbstractButton* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

// The mode is chosen from the list with the keyboard, which is a choice like a click.
void chooseStandalone(DatabasePage& page)
{
    QTest::keyClick(page.cbServer, Qt::Key_Up);
}

QString barState(const TfrmConfigTools& w)
{
    return bottomBarState(w);
}

QStringList boxesOf(const FakeServices& fake)
{
    QStringList shown;
    for (const ShownBox& box : fake.boxes.shown)
        shown << box.kind + ": " + box.text;
    return shown;
}

// The page on view when OK is pressed.
enum class Page { Database, Directories };

// What happens to Register.ini: a folder in its place refuses the write even to root.
enum class SettingsFault { None, FolderAfterLoading };

// What keeps the alias configuration from being saved.
enum class EngineFault { Fifo, Locked, NotAFile };

} // namespace

Q_DECLARE_METATYPE(Page)
Q_DECLARE_METATYPE(SettingsFault)
Q_DECLARE_METATYPE(EngineFault)

class tst_ApplyWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void shouldSaveEditsOfAllPagesAndCloseOnOk();
    void shouldStayOpenWhenOkFails_data();
    void shouldStayOpenWhenOkFails();
    void shouldDropClicksQueuedWhileRunning();
    void shouldReportEngineErrorAndStayUsable_data();
    void shouldReportEngineErrorAndStayUsable();

private:
    QString expand(QString text) const
    {
        return text.replace(QLatin1String("@DIR@"), m_dir->path());
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_seed;
};

void tst_ApplyWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir shop(m_dir->path());
    for (const char* folder : {"Db", "PurgeC", "PurgeC2", "Pictures", "Log", "Log2"})
        QVERIFY(shop.mkpath(QLatin1String(folder)));
    for (const char* report : {"Report", "Report2", "Report3"})
        for (const char* sub : {"Analysis", "Form", "Journal", "Listing", "Misc"})
            QVERIFY(shop.mkpath(QLatin1String(report) + '/' + QLatin1String(sub)));
    QVERIFY(shop.rmdir("Report3/Journal"));
    for (const char* file : {"Db/POSAPP.FDB", "Db/POSHIS.FDB", "Db/POSSTK.FDB", "Db/POSSYS.FDB",
                             "Tmp.gdb", "Tmp2.gdb"}) {
        QFile data(shop.filePath(QLatin1String(file)));
        QVERIFY(data.open(QIODevice::WriteOnly));
    }
    m_seed = expand(QString::fromLatin1(
                        contentOf(QStringLiteral(CALVEX_TEST_DATA "/apply/window_seed.ini"))))
                 .toLocal8Bit();
    QVERIFY(writeAll(shop.filePath("Register.ini"), m_seed));
}

void tst_ApplyWindow::cleanup()
{
    m_dir.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_ApplyWindow::shouldSaveEditsOfAllPagesAndCloseOnOk()
{
    FakeServices fake;
    TfrmConfigTools window(m_dir->filePath("calvex"), fake.services());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    DatabasePage& database = *window.databasePage;
    QTest::mouseClick(window.LabelDatabase, Qt::LeftButton);
    chooseStandalone(database);
    QVERIFY(database.isStandalone());
    retype(database.DirPurgeLocalC, expand("@DIR@/PurgeC2"));
    tick(database.cbPurgeLocalC);
    retype(database.edtPosTmp, expand("@DIR@/Tmp2.gdb"));

    DirectoriesPage& directories = *window.directoriesPage;
    QTest::mouseClick(window.LabelDirectories, Qt::LeftButton);
    retype(directories.dedtReportPath, expand("@DIR@/Report2"));
    retype(directories.DirectoryEdit1, expand("@DIR@/Log2"));
    retype(directories.CurrencyEdit1, QStringLiteral("007"));
    tick(directories.RadioGroup1->item(0));
    QVERIFY(!directories.DirectoryEdit8->isEnabled());

    ModulesPage& modules = *window.modulesPage;
    QTest::mouseClick(window.LabelModules, Qt::LeftButton);
    tick(modules.CheckBox10);
    tick(modules.CheckBox14);
    retype(modules.edtSetupini, expand("@DIR@/Setup.ini"));

    QStringList pauses;
    fake.pause.onPause = [&](int ms) {
        pauses << QStringLiteral("%1 at %2: %3")
                      .arg(ms)
                      .arg(window.ProgressBar1->value())
                      .arg(barState(window));
    };

    QTest::mouseClick(window.BitBtn2, Qt::LeftButton);

    QCOMPARE(boxesOf(fake), QStringList{"information: Calvex Update Completed."});
    QVERIFY(!window.isVisible());
    const QString running = BottomBar::Running;
    QCOMPARE(pauses, QStringList({"100 at 25: " + running, "100 at 50: " + running,
                                  "500 at 75: " + running, "500 at 100: " + running}));
    QCOMPARE(window.BitBtn5->toolTip(), QStringLiteral("Default GDB"));
    const QStringList expected{
        "DATABASE/DATABASE_SERVER=LOCAL",
        "DATABASE/POS_PURGE_PATH=@DIR@/PurgeC2",
        "DATABASE/POS_PURGE_PATH_TF=1",
        "DATABASE/POSTMP_FILE=@DIR@/Tmp2.gdb",
        "DATABASE/POSAPP_SERVER=@DIR@/Db/POSAPP.FDB",
        "DATABASE/ARCHIVE_GDB=Default GDB",
        "DATABASE/STOCK_PHOTO_PATH=@DIR@/Pictures",
        "DATABASE/STOCK_PHOTO_LOADSAVE=GDB",
        "DATABASE/LOAD_SETUP_INI_FILE=@DIR@/Setup.ini",
        "REPORT/PATH=@DIR@/Report2",
        "REPORT/ANALYSIS=@DIR@/Report2/Analysis",
        "REPORT/FORM=@DIR@/Report2/Form",
        "REPORT/JOURNAL=@DIR@/Report2/Journal",
        "REPORT/LISTING=@DIR@/Report2/Listing",
        "REPORT/MISC=@DIR@/Report2/Misc",
        "REPORT/SALES=@DIR@/Report/Sales",
        "REPORT/LOG=@DIR@/Log2",
        "REPORT/LOG_EXT=007",
        "APPLICATION_LINK/BACKUP_SYSTEM=1",
        "APPLICATION_LINK/DATA_INITIATION=0",
        "APPLICATION_LINK/POLLING_MODULE=1",
        "LANGUAGE/LANGUAGE=0",
    };
    const SettingsHandle settings = openSettings(m_dir->filePath("Register.ini"));
    const SettingsHandle aliases = openSettings(m_dir->filePath("DbAliases.cfg"));
    const QStringList stored = [&] {
        QStringList entries;
        for (const QString& entry : expected) {
            const QString where = entry.section('=', 0, 0);
            entries << where + "=" +
                           settings->readText(where.section('/', 0, 0), where.section('/', 1),
                                              "(absent)");
        }
        for (const char* alias : {"POSSYS", "POSAPP", "POSTMP"})
            entries << QLatin1String(alias) + "=" +
                           aliases->readText(alias, "SERVER NAME", "(absent)");
        return entries;
    }();
    QCOMPARE(stored, QStringList(expected + QStringList{"POSSYS=@DIR@/Db/POSSYS.FDB",
                                                        "POSAPP=@DIR@/Db/POSAPP.FDB",
                                                        "POSTMP=@DIR@/Tmp2.gdb"})
                         .replaceInStrings("@DIR@", m_dir->path()));
}

void tst_ApplyWindow::shouldStayOpenWhenOkFails_data()
{
    QTest::addColumn<Page>("page");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("archive"); // ARCHIVE_GDB afterwards
    QTest::addColumn<SettingsFault>("fault");

    QTest::newRow("report sub-folder missing")
        << Page::Directories << "dedtReportPath"
        << "@DIR@/Report3"
        << "error: Directory Not Found !\r\nPlease check, directory not able to load.\r\n"
           "\r\nStock Journals : @DIR@/Report3/Journal"
        << "Archive 2025" << SettingsFault::None;
    QTest::newRow("data file of a new alias missing")
        << Page::Database << "edtPosApp"
        << "@DIR@/Db/Gone.FDB"
        << "application: Cannot Locate Interbase data file : Application GDB."
        << "Default GDB" << SettingsFault::None;
    QTest::newRow("settings file unwritable")
        << Page::Database << "edtPosTmp"
        << "@DIR@/Tmp2.gdb"
        << "application: Unable to write to @DIR@/Register.ini."
        << "(unreadable)" << SettingsFault::FolderAfterLoading;
}

void tst_ApplyWindow::shouldStayOpenWhenOkFails()
{
    QFETCH(Page, page);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, box);
    QFETCH(QString, archive);
    QFETCH(SettingsFault, fault);
    FakeServices fake;
    TfrmConfigTools window(m_dir->filePath("calvex"), fake.services());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    if (fault == SettingsFault::FolderAfterLoading)
        QVERIFY(QFile::remove(m_dir->filePath("Register.ini")) &&
                QDir(m_dir->path()).mkdir("Register.ini"));
    chooseStandalone(*window.databasePage);
    QTest::mouseClick(page == Page::Directories ? window.LabelDirectories : window.LabelDatabase,
                      Qt::LeftButton);
    auto* edit = window.findChild<QLineEdit*>(field);
    QVERIFY(edit && edit->isVisible());
    retype(edit, expand(typed));
    QString barAtBox;
    fake.boxes.onShow = [&](const ShownBox&) { barAtBox = barState(window); };

    QTest::mouseClick(window.BitBtn2, Qt::LeftButton);

    QCOMPARE(boxesOf(fake), QStringList{expand(box)});
    QVERIFY(window.isVisible());
    const QString idle = BottomBar::Idle;
    QCOMPARE(barAtBox, idle);
    QCOMPARE(barState(window), idle);
    QCOMPARE(openSettings(m_dir->filePath("Register.ini"))
                 ->readText("DATABASE", "ARCHIVE_GDB", "(unreadable)"),
             archive);
    if (box.startsWith(QLatin1String("error")))
        QCOMPARE(contentOf(m_dir->filePath("Register.ini")), m_seed);
    window.close();
}

// A click on the disabled Cancel during the pauses waits in the queue; it must not close the
// window once the stage error has restored the buttons.
void tst_ApplyWindow::shouldDropClicksQueuedWhileRunning()
{
    FakeServices fake;
    TfrmConfigTools window(m_dir->filePath("calvex"), fake.services());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    chooseStandalone(*window.databasePage);
    retype(window.databasePage->edtPosApp, expand("@DIR@/Db/Gone.FDB"));
    fake.pause.onPause = [&](int) {
        const QPointF centre = window.bbtnCancel->rect().center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                window.bbtnCancel,
                new QMouseEvent(type, centre, window.bbtnCancel->mapToGlobal(centre),
                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    };

    QTest::mouseClick(window.BitBtn2, Qt::LeftButton);
    QCoreApplication::processEvents();

    QCOMPARE(fake.boxes.shown.size(), 1);
    QCOMPARE(fake.pause.pauses.size(), 3);
    QVERIFY(window.isVisible());
    window.close();
}

void tst_ApplyWindow::shouldReportEngineErrorAndStayUsable_data()
{
    QTest::addColumn<EngineFault>("fault");
    QTest::addColumn<QString>("box"); // how the box begins; @CFG@ is the alias configuration

    QTest::newRow("a FIFO in its place")
        << EngineFault::Fifo
        << "application: Cannot read the alias configuration @CFG@: it is not a regular file.";
    QTest::newRow("locked by another program")
        << EngineFault::Locked
        << "application: The alias configuration @CFG@ is locked by another program (process ";
    QTest::newRow("a folder in its place")
        << EngineFault::NotAFile << "application: Cannot read the alias configuration @CFG@";
}

void tst_ApplyWindow::shouldReportEngineErrorAndStayUsable()
{
    QFETCH(EngineFault, fault);
    QFETCH(QString, box);
    const QString cfg = m_dir->filePath("DbAliases.cfg");
    std::unique_ptr<QLockFile> lock;
    switch (fault) {
    case EngineFault::Fifo:
        QVERIFY(::mkfifo(QFile::encodeName(cfg).constData(), 0644) == 0);
        break;
    case EngineFault::Locked:
        lock = std::make_unique<QLockFile>(cfg + ".lock");
        QVERIFY(lock->tryLock());
        break;
    case EngineFault::NotAFile:
        QVERIFY(QDir(m_dir->path()).mkdir("DbAliases.cfg"));
        break;
    }
    FakeServices fake;
    TfrmConfigTools window(m_dir->filePath("calvex"), fake.services());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    chooseStandalone(*window.databasePage);

    QTest::mouseClick(window.BitBtn2, Qt::LeftButton);

    const QStringList shown = boxesOf(fake);
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().startsWith(QString(box).replace("@CFG@", cfg)),
             qPrintable(shown.first()));
    QVERIFY(window.isVisible());
    QCOMPARE(barState(window), BottomBar::Idle);

    // Once the fault is mended, the same window completes the update.
    lock.reset();
    if (QFileInfo(cfg).isDir())
        QVERIFY(QDir(m_dir->path()).rmdir("DbAliases.cfg"));
    else
        QFile::remove(cfg); // absent when it was only locked, a FIFO otherwise
    fake.boxes.shown.clear();
    QTest::mouseClick(window.BitBtn2, Qt::LeftButton);
    QCOMPARE(boxesOf(fake), QStringList{"information: Calvex Update Completed."});
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(tst_ApplyWindow)
#include "tst_apply_window.moc"
