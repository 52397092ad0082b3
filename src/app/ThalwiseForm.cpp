// The main window itself: building its controls and menus, laying them out, passing on events.

#include "app/ThalwiseForm.h"

#include "app/AboutBox.h"
#include "app/AnnotatedImage.h"
#include "app/AppIcon.h"
#include "app/BreakLayerCache.h"
#include "app/HelpWindow.h"
#include "app/HighlightLayerCache.h"
#include "app/IsothermLayerCache.h"
#include "app/RegistryVariables.h"
#include "app/WindowLayout.h"
#include "app/vekImage.h"
#include "archive/ArchiveTidyUp.h"
#include "archive/ChartAge.h"
#include "archive/TreeScan.h"
#include "dialogs/AddText.h"
#include "dialogs/ArchiveManagerForm.h"
#include "dialogs/BreakThresholdForm.h"
#include "dialogs/PrintForm.h"
#include "geo/TemperatureBreaks.h"
#include "gif/GIFImage.h"
#include "platform/PrintJob.h"
#include "platform/ProfileFile.h"

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QWheelEvent>
#include <algorithm>

// Resources of a static library must be registered by name from the global namespace.
static void initThalwiseResources() {
    Q_INIT_RESOURCE(thalwise);
    Q_INIT_RESOURCE(guide);
}

namespace {

// Placement of the controls that keep their distance from the client area's right edge
// (anchored top-right): x is measured from the right edge to the control's left edge.
struct RightAnchor {
    QWidget* widget;
    int fromRight;
    int top;
};

constexpr int kStatusPanelWidths[4] = {150, 150, 200, 150};
constexpr const char* kStatusPanelLongestTexts[4] = {
    "Lat: 88.888\u00B0    Lon: 188.888\u00B0", "Temperature: 188.8\u00B0F",
    "Range: 8888.8 NM at 358.8\u00B0 (mag.)", "X: 88888, Y: 88888"};
constexpr int kToolButtonSize = 32;
constexpr int kTabControlLeft = 4;
constexpr int kTabControlTop = 2;

} // namespace

