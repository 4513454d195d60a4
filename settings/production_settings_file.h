#pragma once
// Loading and saving the production settings characters in the company's "KRVDEF.INI",
// section "Productie". The company directory is read at every load and save from the registry
// value "LastDatabaseDir" of "Software\Calbrik\Merovan", where the host keeps the directory of
// the company it opened last.
#include <QString>

// The settings file, or an empty text when the registry names no company directory.
QString ProductionSettingsFileName();

// Sets IndGest, IndCod and IndSemi from the file; a missing file, key or value keeps the
// current character, and so does a missing company directory. The switch SemiPrinReteta is
// read from the key of the same name: on where it says "1", off otherwise (a missing file or
// key included), so that it never carries over from another company.
void LoadProductionSettings();

// Writes the three characters into the file, creating file and section when needed and
// leaving everything else as it was; the switch SemiPrinReteta is written when it is on or
// when the file holds it already, so a company that never used it keeps its file unchanged. Answers
// false, writing nothing, when the registry names no company directory (the caller tells the user).
bool SaveProductionSettings();

// The warning the settings dialog shows when there is nowhere to save.
QString noCompanyDirectoryMessage();
