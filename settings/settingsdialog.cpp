#include "settingsdialog.h"

#include "app/constants.h"
#include "settings/settings.h"
#include "ui_settingsdialog.h"

#include <KLocalizedString>

#include <QPushButton>

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui_SettingsDialog)
{
    ui->setupUi(this);
    ui->tabWidget->setCurrentWidget(ui->tabGeneral);

    QPushButton *restoreDefaults = ui->buttonBox->addButton(QDialogButtonBox::RestoreDefaults);
    connect(restoreDefaults, &QPushButton::clicked, this, &SettingsDialog::setAllToDefault);

    connectSliderAndLabel(ui->horizontalSliderScanIconNamesIconSize, ui->labelScanIconNamesIconSize);
    connectSliderAndLabel(ui->horizontalSliderApplicantsIconPathsIconSize, ui->labelApplicantsIconPathsIconSize);
    connectSliderAndLabel(ui->horizontalSliderPreviewIconSize, ui->labelPreviewIconSize);

    connect(ui->checkBoxPreviewIconSize, &QCheckBox::stateChanged, this, [this](int state) {
        const bool enabled = state == Qt::Checked;
        ui->horizontalSliderPreviewIconSize->setEnabled(enabled);
        ui->labelPreviewIconSize->setEnabled(enabled);
    });
    connect(ui->checkBoxUsingSystemIconsTheme, &QCheckBox::stateChanged, this, [this](int state) {
        const bool enabled = state != Qt::Checked;
        ui->groupBoxThemeSearchPaths->setEnabled(enabled);
        ui->groupBoxFallbackSearchPaths->setEnabled(enabled);
        ui->widgetThemeNames->setEnabled(enabled);
    });
}

SettingsDialog::~SettingsDialog()
{
    delete ui;
}

void SettingsDialog::setScanIconNamesOnStart(bool scan)
{
    ui->checkBoxScanIconNamesOnStart->setChecked(scan);
}

bool SettingsDialog::isScanIconNamesOnStart() const
{
    return ui->checkBoxScanIconNamesOnStart->isChecked();
}

void SettingsDialog::setScanIconNamesIconSize(int size)
{
    ui->horizontalSliderScanIconNamesIconSize->setValue(getStandartIconSizeIndex(size));
}

int SettingsDialog::scanIconNamesIconSize() const
{
    return getStandartIconSize(ui->horizontalSliderScanIconNamesIconSize->value());
}

void SettingsDialog::setApplicantsIconPathsIconSize(int size)
{
    ui->horizontalSliderApplicantsIconPathsIconSize->setValue(getStandartIconSizeIndex(size));
}

int SettingsDialog::applicantsIconPathsIconSize() const
{
    return getStandartIconSize(ui->horizontalSliderApplicantsIconPathsIconSize->value());
}

void SettingsDialog::setPreviewIconSizeEnable(bool enable)
{
    ui->checkBoxPreviewIconSize->setChecked(enable);
}

bool SettingsDialog::isPreviewIconSizeEnable() const
{
    return ui->checkBoxPreviewIconSize->isChecked();
}

void SettingsDialog::setPreviewIconSize(int size)
{
    ui->horizontalSliderPreviewIconSize->setValue(getStandartIconSizeIndex(size));
}

int SettingsDialog::previewIconSize() const
{
    return getStandartIconSize(ui->horizontalSliderPreviewIconSize->value());
}

void SettingsDialog::setSearchIconSuffixes(const QStringList &suffixes)
{
    ui->widgetSearchIconSuffixes->setItems(suffixes);
}

QStringList SettingsDialog::searchIconSuffixes() const
{
    return ui->widgetSearchIconSuffixes->items();
}

void SettingsDialog::setUsingSystemIconsTheme(bool use)
{
    ui->checkBoxUsingSystemIconsTheme->setChecked(use);
}

bool SettingsDialog::isUsingSystemIconsTheme() const
{
    return ui->checkBoxUsingSystemIconsTheme->isChecked();
}

void SettingsDialog::setThemeSearchPaths(const QStringList &paths)
{
    ui->widgetThemeSearchPaths->setItems(paths);
}

QStringList SettingsDialog::themeSearchPaths() const
{
    return ui->widgetThemeSearchPaths->items();
}

void SettingsDialog::setFallbackSearchPaths(const QStringList &paths)
{
    ui->widgetFallbackSearchPaths->setItems(paths);
}

QStringList SettingsDialog::fallbackSearchPaths() const
{
    return ui->widgetFallbackSearchPaths->items();
}

void SettingsDialog::setThemeName(const QString &name)
{
    ui->lineEditThemeName->setText(name);
}

QString SettingsDialog::themeName() const
{
    return ui->lineEditThemeName->text();
}

void SettingsDialog::setFallbackThemeName(const QString &name)
{
    ui->lineEditFallbackThemeName->setText(name);
}

QString SettingsDialog::fallbackThemeName() const
{
    return ui->lineEditFallbackThemeName->text();
}

void SettingsDialog::setUse96Dpi(bool use)
{
    ui->checkBoxUse96Dpi->setChecked(use);
}

bool SettingsDialog::use96Dpi() const
{
    return ui->checkBoxUse96Dpi->isChecked();
}

void SettingsDialog::setUseHighDpiPixmaps(bool use)
{
    ui->checkBoxUseHighDpiPixmaps->setChecked(use);
}

