#include "bench/common/bench_company.h"

#include "bench/common/million_stock.h"
#include "platform/db/drivers/sqlite/connection.h"
#include "platform/store/registry_store.h"
#include "settings/production_settings.h"

#include <QFile>

#include <algorithm>

namespace bench {

namespace {

// The data module reads the private alias when it is made: it is defined first.
db::Session* withPrivateDirectory(db::Session& session, const QString& privateDir) {
    session.addAlias(QStringLiteral("KRV_PRIV"), privateDir);
    return &session;
}

} // namespace

OpenCompany::OpenCompany(const QString& companyLocation, const QString& privateDir, bool open)
    : dm(withPrivateDirectory(session, privateDir)) {
    dm.GhostDB.params() = {QStringLiteral("PATH=") + companyLocation};
    if (open)
        dm.GhostDB.open();
}

sqlite3* openLikeTheEngine(const QString& directory) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(QFile::encodeName(db::sqlite::Connection::fileNameFor(directory)).constData(),
                    &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    exec(h, db::sqlite::Connection::walIsSafe(sqlite3_libversion_number())
                ? "PRAGMA journal_mode=WAL"
                : "PRAGMA journal_mode=DELETE");
    exec(h, "PRAGMA synchronous=FULL");
    sqlite3_busy_timeout(h, 30000);
    return h;
}

void productionSettingsWithoutRegistry(const QString& root) {
    store::setRegistryRoot(root + QStringLiteral("/registry"));
    IndGest = 'G';
    IndCod = 'M';
    IndSemi = 'S';
}

double ms(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from)
        .count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace bench
