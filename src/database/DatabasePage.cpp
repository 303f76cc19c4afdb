#include "DatabasePage.h"

#include "AliasRegistration.h"
#include "DatabaseNaming.h"
#include "Keys.h"
#include "SettingsFile.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int CaptionX = 24;
constexpr int FieldX = 210;
constexpr int FieldRight = 640; // fields end here; pictures and boxes sit to the right
constexpr int PictureX = 648;
constexpr int RowTop = 24;
constexpr int RowStep = 40;
constexpr int FieldHeight = 22;

int rowY(int row)
{
    return RowTop + row * RowStep;
}

QLineEdit* makeField(QWidget* parent, const char* name, int row, bool remote, int right = FieldRight)
{
    auto* field = named(new QLineEdit(parent), name);
    styleRowField(field, remote);
    field->setGeometry(FieldX, rowY(row), right - FieldX, FieldHeight);
    return field;
}

void addCaption(QWidget* parent, const QString& text, int row)
{
    QLabel* caption = makeRowCaption(text, parent);
    caption->setGeometry(CaptionX, rowY(row), FieldX - CaptionX - 8, FieldHeight);
}

PictureButton* makePicture(QWidget* parent, const char* name, int row)
{
    auto* picture = named(new PictureButton(parent), name);
    picture->move(PictureX, rowY(row));
    return picture;
}

QLineEdit* carriedField(QWidget* parent, const char* name)
{
    return named(new QLineEdit(parent), name);
}

QCheckBox* carriedBox(QWidget* parent, const char* name)
{
    return named(new QCheckBox(parent), name);
}

} // namespace

DatabasePage::DatabasePage(const Services& services, QWidget* parent)
    : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("DatabasePage"));
    Panel6 = named(new QFrame(this), "Panel6");
    Panel6->setGeometry(0, 0, 725, 473);
    Panel6->setAutoFillBackground(true);
    Panel6->setPalette(buttonFacePalette());
    QWidget* p = Panel6;

    addCaption(p, QStringLiteral("Data Server"), 0);
    cbServer = named(new QComboBox(p), "cbServer");
    cbServer->addItems({QStringLiteral("Standalone / Master Data"),
                        QStringLiteral("Client Data Mode")});
    cbServer->setGeometry(FieldX, rowY(0), 200, FieldHeight);
    edtServerName = named(new UpperCaseEdit(p), "edtServerName");
    styleRowField(edtServerName, true);
    edtServerName->setGeometry(FieldX + 210, rowY(0), FieldRight - FieldX - 210, FieldHeight);

    addCaption(p, QStringLiteral("FDB Database Path"), 1);
    DirLocalC = makeField(p, "DirLocalC", 1, false);
    DirRemoteC = named(new BrowseEdit(p), "DirRemoteC");
    styleRowField(DirRemoteC, true);
    // Its own browse button takes the place of the folder picture.
    DirRemoteC->setGeometry(FieldX, rowY(1), PictureX + 24 - FieldX, FieldHeight);
    Image12 = makePicture(p, "Image12", 1);
    BitBtn6 = named(new QPushButton(QStringLiteral(">>"), p), "BitBtn6");
    BitBtn6->setGeometry(PictureX + 28, rowY(1), 36, FieldHeight);

    const char* fileCaptions[] = {"- FDB Application File", "- FDB History File",
                                  "- FDB Stock File", "- FDB System File"};
    QLineEdit** local[] = {&edtPosApp, &edtPosHis, &edtPosStk, &edtPosSys};
    QLineEdit** remote[] = {&edtPosAppR, &edtPosHisR, &edtPosStkR, &edtPosSysR};
    const char* localNames[] = {"edtPosApp", "edtPosHis", "edtPosStk", "edtPosSys"};
    const char* remoteNames[] = {"edtPosAppR", "edtPosHisR", "edtPosStkR", "edtPosSysR"};
    for (int i = 0; i < 4; ++i) {
        addCaption(p, QLatin1String(fileCaptions[i]), 2 + i);
        *local[i] = makeField(p, localNames[i], 2 + i, false);
        *remote[i] = makeField(p, remoteNames[i], 2 + i, true);
        (*local[i])->setFocusPolicy(Qt::ClickFocus);
        (*remote[i])->setFocusPolicy(Qt::ClickFocus);
    }

    addCaption(p, QStringLiteral("Monthly Purge To Path"), 6);
    DirPurgeLocalC = makeField(p, "DirPurgeLocalC", 6, false, FieldRight - 30);
    cbPurgeLocalC = named(new QCheckBox(p), "cbPurgeLocalC");
    cbPurgeLocalC->setGeometry(FieldRight - 22, rowY(6), 22, FieldHeight);
    Image13 = makePicture(p, "Image13", 6);

    addCaption(p, QStringLiteral("GDB Zero Path"), 7);
    DirZeroPath = makeField(p, "DirZeroPath", 7, false);
    Image14 = makePicture(p, "Image14", 7);

    addCaption(p, QStringLiteral("GDB Temporary File"), 8);
    edtPosTmp = makeField(p, "edtPosTmp", 8, false, FieldRight - 130);
    CheckBox4 = named(new QCheckBox(QStringLiteral("Remote Server"), p), "CheckBox4");
    CheckBox4->setGeometry(FieldRight - 122, rowY(8), 122, FieldHeight);
    Image15 = makePicture(p, "Image15", 8);

    bbtnDatabase = named(new QPushButton(QStringLiteral("Database"), p), "bbtnDatabase");
    bbtnDatabase->hide();

    buildCarriedValues();

    // As laid out: the standalone mode's set is visible, the remote set hidden.
    for (QWidget* w : remoteSet())
        w->hide();

    connect(cbServer, &QComboBox::activated, this, [this] { cbServerCloseUp(true); });
    connect(DirRemoteC, &BrowseEdit::browseClicked, this, &DatabasePage::edtPosAppRButtonClick);
    connect(Image15, &QToolButton::clicked, this, &DatabasePage::Image15Click);
    connect(BitBtn6, &QPushButton::clicked, this, &DatabasePage::BitBtn6Click);
}

