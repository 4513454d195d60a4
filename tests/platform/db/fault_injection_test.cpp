// Every write operation of the engine with a failing disk: for each kind of file call (read,
// write, sync, lock) the operation runs again and again with the Nth call failing, N = 1, 2, ...
// until it passes. After each run the database passes SQLite's integrity check and holds either
// the state before the operation or the state after it, never something in between; a run that
// failed raised the engine's database error; and the datasets are still usable: the operation,
// run again on a sound disk, ends in the state after it.
//
// The default suite fails one call at a time (the calls after it succeed, as after a passing
// fault); the long suite also fails every call from the Nth on (a disk that went away), where
// the rollback fails as well and the next reader finds a hot journal to roll back.
#include "db_fixture.h"
#include "fault_vfs.h"

#include "platform/db/batch_move.h"

#include <sqlite3.h>

#include <functional>
#include <vector>

using namespace db;
using faultvfs::Kind;

namespace {

// A company with a stock table of some pages, a counter table and open datasets on both.
class Company {
public:
    Company() {
        session.addAlias(QStringLiteral("TESTDB"), dir.path());
        database = std::make_unique<Database>(QStringLiteral("TESTDB"), &session);
        database->createTable({QStringLiteral("Stoc.DB"),
                               {{QStringLiteral("Cod_grupa"), FieldType::Text, 8},
                                {QStringLiteral("Cod_articol"), FieldType::Text, 30},
                                {QStringLiteral("Denumire"), FieldType::Text, 120},
                                {QStringLiteral("Cantitate"), FieldType::Float}},
                               {{QString(),
                                 {QStringLiteral("Cod_grupa"), QStringLiteral("Cod_articol")},
                                 true,
                                 true}}});
        database->createTable({QStringLiteral("COUNTER.DB"),
                               {{QStringLiteral("NewCounterOut"), FieldType::Float}},
                               {}});
        stock = open(QStringLiteral("Stoc.DB"));
        // Enough records for the table and its index to span several pages.
        database->transaction([&] {
            for (int i = 1; i <= kRecords; ++i) {
                stock->append();
                stock->fieldByName(QStringLiteral("Cod_grupa"))->setAsString(QStringLiteral("MAT"));
                stock->fieldByName(QStringLiteral("Cod_articol"))
                    ->setAsString(QStringLiteral("M%1").arg(i, 4, 10, QLatin1Char('0')));
                stock->fieldByName(QStringLiteral("Denumire"))
                    ->setAsString(QStringLiteral("Materialul numărul %1 ").arg(i).repeated(3));
                stock->fieldByName(QStringLiteral("Cantitate"))->setAsFloat(i);
                stock->post();
            }
        });
        counter = open(QStringLiteral("COUNTER.DB"));
        counter->append();
        counter->fieldByName(QStringLiteral("NewCounterOut"))->setAsFloat(100);
        counter->post();
        stock->first();
    }

    std::unique_ptr<Table> open(const QString& name) {
        auto t = std::make_unique<Table>(name);
        t->setSession(&session);
        t->setDatabaseName(QStringLiteral("TESTDB"));
        t->setTableName(name);
        t->open();
        return t;
    }

    // Ends any pending edit, as a window does after an error it showed, and opens again the
    // stock an operation closed.
    void settle() {
        for (Table* t : {stock.get(), counter.get(), copy.get()})
            if (t && t->isActive() && t->state() != DataSetState::Browse)
                t->cancel();
        if (!stock->isActive())
            stock->open();
    }

