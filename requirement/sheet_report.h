#pragma once
// The requirement sheet on paper: the materials of the open requirement table with their
// quantity, the stock on hand and the stock left after consumption, as the grid shows them.
// A line whose stock goes below zero is printed in bold, since red may not print. Widget-free.
#include "printing/table_report.h"

class TQDMDataModule;

namespace requirement {

// Reads the lines of the requirement table that buildRequirement left open (DocInTable on the
// receipt header). Raises base::DatabaseError while a line is being edited.
printing::TableReport requirementSheetReport(TQDMDataModule& dm, const QString& companyName);

} // namespace requirement
