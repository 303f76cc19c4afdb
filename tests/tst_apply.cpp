#include "Apply.h"
#include "BottomBar.h"
#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "DirectoriesPage.h"
#include "ErrorReporting.h"
#include "Errors.h"
#include "FakeServices.h"
#include "FileAliasEngine.h"
#include "FileContent.h"
#include "ModulesPage.h"
#include "SettingsHandle.h"
#include "TestFiles.h"
#include "WidgetEdits.h"
#include "Widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString Data = QStringLiteral(CALVEX_TEST_DATA "/apply/");

QStringList linesOf(const QByteArray& content)
{
    return QString::fromLocal8Bit(content).split(QLatin1Char('\n'));
}

// The data-server mode box and the never-shown production/training group, by the item
// selected; None is a box or group with no item selected.
enum class Mode { Standalone = 0, Client = 1, None = -1 };
enum class Set { Production = 0, Training = 1, None = -1 };

// When Register.ini stops taking writes during Apply.
enum class Fault { Never, AfterFirstStage, BeforeApply };

} // namespace

Q_DECLARE_METATYPE(Mode)
Q_DECLARE_METATYPE(Set)
Q_DECLARE_METATYPE(Fault)

namespace {

const QString FolderHead =
    QStringLiteral("Directory Not Found !\r\nPlease check, directory not able to load.\r\n");
const QString FileHead =
    QStringLiteral("File Not Exists ! \r\nPlease check, file not able to load.\r\n\r\n");

const QString App = QStringLiteral("@DIR@/DbTrain/App.gdb");
const QString His = QStringLiteral("@DIR@/DbTrain/His.gdb");
const QString Stk = QStringLiteral("@DIR@/DbTrain/Stk.gdb");
const QString Sys = QStringLiteral("@DIR@/DbTrain/Sys.gdb");

// Every path of the pages names what exists in the shop folder: Apply passes as it stands.
// clang-format off
const QStringList ValidShop{
    "DirLocalC=@DIR@/Db", "edtPosApp=@DIR@/Db/POSAPP.FDB", "edtPosHis=@DIR@/Db/POSHIS.FDB",
    "edtPosStk=@DIR@/Db/POSSTK.FDB", "edtPosSys=@DIR@/Db/POSSYS.FDB", "DirPurgeLocalC=@DIR@/PurgeC",
    "cbPurgeLocalC=1", "DirZeroPath=@DIR@/DbZero", "edtPosTmp=@DIR@/Tmp.gdb", "rBtnOS0=1",
    "edtServerName=SHOPSRV:", "DirLocalT=@DIR@/DbTrain", "edtTrainApp=" + App, "edtTrainHis=" + His,
    "edtTrainStk=" + Stk, "edtTrainSys=" + Sys, "DirPurgeLocalT=@DIR@/PurgeT",
    "DirPurgeRemoteT=@DIR@/PurgeRT", "dedtReportPath=@DIR@/Report",
    "dedtInventory=@DIR@/Report/Analysis", "dedtTransaction=@DIR@/Report/Form",
    "dedtXZ=@DIR@/Report/Journal", "dedtListing=@DIR@/Report/Listing",
    "dedtMisc=@DIR@/Report/Misc", "dedtSales=@DIR@/Report/Sales", "dedtCustom=@DIR@/Report/Custom",
    "dedtCustomer=@DIR@/Report/Customer", "DirectoryEdit8=@DIR@/Pictures", "RadioGroup1=1",
    "DirectoryEdit1=@DIR@/Log", "CurrencyEdit1=000", "CheckBox1=1", "ComboBox1=0",
    "edtSetupini=@DIR@/Setup.ini", "CheckBox10=1", "CheckBox13=1"};
// clang-format on

// Apply on the real main window, opened over a temporary shop folder: its pages, its bottom
// bar and its settings file, with fake services.
struct Rig
{
    explicit Rig(const QString& folder)
        : dir(folder), window(folder + QStringLiteral("/calvex"), fake.services())
    {
        window.BitBtn5->setToolTip(QStringLiteral("Archive 2025"));
        window.show();
    }

