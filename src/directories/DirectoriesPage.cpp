#include "DirectoriesPage.h"

#include "Keys.h"
#include "SettingsFile.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int CaptionX = 24;
constexpr int FieldX = 210;
constexpr int FieldRight = 470;
constexpr int PictureX = 476;
constexpr int FieldHeight = 22;

int rowY(int row)
{
    return 24 + row * 40;
}

} // namespace

DirectoriesPage::DirectoriesPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DirectoriesPage"));
    Panel7 = named(new QFrame(this), "Panel7");
    Panel7->setGeometry(0, 0, 725, 473);
    Panel7->setAutoFillBackground(true);
    Panel7->setPalette(buttonFacePalette());
    QWidget* p = Panel7;

    auto row = [p](const QString& caption, QLineEdit* field, int r, int right = FieldRight) {
        makeRowCaption(caption, p)->setGeometry(CaptionX, rowY(r), FieldX - CaptionX - 8, FieldHeight);
        styleRowField(field, false);
        field->setGeometry(FieldX, rowY(r), right - FieldX, FieldHeight);
    };
    auto picture = [p](const char* name, int r) {
        auto* button = named(new PictureButton(p), name);
        button->move(PictureX, rowY(r));
        return button;
    };

    dedtReportPath = named(new ExitEdit(p), "dedtReportPath");
    row(QStringLiteral("Report Directory"), dedtReportPath, 0);
    Image20 = picture("Image20", 0);
    DirectoryEdit8 = named(new QLineEdit(p), "DirectoryEdit8");
    row(QStringLiteral("Stock Picture"), DirectoryEdit8, 1);
    Image21 = picture("Image21", 1);
    DirectoryEdit1 = named(new QLineEdit(p), "DirectoryEdit1");
    row(QStringLiteral("Log Book Directory"), DirectoryEdit1, 2);
    Image22 = picture("Image22", 2);
    CurrencyEdit1 = named(new QLineEdit(p), "CurrencyEdit1");
    row(QStringLiteral("Log Book Extension"), CurrencyEdit1, 3, FieldX + 80);

    RadioGroup1 = named(new RadioGroup(QStringLiteral("Picture Option"),
                                       {QStringLiteral("GDB"), QStringLiteral("Path")},
                                       Qt::Horizontal, p),
                        "RadioGroup1");
    RadioGroup1->setGeometry(PictureX + 40, rowY(1) - 16, 170, 48);
    RadioGroup1->setItemIndex(1);

    GroupBox3 = named(new QGroupBox(QStringLiteral("Report Directories"), p), "GroupBox3");
    GroupBox3->hide();
    auto sub = [this](const char* name) { return named(new QLineEdit(GroupBox3), name); };
    dedtInventory = sub("dedtInventory");
    dedtTransaction = sub("dedtTransaction");
    dedtXZ = sub("dedtXZ");
    dedtListing = sub("dedtListing");
    dedtMisc = sub("dedtMisc");
    dedtSales = sub("dedtSales");
    dedtCustom = sub("dedtCustom");
    dedtCustomer = sub("dedtCustomer");

    GroupBox2 = named(new QGroupBox(QStringLiteral("Log Directory"), p), "GroupBox2");
    GroupBox2->hide();
    CheckBox1 = named(new QCheckBox(QStringLiteral("Zorvan POS Office"), GroupBox2), "CheckBox1");
    CheckBox2 = named(new QCheckBox(QStringLiteral("Zorvan POS Stock Inventory"), GroupBox2),
                      "CheckBox2");
    CheckBox3 = named(new QCheckBox(QStringLiteral("Zorvan POS Office Reporter"), GroupBox2),
                      "CheckBox3");

    BitBtn1 = named(new QPushButton(p), "BitBtn1");
    BitBtn1->hide();
    BitBtn3 = named(new QPushButton(p), "BitBtn3");
    BitBtn3->hide();

    connect(dedtReportPath, &ExitEdit::exited, this, &DirectoriesPage::dedtReportPathExit);
    connect(RadioGroup1, &RadioGroup::changed, this, &DirectoriesPage::RadioGroup1Click);
}

