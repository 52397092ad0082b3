// The print seam on Qt's own PDF output: what a job draws ends up as pages of a file, and the
// set-up dialog chooses a printer without offering to print.
#include "platform/QtPrintJob.h"
#include "platform/QtPrinters.h"
#include "support/RecordingPrintJob.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

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

    QImage chart(60, 40, QImage::Format_RGB32);
    chart.fill(QColor(0, 90, 200));
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

} // namespace
