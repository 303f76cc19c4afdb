#include "Apply.h"

#include "AliasRegistration.h"
#include "AtomicFile.h"
#include "DatabasePage.h"
#include "DirectoriesPage.h"
#include "Errors.h"
#include "InputGate.h"
#include "Keys.h"
#include "dlg_ArchiveGDB.h"
#include "ModulesPage.h"
#include "SettingsFile.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtDebug>

#include <functional>

namespace {

const QString FolderHeader = QStringLiteral(
    "Directory Not Found !\r\nPlease check, directory not able to load.\r\n");
const QString FileHeader = QStringLiteral(
    "File Not Exists ! \r\nPlease check, file not able to load.\r\n\r\n");

QString m1(const QString& folder)
{
    return FolderHeader + QStringLiteral("\r\nGDB Purge Path :-\r\n") + folder;
}

std::optional<QString> databaseSetMessage(const DatabasePage& db)
{
    const bool standalone = db.isStandalone();
    const bool production = db.isProductionSet();
    if (standalone && production) {
        if (!isExistingFolder(db.DirPurgeLocalC->text()))
            return m1(db.DirPurgeLocalC->text());
    } else if (standalone) {
        const QStringList files{db.edtTrainApp->text(), db.edtTrainHis->text(),
                                db.edtTrainStk->text(), db.edtTrainSys->text()};
        for (const QString& file : files)
            if (!isExistingFile(file))
                return FileHeader + QStringLiteral("GDB Database Path Files :-\r\n") +
                       files.join(QStringLiteral("\r\n"));
        if (!isExistingFolder(db.DirPurgeLocalT->text()))
            return m1(db.DirPurgeLocalT->text());
    } else if (!production) {
        if (!isExistingFolder(db.DirPurgeRemoteT->text()))
            return FolderHeader + QStringLiteral("\r\nPurge To Path :-\r\n") +
                   db.DirPurgeRemoteT->text();
    }
    return std::nullopt;
}

void showRunning(const ApplyContext& c, bool running)
{
    if (running) {
        c.label->show();
        c.label->repaint();
        c.gauge->setValue(0);
        c.gauge->show();
        c.cancel->setEnabled(false);
        c.ok->setEnabled(false);
        c.archive->setEnabled(false);
        return;
    }
    // What was clicked or typed while the stages ran must not act afterwards.
    discardPendingInput();
    c.cancel->setEnabled(true);
    c.ok->setEnabled(true);
    c.archive->setEnabled(true);
    c.label->hide();
    c.gauge->hide();
}

} // namespace

std::optional<QString> applyValidationMessage(const DatabasePage& db, const DirectoriesPage& dirs)
{
    if (auto message = databaseSetMessage(db))
        return message;

    if (!db.CheckBox4->isChecked() && !isExistingFile(db.edtPosTmp->text()))
        return FileHeader + QStringLiteral("fDB Temporary File :-\r\n") + db.edtPosTmp->text();

    const QList<QPair<QLineEdit*, const char*>> subFolders{
        {dirs.dedtInventory, "Stock Analysis : "}, {dirs.dedtTransaction, "Document Form : "},
        {dirs.dedtXZ, "Stock Journals : "},        {dirs.dedtListing, "Report Listing : "},
        {dirs.dedtMisc, "Miscellaneous : "}};
    QString missing;
    for (const auto& [field, label] : subFolders)
        if (!isExistingFolder(field->text()))
            missing += QStringLiteral("\r\n") + QLatin1String(label) + field->text();
    if (!missing.isEmpty())
        return FolderHeader + missing;

    const QString pictures = dirs.DirectoryEdit8->text();
    if (dirs.picturesInFolder() && !pictures.isEmpty() && !isExistingFolder(pictures))
        return FolderHeader + QStringLiteral("\r\nStock Picture : ") + pictures;
    return std::nullopt;
}

void bbtnApplyClick(const ApplyContext& c)
{
    if (const auto message = applyValidationMessage(*c.database, *c.directories)) {
        c.services.boxes->error(c.window, *message);
        throw SilentAbort();
    }

    const QString db = QLatin1String(Section::DATABASE);
    const QString defaultGdb = QStringLiteral("Default GDB");
    // The settings as they were before this Apply, for a technician to restore by hand; a
    // folder that takes no copy does not stop the Apply.
    QString reason;
    if (!backUpFile(c.settings->path(), &reason))
        qWarning("No backup of %s: %s", qPrintable(c.settings->path()), qPrintable(reason));
    const QString archived = c.settings->readText(db, Key::ARCHIVE_GDB, defaultGdb);
    c.settings->writeText(db, Key::ARCHIVE_GDB, defaultGdb);
    // The archive aliases follow the selection, or the suite would read an archived year.
    if (archived != defaultGdb)
        repointArchiveAliasesToDefault(*c.engine, ArchiveSettings::load(*c.settings));
    c.archive->setToolTip(c.settings->readText(db, Key::ARCHIVE_GDB, defaultGdb));

    showRunning(c, true);
    try {
        struct Stage
        {
            std::function<void()> run;
            int pause;
        };
        const Stage stages[] = {
            {[&] { c.directories->BitBtn1Click(*c.settings); }, 100},
            {[&] { c.directories->BitBtn3Click(*c.settings); }, 100},
            {[&] { c.modules->BitBtn4Click(*c.settings); }, 500},
            {[&] { c.database->bbtnDatabaseClick(*c.settings, *c.engine); }, 500},
        };
        const int count = int(std::size(stages));
        for (int k = 1; k <= count; ++k) {
            stages[k - 1].run();
            c.gauge->setValue((k * 100 + count / 2) / count);
            c.gauge->repaint();
            c.services.pause->pause(stages[k - 1].pause);
        }
    } catch (...) {
        // The user can correct the cause and try again, or cancel.
        showRunning(c, false);
        throw;
    }
    showRunning(c, false);

    c.services.boxes->information(c.window, QStringLiteral("Calvex Update Completed."));
}
