#include "dialogs/GetChartsForm.h"

#include "fetch/ChartFetch.h"
#include "geo/AreaStuff.h"
#include "geo/Coastline.h"
#include "sst/GriddapRequest.h"
#include "sst/SstSources.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The regions the areas are grouped in, by the letters of their codes.
struct Region {
    const char* prefix;
    const char* name;
};
const Region Regions[] = {
    {"ne", QT_TRANSLATE_NOOP("TFormGetCharts", "North-east")},
    {"ma", QT_TRANSLATE_NOOP("TFormGetCharts", "Mid-Atlantic")},
    {"fl", QT_TRANSLATE_NOOP("TFormGetCharts", "Florida and the Gulf of Mexico")},
};

// The map's frame: every area's box with a little sea around it.
struct MapFrame {
    double west = 0, east = 0, south = 0, north = 0;
};
const MapFrame& mapFrame() {
    static const MapFrame frame = [] {
        MapFrame f{180, -180, 90, -90};
        for (int a = geo::FirstCalibratedArea; a <= geo::LastCalibratedArea; ++a) {
            if (const std::optional<sst::GeoBox> box = sst::chartBox(a)) {
                f.west = std::min(f.west, box->west - 0.3);
                f.east = std::max(f.east, box->east + 0.3);
                f.south = std::min(f.south, box->south - 0.3);
                f.north = std::max(f.north, box->north + 0.3);
            }
        }
        return f;
    }();
    return frame;
}

constexpr int AreaRole = Qt::UserRole + 1;

} // namespace

TAreaMap::TAreaMap(QWidget* parent) : QWidget(parent) {
    setMinimumSize(320, 300);
    setToolTip(tr("Click an area to choose it or leave it out."));
    setCursor(Qt::PointingHandCursor);
}

QSize TAreaMap::sizeHint() const {
    return {420, 380};
}

void TAreaMap::setChosen(const QList<int>& areas) {
    m_chosen = areas;
    update();
}

QPointF TAreaMap::toWidget(double lon, double lat) const {
    const MapFrame& f = mapFrame();
    const double shrink = std::cos((f.south + f.north) / 2 * M_PI / 180);
    const double spanX = (f.east - f.west) * shrink, spanY = f.north - f.south;
    const double scale = std::min((width() - 8) / spanX, (height() - 8) / spanY);
    const double left = (width() - spanX * scale) / 2, top = (height() - spanY * scale) / 2;
    return {left + (lon - f.west) * shrink * scale, top + (f.north - lat) * scale};
}

int TAreaMap::areaAt(const QPointF& point) const {
    int best = 0;
    double bestArea = 0;
    for (int a = geo::FirstCalibratedArea; a <= geo::LastCalibratedArea; ++a) {
        const std::optional<sst::GeoBox> box = sst::chartBox(a);
        if (!box) continue;
        const QRectF r = QRectF(toWidget(box->west, box->north), toWidget(box->east, box->south));
        const double size = r.width() * r.height();
        if (r.contains(point) && (best == 0 || size < bestArea)) {
            best = a;
            bestArea = size;
        }
    }
    return best;
}

void TAreaMap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(206, 226, 240));
    // The land of every area's coastline file; areas overlap, so a coast may be drawn twice.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 196, 180));
    for (int a = geo::FirstCalibratedArea; a <= geo::LastCalibratedArea; ++a) {
        QPainterPath land;
        land.setFillRule(Qt::OddEvenFill);
        for (const geo::CoastRing& ring : geo::coastRings(a)) {
            QPolygonF polygon;
            for (const QPointF& p : ring)
                polygon << toWidget(p.x(), p.y());
            land.addPolygon(polygon);
        }
        painter.drawPath(land);
    }
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    painter.setFont(small);
    for (int a = geo::FirstCalibratedArea; a <= geo::LastCalibratedArea; ++a) {
        const std::optional<sst::GeoBox> box = sst::chartBox(a);
        if (!box) continue;
        const QRectF r = QRectF(toWidget(box->west, box->north), toWidget(box->east, box->south));
        const bool chosen = m_chosen.contains(a);
        painter.setPen(QPen(chosen ? QColor(200, 60, 0) : QColor(40, 70, 130), chosen ? 2 : 1));
        painter.setBrush(chosen ? QBrush(QColor(255, 120, 0, 60)) : QBrush(Qt::NoBrush));
        painter.drawRect(r);
        painter.setPen(chosen ? QColor(140, 40, 0) : QColor(40, 70, 130));
        painter.drawText(r.adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, geo::areaCode(a));
    }
}

void TAreaMap::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (const int area = areaAt(event->position())) emit areaClicked(area);
}

