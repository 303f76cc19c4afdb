#include "ConfigureTools.h"
#include "WindowFixture.h"

#include <QLineEdit>
#include <QTest>

namespace {

const QByteArray NoFile; // null: there is no Register.ini

// The first-run values in the order the file must hold them; {A} is the installation folder.
// The stock picture folder is written with the report values, but a new key goes to the end
// of its own section.
const QByteArray DatabaseDefaults = "ZORVZERO_PATH={A}/DbZero\r\n"
                                    "ZORVTMP_FILE={A}/ZorvTmp.gdb\r\n"
                                    "ZORV_PATH={A}/Db\r\n"
                                    "ZORVAPP_FILE={A}/Db/ZorvApp.gdb\r\n"
                                    "ZORVHIS_FILE={A}/Db/ZorvHis.gdb\r\n"
                                    "ZORVSYS_FILE={A}/Db/ZorvSys.gdb\r\n"
                                    "ZORVSTK_FILE={A}/Db/ZorvStk.gdb\r\n"
                                    "ZORV_PURGE_PATH={A}/Db\r\n"
                                    "TRAIN_PATH={A}/DbTrain\r\n"
                                    "TRAINAPP_FILE={A}/DbTrain/ZorvApp.gdb\r\n"
                                    "TRAINHIS_FILE={A}/DbTrain/ZorvHis.gdb\r\n"
                                    "TRAINSYS_FILE={A}/DbTrain/ZorvSys.gdb\r\n"
                                    "TRAINSTK_FILE={A}/DbTrain/ZorvStk.gdb\r\n"
                                    "TRAIN_PURGE_PATH={A}/DbTrain\r\n"
                                    "STOCK_PHOTO_PATH={A}/Picture\r\n";
const QByteArray ReportDefaults = "LISTING={A}/Report/Listing\r\n"
                                  "FORM={A}/Report/Form\r\n"
                                  "SALES={A}/Report/Sales\r\n"
                                  "JOURNAL={A}/Report/Journal\r\n"
                                  "ANALYSIS={A}/Report/Analysis\r\n"
                                  "CUSTOMER={A}/Report/Customer\r\n"
                                  "MISC={A}/Report/Misc\r\n"
                                  "CUSTOM={A}/Report/Custom\r\n"
                                  "LOG={A}/Log\r\n"
                                  "LOG_EXT=000\r\n";

} // namespace

// A fresh installation (none of the first-run keys stored) gets the defaults written before
// loading reads them; any stored first-run key leaves the file alone.
class tst_WindowFirstRun : public QObject, protected WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldWriteFirstRunDefaultsOnFreshInstallation_data();
    void shouldWriteFirstRunDefaultsOnFreshInstallation();
    void shouldWriteNothingWhenAnyFirstRunKeyIsStored_data();
    void shouldWriteNothingWhenAnyFirstRunKeyIsStored();

};

void tst_WindowFirstRun::init()
{
    initFixture();
}

void tst_WindowFirstRun::cleanup()
{
    cleanupFixture();
}

void tst_WindowFirstRun::shouldWriteFirstRunDefaultsOnFreshInstallation_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("no file") << NoFile
                             << "[DATABASE]\r\n" + DatabaseDefaults + "[REPORT]\r\n" + ReportDefaults;
    QTest::newRow("file without any first-run key")
        << QByteArray("; till 3\r\n[DATABASE]\r\nDATABASE_SERVER=LOCAL\r\n[LANGUAGE]\r\nLANGUAGE=0\r\n")
        << "; till 3\r\n[DATABASE]\r\nDATABASE_SERVER=LOCAL\r\n" + DatabaseDefaults +
               "[LANGUAGE]\r\nLANGUAGE=0\r\n[REPORT]\r\n" + ReportDefaults;
}

void tst_WindowFirstRun::shouldWriteFirstRunDefaultsOnFreshInstallation()
{
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, written);

    QVERIFY(open(ini));
    const QString a = m_dir->path();
    QCOMPARE(iniBytes(), written.replace("{A}", a.toLocal8Bit()));
    QCOMPARE(m_fake->boxes.shown.size(), 0);

    // Loading reads the defaults of the training set and the folders, but no production path.
    const QList<QPair<const char*, QString>> shown{
        {"DirLocalT", a + "/DbTrain"},
        {"edtTrainApp", a + "/DbTrain/ZorvApp.gdb"},
        {"edtTrainHis", a + "/DbTrain/ZorvHis.gdb"},
        {"edtTrainSys", a + "/DbTrain/ZorvSys.gdb"},
        {"edtTrainStk", a + "/DbTrain/ZorvStk.gdb"},
        {"DirPurgeLocalT", a + "/DbTrain"},
        {"dedtListing", a + "/Report/Listing"},
        {"dedtTransaction", a + "/Report/Form"},
        {"dedtSales", a + "/Report/Sales"},
        {"dedtXZ", a + "/Report/Journal"},
        {"dedtInventory", a + "/Report/Analysis"},
        {"dedtCustomer", a + "/Report/Customer"},
        {"dedtMisc", a + "/Report/Misc"},
        {"dedtCustom", a + "/Report/Custom"},
        {"DirectoryEdit8", a + "/Picture"},
        {"DirectoryEdit1", a + "/Log"},
        {"CurrencyEdit1", QStringLiteral("000")},
        {"DirLocalC", QString()},
        {"edtPosApp", QString()},
        {"edtPosHis", QString()},
        {"edtPosStk", QString()},
        {"edtPosSys", QString()},
        {"DirZeroPath", QString()},
        {"edtPosTmp", QString()},
        {"DirPurgeLocalC", QString()},
    };
    for (const auto& [field, text] : shown) {
        const auto* edit = control<QLineEdit>(QLatin1String(field));
        QVERIFY2(edit, field);
        QVERIFY2(edit->text() == text, qPrintable(field + QStringLiteral(": ") + edit->text()));
    }
}

void tst_WindowFirstRun::shouldWriteNothingWhenAnyFirstRunKeyIsStored_data()
{
    QTest::addColumn<QByteArray>("ini");

    const QByteArray before = "; shared by the suite\n[DATABASE]\nDATABASE_SERVER=LOCAL\n";
    QTest::newRow("REPORT/LOG_EXT") << before + "[REPORT]\nLOG_EXT=001\n";
    QTest::newRow("DATABASE/ZORV_PATH") << before + "ZORV_PATH=/opt/pos/Db\n";
    QTest::newRow("DATABASE/STOCK_PHOTO_PATH") << before + "STOCK_PHOTO_PATH=/opt/pos/Picture\n";
    QTest::newRow("DATABASE/TRAIN_PURGE_PATH") << before + "TRAIN_PURGE_PATH=/opt/pos/DbTrain\n";
    QTest::newRow("REPORT/CUSTOM, other case") << before + "[report]\ncustom=/opt/pos/Custom\n";
    QTest::newRow("DATABASE/ZORVZERO_PATH, present but empty") << before + "ZORVZERO_PATH=\n";
}

void tst_WindowFirstRun::shouldWriteNothingWhenAnyFirstRunKeyIsStored()
{
    QFETCH(QByteArray, ini);

    QVERIFY(open(ini));
    QCOMPARE(iniBytes(), ini);
}

QTEST_MAIN(tst_WindowFirstRun)
#include "tst_window_firstrun.moc"
