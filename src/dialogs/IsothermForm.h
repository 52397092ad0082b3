#pragma once
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The small dialog of the isotherms: which temperatures get a line on the chart, as a list
// ("68, 70, 72") or a step ("every 2") in the unit shown, and whether they are shown.
class TFormIsotherms : public QDialog {
    Q_OBJECT

public:
    explicit TFormIsotherms(QWidget* parent = nullptr);

    // The temperatures as the user wrote them, whether they are shown, and the unit they are
    // read in when they name none.
    void setRequest(const QString& temperatures, bool shown, bool celsius);
    QString temperatures() const;
    bool shown() const;

    QLineEdit* EditTemperatures = nullptr;
    QCheckBox* CheckShow = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;

private:
    class QLabel* m_unit = nullptr;
};
