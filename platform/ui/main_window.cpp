#include "platform/ui/main_window.h"

#include <QMdiArea>
#include <QStatusBar>

namespace ui {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this)) {
    setCentralWidget(m_mdiArea);
    statusBar(); // created now so that menu hints have a place from the start
}

} // namespace ui
