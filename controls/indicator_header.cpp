#include "controls/indicator_header.h"

#include "platform/db/data_set.h"

#include <QPainter>
#include <QPolygon>

TIndicatorHeader::TIndicatorHeader(TGridRowMarks& marks, QWidget* parent)
    : QHeaderView(Qt::Vertical, parent), m_marks(marks) {
    setSectionResizeMode(QHeaderView::Fixed);
    setFixedWidth(kWidth);
    setSectionsClickable(false);
    setHighlightSections(false);
}

void TIndicatorHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    painter->fillRect(rect, palette().button());
    painter->setPen(palette().mid().color());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(palette().buttonText().color());
    painter->setBrush(palette().buttonText());
    const QPoint c = rect.center();
    const db::DataSet* dataSet = m_marks.dataSet();
    if (logicalIndex == m_marks.row() && dataSet && dataSet->isActive()) {
        switch (dataSet->state()) {
        case db::DataSetState::Edit:
            painter->drawLine(c.x(), c.y() - 4, c.x(), c.y() + 4);
            painter->drawLine(c.x() - 2, c.y() - 4, c.x() + 2, c.y() - 4);
            painter->drawLine(c.x() - 2, c.y() + 4, c.x() + 2, c.y() + 4);
            break;
        case db::DataSetState::Insert:
            painter->drawText(rect, Qt::AlignCenter, QStringLiteral("*"));
            break;
        default:
            painter->drawPolygon(QPolygon({QPoint(c.x() - 2, c.y() - 4), QPoint(c.x() + 2, c.y()),
                                           QPoint(c.x() - 2, c.y() + 4)}));
            break;
        }
    } else if (m_marks.isSelectedRow(logicalIndex)) {
        painter->drawEllipse(c, 2, 2);
    }
    painter->restore();
}
