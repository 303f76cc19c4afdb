#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "FakeServices.h"
#include "FileAliasEngine.h"
#include "Keys.h"
#include "ModalDriver.h"
#include "SettingsHandle.h"
#include "TestFiles.h"
#include "dlg_ArchiveGDB.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const QString Absent = QStringLiteral("<absent>");

QByteArray golden(const QString& name)
{
    return readAll(testDataPath(QStringLiteral("archive/") + name));
}

QStringList shownBoxes(const FakeMessageBoxes& boxes)
{
    QStringList shown;
    for (const ShownBox& box : boxes.shown)
        shown.append(box.kind + QStringLiteral(": ") + box.text);
    return shown;
}

enum class DialogButton { Ok, Cancel };

// Chooses the entry in the archive dialog and presses the button, as a user would.
void chooseAndPress(QWidget* dialog, const QString& entry, DialogButton button)
{
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Archive GDB"));
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    auto* pressed = dialog->findChild<QPushButton*>(
        button == DialogButton::Ok ? QStringLiteral("OKBtn") : QStringLiteral("CancelBtn"));
    QVERIFY(combo && pressed);
    const int index = combo->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    combo->setCurrentIndex(index);
    QTest::mouseClick(pressed, Qt::LeftButton);
}

} // namespace

Q_DECLARE_METATYPE(DialogButton)

class tst_ArchiveDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldListYearFoldersAndSelectStoredEntry_data();
    void shouldListYearFoldersAndSelectStoredEntry();
    void shouldRefuseWhileReRegisterIsOn_data();
    void shouldRefuseWhileReRegisterIsOn();
    void shouldStoreChoiceAndRefreshHintAfterDialog_data();
    void shouldStoreChoiceAndRefreshHintAfterDialog();
    void shouldRepointArchiveFromKeyboard_data();
    void shouldRepointArchiveFromKeyboard();

private:
    // A standalone production set whose purge folder holds `present`; `values` are added
    // (a null value is left out).
    void writeSettings(const QStringList& present, const QList<QPair<const char*, QString>>& values);
    QString stored(const char* key) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeServices> m_fake;
    QString m_purge;
    QString m_ini;
    QString m_aliases;
};

void tst_ArchiveDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_fake = std::make_unique<FakeServices>();
    m_fake->clock.date = QDate(2041, 5, 20);
    m_purge = m_dir->filePath(QStringLiteral("purge"));
    QVERIFY(QDir().mkpath(m_purge));
    m_ini = m_dir->filePath(QStringLiteral("Register.ini"));
    m_aliases = m_dir->filePath(QStringLiteral("DbAliases.cfg"));
}

void tst_ArchiveDialog::cleanup()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible(); }));
}

void tst_ArchiveDialog::writeSettings(const QStringList& present,
                                      const QList<QPair<const char*, QString>>& values)
{
    QVERIFY(createEntries(m_purge, present));
    QList<QPair<const char*, QString>> all{
        {Key::DEFAULT_SERVER, "C"},
        {Key::DATABASE_SERVER, "LOCAL"},
        {Key::ZORV_PATH, "/pos/Zorv"},
        {Key::ZORV_PURGE_PATH, m_purge},
        {Key::ZORVSTK_SERVER, "/pos/Zorv/ZorvStk.gdb"},
        {Key::ZORVHIS_SERVER, "/pos/Zorv/ZorvHis.gdb"},
        {Key::ZORVSTK_FILE, m_purge + "/Live/ZorvStk.gdb"},
        {Key::ZORVHIS_FILE, m_purge + "/Live/ZorvHis.gdb"},
        {Key::REREGISTER_DATABASE, "F"},
    };
    QByteArray ini = "[DATABASE]\r\n";
    for (const auto& [key, value] : all + values) {
        if (!value.isNull())
            ini += QByteArray(key) + '=' + value.toLocal8Bit() + "\r\n";
    }
    QVERIFY(writeAll(m_ini, ini));
}

QString tst_ArchiveDialog::stored(const char* key) const
{
    const SettingsHandle settings = openSettings(m_ini);
    return settings->readText(QLatin1String(Section::DATABASE), QLatin1String(key), Absent);
}

