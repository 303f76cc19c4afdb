#pragma once

#include "Services.h"

// The real services: QMessageBox, QFileDialog, QThread::msleep and the system date.

class QtMessageBoxes : public MessageBoxes
{
public:
    void error(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    void applicationError(QWidget* parent, const QString& text) override;
};

class QtFolderPicker : public FolderPicker
{
public:
    std::optional<QString> pickFolder(QWidget* parent, const QString& startFolder) override;
};

class QtFilePicker : public FilePicker
{
public:
    std::optional<QString> pickFile(QWidget* parent, const QString& startFile,
                                    const QList<FileFilter>& filters,
                                    const QString& defaultSuffix) override;
};

class QtPause : public Pause
{
public:
    void pause(int milliseconds) override;
};

class SystemClock : public Clock
{
public:
    QDate today() const override;
};
