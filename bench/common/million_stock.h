#pragma once
// The stock the benchmarks measure against: 1,000,000 records of Stoc in 4 warehouses, 20 groups
// ("G00".."G19"), 2,500 articles a group ("M000000"..) and 5 lots each, written straight through
// SQLite so that filling it takes seconds; and the few SQLite helpers the benchmarks share.
#include <QString>

#include <sqlite3.h>

namespace bench {

constexpr long kRecords = 1000000;
constexpr int kWarehouses = 4, kGroups = 20, kLots = 5;
constexpr long kArticles = kRecords / (kWarehouses * kGroups * kLots);

QString group(long g);
QString article(long a);

// Stops the benchmark with SQLite's message when rc is an error.
void check(sqlite3* h, int rc, const char* what);
void exec(sqlite3* h, const char* sql);
sqlite3_stmt* prepare(sqlite3* h, const char* sql);
void bind(sqlite3_stmt* s, int i, const QString& v);

// Inserts the stock records (quantities 0..6, prices by lot) into the open transaction of h.
void insertMillionStock(sqlite3* h);

} // namespace bench