TFormThalwise::TFormThalwise(const platform::Services& services, const QString& settingsKey,
                             const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_settingsKey(settingsKey),
      m_arguments(arguments) {
    initThalwiseResources();
    setObjectName(QStringLiteral("FormThalwise"));
    setWindowTitle(initialCaption());
    ApplicationTitle = QGuiApplication::applicationDisplayName();
    m_breakLayers = new app::BreakLayerCache(12, this);
    // A layer that finishes for the chart on screen is shown at once; one for a chart the user
    // has left waits in the cache.
    connect(m_breakLayers, &app::BreakLayerCache::layerReady, this,
            [this](const app::BreakLayerKey& key) {
                if (currentBreakLayerKey() == key) RepaintChart();
            });
    m_highlightLayers = new app::HighlightLayerCache(48, this);
    connect(m_highlightLayers, &app::HighlightLayerCache::layerReady, this,
            [this](const app::HighlightKey& key) {
                if (currentHighlightKey() == key) RepaintChart();
            });
    m_isothermLayers = new app::IsothermLayerCache(12, this);
    connect(m_isothermLayers, &app::IsothermLayerCache::layerReady, this,
            [this](const app::IsothermLayerKey& key) {
                if (currentIsothermLayerKey() == key) RepaintChart();
            });
    createControls();
    createActions();
    FormCreate();
    updateActions();
    setWindowIcon(app::appIcon());
    resize(1000, 720);
    layoutControls();
    setMinimumSize(minimumWindowSize());
    setAcceptDrops(true); // a chart dropped on the window opens
    restoreWindowState();
}

QSize TFormThalwise::minimumWindowSize() const {
    // Wide enough for the four status panels side by side, and for the tool column beside a
    // chart area; high enough that the arrows of flipped charts fit between Close and the
    // status bar.
    int panels = 0;
    for (const QLabel* panel : m_statusPanels)
        panels += panel->width() + 8;
    panels += LabelChartAge->minimumSizeHint().width() + 8;
    int clientWidth = std::max(panels + 16, 150 + 320);
    const int closeBottom = ButtonClose->y() + ButtonClose->height();
    int clientHeight = closeBottom + 6 + 36 + StatusBar->sizeHint().height();
    // A docked panel takes its room beside or below the controls, not from them, and no more
    // than the chart keeps (half the window, see resizeEvent).
    // Panels in one area stand one above the other (or beside, below the chart): the area is
    // as wide as its widest.
    int left = 0, right = 0, top = 0, bottom = 0;
    for (QDockWidget* dock : {DockWaypointList, DockTemperatureHistory}) {
        if (!dock || dock->isHidden() || dock->isFloating()) continue;
        const QSize panel = dock->minimumSizeHint().expandedTo(dock->minimumSize()) + QSize(6, 6);
        switch (dockWidgetArea(dock)) {
        case Qt::LeftDockWidgetArea:
            left = std::max(left, panel.width());
            break;
        case Qt::RightDockWidgetArea:
            right = std::max(right, panel.width());
            break;
        case Qt::TopDockWidgetArea:
            top = std::max(top, panel.height());
            break;
        default:
            bottom = std::max(bottom, panel.height());
            break;
        }
    }
    const int besideWidth = left + right;
    const int belowHeight = top + bottom;
    // The status bar runs below the panels too: only the chart's column needs their room.
    clientWidth = std::max({clientWidth, 150 + 320 + besideWidth, 2 * besideWidth});
    clientHeight = std::max(clientHeight + belowHeight, 2 * belowHeight);
    return QSize(clientWidth, clientHeight + menuBar()->sizeHint().height());
}

void TFormThalwise::fitAroundHistoryPanel() {
    if (m_destroyed) return;
    setMinimumSize(minimumWindowSize());
    const QSize least = minimumSize();
    if (width() < least.width() || height() < least.height())
        resize(std::max(width(), least.width()), std::max(height(), least.height()));
}

TFormThalwise::~TFormThalwise() {
    FormDestroy();
    // The panels (and their View menu actions) report their hiding while the window's widgets
    // are taken down, after this.
    for (QDockWidget* dock : {DockTemperatureHistory, DockWaypointList}) {
        dock->disconnect(this);
        dock->toggleViewAction()->disconnect(this);
    }
    // So does the undo history as it lets go of its commands.
    m_undoStack->disconnect(this);
}

// ---------------------------------------------------------------------------------------------
// Building the window

void TFormThalwise::createControls() {
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    // Chart area: a tab strip framing the scroll box that holds the chart picture.
    TabControlImages = new QWidget(m_client);
    TabControlImages->setObjectName(QStringLiteral("TabControlImages"));
    TabControlImagesTabs = new QTabBar(TabControlImages);
    TabControlImagesTabs->setObjectName(QStringLiteral("TabControlImagesTabs"));
    TabControlImagesTabs->setExpanding(false);
    TabControlImagesTabs->hide();
    connect(TabControlImagesTabs, &QTabBar::currentChanged, this,
            [this] { TabControlImagesChange(); });
    ScrollBox = new QScrollArea(TabControlImages);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setBackgroundRole(QPalette::Base);
    ScrollBox->setFrameShape(QFrame::StyledPanel);
    ScrollBox->setAlignment(Qt::AlignCenter); // a chart smaller than the view sits in its middle
    // A pointer held still reads what the view moves under it (keys, zoom, the wheel).
    for (QScrollBar* bar : {ScrollBox->horizontalScrollBar(), ScrollBox->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] { rereadUnderPointer(); });
    ImageDisplay = new TvekImage;
    ImageDisplay->setObjectName(QStringLiteral("ImageDisplay"));
    ImageDisplay->setCursor(Qt::CrossCursor);
    ImageDisplay->setAutoSize(true);
    ImageDisplay->resize(0, 0);
    ScrollBox->setWidget(ImageDisplay);
    ImageDisplay->setForeground(
        [this](QPainter& painter, view::Scale scale) { paintMarkers(painter, scale); });
    ImageLogo = new QLabel(ScrollBox->viewport());
    ImageLogo->setObjectName(QStringLiteral("ImageLogo"));
    ImageLogo->setAlignment(Qt::AlignCenter);
    ImageLogo->setAttribute(Qt::WA_TranslucentBackground);
    ImageLogo->raise();
    LabelEmptyView = new QLabel(ScrollBox->viewport());
    LabelEmptyView->setObjectName(QStringLiteral("LabelEmptyView"));
    LabelEmptyView->setAlignment(Qt::AlignCenter);
    LabelEmptyView->setWordWrap(true);
    LabelEmptyView->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelEmptyView->hide();
    ScrollBox->viewport()->installEventFilter(this);
    ImageDisplay->installEventFilter(this);
    TabControlImages->installEventFilter(this);
    TabControlImagesTabs->installEventFilter(this);

    connect(ImageDisplay, &TvekImage::OnMouseEnter, this, [this] { ImageDisplayMouseEnter(); });
    connect(ImageDisplay, &TvekImage::OnMouseLeave, this, [this] { ImageDisplayMouseLeave(); });
    connect(ImageDisplay, &TvekImage::OnMouseMove, this, &TFormThalwise::ImageDisplayMouseMove);
    connect(ImageDisplay, &TvekImage::OnMouseDown, this, &TFormThalwise::ImageDisplayMouseDown);
    connect(ImageDisplay, &TvekImage::OnMouseUp, this, &TFormThalwise::ImageDisplayMouseUp);
    connect(ImageDisplay, &TvekImage::OnClick, this, [this] { ImageDisplayClick(); });

    // The scale column on the right.
    ImageScale = new TvekImage(m_client);
    ImageScale->setObjectName(QStringLiteral("ImageScale"));
    ImageScale->setCursor(Qt::CrossCursor);
    ImageScale->setAutoSize(true);
    ImageScale->resize(30, 256);
    connect(ImageScale, &TvekImage::OnMouseMove, this, &TFormThalwise::ImageDisplayMouseMove);
    connect(ImageScale, &TvekImage::OnMouseLeave, this, [this] { ImageScaleMouseLeave(); });

    TrackBarTemperature = new QSlider(Qt::Vertical, m_client);
    TrackBarTemperature->setObjectName(QStringLiteral("TrackBarTemperature"));
    TrackBarTemperature->setRange(20, 80);
    TrackBarTemperature->setValue(30);
    TrackBarTemperature->setTickInterval(5);
    TrackBarTemperature->setTickPosition(QSlider::TicksRight);
    // The minimum sits at the top, as the scale's readout expects.
    TrackBarTemperature->setInvertedAppearance(true);
    TrackBarTemperature->setInvertedControls(true);
    auto* trackBarStyle = new app::TrackBarStyle;
    trackBarStyle->setParent(TrackBarTemperature);
    TrackBarTemperature->setStyle(trackBarStyle);
    TrackBarTemperature->resize(30, 256 + 22);
    connect(TrackBarTemperature, &QSlider::valueChanged, this,
            [this] { TrackBarTemperatureChange(); });

    auto makeSpinner = [this](const char* labelName, const char* caption, const char* spinName,
                              const char* editName, int low, int high, int value, QLabel*& label,
                              QSpinBox*& spin, QLineEdit*& edit) {
        label = new QLabel(QString::fromLatin1(caption), m_client);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        spin = new QSpinBox(m_client);
        spin->setObjectName(QString::fromLatin1(spinName));
        spin->setRange(low, high);
        spin->setValue(value);
        spin->setAlignment(Qt::AlignRight);
        edit = spin->findChild<QLineEdit*>();
        if (edit) edit->setObjectName(QString::fromLatin1(editName));
        label->setBuddy(spin);
        connect(spin, &QSpinBox::valueChanged, this, [this] { TempScaleChange(); });
    };
    makeSpinner("LabelMax", "Max: ", "UpDownScaleMax", "EditScaleMax", geo::ScaleMaxLowest,
                geo::ScaleMaxHighest, geo::ScaleMaxInitial, LabelMax, UpDownScaleMax, EditScaleMax);
    makeSpinner("LabelMin", "Min: ", "UpDownScaleMin", "EditScaleMin", geo::ScaleMinLowest,
                geo::ScaleMinHighest, geo::ScaleMinInitial, LabelMin, UpDownScaleMin, EditScaleMin);

    LabelTemp = new QLabel(tr("Temp"), m_client);
    LabelTemp->setObjectName(QStringLiteral("LabelTemp"));
    LabelTemp->setToolTip(QString());

    // Pointer tools: one tool at a time, kept by the buttons themselves. Not a QButtonGroup:
    // a group takes Tab focus from its unchecked buttons, so a keyboard user could reach only the
    // tool in use.
    auto makeTool = [this](const char* name, const char* hint, app::ToolGlyph glyph) {
        auto* button = new QToolButton(m_client);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(QString::fromLatin1(hint));
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setIconSize(QSize(22, 22));
        button->setIcon(app::toolIcon(glyph, WaypointIcon));
        button->resize(kToolButtonSize, kToolButtonSize);
        m_toolButtons.push_back(button);
        connect(button, &QToolButton::toggled, this, [this, button](bool checked) {
            if (!checked) return;
            for (QToolButton* other : m_toolButtons)
                if (other != button) other->setChecked(false);
        });
        connect(button, &QToolButton::clicked, this, [this, button] {
            button->setChecked(true); // a click on the tool in use keeps it
            ChangeMoveMode();
        });
        return button;
    };
    WaypointIcon = QImage(QStringLiteral(":/WPT")); // the tool glyph needs it before FormCreate
    SpeedButtonMeasure =
        makeTool("SpeedButtonMeasure", "Measure range and bearing", app::ToolGlyph::Measure);
    SpeedButtonDraw = makeTool("SpeedButtonDraw", "Draw line", app::ToolGlyph::Draw);
    SpeedButtonErase = makeTool("SpeedButtonErase", "Erase text or lines", app::ToolGlyph::Erase);
    SpeedButtonText = makeTool("SpeedButtonText", "Draw text", app::ToolGlyph::Text);
    SpeedButtonWaypoint =
        makeTool("SpeedButtonWaypoint", "Waypoint mode", app::ToolGlyph::Waypoint);
    SpeedButtonPolyline = makeTool("SpeedButtonPolyline", "Draw polygon, double-click to end",
                                   app::ToolGlyph::Polygon);
    SpeedButtonWaypointHome =
        makeTool("SpeedButtonWaypointHome", "Enter Home location", app::ToolGlyph::Home);
    assignToolKeys();
    SpeedButtonMeasure->setChecked(true);
    SpeedButtonPolyline->hide();
    SpeedButtonWaypointHome->hide();

    ButtonClose = new QPushButton(tr("Close"), m_client);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    ButtonClose->resize(kToolButtonSize * 4 + 6, 30);
    connect(ButtonClose, &QPushButton::clicked, this, [this] { ButtonCloseClick(); });

    auto makeArrow = [this](const char* name, Qt::ArrowType arrow) {
        auto* button = new QToolButton(m_client);
        button->setObjectName(QString::fromLatin1(name));
        button->setArrowType(arrow);
        button->resize(66, 30);
        button->hide();
        return button;
    };
    BitBtnLeft = makeArrow("BitBtnLeft", Qt::LeftArrow);
    BitBtnRight = makeArrow("BitBtnRight", Qt::RightArrow);
    connect(BitBtnLeft, &QToolButton::clicked, this, [this] { BitBtnLeftClick(); });
    connect(BitBtnRight, &QToolButton::clicked, this, [this] { BitBtnRightClick(); });

    createWaypointGrid();
    // Quirk "wheel-never-changes-range": a wheel turn over the scale's spinners or the slider
    // zooms as it does elsewhere; it never changes the range every reading depends on.
    for (QWidget* scaleControl :
         {static_cast<QWidget*>(UpDownScaleMax), static_cast<QWidget*>(UpDownScaleMin),
          static_cast<QWidget*>(TrackBarTemperature)})
        scaleControl->installEventFilter(this);

    // Under the chart and the panels alike: the panels beside the chart never cut its readouts.
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(StatusBar);
    StatusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusBarPanel%1").arg(i));
        panel->setAlignment(Qt::AlignCenter);
        // The designed width, or wider where the desktop's font needs it for the longest text.
        const int textWidth =
            panel->fontMetrics().horizontalAdvance(QString::fromUtf8(kStatusPanelLongestTexts[i])) +
            2 * panel->frameWidth() + 2;
        panel->setFixedWidth(std::max(kStatusPanelWidths[i], textWidth));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusBar->addWidget(panel);
        m_statusPanels[i] = panel;
    }
    // Quirk "chart-age-elides": in a narrow window the age gives way to the readouts, ending in
    // "..."; its tool-tip always holds the whole text.
    LabelChartAge = new app::ElidedLabel(StatusBar);
    LabelChartAge->setObjectName(QStringLiteral("LabelChartAge"));
    LabelChartAge->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    StatusBar->addPermanentWidget(LabelChartAge);
    TimerChartAge = new QTimer(this);
    TimerChartAge->setObjectName(QStringLiteral("TimerChartAge"));
    TimerChartAge->setInterval(60 * 1000);
    connect(TimerChartAge, &QTimer::timeout, this, [this] { updateChartAge(); });

    createHistoryPanel();
    for (auto signal : {&QDockWidget::visibilityChanged, &QDockWidget::topLevelChanged})
        for (QDockWidget* dock : {DockTemperatureHistory, DockWaypointList})
            connect(dock, signal, this, [this] { fitAroundHistoryPanel(); });
    for (QDockWidget* dock : {DockTemperatureHistory, DockWaypointList})
        connect(dock, &QDockWidget::dockLocationChanged, this, [this] { fitAroundHistoryPanel(); });
    TimerLoad = new QTimer(this);
    TimerLoad->setObjectName(QStringLiteral("TimerLoad"));
    TimerLoad->setInterval(100);
    TimerLoad->setSingleShot(true);
    connect(TimerLoad, &QTimer::timeout, this, [this] { TimerLoadTimer(); });
    TimerUpdateRange = new QTimer(this);
    TimerUpdateRange->setObjectName(QStringLiteral("TimerUpdateRange"));
    TimerUpdateRange->setInterval(800);
    TimerUpdateRange->setSingleShot(true);
    connect(TimerUpdateRange, &QTimer::timeout, this, [this] { TimerUpdateRangeTimer(); });

    OpenDialog.title = tr("Open chart to view");
    OpenDialog.filter = QStringLiteral(
        "Florida images (fl*.gif)|area-fl*.gif|Mid-Atlantic (ma*.gif)|area-ma*.gif|"
        "North-east (ne*.gif)|area-ne*.gif|All GIF images (*.gif)|*.gif|All files|*.*");
    OpenDialog.filterIndex = 1;
    SaveDialog.title = tr("Save annotated image");
    SaveDialog.filter = tr("GIF image (*.gif)|*.gif|All files (*.*)|*.*");
    SaveDialog.filterIndex = 1;
    SaveDialog.defaultSuffix = QStringLiteral("gif");
    GpxDialog.filter = tr("GPX waypoints (*.gpx)|*.gpx|All files (*.*)|*.*");
    GpxDialog.filterIndex = 1;
    GpxDialog.defaultSuffix = QStringLiteral("gpx");
}

