#pragma once
// States of a dataset and the notifications it sends to its data sources.
namespace db {

enum class DataSetState { Inactive, Browse, Edit, Insert, CalcFields, Filter };

enum class DataEvent {
    ActiveChanged,   // opened or closed
    StateChanged,    // browse, edit, insert
    DataSetChanged,  // anything may have changed: re-read everything shown
    RecordChanged,   // one field (or, with no field, the whole current record) changed in edit
    DataSetScroll,   // the current record moved
    UpdateData,      // controls must write pending edits into the fields (before post)
    CheckBrowseMode, // the dataset is about to move: details must post or cancel their edits
};

} // namespace db
