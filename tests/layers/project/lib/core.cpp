#include "lib/core.h"
#ifdef CORE_REACHES_UP
#include "lib/ui/window.h"
#endif

int coreValue() {
    return 1;
}
