#pragma once
// The behaviour switches of a data grid and the state in which a cell is drawn. The option values
// are bits in the system's own order (dgEditing is bit 0), so that a window may set and clear them
// by their numbers (dgEditing 1, dgAlwaysShowEditor 2, dgRowSelect 256, dgMultiSelect 4096).
#include <QFlags>

enum TDBGridOption : unsigned {
    dgEditing = 1u << 0,
    dgAlwaysShowEditor = 1u << 1,
    dgTitles = 1u << 2,
    dgIndicator = 1u << 3,
    dgColumnResize = 1u << 4,
    dgColLines = 1u << 5,
    dgRowLines = 1u << 6,
    dgTabs = 1u << 7,
    dgRowSelect = 1u << 8,
    dgAlwaysShowSelection = 1u << 9,
    dgConfirmDelete = 1u << 10,
    dgCancelOnExit = 1u << 11,
    dgMultiSelect = 1u << 12,
};
Q_DECLARE_FLAGS(TDBGridOptions, TDBGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDBGridOptions)

// The options of a new grid.
inline constexpr TDBGridOptions kDefaultGridOptions =
    TDBGridOptions(dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines |
                   dgTabs | dgConfirmDelete | dgCancelOnExit);

enum TGridDrawStateFlag : unsigned {
    gdSelected = 0x1, // the cell is shown highlighted
    gdFocused = 0x2,  // the cell is the current cell of a focused grid
    gdFixed = 0x4,    // a title or indicator cell
};
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)
