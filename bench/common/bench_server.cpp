#include "bench/common/bench_server.h"

#include <QFile>
#include <QProcess>
#include <cstdio>
#include <cstdlib>

namespace bench {

namespace {

const QString kScript = QStringLiteral(LUMBRA_SOURCE_DIR "/scripts/test-server.sh");

} // namespace

DriverChoice parseDriverArguments(int argc, char** argv) {
    DriverChoice c;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--driver") && i + 1 < argc) {
            const QString d = QString::fromLocal8Bit(argv[++i]);
            c.sqlite = d != QLatin1String("postgres");
            c.server = d != QLatin1String("sqlite");
        } else if (a == QLatin1String("--server") && i + 1 < argc) {
            c.serverPrefix = QString::fromLocal8Bit(argv[++i]);
        } else if (a.startsWith(QLatin1Char('-'))) {
            // An option it does not know (--help among them) would otherwise be taken for the
            // directory and a company written there.
            std::fprintf(stderr,
                         "usage: %s [directory [repetitions ...]] [--driver sqlite|postgres|both] "
                         "[--server <connection prefix>]\n",
                         argv[0]);
            std::exit(a == QLatin1String("--help") || a == QLatin1String("-h") ? 0 : 2);
        } else {
            c.rest << a;
        }
    }
    return c;
}

BenchServer::BenchServer(const QString& given) {
    if (!given.isEmpty()) {
        m_prefix = given;
        return;
    }
    const QString dir = m_dir.path() + QStringLiteral("/server");
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Durable: the figures are those of a server that keeps what it commits.
    p.start(kScript, {QStringLiteral("start"), dir, QStringLiteral("durable")});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        std::fprintf(stderr, "could not start a PostgreSQL server with %s\n", qPrintable(kScript));
        return;
    }
    QFile f(dir + QStringLiteral("/location"));
    if (f.open(QIODevice::ReadOnly))
        m_prefix = QString::fromUtf8(f.readAll()).trimmed();
    m_own = true;
}

BenchServer::~BenchServer() {
    if (!m_own)
        return;
    QProcess p;
    p.start(kScript, {QStringLiteral("stop"), m_dir.path() + QStringLiteral("/server")});
    p.waitForFinished(60000);
}

QString BenchServer::location(const QString& schema) const {
    return m_prefix + QStringLiteral(" schema=") + schema;
}

} // namespace bench
