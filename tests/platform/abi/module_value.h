#pragma once
// A module-wide value of a static library: each binary that links the library should have its own.
int& moduleValue();
