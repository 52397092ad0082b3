#include "app/ThalwiseForm.h"

#include "app/AboutBox.h"
#include "app/BreakLayerCache.h"
#include "app/HelpWindow.h"
#include "archive/ChartAge.h"
#include "app/AnnotatedImage.h"
#include "app/AppIcon.h"
#include "app/ChartFiles.h"
#include "app/HistoryPlot.h"
#include "app/GuardedApplication.h"
#include "app/PointerTools.h"
#include "app/SessionEnd.h"
#include "app/ProgramFolders.h"
#include "app/RegistryVariables.h"
#include "app/WaypointGridView.h"
#include "app/WindowLayout.h"
#include "app/vekImage.h"
#include "archive/ArchiveTidyUp.h"
#include "archive/ChartDecoding.h"
#include "archive/ChartFlipping.h"
#include "archive/ChartIntake.h"
#include "archive/TreeScan.h"
#include "dialogs/AddText.h"
#include "dialogs/BreakThresholdForm.h"
#include "dialogs/ArchiveManagerForm.h"
#include "dialogs/PrintForm.h"
#include "geo/AnnotationFile.h"
#include "geo/ChartMetadata.h"
#include "geo/Gpx.h"
#include "geo/Palette.h"
#include "geo/TemperatureBreaks.h"
#include "geo/ThalwiseUtils.h"
#include "geo/WaypointTable.h"
#include "geo/vekMapping.h"
#include "gif/GIFImage.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/FontDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/PrintJob.h"
#include "platform/Printers.h"
#include "platform/ProfileFile.h"
#include "printing/TextPrint.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QScreen>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QKeySequence>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>
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

// The scale's up-downs hold whole °F, the scale's own steps; while temperatures read in °C
// each tells its value in °C as well.
void showScaleEndToolTips(QSpinBox* scaleMin, QSpinBox* scaleMax, bool celsius) {
    for (QSpinBox* spin : {scaleMin, scaleMax})
        spin->setToolTip(geo::TemperatureScale::scaleEndToolTip(spin->value(), celsius));
}

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
    createControls();
    createActions();
    FormCreate();
    updateActions();
    setWindowIcon(app::appIcon());
    resize(1000, 720);
    layoutControls();
    setMinimumSize(minimumWindowSize());
}

QSize TFormThalwise::minimumWindowSize() const {
    // Wide enough for the four status panels side by side, and for the tool column beside a
    // chart area; high enough that the arrows of flipped charts fit between Close and the
    // status bar.
    int panels = 0;
    for (const QLabel* panel : m_statusPanels)
        panels += panel->width() + 8;
    panels += LabelChartAge->minimumWidth() + 8;
    int clientWidth = std::max(panels + 16, 150 + 320);
    // With the waypoint list beside the tools, a chart area of the same width still fits.
    if (!StringGridWaypointList->isHidden())
        clientWidth = std::max(clientWidth, 150 + StringGridWaypointList->width() + 10 + 240);
    const int closeBottom = ButtonClose->y() + ButtonClose->height();
    int clientHeight = closeBottom + 6 + 36 + StatusBar->sizeHint().height();
    // A docked history panel takes its room beside or below the controls, not from them.
    if (DockTemperatureHistory && DockTemperatureHistory->isVisible() &&
        !DockTemperatureHistory->isFloating()) {
        const QSize panel = DockTemperatureHistory->minimumSizeHint();
        const Qt::DockWidgetArea side = dockWidgetArea(DockTemperatureHistory);
        if (side == Qt::LeftDockWidgetArea || side == Qt::RightDockWidgetArea)
            clientWidth += panel.width() + 6;
        else
            clientHeight += panel.height() + 6;
    }
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
    // The panel reports its hiding while the window's widgets are taken down, after this.
    DockTemperatureHistory->disconnect(this);
}

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
    ImageDisplay = new TvekImage;
    ImageDisplay->setObjectName(QStringLiteral("ImageDisplay"));
    ImageDisplay->setCursor(Qt::CrossCursor);
    ImageDisplay->setAutoSize(true);
    ImageDisplay->resize(0, 0);
    ScrollBox->setWidget(ImageDisplay);
    ImageLogo = new QLabel(ScrollBox->viewport());
    ImageLogo->setObjectName(QStringLiteral("ImageLogo"));
    ImageLogo->setAlignment(Qt::AlignCenter);
    ImageLogo->setAttribute(Qt::WA_TranslucentBackground);
    ImageLogo->raise();
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

    // Pointer tools: one exclusive group.
    m_toolButtons = new QButtonGroup(this);
    m_toolButtons->setObjectName(QStringLiteral("ToolButtons"));
    m_toolButtons->setExclusive(true);
    auto makeTool = [this](const char* name, const char* hint, app::ToolGlyph glyph) {
        auto* button = new QToolButton(m_client);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(QString::fromLatin1(hint));
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setIconSize(QSize(22, 22));
        button->setIcon(app::toolIcon(glyph, WaypointIcon));
        button->resize(kToolButtonSize, kToolButtonSize);
        m_toolButtons->addButton(button);
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
    SpeedButtonMeasure->setChecked(true);
    SpeedButtonPolyline->hide();
    SpeedButtonWaypointHome->hide();
    connect(m_toolButtons, &QButtonGroup::buttonClicked, this, [this] { ChangeMoveMode(); });

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

    StringGridWaypointList = new QTableWidget(17, 7, m_client);
    StringGridWaypointList->setObjectName(QStringLiteral("StringGridWaypointList"));
    StringGridWaypointList->setToolTip(tr("Right-click the list for options"));
    StringGridWaypointList->horizontalHeader()->hide();
    StringGridWaypointList->verticalHeader()->hide();
    StringGridWaypointList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGridWaypointList->setContextMenuPolicy(Qt::CustomContextMenu);
    StringGridWaypointList->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGridWaypointList->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGridWaypointList->setTextElideMode(Qt::ElideNone);
    StringGridWaypointList->setWordWrap(false);
    StringGridWaypointList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGridWaypointList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    StringGridWaypointList->setMouseTracking(true);
    auto* gridDelegate = new app::WaypointGridDelegate(StringGridWaypointList);
    // A header that needs more lines than its row has raises the row once drawing is over.
    gridDelegate->rowTooLow = [this](int row, int neededHeight) {
        QTimer::singleShot(0, this, [this, row, neededHeight] {
            if (row < 0 || row >= int(m_gridRowHeights.size()) ||
                m_gridRowHeights[row] >= neededHeight)
                return;
            m_gridRowHeights[row] = neededHeight;
            applyWaypointGridLayout();
            FormResize();
        });
    };
    StringGridWaypointList->setItemDelegate(gridDelegate);
    StringGridWaypointList->viewport()->installEventFilter(this);
    // Quirk "wheel-never-changes-range": a wheel turn over the scale's spinners or the slider
    // zooms as it does elsewhere; it never changes the range every reading depends on.
    for (QWidget* scaleControl :
         {static_cast<QWidget*>(UpDownScaleMax), static_cast<QWidget*>(UpDownScaleMin),
          static_cast<QWidget*>(TrackBarTemperature)})
        scaleControl->installEventFilter(this);
    StringGridWaypointList->resize(7 * 52 + 4, 17 * 20 + 4);
    StringGridWaypointList->hide();

    StatusBar = new QStatusBar(m_client);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusBarPanel%1").arg(i));
        panel->setAlignment(Qt::AlignCenter);
        // The designed width, or wider where the desktop's font needs it for the longest text.
        const int textWidth =
            panel->fontMetrics().horizontalAdvance(QString::fromUtf8(kStatusPanelLongestTexts[i])) +
            2 * panel->frameWidth() + 12;
        panel->setFixedWidth(std::max(kStatusPanelWidths[i], textWidth));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusBar->addWidget(panel);
        m_statusPanels[i] = panel;
    }
    LabelChartAge = new QLabel(StatusBar);
    LabelChartAge->setObjectName(QStringLiteral("LabelChartAge"));
    LabelChartAge->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Quirk "chart-age-never-cut": wide enough for its longest text in the warning's bold face;
    // the window's least width counts it (minimumWindowSize).
    {
        QFont bold = LabelChartAge->font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        const QDateTime made(QDate(2026, 12, 31), QTime(23, 59));
        int widest = 0;
        for (const qint64 seconds : {qint64(60), qint64(23 * 3600), qint64(99999) * 86400})
            if (const auto age = archive::chartAge(made, made.addSecs(seconds)))
                widest = std::max(widest, metrics.horizontalAdvance(age->text));
        LabelChartAge->setMinimumWidth(widest + 8);
    }
    StatusBar->addPermanentWidget(LabelChartAge);
    TimerChartAge = new QTimer(this);
    TimerChartAge->setObjectName(QStringLiteral("TimerChartAge"));
    TimerChartAge->setInterval(60 * 1000);
    connect(TimerChartAge, &QTimer::timeout, this, [this] { updateChartAge(); });

    DockTemperatureHistory = new QDockWidget(tr("Temperature history"), this);
    DockTemperatureHistory->setObjectName(QStringLiteral("DockTemperatureHistory"));
    PlotTemperatureHistory = new THistoryPlot(DockTemperatureHistory);
    DockTemperatureHistory->setWidget(PlotTemperatureHistory);
    addDockWidget(Qt::RightDockWidgetArea, DockTemperatureHistory);
    DockTemperatureHistory->hide();
    for (auto signal : {&QDockWidget::visibilityChanged, &QDockWidget::topLevelChanged})
        connect(DockTemperatureHistory, signal, this, [this] { fitAroundHistoryPanel(); });
    connect(DockTemperatureHistory, &QDockWidget::dockLocationChanged, this,
            [this] { fitAroundHistoryPanel(); });
    PopupMenuChart = new QMenu(this);
    PopupMenuChart->setObjectName(QStringLiteral("PopupMenuChart"));
    PopupMenuChartPin = PopupMenuChart->addAction(tr("&Pin here"));
    PopupMenuChartPin->setObjectName(QStringLiteral("PopupMenuChartPin"));
    connect(PopupMenuChartPin, &QAction::triggered, this, [this] { PopupMenuChartPinClick(); });
    PopupMenuChartUnpin = PopupMenuChart->addAction(tr("&Follow the pointer"));
    PopupMenuChartUnpin->setObjectName(QStringLiteral("PopupMenuChartUnpin"));
    connect(PopupMenuChartUnpin, &QAction::triggered, this, [this] { PopupMenuChartUnpinClick(); });

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

