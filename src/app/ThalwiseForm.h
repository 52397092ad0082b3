#pragma once
#include "app/ChartDisplay.h"
#include "app/PointerReadout.h"
#include "app/TemperatureHistory.h"
#include "app/ViewScale.h"
#include "archive/ChartImages.h"
#include "geo/AreaStuff.h"
#include "geo/ChartTemperatures.h"
#include "geo/TemperatureScale.h"
#include "platform/FileDialogs.h"
#include "platform/Services.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QPainter;
class QDockWidget;
class THistoryPlot;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QSlider;
class QSpinBox;
class QStatusBar;
class QNetworkAccessManager;
class TFormGetCharts;
namespace fetch {
class ChartFetcher;
}
class QTabBar;
class QTableWidget;
class QTimer;
class QToolButton;
class QUndoStack;

class TTreeScanner;
class TvekImage;
class TRegistryBoolean;
class TRegistryDouble;
class TRegistryFont;
struct StoredFont;
class TRegistryIniFile;
class TRegistryInteger;
class TRegistryString;
class TAboutBoxVEK1;
class THelpWindow;
class TFormAddText;
class TFormManageArchive;
class TFormPrint;
class TFormExport;
class TGIFImage;

namespace app {
class BreakLayerCache;
struct BreakLayerKey;
class HighlightLayerCache;
struct HighlightKey;
struct BreakLineLayer;
class IsothermLayerCache;
struct IsothermLayerKey;
struct IsothermLayer;
} // namespace app
namespace archive {
struct ChartDecoding;
enum class ChartPicture;
} // namespace archive
namespace geo {
struct BreakLayer;
struct HighlightLayer;
} // namespace geo

namespace platform {
class ProfileFile;
}

// The program's one main window. It owns every piece of working state: the settings (read when
// the window is created, written back when it is destroyed), the decoded charts, the
// annotations, the waypoints and the two per-user folders. Controls and menu items are public
// members named like their objectName so that units and tests can reach them.
class TFormThalwise : public QMainWindow {
    Q_OBJECT

public:
    // The isotherms' request as the user wrote it and whether they are shown.
    struct IsothermRequest {
        QString temperatures;
        bool shown = false;
    };

    // Members are grouped by the file that holds their room of the window, in the files' order;
    // controls and menu items keep their component names.

    // ---- Shell (ThalwiseForm.cpp): building the window, laying it out, passing on events ----
    // arguments: the command-line arguments after the program name; the first names a chart
    // to open shortly after the window is first shown. services must outlive the window.
    TFormThalwise(const platform::Services& services, const QString& settingsKey,
                  const QStringList& arguments, QWidget* parent = nullptr);
    ~TFormThalwise() override;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* MenuFile = nullptr;
    QMenu* MenuEdit = nullptr;
    QMenu* MenuAnnotation = nullptr;
    QMenu* MenuView = nullptr;

    // ---- Life cycle (ThalwiseFormSession.cpp): start, settings, closing, ticks, help ----
    // The dialogs program start creates after the window; the window shows them on demand.
    // None is owned here (program start gives them the window as parent).
    void attachDialogs(TAboutBoxVEK1* aboutBox, TFormAddText* addText,
                       TFormManageArchive* manageArchive);