TFormGetCharts::TFormGetCharts(fetch::ChartFetcher& fetcher, const QString& archiveFolder,
                               QWidget* parent)
    : QDialog(parent), m_fetcher(fetcher), m_archiveFolder(archiveFolder) {
    setWindowTitle(tr("Get charts"));

    TreeAreas = new QTreeWidget(this);
    TreeAreas->setHeaderHidden(true);
    for (const Region& region : Regions) {
        auto* regionItem = new QTreeWidgetItem(TreeAreas, {tr(region.name)});
        regionItem->setFlags(regionItem->flags() | Qt::ItemIsUserCheckable |
                             Qt::ItemIsAutoTristate);
        regionItem->setCheckState(0, Qt::Unchecked);
        for (int a = geo::FirstCalibratedArea; a <= geo::LastCalibratedArea; ++a) {
            if (!geo::areaCode(a).startsWith(QLatin1String(region.prefix))) continue;
            auto* item = new QTreeWidgetItem(
                regionItem,
                {QStringLiteral("%1  %2").arg(geo::areaCode(a), geo::areaDisplayName(a))});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
            item->setData(0, AreaRole, a);
            while (m_areaItems.size() < a)
                m_areaItems.append(nullptr);
            m_areaItems[a - 1] = item;
        }
    }
    TreeAreas->expandAll();
    connect(TreeAreas, &QTreeWidget::itemChanged, this, &TFormGetCharts::onAreaToggled);

    AreaMap = new TAreaMap(this);
    connect(AreaMap, &TAreaMap::areaClicked, this,
            [this](int area) { setAreaChosen(area, !chosenAreas().contains(area)); });

    ComboSource = new QComboBox(this);
    for (const sst::SstSource& source : sst::sstSources())
        ComboSource->addItem(QStringLiteral("%1: %2").arg(source.name, source.description),
                             source.name);
    auto* sourceLabel = new QLabel(tr("&Source:"), this);
    sourceLabel->setBuddy(ComboSource);

    RadioLatest = new QRadioButton(tr("&Latest"), this);
    RadioDay = new QRadioButton(tr("&Day:"), this);
    RadioLatest->setChecked(true);
    EditDay = new QDateEdit(QDate::currentDate().addDays(-1), this);
    EditDay->setCalendarPopup(true);
    EditDay->setMaximumDate(QDate::currentDate());
    EditDay->setEnabled(false);
    connect(RadioDay, &QRadioButton::toggled, EditDay, &QWidget::setEnabled);

    CheckDaily = new QCheckBox(tr("Get these areas' latest charts once a day at st&art-up"), this);

    TableProgress = new QTableWidget(0, 3, this);
    TableProgress->setHorizontalHeaderLabels({tr("Area"), tr("Progress"), tr("Result")});
    TableProgress->horizontalHeader()->setStretchLastSection(true);
    TableProgress->verticalHeader()->hide();
    TableProgress->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableProgress->setWordWrap(true);
    LabelSummary = new QLabel(this);
    LabelSummary->setWordWrap(true);
    LabelSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    ButtonGet = new QPushButton(tr("&Get charts"), this);
    ButtonGet->setDefault(true);
    ButtonCancel = new QPushButton(tr("Close"), this);
    connect(ButtonGet, &QPushButton::clicked, this, &TFormGetCharts::startFetch);
    connect(ButtonCancel, &QPushButton::clicked, this, [this] {
        if (m_fetcher.isRunning())
            m_fetcher.cancel();
        else
            reject();
    });

    auto* choose = new QHBoxLayout;
    choose->addWidget(TreeAreas, 2);
    choose->addWidget(AreaMap, 3);
    auto* when = new QGridLayout;
    when->addWidget(sourceLabel, 0, 0);
    when->addWidget(ComboSource, 0, 1, 1, 3);
    when->addWidget(RadioLatest, 1, 1);
    when->addWidget(RadioDay, 1, 2);
    when->addWidget(EditDay, 1, 3);
    when->setColumnStretch(3, 1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ButtonGet, QDialogButtonBox::ActionRole);
    buttons->addButton(ButtonCancel, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choose, 3);
    layout->addLayout(when);
    layout->addWidget(CheckDaily);
    layout->addWidget(TableProgress, 2);
    layout->addWidget(LabelSummary);
    layout->addWidget(buttons);

    connect(&m_fetcher, &fetch::ChartFetcher::areaStarted, this, &TFormGetCharts::onAreaStarted);
    connect(&m_fetcher, &fetch::ChartFetcher::areaProgress, this, &TFormGetCharts::onAreaProgress);
    connect(&m_fetcher, &fetch::ChartFetcher::areaFinished, this, &TFormGetCharts::onAreaFinished);
    connect(&m_fetcher, &fetch::ChartFetcher::finished, this, &TFormGetCharts::onFinished);
    updateButtons();
}

void TFormGetCharts::setChoices(const QList<int>& areas, const QString& source, bool dailyAtStart) {
    for (int a = geo::FirstCalibratedArea; a <= geo::LastCalibratedArea; ++a)
        setAreaChosen(a, areas.contains(a));
    const int index = ComboSource->findData(source);
    if (index >= 0) ComboSource->setCurrentIndex(index);
    CheckDaily->setChecked(dailyAtStart);
}

