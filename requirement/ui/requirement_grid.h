#pragma once
// The grid of the requirement sheet as the sheet sets it up: its options and its columns (the
// material, its code and group, the quantity beside the recipe's, the stock on hand and the
// stock that would remain), shaded where the user cannot type.
class TDBGridNormal;

void setUpRequirementGrid(TDBGridNormal& grid);