    QString expand(QString text) const { return text.replace(QLatin1String("@DIR@"), dir); }

    // "objectName=value" sets a field's text, ticks a box ("1"), or picks an item by index.
    bool edit(const QStringList& edits)
    {
        return applyEdits(&window, edits, [this](const QString& value) { return expand(value); });
    }

    // Set::None keeps the group as loading left it.
    void choose(Mode mode, Set set)
    {
        database->cbServer->setCurrentIndex(static_cast<int>(mode));
        if (set != Set::None)
            database->rgDatabase->setItemIndex(static_cast<int>(set));
    }

    ApplyContext context()
    {
        return {database,          directories,         modules,
                window.Label24,    window.ProgressBar1, window.BitBtn2,
                window.bbtnCancel, window.BitBtn5,      window.settings(),
                &engine,           fake.services(),     &window};
    }

    // As the window runs it: what escapes is reported the way the application reports it.
    void press()
    {
        try {
            bbtnApplyClick(context());
        } catch (...) {
            reportError(std::current_exception(), fake.boxes, &window);
        }
    }

    QString barState() const { return bottomBarState(window); }

    QStringList boxes() const
    {
        QStringList shown;
        for (const ShownBox& box : fake.boxes.shown)
            shown << box.kind + ": " + box.text;
        return shown;
    }

    QString dir;
    FakeServices fake;
    TfrmConfigTools window;
    DatabasePage* database = window.databasePage;
    DirectoriesPage* directories = window.directoriesPage;
    ModulesPage* modules = window.modulesPage;
    QProgressBar* gauge = window.ProgressBar1;
    QPushButton* archive = window.BitBtn5;
    FileAliasEngine engine{dir + QStringLiteral("/DbAliases.cfg")};
};

using BottomBar::Idle;
using BottomBar::Running;

QStringList aliasesIn(const QString& path)
{
    QStringList names;
    for (const QString& line : linesOf(contentOf(path)))
        if (line.startsWith(QLatin1Char('[')))
            names << line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
    return names;
}

} // namespace

class tst_Apply : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void shouldShowFirstFailingCheckAndWriteNothing_data();
    void shouldShowFirstFailingCheckAndWriteNothing();
    void shouldRunStagesWithProgressAndSaveEverything();
    void shouldRestoreBarBeforeStageErrorAndKeepEarlierWrites_data();
    void shouldRestoreBarBeforeStageErrorAndKeepEarlierWrites();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Apply::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir shop(m_dir->path());
    for (const char* folder :
         {"Db", "DbTrain", "PurgeC", "PurgeT", "PurgeRT", "Report/Analysis", "Report/Form",
          "Report/Journal", "Report/Listing", "Report/Misc", "Pictures", "Log"})
        QVERIFY(shop.mkpath(QLatin1String(folder)));
    for (const char* file :
         {"Db/POSAPP.FDB", "Db/POSHIS.FDB", "Db/POSSTK.FDB", "Db/POSSYS.FDB", "DbTrain/App.gdb",
          "DbTrain/His.gdb", "DbTrain/Stk.gdb", "DbTrain/Sys.gdb", "Tmp.gdb"}) {
        QFile data(shop.filePath(QLatin1String(file)));
        QVERIFY(data.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFile::copy(Data + "seed.ini", shop.filePath("Register.ini")));
}

