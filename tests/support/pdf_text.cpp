#include "tests/support/pdf_text.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace testsupport {

QStringList pdfPages(const QString& fileName) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                          QStringLiteral("UTF-8"), fileName, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    // Pages end with a form feed; the text after the last one is empty.
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QStringList renderPdfPages(const QString& fileName, const QString& prefix, int dpi) {
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), fileName, prefix});
    p.waitForFinished(120000);
    const QFileInfo info(prefix);
    QStringList files;
    for (const QFileInfo& f :
         QDir(info.absolutePath())
             .entryInfoList({info.fileName() + QStringLiteral("-*.png")}, QDir::Files, QDir::Name))
        files << f.absoluteFilePath();
    return files;
}

} // namespace testsupport
