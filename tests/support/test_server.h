#pragma once
// Which driver a test program runs its companies on. The suite runs each program that keeps
// its data through the engine twice: on SQLite in a temporary directory, and on the throwaway
// PostgreSQL server that scripts/test-server.sh started (its location file named by
// $LUMBRA_TEST_SERVER), each company in a schema of its own.
#include <QString>

namespace testsupport {

// True when this run keeps companies on the test server.
bool onServer();

// The server alias prefix of the test server ("postgres:host=... port=..."); throws when the
// run is on a server whose location file cannot be read.
QString testServer();

// Where a company lives for this run: the directory itself on SQLite; on the server a new,
// empty schema (the directory is then used for nothing else).
QString companyLocation(const QString& directory);

// The same test server location under a named schema, created on first use.
QString serverLocation(const QString& schema);

} // namespace testsupport
