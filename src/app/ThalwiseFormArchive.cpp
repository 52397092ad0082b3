// The chart archive and flipping: the Tools menu, flip commands, image tabs, tree scanners, purge.

#include "app/ThalwiseForm.h"

#include "app/AnnotatedImage.h"
#include "app/ChartFiles.h"
#include "app/HistoryPlot.h"
#include "app/RegistryVariables.h"
#include "app/SessionEnd.h"
#include "app/WindowLayout.h"
#include "archive/ArchiveTidyUp.h"
#include "archive/ChartDecoding.h"
#include "archive/ChartFlipping.h"
#include "archive/TreeScan.h"
#include "dialogs/AddText.h"
#include "dialogs/ArchiveManagerForm.h"
#include "dialogs/PrintForm.h"
#include "geo/TemperatureBreaks.h"
#include "gif/GIFImage.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolButton>

void TFormThalwise::createArchiveActions() {
    using F = TFormThalwise;
    MenuTools = addMenu(nullptr, "MenuTools", tr("&Tools"));
    MenuDefaultArea = addMenu(MenuTools, "MenuDefaultArea", tr("&Area to flip"));
    MenuToolsDeleteAfter = addMenu(MenuTools, "MenuToolsDeleteAfter", tr("&Delete charts after"));
    struct Retention {
        const char* name;
        const char* caption;
        int tag;
        QAction** item;
    };
    const Retention retention[] = {
        {"MenuToolsDeleteAfterUnlimited", "&Never", 0, &MenuToolsDeleteAfterUnlimited},
        {"MenuToolsDeleteAfter7days", "&7 days", 7, &MenuToolsDeleteAfter7days},
        {"MenuToolsDeleteAfter14days", "&14 days", 14, &MenuToolsDeleteAfter14days},
        {"MenuToolsDeleteAfter30days", "&30 days", 30, &MenuToolsDeleteAfter30days},
        {"MenuToolsDeleteAfter60days", "&60 days", 60, &MenuToolsDeleteAfter60days},
        {"MenuToolsDeleteAfter90days", "&90 days", 90, &MenuToolsDeleteAfter90days},
    };
    m_daysToKeepGroup = radioGroup("DaysToKeepGroup", {});
    for (const Retention& r : retention) {
        QAction* item =
            addMenuItem(MenuToolsDeleteAfter, r.name,
                        QCoreApplication::translate("ArchiveTidyUp", r.caption), nullptr);
        item->setData(r.tag);
        item->setCheckable(true);
        m_daysToKeepGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] {
            MenuToolsDaysToKeepClick(item);
            updateActions();
        });
        *r.item = item;
    }
    MenuToolsManageArchive = addMenuItem(MenuTools, "MenuToolsManageArchive",
                                         tr("&Manage archive..."), &F::MenuToolsManageArchiveClick);
    MenuToolsPurgeOldCharts = addMenuItem(MenuTools, "MenuToolsPurgeOldCharts",
                                          tr("&Purge old charts..."), &F::purgeChosenFromMenu);

    // The flipped charts' tabs by keyboard, as tabbed programs have it.
    const struct {
        const char* name;
        QList<QKeySequence> keys;
        void (TFormThalwise::*step)();
    } flipKeys[] = {
        {"ActionNextChart",
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
         &F::BitBtnRightClick},
        {"ActionPreviousChart",
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
          QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
         &F::BitBtnLeftClick},
    };
    for (const auto& key : flipKeys) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(key.name));
        action->setShortcuts(key.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, step = key.step] { (this->*step)(); });
    }
}

void TFormThalwise::MenuToolsDaysToKeepClick(QAction* item) {
    if (!item) return;
    DaysToKeep->Value = item->data().toInt();
}

void TFormThalwise::clearFlipTabs() {
    // One chart replaces any flipped set: no tabs, no arrows.
    const QSignalBlocker quiet(TabControlImagesTabs);
    while (TabControlImagesTabs->count() > 0)
        TabControlImagesTabs->removeTab(0);
    BitBtnLeft->hide();
    BitBtnRight->hide();
    layoutControls();
}

