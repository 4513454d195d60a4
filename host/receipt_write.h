#pragma once
// One write of the receipt posting library from a window: under the hourglass, with a refusal
// or a database failure shown in a message box that says nothing was written.
#include <QString>

#include <functional>

namespace host {

// notDone: what the box says first ("Documentul nu a fost validat"); step: the database step
// its failure names ("validarea"). Answers whether the write went through.
bool writeReceipt(const QString& notDone, const QString& step, const std::function<void()>& write);

} // namespace host
