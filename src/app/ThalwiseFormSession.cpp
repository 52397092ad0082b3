// The window's life cycle (start, settings, session end, closing), menu ticks and window commands.

#include "app/ThalwiseForm.h"

#include "app/AboutBox.h"
#include "app/AnnotatedImage.h"
#include "app/BreakLayerCache.h"
#include "app/ChartFiles.h"
#include "app/GuardedApplication.h"
#include "app/HelpWindow.h"
#include "app/ProgramFolders.h"
#include "app/RegistryVariables.h"
#include "app/RememberedCharts.h"
#include "app/SessionEnd.h"
#include "app/WindowLayout.h"
#include "app/vekImage.h"
#include "archive/TreeScan.h"
#include "dialogs/AddText.h"
#include "dialogs/ArchiveManagerForm.h"
#include "dialogs/BreakThresholdForm.h"
#include "dialogs/PrintForm.h"
#include "geo/AnnotationFile.h"
#include "geo/Palette.h"
#include "geo/TemperatureBreaks.h"
#include "geo/WaypointTable.h"
#include "gif/GIFImage.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/MessageBoxes.h"
#include "platform/PrintJob.h"
#include "platform/Printers.h"
#include "platform/ProfileFile.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>

QString TFormThalwise::initialCaption() {
    return tr("\"Pelagon\" Chart viewer (from Brinecast)");
}

void TFormThalwise::attachDialogs(TAboutBoxVEK1* aboutBox, TFormAddText* addText,
                                  TFormManageArchive* manageArchive) {
    m_aboutBox = aboutBox;
    m_addText = addText;
    m_manageArchive = manageArchive;
}

// ---------------------------------------------------------------------------------------------
// Life cycle

