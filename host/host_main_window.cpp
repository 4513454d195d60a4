#include "host/host_main_window.h"

#include "host/addon_library.h"
#include "host/company_backup_commands.h"
#include "host/company_environment.h"
#include "host/company_schema.h"
#include "host/output_documents_form.h"
#include "host/paradox_import_command.h"
#include "host/receipts_form.h"
#include "host/stock_form.h"
#include "platform/abi/host_string.h"
#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/ui/application.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/menu.h"
#include "platform/ui/menu_item.h"
#include "platform/ui/menu_renderer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace host {

namespace {

// Group indexes of the host's menus. The add-on's items come with group index 5: they go
// after the host's items of index 0 and 1 and before those of index 9 (the exit, the window
// list), so "Iesire" stays last in "&Sistem".
constexpr int kGroupSystem = 0;
constexpr int kGroupDocument = 1;
constexpr int kGroupLast = 9;

ui::MenuItem* addItem(ui::MenuItem* parent, const QString& caption, int groupIndex,
                      const QString& hint, std::function<void()> onClick) {
    auto* item = new ui::MenuItem(parent, QString(), caption);
    item->setGroupIndex(groupIndex);
    item->setHint(hint);
    item->onClick = std::move(onClick);
    return item;
}

} // namespace

HostMainWindow::HostMainWindow(AddOnLibrary* addOn, QList<db::TableDef> addOnTables,
                               const QString& addOnStatus)
    : m_addOn(addOn), m_addOnTables(std::move(addOnTables)), m_menu(new ui::Menu(this)),
      m_companyLabel(new QLabel(this)), m_addOnLabel(new QLabel(addOnStatus, this)),
      m_hint(new QLabel(mdiArea()->viewport())) {
    setObjectName(QStringLiteral("HostMainWindow"));
    ui::application()->setMainWindow(this);
    m_backups = std::make_unique<CompanyBackupCommands>(
        this, CompanyBackupCommands::Company{
                  [this] { return m_companyDirectory; }, [this] { return closeCompany(); },
                  [this](const QString& directory) { openCompany(directory); },
                  [this](const QString& text) { statusBar()->showMessage(text, 10000); }});
    m_paradoxImport = std::make_unique<ParadoxImportCommand>(
        this, [this] { return m_addOnTables; },
        [this](const QString& directory) { openCompany(directory); });
    mdiArea()->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea()->setBackground(QColor(0x5a, 0x6e, 0x82));
    buildMenus();
    m_companyLabel->setObjectName(QStringLiteral("CompanyLabel"));
    m_addOnLabel->setObjectName(QStringLiteral("AddOnLabel"));
    for (QLabel* label : {m_companyLabel, m_addOnLabel}) {
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setContentsMargins(4, 0, 4, 0);
        statusBar()->addPermanentWidget(label);
    }
    m_hint->setObjectName(QStringLiteral("Hint"));
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setWordWrap(true);
    m_hint->setStyleSheet(QStringLiteral("color: white; font-size: 11pt;"));
    m_hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    mdiArea()->viewport()->installEventFilter(this);
    connect(mdiArea(), &QMdiArea::subWindowActivated, this, [this] {
        updateMergedMenu();
        showHint();
    });
    showCompany();
    resize(1180, 760);
}

HostMainWindow::~HostMainWindow() {
    // The forms go while the window is still whole: their destruction unmerges menus.
    for (const QPointer<HostForm>& form : m_forms)
        delete form.data();
    // Windows it does not track (a receipt being entered) go with the MDI area, after this
    // window's own part is gone: their going must not reach it.
    disconnect(mdiArea(), nullptr, this, nullptr);
    if (ui::application()->mainWindow() == this)
        ui::application()->setMainWindow(nullptr);
}

