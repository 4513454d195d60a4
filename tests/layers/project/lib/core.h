#pragma once
int coreValue();
