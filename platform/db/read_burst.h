#pragma once
// A burst of reads seen as one: a grid reading its window with every row's lookups and sums, a
// window opening its tables. On an embedded database each statement otherwise takes the file's
// read lock and lets it go (a few system calls each); inside a burst the first read of each
// database takes it and the end of the outermost burst lets it go, so the reads also see one
// state of the database. A burst lasts as long as its reads (milliseconds): while it holds the
// lock, another user's write waits as it would for one long read.
//
// Bursts nest. A write inside one (a statement that changes rows, a transaction, a change of
// structure) first lets the burst's lock go on its database, so that it is committed when it
// would be outside. A server's statements run as they do without a burst. A burst encloses
// reads only: a write through another connection to the same file would wait for the burst's
// own lock.
namespace db {

class ReadBurst {
public:
    ReadBurst();
    ~ReadBurst();
    ReadBurst(const ReadBurst&) = delete;
    ReadBurst& operator=(const ReadBurst&) = delete;

    // What a database connection that keeps its read lock for the burst implements.
    class Holder {
    public:
        // Lets the lock go: the outermost burst has ended. Never throws.
        virtual void endHold() noexcept = 0;

    protected:
        ~Holder() = default;
    };

    // Whether a burst is open on this thread; when it is, holder is told when it ends.
    static bool join(Holder* holder);
    // holder let its lock go before the end (a write, or the connection closing).
    static void leave(Holder* holder);
    // Lets every lock of the open bursts go now, before the person is asked something (a box, a
    // modal window): no lock is kept while the screen waits. Reads after it take theirs again.
    static void letGo();
};

} // namespace db
