#include "requirement/requirement_build.h"
// Placeholder until the requirement build lands.