void TFormThalwise::createActions() {
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto addMenu = [this](QMenu* parentMenu, const char* name, const QString& caption) {
        QMenu* menu = parentMenu ? parentMenu->addMenu(caption) : MainMenu1->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto radioGroup = [this](const char* name, std::initializer_list<QAction*> items) {
        auto* group = new QActionGroup(this);
        group->setObjectName(QString::fromLatin1(name));
        // Ticks are set by updateActions alone; no item may be ticked at all.
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        for (QAction* item : items) {
            item->setCheckable(true);
            group->addAction(item);
        }
        return group;
    };
    using F = TFormThalwise;

    MenuFile = addMenu(nullptr, "MenuFile", tr("&File"));
    MenuFileOpenOne =
        addMenuItem(MenuFile, "MenuFileOpenOne", tr("&Open..."), &F::MenuFileOpenOneClick);
    MenuFileOpenArchive = addMenuItem(MenuFile, "MenuFileOpenArchive", tr("Open &archive..."),
                                      &F::MenuFileOpenArchiveClick);
    MenuFileFlipAnyImages = addMenuItem(MenuFile, "MenuFileFlipAnyImages", tr("Flip &any charts..."),
                                        &F::MenuFileFlipAnyImagesClick);
    MenuFileFlipLatest = addMenuItem(MenuFile, "MenuFileFlipLatest", tr("&Flip latest charts"),
                                     &F::MenuFileFlipLatestClick);
    MenuFileSaveAs =
        addMenuItem(MenuFile, "MenuFileSaveAs", tr("Save &As..."), &F::MenuFileSaveAsClick);
    MenuFile->addSeparator();
    MenuFileExportGpx = addMenuItem(MenuFile, "MenuFileExportGpx", tr("&Export waypoints (GPX)..."),
                                    &F::MenuFileExportGpxClick);
    MenuFileImportGpx = addMenuItem(MenuFile, "MenuFileImportGpx", tr("&Import waypoints (GPX)..."),
                                    &F::MenuFileImportGpxClick);
    MenuFile->addSeparator();
    MenuFilePrint = addMenuItem(MenuFile, "MenuFilePrint", tr("&Print..."), &F::MenuFilePrintClick);
    MenuFilePrintSetup =
        addMenuItem(MenuFile, "MenuFilePrintSetup", tr("Print setup..."), &F::MenuFilePrintSetupClick);
    MenuFile->addSeparator();
    MenuFileExit = addMenuItem(MenuFile, "MenuFileExit", tr("E&xit"), &F::MenuFileExitClick);

    MenuAnnotation = addMenu(nullptr, "MenuAnnotation", tr("&Annotation"));
    MenuClearAll = addMenuItem(MenuAnnotation, "MenuClearAll", tr("&Clear all"), &F::MenuClearAllClick);
    MenuAnnotationFont =
        addMenuItem(MenuAnnotation, "MenuAnnotationFont", tr("&Font"), &F::MenuAnnotationFontClick);
    MenuAnnotationOutline = addMenuItem(MenuAnnotation, "MenuAnnotationOutline", tr("&Outline"),
                                        &F::MenuAnnotationOutlineClick);
    MenuAnnotationOutline->setCheckable(true);

    MenuView = addMenu(nullptr, "MenuView", tr("&View"));
    MenuViewNormal = addMenuItem(MenuView, "MenuViewNormal", tr("&Normal view"), &F::MenuViewZoomClick);
    MenuViewZoom = addMenuItem(MenuView, "MenuViewZoom", tr("&Zoom in"), &F::MenuViewZoomClick);
    m_zoomGroup = radioGroup("ZoomGroup", {MenuViewNormal, MenuViewZoom});
    MenuView->addSeparator();
    MenuViewDecimalDegrees =
        addMenuItem(MenuView, "MenuViewDecimalDegrees", tr("Lat/Lon (Decimal/GPS format)"),
                    &F::MenuViewDegreesReadoutClick);
    MenuViewDegreeMinutesSeconds =
        addMenuItem(MenuView, "MenuViewDegreeMinutesSeconds",
                    tr("Lat/Lon (Traditional degrees && minutes)"), &F::MenuViewDegreesReadoutClick);
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
    MenuViewBreaks = addMenuItem(MenuView, "MenuViewBreaks", tr("Temperature &breaks"),
                                 &F::MenuViewBreaksClick);
    MenuViewBreaks->setCheckable(true);
    MenuViewBreakThreshold = addMenuItem(MenuView, "MenuViewBreakThreshold",
                                         tr("Break &threshold..."),
                                         &F::MenuViewBreakThresholdClick);
    MenuView->addSeparator();
    MenuToolsWaypoints =
        addMenuItem(MenuView, "MenuToolsWaypoints", tr("&Waypoints"), &F::MenuToolsWaypointsClick);
    MenuToolsWaypoints->setCheckable(true);
    MenuViewTemperatureHistory = DockTemperatureHistory->toggleViewAction();
    MenuViewTemperatureHistory->setObjectName(QStringLiteral("MenuViewTemperatureHistory"));
    MenuViewTemperatureHistory->setText(tr("Temperature &history"));
    MenuView->addAction(MenuViewTemperatureHistory);

    MenuTools = addMenu(nullptr, "MenuTools", tr("&Tools"));
    MenuDefaultArea = addMenu(MenuTools, "MenuDefaultArea", tr("&Area to flip"));
    MenuToolsDeleteAfter =
        addMenu(MenuTools, "MenuToolsDeleteAfter", tr("&Delete charts after"));
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
        QAction* item = addMenuItem(MenuToolsDeleteAfter, r.name,
                                    QCoreApplication::translate("ArchiveTidyUp", r.caption),
                                    nullptr);
        item->setData(r.tag);
        item->setCheckable(true);
        m_daysToKeepGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] {
            MenuToolsDaysToKeepClick(item);
            updateActions();
        });
        *r.item = item;
    }
    MenuToolsManageArchive = addMenuItem(MenuTools, "MenuToolsManageArchive", tr("&Manage archive..."),
                                         &F::MenuToolsManageArchiveClick);
    MenuToolsPurgeOldCharts = addMenuItem(MenuTools, "MenuToolsPurgeOldCharts",
                                          tr("&Purge old charts..."), &F::MenuToolsPurgeOldChartsClick);

    MenuHelp = addMenu(nullptr, "MenuHelp", tr("&Help"));
    MenuHelpContents = addMenuItem(MenuHelp, "MenuHelpContents", tr("&Contents..."), &F::MenuHelpClick);
    MenuHelpGettingStarted = addMenuItem(MenuHelp, "MenuHelpGettingStarted", tr("&Getting started..."),
                                         &F::MenuHelpGettingStartedClick);
    MenuHelpIndex = addMenuItem(MenuHelp, "MenuHelpIndex", tr("&Index..."), &F::MenuHelpClick);
    MenuHelpSearch =
        addMenuItem(MenuHelp, "MenuHelpSearch", tr("&Search for Help On..."), &F::MenuHelpClick);
    MenuHelp->addSeparator();
    MenuHelpAbout = addMenuItem(MenuHelp, "MenuHelpAbout", tr("&About..."), &F::MenuHelpAboutClick);

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
        {MenuViewZoom, QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Plus)},
        {MenuViewNormal, QKeySequence::ZoomOut, QKeySequence(Qt::CTRL | Qt::Key_Minus)},
    };
    for (const auto& k : keys) {
        const QList<QKeySequence> standard = QKeySequence::keyBindings(k.key);
        k.item->setShortcuts(standard.isEmpty() ? QList<QKeySequence>{k.fallback} : standard);
    }
    // The zoom keys set their own view; only choosing the menu item toggles (eventFilter).
    MenuViewZoom->installEventFilter(this);
    MenuViewNormal->installEventFilter(this);

    PopupMenuWaypoint = new QMenu(this);
    PopupMenuWaypoint->setObjectName(QStringLiteral("PopupMenuWaypoint"));
    PopupMenuWaypointClear = addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointClear", tr("Clear all"),
                                         &F::PopupMenuWaypointClearClick);
    PopupDetailsWpt = addMenuItem(PopupMenuWaypoint, "PopupDetailsWpt", tr("Details"), nullptr);
    PopupDetailsWpt->setVisible(false);
    PopupMenuWaypointDelete = addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointDelete", tr("Delete"),
                                          &F::PopupMenuWaypointDeleteClick);
    PopupMenuWaypointPrint = addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointPrint", tr("Print"),
                                         &F::PopupMenuWaypointPrintClick);
    PopupMenuWaypointExportGpx =
        addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointExportGpx", tr("Export waypoints (GPX)..."),
                    &F::MenuFileExportGpxClick);
    PopupMenuWaypointImportGpx =
        addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointImportGpx", tr("Import waypoints (GPX)..."),
                    &F::MenuFileImportGpxClick);
    PopupMenuWaypoint->addSeparator();
    PopupMenuWaypointHideTable =
        addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointHideTable", tr("Hide waypoint list"),
                    &F::PopupMenuWaypointHideTableClick);
    connect(PopupMenuWaypoint, &QMenu::aboutToShow, this, [this] { PopupMenuWaypointPopup(); });
    connect(StringGridWaypointList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) {
                // The menu key gives the current cell's place, the mouse its own.
                StringGridWaypointListMouseMove(at);
                PopupMenuWaypoint->popup(StringGridWaypointList->viewport()->mapToGlobal(at));
            });
}

