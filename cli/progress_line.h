#pragma once
// A progress line on standard error for work that takes longer than a second: shown only when
// standard error is a terminal, redrawn in place at most a few times a second, erased at the end.
// A total of 0 is work of unknown length: the line shows the seconds it has run.
#include <QElapsedTimer>
#include <QString>

namespace cli {

class ProgressLine {
public:
    ProgressLine(QString label, int total);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void advance(int done);

private:
    QString m_label;
    int m_total;
    bool m_terminal;
    bool m_shown = false;
    QElapsedTimer m_started;
    qint64 m_lastDrawn = 0;
};

} // namespace cli
