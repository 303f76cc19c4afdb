#pragma once

#include "Services.h"

#include <QString>

#include <optional>

class AliasEngine;
class DatabasePage;
class DirectoriesPage;
class ModulesPage;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;
class SettingsFile;

// What Apply works with: the pages, the bottom bar and the services.
struct ApplyContext
{
    DatabasePage* database;
    DirectoriesPage* directories;
    ModulesPage* modules;
    QLabel* label;          // "Update Progressing"
    QProgressBar* gauge;
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* archive;   // its hint shows the archive selection
    SettingsFile* settings;
    AliasEngine* engine;
    Services services;
    QWidget* window;
};

// The first failing check of the window's paths, as the message to show; nothing when all pass.
std::optional<QString> applyValidationMessage(const DatabasePage& database,
                                              const DirectoriesPage& directories);

// Validates, then writes every page to the settings file and re-registers the aliases in four
// stages while the gauge advances, and confirms. A failed check shows its box and throws
// SilentAbort; an error in a stage passes through, after the bottom bar has been restored.
void bbtnApplyClick(const ApplyContext& context);
