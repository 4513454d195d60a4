// The engine's configuration file (aliases and the network control directory). The input is the
// file. Rules: any file loads without harm; what a session loaded, saved and loaded again into a
// new session, gives the same aliases and the same network control directory.
#include "platform/base/errors.h"
#include "platform/db/database.h"
#include "platform/db/session.h"
#include "tests/fuzz/fuzz_check.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QString described(const db::Session& session) {
    QString out = QStringLiteral("net=") + session.netFileDir();
    QStringList names = session.aliasNames();
    names.sort(Qt::CaseInsensitive);
    for (const QString& name : names)
        out += QLatin1Char('\n') + name.toUpper() + QLatin1Char('=') + session.aliasDirectory(name);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("engine.ini"));
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    QFile::remove(copy);
    {
        QFile file(source);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate), source);
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    db::Session loaded;
    loaded.loadConfigFile(source);
    try {
        loaded.saveConfigFile(copy);
    } catch (const base::DatabaseError&) {
        return 0; // refused with its reason
    }
    db::Session again;
    again.loadConfigFile(copy);
    FUZZ_CHECK(described(again) == described(loaded),
               described(loaded) + QLatin1String("\n  became\n") + described(again));
    return 0;
}