    // The window's initial caption.
    static QString initialCaption();
    void FormCreate();
    void FormShow();
    void TimerLoadTimer();
    // False (the window stays open) when marks or waypoints could not be written and the user
    // chose to keep the window; see saveBeforeEnding.
    bool FormCloseQuery();
    void FormDestroy();
    void FormResize();
    // The session is ending (the session manager's commit request): pending annotations and
    // waypoints are saved and every setting written now, as closing would, in case the process
    // does not get to close.
    // False when the user chose to keep the session (mayAsk: the session manager lets the
    // window ask); without asking, marks that cannot be written go to UnsavedMarksFolder.
    bool commitSession(bool mayAsk = false);
    // Closes the window in order, as File > Exit does, also from inside a modal dialog (which
    // is cancelled first): for a termination signal.
    void closeInOrder();
    void RunPurgeReminder();
    void CheckDaysToKeepItem();
    void ShowLatLonFormat();
    void ShowHeadingFormat();
    void CheckDefaultAreaItem();
    // Brings every tick and enabled state in line with the settings and the state.
    void updateActions();
    // Puts a chart shown by an open first in the recent list and stores the list.
    void rememberChart(const QString& path);
    // Writes the window's size, place and panels and the chart on screen to the settings, for
    // the next start to bring back.
    void storeWindowState();
    // Opens files dropped on the window: one as "&Open..." opens it, several charts of one area
    // as a flip, else the first.
    void openDroppedCharts(const QStringList& paths);
    QPushButton* ButtonClose = nullptr;
    QTimer* TimerLoad = nullptr;
    // The last charts opened, newest first, then "Clear list".
    QMenu* MenuFileOpenRecent = nullptr;
    QAction* MenuFileGetCharts = nullptr;
    QAction* MenuFileOpenRecentClear = nullptr;
    QAction* MenuFilePrintSetup = nullptr;
    QAction* MenuFileExit = nullptr;
    QMenu* MenuHelp = nullptr;
    QAction* MenuHelpContents = nullptr;
    QAction* MenuHelpGettingStarted = nullptr;
    QAction* MenuHelpIndex = nullptr;
    QAction* MenuHelpSearch = nullptr;
    QAction* MenuHelpAbout = nullptr;
    // Settings (released, and so written back, by FormDestroy):
    std::unique_ptr<TRegistryInteger> DataFilterIndex;
    std::unique_ptr<TRegistryInteger> DaysToKeep;
    std::unique_ptr<TRegistryString> DataFolder;
    std::unique_ptr<TRegistryInteger> DefaultArea;
    std::unique_ptr<TRegistryFont> Font;
    std::unique_ptr<TRegistryBoolean> FontOutlined;
    std::unique_ptr<TRegistryBoolean> DecimalDegrees;
    std::unique_ptr<TRegistryBoolean> MagneticReadout;
    std::unique_ptr<TRegistryBoolean> TemperatureCelsius; // temperatures read in °C, kept in °F
    std::unique_ptr<TRegistryBoolean> TemperatureBreaks;  // the break lines shown
    std::unique_ptr<TRegistryDouble> BreakThreshold;      // °F per NM
    std::unique_ptr<TRegistryInteger> ZoomPercent;        // 0 fits the chart, else 25..800
    std::unique_ptr<TRegistryBoolean> HighlightTemperature;
    std::unique_ptr<TRegistryString> Isotherms;           // "68, 70, 72" or "every 2"
    std::unique_ptr<TRegistryBoolean> IsothermsShown;     // the isotherms on the chart
    std::unique_ptr<TRegistryString> FetchAreas;   // the areas to get, "ne01,fl10"
    std::unique_ptr<TRegistryString> FetchSource;  // the data source's name
    std::unique_ptr<TRegistryBoolean> FetchDaily;  // get them once a day at start-up
    std::unique_ptr<TRegistryString> FetchLastDay; // the day they were last got so, ISO
    std::unique_ptr<TRegistryString> FetchServer;  // a mirror of the data servers, or empty
    std::unique_ptr<TRegistryIniFile> m_settingsSections; // the "Waypoints" section lives here
    std::unique_ptr<TRegistryDouble> HomeLat;
    std::unique_ptr<TRegistryDouble> HomeLon;
    QString ProgramInfoFolder; // ends in a separator
    // The charts opened last, newest first (File > "Open recent"), as the settings keep them.
    QStringList RecentCharts;
    // The application's title: the task-bar text while a chart is shown and the caption of the
    // window's message boxes. Kept apart from the application's display name, which the
    // platform would append to every window caption.
    QString ApplicationTitle;
    QString m_guideFolder; // where the user guide is read from
    // Where marks and waypoints go when a session end cannot wait while their own files cannot
    // be written: the settings' folder (set by program start); empty keeps nothing.
    QString UnsavedMarksFolder;

