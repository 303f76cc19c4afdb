#pragma once

// What the "Test GDB" tests share: the dialog on real Firebird, the doubles that answer its
// questions or record the bottom bar, and an injected stall for the watchdog.

#include "DatabaseTestDialog.h"
#include "Services.h"

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QSemaphore>
#include <QTimer>

#include <memory>
#include <optional>


constexpr int AttachTimeout = 5;

inline std::unique_ptr<DatabaseTestDialog> openDialog(const QList<AliasConnection>& targets,
                                               int timeout = AttachTimeout)
{
    auto dialog = std::make_unique<DatabaseTestDialog>(
        targets, [] { return makeFirebirdProbe(); }, nullptr, timeout);
    dialog->show();
    return dialog;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An attach that hangs where the client's own time-out does not reach (a stalled disk): the
// probe blocks until released.
class StalledProbe : public DatabaseProbe
{
public:
    explicit StalledProbe(QSemaphore* release) : m_release(release) {}
    ProbeResult probe(const QString&, const QString&, const QString&, int) override
    {
        m_release->acquire();
        ProbeResult late;
        late.ok = true;
        return late;
    }

private:
    QSemaphore* m_release;
};

// Records what the bottom bar looked like at each of Apply's pauses.
class RecordingPause : public Pause
{
public:
    explicit RecordingPause(const QWidget* watched) : m_watched(watched) {}
    void pause(int) override { enabled.append(m_watched->isEnabled()); }
    QList<bool> enabled;

private:
    const QWidget* m_watched;
};

class RecordingBoxes : public MessageBoxes
{
public:
    void error(QWidget*, const QString& text) override { shown.append(text); }
    void information(QWidget*, const QString& text) override { shown.append(text); }
    void applicationError(QWidget*, const QString& text) override { shown.append(text); }
    QStringList shown;
};

// Answers each password question that opens while a test runs, and counts them.
class PasswordAnswerer : public QObject
{
public:
    PasswordAnswerer(std::optional<QString> answer) : m_answer(std::move(answer))
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* question = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!question)
                return;
            ++asked;
            echo = question->textEchoMode();
            if (m_answer) {
                question->setTextValue(*m_answer);
                question->accept();
            } else {
                question->reject();
            }
        });
        m_timer.start();
    }
    int asked = 0;
    QLineEdit::EchoMode echo = QLineEdit::Normal;

private:
    std::optional<QString> m_answer;
    QTimer m_timer;
};

