#pragma once
#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace fetch {
class ChartFetcher;
struct AreaOutcome;
} // namespace fetch

class TAreaMap;

// File > "Get charts...": the areas to get (by region, or on a small map of the areas on the
// coast), the data source, the latest charts or a day's, and whether the chosen areas' latest
// charts come by themselves once a day at start-up. The charts are got one after another with a
// progress bar each; Cancel stops; what failed is listed with the server's own words.
class TFormGetCharts : public QDialog {
    Q_OBJECT

public:
    TFormGetCharts(fetch::ChartFetcher& fetcher, const QString& archiveFolder,
                   QWidget* parent = nullptr);

    // The choices shown when the dialog opens (the last ones made).
    void setChoices(const QList<int>& areas, const QString& source, bool dailyAtStart);
    QList<int> chosenAreas() const;
    QString sourceName() const;
    std::optional<QDate> day() const; // none for the latest
    bool dailyAtStart() const;
    // Replaces every source's server (before "/griddap/") when not empty: a mirror.
    void setServer(const QString& server) { m_server = server; }

    QTreeWidget* TreeAreas = nullptr;
    TAreaMap* AreaMap = nullptr;
    QComboBox* ComboSource = nullptr;
    QRadioButton* RadioLatest = nullptr;
    QRadioButton* RadioDay = nullptr;
    QDateEdit* EditDay = nullptr;
    QCheckBox* CheckDaily = nullptr;
    QTableWidget* TableProgress = nullptr;
    QLabel* LabelSummary = nullptr;
    QPushButton* ButtonGet = nullptr;
    QPushButton* ButtonCancel = nullptr;

signals:
    // The charts filed by a run, in the order got (none when nothing new was filed).
    void chartsFiled(const QStringList& paths);

private:
    void startFetch();
    void onAreaStarted(int area, int position, int count);
    void onAreaProgress(int area, qint64 received, qint64 total);
    void onAreaFinished(const fetch::AreaOutcome& outcome);
    void onFinished(const QList<fetch::AreaOutcome>& outcomes);
    void onAreaToggled(QTreeWidgetItem* item);
    void setAreaChosen(int area, bool chosen);
    void updateButtons();
    int rowOf(int area) const;

    fetch::ChartFetcher& m_fetcher;
    QString m_archiveFolder;
    QList<QTreeWidgetItem*> m_areaItems; // index area - 1
    QList<int> m_runAreas;
    QString m_server;
};

// The 30 areas as boxes over the coast, in degrees (east to the right, north up, longitudes
// shrunk by the cosine of the middle latitude). A click toggles the smallest box under it.
class TAreaMap : public QWidget {
    Q_OBJECT
public:
    explicit TAreaMap(QWidget* parent = nullptr);
    void setChosen(const QList<int>& areas);
    QSize sizeHint() const override;
    // The area whose box holds a point of the widget (the smallest of overlapping boxes), or 0.
    int areaAt(const QPointF& point) const;

signals:
    void areaClicked(int area);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPointF toWidget(double lon, double lat) const;
    QList<int> m_chosen;
};
