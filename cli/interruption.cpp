#include "cli/interruption.h"

namespace cli {
namespace {

volatile std::sig_atomic_t g_requested = 0;

extern "C" void noteInterruption(int) {
    g_requested = 1;
}

} // namespace

Interruption::Interruption() {
    g_requested = 0;
    struct sigaction action {};
    action.sa_handler = &noteInterruption;
    // The file system calls in progress go on; the work stops at its next step.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_oldInt);
    sigaction(SIGTERM, &action, &m_oldTerm);
}

Interruption::~Interruption() {
    sigaction(SIGINT, &m_oldInt, nullptr);
    sigaction(SIGTERM, &m_oldTerm, nullptr);
}

bool Interruption::requested() {
    return g_requested != 0;
}

} // namespace cli
