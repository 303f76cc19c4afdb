#pragma once

#include "DatabaseNaming.h"
#include "Services.h"

#include <QWidget>

class AliasEngine;
class BrowseEdit;
class PictureButton;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class RadioGroup;
class SettingsFile;
class UpperCaseEdit;

// The "Database Server Setup" page: the data-server mode, the production database paths of
// the mode, the purge, zero and temporary paths, and the carried values that are never shown.
class DatabasePage : public QWidget
{
public:
    DatabasePage(const Services& services, QWidget* parent = nullptr);

    // Loading: the mode, server name and server system; then every path and flag.
    void loadServer(const SettingsFile& settings);
    void loadPaths(const SettingsFile& settings);

    bool isStandalone() const;
    bool isProductionSet() const;
    bool isWindowsServer() const;

    // The five aliases with the connection strings the database stage would register for the
    // values as they stand in the page.
    QList<AliasConnection> aliasConnections() const;

    // The database stage: stores every value of the page in section DATABASE, then creates or
    // re-points the suite's aliases from what was stored. Throws at the first failure.
    void bbtnDatabaseClick(SettingsFile& settings, AliasEngine& engine) const;

    // Handlers.
    void cbServerCloseUp(bool itemChosen);
    void edtPosAppRButtonClick();
    void Image15Click();
    void BitBtn6Click();

    QFrame* Panel6;
    QComboBox* cbServer;
    UpperCaseEdit* edtServerName;
    QLineEdit* DirLocalC;
    BrowseEdit* DirRemoteC;
    QLineEdit* edtPosApp;
    QLineEdit* edtPosHis;
    QLineEdit* edtPosStk;
    QLineEdit* edtPosSys;
    QLineEdit* edtPosAppR;
    QLineEdit* edtPosHisR;
    QLineEdit* edtPosStkR;
    QLineEdit* edtPosSysR;
    QLineEdit* DirPurgeLocalC;
    QCheckBox* cbPurgeLocalC;
    QLineEdit* DirZeroPath;
    QLineEdit* edtPosTmp;
    QCheckBox* CheckBox4;
    PictureButton* Image12;
    PictureButton* Image13;
    PictureButton* Image14;
    PictureButton* Image15;
    QPushButton* BitBtn6;
    QPushButton* bbtnDatabase;

    // Carried values, in a group that is never shown.
    QGroupBox* gbDatabase;
    RadioGroup* rgDatabase;
    QRadioButton* rBtnOS0;
    QRadioButton* rBtnOS1;
    QCheckBox* CheckBox17;
    QLineEdit* DirPurgeRemoteC;
    QCheckBox* cbPurgeRemoteC;
    QLineEdit* DirLocalT;
    QLineEdit* edtTrainApp;
    QLineEdit* edtTrainHis;
    QLineEdit* edtTrainStk;
    QLineEdit* edtTrainSys;
    QLineEdit* DirPurgeLocalT;
    QCheckBox* cbPurgeLocalT;
    QLineEdit* DirRemoteT;
    QLineEdit* edtTrainAppR;
    QLineEdit* edtTrainHisR;
    QLineEdit* edtTrainStkR;
    QLineEdit* edtTrainSysR;
    QLineEdit* DirPurgeRemoteT;
    QCheckBox* cbPurgeRemoteT;

private:
    QList<QWidget*> localSet() const;
    QList<QWidget*> remoteSet() const;
    void buildCarriedValues();
    void showModeSet();
    void storeSettings(SettingsFile& settings) const;

    Services m_services;
};
