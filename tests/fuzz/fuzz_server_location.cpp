// A server company's location as a person writes it ("postgres:host=… dbname=… schema=…").
// Rules: a location is valid only with a schema name the server takes unquoted; a valid one,
// written back as its connection and its schema, reads back the same.
#include "platform/db/drivers/postgres/connection.h"
#include "tests/fuzz/fuzz_check.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString location = fuzz::utf8(data, size);
    const db::postgres::ServerLocation where = db::postgres::parseServerLocation(location);
    if (!where.valid) {
        FUZZ_CHECK(!where.problem.isEmpty(), location);
        return 0;
    }
    static const QRegularExpression plain(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    FUZZ_CHECK(plain.match(where.schema).hasMatch(), location);
    FUZZ_CHECK(where.connection == where.connection.trimmed(), location);
    const QString written =
        QStringLiteral("postgres:%1 schema=%2").arg(where.connection, where.schema);
    const db::postgres::ServerLocation again = db::postgres::parseServerLocation(written);
    FUZZ_CHECK(again.valid && again.schema == where.schema,
               location + QLatin1String(" -> ") + written);
    return 0;
}
