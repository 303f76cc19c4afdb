#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// The platform services that windows and handlers use, as small interfaces so that tests
// can record what was shown and answer as scripted.

// Modal message boxes of the platform, with one OK button and the standard captions.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void error(QWidget* parent, const QString& text) = 0;       // caption "Error"
    virtual void information(QWidget* parent, const QString& text) = 0; // caption "Information"
    // The top-level error box: the caption is the application title, error icon, OK.
    virtual void applicationError(QWidget* parent, const QString& text) = 0;
};

// A modal folder picker; returns the chosen folder, or nothing when cancelled.
class FolderPicker
{
public:
    virtual ~FolderPicker() = default;
    virtual std::optional<QString> pickFolder(QWidget* parent, const QString& startFolder) = 0;
};

// One entry of an open-file dialog's filter list: the text shown and the pattern it offers.
struct FileFilter
{
    QString description;
    QString pattern;
};

// A modal open-file dialog with a filter list, the first entry selected; returns the chosen
// file's full name, or nothing when cancelled.
class FilePicker
{
public:
    virtual ~FilePicker() = default;
    virtual std::optional<QString> pickFile(QWidget* parent, const QString& startFile,
                                            const QList<FileFilter>& filters,
                                            const QString& defaultSuffix) = 0;
};

// A blocking pause of the user-interface thread.
class Pause
{
public:
    virtual ~Pause() = default;
    virtual void pause(int milliseconds) = 0;
};

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

// The services a window receives; none is owned.
struct Services
{
    MessageBoxes* boxes = nullptr;
    FolderPicker* folders = nullptr;
    FilePicker* files = nullptr;
    Pause* pause = nullptr;
    Clock* clock = nullptr;
};
