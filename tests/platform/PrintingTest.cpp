// The print seam on Qt's own PDF output: what a job draws ends up as pages of a file, and the
// set-up dialog chooses a printer without offering to print.
#include "platform/FileRegistry.h"
#include "platform/PrinterChoice.h"
#include "platform/QtPrintJob.h"
#include "platform/QtPrinters.h"
#include "support/FakeFileDialogs.h"
#include "support/RecordingPrintJob.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <set>

using platform::PageOrientation;
using platform::PrintFont;

namespace {

// Made once and never destroyed: tearing it down after the print support's own statics are
// gone crashes on exit.
void application() {
    static int argc = 1;
    static char name[] = "PrintingTest";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Page objects of a PDF ("/Type /Page", not the "/Type /Pages" tree above them).
int pdfPageCount(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

void pdfPrinter(QPrinter& printer, const QString& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
}

TEST(QtPrintJobTest, ImagesTextAndPagesReachThePdf) {
    application();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, dir.filePath("job.pdf"));
    platform::QtPrintJob job(printer);

    ASSERT_TRUE(job.begin(QStringLiteral("Pelagon image"), PageOrientation::Landscape));
    const platform::PageMetrics page = job.pageMetrics();
    EXPECT_GT(page.sheet.width(), page.sheet.height());
    EXPECT_TRUE(QRect(QPoint(), page.sheet).contains(page.printable));
    EXPECT_EQ(page.dpiX, printer.resolution());
    EXPECT_EQ(page.dpiY, printer.resolution());

    // Colours that JPEG would blur into each other.
    QImage chart(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < chart.height(); ++y)
        for (int x = 0; x < chart.width(); ++x)
            chart.setPixel(x, y, (x + y) % 3 == 0 ? qRgb(0, 90, 200) : qRgb(250, 120, 10));
    EXPECT_TRUE(job.drawImage(QRect(QPoint(), page.printable.size() / 2), chart));
    EXPECT_FALSE(job.drawImage(QRect(0, 0, 10, 10), QImage()));
    ASSERT_TRUE(job.newPage());
    const PrintFont courier{QStringLiteral("Courier New"), 10, true};
    const platform::TextMetrics metrics = job.textMetrics(courier);
    EXPECT_GT(metrics.lineHeight, 0);
    for (int line = 0; line < 3; ++line)
        EXPECT_TRUE(job.drawText(QPoint(0, line * metrics.lineHeight),
                                 QStringLiteral("Waypoint: %1").arg(line + 1), courier));
    ASSERT_TRUE(job.end());

    // Nothing more is drawn once the document has ended.
    EXPECT_FALSE(job.drawImage(QRect(0, 0, 10, 10), chart));
    EXPECT_FALSE(job.drawText(QPoint(), QStringLiteral("late"), courier));
    EXPECT_FALSE(job.newPage());
    EXPECT_FALSE(job.end());

    const QByteArray pdf = readAll(dir.filePath("job.pdf"));
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdfPageCount(pdf), 2);
    EXPECT_TRUE(pdf.contains("/Subtype /Image"));
    // Colours are temperatures: the picture is kept losslessly.
    EXPECT_FALSE(pdf.contains("/DCTDecode"));
}

TEST(QtPrintJobTest, OrientationAndFontSizeShapeTheMetrics) {
    application();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, dir.filePath("portrait.pdf"));
    platform::QtPrintJob job(printer);
    ASSERT_TRUE(job.begin(QStringLiteral("Waypoints"), PageOrientation::Portrait));
    const platform::PageMetrics page = job.pageMetrics();
    EXPECT_LT(page.sheet.width(), page.sheet.height());
    const int ten = job.textMetrics(PrintFont{QStringLiteral("Courier New"), 10, true}).lineHeight;
    const int twenty =
        job.textMetrics(PrintFont{QStringLiteral("Courier New"), 20, true}).lineHeight;
    // 10 points at the printer's resolution, not at the screen's.
    EXPECT_GT(ten, 10 * page.dpiY / 72);
    EXPECT_GT(twenty, ten * 3 / 2);
    EXPECT_FALSE(
        job.textMetrics(PrintFont{QStringLiteral("No Such Family 7"), 10, true}).familyAvailable);
    const QString installed = QFontDatabase::families().value(0);
    const platform::TextMetrics own = job.textMetrics(PrintFont{installed, 10, false});
    EXPECT_TRUE(own.familyAvailable) << installed.toStdString();
    EXPECT_GT(own.lineHeight, 10 * page.dpiY / 72);
    EXPECT_TRUE(job.end());
    EXPECT_EQ(pdfPageCount(readAll(dir.filePath("portrait.pdf"))), 1);
}

