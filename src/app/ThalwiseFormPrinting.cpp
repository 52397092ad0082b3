// Printing the chart.

#include "app/ThalwiseForm.h"

#include "app/RegistryVariables.h"
#include "app/vekImage.h"
#include "dialogs/ArchiveManagerForm.h"
#include "dialogs/PrintForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>

// ---------------------------------------------------------------------------------------------
// Hooks: filled in by the units that own these commands and routines.

void TFormThalwise::MenuFilePrintClick() {
    // Made for each use, on the picture as the chart display shows it, marks included.
    TFormPrint dialog(m_services, this);
    dialog.SourceBitmap = pictureWithMarkers();
    printing::CaptionFacts facts;
    facts.areaName = geo::areaDisplayName(CurrentArea);
    facts.ageText = LabelChartAge->text();
    if (const std::optional<QDateTime> made = chartTime())
        facts.chartTime = made->toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    facts.scaleMin = UpDownScaleMin->value();
    facts.scaleMax = UpDownScaleMax->value();
    facts.celsius = TemperatureCelsius && TemperatureCelsius->Value;
    facts.decimalDegrees = DecimalDegrees && DecimalDegrees->Value;
    facts.scaleBitmap = ScaleBitmap;
    facts.calibration = m_calibration;
    dialog.CaptionFacts = facts;
    // Kept for the next print: written back when released at the end of this command.
    TRegistryBoolean caption(*m_services.registry, m_settingsKey, settingNames::PrintCaption,
                             settingDefaults::PrintCaption);
    dialog.CheckBoxCaption->setChecked(caption.Value);
    showPrintDialog(dialog);
    caption.Value = dialog.CheckBoxCaption->isChecked();
}

void TFormThalwise::showPrintDialog(TFormPrint& dialog) {
    dialog.exec();
}