    // ---- Charts and display (ThalwiseFormCharts.cpp): open, intake, zoom, repaint, scale ----
    void ClearChartImages();
    // True when the file exists and its extension is ".gif"; a file with another extension is
    // refused with a message box, a missing one silently.
    bool CheckChartExtension(const QString& path);
    // Opens a chart: metadata, archive intake, display. A file that does not decode is reported
    // in the error box and changes nothing on screen.
    virtual void OpenChart(const QString& path);
    // Reads the chart's comment metadata and applies the scale range and the variation; returns
    // the time stamp (empty without one, or when the file does not exist). Throws GIFException
    // when the file does not decode, before anything has changed.
    QString ReadChartMetadata(const QString& path);
    // Shows one chart file as the only entry of ChartImages. Throws GIFException when the file
    // does not decode, before anything has changed.
    void DisplayChartFile(const QString& path);
    // Where a chart from outside the archive is filed; hands back the path to show, or nothing
    // to show nothing. Until the archive is built, the input itself. A chart whose picture ends
    // early is never filed.
    virtual std::optional<QString> ArchiveIntake(const QString& path, const QString& timestamp,
                                                 archive::ChartPicture picture);
    void ShowScaleControls(bool visible);
    void SelectArea(int index);
    // The current area's mapping between positions and chart pixels; false without an area.
    bool GeoToPixel(float latitude, float longitude, int& x, int& y) const;
    bool PixelToGeo(int x, int y, GeoPosition& position) const;
    void ShowCurrentChart();
    // Shows the age of the chart on screen, or nothing for a chart without a date.
    void updateChartAge();
    // When the chart on screen was made, from its archive name or its comment; nothing for
    // none.
    std::optional<QDateTime> chartTime() const;
    void RepaintChart();
    // The chart on screen is a picture saved with the area's marks drawn in (Save As): they are
    // not drawn again and cannot be changed over it.
    bool marksDrawnIn() const;
    // Writes every temperature on screen in the unit the setting asks for: the slider label,
    // the scale's tool-tips, status panel 1 and the waypoint grid.
    void ShowTemperatureUnit();
    void BuildAreaMenu();
    void ApplyZoom();
    // View pixels per chart pixel as shown now: the zoom, or the fit of the chart in the view.
    view::Scale viewScale() const;
    // Shows the chart at zoom (a percentage, or view::FitToWindow) keeping the chart pixel under
    // viewPoint of the scroll box's view where it is (the centre without one).
    void setZoom(int zoom, std::optional<QPoint> viewPoint = std::nullopt);
    // One zoom step in (direction > 0) or out, keeping the chart under viewPoint.
    void zoomStep(int direction, std::optional<QPoint> viewPoint = std::nullopt);
    // Wheel over the chart: forward zooms in, backward returns to the normal view, keeping the
    // chart pixel under the pointer (at viewPoint of the scroll box's view) where it is; without
    // a point (the pointer elsewhere), the centre of the view stays. With Ctrl it zooms a step
    // a notch instead. Always handled.
    bool FormMouseWheel(int wheelDelta, std::optional<QPoint> viewPoint = std::nullopt,
                        Qt::KeyboardModifiers modifiers = {});
    void TempScaleChange();
    void LoadLogo();
    QWidget* TabControlImages = nullptr; // frame holding the tab bar and the scroll box
    QScrollArea* ScrollBox = nullptr;
    QLabel* ImageLogo = nullptr;
    QLabel* LabelEmptyView = nullptr; // under the logo: why no chart is shown, when one was meant
    TvekImage* ImageDisplay = nullptr;
    TvekImage* ImageScale = nullptr;
    QSlider* TrackBarTemperature = nullptr;
    QLabel* LabelMax = nullptr;
    QSpinBox* UpDownScaleMax = nullptr;
    QLineEdit* EditScaleMax = nullptr; // the spinner's own edit
    QLabel* LabelMin = nullptr;
    QSpinBox* UpDownScaleMin = nullptr;
    QLineEdit* EditScaleMin = nullptr;
    QLabel* LabelTemp = nullptr;
    // How old the chart on screen is, at the status bar's right end; a warning colour when stale.
    QLabel* LabelChartAge = nullptr;
    QTimer* TimerChartAge = nullptr; // keeps the age current while the window stays open
    QTimer* TimerUpdateRange = nullptr;
    // Dialog templates (OpenDialog here, SaveDialog, GpxDialog and ExportDialog in their rooms):
    // the window keeps title, filter, filter index and folder between uses.
    platform::FileDialogRequest OpenDialog;
    QAction* MenuFileOpenOne = nullptr;
    QAction* MenuViewFit = nullptr; // the whole chart in the view, kept so as the window changes
    QAction* MenuViewNormal = nullptr;
    QAction* MenuViewZoom = nullptr;
    QAction* MenuViewZoomStepIn = nullptr; // one zoom step, 25 % to 800 %
    QAction* MenuViewZoomStepOut = nullptr;
    QMenu* MenuDefaultArea = nullptr;
    archive::ChartImageList ChartImages; // sorted by path, each entry owning its bitmap
    int CurrentImageIndex = -1;
    QImage BaseBitmap;   // the current chart without overlays, 32-bit RGB once filled
    bool Zoomed = false; // the view is at "&Zoom in"'s 200 % (ZoomPercent holds the view)
    int CurrentArea = 0;
    geo::Calibration m_calibration; // of CurrentArea; invalid (no mapping) for 0 and 31
    QString ChartTimestamp;         // of the chart shown; empty without one
    bool HasVariation = false;
    float MagneticVariation = 0;
    QString CurrentChartPath;
    // Temperature scale: the strip built from the built-in palette and its lookup tables.
    QImage ScaleBitmap; // 30 x 256, null until the window is first shown
    geo::TemperatureScale m_temperatureScale;
    // What the current chart's pixels read, asked by the pointer, a new waypoint, the breaks,
    // isotherms, highlight and exports: the chart's data when it carries any, else its colours
    // under m_temperatureScale. Set where the chart is shown, its scale when the range changes.
    geo::ChartTemperatures m_chartTemperatures;

