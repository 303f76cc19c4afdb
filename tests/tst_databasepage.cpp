#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "DirectoriesPage.h"
#include "FakeServices.h"
#include "FolderPictures.h"
#include "TestFiles.h"
#include "Widgets.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Answer = std::optional<QString>;

namespace {

// Every value a control of the page holds, to show that a handler changed none of them.
QStringList pageValues(const DatabasePage& page)
{
    QStringList values{QString::number(page.cbServer->currentIndex())};
    for (const QLineEdit* field : page.findChildren<QLineEdit*>())
        values << field->objectName() + QLatin1Char('=') + field->text();
    for (const QAbstractButton* box : page.findChildren<QAbstractButton*>())
        values << box->objectName() + (box->isChecked() ? QLatin1String(":on") : QLatin1String(""));
    return values;
}

// Gives every field its own name as text, so any overwrite shows.
void fillFields(QWidget& page)
{
    for (QLineEdit* field : page.findChildren<QLineEdit*>())
        field->setText(QStringLiteral("<%1>").arg(field->objectName()));
}

QStringList texts(const QList<QLineEdit*>& fields)
{
    QStringList result;
    for (const QLineEdit* field : fields)
        result << field->text();
    return result;
}

QStringList fourFiles(const QString& folder, const QString& delimiter)
{
    QStringList paths;
    for (const char* name : {"POSAPP.FDB", "POSHIS.FDB", "POSSTK.FDB", "POSSYS.FDB"})
        paths << folder + delimiter + QLatin1String(name);
    return paths;
}

const QString RemoteBrowseText =
    QStringLiteral("Browse Dialog Not Available For Remote Server !\r\n"
                   "You are require to key in the path manually.\r\n"
                   "\r\n"
                   "Example :-\r\n"
                   "Windows OS Server [:G:\\Torvel\\BackEnd\\Db]\r\n"
                   "Linux OS Server [:/root/Torvel/BackEnd/db]\r\n"
                   "\r\n"
                   "Note : Case sensitive for Linux OS Server");

// An installation folder with a Register.ini, for the real window.
struct Installation
{
    Installation()
    {
        writeAll(dir.filePath(QStringLiteral("Register.ini")),
                 "[REPORT]\r\nPATH=/reports\r\nANALYSIS=/reports/Analysis\r\n");
    }
    QString executable() const { return dir.filePath(QStringLiteral("calvex")); }

    QTemporaryDir dir;
    FakeServices fake;
};

} // namespace

class tst_DatabasePage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldShowSetOfChosenModeOnly_data();
    void shouldShowSetOfChosenModeOnly();
    void shouldSwitchSetWhenModePickedWithKeyboard();
    void shouldExplainRemoteBrowseWithoutPicker();
    void shouldPickTemporaryFile_data();
    void shouldPickTemporaryFile();
    void shouldComposeFileNamesOfModeSet_data();
    void shouldComposeFileNamesOfModeSet();
    void shouldUpperCaseTypedServerName();
    void shouldNotRecomposeWhenLeavingLocalFolder();

    void shouldStartFolderPickerAtLastConfirmedFolder();
    void shouldServeEveryFolderPictureOfWindow_data();
    void shouldServeEveryFolderPictureOfWindow();
    void shouldShareLastFolderAcrossPagesWithoutDerivingReportFolders();

private:
    QList<QWidget*> localSet() const
    {
        const DatabasePage& p = *m_page;
        return {p.DirLocalC, p.edtPosApp, p.edtPosHis, p.edtPosStk, p.edtPosSys, p.Image12};
    }
    QList<QWidget*> remoteSet() const
    {
        const DatabasePage& p = *m_page;
        return {p.edtServerName, p.DirRemoteC, p.edtPosAppR, p.edtPosHisR, p.edtPosStkR,
                p.edtPosSysR};
    }
    QList<QLineEdit*> localFiles() const
    {
        return {m_page->edtPosApp, m_page->edtPosHis, m_page->edtPosStk, m_page->edtPosSys};
    }
    QList<QLineEdit*> remoteFiles() const
    {
        return {m_page->edtPosAppR, m_page->edtPosHisR, m_page->edtPosStkR, m_page->edtPosSysR};
    }

    std::unique_ptr<FakeServices> m_fake;
    std::unique_ptr<DatabasePage> m_page;
};

