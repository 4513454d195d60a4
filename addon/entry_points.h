#pragma once
// The seven entry points of the add-on library, in the order the host calls them:
//   InitAddOnDLL first; VelAddOnGetName and VelAddOnAddTables at any time; VelAddOnMainForm
//   once; VelAddOnChangeDB after it, again whenever the company directory changes;
//   VelAddOnDocInForm for each goods-receipt window; ClearAddOnDLL last.
// Objects cross as the platform's own types, built from the same sources on both sides.
// Strings are host strings (platform/abi/host_string.h): code page 1250, reference-counted,
// from the shared memory manager.
#include "platform/abi/addon_entry_points.h"

extern "C" {

LUMBRA_EXPORT void LUMBRA_CALL InitAddOnDLL(ui::Screen* hostScreen,
                                            ui::Application* hostApplication);
LUMBRA_EXPORT void LUMBRA_CALL ClearAddOnDLL();
LUMBRA_EXPORT ui::Menu* LUMBRA_CALL VelAddOnMainForm(QObject* owner);
LUMBRA_EXPORT void LUMBRA_CALL VelAddOnAddTables(hostabi::TableDefinitionList* list);
LUMBRA_EXPORT void LUMBRA_CALL VelAddOnGetName(char** name);
LUMBRA_EXPORT void LUMBRA_CALL VelAddOnChangeDB(const char* directory);
LUMBRA_EXPORT ui::Menu* LUMBRA_CALL VelAddOnDocInForm(ui::Form* docInForm,
                                                      db::DataSet* docInDataSet);
}