// The controls anchored to the right or bottom keep their distance from those edges; the tab
// strip keeps its left, top and bottom distances. Then the window's own resize rule runs.
void TFormThalwise::layoutControls() {
    const int width = m_client->width();
    const int height = m_client->height();
    const int statusHeight = StatusBar->sizeHint().height();
    StatusBar->setGeometry(0, height - statusHeight, width, statusHeight);
    const int statusTop = StatusBar->y();

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
    StringGridWaypointList->move(StringGridWaypointList->x(), kTabControlTop);

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
        zoomKeeping(watched == MenuViewZoom, viewCentre());
        updateActions();
        return true;
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
        FormMouseWheel(wheel->angleDelta().y(), ScrollBox->viewport()->rect().contains(at)
                                                    ? std::optional<QPoint>(at)
                                                    : std::nullopt);
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

QString TFormThalwise::statusPanelText(int panel) const {
    return panel >= 0 && panel < 4 ? m_statusPanels[panel]->text() : QString();
}

QString TFormThalwise::statusPanelToolTip(int panel) const {
    return panel >= 0 && panel < 4 ? m_statusPanels[panel]->toolTip() : QString();
}

void TFormThalwise::setStatusPanelText(int panel, const QString& text) {
    if (panel >= 0 && panel < 4) m_statusPanels[panel]->setText(text);
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
    if (!m_arguments.isEmpty()) OpenChart(m_arguments.first());
    RunPurgeReminder();
}

void TFormThalwise::RunPurgeReminder() {
    // Created for this step only: released (and so written) when the step ends, which keeps
    // the reminder to at most once per calendar day.
    TRegistryInteger lastReminder(*m_services.registry, m_settingsKey,
                                  settingNames::LastPurgeReminder,
                                  settingDefaults::LastPurgeReminder);
    const int today = platform::dayNumber(m_services.clock->now());
    if (app::purgeReminderDue(lastReminder.Value, today)) {
        MenuToolsPurgeOldChartsClick();
        lastReminder.Value = today;
    }
}

void TFormThalwise::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
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
    SaveWaypoints();
    // Releasing a setting writes it back; this is the only time the window's settings are written.
    Font.reset();
    FontOutlined.reset();
    DecimalDegrees.reset();
    MagneticReadout.reset();
    TemperatureCelsius.reset();
    TemperatureBreaks.reset();
    BreakThreshold.reset();
    ClearChartImages();
    AnnotationLines.clear();
    FoundFiles.clear();
    AnnotationTexts.clear();
    WaypointList.clear();
    WaypointIcon = QImage();
    HomeLat.reset();
    HomeLon.reset();
    BaseBitmap = QImage();
    DataFilterIndex.reset();
    DataFolder.reset();
    DefaultArea.reset();
    DaysToKeep.reset();
    m_settingsSections.reset();
}

bool TFormThalwise::commitSession(bool mayAsk) {
    if (m_destroyed) return true;
    const bool mayEnd = saveBeforeEnding(mayAsk);
    for (TRegistryVariable* setting : std::initializer_list<TRegistryVariable*>{
             DataFilterIndex.get(), DaysToKeep.get(), DataFolder.get(), DefaultArea.get(),
             Font.get(), FontOutlined.get(), DecimalDegrees.get(), MagneticReadout.get(),
             TemperatureCelsius.get(), TemperatureBreaks.get(), BreakThreshold.get(), HomeLat.get(),
             HomeLon.get()})
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
    in.statusBarTop = StatusBar->y();
    in.scrollBoxTop = ScrollBox->y();
    in.gridVisible = !StringGridWaypointList->isHidden();
    in.gridWidth = StringGridWaypointList->width();
    in.imageScaleLeft = ImageScale->x();
    in.toolColumnLeft = std::min({SpeedButtonMeasure->x(), LabelMax->x(), ImageScale->x()});
    const app::ResizeResult out = app::formResize(in);
    ScrollBox->resize(ScrollBox->width(), std::max(0, out.scrollBoxHeight));
    if (out.gridLeft) StringGridWaypointList->move(*out.gridLeft, StringGridWaypointList->y());
    TabControlImages->resize(std::max(0, out.tabControlWidth), TabControlImages->height());
}

// ---------------------------------------------------------------------------------------------
// Routines

void TFormThalwise::SaveIfModified() {
    if (!AnnotationFile) return;
    SaveWaypoints();
    SaveAnnotations();
}

bool TFormThalwise::SaveAnnotations() {
    if (!AnnotationFile) return true;
    if (!geo::saveAnnotations(*AnnotationFile, AnnotationLines, AnnotationTexts)) {
        // Still modified: the next save tries again.
        reportUnwritable(AnnotationFile->path());
        return false;
    }
    AnnotationsModified = false;
    return true;
}

void TFormThalwise::LoadAnnotations() {
    const QString path = geo::annotationFileName(ProgramInfoFolder, geo::areaCode(CurrentArea));
    // Marks not yet written go to their own area's file before another file replaces them (the
    // flip commands would otherwise drop them unsaved). When that fails for this very file, the
    // marks in memory are newer than anything it holds: they stay.
    if (AnnotationFile && AnnotationsModified && !SaveAnnotations() &&
        AnnotationFile->path() == path)
        return;
    AnnotationFile = std::make_unique<platform::ProfileFile>(path);
    bool writeFailed = false;
    geo::Annotations loaded = geo::loadAnnotations(*AnnotationFile, &writeFailed);
    AnnotationLines = std::move(loaded.lines);
    AnnotationTexts = std::move(loaded.texts);
    // A folder that cannot be written is reported; the chart is shown all the same with what the
    // file holds.
    if (writeFailed) reportUnwritable(AnnotationFile->path());
}

void TFormThalwise::reportUnwritable(const QString& path) {
    m_services.messageBoxes->showError(platform::unableToWriteText(path));
}

void TFormThalwise::ClearChartImages() {
    ChartImages.clear(); // each entry's bitmap goes with it
    CurrentImageIndex = -1;
    m_history.clear();
    m_historyPoints.clear();
    m_pinnedPixel.reset();
    if (PlotTemperatureHistory) PlotTemperatureHistory->clear();
    if (m_statusPanels[1]) m_statusPanels[1]->setToolTip(QString());
}

void TFormThalwise::refreshTemperatureHistory() {
    m_history.setCharts(ChartImages, ScaleBitmap, UpDownScaleMin->value(), UpDownScaleMax->value());
    if (!m_history.isActive()) return;
    PlotTemperatureHistory->setCelsius(TemperatureCelsius && TemperatureCelsius->Value);
    if (m_pinnedPixel)
        plotPinnedHistory();
    else if (!m_historyPoints.empty())
        followPointerInHistory(LastPointerPoint, chartPixelPositionText(LastPointerPoint));
    else
        PlotTemperatureHistory->clear(tr("Point at the water to see its temperature on each "
                                         "chart, or right-click and pin a spot."));
}

QString TFormThalwise::chartPixelPositionText(QPoint pixel) const {
    GeoPosition at;
    if (!PixelToGeo(pixel.x(), pixel.y(), at)) return QString();
    return geo::positionPanelText(at.Latitude, at.Longitude, DecimalDegrees->Value);
}

void TFormThalwise::followPointerInHistory(QPoint pixel, const QString& where) {
    m_history.readAt(pixel.x(), pixel.y(), m_historyPoints);
    // The temperature panel's tool-tip is always the pointer's spot; the plot is, unless a
    // spot is pinned.
    m_statusPanels[1]->setToolTip(
        app::historyToolTip(m_historyPoints, TemperatureCelsius && TemperatureCelsius->Value));
    if (!m_pinnedPixel && DockTemperatureHistory->isVisible())
        PlotTemperatureHistory->setPoints(m_historyPoints, where);
}

void TFormThalwise::plotPinnedHistory() {
    std::vector<app::HistoryPoint> pinned;
    m_history.readAt(m_pinnedPixel->x(), m_pinnedPixel->y(), pinned);
    PlotTemperatureHistory->setPoints(pinned,
                                      tr("Pinned: %1").arg(chartPixelPositionText(*m_pinnedPixel)));
}

void TFormThalwise::PopupMenuChartPinClick() {
    m_pinnedPixel = m_menuPixel;
    plotPinnedHistory();
}

