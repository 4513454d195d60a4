#include "host/addon_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <dlfcn.h>

namespace host {

namespace {

template <typename Proc> bool resolve(void* handle, const char* name, Proc& proc, QString& error) {
    proc = reinterpret_cast<Proc>(dlsym(handle, name));
    if (!proc)
        error = QStringLiteral("The add-on has no entry point %1.").arg(QString::fromLatin1(name));
    return proc != nullptr;
}

} // namespace

AddOnLibrary::~AddOnLibrary() {
    dlclose(m_handle);
}

QString AddOnLibrary::defaultPath() {
    const QString fromEnv = qEnvironmentVariable("LUMBRA_ADDON");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("liblumbra.so"));
}

std::unique_ptr<AddOnLibrary> AddOnLibrary::load(const QString& path, QString& error) {
    error.clear();
    if (!QFile::exists(path)) {
        error = QStringLiteral("%1 does not exist.").arg(path);
        return nullptr;
    }
    // RTLD_LOCAL: the add-on's symbols never bind anything of the host's.
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        error = QString::fromLocal8Bit(dlerror());
        return nullptr;
    }
    std::unique_ptr<AddOnLibrary> library(new AddOnLibrary(handle, path));
    if (resolve(handle, "InitAddOnDLL", library->InitAddOnDLL, error) &&
        resolve(handle, "ClearAddOnDLL", library->ClearAddOnDLL, error) &&
        resolve(handle, "VelAddOnMainForm", library->VelAddOnMainForm, error) &&
        resolve(handle, "VelAddOnAddTables", library->VelAddOnAddTables, error) &&
        resolve(handle, "VelAddOnGetName", library->VelAddOnGetName, error) &&
        resolve(handle, "VelAddOnChangeDB", library->VelAddOnChangeDB, error) &&
        resolve(handle, "VelAddOnDocInForm", library->VelAddOnDocInForm, error))
        return library;
    return nullptr;
}

} // namespace host