bool DirectoriesPage::picturesInFolder() const
{
    return RadioGroup1->itemIndex() == 1;
}

void DirectoriesPage::load(const SettingsFile& settings)
{
    using namespace Key;
    const QString report = QLatin1String(Section::REPORT);
    const QString db = QLatin1String(Section::DATABASE);
    auto text = [&](QLineEdit* field, const QString& section, const char* key) {
        field->setText(settings.readText(section, key));
    };
    text(dedtListing, report, LISTING);
    text(dedtTransaction, report, FORM);
    text(dedtSales, report, SALES);
    text(dedtXZ, report, JOURNAL);
    text(dedtReportPath, report, PATH);
    text(dedtInventory, report, ANALYSIS);
    text(dedtCustomer, report, CUSTOMER);
    text(dedtMisc, report, MISC);
    text(dedtCustom, report, CUSTOM);
    text(DirectoryEdit8, db, STOCK_PHOTO_PATH);
    RadioGroup1->setItemIndex(
        settings.readText(db, STOCK_PHOTO_LOADSAVE) == QLatin1String("PATH") ? 1 : 0);
    text(DirectoryEdit1, report, LOG);
    CurrencyEdit1->setText(settings.readText(report, LOG_EXT, QStringLiteral("000")));
    CheckBox1->setChecked(settings.readBool(report, KLYPOSW_LOG));
    CheckBox2->setChecked(settings.readBool(report, STOCKW_LOG));
    CheckBox3->setChecked(settings.readBool(report, REPORTW_LOG));
}

void DirectoriesPage::dedtReportPathExit()
{
    const QString base = dedtReportPath->text();
    const QString sep = QDir::separator();
    dedtInventory->setText(base + sep + QStringLiteral("Analysis"));
    dedtTransaction->setText(base + sep + QStringLiteral("Form"));
    dedtXZ->setText(base + sep + QStringLiteral("Journal"));
    dedtListing->setText(base + sep + QStringLiteral("Listing"));
    dedtMisc->setText(base + sep + QStringLiteral("Misc"));
}

void DirectoriesPage::RadioGroup1Click()
{
    DirectoryEdit8->setEnabled(RadioGroup1->itemIndex() != 0);
}

void DirectoriesPage::BitBtn1Click(SettingsFile& settings) const
{
    using namespace Key;
    const QString report = QLatin1String(Section::REPORT);
    settings.writeText(report, PATH, dedtReportPath->text());
    settings.writeText(report, ANALYSIS, dedtInventory->text());
    settings.writeText(report, FORM, dedtTransaction->text());
    settings.writeText(report, JOURNAL, dedtXZ->text());
    settings.writeText(report, LISTING, dedtListing->text());
    settings.writeText(report, MISC, dedtMisc->text());
    settings.writeText(report, SALES, dedtSales->text());
    settings.writeText(report, CUSTOM, dedtCustom->text());
    settings.writeText(report, CUSTOMER, dedtCustomer->text());
}

void DirectoriesPage::BitBtn3Click(SettingsFile& settings) const
{
    using namespace Key;
    const QString report = QLatin1String(Section::REPORT);
    const QString db = QLatin1String(Section::DATABASE);
    settings.writeText(db, STOCK_PHOTO_PATH, DirectoryEdit8->text());
    settings.writeText(db, STOCK_PHOTO_LOADSAVE,
                       picturesInFolder() ? QStringLiteral("PATH") : QStringLiteral("GDB"));
    settings.writeText(report, LOG, DirectoryEdit1->text());
    settings.writeText(report, LOG_EXT, CurrencyEdit1->text());
    settings.writeBool(report, KLYPOSW_LOG, CheckBox1->isChecked());
    settings.writeBool(report, STOCKW_LOG, CheckBox2->isChecked());
    settings.writeBool(report, REPORTW_LOG, CheckBox3->isChecked());
}
