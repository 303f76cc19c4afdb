#pragma once

#include <QString>
#include <QStringList>

class AliasEngine;
class SettingsFile;

// The parameter list an alias is registered with: its connection string and database user.
QStringList aliasParameters(const QString& connection, const QString& user);

// Points an alias at a database: an existing alias is re-pointed without any check. A new one
// is added (driver "INTRBASE"); when `missingMessage` is given, only if `fileToTest` names an
// existing file, else CalvexError(`missingMessage`) is thrown. The configuration is saved at once.
void registerAlias(AliasEngine& engine, const QString& alias, const QString& connection,
                   const QString& user, const QString& fileToTest, const QString& missingMessage);

// Creates or re-points the aliases POSSYS, POSHIS, POSAPP, POSSTK and POSTMP, in that order,
// from the values stored in the settings file for the live database set.
void registerAliases(const SettingsFile& settings, AliasEngine& engine);

// An existing file, not a folder; an empty text names none.
bool isExistingFile(const QString& path);
bool isExistingFolder(const QString& path);