void tst_Apply::cleanup()
{
    m_dir.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_Apply::shouldShowFirstFailingCheckAndWriteNothing_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<Set>("set");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message"); // empty: every check passes
    const QString gone = QStringLiteral("@DIR@/Gone");
    auto purgePath = [](const QString& f) { return FolderHead + "\r\nGDB Purge Path :-\r\n" + f; };
    auto remotePurge = [](const QString& f) { return FolderHead + "\r\nPurge To Path :-\r\n" + f; };
    auto temporaryFile = [](const QString& f) {
        return FileHead + "fDB Temporary File :-\r\n" + f;
    };
    auto trainingFiles = [](const QString& app, const QString& his, const QString& stk,
                            const QString& sys) {
        return FileHead + "GDB Database Path Files :-\r\n" +
               QStringList{app, his, stk, sys}.join("\r\n");
    };

    QTest::newRow("standalone production: all present")
        << Mode::Standalone << Set::Production << QStringList{} << "";
    QTest::newRow("standalone production: purge folder missing")
        << Mode::Standalone << Set::Production << QStringList{"DirPurgeLocalC=" + gone}
        << purgePath(gone);
    QTest::newRow("standalone production: purge folder empty")
        << Mode::Standalone << Set::Production << QStringList{"DirPurgeLocalC="} << purgePath("");
    QTest::newRow("standalone production: purge folder is a file")
        << Mode::Standalone << Set::Production << QStringList{"DirPurgeLocalC=@DIR@/Tmp.gdb"}
        << purgePath("@DIR@/Tmp.gdb");
    QTest::newRow("standalone production: purge folder with trailing blank")
        << Mode::Standalone << Set::Production << QStringList{"DirPurgeLocalC=@DIR@/PurgeC "}
        << purgePath("@DIR@/PurgeC ");
    QTest::newRow("standalone production: training paths unchecked")
        << Mode::Standalone << Set::Production
        << QStringList{"edtTrainApp=", "DirPurgeLocalT=", "DirPurgeRemoteT="} << "";

    QTest::newRow("standalone training: all present")
        << Mode::Standalone << Set::Training << QStringList{} << "";
    QTest::newRow("standalone training: first file missing")
        << Mode::Standalone << Set::Training << QStringList{"edtTrainApp=" + gone}
        << trainingFiles(gone, His, Stk, Sys);
    QTest::newRow("standalone training: last file empty")
        << Mode::Standalone << Set::Training << QStringList{"edtTrainSys="}
        << trainingFiles(App, His, Stk, "");
    QTest::newRow("standalone training: file is a folder")
        << Mode::Standalone << Set::Training << QStringList{"edtTrainStk=@DIR@/DbTrain"}
        << trainingFiles(App, His, "@DIR@/DbTrain", Sys);
    QTest::newRow("standalone training: purge folder missing")
        << Mode::Standalone << Set::Training << QStringList{"DirPurgeLocalT=" + gone}
        << purgePath(gone);
    QTest::newRow("standalone training: files before purge folder")
        << Mode::Standalone << Set::Training << QStringList{"edtTrainHis=", "DirPurgeLocalT="}
        << trainingFiles(App, "", Stk, Sys);
    QTest::newRow("standalone training: production purge unchecked")
        << Mode::Standalone << Set::Training << QStringList{"DirPurgeLocalC="} << "";
    QTest::newRow("standalone, no set selected: checked as training")
        << Mode::Standalone << Set::None << QStringList{"edtTrainApp=" + gone}
        << trainingFiles(gone, His, Stk, Sys);

    QTest::newRow("client production: no path of the sets checked")
        << Mode::Client << Set::Production
        << QStringList{"DirPurgeLocalC=", "DirPurgeLocalT=", "DirPurgeRemoteT=", "edtTrainApp="}
        << "";
    QTest::newRow("client training: remote purge missing")
        << Mode::Client << Set::Training << QStringList{"DirPurgeRemoteT=" + gone}
        << remotePurge(gone);
    QTest::newRow("client training: remote purge empty")
        << Mode::Client << Set::Training << QStringList{"DirPurgeRemoteT="} << remotePurge("");
    QTest::newRow("client training: local training paths unchecked")
        << Mode::Client << Set::Training << QStringList{"edtTrainApp=", "DirPurgeLocalT="} << "";
    QTest::newRow("client, no set selected: checked as training")
        << Mode::Client << Set::None << QStringList{"DirPurgeRemoteT=" + gone} << remotePurge(gone);

    QTest::newRow("no mode selected, production: checked as client")
        << Mode::None << Set::Production
        << QStringList{"DirPurgeLocalC=", "DirPurgeLocalT=", "edtTrainApp=" + gone} << "";
    QTest::newRow("no mode selected, training: checked as client")
        << Mode::None << Set::Training << QStringList{"DirPurgeRemoteT=" + gone, "edtTrainApp="}
        << remotePurge(gone);

    QTest::newRow("temporary file missing")
        << Mode::Standalone << Set::Production << QStringList{"edtPosTmp=" + gone}
        << temporaryFile(gone);
    QTest::newRow("temporary file empty")
        << Mode::Client << Set::Production << QStringList{"edtPosTmp="} << temporaryFile("");
    QTest::newRow("temporary file is a folder")
        << Mode::Standalone << Set::Production << QStringList{"edtPosTmp=@DIR@/Db"}
        << temporaryFile("@DIR@/Db");
    QTest::newRow("remote server ticked: temporary file unchecked")
        << Mode::Standalone << Set::Production << QStringList{"CheckBox4=1", "edtPosTmp=" + gone}
        << "";
    QTest::newRow("database set before temporary file")
        << Mode::Standalone << Set::Production << QStringList{"DirPurgeLocalC=", "edtPosTmp="}
        << purgePath("");

    QTest::newRow("one sub-folder missing")
        << Mode::Standalone << Set::Production << QStringList{"dedtXZ=" + gone}
        << FolderHead + "\r\nStock Journals : " + gone;
    QTest::newRow("every sub-folder failing, listed in order")
        << Mode::Standalone << Set::Production
        << QStringList{"dedtInventory=", "dedtTransaction=@DIR@/A", "dedtXZ=@DIR@/Tmp.gdb",
                       "dedtListing=@DIR@/B", "dedtMisc=@DIR@/C"}
        << FolderHead +
               "\r\nStock Analysis : \r\nDocument Form : @DIR@/A\r\nStock Journals : @DIR@/Tmp.gdb"
               "\r\nReport Listing : @DIR@/B\r\nMiscellaneous : @DIR@/C";
    QTest::newRow("sales, custom and customer unchecked")
        << Mode::Standalone << Set::Production
        << QStringList{"dedtSales=", "dedtCustom=" + gone, "dedtCustomer="} << "";
    QTest::newRow("temporary file before sub-folders")
        << Mode::Standalone << Set::Production << QStringList{"edtPosTmp=", "dedtMisc="}
        << temporaryFile("");

    QTest::newRow("Path: picture folder missing")
        << Mode::Standalone << Set::Production << QStringList{"DirectoryEdit8=" + gone}
        << FolderHead + "\r\nStock Picture : " + gone;
    QTest::newRow("Path: picture folder is a file")
        << Mode::Standalone << Set::Production << QStringList{"DirectoryEdit8=@DIR@/Tmp.gdb"}
        << FolderHead + "\r\nStock Picture : @DIR@/Tmp.gdb";
    QTest::newRow("Path: picture folder empty")
        << Mode::Standalone << Set::Production << QStringList{"DirectoryEdit8="} << "";
    QTest::newRow("GDB: picture folder unchecked")
        << Mode::Standalone << Set::Production
        << QStringList{"RadioGroup1=0", "DirectoryEdit8=" + gone} << "";
    QTest::newRow("sub-folders before picture folder")
        << Mode::Standalone << Set::Production
        << QStringList{"dedtMisc=" + gone, "DirectoryEdit8=" + gone}
        << FolderHead + "\r\nMiscellaneous : " + gone;
}