void TFormThalwise::FormCreate() {
    platform::Registry& registry = *m_services.registry;
    const QString& key = m_settingsKey;

    // 1. The desktop's standard font.
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));

    // 2. Open dialog filter and retention period.
    DataFilterIndex = std::make_unique<TRegistryInteger>(
        registry, key, settingNames::DataFilterIndex, settingDefaults::DataFilterIndex);
    DaysToKeep = std::make_unique<TRegistryInteger>(registry, key, settingNames::DaysToKeep,
                                                    settingDefaults::DaysToKeep);
    CheckDaysToKeepItem();

    // 3. Folders, area, annotation font and position format.
    // The open dialog first shows the downloads folder, where charts arrive (the program's
    // own folder is a build or system folder here).
    DataFolder = std::make_unique<TRegistryString>(
        registry, key, "DataFolder", defaultDataFolder(m_services.desktop->downloadsFolder()));
    DefaultArea = std::make_unique<TRegistryInteger>(registry, key, settingNames::DefaultArea,
                                                     settingDefaults::DefaultArea);
    Font = std::make_unique<TRegistryFont>(registry, key, settingNames::Font, nullptr);
    FontOutlined = std::make_unique<TRegistryBoolean>(registry, key, settingNames::FontOutlined,
                                                      settingDefaults::FontOutlined);
    DecimalDegrees = std::make_unique<TRegistryBoolean>(registry, key, settingNames::DecimalDegrees,
                                                        settingDefaults::DecimalDegrees);
    ShowLatLonFormat();

    // 4. Heading format.
    MagneticReadout = std::make_unique<TRegistryBoolean>(
        registry, key, settingNames::MagneticReadout, settingDefaults::MagneticReadout);
    ShowHeadingFormat();
    // Only what is read changes with the unit; everything stored stays in °F.
    TemperatureCelsius = std::make_unique<TRegistryBoolean>(
        registry, key, settingNames::TemperatureCelsius, settingDefaults::TemperatureCelsius);
    TemperatureBreaks = std::make_unique<TRegistryBoolean>(
        registry, key, settingNames::TemperatureBreaks, settingDefaults::TemperatureBreaks);
    BreakThreshold = std::make_unique<TRegistryDouble>(registry, key, settingNames::BreakThreshold,
                                                       settingDefaults::BreakThreshold);
    // A stored threshold no dialog would accept falls back to the default.
    if (!geo::isBreakThreshold(BreakThreshold->Value))
        BreakThreshold->Value = settingDefaults::BreakThreshold;
    // The view: fitted to the window for a new user, or the zoom chosen last.
    ZoomPercent = std::make_unique<TRegistryInteger>(registry, key, settingNames::ZoomPercent,
                                                     settingDefaults::ZoomPercent);
    if (!view::isZoomSetting(ZoomPercent->Value)) ZoomPercent->Value = view::FitToWindow;
    Zoomed = ZoomPercent->Value == view::ZoomedPercent;
    HighlightTemperature = std::make_unique<TRegistryBoolean>(
        registry, key, settingNames::HighlightTemperature, settingDefaults::HighlightTemperature);
    Isotherms = std::make_unique<TRegistryString>(registry, key, settingNames::Isotherms,
                                                  settingDefaults::Isotherms);
    IsothermsShown = std::make_unique<TRegistryBoolean>(registry, key, settingNames::IsothermsShown,
                                                        settingDefaults::IsothermsShown);

    // 5. The section view (it creates the settings key), then home.
    m_settingsSections = std::make_unique<TRegistryIniFile>(registry, key);
    HomeLat = std::make_unique<TRegistryDouble>(registry, key, settingNames::HomeLat,
                                                settingDefaults::HomeLat);
    HomeLon = std::make_unique<TRegistryDouble>(registry, key, settingNames::HomeLon,
                                                settingDefaults::HomeLon);

    // 6. The outline tick follows the setting (updateActions).

    // 7. Working lists.
    ChartImages.clear();
    AnnotationLines.clear();
    FoundFiles.clear();
    AnnotationTexts.clear();
    WaypointList.clear();
    SelectedWaypoint = -1;

    // 8. The chart bitmap stays empty until a chart is shown; the marker icon.
    BaseBitmap = QImage();
    m_chartTemperatures = geo::ChartTemperatures();
    WaypointIcon = QImage(QStringLiteral(":/WPT"));

    // 9. Waypoints, in the order of their numeric names rather than the store's order.
    WaypointList =
        waypointsInNameOrder(m_settingsSections->ReadSectionValues(settingNames::WaypointsSection));

    // 10. The two folders under the documents folder; failure to create them is not reported.
    const QString documents = m_services.desktop->documentsFolder();
    ArchiveFolder = app::archiveFolderFor(documents);
    ProgramInfoFolder = app::programInfoFolderFor(documents);
    QDir().mkpath(ArchiveFolder);
    QDir().mkpath(ProgramInfoFolder);

    // The archive's searches: the archive folder itself, never its subfolders. The window
    // stays responsive (painting, not input) while a big folder is read.
    auto scanner = [this](void (TFormThalwise::*found)(TTreeScanner&)) {
        auto made = std::make_unique<TTreeScanner>(*m_services.fileSystem);
        made->setRecursive(false);
        made->OnFileFound = [this, found](TTreeScanner& sender) { (this->*found)(sender); };
        made->setKeepResponsive(
            [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
        return made;
    };
    TreeScannerRecent = scanner(&TFormThalwise::TreeScannerRecentFileFound);
    TreeScannerAllGIF = scanner(&TFormThalwise::TreeScannerAllGIFFileFound);
    TreeScannerArchive = scanner(&TFormThalwise::TreeScannerArchiveFileFound);

    // 11. Area menu.
    BuildAreaMenu();
    CheckDefaultAreaItem();

    // 12. The user guide: one installed beside the executable or in a data folder, else the
    // one built in.
    const QString executableFolder = QCoreApplication::applicationDirPath();
    QStringList dataFolders{QDir(executableFolder).filePath(QStringLiteral("../share"))};
    dataFolders += QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    m_guideFolder = help::findGuideFolder(executableFolder, dataFolders);
}

void TFormThalwise::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFormThalwise::FormShow() {
    // 1. The scale strip from the built-in palette (stays empty when the palette is not 256
    //    lines), then the scale limits applied once.
    ScaleBitmap = geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText());
    ImageScale->setPicture(ScaleBitmap);
    layoutControls();
    TempScaleChange();
    // 3. The logo fills the scroll area.
    ImageLogo->setGeometry(ScrollBox->viewport()->rect());
    LoadLogo();
    // 4. Waypoint grid layout.
    SetupWaypointGrid();
    layoutControls();
    // 5. The start-up step follows shortly.
    TimerLoad->start();
}

