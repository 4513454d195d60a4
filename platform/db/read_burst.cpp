#include "platform/db/read_burst.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace db {

namespace {

// The open bursts of this thread and the connections holding a lock for them.
thread_local int t_depth = 0;
thread_local std::vector<ReadBurst::Holder*> t_holders;

} // namespace

ReadBurst::ReadBurst() {
    ++t_depth;
}

ReadBurst::~ReadBurst() {
    if (--t_depth == 0)
        letGo();
}

void ReadBurst::letGo() {
    const std::vector<Holder*> holders = std::exchange(t_holders, {});
    for (Holder* h : holders)
        h->endHold();
}

bool ReadBurst::join(Holder* holder) {
    if (t_depth == 0)
        return false;
    if (std::find(t_holders.begin(), t_holders.end(), holder) == t_holders.end())
        t_holders.push_back(holder);
    return true;
}

void ReadBurst::leave(Holder* holder) {
    std::erase(t_holders, holder);
}

} // namespace db