void TFormThalwise::MenuFileOpenArchiveClick() {
    if (AnnotationsModified) SaveIfModified();
    platform::FileDialogRequest request = OpenDialog;
    request.title = tr("Open archive chart to view");
    request.fileName.clear();
    request.folder = ArchiveFolder;
    request.filterIndex = 4; // "All GIF images (*.gif)"
    const std::optional<QString> chosen = m_services.fileDialogs->openFile(request);
    if (!chosen) return;
    clearFlipTabs();
    if (CheckChartExtension(*chosen)) OpenChart(*chosen);
}

// ---------------------------------------------------------------------------------------------
// The chart archive

void TFormThalwise::TreeScannerArchiveFileFound(TTreeScanner& sender) {
    FoundFiles.append(sender.FileFound());
}

void TFormThalwise::TreeScannerAllGIFFileFound(TTreeScanner& sender) {
    const QString path = sender.FileFound();
    if (archive::isPastRetention(m_services.fileSystem->lastWriteTime(path), DaysToKeep->Value,
                                 m_services.clock->now()))
        FoundFiles.append(path);
}

void TFormThalwise::TreeScannerRecentFileFound(TTreeScanner& sender) {
    // Collected, not decoded: only the charts that stay are decoded, all at once.
    FoundFiles.append(sender.FileFound());
}

QStringList TFormThalwise::pickArchivedCharts(const QString& mask, bool deleteMode) {
    TreeScannerArchive->setInitialDirectory(ArchiveFolder);
    TreeScannerArchive->setFileMask(mask);
    FoundFiles.clear();
    TreeScannerArchive->Search();
    QStringList ticked;
    if (!FoundFiles.isEmpty() && m_manageArchive) {
        m_manageArchive->DeleteMode = deleteMode;
        m_manageArchive->FileNames = archive::chartNames(FoundFiles);
        m_manageArchive->Folder = ArchiveFolder;
        m_manageArchive->ShowModal();
        ticked = m_manageArchive->FileNames;
        m_manageArchive->FileNames.clear();
    }
    FoundFiles.clear();
    return ticked;
}

void TFormThalwise::MenuToolsManageArchiveClick() {
    // The dialog removes what the user confirms.
    pickArchivedCharts(QStringLiteral("*.gif"), true);
    dropRemovedCharts();
}

void TFormThalwise::purgeChosenFromMenu() {
    // Quirk "never-says-why": chosen by the user with "Never" ticked, the command says why it
    // does nothing; the start-up reminder stays silent then.
    if (DaysToKeep->Value <= 0) {
        platform::MessageBoxRequest message;
        message.caption = QCoreApplication::translate("ArchiveTidyUp", archive::PurgeCaption);
        message.text = archive::purgeNeverText();
        message.icon = platform::Icon::Information;
        m_services.messageBoxes->show(message);
        return;
    }
    MenuToolsPurgeOldChartsClick();
}

void TFormThalwise::MenuToolsPurgeOldChartsClick() {
    FoundFiles.clear();
    if (DaysToKeep->Value <= 0) return;
    TreeScannerAllGIF->setInitialDirectory(ArchiveFolder);
    TreeScannerAllGIF->setFileMask(QStringLiteral("*.gif"));
    TreeScannerAllGIF->Search();
    if (FoundFiles.isEmpty()) return;
    platform::MessageBoxRequest question;
    question.caption = QCoreApplication::translate("ArchiveTidyUp", archive::PurgeCaption);
    question.text = archive::purgeQuestion(FoundFiles, DaysToKeep->Value);
    question.buttons = platform::Button::Yes | platform::Button::No;
    question.icon = platform::Icon::Question;
    question.defaultButton = platform::Button::No;
    if (m_services.messageBoxes->show(question) == platform::Button::Yes)
        archive::removeCharts(*m_services.fileSystem, *m_services.messageBoxes, FoundFiles,
                              question.caption);
    FoundFiles.clear();
    dropRemovedCharts();
}

