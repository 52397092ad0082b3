// Renders the program's icon (app::drawAppIcon) as PNG files for the desktop's icon theme:
// render_app_icon OUTDIR SIZE... writes OUTDIR/<SIZE>x<SIZE>/apps/org.example.Thalwise.png.
// Exit status 0 when every file was written, 1 when one could not be, 2 for wrong arguments.

#include "app/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Drawing needs a GUI application but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.size() < 2) {
        err << "usage: render_app_icon OUTDIR SIZE..." << Qt::endl;
        return 2;
    }
    const QString outDir = args.takeFirst();
    for (const QString& sizeText : args) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            err << "render_app_icon: not an icon size: " << sizeText << Qt::endl;
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        const QString path = folder + QStringLiteral("/org.example.Thalwise.png");
        const QImage icon = app::drawAppIcon(size);
        if (!QDir().mkpath(folder) || icon.width() != size || !icon.save(path, "PNG")) {
            err << "render_app_icon: cannot write " << path << Qt::endl;
            return 1;
        }
    }
    return 0;
}
