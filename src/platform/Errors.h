#pragma once

#include <QString>

#include <exception>

// Raised by a handler right after it has shown its own message box: it unwinds the
// user action and is dropped by the top-level error handling without a second report.
class SilentAbort : public std::exception
{
public:
    const char* what() const noexcept override { return "silent abort"; }
};

// Any other failure; its message is shown once by the top-level error handling.
class CalvexError : public std::exception
{
public:
    explicit CalvexError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A failure of the database alias configuration.
class EngineError : public CalvexError
{
public:
    using CalvexError::CalvexError;
};