bool TFormThalwise::AddChartImage(const QString& path) {
    TGIFImage chart;
    chart.LoadFromFile(path);
    const QImage bitmap = chart.bitmap();
    if (bitmap.isNull()) return false;
    return ChartImages.add(path, bitmap, gif::firstFrameCommentTexts(chart),
                           archive::chartPixelTemperatures(chart)) >= 0;
}

archive::ChartDecoding TFormThalwise::decodeChartsToFlip(const QStringList& paths) {
    // A long flip shows its progress and may be cancelled; a short one shows nothing.
    QProgressDialog progress(tr("Loading charts to flip..."), tr("Cancel"), 0, int(paths.size()),
                             this);
    progress.setWindowTitle(ApplicationTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoClose(false);
    return archive::decodeCharts(paths, [&progress](int done, int) {
        progress.setValue(done);
        return !progress.wasCanceled();
    });
}

bool TFormThalwise::addDecodedCharts(const QStringList& paths) {
    const archive::ChartDecoding decoded = decodeChartsToFlip(paths);
    for (const archive::DecodedChart& chart : decoded.charts)
        if (!chart.bitmap.isNull())
            ChartImages.add(chart.path, chart.bitmap, chart.comments, chart.temperatures);
    if (decoded.failedPath) {
        // The charts before it stay loaded.
        m_services.messageBoxes->showError(
            app::chartErrorText(*decoded.failedPath, decoded.failure));
        return false;
    }
    return !decoded.cancelled;
}

void TFormThalwise::MenuFileFlipLatestClick() {
    const int area = DefaultArea->Value;
    const QString code = geo::areaCode(area);
    if (area == geo::NoArea || code.isEmpty()) return;
    SelectArea(area);
    ClearChartImages();
    TreeScannerRecent->setFileMask(archive::flipMask(code));
    TreeScannerRecent->setInitialDirectory(ArchiveFolder);
    FoundFiles.clear();
    TreeScannerRecent->Search();
    const QStringList latest = archive::latestCharts(FoundFiles);
    FoundFiles.clear();
    // Quirk "stopped-flip-shows-its-charts": a flip cancelled or ended by a chart that does not
    // decode still gets the tabs of the charts it loaded; the tabs of the set before would
    // point into the new list, at another area's chart or at none.
    addDecodedCharts(latest);
    RebuildImageTabs();
}

void TFormThalwise::MenuFileFlipAnyImagesClick() {
    const QStringList ticked =
        pickArchivedCharts(archive::flipMask(geo::areaCode(DefaultArea->Value)), false);
    if (!archive::enoughChartsToFlip(int(ticked.size()))) return;
    ClearChartImages();
    QStringList paths;
    for (const QString& name : ticked)
        paths.append(ArchiveFolder + name);
    // Only the charts that stay are decoded; the message counts every distinct ticked one.
    const QStringList charts = archive::distinctCharts(paths);
    // A stopped flip shows the tabs of what it loaded (Quirk "stopped-flip-shows-its-charts").
    const bool complete = addDecodedCharts(archive::latestCharts(charts));
    if (complete && archive::overFlipLimit(int(charts.size()))) {
        platform::MessageBoxRequest message;
        message.caption = ApplicationTitle;
        message.text = archive::flipLimitMessage();
        m_services.messageBoxes->show(message);
    }
    RebuildImageTabs();
}

void TFormThalwise::fillImageTabs(int chartIndex) {
    const QList<archive::FlipTab> tabs = archive::flipTabs(ChartImages);
    {
        const QSignalBlocker quiet(TabControlImagesTabs);
        while (TabControlImagesTabs->count() > 0)
            TabControlImagesTabs->removeTab(0);
        int current = 0;
        for (const archive::FlipTab& tab : tabs) {
            const int index = TabControlImagesTabs->addTab(tab.caption);
            TabControlImagesTabs->setTabData(index, tab.chartIndex);
            TabControlImagesTabs->setTabToolTip(
                index, QDir::toNativeSeparators(ChartImages.at(tab.chartIndex).path));
            if (tab.chartIndex == chartIndex) current = index;
        }
        if (TabControlImagesTabs->count() > 0) TabControlImagesTabs->setCurrentIndex(current);
    }
    const bool arrows = archive::flipArrowsVisible(ChartImages.size());
    BitBtnLeft->setVisible(arrows);
    BitBtnRight->setVisible(arrows);
}

void TFormThalwise::dropRemovedCharts() {
    const QString shown = CurrentImageIndex >= 0 && CurrentImageIndex < ChartImages.size()
                              ? ChartImages.at(CurrentImageIndex).path
                              : QString();
    bool dropped = false;
    for (int i = ChartImages.size() - 1; i >= 0; --i) {
        if (QFileInfo(ChartImages.at(i).path).isFile()) continue;
        ChartImages.removeAt(i);
        dropped = true;
    }
    if (!dropped) return;
    if (ChartImages.isEmpty()) {
        showEmptyView(app::chartGoneText(shown));
        return;
    }
    // The charts that are left keep their tabs and the history; the one on screen stays when
    // it is still there.
    CurrentImageIndex = ChartImages.indexOf(shown);
    fillImageTabs(CurrentImageIndex);
    refreshTemperatureHistory();
    layoutControls();
    TabControlImagesChange();
}

void TFormThalwise::RebuildImageTabs() {
    ImageLogo->hide();
    LabelEmptyView->hide();
    archive::trimToLatest(ChartImages);
    fillImageTabs(-1);
    refreshTemperatureHistory();
    // The panel comes up by itself for the first flip; after that it is the user's to show.
    if (m_history.isActive() && !m_historyOffered) {
        m_historyOffered = true;
        // The window grows by the panel, so the chart keeps the room it had; where the screen
        // has no room for that, the panel comes up as a window of its own beside it.
        const int wanted = width() + PlotTemperatureHistory->sizeHint().width() + 6;
        const QScreen* screen = this->screen();
        if (screen && wanted > screen->availableGeometry().width()) {
            DockTemperatureHistory->setFloating(true);
            // On the screen and clear of the menu bar, beside the window where there is room.
            DockTemperatureHistory->setGeometry(app::floatingPanelFrame(
                screen->availableGeometry(), frameGeometry(),
                mapToGlobal(QPoint(0, menuBar()->geometry().bottom() + 1)).y(),
                PlotTemperatureHistory->sizeHint()));
        } else {
            resize(wanted, height());
        }
        DockTemperatureHistory->show();
    }
    layoutControls();
    TabControlImagesChange();
}

void TFormThalwise::TabControlImagesChange() {
    // A tab shows the chart it was made for (a chart without the ".gif" extension has none).
    const int tab = TabControlImagesTabs->currentIndex();
    const QVariant chart = TabControlImagesTabs->tabData(tab);
    CurrentImageIndex = chart.isValid() ? chart.toInt() : tab;
    if (CurrentImageIndex >= 0 && CurrentImageIndex < ChartImages.size()) {
        // Quirk "flipped-chart-own-range": each flipped chart is read under its own range and
        // variation, as opening it would read it, not under the chart opened last; one without
        // a range keeps the range in force. Its time stamp and comments follow it too.
        const ChartImage& shown = ChartImages.at(CurrentImageIndex);
        m_chartCommentTexts = shown.comments;
        ChartTimestamp = shown.metadata.timestamp;
        applyChartMetadata(shown.metadata);
    }
    ShowCurrentChart();
}

void TFormThalwise::BitBtnLeftClick() {
    if (const std::optional<int> tab = archive::previousFlipTab(
            TabControlImagesTabs->currentIndex(), TabControlImagesTabs->count())) {
        const QSignalBlocker quiet(TabControlImagesTabs);
        TabControlImagesTabs->setCurrentIndex(*tab);
        TabControlImagesChange();
    }
}

void TFormThalwise::BitBtnRightClick() {
    if (const std::optional<int> tab = archive::nextFlipTab(TabControlImagesTabs->currentIndex(),
                                                            TabControlImagesTabs->count())) {
        const QSignalBlocker quiet(TabControlImagesTabs);
        TabControlImagesTabs->setCurrentIndex(*tab);
        TabControlImagesChange();
    }
}