void tst_ArchiveDialog::shouldListYearFoldersAndSelectStoredEntry_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("stored"); // ARCHIVE_GDB; null: absent
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("selected");

    const QString def = QStringLiteral("Default GDB");
    const QString y2040 = QStringLiteral("2040 Archive GDB");
    const QString y2039 = QStringLiteral("2039 Archive GDB");

    QTest::newRow("no year folders") << QStringList{} << QString() << QStringList{def} << def;
    QTest::newRow("year folders newest first") << QStringList{"2039/", "2041/", "2040/"} << QString()
        << QStringList{def, "2041 Archive GDB", y2040, y2039} << def;
    QTest::newRow("nineteen years back is the oldest") << QStringList{"2022/", "2021/"} << QString()
        << QStringList{def, "2022 Archive GDB"} << def;
    QTest::newRow("a future year is left out") << QStringList{"2042/", "2040/"} << QString()
        << QStringList{def, y2040} << def;
    QTest::newRow("a file named like a year is left out") << QStringList{"2040", "2039/"}
        << QString() << QStringList{def, y2039} << def;
    QTest::newRow("stored year selected") << QStringList{"2040/", "2039/"} << y2039
        << QStringList{def, y2040, y2039} << y2039;
    QTest::newRow("stored Default GDB selected") << QStringList{"2040/"} << def
        << QStringList{def, y2040} << def;
    QTest::newRow("stored year whose folder is gone") << QStringList{"2040/"} << y2039
        << QStringList{def, y2040} << def;
    QTest::newRow("stored year in another letter case") << QStringList{"2040/"}
        << "2040 archive gdb" << QStringList{def, y2040} << def;
}

void tst_ArchiveDialog::shouldListYearFoldersAndSelectStoredEntry()
{
    QFETCH(QStringList, present);
    QFETCH(QString, stored);
    QFETCH(QStringList, entries);
    QFETCH(QString, selected);

    writeSettings(present, {{Key::ARCHIVE_GDB, stored}});
    const SettingsHandle settings = openSettings(m_ini);
    FileAliasEngine engine(m_aliases);
    TdlgArchiveGDB dialog(*settings, engine, m_fake->services());

    QStringList listed;
    for (int i = 0; i < dialog.ComboBox1->count(); ++i)
        listed.append(dialog.ComboBox1->itemText(i));
    QCOMPARE(listed, entries);
    QCOMPARE(dialog.ComboBox1->currentText(), selected);
    QCOMPARE(dialog.Label1->text(), QStringLiteral("Path : ") + m_purge);
}

void tst_ArchiveDialog::shouldRefuseWhileReRegisterIsOn_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("reRegister"); // stored after the window has loaded
    QTest::addColumn<bool>("refused");

    QTest::newRow("Re-Register ticked") << true << "F" << true;
    QTest::newRow("Re-Register stored as T") << false << "T" << true;
    QTest::newRow("lowercase t is not T") << false << "t" << false;
    QTest::newRow("neither") << false << "F" << false;
}

void tst_ArchiveDialog::shouldRefuseWhileReRegisterIsOn()
{
    QFETCH(bool, ticked);
    QFETCH(QString, reRegister);
    QFETCH(bool, refused);

    writeSettings({"2040/"}, {{Key::ARCHIVE_GDB, "2040 Archive GDB"}});
    TfrmConfigTools window(m_dir->filePath(QStringLiteral("calvex")), m_fake->services());
    QVERIFY(m_fake->boxes.shown.isEmpty());
    window.databasePage->CheckBox17->setChecked(ticked);
    window.settings()->writeText(QLatin1String(Section::DATABASE),
                                 QLatin1String(Key::REREGISTER_DATABASE), reRegister);

    ModalDriver driver(
        [](QWidget* dialog) { chooseAndPress(dialog, "Default GDB", DialogButton::Cancel); });
    window.BitBtn5->click();
    QVERIFY(!driver.forced());
    QCOMPARE(driver.seen(), !refused);
    const QStringList refusal{QStringLiteral(
        "information: To enable view of Archive GDB, please do the following :-\r\n"
        "1. Un-tick Re-Register GDB\r\n2. Save")};
    QCOMPARE(shownBoxes(m_fake->boxes), refused ? refusal : QStringList());
}

void tst_ArchiveDialog::shouldStoreChoiceAndRefreshHintAfterDialog_data()
{
    QTest::addColumn<QString>("osServer");
    QTest::addColumn<QString>("stored"); // ARCHIVE_GDB; null: absent
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<DialogButton>("button");
    QTest::addColumn<QString>("storedAfter");
    QTest::addColumn<QStringList>("boxes"); // "<purge>" stands for the purge folder

    const QString stock =
        QStringLiteral("application: Cannot Locate Interbase Data File : Stock GDB\r\n");
    const QString def = QStringLiteral("Default GDB");
    const QString y2040 = QStringLiteral("2040 Archive GDB");
    const QString y2039 = QStringLiteral("2039 Archive GDB");

    QTest::newRow("OK on a year") << "0" << y2039 << y2040 << DialogButton::Ok << y2040
                                  << QStringList{};
    QTest::newRow("OK on Default GDB")
        << "1" << y2040 << def << DialogButton::Ok << def << QStringList{};
    QTest::newRow("Cancel after choosing a year")
        << "0" << y2039 << y2040 << DialogButton::Cancel << y2039 << QStringList{};
    QTest::newRow("Cancel with nothing stored")
        << "0" << QString() << y2040 << DialogButton::Cancel << Absent << QStringList{};
    QTest::newRow("OK, stock file missing: stored entry kept, full stop after the name")
        << "0" << y2040 << y2039 << DialogButton::Ok << y2040
        << QStringList{stock + "<purge>/2039/ZorvStk.gdb."};
    QTest::newRow("OK, unknown server: nothing stored, no full stop after the line break")
        << "9" << QString() << y2040 << DialogButton::Ok << Absent << QStringList{stock};
}

