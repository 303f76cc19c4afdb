#include "ConfigureTools.h"
#include "DirectoriesPage.h"
#include "FakeServices.h"
#include "FileContent.h"
#include "ModulesPage.h"
#include "SettingsHandle.h"
#include "TestFiles.h"
#include "WidgetEdits.h"
#include "Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QStringList subFolders(const DirectoriesPage& page)
{
    return {page.dedtInventory->text(), page.dedtTransaction->text(), page.dedtXZ->text(),
            page.dedtListing->text(), page.dedtMisc->text()};
}

QStringList derivedFrom(const QString& prefix)
{
    return {prefix + "Analysis", prefix + "Form", prefix + "Journal", prefix + "Listing",
            prefix + "Misc"};
}

// Stands in for a real folder dialog: it takes the keyboard focus away, like any modal window.
class FocusTakingPicker : public FolderPicker
{
public:
    std::optional<QString> pickFolder(QWidget*, const QString&) override
    {
        QWidget dialog;
        dialog.show();
        fieldLostFocus = QTest::qWaitForWindowActive(&dialog) && !field->hasFocus();
        return answer;
    }
    QLineEdit* field = nullptr;
    QString answer;
    bool fieldLostFocus = false;
};

} // namespace

class tst_Directories : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void shouldDeriveSubFoldersWhenLeavingReportPath_data();
    void shouldDeriveSubFoldersWhenLeavingReportPath();
    void shouldDeriveBeforeApplyWhenOkTakesFocus();
    void shouldNotDeriveWhenPickerSetsReportPath();
    void shouldEnablePictureFolderOnlyForPathOption_data();
    void shouldEnablePictureFolderOnlyForPathOption();
    void shouldQuoteChosenSetupFileWithBlank_data();
    void shouldQuoteChosenSetupFileWithBlank();
    void shouldWriteStageKeysInOrder_data();
    void shouldWriteStageKeysInOrder();