QList<int> TFormGetCharts::chosenAreas() const {
    QList<int> areas;
    for (QTreeWidgetItem* item : m_areaItems) {
        if (item && item->checkState(0) == Qt::Checked)
            areas.append(item->data(0, AreaRole).toInt());
    }
    return areas;
}

QString TFormGetCharts::sourceName() const {
    return ComboSource->currentData().toString();
}

std::optional<QDate> TFormGetCharts::day() const {
    if (RadioLatest->isChecked()) return std::nullopt;
    return EditDay->date();
}

bool TFormGetCharts::dailyAtStart() const {
    return CheckDaily->isChecked();
}

void TFormGetCharts::setAreaChosen(int area, bool chosen) {
    if (area < 1 || area > m_areaItems.size() || !m_areaItems[area - 1]) return;
    m_areaItems[area - 1]->setCheckState(0, chosen ? Qt::Checked : Qt::Unchecked);
}

void TFormGetCharts::onAreaToggled(QTreeWidgetItem*) {
    AreaMap->setChosen(chosenAreas());
    updateButtons();
}

void TFormGetCharts::updateButtons() {
    const bool running = m_fetcher.isRunning();
    ButtonGet->setEnabled(!running && !chosenAreas().isEmpty());
    ButtonCancel->setText(running ? tr("Cancel") : tr("Close"));
    TreeAreas->setEnabled(!running);
    AreaMap->setEnabled(!running);
}

int TFormGetCharts::rowOf(int area) const {
    return static_cast<int>(m_runAreas.indexOf(area));
}

void TFormGetCharts::startFetch() {
    fetch::FetchRequest request;
    request.areas = chosenAreas();
    request.source = sourceName();
    request.date = day();
    request.archiveFolder = m_archiveFolder;
    request.serverOverride = m_server;
    if (request.areas.isEmpty() || m_fetcher.isRunning()) return;
    m_runAreas = request.areas;
    TableProgress->setRowCount(0);
    TableProgress->setRowCount(static_cast<int>(m_runAreas.size()));
    for (int row = 0; row < m_runAreas.size(); ++row) {
        TableProgress->setItem(row, 0, new QTableWidgetItem(geo::areaCode(m_runAreas[row])));
        auto* bar = new QProgressBar(TableProgress);
        bar->setRange(0, 100);
        bar->setValue(0);
        TableProgress->setCellWidget(row, 1, bar);
        TableProgress->setItem(row, 2, new QTableWidgetItem(tr("Waiting")));
    }
    LabelSummary->clear();
    m_fetcher.start(request);
    updateButtons();
}

void TFormGetCharts::onAreaStarted(int area, int, int) {
    const int row = rowOf(area);
    if (row < 0) return;
    TableProgress->item(row, 2)->setText(tr("Asking the server..."));
    if (auto* bar = qobject_cast<QProgressBar*>(TableProgress->cellWidget(row, 1)))
        bar->setRange(0, 0); // busy until the size is known
}

void TFormGetCharts::onAreaProgress(int area, qint64 received, qint64 total) {
    const int row = rowOf(area);
    auto* bar = row < 0 ? nullptr : qobject_cast<QProgressBar*>(TableProgress->cellWidget(row, 1));
    if (!bar) return;
    if (total > 0) {
        bar->setRange(0, 100);
        bar->setValue(static_cast<int>(received * 100 / total));
    }
    TableProgress->item(row, 2)->setText(tr("Downloading (%1 kB)").arg(received / 1024));
}

void TFormGetCharts::onAreaFinished(const fetch::AreaOutcome& outcome) {
    const int row = rowOf(outcome.area);
    if (row < 0) return;
    if (auto* bar = qobject_cast<QProgressBar*>(TableProgress->cellWidget(row, 1))) {
        bar->setRange(0, 100);
        bar->setValue(outcome.succeeded() ? 100 : 0);
    }
    QString text;
    if (!outcome.succeeded())
        text = tr("Failed: %1").arg(outcome.failure);
    else if (outcome.alreadyFiled)
        text = tr("Already in the archive");
    else
        text = tr("Filed");
    TableProgress->item(row, 2)->setText(text);
    TableProgress->item(row, 2)->setToolTip(outcome.failure.isEmpty() ? outcome.filedPath
                                                                      : outcome.failure);
    TableProgress->resizeRowToContents(row);
}

void TFormGetCharts::onFinished(const QList<fetch::AreaOutcome>& outcomes) {
    QStringList filed;
    int failed = 0, already = 0;
    for (const fetch::AreaOutcome& o : outcomes) {
        if (!o.succeeded())
            ++failed;
        else if (o.alreadyFiled)
            ++already;
        else
            filed.append(o.filedPath);
    }
    QStringList parts;
    parts << tr("%n new chart(s) filed.", nullptr, static_cast<int>(filed.size()));
    if (already) parts << tr("%n already in the archive.", nullptr, already);
    if (failed) parts << tr("%n failed: see the list above.", nullptr, failed);
    LabelSummary->setText(parts.join(u' '));
    updateButtons();
    if (!filed.isEmpty()) emit chartsFiled(filed);
}
