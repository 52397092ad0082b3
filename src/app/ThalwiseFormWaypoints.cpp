// Waypoints: the waypoint grid, its menu, printing the list and GPX export and import.

#include "app/ThalwiseForm.h"

#include "app/AnnotatedImage.h"
#include "app/BreakLayerCache.h"
#include "app/HistoryPlot.h"
#include "app/MarkCommands.h"
#include "app/RegistryVariables.h"
#include "app/WaypointGridView.h"
#include "archive/ArchiveTidyUp.h"
#include "dialogs/AddText.h"
#include "dialogs/ArchiveManagerForm.h"
#include "dialogs/PrintForm.h"
#include "geo/Gpx.h"
#include "geo/TemperatureBreaks.h"
#include "geo/Waypoint.h"
#include "geo/WaypointTable.h"
#include "gif/GIFImage.h"
#include "platform/Desktop.h"
#include "platform/MessageBoxes.h"
#include "platform/PrintJob.h"
#include "platform/Printers.h"
#include "printing/TextPrint.h"

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>

void TFormThalwise::WaypointsChanged() {
    if (!m_waypointsChangeAttached) return;
    ShowCurrentChart();
    SaveWaypoints();
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

void TFormThalwise::createWaypointGrid() {
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
    StringGridWaypointList->resize(7 * 52 + 4, 17 * 20 + 4);
    StringGridWaypointList->hide();
    createWaypointPanel();
}

void TFormThalwise::createWaypointActions() {
    using F = TFormThalwise;
    PopupMenuWaypoint = new QMenu(this);
    PopupMenuWaypoint->setObjectName(QStringLiteral("PopupMenuWaypoint"));
    PopupMenuWaypointClear = addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointClear",
                                         tr("Clear all"), &F::PopupMenuWaypointClearClick);
    PopupDetailsWpt = addMenuItem(PopupMenuWaypoint, "PopupDetailsWpt", tr("Details"), nullptr);
    PopupDetailsWpt->setVisible(false);
    PopupMenuWaypointDelete = addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointDelete",
                                          tr("Delete"), &F::PopupMenuWaypointDeleteClick);
    PopupMenuWaypointPrint = addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointPrint", tr("Print"),
                                         &F::PopupMenuWaypointPrintClick);
    PopupMenuWaypointExportGpx =
        addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointExportGpx",
                    tr("Export waypoints (GPX)..."), &F::MenuFileExportGpxClick);
    PopupMenuWaypointImportGpx =
        addMenuItem(PopupMenuWaypoint, "PopupMenuWaypointImportGpx",
                    tr("Import waypoints (GPX)..."), &F::MenuFileImportGpxClick);
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

void TFormThalwise::createWaypointPanel() {
    DockWaypointList = new QDockWidget(tr("Waypoints"), this);
    DockWaypointList->setObjectName(QStringLiteral("DockWaypointList"));
    DockWaypointList->setWidget(StringGridWaypointList);
    addDockWidget(Qt::RightDockWidgetArea, DockWaypointList);
    DockWaypointList->hide();
    // The panel's own close button hides the list as "Hide waypoint list" would (the home
    // button stays as it is).
    connect(DockWaypointList->toggleViewAction(), &QAction::toggled, this, [this](bool shown) {
        if (m_destroyed || StringGridWaypointList->isHidden() != shown) return;
        StringGridWaypointList->setVisible(shown);
        updateActions();
    });
    auto* deleteKey = new QShortcut(QKeySequence::Delete, DockWaypointList);
    deleteKey->setObjectName(QStringLiteral("StringGridWaypointListDeleteKey"));
    deleteKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(deleteKey, &QShortcut::activated, this, [this] { StringGridWaypointListKeyDelete(); });
}

void TFormThalwise::SetupWaypointGrid() {
    StringGridWaypointList->setColumnCount(geo::WaypointGridColumns);
    // Only a waypoint's name can be edited (the cells say which); typing a name is a change of
    // the list like any other.
    StringGridWaypointList->setEditTriggers(QAbstractItemView::DoubleClicked |
                                            QAbstractItemView::EditKeyPressed |
                                            QAbstractItemView::SelectedClicked);
    if (auto* delegate =
            dynamic_cast<app::WaypointGridDelegate*>(StringGridWaypointList->itemDelegate()))
        delegate->nameEdited = [this](int row, const QString& name) {
            StringGridWaypointListNameEdited(row, name);
        };
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
    // Every column stays in view however narrow or low the panel is made, the scroll bar
    // beside them.
    const int scrollBar = StringGridWaypointList->verticalScrollBar()->sizeHint().width();
    StringGridWaypointList->setMinimumWidth(
        (StringGridWaypointList->rowCount() > laidOutRows ? width : width + scrollBar) + frame);
}