void tst_Apply::shouldShowFirstFailingCheckAndWriteNothing()
{
    QFETCH(Mode, mode);
    QFETCH(Set, set);
    QFETCH(QStringList, edits);
    QFETCH(QString, message);
    if (set == Set::None) {
        // A group with no item selected comes from loading a set word other than "C".
        const SettingsHandle seed = openSettings(m_dir->filePath("Register.ini"));
        seed->writeText("DATABASE", "DEFAULT", "T");
        seed->writeText("DATABASE", "DEFAULT_SERVER", "T");
    }
    Rig rig(m_dir->path());
    QVERIFY(QFile::copy(Data + "seed_aliases.cfg", rig.dir + "/DbAliases.cfg"));
    QVERIFY(rig.edit(ValidShop + edits));
    rig.choose(mode, set);
    QCOMPARE(rig.database->cbServer->currentIndex(), static_cast<int>(mode));
    QCOMPARE(rig.database->rgDatabase->itemIndex(), static_cast<int>(set));
    const QByteArray settingsBefore = contentOf(rig.dir + "/Register.ini");
    const QByteArray aliasesBefore = contentOf(rig.dir + "/DbAliases.cfg");

    if (message.isEmpty()) {
        rig.press();
        QCOMPARE(rig.boxes(), QStringList{"information: Calvex Update Completed."});
        return;
    }
    QVERIFY_THROWS_EXCEPTION(SilentAbort, bbtnApplyClick(rig.context()));
    QCOMPARE(rig.boxes(), QStringList{"error: " + rig.expand(message)});
    QCOMPARE(contentOf(rig.dir + "/Register.ini"), settingsBefore);
    QCOMPARE(contentOf(rig.dir + "/DbAliases.cfg"), aliasesBefore);
    QCOMPARE(rig.archive->toolTip(), QStringLiteral("Archive 2025"));
    QCOMPARE(rig.barState(), Idle);
    QVERIFY(rig.fake.pause.pauses.isEmpty());
}

