#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "DirectoriesPage.h"
#include "ModulesPage.h"
#include "Widgets.h"
#include "WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

namespace {

const QByteArray NoFile; // null: there is no Register.ini

// One stored value (none when null) in a file that is no fresh installation, so that loading
// writes nothing: ZORV_PATH is one of the first-run keys and no control shows it.
QByteArray entry(const char* section, const char* key, const QByteArray& stored)
{
    QByteArray ini = "[DATABASE]\nZORV_PATH=/opt/pos/Db\n";
    if (qstrcmp(section, "DATABASE") != 0)
        ini += QByteArray("[") + section + "]\n";
    if (!stored.isNull())
        ini += QByteArray(key) + '=' + stored + '\n';
    return ini;
}

QColor windowColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::Window);
}

} // namespace

class tst_WindowLoading : public QObject, protected WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldChooseDataServerModeAndDatabaseSet_data();
    void shouldChooseDataServerModeAndDatabaseSet();
    void shouldLoadStoredText_data();
    void shouldLoadStoredText();
    void shouldChooseServerSystem_data();
    void shouldChooseServerSystem();
    void shouldTickBoxForStoredFlag_data();
    void shouldTickBoxForStoredFlag();
    void shouldChoosePictureOption_data();
    void shouldChoosePictureOption();
    void shouldSelectStoredLanguage_data();
    void shouldSelectStoredLanguage();
    void shouldReportLanguageThatIsNoNumberAndKeepWhatWasLoaded();
    void shouldEndOnDatabasePageWithArchiveHintAndWhitePanels_data();
    void shouldEndOnDatabasePageWithArchiveHintAndWhitePanels();
    void shouldTurnTypedServerNameToUpperCase();
    void shouldHaveVersionCaptionAndFixedSize();
};

void tst_WindowLoading::init()
{
    initFixture();
}

void tst_WindowLoading::cleanup()
{
    cleanupFixture();
}

void tst_WindowLoading::shouldChooseDataServerModeAndDatabaseSet_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("databaseSet");

    const QString standalone = QStringLiteral("Standalone / Master Data");
    const QString client = QStringLiteral("Client Data Mode");
    QTest::newRow("LOCAL, DEFAULT absent") << entry("DATABASE", "DATABASE_SERVER", "LOCAL")
                                           << standalone << 0;
    QTest::newRow("LOCAL, DEFAULT=C ignores DEFAULT_SERVER")
        << QByteArray("[DATABASE]\nDATABASE_SERVER=LOCAL\nDEFAULT=C\nDEFAULT_SERVER=T\n")
        << standalone << 0;
    QTest::newRow("LOCAL, DEFAULT=T ignores DEFAULT_SERVER")
        << QByteArray("[DATABASE]\nDATABASE_SERVER=LOCAL\nDEFAULT=T\nDEFAULT_SERVER=C\n")
        << standalone << -1;
    QTest::newRow("LOCAL, DEFAULT=c") << QByteArray("[DATABASE]\nDATABASE_SERVER=LOCAL\nDEFAULT=c\n")
                                      << standalone << -1;
    QTest::newRow("no file") << NoFile << client << 0;
    QTest::newRow("DATABASE_SERVER absent") << entry("DATABASE", "SERVER_NAME", "SRV") << client << 0;
    QTest::newRow("local") << entry("DATABASE", "DATABASE_SERVER", "local") << client << 0;
    QTest::newRow("REMOTE, DEFAULT=T ignored")
        << QByteArray("[DATABASE]\nDATABASE_SERVER=REMOTE\nDEFAULT=T\n") << client << 0;
    QTest::newRow("REMOTE, DEFAULT_SERVER=T, DEFAULT=C ignored")
        << QByteArray("[DATABASE]\nDATABASE_SERVER=REMOTE\nDEFAULT=C\nDEFAULT_SERVER=T\n")
        << client << -1;
}

