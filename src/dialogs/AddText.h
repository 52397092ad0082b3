#pragma once
#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

// The annotation text dialog: asks for the text of a new annotation. The edit box keeps the
// text entered last time; Escape cancels.
class TFormAddText : public QDialog {
    Q_OBJECT

public:
    explicit TFormAddText(QWidget* parent = nullptr);

    static QString caption();

    // Shows the dialog modally; true when it closed with OK. EnteredText is emptied first and
    // holds the edit box's text after OK.
    bool ShowModal();

    QLineEdit* EditText = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QString EnteredText;

private:
    void ButtonOKClick();
};