TEST(QtPrintJobTest, AJobThatCannotOpenItsOutputDrawsNothing) {
    application();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, dir.filePath("no/such/folder/job.pdf"));
    platform::QtPrintJob job(printer);
    EXPECT_FALSE(job.begin(QStringLiteral("Pelagon image"), PageOrientation::Portrait));
    QImage chart(4, 4, QImage::Format_RGB32);
    chart.fill(Qt::white);
    EXPECT_FALSE(job.drawImage(QRect(0, 0, 4, 4), chart));
    EXPECT_FALSE(job.newPage());
    EXPECT_FALSE(job.end());
}

// The recording job keeps the rules of the real one, so that code tested against it prints.
TEST(PrintJobRules, RealAndRecordingJobsAgreeOnTheDocumentsLifetime) {
    application();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, dir.filePath("rules.pdf"));
    platform::QtPrintJob real(printer);
    RecordingPrintJob recording;
    QImage band(8, 4, QImage::Format_RGB32);
    band.fill(Qt::black);
    const PrintFont font{QStringLiteral("Courier New"), 10, true};
    for (platform::PrintJob* job :
         {static_cast<platform::PrintJob*>(&real), static_cast<platform::PrintJob*>(&recording)}) {
        EXPECT_FALSE(job->drawImage(QRect(0, 0, 8, 4), band)); // not begun yet
        ASSERT_TRUE(job->begin(QStringLiteral("Pelagon image"), PageOrientation::Landscape));
        EXPECT_FALSE(job->begin(QStringLiteral("again"), PageOrientation::Landscape));
        const platform::PageMetrics page = job->pageMetrics();
        EXPECT_GT(page.sheet.width(), page.sheet.height());
        EXPECT_TRUE(QRect(QPoint(), page.sheet).contains(page.printable));
        EXPECT_TRUE(job->drawImage(QRect(0, 0, 8, 4), band));
        EXPECT_TRUE(job->newPage());
        EXPECT_TRUE(job->drawText(QPoint(0, 0), QStringLiteral("Home location - "), font));
        EXPECT_TRUE(job->end());
        EXPECT_FALSE(job->drawText(QPoint(0, 0), QStringLiteral("late"), font));
        EXPECT_FALSE(job->newPage());
        EXPECT_FALSE(job->end());
    }
    EXPECT_EQ(pdfPageCount(readAll(dir.filePath("rules.pdf"))), 2);
    EXPECT_EQ(recording.log->pages(), 2);
    EXPECT_EQ(recording.log->lines(2), QStringList{QStringLiteral("Home location - ")});

    // A scripted failure hits the k-th draw only.
    RecordingPrintJob::Script script;
    script.failDrawAt = 2;
    RecordingPrintJob failing(script);
    ASSERT_TRUE(failing.begin(QStringLiteral("Waypoints"), PageOrientation::Portrait));
    EXPECT_TRUE(failing.drawText(QPoint(0, 0), QStringLiteral("1"), font));
    EXPECT_FALSE(failing.drawImage(QRect(0, 0, 8, 4), band));
    EXPECT_TRUE(failing.drawText(QPoint(0, 100), QStringLiteral("3"), font));
    EXPECT_EQ(failing.log->of(RecordingPrintJob::Kind::DrawImage).value(0).image, band);
}

TEST(QtPrintersTest, JobsPrintOnThePrinterKeptForTheRun) {
    application();
    QTemporaryDir dir;
    platform::QtPrinters printers;
    pdfPrinter(printers.printer(), dir.filePath("kept.pdf"));
    const std::unique_ptr<platform::PrintJob> job = printers.createJob();
    ASSERT_TRUE(job->begin(QStringLiteral("Pelagon image"), PageOrientation::Landscape));
    EXPECT_TRUE(job->end());
    EXPECT_EQ(pdfPageCount(readAll(dir.filePath("kept.pdf"))), 1);
    // The orientation of the last job stays with the printer, as it does on Windows.
    EXPECT_EQ(printers.printer().pageLayout().orientation(), QPageLayout::Landscape);
}

TEST(QtPrintersTest, SetupChoosesAPrinterWithoutAPrintButton) {
    application();
    platform::QtPrinters printers;
    const std::unique_ptr<QDialog> dialog(printers.createSetupDialog());
    dialog->show();
    QApplication::processEvents();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Print setup"));
    QStringList labels;
    for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (button->isVisible()) labels.append(button->text().remove(QLatin1Char('&')));
    EXPECT_FALSE(labels.contains(QStringLiteral("Print"))) << labels.join('|').toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("OK"))) << labels.join('|').toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("Cancel")));
#ifndef Q_OS_WIN
    // The printer is chosen from a list (at least the PDF file printer).
    const auto* printerList = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    ASSERT_NE(printerList, nullptr);
    EXPECT_GE(printerList->count(), 1);