    // ---- Pointer and marks (ThalwiseFormPointer.cpp): readouts, tools, annotations, undo ----
    void SaveIfModified();
    void LoadAnnotations();
    // Rewrites the area's lines and texts; false (after the error box) when the file cannot be
    // written, the lists unchanged.
    bool SaveAnnotations();
    // The annotation tools' routines, on chart pixels.
    int FindTextAt(int x, int y) const;
    bool EraseTextAt(int x, int y);
    void EraseLineIn(int x1, int y1, int x2, int y2);
    // Status bar panel texts: 0 position, 1 temperature, 2 range and heading, 3 chart pixel.
    QString statusPanelText(int panel) const;
    QString statusPanelToolTip(int panel) const;
    void setStatusPanelText(int panel, const QString& text);
    QList<QToolButton*> m_toolButtons; // the pointer tools, one checked at a time
    QToolButton* SpeedButtonMeasure = nullptr;
    QToolButton* SpeedButtonDraw = nullptr;
    QToolButton* SpeedButtonErase = nullptr;
    QToolButton* SpeedButtonText = nullptr;
    QToolButton* SpeedButtonWaypoint = nullptr;
    QToolButton* SpeedButtonPolyline = nullptr;
    QToolButton* SpeedButtonWaypointHome = nullptr;
    QStatusBar* StatusBar = nullptr;
    platform::FileDialogRequest SaveDialog;
    QAction* MenuFileSaveAs = nullptr;
    QAction* MenuEditUndo = nullptr; // "&Undo Add line": names the change it undoes
    QAction* MenuEditRedo = nullptr;
    QAction* MenuClearAll = nullptr;
    QAction* MenuAnnotationFont = nullptr;
    QAction* MenuAnnotationOutline = nullptr;
    QAction* MenuViewDecimalDegrees = nullptr;
    QAction* MenuViewDegreeMinutesSeconds = nullptr;
    QAction* MenuViewMagnetic = nullptr;
    QAction* MenuViewTrue = nullptr;
    QList<AnnotationLine> AnnotationLines;
    QList<AnnotationText> AnnotationTexts;
    // The changes of lines, texts, waypoints and home, to undo and redo. It starts again when
    // another area's marks are loaded: an undo never changes marks that are not on screen.
    QUndoStack* m_undoStack = nullptr;
    bool AnnotationsModified = false;
    QString SaveAsName;
    // The current area's annotation file; none before the first chart.
    std::unique_ptr<platform::ProfileFile> AnnotationFile;
    // Pointer state of the chart (chart pixels).
    app::PointerTool PointerTool = app::PointerTool::Measure;
    QPoint PressPoint;
    GeoPosition PressPosition;
    bool Dragging = false;
    bool m_pressMapped = false; // the last press was on a pixel with a position
    QPoint LastPointerPoint;
    float WaypointTemperature = 0.0f; // °F, 0 for none
    float m_panelTemperature = 0.0f;  // what status panel 1 reads, °F; 0 when it reads nothing

    // ---- Waypoints (ThalwiseFormWaypoints.cpp): the list, its menu, GPX ----
    void SetupWaypointGrid();
    void RefreshWaypointGrid();
    bool SaveWaypoints();    // false when the settings store could not be written
    void WaypointsChanged(); // call after every change of WaypointList
    QTableWidget* StringGridWaypointList = nullptr;
    // The waypoint list's panel: docked beside the chart, floated or closed by the user.
    QDockWidget* DockWaypointList = nullptr;
    QMenu* PopupMenuWaypoint = nullptr;
    platform::FileDialogRequest GpxDialog; // waypoint export and import
    QAction* MenuFileExportGpx = nullptr;
    QAction* MenuFileImportGpx = nullptr;
    QAction* MenuToolsWaypoints = nullptr;
    QAction* PopupMenuWaypointClear = nullptr;
    QAction* PopupDetailsWpt = nullptr;
    QAction* PopupMenuWaypointDelete = nullptr;
    QAction* PopupMenuWaypointPrint = nullptr;
    QAction* PopupMenuWaypointExportGpx = nullptr;
    QAction* PopupMenuWaypointImportGpx = nullptr;
    QAction* PopupMenuWaypointHideTable = nullptr;
    QStringList WaypointList;
    int SelectedWaypoint = -1;
    QImage WaypointIcon; // 32 x 32, tip at column 10, row 27

