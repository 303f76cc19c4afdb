#include "ConfigureTools.h"

#include "AppGlobals.h"
#include "ErrorReporting.h"
#include "SettingsFile.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>

TfrmConfigTools::TfrmConfigTools(const QString& executablePath, const Services& services,
                                 QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_executablePath(executablePath), m_services(services)
{
    setObjectName(QStringLiteral("frmConfigTools"));
    setWindowTitle(QStringLiteral("Calvex v"));
    setFixedSize(910, 638);

    // Errors in creation are reported like those of any handler; the window opens all the same.
    try {
        FormCreate();
    } catch (...) {
        reportError(std::current_exception(), *m_services.boxes, this);
    }

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmConfigTools::~TfrmConfigTools()
{
    FormClose();
}

void TfrmConfigTools::FormCreate()
{
    AppGlobals& globals = appGlobals();
    globals.appVersion = QStringLiteral("10.7.10.2");
    setWindowTitle(windowTitle() + globals.appVersion);
    globals.shortDateFormat = QStringLiteral("DD/MM/YYYY");
    globals.dateSeparator = QLatin1Char('/');
    globals.shortTimeFormat = QStringLiteral("hh:mm:ss:tt");
    globals.timeSeparator = QLatin1Char(':');
    globals.appFolder = folderOfExecutable(m_executablePath);

    m_settings = SettingsFile::open(globals.appFolder + QDir::separator() +
                                    QStringLiteral("Register.ini"));
}

void TfrmConfigTools::FormClose()
{
    if (m_settings) {
        m_settings->release();
        m_settings = nullptr;
    }
}

void TfrmConfigTools::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TfrmConfigTools::reject()
{
    // Escape is no shortcut of this window; the close button closes it like Cancel.
}