private:
    QString appFolder() const { return m_dir->path(); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Directories::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_Directories::cleanup()
{
    m_dir.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_Directories::shouldDeriveSubFoldersWhenLeavingReportPath_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("leaveWithTab"); // otherwise by clicking the next field
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("folder") << "/shop/Report" << false << derivedFrom("/shop/Report/");
    QTest::newRow("folder, left with Tab")
        << "/shop/Report" << true << derivedFrom("/shop/Report/");
    QTest::newRow("empty") << "" << false << derivedFrom("/");
    QTest::newRow("trailing separator doubled")
        << "/shop/Report/" << false << derivedFrom("/shop/Report//");
    QTest::newRow("trailing blank kept")
        << "/shop/Report " << false << derivedFrom("/shop/Report /");
    QTest::newRow("backslash is an ordinary character")
        << "C:\\Pos\\Report" << false << derivedFrom("C:\\Pos\\Report/");
}

void tst_Directories::shouldDeriveSubFoldersWhenLeavingReportPath()
{
    QFETCH(QString, typed);
    QFETCH(bool, leaveWithTab);
    QFETCH(QStringList, expected);
    DirectoriesPage page;
    page.resize(725, 473);
    QVERIFY(applyEdits(&page, {"dedtInventory=old", "dedtSales=/keep/Sales",
                               "dedtCustom=/keep/Custom", "dedtCustomer=/keep/Customer"}));
    page.show();
    QVERIFY(QTest::qWaitForWindowActive(&page));

    QTest::mouseClick(page.dedtReportPath, Qt::LeftButton);
    QTest::keyClicks(page.dedtReportPath, typed);
    QCOMPARE(page.dedtInventory->text(), QStringLiteral("old")); // nothing while typing
    if (leaveWithTab)
        QTest::keyClick(page.dedtReportPath, Qt::Key_Tab);
    else
        QTest::mouseClick(page.DirectoryEdit1, Qt::LeftButton);
    QVERIFY(!page.dedtReportPath->hasFocus());

    QCOMPARE(subFolders(page), expected);
    QCOMPARE(
        QStringList({page.dedtSales->text(), page.dedtCustom->text(), page.dedtCustomer->text()}),
        QStringList({"/keep/Sales", "/keep/Custom", "/keep/Customer"}));
}

// Pressing OK moves the focus first, so Apply checks the sub-folders of the typed path.
void tst_Directories::shouldDeriveBeforeApplyWhenOkTakesFocus()
{
    QVERIFY(writeAll(m_dir->filePath("Register.ini"),
                     "[DATABASE]\r\nDATABASE_SERVER=REMOTE\r\nPOSTMP_FILE_SERVER=T\r\n"));
    FakeServices fake;
    TfrmConfigTools window(m_dir->filePath("calvex"), fake.services());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(window.LabelDirectories, Qt::LeftButton);
    DirectoriesPage& page = *window.directoriesPage;
    QTest::mouseClick(page.dedtReportPath, Qt::LeftButton);
    page.dedtReportPath->selectAll();
    const QString typed = appFolder() + "/Nowhere";
    QTest::keyClicks(page.dedtReportPath, typed);

    QTest::mouseClick(window.BitBtn2, Qt::LeftButton);

    QCOMPARE(subFolders(page), derivedFrom(typed + "/"));
    const QString missing =
        QStringLiteral("Directory Not Found !\r\nPlease check, directory not able to load.\r\n"
                       "\r\nStock Analysis : @P@/Analysis\r\nDocument Form : @P@/Form"
                       "\r\nStock Journals : @P@/Journal\r\nReport Listing : @P@/Listing"
                       "\r\nMiscellaneous : @P@/Misc");
    QCOMPARE(fake.boxes.shown.size(), 1);
    QCOMPARE(fake.boxes.shown.first().kind, QStringLiteral("error"));
    QCOMPARE(fake.boxes.shown.first().text, QString(missing).replace("@P@", typed));
    QVERIFY(window.isVisible());
}

void tst_Directories::shouldNotDeriveWhenPickerSetsReportPath()
{
    FakeServices fake;
    FocusTakingPicker picker;
    picker.answer = QStringLiteral("/picked/Report");
    Services services = fake.services();
    services.folders = &picker;
    TfrmConfigTools window(m_dir->filePath("calvex"), services);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(window.LabelDirectories, Qt::LeftButton);
    DirectoriesPage& page = *window.directoriesPage;
    picker.field = page.dedtReportPath;
    const QStringList before = subFolders(page);
    QTest::mouseClick(page.dedtReportPath, Qt::LeftButton);
    QVERIFY(page.dedtReportPath->hasFocus());

    QTest::mouseClick(page.Image20, Qt::LeftButton);

    QVERIFY(picker.fieldLostFocus);
    QCOMPARE(page.dedtReportPath->text(), QStringLiteral("/picked/Report"));
    QCOMPARE(subFolders(page), before);
}

void tst_Directories::shouldEnablePictureFolderOnlyForPathOption_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("Path to GDB disables") << 1 << 0 << false;
    QTest::newRow("GDB to Path enables") << 0 << 1 << true;
}

void tst_Directories::shouldEnablePictureFolderOnlyForPathOption()
{
    QFETCH(int, start);
    QFETCH(int, clicked);
    QFETCH(bool, enabled);
    DirectoriesPage page;
    page.resize(725, 473);
    page.DirectoryEdit8->setText(QStringLiteral("/shop/Pictures"));
    page.RadioGroup1->setItemIndex(start);
    QCOMPARE(page.DirectoryEdit8->isEnabled(), !enabled);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    QRadioButton* item = page.RadioGroup1->item(clicked);
    QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(8, item->height() / 2));

    QCOMPARE(page.RadioGroup1->itemIndex(), clicked);
    QCOMPARE(page.DirectoryEdit8->isEnabled(), enabled);
    QCOMPARE(page.DirectoryEdit8->text(), QStringLiteral("/shop/Pictures"));
}

void tst_Directories::shouldQuoteChosenSetupFileWithBlank_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("answer"); // empty: cancelled
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain name") << "" << QStringList{"/opt/pos/Setup.ini"} << "/opt/pos/Setup.ini";
    QTest::newRow("blank quoted") << "/opt/pos/Old.ini" << QStringList{"/opt/my pos/Setup.ini"}
                                  << "\"/opt/my pos/Setup.ini\"";
    QTest::newRow("cancel keeps text") << "/opt/pos/Old.ini" << QStringList{} << "/opt/pos/Old.ini";
}

