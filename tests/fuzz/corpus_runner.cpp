// Runs a fuzz target over files instead of under libFuzzer: every file named, and every file of
// every folder named (sorted, so a failure names the same input on every run). The ordinary
// build links each target with this, so that its corpus and the inputs that once failed run in
// the default test suite.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int runFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    std::fprintf(stderr, "%s\n", qPrintable(path));
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                           static_cast<size_t>(bytes.size()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int inputs = 0;
    int unreadable = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QFileInfo info(arg);
        if (info.isDir()) {
            const QDir dir(arg);
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
                unreadable += runFile(dir.filePath(name));
                ++inputs;
            }
        } else if (info.exists()) {
            unreadable += runFile(arg);
            ++inputs;
        }
    }
    std::printf("%d inputs run\n", inputs);
    // A target with no input at all has lost its corpus: that is a failure too.
    return inputs == 0 || unreadable != 0 ? 1 : 0;
}