void DatabasePage::buildCarriedValues()
{
    gbDatabase = named(new QGroupBox(Panel6), "gbDatabase");
    gbDatabase->hide();
    QWidget* g = gbDatabase;
    rgDatabase = named(new RadioGroup(QString(), {QStringLiteral("Zorvan GDB"),
                                                   QStringLiteral("Training GDB")},
                                      Qt::Vertical, g),
                       "rgDatabase");
    rBtnOS0 = named(new QRadioButton(QStringLiteral("Windows OS Server"), g), "rBtnOS0");
    rBtnOS1 = named(new QRadioButton(QStringLiteral("Linux OS Server"), g), "rBtnOS1");
    CheckBox17 = named(new QCheckBox(
                           QStringLiteral("Re-Register GDB To Original Database When Software Start"), g),
                       "CheckBox17");
    DirPurgeRemoteC = carriedField(g, "DirPurgeRemoteC");
    cbPurgeRemoteC = carriedBox(g, "cbPurgeRemoteC");
    DirLocalT = carriedField(g, "DirLocalT");
    edtTrainApp = carriedField(g, "edtTrainApp");
    edtTrainHis = carriedField(g, "edtTrainHis");
    edtTrainStk = carriedField(g, "edtTrainStk");
    edtTrainSys = carriedField(g, "edtTrainSys");
    DirPurgeLocalT = carriedField(g, "DirPurgeLocalT");
    cbPurgeLocalT = carriedBox(g, "cbPurgeLocalT");
    DirRemoteT = carriedField(g, "DirRemoteT");
    edtTrainAppR = carriedField(g, "edtTrainAppR");
    edtTrainHisR = carriedField(g, "edtTrainHisR");
    edtTrainStkR = carriedField(g, "edtTrainStkR");
    edtTrainSysR = carriedField(g, "edtTrainSysR");
    DirPurgeRemoteT = carriedField(g, "DirPurgeRemoteT");
    cbPurgeRemoteT = carriedBox(g, "cbPurgeRemoteT");
}

