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
