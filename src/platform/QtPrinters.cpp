#include "platform/QtPrinters.h"

#include <QPrintDialog>
#include <QPrinter>

namespace platform {

QtPrinters::QtPrinters(QWidget* parentWindow) : m_parent(parentWindow) {}

QtPrinters::~QtPrinters() = default;

QPrinter& QtPrinters::printer() {
    // Made on first use: looking up the system's printers can take a moment.
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool QtPrinters::printerSetup() {
    QPrintDialog dialog(&printer(), m_parent);
    dialog.setWindowTitle(QObject::tr("Print setup"));
    // Only the printer and its page settings are chosen here; what to print is asked at print time.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace platform
