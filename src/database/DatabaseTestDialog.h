#pragma once

#include "DatabaseTestRun.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

// The window of "Test GDB": one row per alias with its connection string and what opening it
// found. The test starts when the window opens and runs while it stays responsive; its button
// cancels the test, then closes the window.
class DatabaseTestDialog : public QDialog
{
    Q_OBJECT

public:
    DatabaseTestDialog(QList<AliasConnection> targets, DatabaseTestRun::ProbeFactory factory,
                       QWidget* parent = nullptr, int timeoutSeconds = 5);

    DatabaseTestRun& run() { return *m_run; }
    bool isFinished() const { return m_finished; }
    // The result text shown for a row.
    QString resultText(int row) const;

    // The whole window as plain text, for a support ticket: the status line, then one block
    // per alias with its connection string and result.
    QString reportText() const;

    // What a row shows for one result.
    static QString describe(const ProbeResult& result);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    std::optional<QString> askPassword(const AliasConnection& target);
    void onStarted(int index);
    void onFinished(int index, const ProbeResult& result);
    void onRunFinished(bool cancelled);

    DatabaseTestRun* m_run;
    QLabel* m_status;
    QProgressBar* m_progress;
    QTableWidget* m_results;
    QPushButton* m_copy;
    QPushButton* m_button;
    bool m_started = false;
    bool m_finished = false;
};
