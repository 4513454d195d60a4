#pragma once
// The main window of a side's application: a QMainWindow whose central widget is the MDI area
// that holds the MDI child forms, with a status bar that shows the hints of menu items.
#include <QMainWindow>

class QMdiArea;

namespace ui {

class MainWindow : public QMainWindow {
public:
    explicit MainWindow(QWidget* parent = nullptr);
    QMdiArea* mdiArea() const { return m_mdiArea; }

private:
    QMdiArea* m_mdiArea;
};

} // namespace ui
