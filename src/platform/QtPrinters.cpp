#include "platform/QtPrinters.h"

#include "platform/FileDialogs.h"
#include "platform/PrintJob.h"
#include "platform/QtPrintJob.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>

#include <algorithm>

namespace platform {

namespace {

// A job that cannot begin: what createJob hands out when no file is left to write.
class UnopenableJob : public PrintJob {
public:
    bool begin(const QString&, PageOrientation) override { return false; }
    PageMetrics pageMetrics() const override { return {}; }
    bool drawImage(const QRect&, const QImage&) override { return false; }
    TextMetrics textMetrics(const PrintFont&) const override { return {}; }
    int textWidth(const QString&, const PrintFont&) const override { return 0; }
    bool drawText(const QPoint&, const QString&, const PrintFont&) override { return false; }
    bool newPage() override { return false; }
    bool end() override { return false; }
    void abort() override {}
};

std::optional<QPageSize::PageSizeId> pageSizeForKey(const QString& key) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto sizeId = static_cast<QPageSize::PageSizeId>(id);
        if (sizeId != QPageSize::Custom && QPageSize::key(sizeId) == key) return sizeId;
    }
    return std::nullopt;
}

bool fileExists(const QString& path) {
    return QFileInfo::exists(path);
}

QString documentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

} // namespace

QtPrinters::QtPrinters(QWidget* parentWindow) : m_parent(parentWindow) {}

QtPrinters::~QtPrinters() = default;

void QtPrinters::setSettings(Registry* registry, const QString& settingsKey) {
    m_registry = registry;
    m_settingsKey = settingsKey;
}

QPrinter& QtPrinters::printer() {
    // Made on first use: looking up the system's printers can take a moment.
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        restoreChoice();
        // Without a print system the printer is a PDF file: it goes to the PDF folder chosen
        // last, or the documents folder, not to wherever the program happened to be started.
        if (m_printer->outputFormat() == QPrinter::PdfFormat &&
            m_printer->outputFileName().isEmpty()) {
            QString folder = documentsFolder();
            if (m_registry)
                if (const std::optional<PrinterChoice> stored =
                        readPrinterChoice(*m_registry, m_settingsKey);
                    stored && !stored->pdfFolder.isEmpty() && QFileInfo(stored->pdfFolder).isDir())
                    folder = stored->pdfFolder;
            m_printer->setOutputFileName(QDir(folder).filePath(QStringLiteral("Thalwise.pdf")));
        }
    }
    return *m_printer;
}

void QtPrinters::restoreChoice() {
    if (!m_registry) return;
    const std::optional<PrinterChoice> choice = readPrinterChoice(*m_registry, m_settingsKey);
    if (!choice) return;
    QPrinter& printer = *m_printer;
    if (choice->output == PrinterChoice::Output::PdfFile) {
        // A folder that is gone since (an unplugged drive) gives way to the documents folder.
        const QString folder = !choice->pdfFolder.isEmpty() && QFileInfo(choice->pdfFolder).isDir()
                                   ? choice->pdfFolder
                                   : documentsFolder();
        const QString name =
            choice->pdfName.isEmpty() ? QStringLiteral("Thalwise.pdf") : choice->pdfName;
        m_pdfBase = QDir::cleanPath(QDir(folder).filePath(name));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_pdfBase);
    } else if (!choice->printerName.isEmpty() &&
               QPrinterInfo::availablePrinterNames().contains(choice->printerName)) {
        // A printer no longer installed leaves the system's default one.
        printer.setPrinterName(choice->printerName);
    }
    if (!choice->paper.isEmpty())
        if (const std::optional<QPageSize::PageSizeId> id = pageSizeForKey(choice->paper))
            printer.setPageSize(QPageSize(*id));
}

PrinterChoice QtPrinters::currentChoice() {
    QPrinter& printer = this->printer();
    // What is not chosen now stays as stored: choosing a printer keeps the PDF folder.
    PrinterChoice choice;
    if (m_registry)
        choice = readPrinterChoice(*m_registry, m_settingsKey).value_or(PrinterChoice());
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        choice.output = PrinterChoice::Output::PdfFile;
        // Qt's PDF printer (the only one without a print system) names no file of its own.
        if (!printer.outputFileName().isEmpty()) {
            const QFileInfo file(printer.outputFileName());
            choice.pdfFolder = QDir::toNativeSeparators(file.absolutePath());
            choice.pdfName = file.fileName();
        }
    } else {
        choice.output = PrinterChoice::Output::Printer;
        choice.printerName = printer.printerName();
    }
    const QPageSize paper = printer.pageLayout().pageSize();
    if (paper.id() != QPageSize::Custom) choice.paper = paper.key();
    return choice;
}

