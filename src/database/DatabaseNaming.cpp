#include "DatabaseNaming.h"

#include <QDir>

QChar namingDelimiter(bool standalone, bool windowsServer)
{
    if (standalone)
        return QDir::separator();
    return windowsServer ? QLatin1Char('\\') : QLatin1Char('/');
}

QStringList composeFileNames(const QString& folder, QChar delimiter)
{
    QStringList paths;
    for (const QString& name : databaseFileNames())
        paths.append(folder + delimiter + name);
    return paths;
}

QString connectionString(bool standalone, const QString& serverName, const QString& fileText)
{
    return standalone ? fileText : serverName + fileText;
}

QList<AliasConnection> aliasConnections(bool standalone, const QString& serverName,
                                        const QStringList& liveFiles, const QString& temporaryFile)
{
    auto connection = [&](int role) {
        return connectionString(standalone, serverName, liveFiles.value(role));
    };
    return {{QStringLiteral("POSSYS"), connection(3)},
            {QStringLiteral("POSHIS"), connection(1)},
            {QStringLiteral("POSAPP"), connection(0)},
            {QStringLiteral("POSSTK"), connection(2)},
            {QStringLiteral("POSTMP"), temporaryFile}};
}
