#pragma once
#include "platform/PrinterChoice.h"
#include "platform/Printers.h"

#include <QPointer>
#include <memory>

class QDialog;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace platform {

class FileDialogs;
class Registry;

// Keeps one QPrinter for the whole run, so a choice made in the set-up dialog holds for every
// later print; with a settings store, the choice also holds for the next run.
class QtPrinters : public Printers {
public:
    explicit QtPrinters(QWidget* parentWindow = nullptr);
    ~QtPrinters() override;
    void setParentWindow(QWidget* parentWindow) { m_parent = parentWindow; }
    // Where the choice is kept; set before the first use of the printer. registry must outlive
    // this object.
    void setSettings(Registry* registry, const QString& settingsKey);
    // Asks where a PDF file goes; without it (tests) a job takes the next free name unasked.
    // fileDialogs must outlive this object.
    void setFileDialogs(FileDialogs* fileDialogs) { m_fileDialogs = fileDialogs; }

    bool printerSetup() override;
    // A QtPrintJob on printer().
    std::unique_ptr<PrintJob> createJob() override;
    void preview(const std::function<void(PrintJob&)>& render) override;
    QString lastOutputFile() const override { return m_lastOutputFile; }
    QPrinter& printer();

    // Builds the dialogs printerSetup and preview run (for tests); the caller owns them.
    QDialog* createSetupDialog();
    QPrintPreviewDialog* createPreviewDialog(const std::function<void(PrintJob&)>& render);
    // Takes what the set-up dialog left on printer() as the user's choice: the next job writes
    // the very PDF file chosen there, and the choice is stored.
    void acceptSetup();
    // The printer's present choice, as it would be stored.
    PrinterChoice currentChoice();

private:
    void restoreChoice();

    QPointer<QWidget> m_parent;
    std::unique_ptr<QPrinter> m_printer;
    Registry* m_registry = nullptr;
    FileDialogs* m_fileDialogs = nullptr;
    QString m_settingsKey;
    // The PDF file the user picked in the set-up dialog (its overwrite question answered): the
    // next job writes it as it is.
    QString m_confirmedFile;
    // The PDF file chosen (or restored): later jobs number their files after it.
    QString m_pdfBase;
    QString m_lastOutputFile;
};

} // namespace platform