void HostMainWindow::buildMenus() {
    auto* system = new ui::MenuItem(m_menu, QStringLiteral("Sistem"), QStringLiteral("&Sistem"));
    system->setGroupIndex(kGroupSystem);
    addItem(system, QStringLiteral("&Deschide firma..."), kGroupSystem,
            QStringLiteral("Deschide baza de date a unei firme"), [this] { chooseCompany(); });
    addItem(system, QStringLiteral("&Salvare firma…"), kGroupSystem,
            QStringLiteral("Scrie o copie de siguranță verificată a bazei de date a firmei"),
            [this] { m_backups->backUp(); });
    addItem(system, QStringLiteral("&Restaurare firma…"), kGroupSystem,
            QStringLiteral("Înlocuiește baza de date a firmei cu o copie de siguranță"),
            [this] { m_backups->restore(); });
    addItem(system, QStringLiteral("&Import firmă din tabele Paradox…"), kGroupSystem,
            QStringLiteral("Creează o firmă nouă din tabelele Paradox ale unei firme existente"),
            [this] { m_paradoxImport->run(); });
    addItem(system, QStringLiteral("-"), kGroupLast, QString(), nullptr);
    addItem(system, QStringLiteral("&Ieșire"), kGroupLast, QStringLiteral("Închide programul"),
            [this] { close(); });

    auto* document =
        new ui::MenuItem(m_menu, QStringLiteral("Document"), QStringLiteral("&Document"));
    document->setGroupIndex(kGroupDocument);
    m_receiptsItem = addItem(document, QStringLiteral("Documente de &intrare"), kGroupDocument,
                             QStringLiteral("Recepții de marfă și predări de produse finite"),
                             [this] { openReceipts(); });
    m_outputsItem =
        addItem(document, QStringLiteral("Documente de i&eșire"), kGroupDocument,
                QStringLiteral("Facturi și bonuri de consum"), [this] { openOutputDocuments(); });
    m_stockItem =
        addItem(document, QStringLiteral("&Stoc"), kGroupDocument,
                QStringLiteral("Stocul pe gestiuni, articole și loturi"), [this] { openStock(); });

    auto* windows =
        new ui::MenuItem(m_menu, QStringLiteral("Ferestre"), QStringLiteral("&Ferestre"));
    windows->setGroupIndex(kGroupLast);
    addItem(windows, QStringLiteral("&Cascadă"), kGroupLast,
            QStringLiteral("Așază ferestrele în cascadă"),
            [this] { mdiArea()->cascadeSubWindows(); });
    addItem(windows, QStringLiteral("&Alăturate"), kGroupLast,
            QStringLiteral("Așază ferestrele alăturat"), [this] { mdiArea()->tileSubWindows(); });
    addItem(windows, QStringLiteral("Înc&hide toate"), kGroupLast,
            QStringLiteral("Închide toate ferestrele"), [this] { closeAllForms(); });

    ui::renderMenuBar(menuBar(), *m_menu);
    for (QAction* action : menuBar()->actions()) {
        QMenu* menu = action->menu();
        if (!menu)
            continue;
        if (action->text() == windows->caption())
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillWindowMenu(menu); });
    }
}

void HostMainWindow::showHint() {
    const bool empty = mdiArea()->subWindowList().isEmpty();
    m_hint->setVisible(empty);
    if (!empty)
        return;
    m_hint->setText(
        m_companyDirectory.isEmpty()
            ? QStringLiteral("Nicio firmă deschisă.\n\nDeschideți o firmă din meniul Sistem > "
                             "Deschide firma...")
            : QStringLiteral(
                  "Documentele firmei se deschid din meniul Document: Documente de intrare, "
                  "Documente de ieșire, Stoc.\n\nRețetele de producție și configurarea producției "
                  "sunt în meniul Sistem; calculul necesarului tehnic al unei recepții, în meniul "
                  "Document al ferestrei Documente de intrare."));
    const QRect area = mdiArea()->viewport()->rect();
    const int width = std::min(area.width() - 40, 640);
    m_hint->setGeometry(QRect(0, 0, width, area.height() / 2)
                            .translated(area.center() - QPoint(width / 2, area.height() / 4)));
    m_hint->lower();
}

