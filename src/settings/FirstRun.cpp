#include "FirstRun.h"

#include "Keys.h"
#include "SettingsFile.h"

#include <QDir>

namespace {

// The folder joined with each part by this machine's separator.
QString under(const QString& folder, std::initializer_list<const char*> parts)
{
    QString path = folder;
    for (const char* part : parts)
        path += QDir::separator() + QLatin1String(part);
    return path;
}

} // namespace

QList<DefaultValue> firstRunDatabaseDefaults(const QString& a)
{
    using namespace Key;
    const char* db = Section::DATABASE;
    return {
        {db, ZORVZERO_PATH, under(a, {"DbZero"})},
        {db, ZORVTMP_FILE, under(a, {"ZorvTmp.gdb"})},
        {db, ZORV_PATH, under(a, {"Db"})},
        {db, ZORVAPP_FILE, under(a, {"Db", "ZorvApp.gdb"})},
        {db, ZORVHIS_FILE, under(a, {"Db", "ZorvHis.gdb"})},
        {db, ZORVSYS_FILE, under(a, {"Db", "ZorvSys.gdb"})},
        {db, ZORVSTK_FILE, under(a, {"Db", "ZorvStk.gdb"})},
        {db, ZORV_PURGE_PATH, under(a, {"Db"})},
        {db, TRAIN_PATH, under(a, {"DbTrain"})},
        {db, TRAINAPP_FILE, under(a, {"DbTrain", "ZorvApp.gdb"})},
        {db, TRAINHIS_FILE, under(a, {"DbTrain", "ZorvHis.gdb"})},
        {db, TRAINSYS_FILE, under(a, {"DbTrain", "ZorvSys.gdb"})},
        {db, TRAINSTK_FILE, under(a, {"DbTrain", "ZorvStk.gdb"})},
        {db, TRAIN_PURGE_PATH, under(a, {"DbTrain"})},
    };
}

QList<DefaultValue> firstRunReportDefaults(const QString& a)
{
    using namespace Key;
    const char* report = Section::REPORT;
    return {
        {report, LISTING, under(a, {"Report", "Listing"})},
        {report, FORM, under(a, {"Report", "Form"})},
        {report, SALES, under(a, {"Report", "Sales"})},
        {report, JOURNAL, under(a, {"Report", "Journal"})},
        {report, ANALYSIS, under(a, {"Report", "Analysis"})},
        {report, CUSTOMER, under(a, {"Report", "Customer"})},
        {report, MISC, under(a, {"Report", "Misc"})},
        {report, CUSTOM, under(a, {"Report", "Custom"})},
        {Section::DATABASE, STOCK_PHOTO_PATH, under(a, {"Picture"})},
        {report, LOG, under(a, {"Log"})},
        {report, LOG_EXT, QStringLiteral("000")},
    };
}

bool isFreshInstallation(const SettingsFile& settings, const QString& appFolder)
{
    // No stored value can hold a line break, so this default marks an absent key.
    const QString absent = QStringLiteral("\n");
    for (const auto& values : {firstRunDatabaseDefaults(appFolder), firstRunReportDefaults(appFolder)})
        for (const DefaultValue& v : values)
            if (settings.readText(QLatin1String(v.section), QLatin1String(v.key), absent) != absent)
                return false;
    return true;
}

void writeDefaults(SettingsFile& settings, const QList<DefaultValue>& values)
{
    for (const DefaultValue& v : values)
        settings.writeText(QLatin1String(v.section), QLatin1String(v.key), v.value);
}