// The folder picture belongs to the local set: in the client mode the remote folder's own
// browse button stands in its place.
QList<QWidget*> DatabasePage::localSet() const
{
    return {DirLocalC, edtPosApp, edtPosHis, edtPosStk, edtPosSys, Image12};
}

QList<QWidget*> DatabasePage::remoteSet() const
{
    return {edtServerName, DirRemoteC, edtPosAppR, edtPosHisR, edtPosStkR, edtPosSysR};
}

bool DatabasePage::isStandalone() const
{
    return cbServer->currentIndex() == 0;
}

bool DatabasePage::isProductionSet() const
{
    return rgDatabase->itemIndex() == 0;
}

bool DatabasePage::isWindowsServer() const
{
    return rBtnOS0->isChecked();
}

void DatabasePage::loadServer(const SettingsFile& settings)
{
    using namespace Key;
    const QString db = QLatin1String(Section::DATABASE);
    const QString C = QStringLiteral("C");
    if (settings.readText(db, DATABASE_SERVER) == QLatin1String("LOCAL")) {
        cbServer->setCurrentIndex(0);
        if (settings.readText(db, DEFAULT, C) == C)
            rgDatabase->setItemIndex(0);
    } else {
        cbServer->setCurrentIndex(1);
        // The local set is hidden too, not just covered, so the keyboard cannot reach it.
        showModeSet();
        if (settings.readText(db, DEFAULT_SERVER, C) == C)
            rgDatabase->setItemIndex(0);
    }
    edtServerName->setText(settings.readText(db, SERVER_NAME));
    if (settings.readText(db, OS_SERVER, QStringLiteral("0")) == QLatin1String("0"))
        rBtnOS0->setChecked(true);
    else
        rBtnOS1->setChecked(true);
}

void DatabasePage::loadPaths(const SettingsFile& settings)
{
    using namespace Key;
    const QString db = QLatin1String(Section::DATABASE);
    auto text = [&](QLineEdit* field, const char* key) { field->setText(settings.readText(db, key)); };
    auto flag = [&](QCheckBox* box, const char* key) { box->setChecked(settings.readBool(db, key)); };

    text(DirZeroPath, POSZERO_PATH);
    text(edtPosTmp, POSTMP_FILE);
    if (settings.readText(db, POSTMP_FILE_SERVER, QStringLiteral("F")) == QLatin1String("T"))
        CheckBox4->setChecked(true);
    text(DirLocalC, POS_PATH);
    text(edtPosApp, POSAPP_FILE);
    text(edtPosHis, POSHIS_FILE);
    text(edtPosSys, POSSYS_FILE);
    text(edtPosStk, POSSTK_FILE);
    text(DirPurgeLocalC, POS_PURGE_PATH);
    flag(cbPurgeLocalC, POS_PURGE_PATH_TF);

    text(DirLocalT, TRAIN_PATH);
    text(edtTrainApp, TRAINAPP_FILE);
    text(edtTrainHis, TRAINHIS_FILE);
    text(edtTrainSys, TRAINSYS_FILE);
    text(edtTrainStk, TRAINSTK_FILE);
    text(DirPurgeLocalT, TRAIN_PURGE_PATH);
    flag(cbPurgeLocalT, TRAIN_PURGE_PATH_TF);

    text(DirRemoteC, POS_PATH_R);
    text(edtPosAppR, POSAPP_FILE_R);
    text(edtPosHisR, POSHIS_FILE_R);
    text(edtPosSysR, POSSYS_FILE_R);
    text(edtPosStkR, POSSTK_FILE_R);
    text(DirPurgeRemoteC, POS_PURGE_PATH_R);
    flag(cbPurgeRemoteC, POS_PURGE_PATH_R_TF);

    text(DirRemoteT, TRAIN_PATH_R);
    text(edtTrainAppR, TRAINAPP_FILE_R);
    text(edtTrainHisR, TRAINHIS_FILE_R);
    text(edtTrainSysR, TRAINSYS_FILE_R);
    text(edtTrainStkR, TRAINSTK_FILE_R);
    text(DirPurgeRemoteT, TRAIN_PURGE_PATH_R);
    flag(cbPurgeRemoteT, TRAIN_PURGE_PATH_R_TF);

    CheckBox17->setChecked(settings.readText(db, REREGISTER_DATABASE) == QLatin1String("T"));
}

