#pragma once
// Ctrl+C during long work. While an Interruption lives, SIGINT and SIGTERM only set a flag that
// the work asks about between steps, so a backup or restore stops where it can clean up, rather
// than dying with a half-written file. The previous handlers come back when it goes.
#include <csignal>

namespace cli {

class Interruption {
public:
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // True once Ctrl+C was pressed while this object lived.
    static bool requested();

private:
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

} // namespace cli
