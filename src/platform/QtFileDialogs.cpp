#include "platform/QtFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <memory>

namespace platform {

QtFileDialogs::QtFileDialogs(QWidget* parentWindow) : m_parent(parentWindow) {}

void QtFileDialogs::setParentWindow(QWidget* parentWindow) {
    m_parent = parentWindow;
}

QFileDialog* QtFileDialogs::createDialog(const FileDialogRequest& request, Mode mode) const {
    auto* dialog = new QFileDialog(m_parent.data(), request.title);
    dialog->setAcceptMode(mode == Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(mode == Mode::OpenOne    ? QFileDialog::ExistingFile
                        : mode == Mode::OpenMany ? QFileDialog::ExistingFiles
                                                 : QFileDialog::AnyFile);
    // The descriptions already show their masks ("Florida images (fl*.gif)").
    dialog->setOption(QFileDialog::HideNameFilterDetails, true);
    const QStringList filters = nameFiltersFromPairs(request.filter);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        const int index = request.filterIndex >= 1 && request.filterIndex <= filters.size()
                              ? request.filterIndex
                              : 1;
        dialog->selectNameFilter(filters[index - 1]);
    }
    if (!request.folder.isEmpty()) dialog->setDirectory(QDir::fromNativeSeparators(request.folder));
    if (!request.defaultSuffix.isEmpty()) dialog->setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) dialog->selectFile(request.fileName);
    return dialog;
}

int QtFileDialogs::selectedFilterIndex(const QFileDialog& dialog) {
    // With the details hidden the dialog reports the filter without its trailing "(masks)".
    static const QRegularExpression masksAtEnd(QStringLiteral(R"(^(.*)\([^()]*\)$)"));
    const QString selected = dialog.selectedNameFilter();
    const QStringList filters = dialog.nameFilters();
    for (qsizetype i = 0; i < filters.size(); ++i)
        if (filters[i] == selected) return static_cast<int>(i) + 1;
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const auto match = masksAtEnd.match(filters[i]);
        if (match.hasMatch() && match.captured(1).trimmed() == selected)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

QStringList QtFileDialogs::run(FileDialogRequest& request, Mode mode) {
    const std::unique_ptr<QFileDialog> dialog(createDialog(request, mode));
    if (dialog->exec() != QDialog::Accepted) return {};
    if (const int chosen = selectedFilterIndex(*dialog)) request.filterIndex = chosen;
    QStringList files;
    for (const QString& file : dialog->selectedFiles())
        files.append(QDir::toNativeSeparators(file));
    return files;
}

std::optional<QString> QtFileDialogs::openFile(FileDialogRequest& request) {
    const QStringList files = run(request, Mode::OpenOne);
    if (files.isEmpty()) return std::nullopt;
    return files.first();
}

QStringList QtFileDialogs::openFiles(FileDialogRequest& request) {
    return run(request, Mode::OpenMany);
}

std::optional<QString> QtFileDialogs::saveFile(FileDialogRequest& request) {
    const QStringList files = run(request, Mode::Save);
    if (files.isEmpty()) return std::nullopt;
    return files.first();
}

} // namespace platform
