#pragma once
// How the benchmarks open a company: the production data module on a company (a directory or a
// server location) through a session of its own, with the requirement table in a private
// directory; a bare SQLite connection opened as the engine opens one, to measure against; and
// the production characters set without a registry that names a company.
#include "data/qdm_data_module.h"
#include "platform/db/session.h"

#include <QString>

#include <chrono>
#include <sqlite3.h>
#include <vector>

namespace bench {

class OpenCompany {
public:
    // Opens the company database unless open is false (a worker that opens it when it builds).
    OpenCompany(const QString& companyLocation, const QString& privateDir, bool open = true);
    OpenCompany(const OpenCompany&) = delete;
    OpenCompany& operator=(const OpenCompany&) = delete;

    db::Session session;
    TQDMDataModule dm;
};

// The company database of directory with the engine's journal mode and synchronous writes.
sqlite3* openLikeTheEngine(const QString& directory);

// Points the registry at <root>/registry, which names no company, and sets the production
// characters (warehouse G, materials M, semi-finished S) the benchmarks' companies use.
void productionSettingsWithoutRegistry(const QString& root);

// Milliseconds since from, on the steady clock.
double ms(std::chrono::steady_clock::time_point from);
// The middle one of the runs' figures (v not empty).
double median(std::vector<double> v);

} // namespace bench
