#include "dialogs/BreakThresholdForm.h"

#include "geo/TemperatureBreaks.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFormBreakThreshold::TFormBreakThreshold(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormBreakThreshold"));
    setWindowTitle(tr("Temperature breaks"));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(
        tr("A break is drawn where the water's temperature changes by at least this much "
           "within one nautical mile."),
        this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    auto* form = new QFormLayout;
    SpinThreshold = new QDoubleSpinBox(this);
    SpinThreshold->setObjectName(QStringLiteral("SpinThreshold"));
    SpinThreshold->setRange(geo::LowestBreakThreshold, geo::HighestBreakThreshold);
    SpinThreshold->setDecimals(2);
    SpinThreshold->setSingleStep(0.05);
    SpinThreshold->setSuffix(tr(" °F per NM"));
    form->addRow(tr("&Threshold:"), SpinThreshold);
    layout->addLayout(form);

    auto* presets = new QHBoxLayout;
    ButtonStrong = new QPushButton(tr("&Strong breaks (0.7)"), this);
    ButtonStrong->setObjectName(QStringLiteral("ButtonStrong"));
    ButtonWeak = new QPushButton(tr("&Weaker breaks too (0.35)"), this);
    ButtonWeak->setObjectName(QStringLiteral("ButtonWeak"));
    for (QPushButton* b : {ButtonStrong, ButtonWeak}) {
        b->setAutoDefault(false);
        presets->addWidget(b);
    }
    layout->addLayout(presets);
    connect(ButtonStrong, &QPushButton::clicked, this,
            [this] { SpinThreshold->setValue(geo::DefaultBreakThreshold); });
    connect(ButtonWeak, &QPushButton::clicked, this,
            [this] { SpinThreshold->setValue(geo::WeakBreakThreshold); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ButtonOK = buttons->button(QDialogButtonBox::Ok);
    ButtonCancel = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setThreshold(geo::DefaultBreakThreshold);
}

void TFormBreakThreshold::setThreshold(double fahrenheitPerMile) {
    SpinThreshold->setValue(fahrenheitPerMile);
    SpinThreshold->selectAll();
}

double TFormBreakThreshold::threshold() const {
    return SpinThreshold->value();
}
