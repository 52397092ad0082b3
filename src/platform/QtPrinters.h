#pragma once
#include "platform/Printers.h"

#include <QPointer>
#include <memory>

class QDialog;
class QPrinter;
class QWidget;

namespace platform {

// Keeps one QPrinter for the whole run, so a choice made in the set-up dialog holds for every
// later print.
class QtPrinters : public Printers {
public:
    explicit QtPrinters(QWidget* parentWindow = nullptr);
    ~QtPrinters() override;
    void setParentWindow(QWidget* parentWindow) { m_parent = parentWindow; }
    bool printerSetup() override;
    // A QtPrintJob on printer().
    std::unique_ptr<PrintJob> createJob() override;
    QPrinter& printer();

    // Builds the dialog printerSetup runs (for tests of the set-up); the caller owns it.
    QDialog* createSetupDialog();

private:
    QPointer<QWidget> m_parent;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace platform
