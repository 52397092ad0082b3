#pragma once
#include "platform/FileDialogs.h"

#include <QPointer>

class QFileDialog;
class QWidget;

namespace platform {

// Open and save dialogs shown with QFileDialog, modal to the given window. The request's
// "desc|mask" filter becomes the dialog's name filters; its 1-based filterIndex selects the
// filter shown and receives the one the user left selected.
class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parentWindow = nullptr);
    void setParentWindow(QWidget* parentWindow);

    std::optional<QString> openFile(FileDialogRequest& request) override;
    QStringList openFiles(FileDialogRequest& request) override;
    std::optional<QString> saveFile(FileDialogRequest& request) override;

    enum class Mode { OpenOne, OpenMany, Save };
    // Builds the dialog the calls above run (for tests of the set-up); the caller owns it.
    QFileDialog* createDialog(const FileDialogRequest& request, Mode mode) const;
    // The 1-based index of the dialog's selected name filter; 0 when none is selected.
    static int selectedFilterIndex(const QFileDialog& dialog);

private:
    QStringList run(FileDialogRequest& request, Mode mode);

    QPointer<QWidget> m_parent;
};

} // namespace platform
