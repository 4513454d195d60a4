#pragma once
// The reference host as a whole: it loads the add-on, drives its entry points in their order
// around the main window's life, and unloads it.
//
//   start-up: InitAddOnDLL(host screen, host application), VelAddOnGetName,
//             VelAddOnAddTables; then the main window opens the company (VelAddOnMainForm
//             before the first VelAddOnChangeDB), and registers goods-receipt windows
//             (VelAddOnDocInForm);
//   shut-down: the windows and the main window go (and with it the add-on's menu carrier),
//             then ClearAddOnDLL, then the library is unloaded.
// Without the add-on (missing, or not loadable) the host runs alone and says so.
#include "platform/db/field_type.h"

#include <QList>
#include <QString>

#include <memory>

namespace host {

class AddOnLibrary;
class HostMainWindow;

class HostProgram {
public:
    struct Options {
        QString companyDirectory; // empty: the company opened last, if any
        bool createDemo = false;  // create the demo company in companyDirectory first
        QString addOnPath;        // empty: AddOnLibrary::defaultPath()
        QString server;           // with createDemo: keep the demo's tables on this server alias
    };

    explicit HostProgram(const Options& options);
    ~HostProgram();
    HostProgram(const HostProgram&) = delete;
    HostProgram& operator=(const HostProgram&) = delete;

    HostMainWindow* mainWindow() const { return m_window.get(); }
    AddOnLibrary* addOn() const { return m_addOn.get(); }
    // The add-on's display name, empty without it.
    const QString& addOnName() const { return m_addOnName; }
    // Why the add-on is not there, empty when it is.
    const QString& addOnProblem() const { return m_addOnProblem; }

    enum class Parsed { Run, Help, Error };
    // The command line: lumbra-host [--create-demo] [<company directory>]. For Help and Error,
    // message is what to print.
    static Parsed parseArguments(const QStringList& arguments, Options& options, QString& message);

private:
    // Writes the directory's server.location naming the server, unless the directory already
    // holds a company (in itself or on a server).
    static void placeTablesOnServer(const QString& directory, const QString& server);

    void loadAddOn(const QString& path);
    void shutDown() noexcept;

    std::unique_ptr<AddOnLibrary> m_addOn;
    bool m_addOnInitialised = false;
    QList<db::TableDef> m_addOnTables;
    QString m_addOnName;
    QString m_addOnProblem;
    std::unique_ptr<HostMainWindow> m_window;
};

} // namespace host
