#include "addon/module_values.h"

TDummyModule* DummyModule = nullptr;
TQDMRetetaForm* QDMRetetaForm = nullptr;
TQDMIndicatorForm* QDMIndicatorForm = nullptr;
TQDMNecesarForm* QDMNecesarForm = nullptr;
double DocInContor = -9999.0;
bool DocOutGenerated = false;
ui::Application* SavedApplication = nullptr;
ui::Screen* SavedScreen = nullptr;