bool HostMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mdiArea()->viewport() && event->type() == QEvent::Resize)
        showHint();
    return ui::MainWindow::eventFilter(watched, event);
}

void HostMainWindow::fillWindowMenu(QMenu* menu) {
    for (QAction* action : std::as_const(m_windowActions))
        delete action;
    m_windowActions.clear();
    const QList<QMdiSubWindow*> windows = mdiArea()->subWindowList();
    if (windows.isEmpty())
        return;
    m_windowActions << menu->addSeparator();
    int n = 0;
    for (QMdiSubWindow* window : windows) {
        QAction* action =
            menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == mdiArea()->currentSubWindow());
        connect(action, &QAction::triggered, this, [this, w = QPointer<QMdiSubWindow>(window)] {
            if (w)
                mdiArea()->setActiveSubWindow(w);
        });
        m_windowActions << action;
    }
}

void HostMainWindow::chooseCompany() {
    const QString directory = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Deschide firma"),
        m_companyDirectory.isEmpty() ? QDir::homePath() : m_companyDirectory);
    if (!directory.isEmpty())
        openCompany(directory);
}

void HostMainWindow::openCompany(const QString& directory) {
    // A new company gets its tables below: only the folder has to be there.
    const QString dir = company::openCompanyDirectory(directory, company::Holds::Directory).path;
    if (!closeAllForms()) {
        statusBar()->showMessage(
            QStringLiteral("O fereastră nu s-a închis: firma rămâne cea deschisă."), 10000);
        return;
    }

    // From here on the previous company is closed; a failure leaves no company open rather
    // than aliases and windows that disagree. What the status bar said of it goes too.
    if (!m_companyDirectory.isEmpty())
        statusBar()->clearMessage();
    m_companyDirectory.clear();
    showCompany();
    db::Session& session = db::Session::instance();
    defineCompanyAliases(session, dir, privateDirectory(), db::Session::defaultConfigFile());
    const QStringList created =
        company::createMissingTables(session.findDatabase(QString::fromLatin1(kCompanyAlias)),
                                     company::hostTables() + m_addOnTables);
    rememberCompanyDirectory(dir);
    m_companyDirectory = dir;
    showCompany();
    if (!created.isEmpty())
        statusBar()->showMessage(
            QStringLiteral("Tabele create: %1").arg(created.join(QStringLiteral(", "))), 10000);
    // The daily copy is of a database file; a server keeps its own copies.
    if (db::serverLocationOf(dir).isEmpty())
        m_backups->takeDailyBackup(dir);

    if (!m_addOn)
        return;
    // The add-on's data module reads the engine configuration when it is created: it comes
    // after the configuration names the company's aliases.
    startAddOn();
    if (!m_addOnStarted)
        return;
    ui::guarded([&] {
        const hostabi::HostString hostDirectory(dir);
        m_addOn->VelAddOnChangeDB(hostDirectory.get());
    });
}

void HostMainWindow::startAddOn() {
    if (m_addOnStarted)
        return;
    m_addOnStarted = true;
    ui::guarded([&] {
        m_addOnMenu = m_addOn->VelAddOnMainForm(this);
        if (m_addOnMenu)
            ui::mergeMenu(menuBar(), *m_addOnMenu);
    });
}

void HostMainWindow::showCompany() {
    const bool open = !m_companyDirectory.isEmpty();
    setWindowTitle(
        open ? QStringLiteral("Lumbra - %1").arg(QDir::toNativeSeparators(m_companyDirectory))
             : QStringLiteral("Lumbra"));
    m_companyLabel->setText(
        open ? QStringLiteral("Firma: %1").arg(QDir::toNativeSeparators(m_companyDirectory))
             : QStringLiteral("Nicio firmă deschisă: Sistem > Deschide firma..."));
    for (ui::MenuItem* item : {m_receiptsItem, m_outputsItem, m_stockItem})
        item->setEnabled(open);
    showHint();
}

