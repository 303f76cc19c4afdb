#pragma once

#include "Services.h"

#include <QWidget>

class BrowseEdit;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class SettingsFile;

// The "Modules Setup" page: the default language, the master setup file and the suite's
// optional standard modules.
class ModulesPage : public QWidget
{
public:
    explicit ModulesPage(const Services& services, QWidget* parent = nullptr);

    // Throws CalvexError when the stored language is no whole number.
    void load(const SettingsFile& settings);

    // Handler of the master setup file's browse button.
    void edtSetupiniButtonClick();

    // Save stage: modules, master setup file and language.
    void BitBtn4Click(SettingsFile& settings) const;

    QGroupBox* GroupBox8;
    QComboBox* ComboBox1;
    QGroupBox* GroupBox7;
    BrowseEdit* edtSetupini;
    QGroupBox* GroupBox5;
    QCheckBox* CheckBox10;
    QCheckBox* CheckBox11;
    QCheckBox* CheckBox12;
    QCheckBox* CheckBox13;
    QCheckBox* CheckBox14;
    QCheckBox* CheckBox15;
    QPushButton* BitBtn4;

private:
    Services m_services;
};
