// Program start: the application object, the real platform services, the main window and the
// dialogs created after it, then the message loop until the main window closes.

#include "app/AboutBox.h"
#include "app/AppIcon.h"
#include "app/GuardedApplication.h"
#include "app/RegistryVariables.h"
#include "app/SessionEnd.h"
#include "app/ThalwiseForm.h"
#include "app/Translations.h"
#include "dialogs/AddText.h"
#include "dialogs/ArchiveManagerForm.h"
#include "platform/FileRegistry.h"
#include "platform/LocalFileSystem.h"
#include "platform/Paths.h"
#include "platform/QtDesktop.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtFontDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtPrinters.h"
#include "platform/Services.h"
#include "platform/SystemClock.h"

#include <QApplication>
#include <QFileInfo>
#include <QSessionManager>

int main(int argc, char* argv[]) {
    app::GuardedApplication application(argc, argv);
    // The name the program was started under picks the settings: a link named otherwise keeps
    // settings of its own (the executable's own path would resolve the link).
    const QString exeBaseName = platform::executableBaseName(
        argc > 0 ? QString::fromLocal8Bit(argv[0]) : QCoreApplication::applicationFilePath());
    application.setApplicationName(exeBaseName);
    application.setWindowIcon(app::appIcon());
    // The user's languages, where a translation exists; English as written otherwise.
    app::installTranslators(application);

    const QString registryPath = platform::defaultRegistryPath(exeBaseName);
    platform::FileRegistry registry(registryPath);
    platform::QtMessageBoxes messageBoxes;
    platform::QtFileDialogs fileDialogs;
    platform::SystemClock clock;
    platform::QtDesktop desktop;
    platform::QtPrinters printers;
    // The printer, paper and PDF folder chosen last come back with the program.
    printers.setSettings(&registry, settingsKeyFor(exeBaseName));
    printers.setFileDialogs(&fileDialogs);
    platform::LocalFileSystem fileSystem;
    platform::QtFontDialogs fontDialogs;
    platform::Services services;
    services.registry = &registry;
    services.messageBoxes = &messageBoxes;
    services.fileDialogs = &fileDialogs;
    services.clock = &clock;
    services.desktop = &desktop;
    services.printers = &printers;
    services.fileSystem = &fileSystem;
    services.fontDialogs = &fontDialogs;

    // The main window is created first; the dialogs follow in this order and live as long.
    auto* formThalwise =
        new TFormThalwise(services, settingsKeyFor(exeBaseName), application.arguments().mid(1));
    auto* aboutBox = new TAboutBoxVEK1(desktop, formThalwise);
    auto* formAddText = new TFormAddText(formThalwise);
    auto* formManageArchive = new TFormManageArchive(services, formThalwise);
    formThalwise->attachDialogs(aboutBox, formAddText, formManageArchive);
    formThalwise->UnsavedMarksFolder = QFileInfo(registryPath).absolutePath();
    messageBoxes.setParentWindow(formThalwise);
    application.setErrorReporter(
        [&messageBoxes](const QString& text) { messageBoxes.showError(text); });
    fileDialogs.setParentWindow(formThalwise);
    printers.setParentWindow(formThalwise);
    fontDialogs.setParentWindow(formThalwise);

    // The end of a session closes the window in order, as File > Exit does: a termination
    // signal closes it, the session manager's commit request saves and writes everything.
    app::TerminationWatcher termination;
    QObject::connect(&termination, &app::TerminationWatcher::terminationRequested, formThalwise,
                     [formThalwise] {
                         formThalwise->closeInOrder();
                         QCoreApplication::quit();
                     });
    QObject::connect(&application, &QGuiApplication::commitDataRequest, formThalwise,
                     [formThalwise](QSessionManager& manager) {
                         // Asked only where the session manager lets the window ask; a "keep
                         // the window open" answer keeps the session.
                         if (!formThalwise->commitSession(manager.allowsInteraction()))
                             manager.cancel();
                         manager.release();
                     });

    formThalwise->show();
    const int result = application.exec();
    delete formThalwise; // writes every setting back
    return result;
}
