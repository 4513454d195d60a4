#include "fault_vfs.h"

#include <sqlite3.h>

#include <cstring>

namespace faultvfs {
namespace {

struct State {
    bool armed = false;
    Kind kind = Kind::Read;
    int nth = 0;
    bool persistent = false;
    int calls = 0;
};

State state;

// Counts a call of this kind; true when it is to fail.
bool failNow(Kind kind) {
    if (!state.armed || state.kind != kind)
        return false;
    ++state.calls;
    return state.calls == state.nth || (state.persistent && state.calls > state.nth);
}

// The wrapper of a real file: the real one is laid out right after it.
struct File {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* realOf(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->real;
}

int xClose(sqlite3_file* f) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xClose(r);
}
int xRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    if (failNow(Kind::Read))
        return SQLITE_IOERR_READ;
    sqlite3_file* r = realOf(f);
    return r->pMethods->xRead(r, buffer, amount, offset);
}
int xWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    if (failNow(Kind::Write))
        return SQLITE_IOERR_WRITE;
    sqlite3_file* r = realOf(f);
    return r->pMethods->xWrite(r, buffer, amount, offset);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xTruncate(r, size);
}
int xSync(sqlite3_file* f, int flags) {
    if (failNow(Kind::Sync))
        return SQLITE_IOERR_FSYNC;
    sqlite3_file* r = realOf(f);
    return r->pMethods->xSync(r, flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xFileSize(r, size);
}
int xLock(sqlite3_file* f, int level) {
    if (failNow(Kind::Lock))
        return SQLITE_IOERR_LOCK;
    sqlite3_file* r = realOf(f);
    return r->pMethods->xLock(r, level);
}
int xUnlock(sqlite3_file* f, int level) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xUnlock(r, level);
}
int xCheckReservedLock(sqlite3_file* f, int* out) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xCheckReservedLock(r, out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xFileControl(r, op, arg);
}
int xSectorSize(sqlite3_file* f) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xSectorSize(r);
}
int xDeviceCharacteristics(sqlite3_file* f) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xDeviceCharacteristics(r);
}
int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xShmMap(r, region, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xShmLock(r, offset, n, flags);
}
void xShmBarrier(sqlite3_file* f) {
    sqlite3_file* r = realOf(f);
    r->pMethods->xShmBarrier(r);
}
int xShmUnmap(sqlite3_file* f, int deleteFlag) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xShmUnmap(r, deleteFlag);
}
int xFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
    // No memory-mapped reads: every read goes through xRead, where it can fail.
    (void)f;
    (void)offset;
    (void)amount;
    *out = nullptr;
    return SQLITE_OK;
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* page) {
    sqlite3_file* r = realOf(f);
    return r->pMethods->xUnfetch(r, offset, page);
}

const sqlite3_io_methods methods = {3,
                                    xClose,
                                    xRead,
                                    xWrite,
                                    xTruncate,
                                    xSync,
                                    xFileSize,
                                    xLock,
                                    xUnlock,
                                    xCheckReservedLock,
                                    xFileControl,
                                    xSectorSize,
                                    xDeviceCharacteristics,
                                    xShmMap,
                                    xShmLock,
                                    xShmBarrier,
                                    xShmUnmap,
                                    xFetch,
                                    xUnfetch};

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs faultVfs;

int xOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    File* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    const int rc = realVfs->xOpen(realVfs, name, file->real, flags, outFlags);
    file->base.pMethods = file->real->pMethods ? &methods : nullptr;
    return rc;
}

} // namespace

void install() {
    if (realVfs)
        return;
    realVfs = sqlite3_vfs_find(nullptr);
    faultVfs = *realVfs;
    faultVfs.zName = "faultvfs";
    faultVfs.szOsFile = int(sizeof(File)) + realVfs->szOsFile;
    faultVfs.xOpen = xOpen;
    faultVfs.pNext = nullptr;
    sqlite3_vfs_register(&faultVfs, 1);
}

void arm(Kind kind, int nth, bool persistent) {
    state = State{true, kind, nth, persistent, 0};
}

void disarm() {
    state.armed = false;
}

int calls() {
    return state.calls;
}

bool fired() {
    return state.calls >= state.nth;
}

} // namespace faultvfs
