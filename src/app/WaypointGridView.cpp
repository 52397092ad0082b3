#include "app/WaypointGridView.h"

#include "geo/Waypoint.h"
#include "geo/WaypointTable.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>

namespace app {

WaypointGridLayout waypointGridLayout(const QFontMetrics& metrics, const QString& degreeSign) {
    WaypointGridLayout layout;
    const int lineHeight = metrics.boundingRect(QStringLiteral("Cy")).height() + 4;
    const QString widthTexts[8] = {QStringLiteral(" 88 "),
                                   QStringLiteral(" return leg "),
                                   QStringLiteral("888.888W") + degreeSign,
                                   QStringLiteral("  Temp"),
                                   QStringLiteral("   Range"),
                                   QStringLiteral(" Heading "),
                                   QStringLiteral(" Range"),
                                   QStringLiteral(" Reef by the ledge ")};
    int width = 0;
    for (int column = 0; column < int(layout.columnWidths.size()); ++column) {
        layout.columnWidths[column] = metrics.horizontalAdvance(widthTexts[column]);
        width += layout.columnWidths[column] + 2;
    }
    int height = 0;
    for (int row = 0; row < 17; ++row) {
        layout.rowHeights[row] = row == 0 ? 2 * lineHeight : lineHeight;
        height += layout.rowHeights[row] + 2;
    }
    layout.size = QSize(width, height);
    return layout;
}

void WaypointGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const bool headerRow = index.row() == 0;
    const bool fixed = headerRow || index.column() == 0;
    if (!fixed) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QPalette& palette = option.palette;
    painter->save();
    painter->fillRect(option.rect, palette.button());
    painter->setPen(palette.color(QPalette::ButtonText));
    painter->setFont(option.font);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (headerRow && !text.isEmpty()) {
        constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const QRect needed =
            painter->fontMetrics().boundingRect(option.rect.adjusted(2, 0, 0, 0), flags, text);
        if (needed.height() > option.rect.height() && rowTooLow) {
            rowTooLow(index.row(), needed.height());
        } else {
            painter->drawText(option.rect.adjusted(2, 0, 0, 0), flags, text);
        }
    } else if (!text.isEmpty()) {
        painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    painter->restore();
}

QWidget* WaypointGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setMaxLength(int(geo::WaypointNameLength));
    return editor;
}

void WaypointGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                        const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (index.column() != geo::WaypointGridNameColumn || !line || !nameEdited) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    nameEdited(index.row(), line->text());
}

} // namespace app
