#pragma once
// How a backup or restore tells how far it has come, and how it is cancelled: the callback is
// called every few hundred pages while pages are copied (done and total in pages) and every
// few thousand steps of the integrity check (done and total 0: its length is not known). It
// answers false to cancel; the work then stops and leaves no file behind.
#include <QtGlobal>

#include <functional>

namespace backup {

enum class Stage { Copying, Checking };

using Progress = std::function<bool(Stage stage, qint64 done, qint64 total)>;

} // namespace backup
