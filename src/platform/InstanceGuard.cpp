#include "InstanceGuard.h"

#include <QLocalServer>

InstanceGuard::InstanceGuard(const QString& name) : m_server(std::make_unique<QLocalServer>())
{
    m_server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    if (m_server->listen(name)) {
        m_acquired = true;
        return;
    }
    // Any failure other than "the name is taken" leaves the program running without a guard.
    m_acquired = m_server->serverError() != QAbstractSocket::AddressInUseError;
    m_server.reset();
}

InstanceGuard::~InstanceGuard() = default;