    // ---- Archive and flipping (ThalwiseFormArchive.cpp): flips, tabs, Tools menu ----
    // Decodes a chart and files it into ChartImages; false when it was passed over (no picture,
    // or listed already). Throws GIFException when the file does not decode.
    bool AddChartImage(const QString& path);
    // After a flip: at most 10 charts, one tab each, the arrows, the first tab shown.
    void RebuildImageTabs();
    void TreeScannerArchiveFileFound(TTreeScanner& sender);
    void TreeScannerAllGIFFileFound(TTreeScanner& sender);
    void TreeScannerRecentFileFound(TTreeScanner& sender);
    QTabBar* TabControlImagesTabs = nullptr;
    QToolButton* BitBtnLeft = nullptr;
    QToolButton* BitBtnRight = nullptr;
    // The archive's three searches: charts to flip, charts past the retention period, and
    // every chart of a mask for the picking dialog. Only the archive folder itself is searched.
    std::unique_ptr<TTreeScanner> TreeScannerRecent;
    std::unique_ptr<TTreeScanner> TreeScannerAllGIF;
    std::unique_ptr<TTreeScanner> TreeScannerArchive;
    QAction* MenuFileOpenArchive = nullptr;
    QAction* MenuFileFlipAnyImages = nullptr;
    QAction* MenuFileFlipLatest = nullptr;
    QMenu* MenuTools = nullptr;
    QMenu* MenuToolsDeleteAfter = nullptr;
    QAction* MenuToolsDeleteAfterUnlimited = nullptr;
    QAction* MenuToolsDeleteAfter7days = nullptr;
    QAction* MenuToolsDeleteAfter14days = nullptr;
    QAction* MenuToolsDeleteAfter30days = nullptr;
    QAction* MenuToolsDeleteAfter60days = nullptr;
    QAction* MenuToolsDeleteAfter90days = nullptr;
    QAction* MenuToolsManageArchive = nullptr;
    QAction* MenuToolsPurgeOldCharts = nullptr;
    QString ArchiveFolder; // ends in a separator
    QStringList FoundFiles;

    // ---- Printing (ThalwiseFormPrinting.cpp) ----
    QAction* MenuFilePrint = nullptr;

    // ---- Export (ThalwiseFormExport.cpp) ----
    QAction* MenuFileExportChart = nullptr;
    platform::FileDialogRequest ExportDialog; // the chart for plotters and chart software

    // ---- Extras (ThalwiseFormExtras.cpp): history, °C, breaks, isotherms, highlight ----
    // Builds the history of the charts held anew (after a flip or a change of the scale) and
    // shows it where it was.
    void refreshTemperatureHistory();
    // Reads the history at the pointer's chart pixel for the temperature panel's tool-tip and,
    // unless a spot is pinned, the plot, titled with the position where.
    void followPointerInHistory(QPoint pixel, const QString& where);
    // Plots the history at the pinned pixel.
    void plotPinnedHistory();
    // Panel 0's text for a chart pixel, empty where it has no position.
    QString chartPixelPositionText(QPoint pixel) const;
    // The water's history at the spot under the pointer (or a pinned one) across the flipped
    // charts; hidden until a flip brings two charts or more.
    QDockWidget* DockTemperatureHistory = nullptr;
    THistoryPlot* PlotTemperatureHistory = nullptr;
    QAction* MenuViewTemperatureHistory = nullptr; // the panel's own show/hide item
    QMenu* PopupMenuChart = nullptr;               // right-click on the chart with a history
    QAction* PopupMenuChartPin = nullptr;
    QAction* PopupMenuChartUnpin = nullptr;
    QAction* MenuViewHighlight = nullptr; // the water of the slider's temperature picked out
    QAction* MenuViewCelsius = nullptr;
    QAction* MenuViewBreaks = nullptr;         // the temperature-break lines on the chart
    QAction* MenuViewBreakThreshold = nullptr; // how steep a break must be
    QAction* MenuViewIsotherms = nullptr;      // the isotherms' dialog; ticked while shown
    // The history of the flip set: its charts' tables, the last reading, the pinned pixel.
    app::TemperatureHistory m_history;
    std::vector<app::HistoryPoint> m_historyPoints;
    std::optional<QPoint> m_pinnedPixel;

public slots:
    // ---- Life cycle ----
    void MenuFileExitClick();
    void ButtonCloseClick();
    // Shared by "&Contents...", "&Index..." and "&Search for Help On...".
    void MenuHelpClick();
    void MenuHelpGettingStartedClick();
    void MenuHelpAboutClick();
    // File > "Open recent": the list without the charts that are gone; a chart opens as
    // "&Open..." opens it; "Clear list" empties it.
    void MenuFileOpenRecentPopup();
    void MenuFileOpenRecentClick(QAction* item);
    void MenuFileOpenRecentClearClick();
    void MenuFilePrintSetupClick();