void DatabasePage::cbServerCloseUp(bool itemChosen)
{
    // A list closed without a choice keeps the page as it is: a page without any path
    // fields would serve nobody.
    if (!itemChosen)
        return;
    showModeSet();
}

void DatabasePage::showModeSet()
{
    for (QWidget* w : localSet() + remoteSet())
        w->hide();
    for (QWidget* w : isStandalone() ? localSet() : remoteSet())
        w->show();
}

void DatabasePage::edtPosAppRButtonClick()
{
    m_services.boxes->information(
        window(), QStringLiteral("Browse Dialog Not Available For Remote Server !\r\n"
                                 "You are require to key in the path manually.\r\n"
                                 "\r\n"
                                 "Example :-\r\n"
                                 "Windows OS Server [:G:\\Torvel\\BackEnd\\Db]\r\n"
                                 "Linux OS Server [:/root/Torvel/BackEnd/db]\r\n"
                                 "\r\n"
                                 "Note : Case sensitive for Linux OS Server"));
}

void DatabasePage::Image15Click()
{
    const auto file = m_services.files->pickFile(
        window(), QString(),
        {{QStringLiteral("Firebird Database Files (*.FDB)"), QStringLiteral("*.FDB")},
         {QStringLiteral("Interbase Database Files (*.GDB)"), QStringLiteral("*.GDB")},
         {QStringLiteral("All Files (*.*)"), QStringLiteral("*")}},
        QString());
    if (file)
        edtPosTmp->setText(*file);
}

void DatabasePage::BitBtn6Click()
{
    const bool standalone = isStandalone();
    const QLineEdit* folder = standalone ? DirLocalC : DirRemoteC;
    const QStringList paths =
        composeFileNames(folder->text(), namingDelimiter(standalone, isWindowsServer()));
    QLineEdit* const localFields[] = {edtPosApp, edtPosHis, edtPosStk, edtPosSys};
    QLineEdit* const remoteFields[] = {edtPosAppR, edtPosHisR, edtPosStkR, edtPosSysR};
    for (int i = 0; i < 4; ++i)
        (standalone ? localFields : remoteFields)[i]->setText(paths.at(i));
}

QList<AliasConnection> DatabasePage::aliasConnections() const
{
    const bool standalone = isStandalone();
    const bool production = isProductionSet();
    const QLineEdit* const local[] = {production ? edtPosApp : edtTrainApp,
                                      production ? edtPosHis : edtTrainHis,
                                      production ? edtPosStk : edtTrainStk,
                                      production ? edtPosSys : edtTrainSys};
    const QLineEdit* const remote[] = {production ? edtPosAppR : edtTrainAppR,
                                       production ? edtPosHisR : edtTrainHisR,
                                       production ? edtPosStkR : edtTrainStkR,
                                       production ? edtPosSysR : edtTrainSysR};
    QStringList files;
    for (int i = 0; i < 4; ++i)
        files.append((standalone ? local : remote)[i]->text());
    return ::aliasConnections(standalone, edtServerName->text(), files, edtPosTmp->text());
}

void DatabasePage::bbtnDatabaseClick(SettingsFile& settings, AliasEngine& engine) const
{
    storeSettings(settings);
    registerAliases(settings, engine);
}

