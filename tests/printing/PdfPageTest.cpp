// A chart printed into a PDF file: the picture embedded once at its own pixels, on the page the
// banded print gives it, checked with poppler's pdfimages.

#include "platform/QtPrintJob.h"
#include "printing/BitmapPage.h"
#include "support/ToolRun.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Made once and never destroyed: tearing it down after the print support's own statics are
// gone crashes on exit.
void application() {
    static int argc = 1;
    static char name[] = "PdfPageTest";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

struct PdfImage {
    int width = 0, height = 0, xppi = 0, yppi = 0;
};

// The images of a PDF file as "pdfimages -list" lists them.
QList<PdfImage> pdfImages(const QString& file) {
    QList<PdfImage> images;
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    const QStringList lines =
        QString::fromUtf8(toolOutput("pdfimages", {"-list", file})).split(u'\n');
    for (const QString& line : lines.mid(2)) {
        const QStringList w = line.split(u' ', Qt::SkipEmptyParts);
        if (w.size() >= 14)
            images.append({w[3].toInt(), w[4].toInt(), w[12].toInt(), w[13].toInt()});
    }
    return images;
}

printing::PageJobResult printInto(const QString& file, const QImage& chart,
                                  const printing::PageOptions& options) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    platform::QtPrintJob job(printer);
    return PrintBitmapPage(job, chart, {}, {}, options);
}

TEST(PdfPage, ThePictureGoesInOnceAtItsOwnPixelsWhereTheBandsWouldPutIt) {
    SKIP_WITHOUT_TOOLS("pdfimages");
    application();
    QImage chart(1024, 1024, QImage::Format_Indexed8);
    for (int i = 0; i < 256; ++i)
        chart.setColor(i, qRgb(i, 255 - i, (i * 37) & 255));
    for (int y = 0; y < chart.height(); ++y)
        for (int x = 0; x < chart.width(); ++x)
            chart.setPixel(x, y, uint((x / 8 + y / 8) & 255));
    QTemporaryDir dir;
    printing::PageOptions options;
    options.caption = printing::ChartCaption{QStringLiteral("North-east area 1"),
                                             QStringLiteral("38.0°F"),
                                             QStringLiteral("62.0°F"),
                                             QImage(256, 1, QImage::Format_RGB32),
                                             {"TL", "TR", "BL", "BR"}};
    const printing::PageJobResult banded =
        printInto(dir.filePath(QStringLiteral("banded.pdf")), chart, options);
    options.wholePicture = true;
    const QString file = dir.filePath(QStringLiteral("whole.pdf"));
    const printing::PageJobResult whole = printInto(file, chart, options);
    ASSERT_EQ(whole.status, printing::PageJobStatus::Printed);
    EXPECT_EQ(whole.placement.page.area, banded.placement.page.area);
    EXPECT_EQ(whole.placement.image, banded.placement.image);
    EXPECT_GT(banded.placement.bands, 10);

    // The chart once, and the caption's colour bar; the chart's resolution is the page's
    // stretch: 1024 pixels over the fitted width at 600 dpi.
    const QList<PdfImage> images = pdfImages(file);
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(images[0].width, 1024);
    EXPECT_EQ(images[0].height, 1024);
    EXPECT_EQ(images[1].height, 1);
    const int ppi = int(std::lround(1024.0 * 600 / whole.placement.image.width()));
    EXPECT_NEAR(images[0].xppi, ppi, 1);
    EXPECT_NEAR(images[0].yppi, ppi, 1);
}

} // namespace
