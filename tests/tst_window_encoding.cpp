#include "ConfigureTools.h"
#include "WindowFixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Register.ini is in the ANSI code page. Opening the window and pressing OK must write back
// exactly the bytes that were read wherever the user changed nothing.
class tst_WindowEncoding : public QObject, protected WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldKeepEveryUntouchedByteOfAnAnsiFileOnOk();
};

void tst_WindowEncoding::init()
{
    initFixture();
    QDir shop(m_dir->path());
    for (const char* folder : {"Db", "PurgeC", "Pictures", "Log"})
        QVERIFY(shop.mkpath(QLatin1String(folder)));
    for (const char* sub : {"Analysis", "Form", "Journal", "Listing", "Misc"})
        QVERIFY(shop.mkpath(QStringLiteral("Report/") + QLatin1String(sub)));
    for (const char* file :
         {"Db/POSAPP.FDB", "Db/POSHIS.FDB", "Db/POSSTK.FDB", "Db/POSSYS.FDB", "Tmp.gdb"})
        QVERIFY(writeAll(shop.filePath(QLatin1String(file)), {}));
}

void tst_WindowEncoding::cleanup()
{
    cleanupFixture();
}

void tst_WindowEncoding::shouldKeepEveryUntouchedByteOfAnAnsiFileOnOk()
{
    // Holds every key that OK writes, with the values OK writes, so nothing has to change.
    const QByteArray original =
        readAll(testDataPath(QStringLiteral("encoding/register_cp1252.ini")))
            .replace("@DIR@", QFile::encodeName(m_dir->path()));
    QVERIFY(original.contains("\xe9"));
    QVERIFY(open(original));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(control<QLineEdit>(QStringLiteral("edtServerName"))->text(),
             QStringLiteral("CAF\u00c9SRV:"));

    QTest::mouseClick(m_window->BitBtn2, Qt::LeftButton);

    QCOMPARE(m_fake->boxes.shown.size(), 1);
    QCOMPARE(m_fake->boxes.shown.first().text, QStringLiteral("Calvex Update Completed."));
    QCOMPARE(iniBytes(), original);
}

QTEST_MAIN(tst_WindowEncoding)
#include "tst_window_encoding.moc"
