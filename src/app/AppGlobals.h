#pragma once

#include <QString>

// Process-wide values, set by the main window's creation before any setting is read.
struct AppGlobals
{
    QString appVersion;
    QString appFolder; // the executable's folder, without a trailing delimiter

    // The process's date and time formatting, fixed whatever the user's regional settings say.
    QString shortDateFormat;
    QChar dateSeparator;
    QString shortTimeFormat;
    QChar timeSeparator;
};

AppGlobals& appGlobals();

// The folder part of an executable's path, without a trailing delimiter ("" for the root).
QString folderOfExecutable(const QString& executablePath);
