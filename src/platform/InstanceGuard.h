#pragma once

#include <QString>

#include <memory>

class QLocalServer;

// A machine-wide name held by this process while it runs, marking a running instance.
// The operating system frees it when the process ends, however it ends: an abstract-namespace
// local socket leaves no file behind that could be deleted, squatted or left stale.
class InstanceGuard
{
public:
    explicit InstanceGuard(const QString& name);
    ~InstanceGuard();

    // False when another process holds the name.
    bool acquired() const { return m_acquired; }

private:
    std::unique_ptr<QLocalServer> m_server;
    bool m_acquired = false;
};
