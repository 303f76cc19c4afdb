#pragma once

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `drive` on the modal window the next action opens (read what it shows, then close it).
// Should the drive fail before it closes the window, a force-close after a time-out keeps the
// test from hanging.
class ModalDriver : public QObject
{
public:
    explicit ModalDriver(std::function<void(QWidget*)> drive, int limitMs = 5000)
        : m_drive(std::move(drive))
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            m_poll.stop();
            m_seen = true;
            m_drive(modal);
        });
        m_poll.start(10);
        m_forceClose.setSingleShot(true);
        connect(&m_forceClose, &QTimer::timeout, this, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                m_forced = true;
                modal->close();
            }
        });
        m_forceClose.start(limitMs);
    }

    bool seen() const { return m_seen; }
    bool forced() const { return m_forced; }

private:
    std::function<void(QWidget*)> m_drive;
    QTimer m_poll;
    QTimer m_forceClose;
    bool m_seen = false;
    bool m_forced = false;
};