void tst_DatabasePage::init()
{
    m_fake = std::make_unique<FakeServices>();
    m_page = std::make_unique<DatabasePage>(m_fake->services());
}

void tst_DatabasePage::cleanup()
{
    m_page.reset();
    m_fake.reset();
    for (const QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
}

void tst_DatabasePage::shouldShowSetOfChosenModeOnly_data()
{
    QTest::addColumn<int>("shownIndex");
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<bool>("itemChosen");
    QTest::addColumn<bool>("localShown");
    QTest::newRow("standalone chosen in client mode") << 1 << 0 << true << true;
    QTest::newRow("client chosen in standalone mode") << 0 << 1 << true << false;
    QTest::newRow("standalone chosen again") << 0 << 0 << true << true;
    QTest::newRow("client chosen again") << 1 << 1 << true << false;
    QTest::newRow("list on client closed with Escape") << 0 << 1 << false << true;
    QTest::newRow("list on standalone closed with Escape") << 1 << 0 << false << false;
}

void tst_DatabasePage::shouldShowSetOfChosenModeOnly()
{
    QFETCH(int, shownIndex);
    QFETCH(int, listIndex);
    QFETCH(bool, itemChosen);
    QFETCH(bool, localShown);
    m_page->cbServer->setCurrentIndex(shownIndex);
    m_page->cbServerCloseUp(true);
    m_page->cbServer->setCurrentIndex(listIndex);
    fillFields(*m_page);
    const QStringList before = pageValues(*m_page);

    m_page->cbServerCloseUp(itemChosen);

    for (QWidget* w : localSet())
        QVERIFY2(w->isHidden() != localShown, qPrintable(w->objectName()));
    for (QWidget* w : remoteSet())
        QVERIFY2(w->isHidden() == localShown, qPrintable(w->objectName()));
    QCOMPARE(pageValues(*m_page), before);
}

void tst_DatabasePage::shouldSwitchSetWhenModePickedWithKeyboard()
{
    QTest::keyClick(m_page->cbServer, Qt::Key_Down); // picks "Client Data Mode"

    QCOMPARE(m_page->cbServer->currentIndex(), 1);
    QVERIFY(m_page->DirLocalC->isHidden());
    QVERIFY(!m_page->DirRemoteC->isHidden());
}

void tst_DatabasePage::shouldExplainRemoteBrowseWithoutPicker()
{
    m_page->DirRemoteC->setText(QStringLiteral("D:\\Pos\\Db"));
    QAction* browse = m_page->DirRemoteC->findChild<QAction*>(QStringLiteral("browse"));
    QVERIFY(browse);

    browse->trigger();

    QCOMPARE(m_fake->boxes.shown.size(), 1);
    QCOMPARE(m_fake->boxes.shown[0].kind, QStringLiteral("information"));
    QCOMPARE(m_fake->boxes.shown[0].text, RemoteBrowseText);
    QVERIFY(m_fake->folders.startFolders.isEmpty());
    QVERIFY(m_fake->files.calls.isEmpty());
    QCOMPARE(m_page->DirRemoteC->text(), QStringLiteral("D:\\Pos\\Db"));
}

void tst_DatabasePage::shouldPickTemporaryFile_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("confirmed") << Answer("/opt/pos/Tmp/POSTMP.FDB") << "/opt/pos/Tmp/POSTMP.FDB";
    QTest::newRow("cancelled") << Answer() << "/old/POSTMP.FDB";
}

void tst_DatabasePage::shouldPickTemporaryFile()
{
    QFETCH(Answer, answer);
    QFETCH(QString, expected);
    m_page->edtPosTmp->setText(QStringLiteral("/old/POSTMP.FDB"));
    m_fake->files.answers = {answer};

    m_page->Image15->click();

    QCOMPARE(m_fake->files.calls.size(), 1);
    const FakeFilePicker::Call& call = m_fake->files.calls[0];
    QStringList filters;
    for (const FileFilter& f : call.filters)
        filters << f.description + QStringLiteral(" | ") + f.pattern;
    QCOMPARE(filters, (QStringList{"Firebird Database Files (*.FDB) | *.FDB",
                                   "Interbase Database Files (*.GDB) | *.GDB",
                                   "All Files (*.*) | *"}));
    QCOMPARE(call.startFile, QString());
    QCOMPARE(call.defaultSuffix, QString());
    QCOMPARE(m_page->edtPosTmp->text(), expected);
}