void TFormThalwise::PopupMenuChartUnpinClick() {
    m_pinnedPixel.reset();
    followPointerInHistory(LastPointerPoint, chartPixelPositionText(LastPointerPoint));
}

void TFormThalwise::WaypointsChanged() {
    if (!m_waypointsChangeAttached) return;
    ShowCurrentChart();
    SaveWaypoints();
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

void TFormThalwise::ApplyZoom() {
    updateActions();
    ShowCurrentChart();
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
    // No area, the extra area and values outside the table have no item: the ticks stay.
    if (DefaultArea && m_areaGroup) {
        const QString code = geo::areaCode(DefaultArea->Value);
        if (!code.isEmpty())
            if (auto* item = findChild<QAction*>(QStringLiteral("MenuChooseArea") + code))
                item->setChecked(true);
    }
    MenuAnnotationOutline->setChecked(FontOutlined && FontOutlined->Value);
    MenuViewNormal->setChecked(!Zoomed);
    MenuViewZoom->setChecked(Zoomed);
    MenuFileSaveAs->setEnabled(!AnnotationLines.isEmpty() || !AnnotationTexts.isEmpty());
    MenuToolsWaypoints->setChecked(!StringGridWaypointList->isHidden());
    // Nothing to clear, print or export in an empty list without home.
    const bool hasWaypoints = !WaypointList.isEmpty();
    const bool hasTrip =
        hasWaypoints || (HomeLat && HomeLon && HomeLat->Value != 0.0 && HomeLon->Value != 0.0);
    PopupMenuWaypointClear->setEnabled(hasWaypoints);
    PopupMenuWaypointPrint->setEnabled(hasTrip);
    PopupMenuWaypointExportGpx->setEnabled(hasTrip);
    MenuFileExportGpx->setEnabled(hasTrip);
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

void TFormThalwise::MenuAnnotationOutlineClick() {
    FontOutlined->Value = !FontOutlined->Value;
    RepaintChart();
}

void TFormThalwise::MenuViewZoomClick() {
    // Either item toggles the view; the centre of the view stays where it is.
    zoomKeeping(!Zoomed, viewCentre());
}

void TFormThalwise::MenuViewDegreesReadoutClick() {
    DecimalDegrees->Value = !DecimalDegrees->Value;
    ShowLatLonFormat();
    RefreshWaypointGrid();
}

void TFormThalwise::MenuViewBearingReadoutClick() {
    MagneticReadout->Value = geo::magneticReadoutAfterToggle(MagneticReadout->Value, HasVariation);
    ShowHeadingFormat();
    RefreshWaypointGrid();
}

void TFormThalwise::MenuViewCelsiusClick() {
    TemperatureCelsius->Value = !TemperatureCelsius->Value;
    ShowTemperatureUnit();
}

void TFormThalwise::MenuViewBreaksClick() {
    TemperatureBreaks->Value = !TemperatureBreaks->Value;
    RepaintChart();
}

std::optional<double> TFormThalwise::askBreakThreshold(double current) {
    TFormBreakThreshold dialog(this);
    dialog.setThreshold(current);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.threshold();
}

void TFormThalwise::MenuViewBreakThresholdClick() {
    const std::optional<double> chosen = askBreakThreshold(BreakThreshold->Value);
    if (!chosen || !geo::isBreakThreshold(*chosen)) return;
    BreakThreshold->Value = *chosen;
    // Choosing a threshold is asking to see the breaks.
    TemperatureBreaks->Value = true;
    RepaintChart();
}

std::optional<app::BreakLayerKey> TFormThalwise::currentBreakLayerKey() const {
    if (!TemperatureBreaks || !TemperatureBreaks->Value || BaseBitmap.isNull() ||
        !m_calibration.Valid || CurrentImageIndex < 0 || CurrentImageIndex >= ChartImages.size())
        return std::nullopt;
    app::BreakLayerKey key;
    key.chart = ChartImages.at(CurrentImageIndex).path;
    key.scaleMin = UpDownScaleMin->value();
    key.scaleMax = UpDownScaleMax->value();
    key.area = m_calibration.Area;
    key.threshold = BreakThreshold->Value;
    return key;
}

std::shared_ptr<const geo::BreakLayer> TFormThalwise::currentBreakLayer() {
    const std::optional<app::BreakLayerKey> key = currentBreakLayerKey();
    if (!key) return nullptr;
    std::shared_ptr<const geo::BreakLayer> layer =
        m_breakLayers->layer(*key, BaseBitmap, m_temperatureScale, m_calibration);
    if (layer && (layer->width != BaseBitmap.width() || layer->height != BaseBitmap.height()))
        return nullptr;
    return layer;
}

void TFormThalwise::MenuToolsDaysToKeepClick(QAction* item) {
    if (!item) return;
    DaysToKeep->Value = item->data().toInt();
}

void TFormThalwise::MenuChooseAreaClick(QAction* item) {
    if (!item) return;
    DefaultArea->Value = item->data().toInt();
    CheckDefaultAreaItem();
}

void TFormThalwise::TimerUpdateRangeTimer() {
    TimerUpdateRange->stop();
    RepaintChart();
}

// ---------------------------------------------------------------------------------------------
// Chart areas

void TFormThalwise::showMessage(const QString& text) {
    platform::MessageBoxRequest request;
    request.caption = ApplicationTitle;
    request.text = text;
    m_services.messageBoxes->show(request);
}

void TFormThalwise::BuildAreaMenu() {
    if (m_areaGroup) return; // filled once
    m_areaGroup = new QActionGroup(this);
    m_areaGroup->setObjectName(QStringLiteral("AreaGroup"));
    m_areaGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (int i = geo::FirstCalibratedArea; i <= geo::LastCalibratedArea; ++i) {
        auto* item = new QAction(geo::areaDisplayName(i), this);
        item->setObjectName(QStringLiteral("MenuChooseArea") + geo::areaCode(i));
        item->setCheckable(true);
        item->setData(i);
        m_areaGroup->addAction(item);
        MenuDefaultArea->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] {
            MenuChooseAreaClick(item);
            updateActions();
        });
    }
}

void TFormThalwise::SelectArea(int index) {
    // The caption names the area, whether a chart or a flip made it current.
    setWindowTitle(app::chartCaption(geo::areaCode(index)));
    CurrentArea = index;
    DefaultArea->Value = index;
    CheckDefaultAreaItem();
    LoadAnnotations();
    // Areas without a calibration (none, and the extra area) map nothing.
    m_calibration = geo::Calibration::forArea(index);
    if (!m_calibration.Valid) showMessage(QCoreApplication::translate("ChartFiles", app::AreaNotRecognisedWarning));
}

bool TFormThalwise::GeoToPixel(float latitude, float longitude, int& x, int& y) const {
    return ::GeoToPixel(m_calibration, latitude, longitude, x, y);
}

bool TFormThalwise::PixelToGeo(int x, int y, GeoPosition& position) const {
    return ::PixelToGeo(m_calibration, x, y, position);
}

// ---------------------------------------------------------------------------------------------
// Chart loading

bool TFormThalwise::CheckChartExtension(const QString& path) {
    switch (app::chartExtensionOf(path)) {
    case app::ChartExtension::Missing:
        return false;
    case app::ChartExtension::Gif:
        return true;
    case app::ChartExtension::Other:
        break;
    }
    platform::MessageBoxRequest request;
    request.caption = app::wrongExtensionCaption(path);
    request.text = app::wrongExtensionText();
    request.buttons = unsigned(platform::Button::Ok);
    m_services.messageBoxes->show(request);
    return false;
}

void TFormThalwise::OpenChart(const QString& path) {
    if (!QFileInfo(path).isFile()) return;
    // Decoded once, before anything changes: a file that fails leaves the chart on screen.
    TGIFImage chart;
    QImage picture;
    QStringList warnings;
    try {
        warnings = archive::loadChartFile(chart, path);
        picture = chart.bitmap();
    } catch (const GIFException& error) {
        m_services.messageBoxes->showError(app::chartErrorText(path, error.message()));
        return;
    } catch (const std::bad_alloc&) {
        m_services.messageBoxes->showError(app::chartErrorText(path, QCoreApplication::translate("ChartFiles", app::OutOfMemoryText)));
        return;
    }
    if (picture.isNull()) return; // nothing to show: the chart on screen stays as it is
    // Filed first, applied after: an intake that fails leaves the chart on screen under its own
    // scale and heading correction, not the new chart's.
    const QString timestamp = geo::readChartMetadata(gif::firstFrameCommentTexts(chart)).timestamp;
    const auto whole = archive::leavesPixelsUnset(chart, warnings)
                           ? archive::ChartPicture::EndsEarly
                           : archive::ChartPicture::Whole;
    const std::optional<QString> shown = ArchiveIntake(path, timestamp, whole);
    if (!shown || !QFileInfo(*shown).isFile()) return;
    ChartTimestamp = applyChartMetadata(chart);
    displayChart(*shown, picture);
    if (whole == archive::ChartPicture::EndsEarly)
        showMessage(archive::incompleteChartMessage(path));
}

QString TFormThalwise::ReadChartMetadata(const QString& path) {
    if (!QFileInfo(path).isFile()) return QString();
    TGIFImage chart;
    chart.LoadFromFile(path);
    return applyChartMetadata(chart);
}