void tst_Directories::shouldQuoteChosenSetupFileWithBlank()
{
    QFETCH(QString, start);
    QFETCH(QStringList, answer);
    QFETCH(QString, expected);
    FakeServices fake;
    if (!answer.isEmpty())
        fake.files.answers.append(answer.first());
    ModulesPage page(fake.services());
    page.edtSetupini->setText(start);
    auto* browse = page.edtSetupini->findChild<QAction*>(QStringLiteral("browse"));
    QVERIFY(browse);

    browse->trigger();

    QCOMPARE(page.edtSetupini->text(), expected);
    QCOMPARE(fake.files.calls.size(), 1);
    const FakeFilePicker::Call& call = fake.files.calls.first();
    QCOMPARE(call.filters.size(), 1);
    QCOMPARE(call.filters.first().description, QStringLiteral("Setup Ini Files (*.ini)"));
    QCOMPARE(call.filters.first().pattern, QStringLiteral("Setup.ini"));
    QCOMPARE(call.defaultSuffix, QStringLiteral("ini"));
}

void tst_Directories::shouldWriteStageKeysInOrder_data()
{
    QTest::addColumn<QString>("stage");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("golden");
    QTest::newRow("report folders") << "BitBtn1" << QStringList{"dedtReportPath=/r/path",
                                                                "dedtInventory=/r/inventory",
                                                                "dedtTransaction=/r/transaction",
                                                                "dedtXZ=/r/xz",
                                                                "dedtListing=/r/listing",
                                                                "dedtMisc=/r/misc",
                                                                "dedtSales=/r/sales",
                                                                "dedtCustom=/r/custom",
                                                                "dedtCustomer=/r/customer"}
                                    << "stage_report.expected.ini";
    QTest::newRow("pictures in a folder, first and last log")
        << "BitBtn3"
        << QStringList{"DirectoryEdit8=/shop/Pictures",
                       "RadioGroup1=1",
                       "DirectoryEdit1=/shop/Log",
                       "CurrencyEdit1=007",
                       "CheckBox1=1",
                       "CheckBox2=0",
                       "CheckBox3=1"}
        << "stage_pictures_path.expected.ini";
    QTest::newRow("pictures in the database, middle log")
        << "BitBtn3" << QStringList{"DirectoryEdit8=", "RadioGroup1=0", "DirectoryEdit1=/shop/Log",
                                    "CurrencyEdit1=",  "CheckBox1=0",   "CheckBox2=1",
                                    "CheckBox3=0"}
        << "stage_pictures_gdb.expected.ini";
    QTest::newRow("modules, quoted setup file, first language")
        << "BitBtn4"
        << QStringList{"CheckBox10=1",
                       "CheckBox11=0",
                       "CheckBox12=1",
                       "CheckBox13=0",
                       "CheckBox14=1",
                       "CheckBox15=0",
                       "edtSetupini=\"/opt/my pos/Setup.ini\"",
                       "ComboBox1=0"}
        << "stage_modules_first.expected.ini";
    QTest::newRow("modules, no language selected")
        << "BitBtn4" << QStringList{"CheckBox10=0", "CheckBox11=1", "CheckBox12=0", "CheckBox13=1",
                                    "CheckBox14=0", "CheckBox15=1", "edtSetupini=", "ComboBox1=-1"}
        << "stage_modules_none.expected.ini";
}

void tst_Directories::shouldWriteStageKeysInOrder()
{
    QFETCH(QString, stage);
    QFETCH(QStringList, edits);
    QFETCH(QString, golden);
    FakeServices fake;
    QWidget host;
    auto* directories = new DirectoriesPage(&host);
    auto* modules = new ModulesPage(fake.services(), &host);
    QVERIFY(applyEdits(&host, edits));
    const QString path = m_dir->filePath("Register.ini");
    SettingsHandle settings = openSettings(path);

    if (stage == QLatin1String("BitBtn1"))
        directories->BitBtn1Click(*settings);
    else if (stage == QLatin1String("BitBtn3"))
        directories->BitBtn3Click(*settings);
    else
        modules->BitBtn4Click(*settings);
    settings.reset();

    QCOMPARE(QString::fromLatin1(contentOf(path)).split("\r\n"),
             QString::fromLatin1(contentOf(QStringLiteral(CALVEX_TEST_DATA "/apply/") + golden))
                 .split("\r\n"));
}

QTEST_MAIN(tst_Directories)
#include "tst_directories.moc"
