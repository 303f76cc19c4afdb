#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "DirectoriesPage.h"
#include "ModulesPage.h"
#include "Widgets.h"
#include "WindowFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

namespace {

// A standalone installation that is no fresh one, so loading writes nothing.
const QByteArray Stored = "; shared by the suite\n"
                          "[DATABASE]\nDATABASE_SERVER=LOCAL\nPOS_PATH=/opt/pos/Db\n"
                          "[REPORT]\nLOG_EXT=000\n";

// The entries drawn bold or underlined, saying which when not both.
QStringList highlighted(const TfrmConfigTools& window)
{
    QStringList result;
    for (const QLabel* entry : {window.LabelDatabase, window.LabelDirectories, window.LabelModules}) {
        const QFont font = entry->font();
        if (font.bold() && font.underline())
            result << entry->objectName();
        else if (font.bold())
            result << entry->objectName() + QStringLiteral(" (bold only)");
        else if (font.underline())
            result << entry->objectName() + QStringLiteral(" (underlined only)");
    }
    return result;
}

} // namespace

class tst_WindowNavigation : public QObject, protected WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldStartOnDatabasePage();
    void shouldShowPageOfClickedEntry_data();
    void shouldShowPageOfClickedEntry();
    void shouldIgnoreClickThatIsNoLeftReleaseInside_data();
    void shouldIgnoreClickThatIsNoLeftReleaseInside();
    void shouldKeepEditAcrossPageSwitches();
    void shouldCloseWithoutSaving_data();
    void shouldCloseWithoutSaving();

private:
    // Writes Register.ini (unless null), opens the window and shows it.
    bool open(const QByteArray& ini);
    QLabel* entryNamed(const QString& name) const { return control<QLabel>(name); }
};

void tst_WindowNavigation::init()
{
    initFixture();
}

void tst_WindowNavigation::cleanup()
{
    cleanupFixture();
}

bool tst_WindowNavigation::open(const QByteArray& ini)
{
    if (!WindowFixture::open(ini))
        return false;
    m_window->show();
    return QTest::qWaitForWindowExposed(m_window.get());
}

void tst_WindowNavigation::shouldStartOnDatabasePage()
{
    QVERIFY(open(Stored));
    QCOMPARE(m_window->LabelDatabase->text(), QStringLiteral("Database Server Setup"));
    QCOMPARE(m_window->LabelDirectories->text(), QStringLiteral("Directories/Conditional Setup"));
    QCOMPARE(m_window->LabelModules->text(), QStringLiteral("Modules Setup"));

    QCOMPARE(m_window->Notebook1->currentWidget(), m_window->databasePage);
    QCOMPARE(highlighted(*m_window), QStringList{QStringLiteral("LabelDatabase")});
    QCOMPARE(m_window->LabelName->text(), QStringLiteral("> Database Server Setup"));
}

void tst_WindowNavigation::shouldShowPageOfClickedEntry_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("header");

    const QString database = QStringLiteral("LabelDatabase");
    const QString directories = QStringLiteral("LabelDirectories");
    const QString modules = QStringLiteral("LabelModules");
    QTest::newRow("directories") << QStringList{directories} << directories
                                 << "DirectoriesPage" << "> Directories/Conditional Setup";
    QTest::newRow("modules") << QStringList{modules} << modules << "ModulesPage"
                             << "> Modules Setup";
    QTest::newRow("database after modules") << QStringList{modules, database} << database
                                            << "DatabasePage" << "> Database Server Setup";
    QTest::newRow("database, already current") << QStringList{database} << database
                                               << "DatabasePage" << "> Database Server Setup";
    QTest::newRow("directories twice") << QStringList{directories, directories} << directories
                                       << "DirectoriesPage" << "> Directories/Conditional Setup";
    QTest::newRow("modules after directories") << QStringList{directories, modules} << modules
                                               << "ModulesPage" << "> Modules Setup";
}

