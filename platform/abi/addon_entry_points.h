#pragma once
// The function types of the seven entry points an add-on library exports, as the host resolves
// them by name: the boundary both sides agree on, so that the host needs nothing of the add-on's
// own sources. Called in this order: InitAddOnDLL first; VelAddOnGetName and VelAddOnAddTables
// at any time; VelAddOnMainForm once; VelAddOnChangeDB after it, again whenever the company
// directory changes; VelAddOnDocInForm for each goods-receipt window; ClearAddOnDLL last.
#include "platform/abi/export.h"

namespace db {
class DataSet;
}
namespace hostabi {
struct TableDefinitionList;
}
namespace ui {
class Application;
class Menu;
class Screen;
class Form;
} // namespace ui
class QObject;

extern "C" {

using InitAddOnDLLProc = void LUMBRA_CALL (*)(ui::Screen* hostScreen,
                                              ui::Application* hostApplication);
using ClearAddOnDLLProc = void LUMBRA_CALL (*)();
using VelAddOnMainFormProc = ui::Menu* LUMBRA_CALL (*)(QObject* owner);
using VelAddOnAddTablesProc = void LUMBRA_CALL (*)(hostabi::TableDefinitionList* list);
using VelAddOnGetNameProc = void LUMBRA_CALL (*)(char** name);
using VelAddOnChangeDBProc = void LUMBRA_CALL (*)(const char* directory);
using VelAddOnDocInFormProc = ui::Menu* LUMBRA_CALL (*)(ui::Form* docInForm,
                                                        db::DataSet* docInDataSet);
}
