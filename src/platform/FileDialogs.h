#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// A file dialog request. The filter is "description|mask|description|mask|..." as the window
// stores it; filterIndex is 1-based and is updated with the user's choice.
struct FileDialogRequest {
    QString title;
    QString folder;
    QString fileName;
    QString filter;
    int filterIndex = 1;
    QString defaultSuffix;
};

// Open and save dialogs. The real one is the only code that shows a QFileDialog.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // One existing file, or nothing when the user cancels.
    virtual std::optional<QString> openFile(FileDialogRequest& request) = 0;
    // Several existing files; empty when the user cancels.
    virtual QStringList openFiles(FileDialogRequest& request) = 0;
    // A file to write, or nothing when the user cancels.
    virtual std::optional<QString> saveFile(FileDialogRequest& request) = 0;
};

// Converts "desc|mask|desc|mask" into Qt's ";;"-separated name filters, one per pair.
QStringList nameFiltersFromPairs(const QString& pairs);

} // namespace platform
