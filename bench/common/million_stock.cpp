#include "bench/common/million_stock.h"

#include <cstdio>
#include <cstdlib>

namespace bench {

QString group(long g) {
    return QStringLiteral("G%1").arg(g, 2, 10, QChar('0'));
}

QString article(long a) {
    return QStringLiteral("M%1").arg(a, 6, 10, QChar('0'));
}

void check(sqlite3* h, int rc, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(h));
        std::exit(1);
    }
}

void exec(sqlite3* h, const char* sql) {
    check(h, sqlite3_exec(h, sql, nullptr, nullptr, nullptr), sql);
}

sqlite3_stmt* prepare(sqlite3* h, const char* sql) {
    sqlite3_stmt* s = nullptr;
    check(h, sqlite3_prepare_v2(h, sql, -1, &s, nullptr), sql);
    return s;
}

void bind(sqlite3_stmt* s, int i, const QString& v) {
    const QByteArray u = v.toUtf8();
    sqlite3_bind_text(s, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

void insertMillionStock(sqlite3* h) {
    sqlite3_stmt* ins =
        prepare(h, "INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Lot, Pret_achizitie, "
                   "Cantitate, Agent) VALUES (?,?,?,?,?,?,'')");
    long i = 0;
    for (int w = 0; w < kWarehouses; ++w)
        for (long g = 0; g < kGroups; ++g)
            for (long a = 0; a < kArticles; ++a)
                for (int l = 0; l < kLots; ++l, ++i) {
                    bind(ins, 1, QStringLiteral("0%1").arg(w + 1));
                    bind(ins, 2, group(g));
                    bind(ins, 3, article(a));
                    bind(ins, 4, QStringLiteral("L%1").arg(l));
                    sqlite3_bind_double(ins, 5, 1.5 + l);
                    sqlite3_bind_double(ins, 6, double(i % 7));
                    check(h, sqlite3_step(ins), "stock record");
                    sqlite3_reset(ins);
                }
    sqlite3_finalize(ins);
}

} // namespace bench
