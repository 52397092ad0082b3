#pragma once
// Shared set-up of the main-window tests: an application object, a settings store in a fresh
// temporary folder and the scripted platform fakes.

#include "app/RegistryVariables.h"
#include "app/ThalwiseForm.h"
#include "platform/FileRegistry.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "thalwise-tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// A window whose purge command and chart opening only record that they ran.
class RecordingForm : public TFormThalwise {
public:
    using TFormThalwise::TFormThalwise;
    void MenuToolsPurgeOldChartsClick() override { calls.append(QStringLiteral("purge")); }
    void OpenChart(const QString& path) override { calls.append(QStringLiteral("open ") + path); }
    QStringList calls;
};

// One settings store and one set of fakes that several windows in a row can share.
struct WindowRig {
    WindowRig() {
        ensureApplication();
        registry = std::make_unique<platform::FileRegistry>(storeDir.filePath("settings.reg"));
        desktop.folder = documentsDir.path();
        services.messageBoxes = &messageBoxes;
        services.fileDialogs = &fileDialogs;
        services.clock = &clock;
        services.desktop = &desktop;
        services.registry = registry.get();
        services.printers = &printers;
        services.fileSystem = &fileSystem;
        services.fontDialogs = &fontDialogs;
    }

    std::unique_ptr<RecordingForm> open(const QStringList& arguments = {}) {
        return std::make_unique<RecordingForm>(services, key, arguments);
    }
    // The window as the program makes it, every routine its own.
    std::unique_ptr<TFormThalwise> openWindow(const QStringList& arguments = {}) {
        return std::make_unique<TFormThalwise>(services, key, arguments);
    }

    QTemporaryDir storeDir;
    QTemporaryDir documentsDir;
    std::unique_ptr<platform::FileRegistry> registry;
    FakeMessageBoxes messageBoxes;
    FakeFileDialogs fileDialogs;
    FakeClock clock{QDateTime(QDate(2026, 3, 14), QTime(9, 30))};
    FakeDesktop desktop;
    FakePrinters printers;
    FakeFileSystem fileSystem;
    FakeFontDialogs fontDialogs;
    platform::Services services;
    const QString key = settingsKeyFor(QStringLiteral("thalwise-test"));
};