void tst_ArchiveDialog::shouldStoreChoiceAndRefreshHintAfterDialog()
{
    QFETCH(QString, osServer);
    QFETCH(QString, stored);
    QFETCH(QString, chosen);
    QFETCH(DialogButton, button);
    QFETCH(QString, storedAfter);
    QFETCH(QStringList, boxes);

    writeSettings({"2040/ZorvStk.gdb", "2040/ZorvHis.gdb", "2039/", "Live/ZorvStk.gdb",
                   "Live/ZorvHis.gdb"},
                  {{Key::OS_SERVER, osServer}, {Key::ARCHIVE_GDB, stored}});
    TfrmConfigTools window(m_dir->filePath(QStringLiteral("calvex")), m_fake->services());
    QVERIFY(m_fake->boxes.shown.isEmpty());
    window.BitBtn5->setToolTip(QStringLiteral("stale"));
    QString hintWhenShown;
    bool dialogOpenWhenShown = false;
    m_fake->boxes.onShow = [&](const ShownBox&) {
        hintWhenShown = window.BitBtn5->toolTip();
        dialogOpenWhenShown = dynamic_cast<TdlgArchiveGDB*>(QApplication::activeModalWidget());
    };

    ModalDriver driver([&](QWidget* dialog) { chooseAndPress(dialog, chosen, button); });
    QTest::mouseClick(window.BitBtn5, Qt::LeftButton);
    QVERIFY(driver.seen());
    QVERIFY(!driver.forced()); // closed by its button, even after a failed OK
    QCOMPARE(this->stored(Key::ARCHIVE_GDB), storedAfter);
    const QString hint = storedAfter == Absent ? QStringLiteral("Default GDB") : storedAfter;
    QCOMPARE(window.BitBtn5->toolTip(), hint);
    QCOMPARE(shownBoxes(m_fake->boxes), boxes.replaceInStrings(QLatin1String("<purge>"), m_purge));
    if (!boxes.isEmpty()) {
        // The error shows while the dialog is still open; the hint follows once it has closed.
        QVERIFY(dialogOpenWhenShown);
        QCOMPARE(hintWhenShown, QStringLiteral("stale"));
    }
}

void tst_ArchiveDialog::shouldRepointArchiveFromKeyboard_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("aliasesAfter");
    QTest::addColumn<QString>("storedAfter");

    QTest::newRow("Enter re-points the aliases") << Qt::Key_Return << "repointed-local.cfg"
                                                 << "2024 Archive GDB";
    QTest::newRow("Escape changes nothing") << Qt::Key_Escape << "existing.cfg"
                                            << "2040 Archive GDB";
}

void tst_ArchiveDialog::shouldRepointArchiveFromKeyboard()
{
    QFETCH(Qt::Key, key);
    QFETCH(QString, aliasesAfter);
    QFETCH(QString, storedAfter);

    writeSettings({"2040/", "2039/", "2024/"}, {{Key::ARCHIVE_GDB, "2040 Archive GDB"}});
    QVERIFY(writeAll(m_aliases, golden(QStringLiteral("existing.cfg"))));
    TfrmConfigTools window(m_dir->filePath(QStringLiteral("calvex")), m_fake->services());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    ModalDriver driver([key](QWidget* dialog) {
        auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        QVERIFY(combo);
        QCOMPARE(combo->currentText(), QStringLiteral("2040 Archive GDB"));
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), QStringLiteral("2024 Archive GDB"));
        QTest::keyClick(dialog, key);
    });
    QTest::mouseClick(window.BitBtn5, Qt::LeftButton);
    QVERIFY(driver.seen());
    QVERIFY(!driver.forced());
    QCOMPARE(readAll(m_aliases), golden(aliasesAfter));
    QCOMPARE(stored(Key::ARCHIVE_GDB), storedAfter);
    QCOMPARE(window.BitBtn5->toolTip(), storedAfter);
    QVERIFY(m_fake->boxes.shown.isEmpty());
}

QTEST_MAIN(tst_ArchiveDialog)

#include "tst_archive_dialog.moc"