void tst_WindowLoading::shouldChooseDataServerModeAndDatabaseSet()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, mode);
    QFETCH(int, databaseSet);

    QVERIFY(open(ini));
    const DatabasePage* page = m_window->databasePage;
    QCOMPARE(page->cbServer->currentText(), mode);
    QCOMPARE(page->rgDatabase->itemIndex(), databaseSet);

    const bool standalone = page->cbServer->currentIndex() == 0;
    const QList<QWidget*> localSet{page->DirLocalC, page->edtPosApp, page->edtPosHis,
                                   page->edtPosStk, page->edtPosSys, page->Image12};
    const QList<QWidget*> remoteSet{page->edtServerName, page->DirRemoteC, page->edtPosAppR,
                                    page->edtPosHisR, page->edtPosStkR, page->edtPosSysR};
    for (const QWidget* w : localSet)
        QVERIFY2(w->isVisibleTo(m_window.get()) == standalone, qPrintable(w->objectName()));
    for (const QWidget* w : remoteSet)
        QVERIFY2(w->isVisibleTo(m_window.get()) != standalone, qPrintable(w->objectName()));
}

void tst_WindowLoading::shouldLoadStoredText_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("shown");

    auto add = [](const char* section, const char* key, const char* field,
                  const QByteArray& stored, const QString& shown) {
        QTest::addRow("%s/%s=%s -> %s", section, key,
                      stored.isNull() ? "(absent)" : stored.constData(), field)
            << entry(section, key, stored) << QString::fromLatin1(field) << shown;
    };
    add("DATABASE", "SERVER_NAME", "edtServerName", "myServer01", "myServer01");
    add("DATABASE", "POSZERO_PATH", "DirZeroPath", "/opt/pos/Zero", "/opt/pos/Zero");
    add("DATABASE", "POSTMP_FILE", "edtPosTmp", "/opt/pos/Tmp.gdb", "/opt/pos/Tmp.gdb");
    add("DATABASE", "POS_PATH", "DirLocalC", "/opt/pos/Db", "/opt/pos/Db");
    add("DATABASE", "POSAPP_FILE", "edtPosApp", "/d/APP.FDB", "/d/APP.FDB");
    add("DATABASE", "POSHIS_FILE", "edtPosHis", "/d/HIS.FDB", "/d/HIS.FDB");
    add("DATABASE", "POSSYS_FILE", "edtPosSys", "/d/SYS.FDB", "/d/SYS.FDB");
    add("DATABASE", "POSSTK_FILE", "edtPosStk", "/d/STK.FDB", "/d/STK.FDB");
    add("DATABASE", "POS_PURGE_PATH", "DirPurgeLocalC", "/d/Purge", "/d/Purge");
    add("DATABASE", "TRAIN_PATH", "DirLocalT", "/t", "/t");
    add("DATABASE", "TRAINAPP_FILE", "edtTrainApp", "/t/APP.FDB", "/t/APP.FDB");
    add("DATABASE", "TRAINHIS_FILE", "edtTrainHis", "/t/HIS.FDB", "/t/HIS.FDB");
    add("DATABASE", "TRAINSYS_FILE", "edtTrainSys", "/t/SYS.FDB", "/t/SYS.FDB");
    add("DATABASE", "TRAINSTK_FILE", "edtTrainStk", "/t/STK.FDB", "/t/STK.FDB");
    add("DATABASE", "TRAIN_PURGE_PATH", "DirPurgeLocalT", "/t/Purge", "/t/Purge");
    add("DATABASE", "POS_PATH_R", "DirRemoteC", "G:\\Pos\\Db", "G:\\Pos\\Db");
    add("DATABASE", "POSAPP_FILE_R", "edtPosAppR", "G:\\APP.FDB", "G:\\APP.FDB");
    add("DATABASE", "POSHIS_FILE_R", "edtPosHisR", "G:\\HIS.FDB", "G:\\HIS.FDB");
    add("DATABASE", "POSSYS_FILE_R", "edtPosSysR", "G:\\SYS.FDB", "G:\\SYS.FDB");
    add("DATABASE", "POSSTK_FILE_R", "edtPosStkR", "G:\\STK.FDB", "G:\\STK.FDB");
    add("DATABASE", "POS_PURGE_PATH_R", "DirPurgeRemoteC", "G:\\Purge", "G:\\Purge");
    add("DATABASE", "TRAIN_PATH_R", "DirRemoteT", "/srv/t", "/srv/t");
    add("DATABASE", "TRAINAPP_FILE_R", "edtTrainAppR", "/srv/t/APP.FDB", "/srv/t/APP.FDB");
    add("DATABASE", "TRAINHIS_FILE_R", "edtTrainHisR", "/srv/t/HIS.FDB", "/srv/t/HIS.FDB");
    add("DATABASE", "TRAINSYS_FILE_R", "edtTrainSysR", "/srv/t/SYS.FDB", "/srv/t/SYS.FDB");
    add("DATABASE", "TRAINSTK_FILE_R", "edtTrainStkR", "/srv/t/STK.FDB", "/srv/t/STK.FDB");
    add("DATABASE", "TRAIN_PURGE_PATH_R", "DirPurgeRemoteT", "/srv/t/Purge", "/srv/t/Purge");
    add("REPORT", "LISTING", "dedtListing", "/r/Listing", "/r/Listing");
    add("REPORT", "FORM", "dedtTransaction", "/r/Form", "/r/Form");
    add("REPORT", "SALES", "dedtSales", "/r/Sales", "/r/Sales");
    add("REPORT", "JOURNAL", "dedtXZ", "/r/Journal", "/r/Journal");
    add("REPORT", "PATH", "dedtReportPath", "/r", "/r");
    add("REPORT", "ANALYSIS", "dedtInventory", "/r/Analysis", "/r/Analysis");
    add("REPORT", "CUSTOMER", "dedtCustomer", "/r/Customer", "/r/Customer");
    add("REPORT", "MISC", "dedtMisc", "/r/Misc", "/r/Misc");
    add("REPORT", "CUSTOM", "dedtCustom", "/r/Custom", "/r/Custom");
    add("DATABASE", "STOCK_PHOTO_PATH", "DirectoryEdit8", "/p/Picture", "/p/Picture");
    add("REPORT", "LOG", "DirectoryEdit1", "/p/Log", "/p/Log");
    add("REPORT", "LOG_EXT", "CurrencyEdit1", "123", "123");
    add("REPORT", "LOG_EXT", "CurrencyEdit1", QByteArray(), QStringLiteral("000"));
    add("DATABASE", "LOAD_SETUP_INI_FILE", "edtSetupini", "/opt/pos/Setup.ini", "/opt/pos/Setup.ini");
    add("DATABASE", "LOAD_SETUP_INI_FILE", "edtSetupini", "\"/opt/my pos/Setup.ini\"",
        "/opt/my pos/Setup.ini");
}

