#include "cli/Commands.h"

#include "gif/GIFImage.h"

#include <QImage>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

namespace cli {

namespace {

constexpr char ProgramName[] = "thalwise-cli";

void reportError(QTextStream& err, const QString& file, const QString& message) {
    err << ProgramName << ": " << file << ": " << message << Qt::endl;
}

int usage(QTextStream& err) {
    err << "usage:" << Qt::endl;
    for (const Command& command : commands())
        err << "  " << ProgramName << ' ' << command.name << ' ' << command.usage << Qt::endl;
    return 2;
}

} // namespace

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"info", "FILE...", &info},
        {"decode", "FILE OUT.ppm", &decode},
    };
    return table;
}

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) return usage(err);
    for (const Command& command : commands())
        if (args.front() == QLatin1String(command.name)) return command.run(args.mid(1), out, err);
    err << ProgramName << ": unknown command " << args.front() << Qt::endl;
    return usage(err);
}

QStringList commentLines(const TGIFImage& image) {
    QStringList lines;
    if (image.imageCount() == 0) return lines;
    static const QRegularExpression lineBreak(QStringLiteral("[\r\n]"));
    for (const QString& line : gif::commentText(image.image(0)).split(lineBreak)) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty()) lines.append(trimmed);
    }
    return lines;
}

int info(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) return usage(err);
    int status = 0;
    bool first = true;
    for (const QString& path : args) {
        TGIFImage image;
        try {
            image.LoadFromFile(path);
        } catch (const GIFException& e) {
            reportError(err, path, e.message());
            status = 1;
            continue;
        }
        if (!first) out << '\n';
        first = false;
        out << "file: " << path << '\n';
        out << "width: " << image.width() << '\n';
        out << "height: " << image.height() << '\n';
        out << "frames: " << image.imageCount() << '\n';
        for (const QString& line : commentLines(image))
            out << "comment: " << line << '\n';
        out.flush();
    }
    return status;
}

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

int decode(const QStringList& args, QTextStream& /*out*/, QTextStream& err) {
    if (args.size() != 2) return usage(err);
    const QString& path = args[0];
    QImage bitmap;
    try {
        TGIFImage image;
        image.LoadFromFile(path);
        bitmap = image.bitmap();
    } catch (const GIFException& e) {
        reportError(err, path, e.message());
        return 1;
    }
    if (bitmap.isNull()) {
        reportError(err, path, QStringLiteral("no image data"));
        return 1;
    }
    QString error;
    if (!writePpm(bitmap, args[1], &error)) {
        reportError(err, args[1], error);
        return 1;
    }
    return 0;
}

} // namespace cli
