#pragma once

#include "Services.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Test doubles for the platform services: they record what was asked and answer as scripted.

struct ShownBox
{
    QString kind; // "error", "information" or "application"
    QString text;
};

class FakeMessageBoxes : public MessageBoxes
{
public:
    void error(QWidget*, const QString& text) override { record(QStringLiteral("error"), text); }
    void information(QWidget*, const QString& text) override
    {
        record(QStringLiteral("information"), text);
    }
    void applicationError(QWidget*, const QString& text) override
    {
        record(QStringLiteral("application"), text);
    }

    QList<ShownBox> shown;
    // Runs while a box is "open", e.g. to look at the window's state at that moment.
    std::function<void(const ShownBox&)> onShow;

private:
    void record(const QString& kind, const QString& text)
    {
        shown.append({kind, text});
        if (onShow)
            onShow(shown.last());
    }
};

class FakeFolderPicker : public FolderPicker
{
public:
    std::optional<QString> pickFolder(QWidget*, const QString& startFolder) override
    {
        startFolders.append(startFolder);
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }

    QList<std::optional<QString>> answers; // one per call; nothing = cancel
    QStringList startFolders;
};

class FakeFilePicker : public FilePicker
{
public:
    std::optional<QString> pickFile(QWidget*, const QString& startFile,
                                    const QList<FileFilter>& filters,
                                    const QString& defaultSuffix) override
    {
        calls.append({startFile, filters, defaultSuffix});
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }

    struct Call
    {
        QString startFile;
        QList<FileFilter> filters;
        QString defaultSuffix;
    };
    QList<std::optional<QString>> answers;
    QList<Call> calls;
};

class FakePause : public Pause
{
public:
    void pause(int milliseconds) override
    {
        pauses.append(milliseconds);
        if (onPause)
            onPause(milliseconds);
    }

    QList<int> pauses;
    std::function<void(int)> onPause;
};

class FakeClock : public Clock
{
public:
    QDate today() const override { return date; }
    QDate date{2026, 12, 11};
};

// All doubles together, with the Services view the windows take.
struct FakeServices
{
    FakeMessageBoxes boxes;
    FakeFolderPicker folders;
    FakeFilePicker files;
    FakePause pause;
    FakeClock clock;

    Services services() { return {&boxes, &folders, &files, &pause, &clock}; }
};
