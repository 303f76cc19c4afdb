#include "ModulesPage.h"

#include "Errors.h"
#include "Keys.h"
#include "SettingsFile.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <limits>

ModulesPage::ModulesPage(const Services& services, QWidget* parent)
    : QWidget(parent), m_services(services)
{
    setObjectName(QStringLiteral("ModulesPage"));

    GroupBox8 = named(new QGroupBox(QStringLiteral("Default Language "), this), "GroupBox8");
    GroupBox8->setGeometry(24, 16, 677, 64);
    auto* pleaseSelect = new QLabel(QStringLiteral("Please Select"), GroupBox8);
    pleaseSelect->setGeometry(16, 28, 150, 22);
    ComboBox1 = named(new QComboBox(GroupBox8), "ComboBox1");
    ComboBox1->addItem(QStringLiteral("English (Default)"));
    ComboBox1->setGeometry(186, 28, 220, 22);

    GroupBox7 = named(new QGroupBox(QStringLiteral("Load Master Setup.ini File"), this), "GroupBox7");
    GroupBox7->setGeometry(24, 96, 677, 64);
    auto* setupPath = new QLabel(QStringLiteral("Setup Ini Path"), GroupBox7);
    setupPath->setGeometry(16, 28, 150, 22);
    edtSetupini = named(new BrowseEdit(GroupBox7), "edtSetupini");
    edtSetupini->setGeometry(186, 28, 475, 22);

    GroupBox5 = named(new QGroupBox(QStringLiteral("Enable/Disable Standard Modules"), this),
                      "GroupBox5");
    GroupBox5->setGeometry(24, 176, 677, 96);
    auto* grid = new QGridLayout(GroupBox5);
    grid->setContentsMargins(16, 20, 16, 12);
    auto box = [this, grid](const char* caption, const char* name, int row, int column) {
        auto* check = named(new QCheckBox(QLatin1String(caption), GroupBox5), name);
        grid->addWidget(check, row, column);
        return check;
    };
    CheckBox10 = box("Backup System", "CheckBox10", 0, 0);
    CheckBox11 = box("Data Initiation", "CheckBox11", 1, 0);
    CheckBox12 = box("Mobile Messager", "CheckBox12", 0, 1);
    CheckBox13 = box("Patch Master", "CheckBox13", 1, 1);
    CheckBox14 = box("Polling Module", "CheckBox14", 0, 2);
    CheckBox15 = box("House Keeper", "CheckBox15", 1, 2);

    BitBtn4 = named(new QPushButton(this), "BitBtn4");
    BitBtn4->hide();

    connect(edtSetupini, &BrowseEdit::browseClicked, this, &ModulesPage::edtSetupiniButtonClick);
}

void ModulesPage::load(const SettingsFile& settings)
{
    using namespace Key;
    const QString link = QLatin1String(Section::APPLICATION_LINK);
    CheckBox10->setChecked(settings.readBool(link, BACKUP_SYSTEM));
    CheckBox11->setChecked(settings.readBool(link, DATA_INITIATION));
    CheckBox12->setChecked(settings.readBool(link, MOBILE_MESSAGER));
    CheckBox13->setChecked(settings.readBool(link, PATCH_MASTER));
    CheckBox14->setChecked(settings.readBool(link, POLLING_MODULE));
    CheckBox15->setChecked(settings.readBool(link, HOUSE_KEEPING));
    edtSetupini->setText(settings.readText(QLatin1String(Section::DATABASE), LOAD_SETUP_INI_FILE));

    const QString stored =
        settings.readText(QLatin1String(Section::LANGUAGE), LANGUAGE, QStringLiteral("0"));
    const auto index = parseProfileInteger(stored);
    if (!index || *index < std::numeric_limits<int>::min() || *index > std::numeric_limits<int>::max())
        throw CalvexError(QStringLiteral("'%1' is not a valid integer value").arg(stored));
    // A position that names no item leaves the list without a selection.
    ComboBox1->setCurrentIndex(*index >= 0 && *index < ComboBox1->count() ? int(*index) : -1);
}

void ModulesPage::edtSetupiniButtonClick()
{
    const auto file = m_services.files->pickFile(window(), edtSetupini->text(),
                                                 {{QStringLiteral("Setup Ini Files (*.ini)"), QStringLiteral("Setup.ini")}},
                                                 QStringLiteral("ini"));
    if (!file)
        return;
    // The suite reads a path with a blank only when it is quoted.
    edtSetupini->setText(file->contains(QLatin1Char(' ')) ? QLatin1Char('"') + *file + QLatin1Char('"')
                                                          : *file);
}

void ModulesPage::BitBtn4Click(SettingsFile& settings) const
{
    using namespace Key;
    const QString link = QLatin1String(Section::APPLICATION_LINK);
    settings.writeBool(link, BACKUP_SYSTEM, CheckBox10->isChecked());
    settings.writeBool(link, DATA_INITIATION, CheckBox11->isChecked());
    settings.writeBool(link, MOBILE_MESSAGER, CheckBox12->isChecked());
    settings.writeBool(link, PATCH_MASTER, CheckBox13->isChecked());
    settings.writeBool(link, POLLING_MODULE, CheckBox14->isChecked());
    settings.writeBool(link, HOUSE_KEEPING, CheckBox15->isChecked());
    settings.writeText(QLatin1String(Section::DATABASE), LOAD_SETUP_INI_FILE, edtSetupini->text());
    settings.writeText(QLatin1String(Section::LANGUAGE), LANGUAGE,
                       QString::number(ComboBox1->currentIndex()));
}
