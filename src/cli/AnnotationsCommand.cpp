// thalwise-cli annotations FILE.ini

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include <QTextStream>

namespace cli {

// What the window loads from an area's annotation file, in list order, one record a line:
// "line: X,Y X,Y ..." with every point, then "text: X,Y TEXT" with the text exactly. Never
// writes the file. Status 1 when the file does not exist or cannot be read.
int annotations(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("annotations");
    line.addArgument(QStringLiteral("FILE.ini"), QStringLiteral("An area's annotation file."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    if (line.arguments().size() != 1) return line.wrong(err);
    geo::Annotations loaded;
    if (!readAnnotationFile(line.arguments().front(), loaded, err)) return 1;
    for (const AnnotationLine& mark : loaded.lines) {
        out << "line:";
        for (const QPoint& point : mark.points)
            out << ' ' << point.x() << ',' << point.y();
        out << '\n';
    }
    for (const AnnotationText& text : loaded.texts)
        out << "text: " << text.centre.x() << ',' << text.centre.y() << ' ' << text.text << '\n';
    out.flush();
    return 0;
}

} // namespace cli