void tst_WindowLoading::shouldLoadStoredText()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, field);
    QFETCH(QString, shown);

    QVERIFY(open(ini));
    const auto* edit = control<QLineEdit>(field);
    QVERIFY(edit);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(m_fake->boxes.shown.size(), 0);
}

void tst_WindowLoading::shouldChooseServerSystem_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("windows");

    QTest::newRow("absent") << entry("DATABASE", "OS_SERVER", QByteArray()) << true;
    QTest::newRow("0") << entry("DATABASE", "OS_SERVER", "0") << true;
    QTest::newRow("present but empty") << entry("DATABASE", "OS_SERVER", "") << false;
    QTest::newRow("1") << entry("DATABASE", "OS_SERVER", "1") << false;
    QTest::newRow("abc") << entry("DATABASE", "OS_SERVER", "abc") << false;
}

void tst_WindowLoading::shouldChooseServerSystem()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, windows);

    QVERIFY(open(ini));
    QCOMPARE(m_window->databasePage->rBtnOS0->isChecked(), windows);
    QCOMPARE(m_window->databasePage->rBtnOS1->isChecked(), !windows);
}

void tst_WindowLoading::shouldTickBoxForStoredFlag_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("ticked");

    auto add = [](const char* section, const char* key, const QByteArray& stored, const char* box,
                  bool ticked) {
        QTest::addRow("%s=%s -> %s", key, stored.isNull() ? "(absent)" : stored.constData(), box)
            << entry(section, key, stored) << QString::fromLatin1(box) << ticked;
    };
    // Two flags are ticked by "T" alone.
    add("DATABASE", "POSTMP_FILE_SERVER", "T", "CheckBox4", true);
    add("DATABASE", "POSTMP_FILE_SERVER", "t", "CheckBox4", false);
    add("DATABASE", "POSTMP_FILE_SERVER", "F", "CheckBox4", false);
    add("DATABASE", "POSTMP_FILE_SERVER", QByteArray(), "CheckBox4", false);
    add("DATABASE", "REREGISTER_DATABASE", "T", "CheckBox17", true);
    add("DATABASE", "REREGISTER_DATABASE", "True", "CheckBox17", false);
    add("DATABASE", "REREGISTER_DATABASE", "1", "CheckBox17", false);
    // The others are booleans: an integer other than 0.
    add("DATABASE", "POS_PURGE_PATH_TF", "1", "cbPurgeLocalC", true);
    add("DATABASE", "POS_PURGE_PATH_TF", "2", "cbPurgeLocalC", true);
    add("DATABASE", "POS_PURGE_PATH_TF", "0x10", "cbPurgeLocalC", true);
    add("DATABASE", "POS_PURGE_PATH_TF", "0", "cbPurgeLocalC", false);
    add("DATABASE", "POS_PURGE_PATH_TF", "yes", "cbPurgeLocalC", false);
    add("DATABASE", "POS_PURGE_PATH_TF", QByteArray(), "cbPurgeLocalC", false);
    add("DATABASE", "TRAIN_PURGE_PATH_TF", "1", "cbPurgeLocalT", true);
    add("DATABASE", "POS_PURGE_PATH_R_TF", "1", "cbPurgeRemoteC", true);
    add("DATABASE", "TRAIN_PURGE_PATH_R_TF", "1", "cbPurgeRemoteT", true);
    add("REPORT", "KLYPOSW_LOG", "1", "CheckBox1", true);
    add("REPORT", "STOCKW_LOG", "1", "CheckBox2", true);
    add("REPORT", "REPORTW_LOG", "1", "CheckBox3", true);
    add("REPORT", "REPORTW_LOG", "0", "CheckBox3", false);
    add("APPLICATION_LINK", "BACKUP_SYSTEM", "1", "CheckBox10", true);
    add("APPLICATION_LINK", "DATA_INITIATION", "1", "CheckBox11", true);
    add("APPLICATION_LINK", "MOBILE_MESSAGER", "1", "CheckBox12", true);
    add("APPLICATION_LINK", "PATCH_MASTER", "1", "CheckBox13", true);
    add("APPLICATION_LINK", "POLLING_MODULE", "1", "CheckBox14", true);
    add("APPLICATION_LINK", "HOUSE_KEEPING", "1", "CheckBox15", true);
    add("APPLICATION_LINK", "HOUSE_KEEPING", "0", "CheckBox15", false);
}

