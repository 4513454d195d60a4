#include "requirement/consumption_document.h"
// Placeholder until the generation lands.