void QtPrinters::acceptSetup() {
    QPrinter& printer = this->printer();
    m_confirmedFile.clear();
    m_pdfBase.clear();
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        m_confirmedFile = printer.outputFileName();
        m_pdfBase = m_confirmedFile;
    }
    if (m_registry) writePrinterChoice(*m_registry, m_settingsKey, currentChoice());
}

std::unique_ptr<PrintJob> QtPrinters::createJob() {
    QPrinter& printer = this->printer();
    m_lastOutputFile.clear();
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        QString file = m_confirmedFile;
        m_confirmedFile.clear();
        if (file.isEmpty()) {
            const QString base = m_pdfBase.isEmpty() ? printer.outputFileName() : m_pdfBase;
            file = nextFreeFileName(base, fileExists);
            if (m_fileDialogs) {
                // Asked each time, in the folder chosen last: a print never lands unseen.
                FileDialogRequest request;
                request.title = QCoreApplication::translate("QtPrinters", "Print to PDF file");
                request.folder = QFileInfo(base).absolutePath();
                request.fileName = file.isEmpty() ? QFileInfo(base).fileName() : file;
                request.filter =
                    QCoreApplication::translate("QtPrinters", "PDF files (*.pdf)|*.pdf");
                request.defaultSuffix = QStringLiteral("pdf");
                const std::optional<QString> chosen = m_fileDialogs->saveFile(request);
                if (!chosen) return nullptr;
                file = *chosen;
                m_pdfBase = file;
                printer.setOutputFileName(file);
                if (m_registry) writePrinterChoice(*m_registry, m_settingsKey, currentChoice());
            }
        }
        if (file.isEmpty()) return std::make_unique<UnopenableJob>();
        printer.setOutputFileName(file);
        m_lastOutputFile = file;
    }
    return std::make_unique<QtPrintJob>(printer);
}

QDialog* QtPrinters::createSetupDialog() {
    // A PDF file printer offers the name the next print would take, so that keeping it asks
    // no question about replacing an earlier print.
    QPrinter& printer = this->printer();
    if (printer.outputFormat() == QPrinter::PdfFormat && m_confirmedFile.isEmpty() &&
        !m_pdfBase.isEmpty()) {
        const QString next = nextFreeFileName(m_pdfBase, fileExists);
        if (!next.isEmpty()) printer.setOutputFileName(next);
    }
#ifdef Q_OS_WIN
    // The system's page set-up dialog has its own "Printer..." button for the choice of printer.
    auto* dialog = new QPageSetupDialog(&printer, m_parent.data());
#else
    // Qt's own print dialog offers the printers, a PDF file, and the paper under "Properties".
    // Nothing is printed from it, so its "Print" button is an OK button here.
    auto* dialog = new QPrintDialog(&printer, m_parent.data());
    dialog->setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog->setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QCoreApplication::translate("QtPrinters", "OK"));
#endif
    dialog->setWindowTitle(QCoreApplication::translate("QtPrinters", "Print setup"));
    return dialog;
}

bool QtPrinters::printerSetup() {
    const std::unique_ptr<QDialog> dialog(createSetupDialog());
    if (dialog->exec() != QDialog::Accepted) return false;
    acceptSetup();
    return true;
}

QPrintPreviewDialog* QtPrinters::createPreviewDialog(const std::function<void(PrintJob&)>& render) {
    auto* dialog = new QPrintPreviewDialog(&printer(), m_parent.data());
    dialog->setWindowTitle(QCoreApplication::translate("QtPrinters", "Print preview"));
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [render](QPrinter* target) {
                         QtPrintJob job(*target);
                         render(job);
                     });
    // Large enough to see a chart's detail on the page.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize available = screen->availableSize();
        dialog->resize(std::min(available.width() * 9 / 10, 1000), available.height() * 4 / 5);
    }
    return dialog;
}

void QtPrinters::preview(const std::function<void(PrintJob&)>& render) {
    const std::unique_ptr<QPrintPreviewDialog> dialog(createPreviewDialog(render));
    dialog->exec();
}

} // namespace platform
