#pragma once
// Shared set-up of the main-window tests: an application object, a settings store in a fresh
// temporary folder and the scripted platform fakes.

#include "app/RegistryVariables.h"
#include "app/ThalwiseForm.h"
#include "app/vekImage.h"
#include "platform/FileRegistry.h"
#include "platform/LocalFileSystem.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTableWidget>
#include <gtest/gtest.h>
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

// One settings store and one set of fakes that several windows in a row can share. The store
// holds the normal view (100 %) unless a new user is asked for: most tests drive the chart at its
// own pixels.
struct WindowRig {
    enum class User { AtNormalView, New };
    explicit WindowRig(User user = User::AtNormalView) {
        ensureApplication();
        registry = std::make_unique<platform::FileRegistry>(storeDir.filePath("settings.reg"));
        if (user == User::AtNormalView) {
            TRegistryInteger zoom(*registry, key, settingNames::ZoomPercent, 100);
        } // written as it goes
        desktop.folder = documentsDir.path();
        services.messageBoxes = &messageBoxes;
        services.fileDialogs = &fileDialogs;
        services.clock = &clock;
        services.desktop = &desktop;
        services.registry = registry.get();
        services.printers = &printers;
        services.fileSystem = &localFileSystem; // the archive lies in documentsDir
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
    FakeFileSystem fileSystem; // for a test that wires it in place of the disk
    platform::LocalFileSystem localFileSystem;
    FakeFontDialogs fontDialogs;
    platform::Services services;
    const QString key = settingsKeyFor(QStringLiteral("thalwise-test"));

    // The waypoint lines as the settings hold them, "NAME=TEXT" in the store's order.
    QStringList storedWaypoints() const {
        QStringList values;
        const QString section = key + QStringLiteral("\\Waypoints");
        for (const QString& name : registry->valueNames(section)) {
            const auto value = registry->readValue(section, name);
            values.append(name + '=' + (value ? value->text : QString()));
        }
        return values;
    }
};

// A cell of the waypoint grid as shown, "<none>" for a cell without an item.
inline QString waypointCell(const TFormThalwise& form, int row, int column) {
    const QTableWidgetItem* item = form.StringGridWaypointList->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

// ---- Driving the chart with the mouse, as a user would ----

inline QString sampleChart() {
    return QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif");
}

inline QString copySample(const QString& folder, const QString& name) {
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name);
    QFile::remove(path);
    EXPECT_TRUE(QFile::copy(sampleChart(), path)) << path.toStdString();
    return path;
}

// Display position of a chart pixel, scrolled into view.
inline QPoint onScreen(TFormThalwise& form, QPoint chartPixel) {
    const QPoint display = form.Zoomed ? chartPixel * 2 : chartPixel;
    form.ScrollBox->ensureVisible(display.x(), display.y(), 40, 40);
    QCoreApplication::processEvents();
    return display;
}

// A pointer move to a chart pixel, coming from one pixel aside so that it is a move.
inline void hover(TFormThalwise& form, QPoint chartPixel) {
    const QPoint at = onScreen(form, chartPixel);
    QTest::mouseMove(form.ImageDisplay, at + QPoint(1, 0));
    QTest::mouseMove(form.ImageDisplay, at);
}

inline void drag(TFormThalwise& form, QPoint from, QPoint via, QPoint to) {
    hover(form, from);
    QTest::mousePress(form.ImageDisplay, Qt::LeftButton, {}, onScreen(form, from));
    QTest::mouseMove(form.ImageDisplay, onScreen(form, via));
    QTest::mouseMove(form.ImageDisplay, onScreen(form, to));
    // Released a little further on: the line ends where the last move was seen.
    QTest::mouseRelease(form.ImageDisplay, Qt::LeftButton, {}, onScreen(form, to) + QPoint(3, 0));
}

inline void click(TFormThalwise& form, QPoint at) {
    hover(form, at);
    QTest::mouseClick(form.ImageDisplay, Qt::LeftButton, {}, onScreen(form, at));
}
