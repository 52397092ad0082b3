#pragma once
// How the waypoint grid beside the chart is sized and how its fixed cells are drawn. The cells'
// texts come from the waypoint rules; this is only their look.

#include <QSize>
#include <QString>
#include <QStyledItemDelegate>

#include <array>
#include <functional>

class QFontMetrics;

namespace app {

// The grid's column widths, row heights and whole size (each cell with its 2 pixels of lines),
// from the widths of the texts that set them in the grid's font.
struct WaypointGridLayout {
    std::array<int, 8> columnWidths{};
    std::array<int, 17> rowHeights{};
    QSize size;
};

// Row 0 is twice the line height ("Cy" + 4); the columns are as wide as " 88 ", " return leg ",
// "888.888W" + degree sign, "  Temp", "   Range", " Heading " and " Range", then the name column
// as wide as " Reef by the ledge ".
WaypointGridLayout waypointGridLayout(const QFontMetrics& metrics, const QString& degreeSign);

// Draws the header row and the number column in the fixed cells' colour; a header's lines are
// wrapped to the cell's width from its top-left corner, "&" shown as itself. When a header needs
// more height than its row has, rowTooLow is told (the grid then raises the row and draws
// again) and the cell is left for that drawing.
class WaypointGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // A name is edited in a line that takes at most the characters a name keeps.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    // An edited name goes to nameEdited rather than into the cell: the list changes (and can be
    // undone) and the cell follows it.
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    std::function<void(int row, int neededHeight)> rowTooLow;
    std::function<void(int row, const QString& name)> nameEdited;
};

} // namespace app
