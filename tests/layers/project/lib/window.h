#pragma once
int windowValue();