QString TFormThalwise::applyChartMetadata(const TGIFImage& chart) {
    m_chartCommentTexts = gif::firstFrameCommentTexts(chart);
    const geo::ChartMetadata metadata = geo::readChartMetadata(m_chartCommentTexts, QLocale());
    applyChartMetadata(metadata);
    return metadata.timestamp;
}

void TFormThalwise::applyChartMetadata(const geo::ChartMetadata& metadata) {
    ShowScaleControls(true);
    LabelTemp->setToolTip(QString());
    if (metadata.hasRange) {
        // Each spinner applies the scale through its change handler. The spinners widen their
        // ranges to take the chart's own values: a clamped limit would read every temperature
        // of a chart outside the usual ranges wrong.
        for (const auto& [spin, range] :
             {std::pair{UpDownScaleMin, geo::scaleMinSpinner(metadata.scaleMin)},
              std::pair{UpDownScaleMax, geo::scaleMaxSpinner(metadata.scaleMax)}}) {
            spin->setRange(range.lowest, range.highest);
            spin->setValue(range.value);
        }
        ShowScaleControls(false);
        // The tool-tip's line break is a carriage return; the tool-tip control wants a newline.
        QString toolTip = geo::chartToolTip(metadata, QLocale(), TemperatureCelsius->Value);
        LabelTemp->setToolTip(toolTip.replace(u'\r', u'\n'));
    }
    MagneticVariation = metadata.magneticVariation;
    HasVariation = metadata.hasVariation;
    MagneticReadout->Value = metadata.hasVariation;
    ShowHeadingFormat();
    // Headings may have changed between magnetic and true.
    RefreshWaypointGrid();
}

std::optional<QString> TFormThalwise::ArchiveIntake(const QString& path, const QString& timestamp,
                                                    archive::ChartPicture picture) {
    return archive::archiveIntake(*m_services.fileSystem, path, timestamp, ArchiveFolder, picture);
}

void TFormThalwise::DisplayChartFile(const QString& path) {
    if (!QFileInfo(path).isFile()) return;
    TGIFImage chart;
    chart.LoadFromFile(path);
    displayChart(path, chart.bitmap());
}

void TFormThalwise::displayChart(const QString& path, const QImage& picture) {
    // A chart without a picture adds nothing and leaves the chart on screen as it was.
    if (picture.isNull()) return;
    ImageLogo->hide();
    ApplicationTitle = app::chartApplicationTitle(path);
    setWindowIconText(ApplicationTitle);
    const int area = geo::chartAreaOfFile(path);
    if (area == geo::NoArea) showMessage(QCoreApplication::translate("ChartFiles", app::UnrecognisedAreaMessage));
    CurrentChartPath = app::fullChartPath(path);
    SelectArea(area);
    SaveAsName = app::saveAsNameFor(CurrentChartPath, geo::areaCode(CurrentArea));
    ClearChartImages();
    CurrentImageIndex = ChartImages.add(path, picture, m_chartCommentTexts);
    ShowCurrentChart();
}

void TFormThalwise::ShowScaleControls(bool visible) {
    for (QWidget* control :
         {static_cast<QWidget*>(LabelMin), static_cast<QWidget*>(LabelMax),
          static_cast<QWidget*>(EditScaleMin), static_cast<QWidget*>(EditScaleMax),
          static_cast<QWidget*>(UpDownScaleMin), static_cast<QWidget*>(UpDownScaleMax)})
        if (control) control->setVisible(visible);
}

void TFormThalwise::MenuFileOpenOneClick() {
    if (AnnotationsModified) SaveIfModified();
    OpenDialog.folder = DataFolder->Value;
    OpenDialog.filterIndex = app::openFilterIndex(DataFilterIndex->Value);
    const std::optional<QString> chosen = m_services.fileDialogs->openFile(OpenDialog);
    if (!chosen) return;
    OpenDialog.fileName = QFileInfo(*chosen).fileName();
    DataFolder->Value = app::folderOf(*chosen);
    DataFilterIndex->Value = OpenDialog.filterIndex;
    clearFlipTabs();
    if (CheckChartExtension(*chosen)) OpenChart(*chosen);
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
// Chart display

void TFormThalwise::ShowCurrentChart() {
    if (CurrentImageIndex < 0 || CurrentImageIndex >= ChartImages.size()) return;
    const QImage& picture = ChartImages.at(CurrentImageIndex).bitmap;
    if (picture.isNull()) return;
    // Kept as 32-bit RGB: the repaint copies it as it is and the temperature lookup reads it.
    BaseBitmap = picture.convertToFormat(QImage::Format_RGB32);
    RepaintChart();
    updateChartAge();
}

void TFormThalwise::updateChartAge() {
    std::optional<QDateTime> made;
    if (CurrentImageIndex >= 0 && CurrentImageIndex < ChartImages.size()) {
        // A chart of the archive is named after its time stamp; a chart shown in place, or
        // flipped under another name, has the time stamp of its comment.
        made = archive::chartTimeOf(QFileInfo(ChartImages.at(CurrentImageIndex).path).completeBaseName());
        if (!made) made = archive::chartTimeOf(ChartTimestamp);
    }
    const std::optional<archive::ChartAge> age =
        archive::chartAge(made, m_services.clock ? m_services.clock->now() : QDateTime());
    if (!age) {
        LabelChartAge->clear();
        TimerChartAge->stop();
        return;
    }
    LabelChartAge->setText(age->text);
    // Stale water is said in the desktop's warning colour, not only in words.
    LabelChartAge->setStyleSheet(age->stale ? QStringLiteral("color: #c00000; font-weight: bold;")
                                            : QString());
    LabelChartAge->setToolTip(age->stale ? tr("More than two days old: the water may have "
                                              "changed since.")
                                         : QString());
    if (!TimerChartAge->isActive()) TimerChartAge->start();
}

StoredFont TFormThalwise::annotationFont() const {
    StoredFont font;
    if (Font) Font->ApplyTo(&font);
    return font;
}

bool TFormThalwise::marksDrawnIn() const {
    return CurrentImageIndex >= 0 && CurrentImageIndex < ChartImages.size() &&
           app::isAnnotatedPicture(ChartImages.at(CurrentImageIndex).comments);
}

void TFormThalwise::RepaintChart() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const StoredFont font = annotationFont();
    display::Overlays overlays;
    // A picture saved with its marks drawn in does not get them a second time.
    const QList<AnnotationLine> noLines;
    const QList<AnnotationText> noTexts;
    const bool drawnIn = marksDrawnIn();
    overlays.lines = drawnIn ? &noLines : &AnnotationLines;
    overlays.texts = drawnIn ? &noTexts : &AnnotationTexts;
    overlays.font = toQFont(font);
    overlays.fontColour = colourOf(font);
    overlays.outlined = FontOutlined && FontOutlined->Value;
    overlays.homeLat = HomeLat ? HomeLat->Value : 0.0;
    overlays.homeLon = HomeLon ? HomeLon->Value : 0.0;
    overlays.waypoints = &WaypointList;
    if (m_calibration.Valid) {
        overlays.geoToPixel = [calibration = m_calibration](float lat, float lon, int& x, int& y) {
            return ::GeoToPixel(calibration, lat, lon, x, y);
        };
    }
    overlays.markerIcon = WaypointIcon;
    const std::shared_ptr<const geo::BreakLayer> breaks = currentBreakLayer();
    overlays.breaks = breaks.get();
    m_displayPicture = display::RepaintChart(BaseBitmap, overlays);
    showDisplayPicture();
    AnnotationsModified = !AnnotationLines.isEmpty() || !AnnotationTexts.isEmpty();
    updateActions();
    QGuiApplication::restoreOverrideCursor();
}

// The display picture on screen, pixel for pixel, each pixel a 2 x 2 block while zoomed.
void TFormThalwise::showDisplayPicture() {
    ImageDisplay->clearRubberBand();
    ImageDisplay->setPicture(Zoomed ? display::ZoomDouble(m_displayPicture) : m_displayPicture);
    if (m_displayPicture.isNull()) ImageDisplay->resize(0, 0);
}

bool TFormThalwise::FormMouseWheel(int wheelDelta, std::optional<QPoint> viewPoint) {
    const bool wanted = display::zoomAfterWheel(wheelDelta, Zoomed);
    if (wanted != Zoomed) zoomKeeping(wanted, viewPoint.value_or(viewCentre()));
    return true;
}

QPoint TFormThalwise::viewCentre() const {
    const QRect view = ScrollBox->viewport()->rect();
    return QPoint(view.width() / 2, view.height() / 2); // truncated
}

void TFormThalwise::zoomKeeping(bool zoomed, QPoint viewPoint) {
    const int oldScale = Zoomed ? 2 : 1;
    const int newScale = zoomed ? 2 : 1;
    const QPoint under = ImageDisplay->mapFrom(ScrollBox->viewport(), viewPoint);
    Zoomed = zoomed;
    ApplyZoom();
    if (oldScale == newScale || m_displayPicture.isNull()) return;
    // The scroll bars take their new ranges from the picture's new size at once.
    ScrollBox->horizontalScrollBar()->setValue(
        display::ScrollToKeep(under.x(), oldScale, newScale, viewPoint.x()));
    ScrollBox->verticalScrollBar()->setValue(
        display::ScrollToKeep(under.y(), oldScale, newScale, viewPoint.y()));
}

