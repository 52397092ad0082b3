// thalwise-cli print CHART --pdf OUT.pdf [--selection X1,Y1,X2,Y2] [--annotations FILE.ini]

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include "gif/GIFImage.h"
#include "platform/QtPrintJob.h"
#include "printing/BitmapPage.h"

#include <QPrinter>
#include <QTextStream>

namespace cli {

namespace {

// "X1,Y1,X2,Y2": the corners of a selection, the second right of and below the first.
std::optional<QRect> readSelection(const QString& text, QString* why) {
    const QStringList corners = text.split(u',');
    bool ok = corners.size() == 4;
    int c[4] = {};
    for (int k = 0; ok && k < 4; ++k)
        c[k] = corners[k].toInt(&ok);
    if (!ok) {
        *why = text + QStringLiteral(": not a selection X1,Y1,X2,Y2 of four whole numbers");
        return std::nullopt;
    }
    if (c[2] <= c[0] || c[3] <= c[1]) {
        *why = text + QStringLiteral(": the second corner must lie right of and below the first");
        return std::nullopt;
    }
    return QRect(c[0], c[1], c[2] - c[0], c[3] - c[1]);
}

} // namespace

// One page as File > Print prints it, into a PDF file; prints the orientation, the
// evenly-margined area and the fitted picture in device pixels, and the number of bands.
// Needs a GUI application.
int print(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("print");
    line.addValue(QStringLiteral("pdf"), QStringLiteral("OUT.pdf"),
                  QStringLiteral("The PDF file to print into."));
    line.addValue(QStringLiteral("selection"), QStringLiteral("X1,Y1,X2,Y2"),
                  QStringLiteral("Print only this part of the chart, in chart pixels."));
    addAnnotationsOption(line);
    line.addArgument(QStringLiteral("CHART"), QStringLiteral("The chart to print."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    const QString pdf = line.value(QStringLiteral("pdf"));
    if (line.arguments().size() != 1 || pdf.isEmpty()) return line.wrong(err);
    const QString chartPath = line.arguments().front();
    const QString annotationFile = line.value(QStringLiteral("annotations"));
    std::optional<QRect> selection;
    if (line.isSet(QStringLiteral("selection"))) {
        QString why;
        selection = readSelection(line.value(QStringLiteral("selection")), &why);
        if (!selection) return line.wrong(err, QStringLiteral("--selection ") + why);
    }

    TGIFImage image;
    QImage chart;
    if (!loadChart(chartPath, image, chart, err)) return 1;
    geo::Annotations annotations;
    if (!annotationFile.isEmpty() && !readAnnotationFile(annotationFile, annotations, err))
        return 1;
    const QImage composed = composedChart(chartPath, chart, annotations);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    platform::QtPrintJob job(printer);
    // A PDF file keeps the picture as it is sent: once, at its own pixels.
    printing::PageOptions options;
    options.wholePicture = true;
    const printing::PageJobResult result = PrintBitmapPage(job, composed, selection, {}, options);
    if (result.status != printing::PageJobStatus::Printed) {
        reportError(err, pdf,
                    result.message.isEmpty() ? QStringLiteral("the page could not be printed")
                                             : result.message);
        return 1;
    }
    const QRect area = result.placement.page.area;
    const QRect placed = result.placement.image;
    out << "orientation: "
        << (result.orientation == platform::PageOrientation::Landscape ? "landscape" : "portrait")
        << Qt::endl;
    out << "area: " << area.width() << " x " << area.height() << " at " << area.left() << ','
        << area.top() << Qt::endl;
    out << "image: " << placed.width() << " x " << placed.height() << " at " << placed.left() << ','
        << placed.top() << Qt::endl;
    out << "bands: " << result.placement.bands << Qt::endl;
    return 0;
}

} // namespace cli