void TFormThalwise::TimerLoadTimer() {
    TimerLoad->stop();
    RefreshWaypointGrid();
    m_waypointsChangeAttached = true;
    // The command-line path is opened as given, without the extension check of the open command.
    if (!m_arguments.isEmpty()) {
        OpenChart(m_arguments.first());
    } else {
        // Without one, the chart the window showed when it last closed comes back, if it is still
        // there.
        const auto last = m_services.registry->readValue(m_settingsKey, settingNames::LastChart);
        if (last && last->type == platform::ValueType::String && !last->text.isEmpty()) {
            // One that is gone is said in the empty view, where the chart would be: the
            // window opens without a box to dismiss.
            if (QFileInfo(last->text).isFile())
                OpenChart(last->text);
            else
                showEmptyView(app::chartGoneText(last->text));
        }
    }
    RunPurgeReminder();
    startDailyFetch();
}

void TFormThalwise::RunPurgeReminder() {
    const int today = platform::dayNumber(m_services.clock->now());
    // A day the reminder has run already is only read: a write locks the settings store on
    // disk, which the start would wait for.
    const std::optional<platform::RegistryValue> stored =
        m_services.registry->readValue(m_settingsKey, settingNames::LastPurgeReminder);
    if (stored && stored->type == platform::ValueType::Dword &&
        !app::purgeReminderDue(int(stored->dword), today))
        return;
    // Created for this step only: released (and so written) when the step ends, which keeps
    // the reminder to at most once per calendar day.
    TRegistryInteger lastReminder(*m_services.registry, m_settingsKey,
                                  settingNames::LastPurgeReminder,
                                  settingDefaults::LastPurgeReminder);
    if (app::purgeReminderDue(lastReminder.Value, today)) {
        MenuToolsPurgeOldChartsClick();
        lastReminder.Value = today;
    }
}

void TFormThalwise::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        // Taken while the window and its panels are still on screen as the user left them.
        storeWindowState();
        event->accept();
    } else {
        event->ignore();
    }
}

bool TFormThalwise::FormCloseQuery() {
    return saveBeforeEnding(!m_sessionCannotWait);
}

bool TFormThalwise::saveBeforeEnding(bool mayAsk) {
    // Quirk "close-keeps-unsaved-marks": marks or waypoints that cannot be written keep the
    // window open, with the choice to close without them; a session end that cannot wait for
    // an answer writes them next to the settings instead of losing them.
    QString unwrittenMarks;
    if (AnnotationsModified && AnnotationFile) {
        if (geo::saveAnnotations(*AnnotationFile, AnnotationLines, AnnotationTexts))
            AnnotationsModified = false;
        else
            unwrittenMarks = AnnotationFile->path();
    }
    const bool waypointsUnwritten = !SaveWaypoints();
    if (unwrittenMarks.isEmpty() && !waypointsUnwritten) return true;
    if (!mayAsk) {
        const QString kept =
            app::keepUnsavedMarks(UnsavedMarksFolder, geo::areaCode(CurrentArea), AnnotationLines,
                                  AnnotationTexts, geo::waypointsToSave(WaypointList));
        qWarning("%s", qPrintable(kept.isEmpty()
                                      ? QStringLiteral("marks and waypoints could not be kept")
                                      : QStringLiteral("marks and waypoints kept in ") + kept));
        return true;
    }
    return m_services.messageBoxes->show(app::unsavedMarksQuestion(
               ApplicationTitle, unwrittenMarks, waypointsUnwritten)) == platform::Button::Yes;
}

