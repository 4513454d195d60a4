// Takes counter values from COUNTER.DB as a second user would: each value in a transaction
// that re-reads, raises and posts the counters record. Prints every value it took.
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "platform/db/table.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    db::Session session;
    session.addAlias("TESTDB", QString::fromLocal8Bit(argv[1]));
    db::Database database("TESTDB", &session);
    db::Table counter("CounterTable");
    counter.setSession(&session);
    counter.setDatabaseName("TESTDB");
    counter.setTableName("COUNTER.DB");
    counter.addField("NewCounterOut", db::FieldType::Float);
    try {
        counter.open();
        const int n = std::atoi(argv[2]);
        for (int i = 0; i < n; ++i) {
            const double taken = database.transaction([&] {
                counter.edit();
                db::Field* f = counter.fieldByName("NewCounterOut");
                f->setAsFloat(f->asFloat() + 1);
                const double v = f->asFloat();
                counter.post();
                return v;
            });
            std::printf("%.0f\n", taken);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