    // ---- Charts and display ----
    void MenuFileOpenOneClick();
    void MenuFileGetChartsClick();
    void MenuViewZoomClick();
    // "&Normal view": 100 %; chosen while ticked it switches to the other view, as
    // MenuViewZoomClick does for "&Zoom in".
    void MenuViewNormalClick();
    void MenuViewFitClick();
    void MenuChooseAreaClick(QAction* item);
    void TimerUpdateRangeTimer();
    void TrackBarTemperatureChange();
    void ImageScaleMouseLeave();

    // ---- Pointer and marks ----
    void MenuFileSaveAsClick();
    void MenuClearAllClick();
    void MenuEditUndoClick();
    void MenuEditRedoClick();
    void MenuAnnotationFontClick();
    void MenuAnnotationOutlineClick();
    void MenuViewDegreesReadoutClick();
    void MenuViewBearingReadoutClick();
    void ImageDisplayMouseEnter();
    void ImageDisplayMouseLeave();
    void ImageDisplayMouseMove(TvekImage* sender, Qt::KeyboardModifiers shift, QPoint position);
    void ImageDisplayMouseDown(TvekImage* sender, Qt::MouseButton button,
                               Qt::KeyboardModifiers shift, QPoint position);
    void ImageDisplayMouseUp(TvekImage* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                             QPoint position);
    void ImageDisplayClick();
    void ChangeMoveMode();

    // ---- Waypoints ----
    // A name typed into the grid's Name column of a waypoint row.
    void StringGridWaypointListNameEdited(int row, const QString& name);
    void MenuToolsWaypointsClick();
    void PopupMenuWaypointPopup();
    void PopupMenuWaypointClearClick();
    void PopupMenuWaypointDeleteClick();
    // The Delete key in the list: the selected waypoint goes, as its menu's "Delete" does.
    void StringGridWaypointListKeyDelete();
    void PopupMenuWaypointPrintClick();
    void PopupMenuWaypointHideTableClick();
    // GPX for the boat's plotter, from the File menu and the list's pop-up menu.
    void MenuFileExportGpxClick();
    void MenuFileImportGpxClick();
    // The pointer over the grid (viewport pixels); the pop-up menu reads its height.
    void StringGridWaypointListMouseMove(QPoint position);

    // ---- Archive and flipping ----
    void MenuFileOpenArchiveClick();
    void MenuFileFlipAnyImagesClick();
    void MenuFileFlipLatestClick();
    void MenuToolsDaysToKeepClick(QAction* item);
    void MenuToolsManageArchiveClick();
    // The purge command; the start-up reminder runs it as if the user had chosen it.
    virtual void MenuToolsPurgeOldChartsClick();
    // The purge as the menu runs it: with "Never" ticked it says why it does nothing.
    void purgeChosenFromMenu();
    void TabControlImagesChange();
    void BitBtnLeftClick();
    void BitBtnRightClick();

    // ---- Printing ----
    void MenuFilePrintClick();

    // ---- Export ----
    // The chart, its lines and marks for a chart plotter or chart software.
    void MenuFileExportChartClick();

    // ---- Extras ----
    void MenuViewHighlightClick();
    // Temperatures read in °C or °F; every one on screen follows at once.
    void MenuViewCelsiusClick();
    void MenuViewBreaksClick();
    void MenuViewBreakThresholdClick();
    void MenuViewIsothermsClick();
    void PopupMenuChartPinClick();
    void PopupMenuChartUnpinClick();

protected:
    // ---- Shell ----
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A wheel turn no control took goes to the window's wheel handler.
    void wheelEvent(QWheelEvent* event) override;

    // ---- Life cycle ----
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // ---- Pointer and marks ----
    // Arrow and page keys pan the chart, Space held lets the left button pan, Esc ends a drag
    // without acting.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

    // ---- Archive and flipping ----
    // Decodes the charts of a flip behind a progress box the user may cancel; tests cancel it
    // in place.
    virtual archive::ChartDecoding decodeChartsToFlip(const QStringList& paths);

    // ---- Printing ----
    // Shows the print dialog modally; tests answer it in place.
    virtual void showPrintDialog(TFormPrint& dialog);

