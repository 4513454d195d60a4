#include "lib/window.h"
#ifdef WINDOW_USES_CORE
#include "lib/core.h"
#endif

int windowValue() {
    return 2;
}
