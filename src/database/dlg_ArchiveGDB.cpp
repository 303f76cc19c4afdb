#include "dlg_ArchiveGDB.h"

#include "AliasEngine.h"
#include "AliasRegistration.h"
#include "ErrorReporting.h"
#include "Keys.h"
#include "SettingsFile.h"
#include "Widgets.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <tuple>

namespace {

const QString DefaultEntry = QStringLiteral("Default GDB");

} // namespace

ArchiveSettings ArchiveSettings::load(const SettingsFile& settings)
{
    using namespace Key;
    const QString db = QLatin1String(Section::DATABASE);
    auto read = [&](const char* key) { return settings.readText(db, key); };
    ArchiveSettings a;
    a.production = read(DEFAULT_SERVER) == QLatin1String("C");
    a.mode = read(DATABASE_SERVER);
    a.osServer = settings.readText(db, OS_SERVER, QStringLiteral("0"));
    a.serverName = read(SERVER_NAME);
    a.stockConnection = read(a.production ? ZORVSTK_SERVER : TRAINSTK_SERVER);
    a.historyConnection = read(a.production ? ZORVHIS_SERVER : TRAINHIS_SERVER);
    a.stockFile = read(a.production ? ZORVSTK_FILE : TRAINSTK_FILE);
    a.historyFile = read(a.production ? ZORVHIS_FILE : TRAINHIS_FILE);
    const bool remote = a.mode == QLatin1String("REMOTE");
    if (a.production) {
        a.databaseFolder = read(remote ? ZORV_PATH_R : ZORV_PATH);
        a.purgeFolder = read(remote ? ZORV_PURGE_PATH_R : ZORV_PURGE_PATH);
    } else {
        a.databaseFolder = read(remote ? TRAIN_PATH_R : TRAIN_PATH);
        a.purgeFolder = read(remote ? TRAIN_PURGE_PATH_R : TRAIN_PURGE_PATH);
    }
    return a;
}

ArchiveTargets archiveTargets(const ArchiveSettings& a, const QString& entry)
{
    if (entry == DefaultEntry)
        return {a.stockConnection, a.historyConnection, a.stockFile, a.historyFile};
    if (a.osServer != QLatin1String("0") && a.osServer != QLatin1String("1"))
        return {};

    const QString year = entry.left(4);
    const bool remote = a.mode == QLatin1String("REMOTE");
    // The files are tested on this machine; the remote form names the server's own path.
    const QChar local = QDir::separator();
    const QChar server = a.osServer == QLatin1String("0") ? QLatin1Char('\\') : QLatin1Char('/');
    const QChar d = remote ? server : local;
    const QString prefix = remote ? a.serverName + QLatin1Char(':') : QString();
    auto connection = [&](const char* file) {
        return prefix + a.databaseFolder + d + year + d + QLatin1String(file);
    };
    auto tested = [&](const char* file) {
        return a.purgeFolder + local + year + local + QLatin1String(file);
    };
    return {connection("ZorvStk.gdb"), connection("ZorvHis.gdb"), tested("ZorvStk.gdb"),
            tested("ZorvHis.gdb")};
}

QStringList archiveEntries(const QString& purgeFolder, int currentYear)
{
    QStringList entries{DefaultEntry};
    for (int k = 0; k <= 19; ++k) {
        const QString year = QString::number(currentYear - k);
        if (QFileInfo(purgeFolder + QDir::separator() + year).isDir())
            entries.append(year + QStringLiteral(" Archive GDB"));
    }
    return entries;
}

void registerArchiveAliases(AliasEngine& engine, const ArchiveSettings& a, const ArchiveTargets& t)
{
    const bool standalone = a.mode == QLatin1String("LOCAL");
    auto message = [standalone](const QString& text, const QString& file) {
        return standalone ? text + file : QString();
    };
    registerAlias(engine, QStringLiteral("ZorvStk"), t.stockConnection, QStringLiteral("KLYDBA"),
                  t.stockFile,
                  message(QStringLiteral("Cannot Locate Interbase Data File : Stock GDB\r\n"),
                          t.stockFile));
    registerAlias(engine, QStringLiteral("ZorvHis"), t.historyConnection, QStringLiteral("SYSDBA"),
                  t.historyFile,
                  message(QStringLiteral("Cannot Locate Interbase Data File : History GDB\r\n"),
                          t.historyFile));
}

void repointArchiveAliasesToDefault(AliasEngine& engine, const ArchiveSettings& a)
{
    const ArchiveTargets t = archiveTargets(a, DefaultEntry);
    bool changed = false;
    for (const auto& [alias, connection, user] :
         {std::tuple(QStringLiteral("ZorvStk"), t.stockConnection, QStringLiteral("KLYDBA")),
          std::tuple(QStringLiteral("ZorvHis"), t.historyConnection, QStringLiteral("SYSDBA"))}) {
        if (!engine.IsAlias(alias))
            continue;
        engine.ModifyAlias(alias, aliasParameters(connection, user));
        changed = true;
    }
    if (changed)
        engine.SaveConfigFile();
}

TdlgArchiveGDB::TdlgArchiveGDB(SettingsFile& settings, AliasEngine& engine,
                               const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_settings(settings), m_engine(engine), m_services(services)
{
    setObjectName(QStringLiteral("dlgArchiveGDB"));
    setWindowTitle(QStringLiteral("Archive GDB"));
    setFixedSize(358, 110);

    Bevel1 = named(new QFrame(this), "Bevel1");
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 342, 60);
    Label1 = named(new QLabel(QStringLiteral("Path : "), Bevel1), "Label1");
    Label1->setGeometry(8, 6, 326, 18);
    ComboBox1 = named(new QComboBox(Bevel1), "ComboBox1");
    ComboBox1->setGeometry(8, 28, 326, 22);
    ComboBox1->setEditable(false);
    ComboBox1->setStyleSheet(QStringLiteral(
        "QComboBox { background: blue; color: white; }"
        "QComboBox QAbstractItemView { background: blue; color: white; }"));

    OKBtn = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn->setGeometry(192, 76, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn");
    CancelBtn->setGeometry(274, 76, 75, 25);

    connect(OKBtn, &QPushButton::clicked, this, &TdlgArchiveGDB::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TdlgArchiveGDB::FormCreate()
{
    const int year = m_services.clock->today().year();
    m_archive = ArchiveSettings::load(m_settings);
    Label1->setText(QStringLiteral("Path : ") + m_archive.purgeFolder);
    ComboBox1->clear();
    ComboBox1->addItems(archiveEntries(m_archive.purgeFolder, year));
    const int stored = ComboBox1->findText(
        m_settings.readText(QLatin1String(Section::DATABASE), Key::ARCHIVE_GDB, DefaultEntry),
        Qt::MatchExactly | Qt::MatchCaseSensitive);
    ComboBox1->setCurrentIndex(stored >= 0 ? stored : 0);
}

void TdlgArchiveGDB::ReRegisterArchive()
{
    registerArchiveAliases(m_engine, m_archive, archiveTargets(m_archive, ComboBox1->currentText()));
}

void TdlgArchiveGDB::OKBtnClick()
{
    // OK closes the dialog either way, once an error has been shown.
    try {
        ReRegisterArchive();
        m_settings.writeText(QLatin1String(Section::DATABASE), Key::ARCHIVE_GDB,
                             ComboBox1->currentText());
    } catch (...) {
        reportError(std::current_exception(), *m_services.boxes, this);
    }
    accept();
}
