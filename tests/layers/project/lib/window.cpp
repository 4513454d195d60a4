#include "lib/window.h"

int windowValue() {
    return 2;
}
