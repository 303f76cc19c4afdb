#include "ConfigureTools.h"

#include "AppGlobals.h"
#include "Apply.h"
#include "AtomicFile.h"
#include "DatabasePage.h"
#include "DatabaseTestDialog.h"
#include "DirectoriesPage.h"
#include "ErrorReporting.h"
#include "FileAliasEngine.h"
#include "FirstRun.h"
#include "FolderPictures.h"
#include "Keys.h"
#include "ModulesPage.h"
#include "SettingsFile.h"
#include "dlg_ArchiveGDB.h"
#include "Widgets.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QCheckBox>
#include <QProgressBar>
#include <QScopeGuard>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>

namespace {

QFrame* whitePanel(QWidget* parent, const char* name)
{
    auto* panel = named(new QFrame(parent), name);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    return panel;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// The header picture: a band that fades from white into a pale blue towards the right.
QPixmap headerPicture(int width, int height)
{
    QPixmap picture(width, height);
    QPainter painter(&picture);
    QLinearGradient fade(0, 0, width, 0);
    fade.setColorAt(0.0, Qt::white);
    fade.setColorAt(0.55, Qt::white);
    fade.setColorAt(1.0, QColor(0xc8, 0xd8, 0xf0));
    painter.fillRect(picture.rect(), fade);
    painter.setPen(QColor(0x00, 0x00, 0x80));
    painter.drawLine(0, height - 1, width, height - 1);
    return picture;
}

// Keeps a button enabled exactly when another one is.
class EnabledFollower : public QObject
{
public:
    EnabledFollower(QWidget* leader, QWidget* follower) : QObject(follower), m_follower(follower)
    {
        leader->installEventFilter(this);
        follower->setEnabled(leader->isEnabled());
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange)
            m_follower->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        return false;
    }

private:
    QWidget* m_follower;
};

} // namespace