void tst_Apply::shouldRunStagesWithProgressAndSaveEverything()
{
    Rig rig(m_dir->path());
    QVERIFY(rig.edit(ValidShop));
    rig.choose(Mode::Standalone, Set::Production);
    rig.gauge->setValue(100); // as a previous Apply left it
    QList<int> gaugeValues;
    connect(rig.gauge, &QProgressBar::valueChanged, this, [&](int value) { gaugeValues << value; });
    // What the user reads in the bar during each pause: the label and the gauge's percentage.
    QStringList pauses;
    rig.fake.pause.onPause = [&](int ms) {
        const QString gaugeText = rig.gauge->isTextVisible() ? rig.gauge->text() : "(no text)";
        pauses << QStringLiteral("pause %1 at %2: %3, reading \"%4\" %5")
                      .arg(ms)
                      .arg(rig.gauge->value())
                      .arg(rig.barState(), rig.window.Label24->text(), gaugeText);
    };
    QString barAtBox;
    rig.fake.boxes.onShow = [&](const ShownBox&) { barAtBox = rig.barState(); };

    bbtnApplyClick(rig.context());

    QCOMPARE(gaugeValues, QList<int>({0, 25, 50, 75, 100}));
    const QString reading = QStringLiteral(", reading \"Update Progressing\" ");
    QCOMPARE(pauses, QStringList({"pause 100 at 25: " + Running + reading + "25%",
                                  "pause 100 at 50: " + Running + reading + "50%",
                                  "pause 500 at 75: " + Running + reading + "75%",
                                  "pause 500 at 100: " + Running + reading + "100%"}));
    QCOMPARE(rig.boxes(), QStringList{"information: Calvex Update Completed."});
    QCOMPARE(barAtBox, Idle);
    QCOMPARE(rig.barState(), Idle);
    QCOMPARE(rig.archive->toolTip(), QStringLiteral("Default GDB"));
    QCOMPARE(linesOf(contentOf(rig.dir + "/Register.ini")),
             linesOf(rig.expand(contentOf(Data + "applied.expected.ini")).toLocal8Bit()));
    QCOMPARE(linesOf(contentOf(rig.dir + "/DbAliases.cfg")),
             linesOf(rig.expand(contentOf(Data + "applied.expected.cfg")).toLocal8Bit()));
}

