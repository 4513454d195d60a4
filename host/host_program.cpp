#include "host/host_program.h"

#include "backup/damaged_database_message.h"
#include "host/addon_library.h"
#include "host/company_environment.h"
#include "host/demo_company.h"
#include "host/host_main_window.h"
#include "host/table_definitions.h"
#include "platform/abi/host_string.h"
#include "platform/base/errors.h"
#include "platform/db/connection.h"
#include "platform/db/session.h"
#include "platform/ui/application.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/screen.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStatusBar>

namespace host {

namespace {

// The program's icon, drawn rather than shipped: a wheat-coloured tile with an "L".
QIcon applicationIcon() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0xd9, 0xa4, 0x41));
    painter.setPen(QPen(QColor(0x8a, 0x5a, 0x12), 3));
    painter.drawRoundedRect(QRectF(3, 3, 58, 58), 12, 12);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(40);
    painter.setFont(font);
    painter.setPen(QColor(0x4a, 0x2c, 0x05));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("L"));
    return QIcon(pixmap);
}

} // namespace

HostProgram::HostProgram(const Options& options) {
    if (QGuiApplication::windowIcon().isNull())
        QGuiApplication::setWindowIcon(applicationIcon());

    // A damaged company database is reported with the newest backup to restore from.
    backup::installDamagedDatabaseMessage(db::Session::instance());

    // The add-on reads the same settings file when its menu carrier is created.
    const QString netControlDir = prepareHostSettingsFile(hostSettingsFile());
    if (!netControlDir.isEmpty())
        db::Session::instance().setNetFileDir(netControlDir);

    loadAddOn(options.addOnPath.isEmpty() ? AddOnLibrary::defaultPath() : options.addOnPath);
    const QString addOnStatus = m_addOn ? QStringLiteral("Modul: %1").arg(m_addOnName)
                                        : QStringLiteral("Fără modulul de producție");
    m_window = std::make_unique<HostMainWindow>(m_addOn.get(), m_addOnTables, addOnStatus);
    if (m_addOn)
        m_window->statusBar()->showMessage(
            QStringLiteral("Modulul \"%1\" a fost încărcat.").arg(m_addOnName), 10000);
    else
        m_window->statusBar()->showMessage(
            QStringLiteral("Modulul de producție nu a fost încărcat (%1); programul merge fără el.")
                .arg(m_addOnProblem));

    QString directory = options.companyDirectory;
    if (options.createDemo) {
        ui::guarded([&] {
            if (!options.server.isEmpty())
                placeTablesOnServer(directory, options.server);
            if (createDemoCompany(directory, m_addOnTables))
                m_window->statusBar()->showMessage(
                    QStringLiteral("Firma demonstrativă a fost creată în %1.")
                        .arg(QDir::toNativeSeparators(directory)),
                    10000);
        });
    }
    if (directory.isEmpty())
        directory = lastCompanyDirectory();
    if (!directory.isEmpty())
        ui::guarded([&] { m_window->openCompany(directory); });
    m_window->show();
}

HostProgram::~HostProgram() {
    shutDown();
}

void HostProgram::loadAddOn(const QString& path) {
    m_addOn = AddOnLibrary::load(path, m_addOnProblem);
    if (!m_addOn)
        return;
    try {
        m_addOn->InitAddOnDLL(ui::screen(), ui::application());
        m_addOnInitialised = true;

        char* name = nullptr;
        m_addOn->VelAddOnGetName(&name);
        // The name may be the add-on's constant: copied before the library could go.
        m_addOnName = hostabi::HostString::adopt(name).toQString();

        TableDefinitionBuffer tables;
        m_addOn->VelAddOnAddTables(tables.list());
        m_addOnTables = tables.tableDefs();
    } catch (const std::exception& error) {
        // An add-on that cannot even start is left out, as a missing one is.
        m_addOnProblem = QString::fromUtf8(error.what());
        shutDown();
    }
}

void HostProgram::shutDown() noexcept {
    if (m_window) {
        m_window->closeAllForms();
        // The add-on's menu carrier belongs to the main window and goes with it.
        m_window.reset();
    }
    // Objects released with deleteLater may run the add-on's code when they go.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (m_addOn && m_addOnInitialised)
        m_addOn->ClearAddOnDLL();
    m_addOnInitialised = false;
    m_addOn.reset();
}

void HostProgram::placeTablesOnServer(const QString& directory, const QString& server) {
    if (!db::serverLocationOf(directory).isEmpty() || holdsCompany(directory))
        return; // a company already there keeps its place
    if (!QDir().mkpath(directory))
        throw base::Error(QStringLiteral("Nu pot crea directorul %1.").arg(directory));
    QFile f(QDir(directory).filePath(QString::fromLatin1(db::kServerLocationFile)));
    if (!f.open(QIODevice::WriteOnly) || f.write((server + QLatin1Char('\n')).toUtf8()) < 0 ||
        !f.flush())
        throw base::Error(QStringLiteral("Nu pot scrie fișierul %1.").arg(f.fileName()));
}

HostProgram::Parsed HostProgram::parseArguments(const QStringList& arguments, Options& options,
                                                QString& message) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lumbra: programul gazdă al modulului de producție."));
    parser.addHelpOption();
    const QCommandLineOption createDemo(
        QStringLiteral("create-demo"),
        QStringLiteral("Creează firma demonstrativă în director, dacă nu există."));
    parser.addOption(createDemo);
    const QCommandLineOption server(
        QStringLiteral("server"),
        QStringLiteral(
            "Cu --create-demo: tabelele firmei demonstrative pe serverul de baze de date "
            "ALIAS (postgres:<conexiune libpq> schema=<nume>)."),
        QStringLiteral("ALIAS"));
    parser.addOption(server);
    parser.addPositionalArgument(QStringLiteral("director"), QStringLiteral("Directorul firmei."),
                                 QStringLiteral("[<director firma>]"));
    if (!parser.parse(arguments)) {
        message = parser.errorText() + QLatin1Char('\n') + parser.helpText();
        return Parsed::Error;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        message = parser.helpText();
        return Parsed::Help;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        message = QStringLiteral("Un singur director de firmă, vă rog.\n") + parser.helpText();
        return Parsed::Error;
    }
    options.createDemo = parser.isSet(createDemo);
    options.server = parser.value(server).trimmed();
    if (!options.server.isEmpty() &&
        (!options.createDemo || !db::isServerLocation(options.server))) {
        message =
            QStringLiteral("--server cere --create-demo și un alias care începe cu postgres:.\n") +
            parser.helpText();
        return Parsed::Error;
    }
    options.companyDirectory = positional.value(0);
    if (options.createDemo && options.companyDirectory.isEmpty()) {
        message = QStringLiteral("--create-demo cere directorul firmei.\n") + parser.helpText();
        return Parsed::Error;
    }
    if (!options.companyDirectory.isEmpty())
        options.companyDirectory =
            QDir::cleanPath(QDir::current().absoluteFilePath(options.companyDirectory));
    return Parsed::Run;
}

} // namespace host
