#pragma once

#include <QList>
#include <QString>

class SettingsFile;

// A value written on a fresh installation.
struct DefaultValue
{
    const char* section;
    const char* key;
    QString value;
};

// The defaults written before the database paths are read: the legacy production keys and
// the training set, built from the installation folder.
QList<DefaultValue> firstRunDatabaseDefaults(const QString& appFolder);
// The defaults written before the report folders are read: report sub-folders, stock picture
// folder, log book folder and extension.
QList<DefaultValue> firstRunReportDefaults(const QString& appFolder);

// Fresh means that none of the keys the defaults write is stored (a missing file included),
// so the defaults never overwrite a value somebody stored.
bool isFreshInstallation(const SettingsFile& settings, const QString& appFolder);

void writeDefaults(SettingsFile& settings, const QList<DefaultValue>& values);