void tst_Apply::shouldRestoreBarBeforeStageErrorAndKeepEarlierWrites_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<Fault>("fault"); // when Register.ini is turned into a folder
    QTest::addColumn<QString>("box");
    QTest::addColumn<QList<int>>("pauses");
    QTest::addColumn<QStringList>("kept"); // SECTION/KEY=value in what Register.ini held last
    QTest::addColumn<QStringList>("aliases");

    QTest::newRow("new alias without its data file")
        << QStringList{"edtPosApp=@DIR@/Db/Gone.FDB"} << Fault::Never
        << "Cannot Locate Interbase data file : Application GDB." << QList<int>{100, 100, 500}
        << QStringList{"DATABASE/ARCHIVE_GDB=Default GDB", "REPORT/PATH=@DIR@/Report",
                       "DATABASE/STOCK_PHOTO_LOADSAVE=PATH", "LANGUAGE/LANGUAGE=0",
                       "DATABASE/POSAPP_FILE=@DIR@/Db/Gone.FDB"}
        << QStringList{"POSSYS", "POSHIS"};
    QTest::newRow("settings file unwritable after the first stage")
        << QStringList{} << Fault::AfterFirstStage << "Unable to write to @DIR@/Register.ini."
        << QList<int>{100}
        << QStringList{"DATABASE/ARCHIVE_GDB=Default GDB", "REPORT/PATH=@DIR@/Report",
                       "DATABASE/STOCK_PHOTO_LOADSAVE=(absent)", "LANGUAGE/LANGUAGE=(absent)"}
        << QStringList{};
    QTest::newRow("settings file unwritable from the start")
        << QStringList{} << Fault::BeforeApply << "Unable to write to @DIR@/Register.ini."
        << QList<int>{}
        << QStringList{"DATABASE/ARCHIVE_GDB=Archive 2025", "REPORT/PATH=/old/Report"}
        << QStringList{};
}

void tst_Apply::shouldRestoreBarBeforeStageErrorAndKeepEarlierWrites()
{
    QFETCH(QStringList, edits);
    QFETCH(Fault, fault);
    QFETCH(QString, box);
    QFETCH(QList<int>, pauses);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, aliases);
    Rig rig(m_dir->path());
    QVERIFY(rig.edit(ValidShop + edits));
    rig.choose(Mode::Standalone, Set::Production);
    // A folder in its place refuses the write even to root; the last content is kept aside.
    const QString settingsPath = rig.dir + "/Register.ini";
    const QString keptPath = fault == Fault::Never ? settingsPath : settingsPath + ".kept";
    auto breakSettings = [&] {
        return QFile::rename(settingsPath, keptPath) && QDir(rig.dir).mkdir("Register.ini");
    };
    if (fault == Fault::BeforeApply)
        QVERIFY(breakSettings());
    bool broken = false;
    rig.fake.pause.onPause = [&](int) {
        if (fault == Fault::AfterFirstStage && !broken)
            broken = breakSettings();
    };
    QString barAtBox;
    rig.fake.boxes.onShow = [&](const ShownBox&) { barAtBox = rig.barState(); };

    rig.press();

    QCOMPARE(rig.boxes(), QStringList{"application: " + rig.expand(box)});
    QCOMPARE(barAtBox, Idle);
    QCOMPARE(rig.barState(), Idle);
    QCOMPARE(rig.fake.pause.pauses, pauses);
    const SettingsHandle last = openSettings(keptPath);
    QStringList stored;
    for (const QString& entry : kept) {
        const QString key = entry.section('=', 0, 0);
        stored << key + "=" +
                      last->readText(key.section('/', 0, 0), key.section('/', 1), "(absent)");
    }
    QCOMPARE(stored, rig.expand(kept.join('\n')).split('\n'));
    QCOMPARE(aliasesIn(rig.dir + "/DbAliases.cfg"), aliases);
}

QTEST_MAIN(tst_Apply)
#include "tst_apply.moc"