void tst_DatabasePage::shouldComposeFileNamesOfModeSet_data()
{
    QTest::addColumn<int>("serverIndex");
    QTest::addColumn<bool>("windowsServer");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("expected");
    auto row = [](const char* name, int server, bool windows, const QString& folder,
                  const QString& delimiter) {
        QTest::newRow(name) << server << windows << folder << fourFiles(folder, delimiter);
    };
    // A standalone folder lies on this machine, whatever system the server runs.
    const QString here = QDir::separator();
    row("standalone, Windows server", 0, true, QStringLiteral("/opt/pos/Db"), here);
    row("standalone, Linux server", 0, false, QStringLiteral("/opt/pos/Db"), here);
    row("standalone, empty folder", 0, true, QString(), here);
    row("standalone, trailing delimiter", 0, false, QStringLiteral("/data/"), here);
    row("standalone, blanks kept", 0, true, QStringLiteral(" /my db "), here);
    row("client, Windows server", 1, true, QStringLiteral("G:\\Torvel\\Db"), QStringLiteral("\\"));
    row("client, Linux server", 1, false, QStringLiteral("/root/db"), QStringLiteral("/"));
    row("client, Windows server, empty folder", 1, true, QString(), QStringLiteral("\\"));
    row("client, Linux server, empty folder", 1, false, QString(), QStringLiteral("/"));
    row("client, Windows, trailing delimiter", 1, true, QStringLiteral("G:\\Db\\"),
        QStringLiteral("\\"));
    row("client, Linux, blanks kept", 1, false, QStringLiteral(" /srv db "), QStringLiteral("/"));
}

void tst_DatabasePage::shouldComposeFileNamesOfModeSet()
{
    QFETCH(int, serverIndex);
    QFETCH(bool, windowsServer);
    QFETCH(QString, folder);
    QFETCH(QStringList, expected);
    fillFields(*m_page); // the server name among them: it must not enter the paths
    m_page->cbServer->setCurrentIndex(serverIndex);
    (windowsServer ? m_page->rBtnOS0 : m_page->rBtnOS1)->setChecked(true);
    (serverIndex == 0 ? m_page->DirLocalC : m_page->DirRemoteC)->setText(folder);
    const QList<QLineEdit*> target = serverIndex == 0 ? localFiles() : remoteFiles();
    const QList<QLineEdit*> other = serverIndex == 0 ? remoteFiles() : localFiles();
    const QStringList otherBefore = texts(other);

    m_page->BitBtn6->click();
    QCOMPARE(texts(target), expected);
    QCOMPARE(texts(other), otherBefore);

    m_page->BitBtn6->click();
    QCOMPARE(texts(target), expected);
}

void tst_DatabasePage::shouldUpperCaseTypedServerName()
{
    QTest::keyClicks(m_page->edtServerName, QStringLiteral("srv1"));
    QCOMPARE(m_page->edtServerName->text(), QStringLiteral("SRV1"));
}

void tst_DatabasePage::shouldNotRecomposeWhenLeavingLocalFolder()
{
    m_page->edtPosApp->setText(QStringLiteral("/old/POSAPP.FDB"));
    m_page->show();
    QVERIFY(QTest::qWaitForWindowActive(m_page.get()));
    m_page->DirLocalC->setFocus();
    QTRY_VERIFY(m_page->DirLocalC->hasFocus());
    QTest::keyClicks(m_page->DirLocalC, QStringLiteral("/new/db"));

    m_page->DirPurgeLocalC->setFocus();
    QTRY_VERIFY(m_page->DirPurgeLocalC->hasFocus());

    QCOMPARE(m_page->DirLocalC->text(), QStringLiteral("/new/db"));
    QCOMPARE(m_page->edtPosApp->text(), QStringLiteral("/old/POSAPP.FDB"));
}

