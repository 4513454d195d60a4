#include "platform/ui/record_scroll_bar.h"

#include "platform/db/data_set.h"
#include "platform/ui/data_grid_model.h"
#include "platform/ui/dispatch.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QTimer>

namespace ui {

RecordScrollBar::RecordScrollBar(QAbstractScrollArea& view, DataGridModel& model,
                                 std::function<int()> pageRows)
    : QObject(&view), m_bar(*view.verticalScrollBar()), m_model(model),
      m_pageRows(std::move(pageRows)) {
    connect(&m_bar, &QAbstractSlider::actionTriggered, this, [this](int a) { action(a); });
    connect(&m_model, &DataGridModel::opened, this, [this] { update(); });
    connect(&m_model, &DataGridModel::windowRead, this, [this] { update(); });
}

void RecordScrollBar::update() {
    const QSignalBlocker block(&m_bar);
    const db::DataSet* dataSet = m_model.activeDataSet();
    if (!dataSet || dataSet->isEmpty() ||
        (m_idleWhenAllInView && m_model.rowCount() < m_model.capacity())) {
        m_bar.setRange(0, 0);
        return;
    }
    m_bar.setRange(0, 4);
    m_bar.setPageStep(1);
    m_bar.setSingleStep(1);
    m_bar.setValue(dataSet->bof() ? 0 : (dataSet->eof() ? 4 : 2));
}

void RecordScrollBar::action(int action) {
    if (!m_model.activeDataSet())
        return;
    guarded([&] {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            m_model.moveBy(1);
            break;
        case QAbstractSlider::SliderSingleStepSub:
            m_model.moveBy(-1);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            m_model.moveBy(m_pageRows());
            break;
        case QAbstractSlider::SliderPageStepSub:
            m_model.moveBy(-m_pageRows());
            break;
        case QAbstractSlider::SliderToMinimum:
            m_model.first();
            break;
        case QAbstractSlider::SliderToMaximum:
            m_model.last();
            break;
        case QAbstractSlider::SliderMove:
            if (m_bar.sliderPosition() == m_bar.minimum())
                m_model.first();
            else if (m_bar.sliderPosition() == m_bar.maximum())
                m_model.last();
            break;
        default:
            break;
        }
    });
    // The bar has moved its slider on its own; show the dataset's position again.
    QTimer::singleShot(0, this, [this] { update(); });
}

} // namespace ui
