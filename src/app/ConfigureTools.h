#pragma once

#include "Services.h"

#include <QDialog>

class SettingsFile;

// The tool's main window.
class TfrmConfigTools : public QDialog
{
public:
    TfrmConfigTools(const QString& executablePath, const Services& services,
                    QWidget* parent = nullptr);
    ~TfrmConfigTools() override;

    SettingsFile* settings() const { return m_settings; }

    void FormCreate();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void FormClose();

    QString m_executablePath;
    Services m_services;
    SettingsFile* m_settings = nullptr;
};