QAction* TFormThalwise::addMenuItem(QMenu* menu, const char* name, const QString& caption,
                                    void (TFormThalwise::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (handler) {
        connect(action, &QAction::triggered, this, [this, handler] {
            (this->*handler)();
            updateActions();
        });
    }
    return action;
}

QMenu* TFormThalwise::addMenu(QMenu* parentMenu, const char* name, const QString& caption) {
    QMenu* menu = parentMenu ? parentMenu->addMenu(caption) : MainMenu1->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QActionGroup* TFormThalwise::radioGroup(const char* name, std::initializer_list<QAction*> items) {
    auto* group = new QActionGroup(this);
    group->setObjectName(QString::fromLatin1(name));
    // Ticks are set by updateActions alone; no item may be ticked at all.
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* item : items) {
        item->setCheckable(true);
        group->addAction(item);
    }
    return group;
}

void TFormThalwise::createActions() {
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    using F = TFormThalwise;

    MenuFile = addMenu(nullptr, "MenuFile", tr("&File"));
    MenuFileOpenOne =
        addMenuItem(MenuFile, "MenuFileOpenOne", tr("&Open..."), &F::MenuFileOpenOneClick);
    MenuFileOpenArchive = addMenuItem(MenuFile, "MenuFileOpenArchive", tr("Open &archive..."),
                                      &F::MenuFileOpenArchiveClick);
    MenuFileOpenRecent = addMenu(MenuFile, "MenuFileOpenRecent", tr("Open &recent"));
    MenuFileOpenRecent->addSeparator();
    MenuFileOpenRecentClear = addMenuItem(MenuFileOpenRecent, "MenuFileOpenRecentClear",
                                          tr("Clear list"), &F::MenuFileOpenRecentClearClick);
    connect(MenuFileOpenRecent, &QMenu::aboutToShow, this, [this] { MenuFileOpenRecentPopup(); });
    connect(MenuFileOpenRecent, &QMenu::triggered, this, [this](QAction* item) {
        if (item == MenuFileOpenRecentClear) return;
        MenuFileOpenRecentClick(item);
        updateActions();
    });
    MenuFileFlipAnyImages = addMenuItem(MenuFile, "MenuFileFlipAnyImages",
                                        tr("Flip a&ny charts..."), &F::MenuFileFlipAnyImagesClick);
    MenuFileFlipLatest = addMenuItem(MenuFile, "MenuFileFlipLatest", tr("&Flip latest charts"),
                                     &F::MenuFileFlipLatestClick);
    MenuFileSaveAs =
        addMenuItem(MenuFile, "MenuFileSaveAs", tr("Sa&ve As..."), &F::MenuFileSaveAsClick);
    MenuFileExportChart = addMenuItem(MenuFile, "MenuFileExportChart",
                                      tr("Export for chart plotter / chart software..."),
                                      &F::MenuFileExportChartClick);
    MenuFile->addSeparator();
    MenuFileExportGpx = addMenuItem(MenuFile, "MenuFileExportGpx", tr("&Export waypoints (GPX)..."),
                                    &F::MenuFileExportGpxClick);
    MenuFileImportGpx = addMenuItem(MenuFile, "MenuFileImportGpx", tr("&Import waypoints (GPX)..."),
                                    &F::MenuFileImportGpxClick);
    MenuFile->addSeparator();
    MenuFilePrint = addMenuItem(MenuFile, "MenuFilePrint", tr("&Print..."), &F::MenuFilePrintClick);
    MenuFilePrintSetup = addMenuItem(MenuFile, "MenuFilePrintSetup", tr("Print setup..."),
                                     &F::MenuFilePrintSetupClick);
    MenuFile->addSeparator();
    MenuFileExit = addMenuItem(MenuFile, "MenuFileExit", tr("E&xit"), &F::MenuFileExitClick);

    MenuEdit = addMenu(nullptr, "MenuEdit", tr("&Edit"));
    m_undoStack = new QUndoStack(this);
    MenuEditUndo = addMenuItem(MenuEdit, "MenuEditUndo", tr("&Undo"), &F::MenuEditUndoClick);
    MenuEditUndo->setShortcut(QKeySequence::Undo);
    MenuEditRedo = addMenuItem(MenuEdit, "MenuEditRedo", tr("&Redo"), &F::MenuEditRedoClick);
    MenuEditRedo->setShortcut(QKeySequence::Redo);
    connect(m_undoStack, &QUndoStack::indexChanged, this, [this] { updateActions(); });

    MenuAnnotation = addMenu(nullptr, "MenuAnnotation", tr("&Annotation"));
    MenuClearAll =
        addMenuItem(MenuAnnotation, "MenuClearAll", tr("&Clear all"), &F::MenuClearAllClick);
    MenuAnnotationFont =
        addMenuItem(MenuAnnotation, "MenuAnnotationFont", tr("&Font"), &F::MenuAnnotationFontClick);
    MenuAnnotationOutline = addMenuItem(MenuAnnotation, "MenuAnnotationOutline", tr("&Outline"),
                                        &F::MenuAnnotationOutlineClick);
    MenuAnnotationOutline->setCheckable(true);

    MenuView = addMenu(nullptr, "MenuView", tr("&View"));
    MenuViewFit = addMenuItem(MenuView, "MenuViewFit", tr("&Fit to window"), &F::MenuViewFitClick);
    MenuViewNormal =
        addMenuItem(MenuView, "MenuViewNormal", tr("&Normal view"), &F::MenuViewNormalClick);
    MenuViewZoom = addMenuItem(MenuView, "MenuViewZoom", tr("&Zoom in"), &F::MenuViewZoomClick);
    m_zoomGroup = radioGroup("ZoomGroup", {MenuViewFit, MenuViewNormal, MenuViewZoom});
    MenuViewZoomStepIn =
        addMenuItem(MenuView, "MenuViewZoomStepIn", tr("Zoom in a &step"), nullptr);
    MenuViewZoomStepOut =
        addMenuItem(MenuView, "MenuViewZoomStepOut", tr("Zoom &out a step"), nullptr);
    for (auto [item, direction] :
         {std::pair{MenuViewZoomStepIn, 1}, std::pair{MenuViewZoomStepOut, -1}})
        connect(item, &QAction::triggered, this, [this, direction] {
            zoomStep(direction);
            updateActions();
        });
    MenuView->addSeparator();
    MenuViewDecimalDegrees =
        addMenuItem(MenuView, "MenuViewDecimalDegrees", tr("Lat/Lon (Decimal/GPS format)"),
                    &F::MenuViewDegreesReadoutClick);
    MenuViewDegreeMinutesSeconds = addMenuItem(MenuView, "MenuViewDegreeMinutesSeconds",
                                               tr("Lat/Lon (Traditional degrees && minutes)"),
                                               &F::MenuViewDegreesReadoutClick);
    m_latLonGroup =
        radioGroup("LatLonGroup", {MenuViewDecimalDegrees, MenuViewDegreeMinutesSeconds});
    MenuView->addSeparator();
    MenuViewMagnetic = addMenuItem(MenuView, "MenuViewMagnetic", tr("Heading format (Magnetic)"),
                                   &F::MenuViewBearingReadoutClick);
    MenuViewTrue = addMenuItem(MenuView, "MenuViewTrue", tr("Heading format (True)"),
                               &F::MenuViewBearingReadoutClick);
    m_headingGroup = radioGroup("HeadingGroup", {MenuViewMagnetic, MenuViewTrue});
    MenuView->addSeparator();
    MenuViewCelsius = addMenuItem(MenuView, "MenuViewCelsius", tr("Temperature in \u00B0&C"),
                                  &F::MenuViewCelsiusClick);
    MenuViewCelsius->setCheckable(true);
    MenuViewBreaks =
        addMenuItem(MenuView, "MenuViewBreaks", tr("Temperature &breaks"), &F::MenuViewBreaksClick);
    MenuViewBreaks->setCheckable(true);
    MenuViewBreakThreshold =
        addMenuItem(MenuView, "MenuViewBreakThreshold", tr("Break &threshold..."),
                    &F::MenuViewBreakThresholdClick);
    MenuViewIsotherms =
        addMenuItem(MenuView, "MenuViewIsotherms", tr("&Isotherms..."), &F::MenuViewIsothermsClick);
    MenuViewIsotherms->setCheckable(true);
    MenuViewHighlight =
        addMenuItem(MenuView, "MenuViewHighlight", tr("High&light the slider's temperature"),
                    &F::MenuViewHighlightClick);
    MenuViewHighlight->setCheckable(true);
    MenuView->addSeparator();
    MenuToolsWaypoints =
        addMenuItem(MenuView, "MenuToolsWaypoints", tr("&Waypoints"), &F::MenuToolsWaypointsClick);
    MenuToolsWaypoints->setCheckable(true);
    MenuViewTemperatureHistory = DockTemperatureHistory->toggleViewAction();
    MenuViewTemperatureHistory->setObjectName(QStringLiteral("MenuViewTemperatureHistory"));
    MenuViewTemperatureHistory->setText(tr("Temperature &history"));
    MenuView->addAction(MenuViewTemperatureHistory);

    createArchiveActions();
    createFetchActions();
    createHelpActions();

    // The desktop's standard keys, each with the usual chord where the desktop names none.
    // They are all chords or function keys, so none takes an access key of the menus.
    const struct {
        QAction* item;
        QKeySequence::StandardKey key;
        QKeySequence fallback;
    } keys[] = {
        {MenuFileOpenOne, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {MenuFileSaveAs, QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {MenuFilePrint, QKeySequence::Print, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {MenuFileExit, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {MenuHelpContents, QKeySequence::HelpContents, QKeySequence(Qt::Key_F1)},
        {MenuViewZoomStepIn, QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Plus)},
        {MenuViewZoomStepOut, QKeySequence::ZoomOut, QKeySequence(Qt::CTRL | Qt::Key_Minus)},
    };
    for (const auto& k : keys) {
        const QList<QKeySequence> standard = QKeySequence::keyBindings(k.key);
        k.item->setShortcuts(standard.isEmpty() ? QList<QKeySequence>{k.fallback} : standard);
    }
    // The two views of their own have keys of their own, as image viewers have them; the steps
    // take the desktop's zoom keys.
    MenuViewNormal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    MenuViewZoom->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_2));
    MenuViewFit->setShortcut(QKeySequence(Qt::Key_F));
    // The zoom keys set their own view; only choosing the menu item toggles (eventFilter).
    MenuViewZoom->installEventFilter(this);
    MenuViewNormal->installEventFilter(this);

    createWaypointActions();
}

// The controls anchored to the right or bottom keep their distance from those edges; the tab
// strip keeps its left, top and bottom distances. Then the window's own resize rule runs.
void TFormThalwise::layoutControls() {
    const int width = m_client->width();
    const int height = m_client->height();
    const int statusTop = height; // the status bar runs along the window's foot, below this

    const int spinHeight = UpDownScaleMax->sizeHint().height();
    const int scaleTop = 20 + spinHeight;
    const int scaleBottom = scaleTop + ImageScale->height();
    const int minTop = scaleBottom + 14;
    const int toolsTop = minTop + spinHeight + 12;
    const RightAnchor anchors[] = {
        {LabelMax, 138, 6},
        {UpDownScaleMax, 102, 6},
        {ImageScale, 136, scaleTop},
        {TrackBarTemperature, 104, scaleTop - 11},
        {LabelTemp, 68, scaleTop + ImageScale->height() / 2 - 10},
        {LabelMin, 138, minTop},
        {UpDownScaleMin, 102, minTop},
        {SpeedButtonMeasure, 140, toolsTop},
        {SpeedButtonDraw, 106, toolsTop},
        {SpeedButtonErase, 72, toolsTop},
        {SpeedButtonText, 38, toolsTop},
        {SpeedButtonWaypoint, 140, toolsTop + 34},
        {SpeedButtonPolyline, 106, toolsTop + 34},
        {SpeedButtonWaypointHome, 72, toolsTop + 34},
        {ButtonClose, 140, toolsTop + 80},
        {BitBtnLeft, 140, statusTop - 36},
        {BitBtnRight, 72, statusTop - 36},
    };
    for (const RightAnchor& a : anchors)
        a.widget->move(width - a.fromRight, a.top);
    LabelMax->resize(36, spinHeight);
    LabelMin->resize(36, spinHeight);
    UpDownScaleMax->resize(64, spinHeight);
    UpDownScaleMin->resize(64, spinHeight);
    LabelTemp->resize(66, 20);
    TrackBarTemperature->resize(TrackBarTemperature->width(), ImageScale->height() + 22);

    TabControlImages->setGeometry(kTabControlLeft, kTabControlTop, TabControlImages->width(),
                                  std::max(0, statusTop - 2 - kTabControlTop));
    const bool hasTabs = TabControlImagesTabs->count() > 0;
    TabControlImagesTabs->setGeometry(0, 0, TabControlImages->width(),
                                      TabControlImagesTabs->sizeHint().height());
    TabControlImagesTabs->setVisible(hasTabs);
    ScrollBox->move(0, hasTabs ? TabControlImagesTabs->sizeHint().height() : 0);
    FormResize();
}

bool TFormThalwise::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Shortcut &&
        (watched == MenuViewZoom || watched == MenuViewNormal)) {
        // Quirk "zoom-key-sets-view": the zoom-out key never zooms in from the normal view.
        setZoom(watched == MenuViewZoom ? view::ZoomedPercent : view::NormalPercent);
        updateActions();
        return true;
    }
    if (event->type() == QEvent::Paint && watched == ScrollBox->viewport() &&
        TimerLoad->isActive() && TimerLoad->interval() > 0) {
        // The window is on screen: the start-up step (the command-line chart) follows this first
        // paint at once instead of waiting out the rest of its 100 ms.
        TimerLoad->start(0);
    }
    if (event->type() == QEvent::Resize) {
        if (watched == m_client) {
            layoutControls();
        } else if (watched == TabControlImages) {
            ScrollBox->resize(TabControlImages->width(), ScrollBox->height());
            TabControlImagesTabs->resize(TabControlImages->width(),
                                         TabControlImagesTabs->sizeHint().height());
        } else if (watched == ScrollBox->viewport()) {
            ImageLogo->setGeometry(ScrollBox->viewport()->rect());
            // The note stands below the middle, clear of the logo's centre.
            const QRect view = ScrollBox->viewport()->rect();
            LabelEmptyView->setGeometry(view.left() + 16, view.bottom() - view.height() / 4,
                                        std::max(0, view.width() - 32), view.height() / 5);
            refitChart();
        }
    } else if (event->type() == QEvent::MouseMove &&
               watched == StringGridWaypointList->viewport()) {
        StringGridWaypointListMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
    } else if (event->type() == QEvent::Wheel &&
               (watched == ScrollBox->viewport() || watched == ImageDisplay ||
                watched == TabControlImagesTabs)) {
        // The wheel zooms the chart; the scroll box never scrolls on it and the tab strip never
        // flips charts on it.
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint at = ScrollBox->viewport()->mapFromGlobal(wheel->globalPosition()).toPoint();
        const std::optional<QPoint> over =
            ScrollBox->viewport()->rect().contains(at) ? std::optional<QPoint>(at) : std::nullopt;
        FormMouseWheel(wheel->angleDelta().y(), over, wheel->modifiers());
        wheel->accept();
        return true;
    } else if (event->type() == QEvent::Wheel &&
               (watched == UpDownScaleMax || watched == UpDownScaleMin ||
                watched == TrackBarTemperature)) {
        // Not over the chart: the centre of the view stays.
        FormMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        event->accept();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormThalwise::wheelEvent(QWheelEvent* event) {
    // The window handles the wheel wherever it is turned (over the scale strip, the tool column,
    // the status bar, ...); controls that use the wheel themselves have taken it already. The
    // pointer is not over the chart then: the centre of the view stays.
    FormMouseWheel(event->angleDelta().y());
    event->accept();
}
