#include "AppGlobals.h"
#include "BottomBar.h"
#include "ConfigureTools.h"
#include "DatabasePage.h"
#include "frm_StartLoad.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QWindow>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A standalone installation that is no fresh one, so loading writes nothing.
const QByteArray Stored = "[DATABASE]\r\nDATABASE_SERVER=LOCAL\r\nPOS_PATH=/opt/pos/Db\r\n"
                          "[REPORT]\r\nLOG_EXT=000\r\n";

// Watches the splash window while it is flashed: what it shows, and what was on screen then.
class SplashWatch : public QObject
{
public:
    explicit SplashWatch(const QWidget* main) : m_main(main) { qApp->installEventFilter(this); }
    ~SplashWatch() override { qApp->removeEventFilter(this); }

    QStringList seen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* splash = widget ? dynamic_cast<TfrmStartLoad*>(widget->window()) : nullptr;
        if (!splash)
            return false;
        if (event->type() == QEvent::Show && widget == splash) {
            const bool mainOnScreen = m_main->isVisible() && m_main->windowHandle() &&
                                      m_main->windowHandle()->isExposed();
            seen << QStringLiteral("shown \"%1\" reading \"%2\", main window %3")
                        .arg(splash->windowTitle(), splash->Label1->text(),
                             mainOnScreen ? QStringLiteral("on screen")
                                          : QStringLiteral("not on screen"));
        } else if (event->type() == QEvent::Paint && widget == splash->Image1 &&
                   !seen.contains(QStringLiteral("picture painted"))) {
            seen << QStringLiteral("picture painted");
        }
        return false;
    }

private:
    const QWidget* m_main;
};

// Puts the installation folder on a read-only mount, which refuses writes to root too; where
// mounts are not allowed a non-root user gets a folder without write permission instead.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(QString path) : m_path(std::move(path)) {}
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
        else if (m_chmodded)
            ::chmod(QFile::encodeName(m_path).constData(), 0700);
    }

    // Empty on success, else why it could not be done.
    QString apply()
    {
        const QByteArray path = QFile::encodeName(m_path);
        if (::geteuid() != 0) {
            m_chmodded = ::chmod(path.constData(), 0500) == 0;
            return m_chmodded ? QString() : QString::fromLocal8Bit(std::strerror(errno));
        }
        // A mount namespace of this test's own, so the mount is seen by nobody else.
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
            return QStringLiteral("no mount allowed: ") +
                   QString::fromLocal8Bit(std::strerror(errno));
        m_mounted = true;
        if (::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                    nullptr) != 0)
            return QString::fromLocal8Bit(std::strerror(errno));
        return QString();
    }

private:
    QString m_path;
    bool m_mounted = false;
    bool m_chmodded = false;
};

} // namespace

// The application shell around the pages: the process-wide values, the header, the bottom
// bar's start state, the splash, and a loading that fails.
class tst_WindowShell : public QObject, protected WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shouldSetProcessWideValuesOnCreation();
    void shouldShowHeaderAndIdleBottomBar();
    void shouldFlashSplashOnlyWhileMainWindowIsOnScreen();
    void shouldEndLoadingWithWriteErrorWhenDefaultsCannotBeWritten();
};

void tst_WindowShell::init()
{
    initFixture();
}

void tst_WindowShell::cleanup()
{
    cleanupFixture();
}

void tst_WindowShell::shouldSetProcessWideValuesOnCreation()
{
    appGlobals() = AppGlobals{};
    QVERIFY(open(Stored));

    const AppGlobals& globals = appGlobals();
    QCOMPARE(globals.appVersion, QStringLiteral("10.7.10.2"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Calvex v10.7.10.2"));
    QCOMPARE(globals.appFolder, m_dir->path());
    QCOMPARE(globals.shortDateFormat, QStringLiteral("DD/MM/YYYY"));
    QCOMPARE(globals.dateSeparator, QLatin1Char('/'));
    QCOMPARE(globals.shortTimeFormat, QStringLiteral("hh:mm:ss:tt"));
    QCOMPARE(globals.timeSeparator, QLatin1Char(':'));
}

void tst_WindowShell::shouldShowHeaderAndIdleBottomBar()
{
    QVERIFY(open(Stored));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    QCOMPARE(m_window->Label11->text(), QStringLiteral("Norhex Calvex"));
    QVERIFY(m_window->Label11->isVisible());
    QVERIFY(m_window->Label11->font().bold());

    QCOMPARE(bottomBarState(*m_window), BottomBar::Idle);
    QVERIFY(m_window->BitBtn2->isVisible());
    QVERIFY(m_window->bbtnCancel->isVisible());
    QCOMPARE(m_window->BitBtn2->text(), QStringLiteral("OK"));
    QCOMPARE(m_window->bbtnCancel->text(), QStringLiteral("Cancel"));
    QVERIFY(!m_window->bbtnApply->isVisible());
    // Hidden until Apply runs, then read as laid out: the label's caption and the gauge's
    // percentage.
    QCOMPARE(m_window->Label24->text(), QStringLiteral("Update Progressing"));
    QProgressBar* gauge = m_window->ProgressBar1;
    QCOMPARE(gauge->minimum(), 0);
    QCOMPARE(gauge->maximum(), 100);
    QVERIFY(gauge->isTextVisible());
    gauge->setValue(75);
    QCOMPARE(gauge->text(), QStringLiteral("75%"));
}

void tst_WindowShell::shouldFlashSplashOnlyWhileMainWindowIsOnScreen()
{
    QVERIFY(open(Stored));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    SplashWatch watch(m_window.get());

    flashStartLoad();

    QCOMPARE(watch.seen,
             QStringList({"shown \"Zorvan POS Registration\" reading \"Please Wait...\", "
                          "main window on screen",
                          "picture painted"}));
    // Gone before the message loop runs, so it never takes the user's input.
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY2(!dynamic_cast<TfrmStartLoad*>(widget), "the splash window outlived its flash");
}

void tst_WindowShell::shouldEndLoadingWithWriteErrorWhenDefaultsCannotBeWritten()
{
    ReadOnlyFolder folder(m_dir->path());
    if (const QString why = folder.apply(); !why.isEmpty())
        QSKIP(qPrintable(QStringLiteral("cannot make the folder read-only: ") + why));

    QVERIFY(open(QByteArray())); // a fresh installation: no Register.ini

    QCOMPARE(m_fake->boxes.shown.size(), 1);
    QCOMPARE(m_fake->boxes.shown.first().kind, QStringLiteral("application"));
    QCOMPARE(m_fake->boxes.shown.first().text,
             QStringLiteral("Unable to write to ") + iniPath() + QLatin1Char('.'));
    QVERIFY(!QFile::exists(iniPath()));
    // The steps after the failed write were skipped: the archive hint is never set.
    QCOMPARE(m_window->BitBtn5->toolTip(), QString());
    // The window still opens and closes as usual.
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(m_window->Notebook1->currentWidget(), m_window->databasePage);
    QTest::mouseClick(m_window->bbtnCancel, Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_fake->boxes.shown.size(), 1);
}

QTEST_MAIN(tst_WindowShell)
#include "tst_window_shell.moc"