    // Everything stored: the schema and every row of every table, read through a connection of
    // its own on the real file system. It rolls back a journal a failed run left behind.
    QString contents(QString* integrity) const {
        sqlite3* handle = nullptr;
        const QByteArray file = QFile::encodeName(dir.path() + QStringLiteral("/tables.sqlite"));
        QString out;
        if (sqlite3_open_v2(file.constData(), &handle, SQLITE_OPEN_READWRITE, "unix") !=
            SQLITE_OK) {
            sqlite3_close(handle);
            return QStringLiteral("cannot open");
        }
        sqlite3_busy_timeout(handle, 2000);
        auto rows = [&](const QString& sql) {
            QStringList lines;
            sqlite3_stmt* s = nullptr;
            if (sqlite3_prepare_v2(handle, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK)
                return QStringList{QStringLiteral("error: ") +
                                   QString::fromUtf8(sqlite3_errmsg(handle))};
            int rc;
            while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
                QStringList cells;
                for (int c = 0; c < sqlite3_column_count(s); ++c)
                    cells << QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(s, c)));
                lines << cells.join(QLatin1Char('|'));
            }
            if (rc != SQLITE_DONE)
                lines << QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(handle));
            sqlite3_finalize(s);
            return lines;
        };
        *integrity = rows(QStringLiteral("PRAGMA integrity_check")).join(QLatin1Char('\n'));
        const QStringList schema = rows(QStringLiteral(
            "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name"));
        out = schema.join(QLatin1Char('\n'));
        for (const QString& table : rows(QStringLiteral(
                 "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")))
            out += QStringLiteral("\n[") + table + QStringLiteral("]\n") +
                   rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table))
                       .join(QLatin1Char('\n'));
        sqlite3_close(handle);
        return out;
    }

    static constexpr int kRecords = 120;

    testsupport::TempDir dir;
    Session session;
    std::unique_ptr<Database> database;
    std::unique_ptr<Table> stock;
    std::unique_ptr<Table> counter;
    std::unique_ptr<Table> copy;
};

struct Operation {
    const char* name;
    std::function<void(Company&)> run;
};

void setValue(Table& t, const char* field, double value) {
    t.edit();
    t.fieldByName(QString::fromLatin1(field))->setAsFloat(value);
    t.post();
}

const std::vector<Operation>& operations() {
    static const std::vector<Operation> list = {
        {"PostEdit",
         [](Company& c) {
             c.stock->first();
             c.stock->moveBy(40);
             setValue(*c.stock, "Cantitate", -1);
         }},
        {"PostAppend",
         [](Company& c) {
             c.stock->append();
             c.stock->fieldByName(QStringLiteral("Cod_grupa"))->setAsString(QStringLiteral("MAT"));
             c.stock->fieldByName(QStringLiteral("Cod_articol"))
                 ->setAsString(QStringLiteral("M0500"));
             c.stock->fieldByName(QStringLiteral("Cantitate"))->setAsFloat(5);
             c.stock->post();
         }},
        {"Delete",
         [](Company& c) {
             c.stock->first();
             c.stock->moveBy(60);
             c.stock->remove();
         }},
        {"BatchCopy",
         [](Company& c) {
             if (!c.copy) {
                 c.copy = std::make_unique<Table>(QStringLiteral("Copie.DB"));
                 c.copy->setSession(&c.session);
                 c.copy->setDatabaseName(QStringLiteral("TESTDB"));
                 c.copy->setTableName(QStringLiteral("Copie.DB"));
             }
             BatchMove move;
             move.setSource(c.stock.get());
             move.setDestination(c.copy.get());
             move.execute();
         }},
        {"AddIndex",
         [](Company& c) {
             c.stock->close();
             c.database->addIndex(
                 QStringLiteral("Stoc.DB"),
                 {QStringLiteral("Denumire"), {QStringLiteral("Denumire")}, false, false});
             c.stock->open();
         }},
        {"MultiTableTransaction",
         [](Company& c) {
             c.database->transaction([&] {
                 setValue(*c.counter, "NewCounterOut", 101);
                 c.stock->last();
                 setValue(*c.stock, "Cantitate", 0);
                 c.stock->first();
                 c.stock->remove();
             });
         }},
    };
    return list;
}

struct FaultCase {
    std::string operation;
    Kind kind;
    bool persistent;
};

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::Read:
        return "Read";
    case Kind::Write:
        return "Write";
    case Kind::Sync:
        return "Sync";
    case Kind::Lock:
        return "Lock";
    }
    return "";
}

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.operation << ' ' << kindName(c.kind) << (c.persistent ? " persistent" : "");
}