#endif
    dialog->reject();
}

// Two runs of the program on one settings store.
struct ChoiceRig {
    QTemporaryDir dir;
    platform::FileRegistry registry{dir.filePath("settings.reg")};
    const QString key = QStringLiteral("\\Software\\Quillmark\\thalwise");
    std::unique_ptr<platform::QtPrinters> run() {
        auto printers = std::make_unique<platform::QtPrinters>();
        printers->setSettings(&registry, key);
        return printers;
    }
};

bool printOnePage(platform::Printers& printers) {
    const std::unique_ptr<platform::PrintJob> job = printers.createJob();
    return job->begin(QStringLiteral("Pelagon image"), PageOrientation::Portrait) && job->end();
}

TEST(QtPrintersTest, ThePdfFileAndPaperChosenComeBackInTheNextRun) {
    application();
    ChoiceRig rig;
    const QString chosen = rig.dir.filePath("trip.pdf");
    {
        const auto first = rig.run();
        pdfPrinter(first->printer(), chosen);
        first->printer().setPageSize(QPageSize(QPageSize::Letter));
        first->acceptSetup();
    }
    const auto second = rig.run();
    EXPECT_EQ(second->printer().outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(second->printer().outputFileName(), chosen);
    EXPECT_EQ(second->printer().pageLayout().pageSize().id(), QPageSize::Letter);

    // A printer chosen later keeps the PDF folder for the day a PDF file is chosen again.
    const std::optional<platform::PrinterChoice> stored =
        platform::readPrinterChoice(rig.registry, rig.key);
    ASSERT_TRUE(stored);
    platform::PrinterChoice gone = *stored;
    gone.output = platform::PrinterChoice::Output::Printer;
    gone.printerName = QStringLiteral("Printer taken away");
    gone.paper = QStringLiteral("NoSuchPaper");
    ASSERT_TRUE(platform::writePrinterChoice(rig.registry, rig.key, gone));
    const auto third = rig.run();
    // A printer or paper no longer there leaves Qt's defaults, as with nothing stored.
    const QPrinter defaults(QPrinter::HighResolution);
    EXPECT_EQ(third->printer().printerName(), defaults.printerName());
    EXPECT_EQ(third->printer().outputFormat(), defaults.outputFormat());
    EXPECT_EQ(third->printer().pageLayout().pageSize().id(),
              defaults.pageLayout().pageSize().id());
    EXPECT_EQ(third->currentChoice().pdfFolder, QDir::toNativeSeparators(rig.dir.path()));
}

TEST(QtPrintersTest, APdfFilePrinterWritesIntoTheDocumentsFolder) {
    application();
    ChoiceRig rig;
    const auto printers = rig.run();
    if (printers->printer().outputFormat() != QPrinter::PdfFormat)
        GTEST_SKIP() << "this machine has a printer of its own";
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(QFileInfo(printers->printer().outputFileName()).absolutePath(),
              QFileInfo(documents.isEmpty() ? QDir::homePath() : documents).absoluteFilePath());
}

TEST(QtPrintersTest, PrintsToAPdfFileNeverReplaceAnEarlierOne) {
    application();
    ChoiceRig rig;
    const QString chosen = rig.dir.filePath("trip.pdf");
    QFile old(chosen);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("kept until the user says otherwise");
    old.close();
    {
        const auto printers = rig.run();
        pdfPrinter(printers->printer(), chosen);
        // The set-up dialog asked before an existing file was chosen: the first job writes it.
        printers->acceptSetup();
        ASSERT_TRUE(printOnePage(*printers));
        EXPECT_EQ(printers->lastOutputFile(), chosen);
        ASSERT_TRUE(printOnePage(*printers));
        EXPECT_EQ(printers->lastOutputFile(), rig.dir.filePath("trip (2).pdf"));
        ASSERT_TRUE(printOnePage(*printers));
        EXPECT_EQ(printers->lastOutputFile(), rig.dir.filePath("trip (3).pdf"));
    }
    // The next run asks nothing: it goes on numbering.
    const auto next = rig.run();
    ASSERT_TRUE(printOnePage(*next));
    EXPECT_EQ(next->lastOutputFile(), rig.dir.filePath("trip (4).pdf"));
    // Its set-up dialog offers the next free name, which asks no question when kept.
    delete next->createSetupDialog();
    EXPECT_EQ(next->printer().outputFileName(), rig.dir.filePath("trip (5).pdf"));
    next->acceptSetup();
    ASSERT_TRUE(printOnePage(*next));
    ASSERT_TRUE(printOnePage(*next));
    EXPECT_EQ(next->lastOutputFile(), rig.dir.filePath("trip (6).pdf"));
    for (const char* name :
         {"trip.pdf", "trip (2).pdf", "trip (3).pdf", "trip (4).pdf", "trip (5).pdf"})
        EXPECT_EQ(pdfPageCount(readAll(rig.dir.filePath(name))), 1) << name;
}

TEST(QtPrintersTest, APrintToAPdfFileAsksWhereInTheFolderChosenLast) {
    application();
    ChoiceRig rig;
    FakeFileDialogs dialogs;
    const QString chosen = rig.dir.filePath("trip.pdf");
    {
        const auto printers = rig.run();
        printers->setFileDialogs(&dialogs);
        pdfPrinter(printers->printer(), rig.dir.filePath("Thalwise.pdf"));
        // Cancelled: no job, no file.
        dialogs.queueCancel();
        EXPECT_EQ(printers->createJob(), nullptr);
        dialogs.queueFile(chosen);
        ASSERT_TRUE(printOnePage(*printers));
        EXPECT_EQ(printers->lastOutputFile(), chosen);
        EXPECT_FALSE(QFile::exists(rig.dir.filePath("Thalwise.pdf")));
    }
    // The next run offers the folder chosen, with a name no print has yet.
    const auto next = rig.run();
    next->setFileDialogs(&dialogs);
    dialogs.queueCancel();
    EXPECT_EQ(next->createJob(), nullptr);
    ASSERT_EQ(dialogs.requests.size(), 3);
    EXPECT_EQ(QDir(dialogs.requests.last().folder), QDir(rig.dir.path()));
    EXPECT_EQ(QFileInfo(dialogs.requests.last().fileName).fileName(), "trip (2).pdf");
}

TEST(QtPrintersTest, ThePreviewShowsThePagesTheRenderDraws) {
    application();
    QTemporaryDir dir;
    platform::QtPrinters printers;
    pdfPrinter(printers.printer(), dir.filePath("never.pdf"));
    int rendered = 0;
    const std::unique_ptr<QPrintPreviewDialog> dialog(
        printers.createPreviewDialog([&](platform::PrintJob& job) {
            ++rendered;
            QImage band(64, 32, QImage::Format_RGB32);
            band.fill(Qt::blue);
            ASSERT_TRUE(job.begin(QStringLiteral("Pelagon image"), PageOrientation::Landscape));
            EXPECT_TRUE(job.drawImage(QRect(QPoint(0, 0), job.pageMetrics().printable.size()),
                                      band));
            EXPECT_TRUE(job.end());
        }));
    dialog->show();
    QApplication::processEvents();
    const auto* pages = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(pages, nullptr);
    EXPECT_GE(rendered, 1);
    EXPECT_EQ(pages->pageCount(), 1);
    EXPECT_EQ(printers.printer().pageLayout().orientation(), QPageLayout::Landscape);
    dialog->reject();
    // A preview writes no file.
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("never.pdf")));
}

