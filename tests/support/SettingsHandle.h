#pragma once

#include "SettingsFile.h"

#include <QString>

#include <memory>

// A settings file opened by a test and released however the test ends, so that a failed check
// does not leave it held for the next test.
struct ReleaseSettings
{
    void operator()(SettingsFile* settings) const { settings->release(); }
};

using SettingsHandle = std::unique_ptr<SettingsFile, ReleaseSettings>;

inline SettingsHandle openSettings(const QString& path)
{
    return SettingsHandle(SettingsFile::open(path));
}
