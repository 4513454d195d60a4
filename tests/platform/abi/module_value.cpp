#include "tests/platform/abi/module_value.h"

int g_moduleValue = 0;

int& moduleValue() {
    return g_moduleValue;
}
