#pragma once
// The module-wide references and values of the add-on: one instance each for the life of the
// loaded library, each empty (or at its initial value) until its object exists.
namespace ui {
class Application;
class Screen;
} // namespace ui
class TDummyModule;
class TQDMRetetaForm;
class TQDMIndicatorForm;
class TQDMNecesarForm;
class TCatLookupForm;
class TSelDateDlg;

extern TDummyModule* DummyModule;
extern TQDMRetetaForm* QDMRetetaForm;
extern TQDMIndicatorForm* QDMIndicatorForm;
extern TQDMNecesarForm* QDMNecesarForm;
extern TCatLookupForm* CatLookupForm;
extern TSelDateDlg* SelDateDlg;

// The receipt document the requirement flow works on; -9999 until the first sheet.
extern double DocInContor;
// Set when a consumption document generation starts; cleared when a sheet is built.
extern bool DocOutGenerated;
// Raised when the requirement sheet paints a negative stock figure; lowered at every state
// change of the requirement table.
extern bool NegativeStockShown;

// The module's own toolkit objects, kept while the host's are installed.
extern ui::Application* SavedApplication;
extern ui::Screen* SavedScreen;
