#pragma once
#include "export/ChartExport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// File > Export for chart plotter / chart software: the format, what goes into the file (the
// chart picture, breaks, isotherms at a list of temperatures, the area's marks, home and the
// waypoints, for a GeoTIFF the temperature grid) and, for GPX, the plotter whose limits the
// tracks keep. Only the choices a format can carry are enabled; the picture is every format's
// but GPX's, and its box only says so. The file name is asked for
// after the dialog.
class TFormExport : public QDialog {
    Q_OBJECT

public:
    explicit TFormExport(QWidget* parent = nullptr);

    exports::ExportFormat format() const;
    void setFormat(exports::ExportFormat format);
    // The choices as the widgets hold them, the isotherms' temperatures read within the chart's
    // range tmin..tmax (°F). Nothing, with the reason that names the value and the limit in
    // *error, when isotherms are ticked and their list is refused.
    std::optional<exports::ExportContents> contents(double tmin, double tmax,
                                                    QString* error = nullptr) const;

    QComboBox* ComboFormat = nullptr;
    QCheckBox* CheckPicture = nullptr;
    QCheckBox* CheckBreaks = nullptr;
    QCheckBox* CheckIsotherms = nullptr;
    QLineEdit* EditIsotherms = nullptr; // "68, 70, 72" or "every 2"
    QCheckBox* CheckMarks = nullptr;
    QCheckBox* CheckWaypoints = nullptr;
    QCheckBox* CheckTemperatureGrid = nullptr;
    QComboBox* ComboPlotter = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;

    // The break threshold the exported breaks use (the window's own, °F per NM).
    double breakThreshold = geo::DefaultBreakThreshold;

private:
    void formatChanged();
};
