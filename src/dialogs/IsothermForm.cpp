#include "dialogs/IsothermForm.h"

#include "geo/ThalwiseUtils.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormIsotherms::TFormIsotherms(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormIsotherms"));
    setWindowTitle(tr("Isotherms"));
    auto* layout = new QVBoxLayout(this);
    auto* explanation =
        new QLabel(tr("A line is drawn where the water crosses each temperature: a list such as "
                      "\"68, 70, 72\", or \"every 2\" for every second degree."),
                   this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    auto* form = new QFormLayout;
    auto* row = new QHBoxLayout;
    EditTemperatures = new QLineEdit(this);
    EditTemperatures->setObjectName(QStringLiteral("EditTemperatures"));
    m_unit = new QLabel(this);
    row->addWidget(EditTemperatures);
    row->addWidget(m_unit);
    // Its own label, so that Alt+T reaches the edit (a row of a layout gets a label of no key).
    auto* label = new QLabel(tr("&Temperatures:"), this);
    label->setBuddy(EditTemperatures);
    form->addRow(label, row);
    layout->addLayout(form);
    CheckShow = new QCheckBox(tr("&Show isotherms"), this);
    CheckShow->setObjectName(QStringLiteral("CheckShow"));
    layout->addWidget(CheckShow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ButtonOK = buttons->button(QDialogButtonBox::Ok);
    ButtonCancel = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Writing temperatures is asking to see them.
    connect(EditTemperatures, &QLineEdit::textEdited, this,
            [this] { CheckShow->setChecked(true); });
}

void TFormIsotherms::setRequest(const QString& temperatures, bool shown, bool celsius) {
    EditTemperatures->setText(temperatures);
    EditTemperatures->selectAll();
    CheckShow->setChecked(shown);
    m_unit->setText(geo::temperatureUnitText(celsius));
}

QString TFormIsotherms::temperatures() const {
    return EditTemperatures->text().trimmed();
}

bool TFormIsotherms::shown() const {
    return CheckShow->isChecked();
}