void TFormThalwise::LoadLogo() {
    QFile resource(QStringLiteral(":/LOGOGIF"));
    if (!resource.open(QIODevice::ReadOnly)) return;
    TGIFImage logo;
    try {
        logo.LoadFromBytes(resource.readAll());
    } catch (const GIFException&) {
        return; // a damaged logo leaves the chart area empty
    }
    QImage picture(logo.width(), logo.height(), QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) return;
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        logo.draw(painter, picture.rect()); // transparent pixels stay clear
    }
    ImageLogo->setAlignment(Qt::AlignCenter);
    ImageLogo->setPixmap(QPixmap::fromImage(picture));
}

// ---------------------------------------------------------------------------------------------
// Temperature scale

void TFormThalwise::TempScaleChange() {
    TimerUpdateRange->stop();
    if (ScaleBitmap.isNull()) return;
    const geo::SliderPlacement slider = geo::TemperatureScale::placeSlider(
        ImageScale->y(), ImageScale->height(), UpDownScaleMin->value(), UpDownScaleMax->value());
    TrackBarTemperature->setGeometry(TrackBarTemperature->x(), slider.top,
                                     TrackBarTemperature->width(), slider.height);
    TrackBarTemperature->setRange(slider.minimum, slider.maximum);
    TrackBarTemperature->setValue(slider.position);
    TrackBarTemperatureChange(); // the label follows a new range even when the position stays
    showScaleEndToolTips(UpDownScaleMin, UpDownScaleMax,
                         TemperatureCelsius && TemperatureCelsius->Value);
    m_temperatureScale.TempScaleChange(ScaleBitmap, UpDownScaleMin->value(),
                                       UpDownScaleMax->value());
    // Charts of the history without a range of their own are read under the new one. (The
    // break lines follow with the repaint the range's timer makes.)
    if (m_history.isActive()) {
        m_history.setFallbackRange(UpDownScaleMin->value(), UpDownScaleMax->value());
        if (m_pinnedPixel) plotPinnedHistory();
    }
    TimerUpdateRange->start();
}

void TFormThalwise::TrackBarTemperatureChange() {
    LabelTemp->setText(geo::TemperatureScale::sliderLabelText(
        TrackBarTemperature->minimum(), TrackBarTemperature->maximum(),
        TrackBarTemperature->value(), TemperatureCelsius && TemperatureCelsius->Value));
}

void TFormThalwise::ShowTemperatureUnit() {
    const bool celsius = TemperatureCelsius->Value;
    TrackBarTemperatureChange();
    showScaleEndToolTips(UpDownScaleMin, UpDownScaleMax, celsius);
    // The chart's range tool-tip, when its comment carries one.
    const geo::ChartMetadata metadata =
        geo::readChartMetadata(m_chartCommentTexts, QLocale(), celsius);
    LabelTemp->setToolTip(metadata.hasRange ? QString(metadata.toolTip).replace(u'\r', u'\n')
                                            : QString());
    // Only a panel that reads a temperature now; the reading it shows is kept in °F.
    if (!statusPanelText(1).isEmpty())
        setStatusPanelText(1, geo::temperaturePanelText(m_panelTemperature, QLocale(), celsius));
    RefreshWaypointGrid();
    // The history's plot and tool-tip read in the unit shown as well.
    PlotTemperatureHistory->setCelsius(celsius);
    if (m_history.isActive() && !m_historyPoints.empty())
        m_statusPanels[1]->setToolTip(app::historyToolTip(m_historyPoints, celsius));
}

void TFormThalwise::ImageScaleMouseLeave() {
    for (int panel = 0; panel < 3; ++panel)
        setStatusPanelText(panel, QString());
}

// ---------------------------------------------------------------------------------------------
// Readouts

void TFormThalwise::ImageDisplayMouseMove(TvekImage* sender, Qt::KeyboardModifiers,
                                          QPoint position) {
    const bool overChart = sender != ImageScale;
    int x = 0, y = 0;
    // Only the chart is ever enlarged; the scale strip keeps its own pixels.
    display::MouseToChartPixel(position.x(), position.y(), Zoomed && overChart, x, y);
    GeoPosition at;
    if (!PixelToGeo(x, y, at)) return;
    const QImage& sampled = overChart ? BaseBitmap : ScaleBitmap;
    app::PointerMove move;
    move.tool = PointerTool;
    move.overChart = overChart;
    move.x = x;
    move.y = y;
    move.position = at;
    move.dragging = Dragging;
    move.pressPosition = PressPosition;
    move.temperatureAt = [&] { return m_temperatureScale.TemperatureAtPixel(sampled, x, y); };
    move.decimalDegrees = DecimalDegrees->Value;
    move.magneticReadout = MagneticReadout->Value;
    move.magneticVariation = MagneticVariation;
    move.temperatureCelsius = TemperatureCelsius->Value;
    const app::PointerReadout readout = app::pointerReadout(move);

    setStatusPanelText(3, readout.pixel);
    setStatusPanelText(0, readout.position);
    if (readout.rubberBand != app::RubberBand::None) {
        const int scale = Zoomed ? 2 : 1;
        ImageDisplay->setRubberBand(PressPoint * scale, QPoint(x, y) * scale,
                                    readout.rubberBand == app::RubberBand::Rectangle);
    }
    if (readout.setsWaypointTemperature) WaypointTemperature = readout.waypointTemperature;
    LastPointerPoint = QPoint(x, y);
    if (overChart && m_history.isActive()) followPointerInHistory(QPoint(x, y), readout.position);
    setStatusPanelText(1, readout.temperature);
    m_panelTemperature = readout.temperatureF;
    setStatusPanelText(2, readout.range);
}

void TFormThalwise::ImageDisplayMouseDown(TvekImage*, Qt::MouseButton button,
                                          Qt::KeyboardModifiers, QPoint position) {
    int x = 0, y = 0;
    display::MouseToChartPixel(position.x(), position.y(), Zoomed, x, y);
    m_swallowRelease = false;
    // With a history on screen the right button pins its spot instead of using the tool.
    if (button == Qt::RightButton && m_history.isActive() && DockTemperatureHistory->isVisible()) {
        m_swallowRelease = true;
        m_menuPixel = QPoint(x, y);
        PopupMenuChartUnpin->setEnabled(m_pinnedPixel.has_value());
        PopupMenuChart->popup(ImageDisplay->mapToGlobal(position));
        return;
    }
    if (app::toolChangesMarks(PointerTool) && marksDrawnIn()) {
        showMessage(app::marksDrawnInText());
        return;
    }
    PressPoint = QPoint(x, y);
    GeoPosition at;
    m_pressMapped = PixelToGeo(x, y, at);
    if (!m_pressMapped) return;
    PressPosition = at;
    Dragging = true;
    // The drag starts where it was pressed, even without a pointer move seen there first (a pen
    // or a touch screen presses without moving).
    LastPointerPoint = PressPoint;
}

void TFormThalwise::ImageDisplayClick() {
    const app::ClickAction action = app::clickAction(PointerTool, PressPoint, LastPointerPoint);
    if (action == app::ClickAction::Ignored) return;
    Dragging = false;
    ImageDisplay->clearRubberBand();
    const QPoint at = LastPointerPoint;
    switch (action) {
    case app::ClickAction::EraseOrAddText:
        if (FindTextAt(at.x(), at.y()) >= 0)
            EraseTextAt(at.x(), at.y());
        else
            addTextAt(at);
        break;
    case app::ClickAction::EraseTextOrLine:
        if (!EraseTextAt(at.x(), at.y())) {
            const QRect square = app::eraseSquare(at);
            EraseLineIn(square.left(), square.top(), square.left() + square.width(),
                        square.top() + square.height());
        }
        break;
    case app::ClickAction::Ignored:
    case app::ClickAction::Nothing:
        break;
    }
}

void TFormThalwise::ImageDisplayMouseUp(TvekImage*, Qt::MouseButton, Qt::KeyboardModifiers,
                                        QPoint) {
    if (m_swallowRelease) {
        m_swallowRelease = false;
        return;
    }
    const bool wasDragging = Dragging;
    Dragging = false;
    ImageDisplay->clearRubberBand();
    // The end of a drag is where the last pointer move was seen, not where the button came up.
    switch (app::releaseAction(PointerTool, wasDragging)) {
    case app::ReleaseAction::AddLine:
        AnnotationLines.append(app::lineOnChart(PressPoint, LastPointerPoint, BaseBitmap.size()));
        RepaintChart();
        break;
    case app::ReleaseAction::EraseAtMidpoint: {
        const QPoint middle = app::dragMidpoint(PressPoint, LastPointerPoint);
        if (!EraseTextAt(middle.x(), middle.y()))
            EraseLineIn(PressPoint.x(), PressPoint.y(), LastPointerPoint.x(), LastPointerPoint.y());
        break;
    }
    case app::ReleaseAction::AddWaypoint:
        // A press that had no position (a chart of no known area) records nothing.
        if (!m_pressMapped) break;
        WaypointList.append(WaypointText(
            Waypoint{PressPosition.Latitude, PressPosition.Longitude, WaypointTemperature}));
        WaypointsChanged();
        RefreshWaypointGrid();
        break;
    case app::ReleaseAction::SetHome:
        if (!m_pressMapped) break;
        HomeLat->Value = PressPosition.Latitude;
        HomeLon->Value = PressPosition.Longitude;
        RefreshWaypointGrid();
        RepaintChart();
        break;
    case app::ReleaseAction::Nothing:
        break;
    }
}