void DatabasePage::storeSettings(SettingsFile& settings) const
{
    using namespace Key;
    const QString db = QLatin1String(Section::DATABASE);
    auto text = [&](const char* key, const QLineEdit* field) {
        settings.writeText(db, key, field->text());
    };
    auto flag = [&](const char* key, const QCheckBox* box) {
        settings.writeBool(db, key, box->isChecked());
    };

    const bool standalone = isStandalone();
    settings.writeText(db, DATABASE_SERVER,
                       standalone ? QStringLiteral("LOCAL") : QStringLiteral("REMOTE"));
    const QString set = isProductionSet() ? QStringLiteral("C") : QStringLiteral("T");
    settings.writeText(db, DEFAULT, set);
    settings.writeText(db, DEFAULT_SERVER, set);

    // Only the live set's connection strings are stored; the other set keeps its own.
    const bool production = isProductionSet();
    const QList<AliasConnection> connections = aliasConnections();
    auto connectionOf = [&](const char* alias) {
        for (const AliasConnection& c : connections)
            if (c.alias == QLatin1String(alias))
                return c.connection;
        return QString();
    };
    settings.writeText(db, production ? POSAPP_SERVER : TRAINAPP_SERVER, connectionOf("POSAPP"));
    settings.writeText(db, production ? POSHIS_SERVER : TRAINHIS_SERVER, connectionOf("POSHIS"));
    settings.writeText(db, production ? POSSTK_SERVER : TRAINSTK_SERVER, connectionOf("POSSTK"));
    settings.writeText(db, production ? POSSYS_SERVER : TRAINSYS_SERVER, connectionOf("POSSYS"));

    text(SERVER_NAME, edtServerName);
    // "1" is never written: a Linux server keeps whatever made it one when loading.
    if (rBtnOS0->isChecked())
        settings.writeText(db, OS_SERVER, QStringLiteral("0"));
    text(POS_PATH, DirLocalC);
    text(POS_PATH_R, DirRemoteC);
    text(POSAPP_FILE, edtPosApp);
    text(POSAPP_FILE_R, edtPosAppR);
    text(POSHIS_FILE, edtPosHis);
    text(POSHIS_FILE_R, edtPosHisR);
    text(POSSTK_FILE, edtPosStk);
    text(POSSTK_FILE_R, edtPosStkR);
    text(POSSYS_FILE, edtPosSys);
    text(POSSYS_FILE_R, edtPosSysR);
    text(POS_PURGE_PATH, DirPurgeLocalC);
    text(POS_PURGE_PATH_R, DirPurgeRemoteC);
    flag(POS_PURGE_PATH_TF, cbPurgeLocalC);
    flag(POS_PURGE_PATH_R_TF, cbPurgeRemoteC);
    text(TRAIN_PATH, DirLocalT);
    text(TRAIN_PATH_R, DirRemoteT);
    text(TRAINAPP_FILE, edtTrainApp);
    text(TRAINAPP_FILE_R, edtTrainAppR);
    text(TRAINHIS_FILE, edtTrainHis);
    text(TRAINHIS_FILE_R, edtTrainHisR);
    text(TRAINSTK_FILE, edtTrainStk);
    text(TRAINSTK_FILE_R, edtTrainStkR);
    text(TRAINSYS_FILE, edtTrainSys);
    text(TRAINSYS_FILE_R, edtTrainSysR);
    text(TRAIN_PURGE_PATH, DirPurgeLocalT);
    text(TRAIN_PURGE_PATH_R, DirPurgeRemoteT);
    flag(TRAIN_PURGE_PATH_TF, cbPurgeLocalT);
    flag(TRAIN_PURGE_PATH_R_TF, cbPurgeRemoteT);
    text(POSTMP_FILE, edtPosTmp);
    settings.writeText(db, POSTMP_FILE_SERVER,
                       CheckBox4->isChecked() ? QStringLiteral("T") : QStringLiteral("F"));
    text(POSZERO_PATH, DirZeroPath);
    settings.writeText(db, REREGISTER_DATABASE,
                       CheckBox17->isChecked() ? QStringLiteral("T") : QStringLiteral("F"));
}
