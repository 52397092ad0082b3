// thalwise-cli decode FILE OUT.ppm

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include "gif/GIFImage.h"

#include <QSaveFile>
#include <QTextStream>

namespace cli {

namespace {

// Writes image as binary PPM (P6, maxval 255) atomically. On failure returns false and sets
// *error to a one-line reason.
bool writePpm(const QImage& image, const QString& path, QString* error) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.write(QStringLiteral("P6\n%1 %2\n255\n").arg(rgb.width()).arg(rgb.height()).toLatin1());
    for (int y = 0; y < rgb.height(); ++y)
        file.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), qint64(rgb.width()) * 3);
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

// The whole image at the logical screen's size as binary PPM. Status 1 for a file that does not
// decode or an output that cannot be written.
int decode(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("decode");
    line.addArgument(QStringLiteral("FILE"), QStringLiteral("The GIF file."));
    line.addArgument(QStringLiteral("OUT.ppm"), QStringLiteral("The PPM file to write."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    const QStringList files = line.arguments();
    if (files.size() != 2) return line.wrong(err);
    TGIFImage image;
    QImage bitmap;
    if (!loadChart(files[0], image, bitmap, err)) return 1;
    QString error;
    if (!writePpm(bitmap, files[1], &error)) {
        reportError(err, files[1], error);
        return 1;
    }
    return 0;
}

} // namespace cli