void tst_WindowLoading::shouldTickBoxForStoredFlag()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, box);
    QFETCH(bool, ticked);

    QVERIFY(open(ini));
    const auto* check = control<QCheckBox>(box);
    QVERIFY(check);
    QCOMPARE(check->isChecked(), ticked);
}

void tst_WindowLoading::shouldChoosePictureOption_data()
{
    QTest::addColumn<QByteArray>("loadSave");
    QTest::addColumn<int>("option");

    QTest::newRow("PATH") << QByteArray("PATH") << 1;
    QTest::newRow("GDB") << QByteArray("GDB") << 0;
    QTest::newRow("path") << QByteArray("path") << 0;
    QTest::newRow("absent") << QByteArray() << 0;
}

void tst_WindowLoading::shouldChoosePictureOption()
{
    QFETCH(QByteArray, loadSave);
    QFETCH(int, option);

    QByteArray ini = "[DATABASE]\nSTOCK_PHOTO_PATH=/opt/pos/Picture\n";
    if (!loadSave.isNull())
        ini += "STOCK_PHOTO_LOADSAVE=" + loadSave + '\n';
    QVERIFY(open(ini));
    const DirectoriesPage* page = m_window->directoriesPage;
    QCOMPARE(page->RadioGroup1->itemIndex(), option);
    QCOMPARE(page->DirectoryEdit8->isEnabled(), option == 1);
    QCOMPARE(page->DirectoryEdit8->text(), QStringLiteral("/opt/pos/Picture"));
}

void tst_WindowLoading::shouldSelectStoredLanguage_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("index");

    QTest::newRow("absent") << QByteArray() << 0;
    QTest::newRow("0") << QByteArray("0") << 0;
    QTest::newRow("3, no such item") << QByteArray("3") << -1;
    QTest::newRow("-1") << QByteArray("-1") << -1;
}

