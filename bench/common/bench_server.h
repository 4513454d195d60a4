#pragma once
// The database server a benchmark measures beside SQLite: the one named on the command line
// (--server "postgres:host=... port=..."), else a throwaway server on loopback that
// scripts/test-server.sh starts for the run and stops at its end.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace bench {

// The drivers a run measures, from "--driver sqlite|postgres|both" (both by default).
struct DriverChoice {
    bool sqlite = true;
    bool server = true;
    QString serverPrefix; // from --server; empty when a throwaway server is to be started
    QStringList rest;     // the other arguments, in order
};
DriverChoice parseDriverArguments(int argc, char** argv);

class BenchServer {
public:
    explicit BenchServer(const QString& given);
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    // The alias of a company schema on the server.
    QString location(const QString& schema) const;
    bool started() const { return !m_prefix.isEmpty(); }

private:
    QTemporaryDir m_dir;
    QString m_prefix;
    bool m_own = false;
};

} // namespace bench