bool SettingsDialog::useHighDpiPixmaps() const
{
    return ui->checkBoxUseHighDpiPixmaps->isChecked();
}

void SettingsDialog::setEnableHighDpiScaling(bool enable)
{
    ui->checkBoxEnableHighDpiScaling->setChecked(enable);
}

bool SettingsDialog::enableHighDpiScaling() const
{
    return ui->checkBoxEnableHighDpiScaling->isChecked();
}

void SettingsDialog::setDisableHighDpiScaling(bool disable)
{
    ui->checkBoxDisableHighDpiScaling->setChecked(disable);
}

bool SettingsDialog::disableHighDpiScaling() const
{
    return ui->checkBoxDisableHighDpiScaling->isChecked();
}

void SettingsDialog::setApplicantsSortSectionsPolicy(const QList<IconPathSection> &policy)
{
    QStringList captions;
    captions.reserve(policy.size());
    for (IconPathSection section : policy) {
        captions.append(iconPathSectionName(section));
    }
    ui->widgetApplicantsSortPolicy->setItems(captions);
}

QList<IconPathSection> SettingsDialog::applicantsSortSectionsPolicy() const
{
    QList<IconPathSection> policy;
    const QStringList captions = ui->widgetApplicantsSortPolicy->items();
    policy.reserve(captions.size());
    for (const QString &caption : captions) {
        policy.append(iconPathSection(caption));
    }
    return policy;
}

void SettingsDialog::setCurrentTab(SettingsDialog::Tab tab)
{
    switch (tab) {
    case TabGeneral:
        ui->tabWidget->setCurrentWidget(ui->tabGeneral);
        break;
    case TabIconsOptions:
        ui->tabWidget->setCurrentWidget(ui->tabIconsOptions);
        break;
    case TabApplicantsSortPolicy:
        ui->tabWidget->setCurrentWidget(ui->tabApplicantsSortPolicy);
        break;
    }
}

SettingsDialog::Tab SettingsDialog::currentTab() const
{
    const QWidget *page = ui->tabWidget->currentWidget();
    if (page == ui->tabIconsOptions) {
        return TabIconsOptions;
    }
    if (page == ui->tabApplicantsSortPolicy) {
        return TabApplicantsSortPolicy;
    }
    return TabGeneral;
}

void SettingsDialog::setAllToDefault()
{
    // The system-theme box and the four attributes are left alone on purpose.
    setScanIconNamesOnStart(Settings::defaultScanIconNamesOnStart());
    setScanIconNamesIconSize(Settings::defaultScanIconNamesIconSize());
    setApplicantsIconPathsIconSize(Settings::defaultApplicantsIconPathsIconSize());
    setPreviewIconSizeEnable(Settings::defaultPreviewIconSizeEnable());
    setPreviewIconSize(Settings::defaultPreviewIconSize());
    setSearchIconSuffixes(Settings::defaultSearchIconSuffixes());
    setThemeSearchPaths(Settings::systemIconThemeSearchPaths());
    setFallbackSearchPaths(Settings::systemIconFallbackSearchPaths());
    setThemeName(Settings::systemIconThemeName());
    setFallbackThemeName(Settings::systemIconFallbackThemeName());
    setApplicantsSortSectionsPolicy(Settings::defaultApplicantsSortSectionsPolicy());
}

int SettingsDialog::getStandartIconSize(int index)
{
    return standartIconSizes.at(index);
}

int SettingsDialog::getStandartIconSizeIndex(int size)
{
    if (standartIconSizes.isEmpty() || size <= standartIconSizes.first()) {
        return 0;
    }
    for (int i = 1; i < standartIconSizes.size(); ++i) {
        if (standartIconSizes.at(i) >= size) {
            return i;
        }
    }
    // Larger than any standard size: shown as the smallest.
    return 0;
}

QString SettingsDialog::getStandartIconSizeText(int index)
{
    return QString::number(getStandartIconSize(index)) + QLatin1Char(' ') + i18nd("zel-find-qicon", "px");
}

QString SettingsDialog::iconPathSectionName(IconPathSection section)
{
    switch (section) {
    case IconPathSection::MainPath:
        return i18nd("zel-find-qicon", "Main path");
    case IconPathSection::Theme:
        return i18nd("zel-find-qicon", "Icons theme");
    case IconPathSection::Size:
        return i18nd("zel-find-qicon", "Size");
    case IconPathSection::Category:
        return i18nd("zel-find-qicon", "Category");
    case IconPathSection::Name:
        return i18nd("zel-find-qicon", "Icon name");
    }
    return QString();
}

IconPathSection SettingsDialog::iconPathSection(const QString &text)
{
    for (IconPathSection section :
         {IconPathSection::MainPath, IconPathSection::Theme, IconPathSection::Size, IconPathSection::Category, IconPathSection::Name}) {
        if (text == iconPathSectionName(section)) {
            return section;
        }
    }
    return IconPathSection::MainPath;
}

void SettingsDialog::connectSliderAndLabel(QSlider *slider, QLabel *label)
{
    slider->setRange(0, standartIconSizes.size() - 1);
    label->setText(getStandartIconSizeText(slider->value()));
    connect(slider, &QSlider::valueChanged, label, [label](int value) {
        label->setText(getStandartIconSizeText(value));
    });
}