void TFormThalwise::RefreshWaypointGrid() {
    if (StringGridWaypointList->columnCount() != geo::WaypointGridColumns)
        StringGridWaypointList->setColumnCount(geo::WaypointGridColumns);
    const geo::WaypointGrid grid =
        geo::waypointGrid(WaypointList, listOptions(HomeLat.get(), HomeLon.get(),
                                                    DecimalDegrees.get(), MagneticReadout.get(),
                                                    MagneticVariation, TemperatureCelsius.get()));
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
        if (QTableWidgetItem* name =
                StringGridWaypointList->item(row, geo::WaypointGridNameColumn)) {
            const qsizetype index = row - geo::WaypointGridFirstWaypointRow;
            const bool listed =
                index >= 0 && index < WaypointList.size() && cells.value(1) != QStringLiteral("-");
            name->setFlags(listed ? name->flags() | Qt::ItemIsEditable
                                  : name->flags() & ~Qt::ItemIsEditable);
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
    DockWaypointList->setVisible(visible);
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
    if (SelectedWaypoint >= 0 && SelectedWaypoint < WaypointList.size())
        m_undoStack->push(new app::DeleteWaypointCommand(*this, SelectedWaypoint));
    SelectedWaypoint = -1;
    RefreshWaypointGrid();
}

void TFormThalwise::StringGridWaypointListKeyDelete() {
    // The selected row is the one the key acts on; the header, home and rows of no waypoint
    // have nothing to delete.
    const QList<QTableWidgetItem*> selected = StringGridWaypointList->selectedItems();
    if (selected.isEmpty()) return;
    const std::optional<int> index = geo::deletableWaypoint(WaypointList, selected.first()->row());
    if (!index) return;
    SelectedWaypoint = *index;
    PopupMenuWaypointDeleteClick();
    updateActions();
}

void TFormThalwise::PopupMenuWaypointClearClick() {
    platform::MessageBoxRequest question;
    question.caption = tr("Clear all waypoints");
    question.text = tr("Are you sure you want to clear all the waypoints?");
    question.buttons = platform::Button::Yes | platform::Button::No;
    question.defaultButton = platform::Button::No;
    question.icon = platform::Icon::Question;
    if (m_services.messageBoxes->show(question) != platform::Button::Yes) return;
    m_undoStack->push(new app::ReplaceTripCommand(*this, tr("Clear all waypoints"), QStringList(),
                                                  HomeLat->Value, HomeLon->Value));
}

void TFormThalwise::PopupMenuWaypointPrintClick() {
    const QStringList lines = geo::printedWaypointList(
        WaypointList,
        listOptions(HomeLat.get(), HomeLon.get(), DecimalDegrees.get(), MagneticReadout.get(),
                    MagneticVariation, TemperatureCelsius.get()));
    const std::unique_ptr<platform::PrintJob> job = m_services.printers->createJob();
    if (!job) return; // no PDF file named
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
    m_undoStack->push(new app::ReplaceTripCommand(*this, tr("Import waypoints"), trip.waypointList,
                                                  trip.homeLat, trip.homeLon));
    showWaypointGrid(true, true);
    if (trip.leftOut > 0)
        showMessage(tr("%1 of the waypoints in %2 lie at latitude or longitude 0 "
                       "and were left out.")
                        .arg(trip.leftOut)
                        .arg(name));
}

void TFormThalwise::StringGridWaypointListNameEdited(int row, const QString& name) {
    const qsizetype index = row - geo::WaypointGridFirstWaypointRow;
    if (index < 0 || index >= WaypointList.size()) return;
    const std::optional<Waypoint> waypoint = ParseWaypoint(WaypointList[index]);
    if (!waypoint || waypoint->name == geo::waypointName(name)) return;
    m_undoStack->push(new app::RenameWaypointCommand(*this, index, name));
    updateActions();
}
