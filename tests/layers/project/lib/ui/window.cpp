#include "lib/ui/window.h"

#include "lib/core.h"

int windowValue() {
    return coreValue() + 1;
}
