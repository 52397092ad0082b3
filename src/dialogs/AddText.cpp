#include "dialogs/AddText.h"

TFormAddText::TFormAddText(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    // A fixed dialog without title-bar buttons.
    setObjectName(QStringLiteral("FormAddText"));
    setWindowTitle(caption());
    setModal(true);
    setFixedSize(300, 110);
}

QString TFormAddText::caption() {
    return QStringLiteral("Enter annotation text");
}
