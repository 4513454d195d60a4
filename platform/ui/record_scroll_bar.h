#pragma once
// The vertical scroll bar of a navigational grid, over its DataGridModel. Without record numbers
// the bar tells only where the cursor is: at the start, at the end or in between; its arrows,
// page areas and ends move the dataset through the model (a page being the rows that fit), and a
// slider dragged to an end goes to the first or last record. The bar follows every read of the
// model's window.
#include <QObject>

#include <functional>

class QAbstractScrollArea;
class QScrollBar;

namespace ui {

class DataGridModel;

class RecordScrollBar : public QObject {
public:
    RecordScrollBar(QAbstractScrollArea& view, DataGridModel& model, std::function<int()> pageRows);

    // With this on, a window that holds every record leaves the bar nothing to scroll.
    void setIdleWhenAllInView(bool on) { m_idleWhenAllInView = on; }
    // Shows the dataset's position again.
    void update();

private:
    void action(int action);

    QScrollBar& m_bar;
    DataGridModel& m_model;
    std::function<int()> m_pageRows;
    bool m_idleWhenAllInView = false;
};

} // namespace ui