void TFormThalwise::FormDestroy() {
    if (m_destroyed) return;
    m_destroyed = true;
    TimerLoad->stop();
    TimerUpdateRange->stop();
    writeRecentCharts();
    SaveWaypoints();
    // Releasing a setting writes it back; this is the only time the window's settings are written.
    Font.reset();
    FontOutlined.reset();
    DecimalDegrees.reset();
    MagneticReadout.reset();
    TemperatureCelsius.reset();
    TemperatureBreaks.reset();
    BreakThreshold.reset();
    ZoomPercent.reset();
    HighlightTemperature.reset();
    Isotherms.reset();
    IsothermsShown.reset();
    ClearChartImages();
    AnnotationLines.clear();
    FoundFiles.clear();
    AnnotationTexts.clear();
    WaypointList.clear();
    WaypointIcon = QImage();
    HomeLat.reset();
    HomeLon.reset();
    BaseBitmap = QImage();
    m_chartTemperatures = geo::ChartTemperatures();
    DataFilterIndex.reset();
    DataFolder.reset();
    DefaultArea.reset();
    DaysToKeep.reset();
    m_settingsSections.reset();
}

bool TFormThalwise::commitSession(bool mayAsk) {
    if (m_destroyed) return true;
    const bool mayEnd = saveBeforeEnding(mayAsk);
    storeWindowState();
    for (TRegistryVariable* setting : std::initializer_list<TRegistryVariable*>{
             DataFilterIndex.get(), DaysToKeep.get(), DataFolder.get(), DefaultArea.get(),
             Font.get(), FontOutlined.get(), DecimalDegrees.get(), MagneticReadout.get(),
             TemperatureCelsius.get(), TemperatureBreaks.get(), BreakThreshold.get(), HomeLat.get(),
             HomeLon.get(), ZoomPercent.get(), HighlightTemperature.get(), Isotherms.get(),
             IsothermsShown.get()})
        if (setting) setting->Store();
    return mayEnd;
}

void TFormThalwise::closeInOrder() {
    app::GuardedApplication::cancelModalDialogs(this);
    // A signal's end of the session cannot wait for an answer.
    m_sessionCannotWait = true;
    close();
}

void TFormThalwise::FormResize() {
    app::ResizeInput in;
    in.clientWidth = m_client->width();
    in.statusBarTop = m_client->height(); // the status bar lies just below the client area
    in.scrollBoxTop = ScrollBox->y();
    in.imageScaleLeft = ImageScale->x();
    const app::ResizeResult out = app::formResize(in);
    ScrollBox->resize(ScrollBox->width(), std::max(0, out.scrollBoxHeight));
    TabControlImages->resize(std::max(0, out.tabControlWidth), TabControlImages->height());
}

void TFormThalwise::reportUnwritable(const QString& path) {
    m_services.messageBoxes->showError(platform::unableToWriteText(path));
}

// The routines that tick menu items leave it to the one place that does.
void TFormThalwise::CheckDaysToKeepItem() {
    updateActions();
}

void TFormThalwise::ShowLatLonFormat() {
    updateActions();
}

void TFormThalwise::ShowHeadingFormat() {
    updateActions();
}

void TFormThalwise::CheckDefaultAreaItem() {
    updateActions();
}

