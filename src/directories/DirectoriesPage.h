#pragma once

#include <QWidget>

class ExitEdit;
class PictureButton;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class RadioGroup;
class SettingsFile;

// The "Directories/Conditional Setup" page: report, stock picture and log book folders, and
// the report sub-folders and log flags that are carried in groups never shown.
class DirectoriesPage : public QWidget
{
public:
    explicit DirectoriesPage(QWidget* parent = nullptr);

    void load(const SettingsFile& settings);

    // Handlers.
    void dedtReportPathExit();
    void RadioGroup1Click();

    // Save stages: report folders; stock picture and log settings.
    void BitBtn1Click(SettingsFile& settings) const;
    void BitBtn3Click(SettingsFile& settings) const;

    // "Path" is the second item of the picture option.
    bool picturesInFolder() const;

    QFrame* Panel7;
    ExitEdit* dedtReportPath;
    QLineEdit* DirectoryEdit8;
    QLineEdit* DirectoryEdit1;
    QLineEdit* CurrencyEdit1;
    PictureButton* Image20;
    PictureButton* Image21;
    PictureButton* Image22;
    RadioGroup* RadioGroup1;

    QGroupBox* GroupBox3; // report sub-folders, never shown
    QLineEdit* dedtInventory;
    QLineEdit* dedtTransaction;
    QLineEdit* dedtXZ;
    QLineEdit* dedtListing;
    QLineEdit* dedtMisc;
    QLineEdit* dedtSales;
    QLineEdit* dedtCustom;
    QLineEdit* dedtCustomer;

    QGroupBox* GroupBox2; // log flags, never shown
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;

    QPushButton* BitBtn1;
    QPushButton* BitBtn3;
};
