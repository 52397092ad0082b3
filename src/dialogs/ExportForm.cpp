#include "dialogs/ExportForm.h"

#include "geo/Isotherms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using exports::ExportFormat;

TFormExport::TFormExport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormExport"));
    setWindowTitle(tr("Export for chart plotter / chart software"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;

    ComboFormat = new QComboBox(this);
    ComboFormat->setObjectName(QStringLiteral("ComboFormat"));
    const std::pair<ExportFormat, QString> formats[] = {
        {ExportFormat::Gpx, tr("GPX tracks for a chart plotter (.gpx)")},
        {ExportFormat::Kap, tr("KAP raster chart for OpenCPN (.kap)")},
        {ExportFormat::Mbtiles, tr("MBTiles raster tiles (.mbtiles)")},
        {ExportFormat::GeoTiff, tr("GeoTIFF for QGIS (.tif)")},
        {ExportFormat::Kmz, tr("KMZ for Google Earth (.kmz)")},
    };
    for (const auto& [format, caption] : formats)
        ComboFormat->addItem(caption, int(format));
    form->addRow(tr("&Format:"), ComboFormat);

    ComboPlotter = new QComboBox(this);
    ComboPlotter->setObjectName(QStringLiteral("ComboPlotter"));
    for (const exports::PlotterProfile& profile : exports::plotterProfiles())
        ComboPlotter->addItem(QCoreApplication::translate("ChartExport", profile.name));
    form->addRow(tr("&Plotter:"), ComboPlotter);
    layout->addLayout(form);

    auto addCheck = [this, layout](const char* name, const QString& caption, bool checked) {
        auto* check = new QCheckBox(caption, this);
        check->setObjectName(QString::fromLatin1(name));
        check->setChecked(checked);
        layout->addWidget(check);
        return check;
    };
    CheckPicture = addCheck("CheckPicture", tr("The chart pi&cture"), true);
    CheckPicture->setEnabled(false);
    CheckBreaks = addCheck("CheckBreaks", tr("Temperature &breaks"), true);
    auto* isothermRow = new QHBoxLayout;
    CheckIsotherms = new QCheckBox(tr("&Isotherms at"), this);
    CheckIsotherms->setObjectName(QStringLiteral("CheckIsotherms"));
    EditIsotherms = new QLineEdit(QStringLiteral("every 2"), this);
    EditIsotherms->setObjectName(QStringLiteral("EditIsotherms"));
    EditIsotherms->setToolTip(tr("Temperatures in \u00B0F, such as \"68, 70, 72\" or \"every 2\""));
    isothermRow->addWidget(CheckIsotherms);
    isothermRow->addWidget(EditIsotherms, 1);
    layout->addLayout(isothermRow);
    CheckMarks = addCheck("CheckMarks", tr("The area's &lines and texts"), false);
    CheckWaypoints = addCheck("CheckWaypoints", tr("&Home and waypoints"), false);
    CheckTemperatureGrid = addCheck(
        "CheckTemperatureGrid", tr("The water's &temperature grid instead of the picture"), false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ButtonOK = buttons->button(QDialogButtonBox::Ok);
    ButtonOK->setText(tr("&Export..."));
    ButtonCancel = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(ComboFormat, &QComboBox::currentIndexChanged, this, &TFormExport::formatChanged);
    connect(CheckIsotherms, &QCheckBox::toggled, EditIsotherms, &QWidget::setEnabled);
    EditIsotherms->setEnabled(false);
    formatChanged();
}

ExportFormat TFormExport::format() const {
    return ExportFormat(ComboFormat->currentData().toInt());
}

void TFormExport::setFormat(ExportFormat format) {
    ComboFormat->setCurrentIndex(ComboFormat->findData(int(format)));
}

void TFormExport::formatChanged() {
    const ExportFormat chosen = format();
    // Every format but GPX is the picture; the box says whether it goes in.
    CheckPicture->setChecked(chosen != ExportFormat::Gpx);
    // Marks are drawn into the picture.
    CheckMarks->setEnabled(chosen != ExportFormat::Gpx);
    CheckTemperatureGrid->setEnabled(chosen == ExportFormat::GeoTiff);
    if (chosen != ExportFormat::GeoTiff) CheckTemperatureGrid->setChecked(false);
    ComboPlotter->setEnabled(chosen == ExportFormat::Gpx);
}

std::optional<exports::ExportContents> TFormExport::contents(double tmin, double tmax,
                                                             QString* error) const {
    exports::ExportContents contents;
    const ExportFormat chosen = format();
    contents.picture = CheckPicture->isChecked();
    contents.breaks = CheckBreaks->isChecked();
    contents.breakThreshold = breakThreshold;
    contents.marks = CheckMarks->isEnabled() && CheckMarks->isChecked();
    contents.waypoints = CheckWaypoints->isChecked();
    contents.temperatureGrid = chosen == ExportFormat::GeoTiff && CheckTemperatureGrid->isChecked();
    contents.plotterProfile = ComboPlotter->currentIndex();
    if (CheckIsotherms->isChecked()) {
        geo::IsothermList list = geo::readIsothermList(EditIsotherms->text(), tmin, tmax);
        if (!list.error.isEmpty()) {
            if (error) *error = tr("Isotherms: %1.").arg(list.error);
            return std::nullopt;
        }
        contents.isotherms = std::move(list.temperatures);
    }
    return contents;
}