void TFormThalwise::updateActions() {
    if (m_destroyed) return;
    // A stored retention matching no item leaves every item unticked.
    if (DaysToKeep)
        for (QAction* item : m_daysToKeepGroup->actions())
            item->setChecked(item->data().toInt() == DaysToKeep->Value);
    if (DecimalDegrees) {
        MenuViewDecimalDegrees->setChecked(DecimalDegrees->Value);
        MenuViewDegreeMinutesSeconds->setChecked(!DecimalDegrees->Value);
    }
    if (MagneticReadout) {
        MenuViewMagnetic->setChecked(MagneticReadout->Value);
        MenuViewTrue->setChecked(!MagneticReadout->Value);
    }
    MenuViewCelsius->setChecked(TemperatureCelsius && TemperatureCelsius->Value);
    MenuViewBreaks->setChecked(TemperatureBreaks && TemperatureBreaks->Value);
    MenuViewIsotherms->setChecked(IsothermsShown && IsothermsShown->Value);
    // No area, the extra area and values outside the table have no item: the ticks stay.
    if (DefaultArea && m_areaGroup) {
        const QString code = geo::areaCode(DefaultArea->Value);
        if (!code.isEmpty())
            if (auto* item = findChild<QAction*>(QStringLiteral("MenuChooseArea") + code))
                item->setChecked(true);
    }
    MenuAnnotationOutline->setChecked(FontOutlined && FontOutlined->Value);
    // In steps other than 100 % and 200 % no view item is ticked.
    const int zoom = ZoomPercent ? ZoomPercent->Value : view::NormalPercent;
    MenuViewFit->setChecked(zoom == view::FitToWindow);
    MenuViewNormal->setChecked(zoom == view::NormalPercent);
    MenuViewZoom->setChecked(zoom == view::ZoomedPercent);
    MenuViewHighlight->setChecked(HighlightTemperature && HighlightTemperature->Value);
    MenuFileSaveAs->setEnabled(!AnnotationLines.isEmpty() || !AnnotationTexts.isEmpty());
    MenuFileExportChart->setEnabled(!BaseBitmap.isNull());
    MenuToolsWaypoints->setChecked(!DockWaypointList->isHidden());
    // Nothing to clear, print or export in an empty list without home.
    const bool hasWaypoints = !WaypointList.isEmpty();
    const bool hasTrip =
        hasWaypoints || (HomeLat && HomeLon && HomeLat->Value != 0.0 && HomeLon->Value != 0.0);
    PopupMenuWaypointClear->setEnabled(hasWaypoints);
    PopupMenuWaypointPrint->setEnabled(hasTrip);
    PopupMenuWaypointExportGpx->setEnabled(hasTrip);
    MenuFileExportGpx->setEnabled(hasTrip);
    if (m_undoStack) {
        MenuEditUndo->setEnabled(m_undoStack->canUndo());
        MenuEditUndo->setText(m_undoStack->canUndo() ? tr("&Undo %1").arg(m_undoStack->undoText())
                                                     : tr("&Undo"));
        MenuEditRedo->setEnabled(m_undoStack->canRedo());
        MenuEditRedo->setText(m_undoStack->canRedo() ? tr("&Redo %1").arg(m_undoStack->redoText())
                                                     : tr("&Redo"));
    }
}

// ---------------------------------------------------------------------------------------------
// Window commands

void TFormThalwise::MenuFileExitClick() {
    close();
}

void TFormThalwise::ButtonCloseClick() {
    close();
}

THelpWindow& TFormThalwise::helpWindow() {
    if (!m_helpWindow) {
        // A guide folder that cannot be read gives way to the guide built in.
        std::optional<help::Guide> guide = help::Guide::load(m_guideFolder);
        if (!guide) guide = help::Guide::load(QString::fromLatin1(help::BuiltInGuide));
        m_helpWindow = new THelpWindow(guide.value_or(help::Guide()), *m_services.desktop, this);
    }
    return *m_helpWindow;
}

void TFormThalwise::MenuFilePrintSetupClick() {
    if (m_services.printers) m_services.printers->printerSetup();
}

