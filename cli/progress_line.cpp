#include "cli/progress_line.h"

#include <cstdio>
#include <unistd.h>

namespace cli {

ProgressLine::ProgressLine(QString label, int total)
    : m_label(std::move(label)), m_total(total), m_terminal(isatty(fileno(stderr)) != 0) {
    m_started.start();
}

ProgressLine::~ProgressLine() {
    if (m_shown) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

void ProgressLine::advance(int done) {
    if (!m_terminal)
        return;
    const qint64 now = m_started.elapsed();
    if (now < 1000 || (m_shown && now - m_lastDrawn < 200 && (m_total <= 0 || done < m_total)))
        return;
    m_lastDrawn = now;
    m_shown = true;
    // Work of unknown length shows its name and how long it has run.
    const QString text = m_total > 0
                             ? QStringLiteral("\r%1: %2 din %3").arg(m_label).arg(done).arg(m_total)
                             : QStringLiteral("\r%1: %2 s").arg(m_label).arg(now / 1000);
    std::fputs(text.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

} // namespace cli
