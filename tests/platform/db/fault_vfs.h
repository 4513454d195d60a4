#pragma once
// A test file system for SQLite that fails the Nth read, write, sync or lock of any database or
// journal file. Installed as SQLite's default, it forwards every call to the real file system and
// only counts until it is armed: arm() picks the kind of call and N, and whether the failure is a
// single one (the calls after it succeed again) or lasts (every call of that kind from the Nth on
// fails, as a disk that went away).
namespace faultvfs {

enum class Kind { Read, Write, Sync, Lock };

// Registers the file system as SQLite's default (once; later calls do nothing).
void install();

void arm(Kind kind, int nth, bool persistent);
void disarm();
// Calls of the armed kind since arm(); greater than or equal to N when the failure happened.
int calls();
// Whether the armed failure happened.
bool fired();

} // namespace faultvfs
