#pragma once

#include <QMetaType>
#include <QString>

#include <memory>

// How an attach reached the database.
enum class ProbeRoute { None, Network, LocalServer, Embedded };

// What one attach found: the database's on-disk structure, page size and the version of the
// engine that opened it; or, on failure, the client library's own error text.
struct ProbeResult
{
    bool ok = false;
    ProbeRoute route = ProbeRoute::None;
    QString odsVersion;     // e.g. "12.0"
    int pageSize = 0;
    QString serverVersion;  // as the engine names itself, e.g. "LI-V3.0.11.33637 Firebird 3.0"
    QString error;          // the client library's message lines, joined by line feeds
    bool loginRefused = false; // the server wants a password, or another one
};

Q_DECLARE_METATYPE(ProbeResult)

// Opens a database to see whether it can be opened, and closes it again. Starts no transaction
// and runs no database triggers.
class DatabaseProbe
{
public:
    virtual ~DatabaseProbe() = default;

    // Attaches to `connection` as `user`; an empty password sends none. Gives up on a network
    // peer after about `timeoutSeconds`. Blocks; one call at a time per object.
    virtual ProbeResult probe(const QString& connection, const QString& user,
                              const QString& password, int timeoutSeconds) = 0;
};

// The probe over the Firebird client library. A local file is opened through a local server
// when one answers, otherwise by the embedded engine; a "host:path" string over the network.
std::unique_ptr<DatabaseProbe> makeFirebirdProbe();