void tst_WindowNavigation::shouldShowPageOfClickedEntry()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, entry);
    QFETCH(QString, page);
    QFETCH(QString, header);

    QVERIFY(open(Stored));
    for (const QString& name : clicks) {
        QLabel* label = entryNamed(name);
        QVERIFY2(label, qPrintable(name));
        QTest::mouseClick(label, Qt::LeftButton);
    }
    QCOMPARE(m_window->Notebook1->currentWidget()->objectName(), page);
    QCOMPARE(highlighted(*m_window), QStringList{entry});
    QCOMPARE(m_window->LabelName->text(), header);
}

void tst_WindowNavigation::shouldIgnoreClickThatIsNoLeftReleaseInside_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("releaseAt"); // null: where it was pressed

    QTest::newRow("right button") << Qt::RightButton << QPoint();
    QTest::newRow("released left of the entry") << Qt::LeftButton << QPoint(-3, 10);
    QTest::newRow("released below the entry") << Qt::LeftButton << QPoint(10, 60);
}

void tst_WindowNavigation::shouldIgnoreClickThatIsNoLeftReleaseInside()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, releaseAt);

    QVERIFY(open(Stored));
    QLabel* modules = m_window->LabelModules;
    const QPoint pressAt(10, 10);
    QTest::mousePress(modules, button, {}, pressAt);
    QTest::mouseRelease(modules, button, {}, releaseAt.isNull() ? pressAt : releaseAt);

    QCOMPARE(m_window->Notebook1->currentWidget(), m_window->databasePage);
    QCOMPARE(highlighted(*m_window), QStringList{QStringLiteral("LabelDatabase")});
    QCOMPARE(m_window->LabelName->text(), QStringLiteral("> Database Server Setup"));
}

void tst_WindowNavigation::shouldKeepEditAcrossPageSwitches()
{
    QVERIFY(open(Stored));
    QLineEdit* folder = m_window->databasePage->DirLocalC;
    QTest::keyClicks(folder, QStringLiteral("/Main"));
    QTest::mouseClick(m_window->LabelDirectories, Qt::LeftButton);
    QCOMPARE(m_window->Notebook1->currentWidget(), m_window->directoriesPage);
    QTest::mouseClick(m_window->LabelDatabase, Qt::LeftButton);

    QCOMPARE(m_window->Notebook1->currentWidget(), m_window->databasePage);
    QCOMPARE(folder->text(), QStringLiteral("/opt/pos/Db/Main"));
}

void tst_WindowNavigation::shouldCloseWithoutSaving_data()
{
    QTest::addColumn<QByteArray>("ini"); // null: no file, a fresh installation
    QTest::addColumn<bool>("cancel");    // false: closed by close()

    QTest::newRow("Cancel, stored settings") << Stored << true;
    QTest::newRow("Cancel, fresh installation") << QByteArray() << true;
    QTest::newRow("close(), stored settings") << Stored << false;
}

void tst_WindowNavigation::shouldCloseWithoutSaving()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, cancel);

    QVERIFY(open(ini));
    const QByteArray loaded = iniBytes();
    if (!ini.isNull())
        QCOMPARE(loaded, ini);
    else
        QVERIFY(!loaded.isEmpty());

    // Edits on every page that a save would write.
    QTest::keyClicks(m_window->databasePage->DirLocalC, QStringLiteral("/Main"));
    m_window->databasePage->cbPurgeLocalC->click();
    m_window->directoriesPage->CurrencyEdit1->setText(QStringLiteral("042"));
    m_window->modulesPage->CheckBox10->click();

    if (cancel)
        QTest::mouseClick(m_window->bbtnCancel, Qt::LeftButton);
    else
        m_window->close();
    QVERIFY(!m_window->isVisible());
    QCOMPARE(iniBytes(), loaded);

    m_window.reset();
    QCOMPARE(iniBytes(), loaded);
    QCOMPARE(m_fake->boxes.shown.size(), 0);
}

QTEST_MAIN(tst_WindowNavigation)
#include "tst_window_navigation.moc"
