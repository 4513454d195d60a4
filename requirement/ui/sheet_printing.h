#pragma once
// The requirement sheet's own print command: the open requirement table through the print
// dialog, negative lines in bold. A pending line is posted first; a line the rules refuse
// ends the command after their message.
class TQDMDataModule;

namespace requirement {

void printRequirementSheet(TQDMDataModule& dm);

} // namespace requirement
