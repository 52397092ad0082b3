#pragma once
#include "platform/Services.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// The chart-picking dialog, created once at program start and reused: lists archived chart
// files to tick for deleting (manage mode) or for flipping.
class TFormManageArchive : public QDialog {
    Q_OBJECT

public:
    // services must outlive the dialog.
    explicit TFormManageArchive(const platform::Services& services, QWidget* parent = nullptr);

    // Set by the caller before every showing. FileNames: in, the names (no folder) to offer in
    // display order; out, the ticked names in list order, or empty unless confirmed with OK.
    bool DeleteMode = true;
    QStringList FileNames;
    QString Folder; // ends in a separator

    // Fills the list from FileNames and shows the dialog modally; true when confirmed with OK.
    // In manage mode the ticked files are deleted after the question, before it returns.
    bool ShowModal();

    static QString manageCaption();
    static QString flipCaption();
    // What the confirming buttons of manage mode say.
    static QString moveToTrashText();

    QLabel* LabelSelect = nullptr;
    QListWidget* CheckListBox = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;

    void FormShow();
    void ButtonOKClick();

protected:
    // Cancel, Escape and the close box all end here: nothing is ticked then.
    void reject() override;

private:
    const platform::Services m_services;
};