void TFormThalwise::createHelpActions() {
    using F = TFormThalwise;
    MenuHelp = addMenu(nullptr, "MenuHelp", tr("&Help"));
    MenuHelpContents =
        addMenuItem(MenuHelp, "MenuHelpContents", tr("&Contents..."), &F::MenuHelpClick);
    MenuHelpGettingStarted =
        addMenuItem(MenuHelp, "MenuHelpGettingStarted", tr("&Getting started..."),
                    &F::MenuHelpGettingStartedClick);
    MenuHelpIndex = addMenuItem(MenuHelp, "MenuHelpIndex", tr("&Index..."), &F::MenuHelpClick);
    MenuHelpSearch =
        addMenuItem(MenuHelp, "MenuHelpSearch", tr("&Search for Help On..."), &F::MenuHelpClick);
    MenuHelp->addSeparator();
    MenuHelpAbout = addMenuItem(MenuHelp, "MenuHelpAbout", tr("&About..."), &F::MenuHelpAboutClick);
}

void TFormThalwise::MenuHelpClick() {
    // One handler for the three commands; the command chosen picks the tab.
    const QObject* command = sender();
    THelpWindow::Tab tab = THelpWindow::Tab::Contents;
    if (command == MenuHelpIndex) tab = THelpWindow::Tab::Index;
    if (command == MenuHelpSearch) tab = THelpWindow::Tab::Search;
    helpWindow().showTab(tab);
}

void TFormThalwise::MenuHelpGettingStartedClick() {
    helpWindow().showContext(app::GettingStartedContext);
}

void TFormThalwise::MenuHelpAboutClick() {
    if (m_aboutBox) m_aboutBox->exec();
}

// ---------------------------------------------------------------------------------------------
// Remembering the window and its charts

namespace {
// Bumped when the window's panels change so much that an old layout would mislead.
constexpr int WindowStateVersion = 1;
} // namespace

void TFormThalwise::restoreWindowState() {
    const platform::Registry& registry = *m_services.registry;
    const auto binary = [&](const QString& name) {
        const auto value = registry.readValue(m_settingsKey, name);
        return value && value->type == platform::ValueType::Binary ? value->binary : QByteArray();
    };
    // Before the first show, so the window opens at its remembered size and a chart is fitted
    // to that, not to the default size.
    if (const QByteArray geometry = binary(settingNames::WindowGeometry); !geometry.isEmpty()) {
        restoreGeometry(geometry);
    } else if (const QScreen* screen = this->screen()) {
        // The first start: centred on the screen and no larger than it. The frame is not known
        // before the first show; a title bar and borders of the usual size are allowed for.
        const QSize frameAllowance(8, 38);
        const QRect frame = app::firstWindowFrame(screen->availableGeometry(),
                                                  minimumWindowSize() + frameAllowance);
        resize(frame.size() - frameAllowance);
        move(frame.topLeft());
    }
    if (const QByteArray state = binary(settingNames::WindowState); !state.isEmpty())
        restoreState(state, WindowStateVersion);
    // The list and its menu item follow its panel as it came back.
    StringGridWaypointList->setVisible(!DockWaypointList->isHidden());
    // A history panel that comes back open is not offered again by the first flip.
    if (!DockTemperatureHistory->isHidden()) m_historyOffered = true;
    RecentCharts = waypointsInNameOrder(
        m_settingsSections->ReadSectionValues(settingNames::RecentChartsSection));
    setMinimumSize(minimumWindowSize());
    updateActions();
}

void TFormThalwise::storeWindowState() {
    if (m_destroyed) return;
    writeRecentCharts();
    platform::Registry& registry = *m_services.registry;
    registry.writeValue(m_settingsKey, settingNames::WindowGeometry,
                        platform::RegistryValue::fromBinary(saveGeometry()));
    registry.writeValue(m_settingsKey, settingNames::WindowState,
                        platform::RegistryValue::fromBinary(saveState(WindowStateVersion)));
    // A window that shows no chart leaves the one remembered from before.
    if (CurrentImageIndex >= 0 && CurrentImageIndex < ChartImages.size())
        registry.writeValue(
            m_settingsKey, settingNames::LastChart,
            platform::RegistryValue::fromText(
                QFileInfo(ChartImages.at(CurrentImageIndex).path).absoluteFilePath()));
}

