#include "cli/backup_progress_line.h"

#include "cli/interruption.h"

namespace cli {

backup::Progress BackupProgressLine::callback() {
    return [this](backup::Stage stage, qint64 done, qint64 total) {
        return report(stage, done, total);
    };
}

bool BackupProgressLine::report(backup::Stage stage, qint64 done, qint64 total) {
    if (!m_line || stage != m_stage) {
        m_line.reset(); // erases the line of the stage before
        m_stage = stage;
        m_line = std::make_unique<ProgressLine>(stage == backup::Stage::Copying
                                                    ? m_copyLabel + QStringLiteral(" (pagini)")
                                                    : QStringLiteral("Verificarea integrității"),
                                                int(total));
    }
    m_line->advance(int(done));
    return !Interruption::requested();
}

} // namespace cli
