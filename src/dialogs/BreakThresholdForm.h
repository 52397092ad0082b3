#pragma once
#include <QDialog>

class QDoubleSpinBox;
class QPushButton;

// The small dialog of the temperature-break threshold: how steep a change of the water's
// temperature (°F per nautical mile) must be to be drawn as a break, with the two usual
// choices a click away.
class TFormBreakThreshold : public QDialog {
    Q_OBJECT

public:
    explicit TFormBreakThreshold(QWidget* parent = nullptr);

    void setThreshold(double fahrenheitPerMile);
    double threshold() const;

    QDoubleSpinBox* SpinThreshold = nullptr;
    QPushButton* ButtonStrong = nullptr; // 0.7: the breaks worth the fuel
    QPushButton* ButtonWeak = nullptr;   // 0.35: weaker breaks as well
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;
};