int TFormThalwise::FindTextAt(int x, int y) const {
    const StoredFont font = annotationFont();
    const QFont annotationFont = toQFont(font);
    return app::FindTextAt(AnnotationTexts, QPoint(x, y), [&](const QString& text) {
        return display::TextSize(annotationFont, text);
    });
}

bool TFormThalwise::EraseTextAt(int x, int y) {
    const int index = FindTextAt(x, y);
    if (index < 0) return false;
    const platform::Button answer = m_services.messageBoxes->show(
        app::eraseTextQuestion(AnnotationTexts[index].text, QPoint(x, y)));
    if (answer == platform::Button::Yes) {
        AnnotationTexts.removeAt(index);
        RepaintChart();
        SaveAnnotations();
    }
    return true;
}

void TFormThalwise::EraseLineIn(int x1, int y1, int x2, int y2) {
    const std::optional<app::LineHit> hit =
        app::findLineIn(AnnotationLines, app::spannedRectangle(QPoint(x1, y1), QPoint(x2, y2)));
    if (!hit) return;
    if (m_services.messageBoxes->show(app::eraseLineQuestion(*hit)) != platform::Button::Yes)
        return;
    AnnotationLines.removeAt(hit->index);
    RepaintChart();
    SaveAnnotations();
}

void TFormThalwise::addTextAt(QPoint point) {
    if (!m_addText || !m_addText->ShowModal() || m_addText->EnteredText.isEmpty()) return;
    AnnotationTexts.append(AnnotationText{m_addText->EnteredText, point});
    RepaintChart();
}

void TFormThalwise::ImageDisplayMouseEnter() {
    // No control keeps the keyboard focus while the pointer is over the chart.
    if (QWidget* focused = focusWidget()) focused->clearFocus();
}

void TFormThalwise::ImageDisplayMouseLeave() {
    for (int panel = 0; panel < 3; ++panel)
        setStatusPanelText(panel, QString());
}

void TFormThalwise::ChangeMoveMode() {
    setStatusPanelText(1, QString());
    const std::pair<QToolButton*, app::PointerTool> tools[] = {
        {SpeedButtonMeasure, app::PointerTool::Measure},
        {SpeedButtonText, app::PointerTool::Text},
        {SpeedButtonDraw, app::PointerTool::Line},
        {SpeedButtonPolyline, app::PointerTool::Polygon},
        {SpeedButtonErase, app::PointerTool::Erase},
        {SpeedButtonWaypoint, app::PointerTool::Waypoint},
        {SpeedButtonWaypointHome, app::PointerTool::Home},
    };
    for (const auto& [button, tool] : tools)
        if (button->isChecked()) PointerTool = tool;
    ImageDisplay->setCursor(app::toolCursor(PointerTool));
    if (app::toolShowsWaypoints(PointerTool)) {
        // Once shown, the list and the home button stay when another tool is chosen.
        showWaypointGrid(true, true);
    }
}

// ---------------------------------------------------------------------------------------------
// Annotation menu

void TFormThalwise::MenuFileSaveAsClick() {
    // Never proposes the archive, where a picture would be taken for a chart.
    SaveDialog.fileName =
        app::saveAsProposal(SaveAsName, ArchiveFolder, m_services.desktop->documentsFolder());
    SaveDialog.folder = QFileInfo(SaveDialog.fileName).absolutePath();
    const std::optional<QString> chosen = m_services.fileDialogs->saveFile(SaveDialog);
    if (!chosen) return;
    // Quirk "save-as-saves-marks-first": the marks and waypoints are saved as the command says
    // even when the picture's name is refused below.
    SaveIfModified();
    const app::SaveAsRefusal refusal = app::saveAsRefusal(*chosen, CurrentChartPath, ArchiveFolder);
    if (refusal != app::SaveAsRefusal::None) {
        platform::MessageBoxRequest request;
        request.caption = SaveDialog.title;
        request.text = app::saveAsRefusalText(refusal);
        request.icon = platform::Icon::Warning;
        m_services.messageBoxes->show(request);
        return;
    }
    SaveAsName = *chosen;
    // The picture on screen is written too: the dialog promised an annotated image.
    if (CurrentImageIndex < 0 || m_displayPicture.isNull()) return;
    QString reason;
    if (!app::writeAnnotatedImage(m_displayPicture, ChartImages.at(CurrentImageIndex).bitmap,
                                  app::scaleMetadataLines(m_chartCommentTexts), SaveAsName,
                                  &reason))
        m_services.messageBoxes->showError(platform::unableToWriteText(SaveAsName) +
                                           QStringLiteral(": ") + reason);
}

void TFormThalwise::MenuClearAllClick() {
    if (marksDrawnIn()) {
        showMessage(app::marksDrawnInText());
        return;
    }
    if (m_services.messageBoxes->show(app::clearAllQuestion()) != platform::Button::Yes) return;
    AnnotationLines.clear();
    AnnotationTexts.clear();
    if (AnnotationFile && !geo::eraseAnnotationSections(*AnnotationFile))
        reportUnwritable(AnnotationFile->path());
    RepaintChart();
}

void TFormThalwise::MenuAnnotationFontClick() {
    const StoredFont font = annotationFont();
    const std::optional<platform::FontChoice> chosen =
        m_services.fontDialogs->chooseFont(fontChoiceOf(font));
    if (!chosen) return;
    const StoredFont taken = storedFontOf(*chosen);
    Font->TakeFrom(&taken);
    RepaintChart();
}

// ---------------------------------------------------------------------------------------------
// Hooks: filled in by the units that own these commands and routines.

void TFormThalwise::MenuFilePrintClick() {
    // Made for each use, on the picture as the chart display shows it, marks included.
    TFormPrint dialog(m_services, this);
    dialog.SourceBitmap = m_displayPicture;
    showPrintDialog(dialog);
}

void TFormThalwise::showPrintDialog(TFormPrint& dialog) {
    dialog.exec();
}
// ---------------------------------------------------------------------------------------------
// The waypoint list

namespace {

// The degree sign of the grid's headers and widths and of the printed list.
const QString DegreeSign = QStringLiteral("\u00B0");

geo::WaypointListOptions listOptions(const TRegistryDouble* homeLat, const TRegistryDouble* homeLon,
                                     const TRegistryBoolean* decimal,
                                     const TRegistryBoolean* magnetic, float variation,
                                     const TRegistryBoolean* celsius) {
    geo::WaypointListOptions options;
    options.homeLat = homeLat ? homeLat->Value : 0.0;
    options.homeLon = homeLon ? homeLon->Value : 0.0;
    options.decimalDegrees = decimal && decimal->Value;
    options.magneticReadout = magnetic && magnetic->Value;
    options.magneticVariation = variation;
    options.temperatureCelsius = celsius && celsius->Value;
    return options;
}

} // namespace

void TFormThalwise::SetupWaypointGrid() {
    const app::WaypointGridLayout layout =
        app::waypointGridLayout(StringGridWaypointList->fontMetrics(), DegreeSign);
    m_gridRowHeights = layout.rowHeights;
    for (int column = 0; column < StringGridWaypointList->columnCount(); ++column)
        StringGridWaypointList->setColumnWidth(column, layout.columnWidths[column] + 2);
    applyWaypointGridLayout();
}

void TFormThalwise::applyWaypointGridLayout() {
    // The grid is as high as its laid-out rows (header, home, fifteen waypoints); the rows of
    // further waypoints are as high as a waypoint row and scroll into view.
    const int laidOutRows = int(m_gridRowHeights.size());
    int height = 0;
    for (int row = 0; row < StringGridWaypointList->rowCount(); ++row) {
        const int rowHeight = m_gridRowHeights[std::min(row, laidOutRows - 1)] + 2;
        StringGridWaypointList->setRowHeight(row, rowHeight);
        if (row < laidOutRows) height += rowHeight;
    }
    int width = 0;
    for (int column = 0; column < StringGridWaypointList->columnCount(); ++column)
        width += StringGridWaypointList->columnWidth(column);
    // The scroll bar gets room of its own beside the columns rather than covering the last.
    if (StringGridWaypointList->rowCount() > laidOutRows)
        width += StringGridWaypointList->verticalScrollBar()->sizeHint().width();
    const int frame = 2 * StringGridWaypointList->frameWidth();
    StringGridWaypointList->resize(width + frame, height + frame);
}

void TFormThalwise::RefreshWaypointGrid() {
    const geo::WaypointGrid grid = geo::waypointGrid(
        WaypointList, listOptions(HomeLat.get(), HomeLon.get(), DecimalDegrees.get(),
                                  MagneticReadout.get(), MagneticVariation,
                                  TemperatureCelsius.get()));
    if (StringGridWaypointList->rowCount() != grid.rows.size()) {
        // A row for every waypoint: the grid grows or shrinks with the list and scrolls.
        StringGridWaypointList->setRowCount(int(grid.rows.size()));
        const QSize before = StringGridWaypointList->size();
        applyWaypointGridLayout();
        if (StringGridWaypointList->size() != before) {
            setMinimumSize(minimumWindowSize());
            FormResize();
        }
    }
    for (int row = 0; row < grid.rows.size() && row < StringGridWaypointList->rowCount(); ++row) {
        const QStringList& cells = grid.rows[row];
        for (int column = 0;
             column < cells.size() && column < StringGridWaypointList->columnCount(); ++column) {
            QString text = cells[column];
            // A header's line break is a carriage return; the grid's cells want a newline.
            text.replace(u'\r', u'\n');
            QTableWidgetItem* item = StringGridWaypointList->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                // The header row and the number column are fixed: never selected.
                item->setFlags(row == 0 || column == 0 ? Qt::ItemIsEnabled
                                                       : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                StringGridWaypointList->setItem(row, column, item);
            }
            item->setText(text);
        }
    }
    updateActions(); // home may have changed with the list
}