void HostMainWindow::requireCompany() const {
    if (m_companyDirectory.isEmpty())
        throw base::Error(QStringLiteral("Deschideți întâi o firmă (Sistem > Deschide firma...)."));
}

template <class F> F* HostMainWindow::track(F* form) {
    m_forms.removeAll(nullptr);
    m_forms << form;
    return form;
}

ReceiptsForm* HostMainWindow::openReceipts() {
    if (m_receipts) {
        m_receipts->bringToFront();
        return m_receipts;
    }
    requireCompany();
    auto* form = track(new ReceiptsForm(this));
    m_receipts = form;
    form->onDataWritten = [this] { refreshWindows(); };
    form->onDestroy = [this] {
        // Its menu goes out with it; what the next current window wants comes once it is.
        m_receipts = nullptr;
        updateMergedMenu();
    };
    if (m_addOnStarted)
        form->docInMenu = m_addOn->VelAddOnDocInForm(form, &form->documents());
    updateMergedMenu();
    return form;
}

StockForm* HostMainWindow::openStock() {
    if (m_stock) {
        m_stock->bringToFront();
        return m_stock;
    }
    requireCompany();
    m_stock = track(new StockForm(this));
    return m_stock;
}

OutputDocumentsForm* HostMainWindow::openOutputDocuments() {
    if (m_outputs) {
        m_outputs->bringToFront();
        return m_outputs;
    }
    requireCompany();
    m_outputs = track(new OutputDocumentsForm(this));
    return m_outputs;
}

void HostMainWindow::updateMergedMenu() {
    // The current window rather than the active one: while a modal window of the add-on is
    // up, the MDI area has no active window, and the menu that opened it must stay.
    QMdiSubWindow* current = mdiArea()->currentSubWindow();
    ui::Menu* wanted = m_receipts && current && m_receipts->mdiFrame() == current
                           ? m_receipts->docInMenu.data()
                           : nullptr;
    if (wanted == m_mergedDocMenu.data())
        return;
    if (m_mergedDocMenu)
        ui::unmergeMenu(menuBar(), *m_mergedDocMenu);
    m_mergedDocMenu = wanted;
    if (wanted)
        ui::mergeMenu(menuBar(), *wanted);
}

bool HostMainWindow::closeAllForms() {
    mdiArea()->closeAllSubWindows();
    // Closed windows free themselves once control is back in the event loop; they go now, so
    // that nothing of theirs stays open on the company.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // A window that only minimized itself (the default of an MDI child) counts as closed; one
    // still shown refused.
    for (QMdiSubWindow* window : mdiArea()->subWindowList())
        if (window->isVisible() && !window->isMinimized())
            return false;
    return true;
}

bool HostMainWindow::closeCompany() {
    if (!closeAllForms())
        return false;
    db::Session& session = db::Session::instance();
    if (session.hasAlias(QString::fromLatin1(kCompanyAlias)))
        session.findDatabase(QString::fromLatin1(kCompanyAlias)).close();
    // The add-on's data module lets go of the company for the private directory, until the
    // company is opened again.
    if (m_addOnStarted)
        ui::guarded([&] {
            const hostabi::HostString elsewhere(privateDirectory());
            m_addOn->VelAddOnChangeDB(elsewhere.get());
        });
    m_companyDirectory.clear();
    showCompany();
    return true;
}

void HostMainWindow::refreshWindows() {
    m_forms.removeAll(nullptr);
    for (const QPointer<HostForm>& form : std::as_const(m_forms))
        ui::guarded([&] { form->refreshData(); });
}

void HostMainWindow::closeEvent(QCloseEvent* event) {
    if (closeAllForms())
        event->accept();
    else
        event->ignore();
}

} // namespace host