TEST(PrinterChoiceTest, StoredValuesAreReadWithCare) {
    const std::set<QString> taken = {"/p/a.pdf", "/p/a (2).pdf", "/p/notes"};
    const auto exists = [&](const QString& path) { return taken.count(path) > 0; };
    EXPECT_EQ(platform::nextFreeFileName("/p/b.pdf", exists), "/p/b.pdf");
    EXPECT_EQ(platform::nextFreeFileName("/p/a.pdf", exists), "/p/a (3).pdf");
    EXPECT_EQ(platform::nextFreeFileName("/p/notes", exists), "/p/notes (2)");
    // A numbered name counts on from its number.
    EXPECT_EQ(platform::nextFreeFileName("/p/a (2).pdf", exists), "/p/a (3).pdf");
    EXPECT_TRUE(platform::nextFreeFileName("/p/x.pdf", [](const QString&) { return true; })
                    .isEmpty());

    QTemporaryDir dir;
    platform::FileRegistry registry(dir.filePath("settings.reg"));
    const QString key = QStringLiteral("\\Software\\Quillmark\\thalwise");
    EXPECT_FALSE(platform::readPrinterChoice(registry, key));
    const QString sub = platform::printerChoiceKey(key);
    registry.writeValue(sub, "Output", platform::RegistryValue::fromText("1"));
    registry.writeValue(sub, "Printer", platform::RegistryValue::fromDword(7));
    registry.writeValue(sub, "PdfName", platform::RegistryValue::fromText("../../etc/x.pdf"));
    const std::optional<platform::PrinterChoice> read = platform::readPrinterChoice(registry, key);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->output, platform::PrinterChoice::Output::Printer); // a text is no DWORD
    EXPECT_TRUE(read->printerName.isEmpty());
    EXPECT_EQ(read->pdfName, "x.pdf"); // a name, never a path
}

} // namespace
