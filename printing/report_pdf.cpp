#include "printing/report_pdf.h"

#include "platform/base/errors.h"
#include "printing/table_report.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>

namespace printing {

namespace {

[[noreturn]] void cannotWrite(const QString& fileName, const QString& reason) {
    throw base::Error(QStringLiteral("Fișierul PDF „%1” nu a putut fi scris: %2")
                          .arg(QDir::toNativeSeparators(fileName), reason));
}

} // namespace

bool writeReportPdf(const TableReport& report, const QString& fileName,
                    const PageProgress& progress) {
    if (fileName.isEmpty())
        cannotWrite(fileName, QStringLiteral("lipsește numele fișierului."));
    if (QFileInfo(fileName).isDir())
        cannotWrite(fileName, QStringLiteral("este un director."));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        cannotWrite(fileName, file.errorString());
    bool stopped = false;
    const PageProgress watched = [&](int page, int pageCount) {
        stopped = progress && !progress(page, pageCount);
        return !stopped;
    };
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setTitle(report.title);
        writer.setCreator(QStringLiteral("Lumbra"));
        if (paintReport(report, writer, watched) == 0) {
            file.cancelWriting();
            cannotWrite(fileName, QStringLiteral("documentul nu a putut fi pregătit."));
        }
    }
    if (stopped) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        cannotWrite(fileName, file.errorString());
    return true;
}

} // namespace printing