bool TFormThalwise::SaveWaypoints() {
    if (!m_settingsSections) return true;
    // One write of the store for the whole list, however long it is.
    const bool written = m_settingsSections->ReplaceSection(
        settingNames::WaypointsSection, waypointSectionEntries(geo::waypointsToSave(WaypointList)));
    m_settingsSections->UpdateFile();
    return written;
}

void TFormThalwise::showWaypointGrid(bool visible, bool withHomeButton) {
    StringGridWaypointList->setVisible(visible);
    if (withHomeButton) SpeedButtonWaypointHome->setVisible(visible);
    setMinimumSize(minimumWindowSize());
    FormResize();
    updateActions();
}

void TFormThalwise::MenuToolsWaypointsClick() {
    showWaypointGrid(StringGridWaypointList->isHidden(), false);
}

void TFormThalwise::PopupMenuWaypointHideTableClick() {
    showWaypointGrid(false, true);
}

void TFormThalwise::StringGridWaypointListMouseMove(QPoint position) {
    m_gridPointerY = position.y();
}

void TFormThalwise::PopupMenuWaypointPopup() {
    SelectedWaypoint = -1;
    PopupMenuWaypointDelete->setText(tr("Delete"));
    PopupMenuWaypointDelete->setVisible(false);
    const int row = m_gridPointerY >= 0 ? StringGridWaypointList->rowAt(m_gridPointerY) : -1;
    if (row >= geo::WaypointGridFirstWaypointRow) {
        SelectedWaypoint = row - geo::WaypointGridFirstWaypointRow;
        if (const std::optional<int> index = geo::deletableWaypoint(WaypointList, row)) {
            PopupMenuWaypointDelete->setText(tr("Delete waypoint %1").arg(*index + 1));
            PopupMenuWaypointDelete->setVisible(true);
        }
    }
    updateActions();
}

void TFormThalwise::PopupMenuWaypointDeleteClick() {
    if (SelectedWaypoint == -1) return;
    if (SelectedWaypoint >= 0 && SelectedWaypoint < WaypointList.size()) {
        WaypointList.removeAt(SelectedWaypoint);
        WaypointsChanged();
    }
    SelectedWaypoint = -1;
    RefreshWaypointGrid();
}

void TFormThalwise::PopupMenuWaypointClearClick() {
    platform::MessageBoxRequest question;
    question.caption = tr("Clear all waypoints");
    question.text = tr("Are you sure you want to clear all the waypoints?");
    question.buttons = platform::Button::Yes | platform::Button::No;
    question.defaultButton = platform::Button::No;
    question.icon = platform::Icon::Question;
    if (m_services.messageBoxes->show(question) != platform::Button::Yes) return;
    WaypointList.clear();
    WaypointsChanged();
    RefreshWaypointGrid();
}

void TFormThalwise::PopupMenuWaypointPrintClick() {
    const QStringList lines = geo::printedWaypointList(
        WaypointList, listOptions(HomeLat.get(), HomeLon.get(), DecimalDegrees.get(),
                                  MagneticReadout.get(), MagneticVariation,
                                  TemperatureCelsius.get()));
    const std::unique_ptr<platform::PrintJob> job = m_services.printers->createJob();
    const platform::PrintFont font{QStringLiteral("Courier New"), 10, true};
    const printing::TextPrintResult result =
        printing::printTextLines(*job, QStringLiteral("Waypoints"), lines, font);
    // A list that never reached the paper is said so: the user would otherwise wait at the
    // printer for nothing.
    if (result == printing::TextPrintResult::NotStarted)
        showMessage(tr("The waypoint list could not be printed: the printer could "
                                   "not be opened. Choose one with File > Print setup..."));
    else if (result == printing::TextPrintResult::Incomplete)
        showMessage(tr("The waypoint list was not printed completely."));
}

void TFormThalwise::MenuFileExportGpxClick() {
    GpxDialog.title = tr("Export waypoints (GPX)");
    if (GpxDialog.folder.isEmpty()) GpxDialog.folder = m_services.desktop->documentsFolder();
    if (GpxDialog.fileName.isEmpty()) GpxDialog.fileName = QStringLiteral("waypoints.gpx");
    const std::optional<QString> chosen = m_services.fileDialogs->saveFile(GpxDialog);
    if (!chosen) return;
    GpxDialog.folder = QFileInfo(*chosen).absolutePath();
    GpxDialog.fileName = QFileInfo(*chosen).fileName();
    QString error;
    if (!geo::writeGpxFile(*chosen, WaypointList, HomeLat->Value, HomeLon->Value, &error))
        m_services.messageBoxes->showError(QFileInfo(*chosen).fileName() + QStringLiteral(": ") +
                                           error);
}

void TFormThalwise::MenuFileImportGpxClick() {
    GpxDialog.title = tr("Import waypoints (GPX)");
    if (GpxDialog.folder.isEmpty()) GpxDialog.folder = m_services.desktop->documentsFolder();
    const std::optional<QString> chosen = m_services.fileDialogs->openFile(GpxDialog);
    if (!chosen) return;
    GpxDialog.folder = QFileInfo(*chosen).absolutePath();
    const QString name = QFileInfo(*chosen).fileName();
    QString error;
    const std::optional<geo::GpxWaypoints> imported = geo::readGpxFile(*chosen, &error);
    if (!imported) {
        m_services.messageBoxes->showError(name + QStringLiteral(": ") + error);
        return;
    }
    bool replace = true;
    if (!WaypointList.isEmpty()) {
        platform::MessageBoxRequest question;
        question.caption = tr("Import waypoints");
        question.text = tr("The list holds %1 waypoints. Replace them with the %2 "
                                       "waypoints of %3, or add these after them?")
                            .arg(WaypointList.size())
                            .arg(imported->waypoints.size())
                            .arg(name);
        question.buttons = platform::Button::Yes | platform::Button::No | platform::Button::Cancel;
        question.yesText = tr("&Replace");
        question.noText = tr("&Add");
        question.defaultButton = platform::Button::No;
        question.icon = platform::Icon::Question;
        const platform::Button answer = m_services.messageBoxes->show(question);
        if (answer == platform::Button::Cancel || answer == platform::Button::None) return;
        replace = answer == platform::Button::Yes;
    }
    const geo::ImportedTrip trip =
        geo::importWaypoints(WaypointList, HomeLat->Value, HomeLon->Value, *imported, replace);
    WaypointList = trip.waypointList;
    HomeLat->Value = trip.homeLat;
    HomeLon->Value = trip.homeLon;
    WaypointsChanged(); // repaints, with the new home
    RefreshWaypointGrid();
    showWaypointGrid(true, true);
    if (trip.leftOut > 0)
        showMessage(tr("%1 of the waypoints in %2 lie at latitude or longitude 0 "
                                   "and were left out.")
                        .arg(trip.leftOut)
                        .arg(name));
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
        if (const auto notice = archive::deletedOutrightNotice(
                archive::removeCharts(*m_services.fileSystem, FoundFiles), question.caption))
            m_services.messageBoxes->show(*notice);
    FoundFiles.clear();
}

bool TFormThalwise::AddChartImage(const QString& path) {
    TGIFImage chart;
    chart.LoadFromFile(path);
    const QImage bitmap = chart.bitmap();
    if (bitmap.isNull()) return false;
    return ChartImages.add(path, bitmap, gif::firstFrameCommentTexts(chart)) >= 0;
}

archive::ChartDecoding TFormThalwise::decodeChartsToFlip(const QStringList& paths) {
    // A long flip shows its progress and may be cancelled; a short one shows nothing.
    QProgressDialog progress(tr("Loading charts to flip..."), tr("Cancel"),
                             0, int(paths.size()), this);
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
        if (!chart.bitmap.isNull()) ChartImages.add(chart.path, chart.bitmap, chart.comments);
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

void TFormThalwise::RebuildImageTabs() {
    ImageLogo->hide();
    archive::trimToLatest(ChartImages);
    const QList<archive::FlipTab> tabs = archive::flipTabs(ChartImages);
    {
        const QSignalBlocker quiet(TabControlImagesTabs);
        while (TabControlImagesTabs->count() > 0)
            TabControlImagesTabs->removeTab(0);
        for (const archive::FlipTab& tab : tabs) {
            const int index = TabControlImagesTabs->addTab(tab.caption);
            TabControlImagesTabs->setTabData(index, tab.chartIndex);
            TabControlImagesTabs->setTabToolTip(
                index, QDir::toNativeSeparators(ChartImages.at(tab.chartIndex).path));
        }
        if (TabControlImagesTabs->count() > 0) TabControlImagesTabs->setCurrentIndex(0);
    }
    const bool arrows = archive::flipArrowsVisible(ChartImages.size());
    BitBtnLeft->setVisible(arrows);
    BitBtnRight->setVisible(arrows);
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
            DockTemperatureHistory->resize(PlotTemperatureHistory->sizeHint());
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