    // ---- Export ----
    // Shows the export dialog modally; true when the user chose to export. Tests answer in place.
    virtual bool showExportDialog(TFormExport& dialog);

    // ---- Extras ----
    // Asks for the break threshold (°F per NM) starting from current; nothing when cancelled.
    virtual std::optional<double> askBreakThreshold(double current);
    // Asks for the isotherms starting from current, in the unit shown; nothing when cancelled.
    virtual std::optional<IsothermRequest> askIsotherms(const IsothermRequest& current);

private:
    // ---- Shell ----
    void createControls();
    void createActions();
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                         void (TFormThalwise::*handler)());
    // A menu of the menu bar (parentMenu null) or a submenu, named like its component.
    QMenu* addMenu(QMenu* parentMenu, const char* name, const QString& caption);
    // Items ticked one at a time; updateActions sets the ticks, none may be ticked at all.
    QActionGroup* radioGroup(const char* name, std::initializer_list<QAction*> items);
    void layoutControls(); // keeps the anchored controls in place, then FormResize
    // The smallest window at which no control overlaps another.
    QSize minimumWindowSize() const;
    // Keeps the window at least that size as a panel comes, goes or moves.
    void fitAroundHistoryPanel();
    // Initialised in this order by the constructor.
    const platform::Services m_services;
    const QString m_settingsKey;
    const QStringList m_arguments;
    QWidget* m_client = nullptr; // the client area: every control is placed in its pixels

    // ---- Life cycle ----
    // The Help menu.
    void createHelpActions();
    // Saves marks and waypoints before the window or the session ends; false when they could
    // not be written and the user chose to stay (only asked when mayAsk).
    bool saveBeforeEnding(bool mayAsk);
    // The error box for a file that cannot be written.
    void reportUnwritable(const QString& path);
    // The help window, made on first use.
    THelpWindow& helpWindow();
    // Brings back the window's size, place and panels of the last run (before the first show).
    void restoreWindowState();
    TAboutBoxVEK1* m_aboutBox = nullptr;
    THelpWindow* m_helpWindow = nullptr;
    bool m_shown = false;
    bool m_destroyed = false;
    bool m_sessionCannotWait = false;   // a termination signal is closing the window
    bool m_recentChartsPending = false; // the recent charts wait to be written
    void writeRecentCharts();           // writes them when they wait

    // ---- Charts and display ----
    void showMessage(const QString& text);
    QString applyChartMetadata(const TGIFImage& chart);
    // Puts a chart's metadata in force: the scale's range (a chart without one keeps the range
    // in force), the scale controls, the range's tool-tip and the heading's variation.
    void applyChartMetadata(const geo::ChartMetadata& metadata);
    void displayChart(const QString& path, const QImage& picture,
                      std::shared_ptr<const geo::PixelTemperatures> temperatures);
    void showDisplayPicture();
    // No chart on screen: the logo, with a note of why when there is one ("the chart is gone").
    void showEmptyView(const QString& note);
    QPoint viewCentre() const;
    // Fits the chart to the view again after the view changed size.
    void refitChart();
    // The numbers beside the scale strip for the range and unit in force.
    void updateScaleNumbers();
    // The annotation font as the settings hold it.
    StoredFont annotationFont() const;
    QActionGroup* m_zoomGroup = nullptr;
    QActionGroup* m_areaGroup = nullptr;
    QImage m_displayPicture; // the composed chart at its own size, without markers
    // Home and the waypoints, drawn over the view at screen size in the annotation font.
    std::vector<display::Marker> m_markers;
    QFont m_markerFont;
    QColor m_markerColour;
    // The composed chart with home and the waypoints drawn in, as it is saved and printed.
    QImage pictureWithMarkers() const;
    void paintMarkers(QPainter& painter, view::Scale scale) const;
    int m_wheelZoom = 0;             // Ctrl + wheel turned short of a whole step
    QStringList m_chartCommentTexts; // of the chart shown, for saving its picture

    // ---- Pointer and marks ----
    // Asks for a new text at the chart pixel and adds it unless cancelled or empty.
    void addTextAt(QPoint point);
    // Panning by dragging (middle button, or left with Space held), in the view's pixels.
    bool panPress(Qt::MouseButton button, QPoint position);
    bool panMove(QPoint position);
    bool panRelease();
    // Ends a press on the chart without acting (Esc).
    void cancelChartPress();
    // Gives each visible tool its letter key.
    void assignToolKeys();
    // The readouts for the pointer at a position of the chart or the scale strip.
    void readPointer(TvekImage* sender, QPoint position);
    // Reads again under a pointer that stayed where it was while the view moved or zoomed
    // under it; clears the readouts when the chart moved out from under it.
    void rereadUnderPointer();
    std::optional<QPoint> m_pointerInView; // the pointer over the chart, in the view's pixels
    QLabel* m_statusPanels[4] = {};
    QActionGroup* m_latLonGroup = nullptr;
    QActionGroup* m_headingGroup = nullptr;
    bool m_panning = false;
    bool m_spaceHeld = false; // Space down: the left button pans
    QPoint m_panStart;        // view position of the panning press
    QPoint m_panScroll;       // the scroll bars' values at the press
    TFormAddText* m_addText = nullptr;
    bool m_swallowRelease = false; // the right-click that opened the chart's menu
    QPoint m_menuPixel;            // the chart pixel the chart's menu was opened on

    // ---- Waypoints ----
    // The waypoint grid and its panel, made with the other controls.
    void createWaypointGrid();
    // The waypoint list's pop-up menu.
    void createWaypointActions();
    // Shows or hides the waypoint grid (and with it the home button, when asked) and lays the
    // window out again.
    void showWaypointGrid(bool visible, bool withHomeButton);
    // Sets the grid's rows and columns and its size from the layout.
    void applyWaypointGridLayout();
    // Puts the waypoint list in its panel.
    void createWaypointPanel();
    bool m_waypointsChangeAttached = false;
    int m_gridPointerY = -1; // viewport pixels; -1 before the pointer was over the grid
    std::array<int, 17> m_gridRowHeights{};

    // ---- Archive and flipping ----
    // The Tools menu: the area to flip, how long charts are kept, managing and purging.
    void createArchiveActions();
    // Searches the archive folder with mask and shows the picking dialog on what it found; the
    // names ticked and confirmed (empty when the archive holds none or the user cancelled).
    QStringList pickArchivedCharts(const QString& mask, bool deleteMode);
    // Empties the flip strip and hides the arrows: an ordinary open shows one chart.
    void clearFlipTabs();
    // Decodes the charts of a flip into ChartImages. False, after the error box, when one did
    // not decode (the charts before it stay), or when the user cancelled.
    bool addDecodedCharts(const QStringList& paths);
    // The flip strip's tabs for the charts of ChartImages, the one of chartIndex current (the
    // first when it has none), and the arrows.
    void fillImageTabs(int chartIndex);
    // Lets go of the charts whose files are gone (moved to the trash): the others keep their
    // tabs and the history; with none left the view says the chart is gone.
    void dropRemovedCharts();
    QActionGroup* m_daysToKeepGroup = nullptr;
    TFormManageArchive* m_manageArchive = nullptr;

    // ---- Export ----
    TFormExport* m_exportForm = nullptr; // made on first use, keeps the choices

    // ---- Getting charts (ThalwiseFormFetch.cpp) ----
    // File > "Get charts...", the settings of what to get, the transport and the fetcher.
    void createFetchActions();
    // Gets the chosen areas' latest charts in the background once a day, when the user asked.
    void startDailyFetch();
    // The fetcher (and its network access), made when charts are first wanted.
    fetch::ChartFetcher& chartFetcher();
    QNetworkAccessManager* m_network = nullptr;
    fetch::ChartFetcher* m_fetcher = nullptr;
    TFormGetCharts* m_getCharts = nullptr; // made on first use

    // ---- Extras ----
    // The temperature history's panel and the chart's pin menu.
    void createHistoryPanel();
    // The highlight of the slider's temperature when it is wanted and ready; otherwise null, and
    // its computation is under way when it is wanted.
    std::shared_ptr<const geo::HighlightLayer> currentHighlightLayer();
    std::optional<app::HighlightKey> currentHighlightKey() const;
    // The break layer of the chart on screen when it is wanted and ready; otherwise null, and
    // its computation is under way when it is wanted.
    std::shared_ptr<const app::BreakLineLayer> currentBreakLayer();
    // What the break layer of the chart on screen depends on; nothing when none is wanted.
    std::optional<app::BreakLayerKey> currentBreakLayerKey() const;
    // The same for the isotherms.
    std::shared_ptr<const app::IsothermLayer> currentIsothermLayer();
    std::optional<app::IsothermLayerKey> currentIsothermLayerKey() const;
    app::BreakLayerCache* m_breakLayers = nullptr;         // per chart, computed in the background
    app::HighlightLayerCache* m_highlightLayers = nullptr; // per chart, range and temperature
    // The isotherms per chart, range and temperatures, computed in the background.
    app::IsothermLayerCache* m_isothermLayers = nullptr;
    bool m_historyOffered = false; // the panel has been shown for a flip once
};