void tst_DatabasePage::shouldStartFolderPickerAtLastConfirmedFolder()
{
    QWidget owner;
    QLineEdit first(&owner);
    QLineEdit second(&owner);
    QPushButton a(&owner);
    QPushButton b(&owner);
    QPushButton stranger(&owner);
    FolderPictures pictures(m_fake->folders, &owner);
    pictures.add(&a, &first);
    pictures.add(&b, &second);
    second.setText(QStringLiteral("/kept"));
    QSignalSpy edits(&first, &QLineEdit::textChanged);
    m_fake->folders.answers = {Answer("/chosen/a"), Answer(), Answer("/chosen/b"),
                               Answer("/chosen/c")};

    pictures.Image20Click(&stranger); // not registered: no picker
    pictures.Image20Click(&a);
    QCOMPARE(first.text(), QStringLiteral("/chosen/a"));
    pictures.Image20Click(&b); // cancelled
    QCOMPARE(second.text(), QStringLiteral("/kept"));
    pictures.Image20Click(&b);
    QCOMPARE(second.text(), QStringLiteral("/chosen/b"));
    pictures.Image20Click(&a);
    QCOMPARE(first.text(), QStringLiteral("/chosen/c"));

    // A cancel leaves the last confirmed folder as it was.
    QCOMPARE(m_fake->folders.startFolders,
             (QStringList{QString(), "/chosen/a", "/chosen/a", "/chosen/b"}));
    QCOMPARE(edits.count(), 0); // signals blocked: no handler of the field runs
}

void tst_DatabasePage::shouldServeEveryFolderPictureOfWindow_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("field");
    QTest::newRow("report folder") << "Image20" << "dedtReportPath";
    QTest::newRow("picture folder") << "Image21" << "DirectoryEdit8";
    QTest::newRow("log book folder") << "Image22" << "DirectoryEdit1";
    QTest::newRow("database folder") << "Image12" << "DirLocalC";
    QTest::newRow("purge folder") << "Image13" << "DirPurgeLocalC";
    QTest::newRow("zero folder") << "Image14" << "DirZeroPath";
}

void tst_DatabasePage::shouldServeEveryFolderPictureOfWindow()
{
    QFETCH(QString, picture);
    QFETCH(QString, field);
    Installation inst;
    QVERIFY(inst.dir.isValid());
    TfrmConfigTools window(inst.executable(), inst.fake.services());
    QVERIFY(inst.fake.boxes.shown.isEmpty());
    auto* button = window.findChild<QAbstractButton*>(picture);
    auto* edit = window.findChild<QLineEdit*>(field);
    QVERIFY(button && edit);
    inst.fake.folders.answers = {Answer("/picked"), Answer()};

    button->click();
    QCOMPARE(edit->text(), QStringLiteral("/picked"));
    button->click(); // cancelled
    QCOMPARE(edit->text(), QStringLiteral("/picked"));
    QCOMPARE(inst.fake.folders.startFolders, (QStringList{QString(), "/picked"}));
}

void tst_DatabasePage::shouldShareLastFolderAcrossPagesWithoutDerivingReportFolders()
{
    Installation inst;
    QVERIFY(inst.dir.isValid());
    TfrmConfigTools window(inst.executable(), inst.fake.services());
    DirectoriesPage& directories = *window.directoriesPage;
    QVERIFY(inst.fake.boxes.shown.isEmpty());
    QCOMPARE(directories.dedtInventory->text(), QStringLiteral("/reports/Analysis"));
    inst.fake.folders.answers = {Answer("/srv/reports"), Answer("/srv/zero")};

    QTest::mouseClick(directories.Image20, Qt::LeftButton);
    QTest::mouseClick(window.databasePage->Image14, Qt::LeftButton);

    QCOMPARE(inst.fake.folders.startFolders, (QStringList{QString(), "/srv/reports"}));
    QCOMPARE(directories.dedtReportPath->text(), QStringLiteral("/srv/reports"));
    QCOMPARE(directories.dedtInventory->text(), QStringLiteral("/reports/Analysis"));
    QCOMPARE(window.databasePage->DirZeroPath->text(), QStringLiteral("/srv/zero"));
}

QTEST_MAIN(tst_DatabasePage)
#include "tst_databasepage.moc"
