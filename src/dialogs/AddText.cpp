#include "dialogs/AddText.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormAddText::TFormAddText(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    // A fixed dialog without title-bar buttons.
    setObjectName(QStringLiteral("FormAddText"));
    setWindowTitle(caption());
    setModal(true);

    EditText = new QLineEdit(tr("<enter text here>"), this);
    EditText->setObjectName(QStringLiteral("EditText"));
    EditText->setMinimumWidth(280);
    ButtonOK = new QPushButton(tr("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(tr("Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(EditText);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
    // Escape rejects as well: the dialog's own key handling.
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFormAddText::caption() {
    return tr("Enter annotation text");
}

bool TFormAddText::ShowModal() {
    EnteredText.clear();
    // The text stays from the last time; selected, so that typing replaces it.
    EditText->selectAll();
    EditText->setFocus();
    return exec() == QDialog::Accepted;
}

void TFormAddText::ButtonOKClick() {
    EnteredText = EditText->text();
    accept();
}
