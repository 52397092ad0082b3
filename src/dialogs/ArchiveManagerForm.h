#pragma once
#include "platform/Services.h"

#include <QDialog>
#include <QStringList>

// The chart-picking dialog, created once at program start and reused: lists archived chart
// files to delete (manage mode) or to flip. A shell for now; the archive commands fill it.
class TFormManageArchive : public QDialog {
    Q_OBJECT

public:
    // services must outlive the dialog.
    explicit TFormManageArchive(const platform::Services& services, QWidget* parent = nullptr);

    // Set by the caller before every showing.
    bool DeleteMode = true;
    QStringList FileNames;
    QString Folder;

    static QString manageCaption();
    static QString flipCaption();

private:
    [[maybe_unused]] const platform::Services m_services; // the archive commands use it
};
