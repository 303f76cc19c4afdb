#pragma once

#include "Services.h"

#include <QWidget>

#include <memory>

class AliasEngine;
class ClickLabel;
class DatabasePage;
class DirectoriesPage;
class FolderPictures;
class ModulesPage;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class SettingsFile;

// The tool's main window: header, navigation, the three pages and the bottom bar.
class TfrmConfigTools : public QWidget
{
public:
    TfrmConfigTools(const QString& executablePath, const Services& services,
                    QWidget* parent = nullptr);
    ~TfrmConfigTools() override;

    SettingsFile* settings() const { return m_settings; }

    // Handlers.
    void FormCreate();
    void NavigationLabelClick(ClickLabel* entry);
    void BitBtn2Click();
    void bbtnCancelClick();
    void bbtnApplyClick();
    void BitBtn5Click();
    void btnTestGDBClick();

    QFrame* Panel1;
    QLabel* Image9;
    QLabel* Label11;
    QLabel* LabelName;
    QFrame* Panel3;
    ClickLabel* LabelDatabase;
    ClickLabel* LabelDirectories;
    ClickLabel* LabelModules;
    QStackedWidget* Notebook1;
    DatabasePage* databasePage;
    DirectoriesPage* directoriesPage;
    ModulesPage* modulesPage;
    QFrame* Panel2;
    QPushButton* BitBtn2;
    QPushButton* bbtnCancel;
    QProgressBar* ProgressBar1;
    QLabel* Label24;
    QPushButton* BitBtn5;
    QPushButton* bbtnApply;
    QPushButton* btnTestGDB;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildHeader();
    void buildNavigation();
    void buildBottomBar();
    void FormClose();
    // Runs a handler and reports what escapes it: a silent abort is dropped, any other error
    // is shown in the application's error box.
    void guarded(void (TfrmConfigTools::*handler)());

    QString m_executablePath;
    Services m_services;
    SettingsFile* m_settings = nullptr;
    std::unique_ptr<AliasEngine> m_engine;
    std::unique_ptr<FolderPictures> m_folderPictures;
    bool m_applying = false;
};