void tst_WindowLoading::shouldSelectStoredLanguage()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, index);

    QVERIFY(open(entry("LANGUAGE", "LANGUAGE", stored)));
    QCOMPARE(m_window->modulesPage->ComboBox1->currentIndex(), index);
    QCOMPARE(m_fake->boxes.shown.size(), 0);
}

void tst_WindowLoading::shouldReportLanguageThatIsNoNumberAndKeepWhatWasLoaded()
{
    QVERIFY(open("[DATABASE]\nDATABASE_SERVER=LOCAL\nPOS_PATH=/opt/pos/Db\nARCHIVE_GDB=Archive2024\n"
                 "LOAD_SETUP_INI_FILE=/opt/pos/Setup.ini\n"
                 "[REPORT]\nLISTING=/opt/pos/Report/Listing\nLOG_EXT=007\n"
                 "[APPLICATION_LINK]\nHOUSE_KEEPING=1\n"
                 "[LANGUAGE]\nLANGUAGE=English\n"));

    QCOMPARE(m_fake->boxes.shown.size(), 1);
    QCOMPARE(m_fake->boxes.shown.first().kind, QStringLiteral("application"));
    QCOMPARE(m_fake->boxes.shown.first().text, QStringLiteral("'English' is not a valid integer value."));

    QCOMPARE(m_window->windowTitle(), QStringLiteral("Calvex v10.7.10.2"));
    QCOMPARE(m_window->databasePage->cbServer->currentIndex(), 0);
    QCOMPARE(m_window->databasePage->DirLocalC->text(), QStringLiteral("/opt/pos/Db"));
    QCOMPARE(m_window->directoriesPage->dedtListing->text(), QStringLiteral("/opt/pos/Report/Listing"));
    QCOMPARE(m_window->directoriesPage->CurrencyEdit1->text(), QStringLiteral("007"));
    QVERIFY(m_window->modulesPage->CheckBox15->isChecked());
    QCOMPARE(m_window->modulesPage->edtSetupini->text(), QStringLiteral("/opt/pos/Setup.ini"));

    // Creation stopped at the language: what follows it never happened.
    QCOMPARE(m_window->BitBtn5->toolTip(), QString());
    QVERIFY(windowColour(m_window->databasePage->Panel6) != QColor(Qt::white));
    QVERIFY(windowColour(m_window->directoriesPage->Panel7) != QColor(Qt::white));
}

void tst_WindowLoading::shouldEndOnDatabasePageWithArchiveHintAndWhitePanels_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("hint");

    QTest::newRow("absent") << QByteArray() << QStringLiteral("Default GDB");
    QTest::newRow("stored") << QByteArray("Archive2024") << QStringLiteral("Archive2024");
    QTest::newRow("present but empty") << QByteArray("") << QString();
}

void tst_WindowLoading::shouldEndOnDatabasePageWithArchiveHintAndWhitePanels()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, hint);

    QVERIFY(open(entry("DATABASE", "ARCHIVE_GDB", stored)));
    QCOMPARE(m_window->BitBtn5->toolTip(), hint);
    QCOMPARE(m_window->Notebook1->currentWidget(), m_window->databasePage);
    QCOMPARE(windowColour(m_window->databasePage->Panel6), QColor(Qt::white));
    QCOMPARE(windowColour(m_window->directoriesPage->Panel7), QColor(Qt::white));
}

void tst_WindowLoading::shouldTurnTypedServerNameToUpperCase()
{
    QVERIFY(open("[DATABASE]\nDATABASE_SERVER=REMOTE\n[REPORT]\nLOG_EXT=000\n"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    QTest::keyClicks(m_window->databasePage->edtServerName, QStringLiteral("till-7b"));
    QCOMPARE(m_window->databasePage->edtServerName->text(), QStringLiteral("TILL-7B"));
}

void tst_WindowLoading::shouldHaveVersionCaptionAndFixedSize()
{
    QVERIFY(open(NoFile));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Calvex v10.7.10.2"));
    QCOMPARE(m_window->size(), QSize(910, 638));
    QCOMPARE(m_window->minimumSize(), QSize(910, 638));
    QCOMPARE(m_window->maximumSize(), QSize(910, 638));
}

QTEST_MAIN(tst_WindowLoading)
#include "tst_window_loading.moc"