TfrmConfigTools::TfrmConfigTools(const QString& executablePath, const Services& services,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_executablePath(executablePath), m_services(services)
{
    setObjectName(QStringLiteral("frmConfigTools"));
    setWindowTitle(QStringLiteral("Calvex v"));
    setFixedSize(910, 638);
    // The window's texts are 11 pixels high, whatever the desktop's font size.
    QFont texts = font();
    texts.setPixelSize(11);
    setFont(texts);

    buildHeader();
    buildNavigation();

    Notebook1 = named(new QStackedWidget(this), "Notebook1");
    Notebook1->setGeometry(185, 81, 725, 511);
    Notebook1->setAutoFillBackground(true);
    QPalette white = Notebook1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Notebook1->setPalette(white);
    databasePage = new DatabasePage(m_services, Notebook1);
    directoriesPage = new DirectoriesPage(Notebook1);
    modulesPage = new ModulesPage(m_services, Notebook1);
    Notebook1->addWidget(databasePage);
    Notebook1->addWidget(directoriesPage);
    Notebook1->addWidget(modulesPage);

    buildBottomBar();

    m_folderPictures = std::make_unique<FolderPictures>(*m_services.folders, this);
    const QList<QPair<QToolButton*, QLineEdit*>> pictures{
        {directoriesPage->Image20, directoriesPage->dedtReportPath},
        {directoriesPage->Image21, directoriesPage->DirectoryEdit8},
        {directoriesPage->Image22, directoriesPage->DirectoryEdit1},
        {databasePage->Image12, databasePage->DirLocalC},
        {databasePage->Image13, databasePage->DirPurgeLocalC},
        {databasePage->Image14, databasePage->DirZeroPath},
    };
    for (const auto& [picture, field] : pictures) {
        m_folderPictures->add(picture, field);
        connect(picture, &QToolButton::clicked, this,
                [this, picture = picture] { m_folderPictures->Image20Click(picture); });
    }

    // An error in creation is reported like one in any handler; the window opens all the same.
    guarded(&TfrmConfigTools::FormCreate);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmConfigTools::~TfrmConfigTools()
{
    FormClose();
}

void TfrmConfigTools::buildHeader()
{
    Panel1 = whitePanel(this, "Panel1");
    Panel1->setGeometry(0, 0, 910, 81);
    Image9 = named(new QLabel(Panel1), "Image9");
    Image9->setGeometry(0, 0, 910, 81);
    Image9->setPixmap(headerPicture(910, 81));

    Label11 = named(new QLabel(QStringLiteral("Norhex Calvex"), Panel1), "Label11");
    QFont bold = Label11->font();
    bold.setBold(true);
    Label11->setFont(bold);
    setTextColour(Label11, QColor(0x00, 0x00, 0x80));
    Label11->move(16, 8);
    Label11->adjustSize();

    LabelName = named(new QLabel(QStringLiteral("> Database Server Setup"), Panel1), "LabelName");
    setTextColour(LabelName, QColor(0x00, 0x00, 0x80));
    LabelName->setGeometry(24, 32, 600, 20);
}

void TfrmConfigTools::buildNavigation()
{
    Panel3 = whitePanel(this, "Panel3");
    Panel3->setGeometry(0, 81, 185, 511);
    auto entry = [this](const char* caption, const char* name, int y) {
        auto* label = named(new ClickLabel(QLatin1String(caption), Panel3), name);
        // A caption wider than the panel wraps rather than being cut.
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(24, y, 185 - 24 - 4, 30);
        connect(label, &ClickLabel::clicked, this, [this, label] { NavigationLabelClick(label); });
        return label;
    };
    LabelDatabase = entry("Database Server Setup", "LabelDatabase", 24);
    LabelDirectories = entry("Directories/Conditional Setup", "LabelDirectories", 24 + 32);
    LabelModules = entry("Modules Setup", "LabelModules", 24 + 64);
    QFont start = LabelDatabase->font();
    start.setBold(true);
    start.setUnderline(true);
    LabelDatabase->setFont(start);
}

void TfrmConfigTools::buildBottomBar()
{
    Panel2 = named(new QFrame(this), "Panel2");
    Panel2->setGeometry(0, 638 - 46, 910, 46);
    auto button = [this](const QString& caption, const char* name, int x, QStyle::StandardPixmap icon) {
        auto* b = named(new QPushButton(caption, Panel2), name);
        b->setGeometry(x, 8, 75, 25);
        if (icon != QStyle::SP_CustomBase)
            b->setIcon(style()->standardIcon(icon));
        b->setAutoDefault(false);
        return b;
    };
    BitBtn2 = button(QStringLiteral("OK"), "BitBtn2", 16, QStyle::SP_DialogOkButton);
    bbtnCancel = button(QStringLiteral("Cancel"), "bbtnCancel", 96, QStyle::SP_DialogCancelButton);

    ProgressBar1 = named(new QProgressBar(Panel2), "ProgressBar1");
    ProgressBar1->setGeometry(192, 10, 209, 20);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(true);
    ProgressBar1->hide();

    Label24 = named(new QLabel(QStringLiteral("Update Progressing"), Panel2), "Label24");
    Label24->move(408, 12);
    Label24->adjustSize();
    Label24->hide();

    BitBtn5 = button(QStringLiteral("Archive GDB"), "BitBtn5", 574, QStyle::SP_CustomBase);
    bbtnApply = button(QStringLiteral("Apply"), "bbtnApply", 656, QStyle::SP_DialogApplyButton);
    bbtnApply->hide();
    // Opens the databases for real; enabled with OK, so never while Apply runs.
    btnTestGDB = button(QStringLiteral("Test GDB"), "btnTestGDB", 819, QStyle::SP_CustomBase);
    btnTestGDB->setToolTip(
        QStringLiteral("Opens each database with the Firebird client; writes nothing"));
    new EnabledFollower(BitBtn2, btnTestGDB);

    connect(BitBtn2, &QPushButton::clicked, this, [this] { guarded(&TfrmConfigTools::BitBtn2Click); });
    connect(bbtnCancel, &QPushButton::clicked, this, &TfrmConfigTools::bbtnCancelClick);
    connect(BitBtn5, &QPushButton::clicked, this, [this] { guarded(&TfrmConfigTools::BitBtn5Click); });
    connect(bbtnApply, &QPushButton::clicked, this,
            [this] { guarded(&TfrmConfigTools::bbtnApplyClick); });
    connect(btnTestGDB, &QPushButton::clicked, this,
            [this] { guarded(&TfrmConfigTools::btnTestGDBClick); });
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

    const QString settingsPath =
        globals.appFolder + QDir::separator() + QStringLiteral("Register.ini");
    const QString aliasesPath =
        globals.appFolder + QDir::separator() + QStringLiteral("DbAliases.cfg");
    // A copy killed while writing may have left its temporary files; this is the only copy.
    for (const QString& path : {settingsPath, aliasesPath})
        for (const QString& file : {path, path + QStringLiteral(".bak")})
            removeStaleTemporaries(file);
    m_settings = SettingsFile::open(settingsPath);
    // The engine's configuration beside the settings file; nothing is read until it is used.
    m_engine = std::make_unique<FileAliasEngine>(aliasesPath);
    SettingsFile& settings = *m_settings;
    const bool fresh = isFreshInstallation(settings, globals.appFolder);

    databasePage->loadServer(settings);
    if (fresh)
        writeDefaults(settings, firstRunDatabaseDefaults(globals.appFolder));
    databasePage->loadPaths(settings);
    if (fresh)
        writeDefaults(settings, firstRunReportDefaults(globals.appFolder));
    directoriesPage->load(settings);
    modulesPage->load(settings);

    BitBtn5->setToolTip(settings.readText(QLatin1String(Section::DATABASE), Key::ARCHIVE_GDB,
                                          QStringLiteral("Default GDB")));

    Notebook1->setCurrentWidget(databasePage);
    for (QWidget* panel : {static_cast<QWidget*>(databasePage->Panel6),
                           static_cast<QWidget*>(directoriesPage->Panel7)}) {
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, Qt::white);
        panel->setPalette(palette);
    }
}

void TfrmConfigTools::NavigationLabelClick(ClickLabel* entry)
{
    for (ClickLabel* label : {LabelDatabase, LabelDirectories, LabelModules}) {
        QFont font = label->font();
        font.setBold(false);
        font.setUnderline(false);
        label->setFont(font);
    }
    // The focus leaves the page first; otherwise hiding it hands the focus to the first field
    // of the next page, which the user never chose.
    Notebook1->setFocus();
    if (entry == LabelDatabase)
        Notebook1->setCurrentWidget(databasePage);
    else if (entry == LabelDirectories)
        Notebook1->setCurrentWidget(directoriesPage);
    else
        Notebook1->setCurrentWidget(modulesPage);
    QFont font = entry->font();
    font.setBold(true);
    font.setUnderline(true);
    entry->setFont(font);
    LabelName->setText(QStringLiteral("> ") + entry->text());
}

void TfrmConfigTools::BitBtn2Click()
{
    bbtnApplyClick();
    close();
}

void TfrmConfigTools::bbtnCancelClick()
{
    close();
}

void TfrmConfigTools::bbtnApplyClick()
{
    if (!m_settings || !m_engine)
        return; // creation failed before the settings file was opened
    m_applying = true;
    const auto done = qScopeGuard([this] { m_applying = false; });
    ::bbtnApplyClick({databasePage, directoriesPage, modulesPage, Label24, ProgressBar1, BitBtn2,
                      bbtnCancel, BitBtn5, m_settings, m_engine.get(), m_services, this});
}

void TfrmConfigTools::guarded(void (TfrmConfigTools::*handler)())
{
    // Errors end the user action here, so they never unwind through the toolkit's frames.
    try {
        (this->*handler)();
    } catch (...) {
        reportError(std::current_exception(), *m_services.boxes, this);
    }
}

void TfrmConfigTools::BitBtn5Click()
{
    if (!m_settings || !m_engine)
        return; // creation failed before the settings file was opened
    const QString db = QLatin1String(Section::DATABASE);
    if (databasePage->CheckBox17->isChecked() ||
        m_settings->readText(db, Key::REREGISTER_DATABASE) == QLatin1String("T")) {
        m_services.boxes->information(
            this, QStringLiteral("To enable view of Archive GDB, please do the following :-\r\n"
                                 "1. Un-tick Re-Register GDB\r\n2. Save"));
        return;
    }
    {
        TdlgArchiveGDB dialog(*m_settings, *m_engine, m_services, this);
        dialog.exec();
    }
    BitBtn5->setToolTip(m_settings->readText(db, Key::ARCHIVE_GDB, QStringLiteral("Default GDB")));
}

void TfrmConfigTools::btnTestGDBClick()
{
    // The values as they stand in the window, not as stored.
    DatabaseTestDialog dialog(databasePage->aliasConnections(), [] { return makeFirebirdProbe(); },
                              this);
    dialog.exec();
}

void TfrmConfigTools::FormClose()
{
    if (m_settings) {
        m_settings->release();
        m_settings = nullptr;
    }
    m_engine.reset(); // saves anything added but not yet saved
}

void TfrmConfigTools::closeEvent(QCloseEvent* event)
{
    // Apply writes through the settings file to its end; the window waits for it.
    if (m_applying) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}