void TFormThalwise::rememberChart(const QString& path) {
    const QStringList recent = app::withRecentChart(
        RecentCharts, path.isEmpty() ? path : QFileInfo(path).absoluteFilePath());
    if (recent == RecentCharts || !m_settingsSections) return;
    RecentCharts = recent;
    // Written once the chart is on screen (or the window closes first): the store's lock and
    // write would hold the chart up.
    if (m_recentChartsPending) return;
    m_recentChartsPending = true;
    QTimer::singleShot(0, this, [this] { writeRecentCharts(); });
}

void TFormThalwise::writeRecentCharts() {
    if (!m_recentChartsPending || !m_settingsSections) return;
    m_recentChartsPending = false;
    m_settingsSections->ReplaceSection(settingNames::RecentChartsSection,
                                       waypointSectionEntries(RecentCharts));
}

void TFormThalwise::MenuFileOpenRecentPopup() {
    // Charts deleted or purged since are dropped, from the menu and from the settings.
    const QStringList existing = app::existingCharts(RecentCharts);
    if (existing != RecentCharts) {
        RecentCharts = existing;
        m_recentChartsPending = true;
        writeRecentCharts();
    }
    for (QAction* item : MenuFileOpenRecent->actions()) {
        if (!item->data().isValid()) continue;
        MenuFileOpenRecent->removeAction(item);
        item->deleteLater();
    }
    QAction* before = MenuFileOpenRecent->actions().value(0);
    for (int k = 0; k < RecentCharts.size(); ++k) {
        // The number is the item's access key; an ampersand of the name stays an ampersand.
        QString name = QFileInfo(RecentCharts[k]).fileName();
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* item =
            new QAction(QStringLiteral("&%1 %2").arg((k + 1) % 10).arg(name), MenuFileOpenRecent);
        item->setData(RecentCharts[k]);
        item->setToolTip(QDir::toNativeSeparators(RecentCharts[k]));
        MenuFileOpenRecent->insertAction(before, item);
    }
    MenuFileOpenRecentClear->setEnabled(!RecentCharts.isEmpty());
}

void TFormThalwise::MenuFileOpenRecentClick(QAction* item) {
    if (!item || !item->data().isValid()) return;
    const QString path = item->data().toString();
    if (AnnotationsModified) SaveIfModified();
    clearFlipTabs();
    if (CheckChartExtension(path)) OpenChart(path);
}

void TFormThalwise::MenuFileOpenRecentClearClick() {
    RecentCharts.clear();
    if (m_settingsSections) m_settingsSections->EraseSection(settingNames::RecentChartsSection);
}

void TFormThalwise::openDroppedCharts(const QStringList& paths) {
    const app::ChartDrop drop = app::chartDrop(paths);
    if (!drop.flip.isEmpty()) {
        // As the flip commands do: the set replaces what is shown, each chart with a tab.
        SelectArea(geo::chartAreaOfFile(drop.flip.first()));
        ClearChartImages();
        addDecodedCharts(drop.flip);
        RebuildImageTabs();
    } else if (!drop.open.isEmpty()) {
        if (AnnotationsModified) SaveIfModified();
        clearFlipTabs();
        if (CheckChartExtension(drop.open)) OpenChart(drop.open);
    }
    updateActions();
}

void TFormThalwise::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
}

void TFormThalwise::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    // After the drop has ended: a message box shown inside it would hold the source's drag.
    QTimer::singleShot(0, this, [this, paths] { openDroppedCharts(paths); });
}

void TFormThalwise::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The panels never take more than half the window from the chart.
    m_client->setMinimumSize(app::leastCentralSize(size()));
}
