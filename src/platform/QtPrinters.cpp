#include "platform/QtPrinters.h"

#include "platform/QtPrintJob.h"

#include <QDialogButtonBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace platform {

QtPrinters::QtPrinters(QWidget* parentWindow) : m_parent(parentWindow) {}

QtPrinters::~QtPrinters() = default;

QPrinter& QtPrinters::printer() {
    // Made on first use: looking up the system's printers can take a moment.
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

std::unique_ptr<PrintJob> QtPrinters::createJob() {
    return std::make_unique<QtPrintJob>(printer());
}

QDialog* QtPrinters::createSetupDialog() {
#ifdef Q_OS_WIN
    // The system's page set-up dialog has its own "Printer..." button for the choice of printer.
    auto* dialog = new QPageSetupDialog(&printer(), m_parent.data());
#else
    // Qt's own print dialog offers the printer, and its page set-up under "Properties". Nothing
    // is printed from it, so its "Print" button is an OK button here.
    auto* dialog = new QPrintDialog(&printer(), m_parent.data());
    dialog->setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog->setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(QObject::tr("OK"));
#endif
    dialog->setWindowTitle(QObject::tr("Print setup"));
    return dialog;
}

bool QtPrinters::printerSetup() {
    const std::unique_ptr<QDialog> dialog(createSetupDialog());
    return dialog->exec() == QDialog::Accepted;
}

} // namespace platform
