#pragma once
// The production settings characters: the characters with which the codes of raw-material
// warehouses (IndGest), of raw materials and materials (IndCod) and of semi-finished products
// (IndSemi) begin. Each is one code page 1250 byte, compared as a byte (case matters).
#include <QString>

extern char IndGest;
extern char IndCod;
extern char IndSemi;

// Whether the requirement descends through the semi-finished products (codes beginning with
// IndSemi) that have a recipe of their own, down to raw materials. Off unless the company's
// settings file turns it on: a requirement then stops at a semi-finished product.
extern bool SemiPrinReteta;

// True when the code's first character is the settings character; an empty code begins with
// nothing.
bool beginsWithSettingsChar(const QString& code, char settingsChar);
