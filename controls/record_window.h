#pragma once
// The grid's window of records lives in the toolkit layer, shared with the host's grid.
#include "platform/ui/record_window.h"

using RecordWindow = ui::RecordWindow;
