#pragma once

#include "Services.h"

#include <QDialog>

class AliasEngine;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class SettingsFile;

// The archive settings, loaded from section DATABASE each time the dialog is created.
struct ArchiveSettings
{
    bool production = false;
    QString mode;
    QString osServer;
    QString serverName;
    QString stockConnection;
    QString historyConnection;
    QString stockFile;
    QString historyFile;
    QString databaseFolder;
    QString purgeFolder;

    static ArchiveSettings load(const SettingsFile& settings);
};

// Where the two archive aliases point for a list entry, and the files that must exist before
// a missing alias is added.
struct ArchiveTargets
{
    QString stockConnection;
    QString historyConnection;
    QString stockFile;
    QString historyFile;
};

// "Default GDB" keeps the stored values; a year entry ("2024 Archive GDB") points at that
// year's folder under the database folder (the connections) and the purge folder (the files).
ArchiveTargets archiveTargets(const ArchiveSettings& settings, const QString& entry);

// "Default GDB", then each of the 20 years up to `currentYear` whose folder exists under the
// purge folder, newest first.
QStringList archiveEntries(const QString& purgeFolder, int currentYear);

// Points ZorvStk and ZorvHis at the targets; a missing alias is added only when its file exists
// (standalone mode). Throws CalvexError or EngineError at the first failure.
void registerArchiveAliases(AliasEngine& engine, const ArchiveSettings& settings,
                            const ArchiveTargets& targets);

// Points the archive aliases that exist back at what "Default GDB" gives, as choosing it in the
// dialog would; adds none and tests no file. Throws EngineError.
void repointArchiveAliasesToDefault(AliasEngine& engine, const ArchiveSettings& settings);

// The dialog that points the stock and history archive aliases at an archived year.
class TdlgArchiveGDB : public QDialog
{
public:
    TdlgArchiveGDB(SettingsFile& settings, AliasEngine& engine, const Services& services,
                   QWidget* parent = nullptr);

    void FormCreate();
    void ReRegisterArchive();
    void OKBtnClick();

    QFrame* Bevel1;
    QLabel* Label1;
    QComboBox* ComboBox1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    SettingsFile& m_settings;
    AliasEngine& m_engine;
    Services m_services;
    ArchiveSettings m_archive;
};
