#pragma once
// The progress of a backup or restore on a terminal: the pages copied, then the integrity check,
// each on its own progress line; and the answer to the work's question whether to go on, which
// is no once Ctrl+C was pressed.
#include "backup/backup_progress.h"
#include "cli/progress_line.h"

#include <memory>

namespace cli {

class BackupProgressLine {
public:
    explicit BackupProgressLine(QString copyLabel) : m_copyLabel(std::move(copyLabel)) {}
    // The callback for the backup library; valid while this object lives.
    backup::Progress callback();

private:
    bool report(backup::Stage stage, qint64 done, qint64 total);

    QString m_copyLabel;
    backup::Stage m_stage = backup::Stage::Copying;
    std::unique_ptr<ProgressLine> m_line;
};

} // namespace cli
