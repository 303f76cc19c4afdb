#include "AliasRegistration.h"

#include "AliasEngine.h"
#include "Errors.h"
#include "Keys.h"
#include "SettingsFile.h"

#include <QFileInfo>

bool isExistingFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool isExistingFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QStringList aliasParameters(const QString& connection, const QString& user)
{
    AliasParams params;
    params.setValue(QStringLiteral("SERVER NAME"), connection);
    params.setValue(QStringLiteral("USER NAME"), user);
    return params.lines();
}

void registerAlias(AliasEngine& engine, const QString& alias, const QString& connection,
                   const QString& user, const QString& fileToTest, const QString& missingMessage)
{
    const QStringList params = aliasParameters(connection, user);
    if (engine.IsAlias(alias)) {
        engine.ModifyAlias(alias, params);
    } else {
        if (!missingMessage.isEmpty() && !isExistingFile(fileToTest))
            throw CalvexError(missingMessage);
        engine.AddAlias(alias, QStringLiteral("INTRBASE"), params);
    }
    engine.SaveConfigFile();
}

void registerAliases(const SettingsFile& settings, AliasEngine& engine)
{
    using namespace Key;
    const QString db = QLatin1String(Section::DATABASE);
    const bool production = settings.readText(db, DEFAULT_SERVER) == QLatin1String("C");
    const bool standalone = settings.readText(db, DATABASE_SERVER) == QLatin1String("LOCAL");

    struct Entry
    {
        const char* alias;
        const char* connection;
        const char* file;
        const char* message;
    };
    const Entry entries[] = {
        {"POSSYS", production ? POSSYS_SERVER : TRAINSYS_SERVER,
         production ? POSSYS_FILE : TRAINSYS_FILE, "Cannot Locate FIREBIRTH data file : System FDB"},
        {"POSHIS", production ? POSHIS_SERVER : TRAINHIS_SERVER,
         production ? POSHIS_FILE : TRAINHIS_FILE, "Cannot Locate Interbase data file : History GDB"},
        {"POSAPP", production ? POSAPP_SERVER : TRAINAPP_SERVER,
         production ? POSAPP_FILE : TRAINAPP_FILE,
         "Cannot Locate Interbase data file : Application GDB"},
        {"POSSTK", production ? POSSTK_SERVER : TRAINSTK_SERVER,
         production ? POSSTK_FILE : TRAINSTK_FILE, "Cannot Locate Interbase data file : Stock GDB"},
    };
    for (const Entry& e : entries) {
        // In the client mode the files lie on the server, out of this machine's sight.
        registerAlias(engine, QLatin1String(e.alias), settings.readText(db, e.connection),
                      QStringLiteral("SYSDBA"), settings.readText(db, e.file),
                      standalone ? QLatin1String(e.message) : QString());
    }
    const QString temporary = settings.readText(db, POSTMP_FILE);
    registerAlias(engine, QStringLiteral("POSTMP"), temporary, QStringLiteral("SYSDBA"), temporary,
                  QStringLiteral("Cannot Locate Interbase data file : Temporary Tmp"));
}
