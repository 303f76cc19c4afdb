#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// The four database roles in the order of the page's rows: application, history, stock, system.
inline const QStringList& databaseFileNames()
{
    static const QStringList names{QStringLiteral("POSAPP.FDB"), QStringLiteral("POSHIS.FDB"),
                                   QStringLiteral("POSSTK.FDB"), QStringLiteral("POSSYS.FDB")};
    return names;
}

// The delimiter ">>" joins a folder and a file name with: this machine's separator for a
// local folder; for a folder on the server, "\" on a Windows server and "/" on a Linux one.
QChar namingDelimiter(bool standalone, bool windowsServer);

// The four file paths ">>" composes: the folder text unchanged, the delimiter, the file name.
QStringList composeFileNames(const QString& folder, QChar delimiter);

// The text a database file is registered under: the local file text in standalone mode, the
// server name directly followed by the remote file text in client mode.
QString connectionString(bool standalone, const QString& serverName, const QString& fileText);

// An alias of the suite and the connection string it is registered under.
struct AliasConnection
{
    QString alias;
    QString connection;
};

// The suite's five aliases in the order they are registered (POSSYS, POSHIS, POSAPP, POSSTK,
// POSTMP), with their connection strings: `liveFiles` are the live set's file texts of the
// mode, in the page's order (application, history, stock, system); POSTMP takes the temporary
// file text as it is.
QList<AliasConnection> aliasConnections(bool standalone, const QString& serverName,
                                        const QStringList& liveFiles, const QString& temporaryFile);
