#pragma once
#include <QDialog>

// The annotation text dialog: asks for the text of a new annotation. A shell for now; the
// text tool gives it its edit box and buttons.
class TFormAddText : public QDialog {
    Q_OBJECT

public:
    explicit TFormAddText(QWidget* parent = nullptr);

    static QString caption();
};