std::vector<FaultCase> cases(bool persistent) {
    std::vector<FaultCase> out;
    for (const Operation& op : operations())
        for (Kind kind : {Kind::Read, Kind::Write, Kind::Sync, Kind::Lock})
            out.push_back({op.name, kind, persistent});
    return out;
}

const Operation& operationNamed(const std::string& name) {
    for (const Operation& op : operations())
        if (name == op.name)
            return op;
    throw std::logic_error("no such operation");
}

// Tallies over the suite, printed at its end.
int injectionPoints = 0;
int raisedErrors = 0;

class FaultInjection : public ::testing::TestWithParam<FaultCase> {
protected:
    static void SetUpTestSuite() { faultvfs::install(); }
    static void TearDownTestSuite() {
        std::printf("injection points tried: %d; the operation raised the engine's error at %d "
                    "and passed at the others\n",
                    injectionPoints, raisedErrors);
        injectionPoints = raisedErrors = 0;
    }
    void TearDown() override { faultvfs::disarm(); }
};

using TransientFaults = FaultInjection;
using PersistentFaults = FaultInjection;

void runFaults(const FaultCase& param) {
    const Operation& op = operationNamed(param.operation);
    QString integrity;
    // The states before and after, from a run on a sound disk.
    QString before, after;
    {
        Company c;
        before = c.contents(&integrity);
        op.run(c);
        after = c.contents(&integrity);
        ASSERT_EQ(integrity.toStdString(), "ok");
        ASSERT_TRUE(before != after);
    }
    constexpr int kLimit = 2000;
    for (int n = 1; n <= kLimit; ++n) {
        Company c;
        faultvfs::arm(param.kind, n, param.persistent);
        bool failed = false;
        try {
            op.run(c);
        } catch (const base::DatabaseError&) {
            failed = true;
        } catch (const std::exception& e) {
            faultvfs::disarm();
            FAIL() << "call " << n << ": not the engine's database error: " << e.what();
        }
        const bool fired = faultvfs::fired();
        faultvfs::disarm();
        if (!fired) {
            EXPECT_FALSE(failed) << "call " << n << ": failed without a fault";
            return;
        }
        ++injectionPoints;
        raisedErrors += failed ? 1 : 0;
        const QString state = c.contents(&integrity);
        EXPECT_EQ(integrity.toStdString(), "ok") << "call " << n;
        if (failed)
            EXPECT_TRUE(state == before || state == after)
                << "call " << n << ": a state between before and after";
        else
            EXPECT_TRUE(state == after) << "call " << n << ": passed without its effect";
        if (::testing::Test::HasFailure())
            return;
        // The datasets go on: the operation, run again, completes.
        c.settle();
        if (failed && state == before) {
            try {
                op.run(c);
            } catch (const std::exception& e) {
                FAIL() << "call " << n << ": the datasets are not usable again: " << e.what();
            }
            EXPECT_TRUE(c.contents(&integrity) == after) << "call " << n << ": run again";
        } else {
            c.stock->first();
            EXPECT_FALSE(c.stock->eof()) << "call " << n;
        }
        if (::testing::Test::HasFailure())
            return;
    }
    FAIL() << "the operation still fails after " << kLimit << " calls";
}

} // namespace

TEST_P(TransientFaults, OldOrNewStateAndTheEngineError) {
    runFaults(GetParam());
}

TEST_P(PersistentFaults, OldOrNewStateAndTheEngineError) {
    runFaults(GetParam());
}

auto caseName = [](const auto& info) { return info.param.operation + kindName(info.param.kind); };

INSTANTIATE_TEST_SUITE_P(Engine, TransientFaults, ::testing::ValuesIn(cases(false)), caseName);
INSTANTIATE_TEST_SUITE_P(Engine, PersistentFaults, ::testing::ValuesIn(cases(true)), caseName);
