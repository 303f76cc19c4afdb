#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "FakeServices.h"
#include "SettingsFile.h"
#include "TestFiles.h"
#include "Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// OK resets a stored year selection to "Default GDB"; the two archive aliases must follow it,
// or the suite would go on reading the archived year.
class tst_ArchiveReset : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void shouldRepointExistingArchiveAliasesWhenOkResetsYear_data();
    void shouldRepointExistingArchiveAliasesWhenOkResetsYear();

private:
    QString path(const char* name) const { return m_dir->filePath(QLatin1String(name)); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_ArchiveReset::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir shop(m_dir->path());
    for (const char* sub : {"Db", "PurgeC", "Pictures", "Report/Analysis", "Report/Form",
                            "Report/Journal", "Report/Listing", "Report/Misc"})
        QVERIFY(shop.mkpath(QLatin1String(sub)));
    QVERIFY(createEntries(m_dir->path(), {"Db/POSAPP.FDB", "Db/POSHIS.FDB", "Db/POSSTK.FDB",
                                          "Db/POSSYS.FDB", "Tmp.gdb"}));
    QVERIFY(writeAll(path("Register.ini"),
                     readAll(testDataPath(QStringLiteral("apply/window_seed.ini")))
                         .replace("@DIR@", QFile::encodeName(m_dir->path()))));
}

void tst_ArchiveReset::cleanup()
{
    m_dir.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_ArchiveReset::shouldRepointExistingArchiveAliasesWhenOkResetsYear_data()
{
    QTest::addColumn<QString>("stored");      // ARCHIVE_GDB before OK
    QTest::addColumn<QByteArray>("aliases");  // the archive aliases before OK
    QTest::addColumn<QByteArray>("expected"); // and after

    const QByteArray atYear = "[ZorvStk]\nTYPE=INTRBASE\nSERVER NAME=/Db/2025/ZorvStk.gdb\n"
                              "USER NAME=KLYDBA\n\n[ZorvHis]\nTYPE=INTRBASE\n"
                              "SERVER NAME=/Db/2025/ZorvHis.gdb\nUSER NAME=SYSDBA\n";
    const QByteArray atDefault = QByteArray(atYear)
                                     .replace("/Db/2025/ZorvStk.gdb", "/Db/Stock.gdb")
                                     .replace("/Db/2025/ZorvHis.gdb", "/Db/History.gdb");
    QTest::newRow("year selected: both re-pointed") << "2025 Archive GDB" << atYear << atDefault;
    const QByteArray stockOnly = "[ZorvStk]\nTYPE=INTRBASE\nSERVER NAME=/Db/2025/ZorvStk.gdb\n";
    QTest::newRow("year selected: the missing one is not added")
        << "2025 Archive GDB" << stockOnly << QByteArray(stockOnly).replace("2025/ZorvStk", "Stock");
    QTest::newRow("default selected: nothing changes") << "Default GDB" << atYear << atYear;
}

void tst_ArchiveReset::shouldRepointExistingArchiveAliasesWhenOkResetsYear()
{
    QFETCH(QString, stored);
    QFETCH(QByteArray, aliases);
    QFETCH(QByteArray, expected);
    SettingsFile* settings = SettingsFile::open(path("Register.ini"));
    settings->writeText("DATABASE", "ARCHIVE_GDB", stored);
    settings->writeText("DATABASE", "ZORVSTK_SERVER", "/Db/Stock.gdb");
    settings->writeText("DATABASE", "ZORVHIS_SERVER", "/Db/History.gdb");
    QVERIFY(writeAll(path("DbAliases.cfg"), aliases));

    FakeServices fake;
    {
        TfrmConfigTools window(path("calvex"), fake.services());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.databasePage->cbServer, Qt::Key_Up); // standalone
        QTest::mouseClick(window.BitBtn2, Qt::LeftButton);
        QCOMPARE(fake.boxes.shown.size(), 1);
        QCOMPARE(fake.boxes.shown.first().text, QStringLiteral("Calvex Update Completed."));
        QCOMPARE(window.BitBtn5->toolTip(), QStringLiteral("Default GDB"));
    }
    QCOMPARE(settings->readText("DATABASE", "ARCHIVE_GDB"), QStringLiteral("Default GDB"));
    settings->release();
    const QByteArray saved = readAll(path("DbAliases.cfg"));
    QVERIFY2(saved.startsWith(expected), saved.constData()); // the POS aliases follow
}

QTEST_MAIN(tst_ArchiveReset)
#include "tst_archive_reset.moc"
