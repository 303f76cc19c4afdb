#include "ConfigureTools.h"
#include "WindowFixture.h"
#include "Widgets.h"

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
    void shouldRefuseTypedTextTheCodePageCannotHold();

private:
    QByteArray original() const;
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

// Holds every key that OK writes, with the values OK writes, so nothing has to change.
QByteArray tst_WindowEncoding::original() const
{
    return readAll(testDataPath(QStringLiteral("encoding/register_cp1252.ini")))
        .replace("@DIR@", QFile::encodeName(m_dir->path()));
}

void tst_WindowEncoding::shouldKeepEveryUntouchedByteOfAnAnsiFileOnOk()
{
    const QByteArray original = this->original();
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

void tst_WindowEncoding::shouldRefuseTypedTextTheCodePageCannotHold()
{
    const QByteArray original = this->original();
    QVERIFY(open(original));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::mouseClick(m_window->LabelModules, Qt::LeftButton);
    auto* setup = control<QLineEdit>(QStringLiteral("edtSetupini"));
    QVERIFY(setup && setup->isVisible());
    const QString typed = m_dir->path() + QStringLiteral("/\u0141\u00f3d\u017a.ini");
    QTest::mouseClick(setup, Qt::LeftButton);
    QTest::keyClick(setup, Qt::Key_A, Qt::ControlModifier);
    for (QChar c : typed) // keyClicks() knows only ASCII keys; a keyboard sends the letter
        QTest::sendKeyEvent(QTest::Click, setup, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCOMPARE(setup->text(), typed);

    QTest::mouseClick(m_window->BitBtn2, Qt::LeftButton);

    QCOMPARE(m_fake->boxes.shown.size(), 1);
    QCOMPARE(m_fake->boxes.shown.first().kind, QStringLiteral("application"));
    QCOMPARE(m_fake->boxes.shown.first().text,
             QStringLiteral("The text \"%1\" cannot be written to %2: its code page, "
                            "Windows-1252, has no \u0141 or \u017a.")
                 .arg(typed, iniPath()));
    QVERIFY(m_window->isVisible());
    // Nothing was replaced silently; what OK wrote before holds the same values as before.
    QCOMPARE(iniBytes(), original);
    m_window->close();
}

QTEST_MAIN(tst_WindowEncoding)
#include "tst_window_encoding.moc"
