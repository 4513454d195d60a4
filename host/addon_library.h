#pragma once
// The add-on library as the host holds it: loaded at run time with dlopen (the host never
// links it), its seven entry points resolved by name, unloaded with dlclose when this object
// goes. Calling the entry points in their order is the caller's business (HostProgram).
#include "platform/abi/addon_entry_points.h"

#include <QString>

#include <memory>

namespace host {

class AddOnLibrary {
public:
    ~AddOnLibrary();
    AddOnLibrary(const AddOnLibrary&) = delete;
    AddOnLibrary& operator=(const AddOnLibrary&) = delete;

    // "liblumbra.so" next to the running executable, unless $LUMBRA_ADDON names another file.
    static QString defaultPath();

    // Loads the library and resolves every entry point. Answers null and sets error (the
    // loader's message, or the missing entry point) when either fails; nothing stays loaded.
    static std::unique_ptr<AddOnLibrary> load(const QString& path, QString& error);

    const QString& path() const { return m_path; }

    InitAddOnDLLProc InitAddOnDLL = nullptr;
    ClearAddOnDLLProc ClearAddOnDLL = nullptr;
    VelAddOnMainFormProc VelAddOnMainForm = nullptr;
    VelAddOnAddTablesProc VelAddOnAddTables = nullptr;
    VelAddOnGetNameProc VelAddOnGetName = nullptr;
    VelAddOnChangeDBProc VelAddOnChangeDB = nullptr;
    VelAddOnDocInFormProc VelAddOnDocInForm = nullptr;

private:
    AddOnLibrary(void* handle, QString path) : m_handle(handle), m_path(std::move(path)) {}

    void* m_handle;
    QString m_path;
};

} // namespace host
