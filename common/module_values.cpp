#include "common/module_values.h"

TDummyModule* DummyModule = nullptr;
TQDMRetetaForm* QDMRetetaForm = nullptr;
TQDMIndicatorForm* QDMIndicatorForm = nullptr;
TQDMNecesarForm* QDMNecesarForm = nullptr;
TCatLookupForm* CatLookupForm = nullptr;
TSelDateDlg* SelDateDlg = nullptr;
double DocInContor = -9999.0;
bool DocOutGenerated = false;
bool NegativeStockShown = false;
ui::Application* SavedApplication = nullptr;
ui::Screen* SavedScreen = nullptr;
