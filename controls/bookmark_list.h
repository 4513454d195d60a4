#pragma once
// The selected rows of a grid: the bookmarks of the selected records, kept sorted by the dataset's
// bookmark order and searched by bisection. The last search is remembered (bookmark, index, found)
// so that painting a row after asking about it costs no second search; any change of the list
// forgets it (index -1).
//
// The list is emptied whenever the grid's data link opens or closes. Reading or writing the current
// record's mark on a closed dataset raises "Cannot perform this operation on a closed dataset".
#include "platform/db/record_buffer.h"
#include "platform/ui/record_window.h"

#include <QList>

namespace db {
class DataSet;
}

// What the selected rows read and ask of their grid.
class TBookmarkListOwner {
public:
    // The grid's dataset (open or not), or null.
    virtual db::DataSet* dataSet() const = 0;
    // The marks of the current row, or of every row, changed: the grid repaints them.
    virtual void marksChanged(bool currentRowOnly) = 0;

protected:
    ~TBookmarkListOwner() = default;
};

class TBookmarkList {
public:
    explicit TBookmarkList(TBookmarkListOwner& grid) : m_grid(grid) {}
    virtual ~TBookmarkList() = default;
    TBookmarkList(const TBookmarkList&) = delete;
    TBookmarkList& operator=(const TBookmarkList&) = delete;

    int count() const { return int(m_list.size()); }
    db::Bookmark items(int index) const { return m_list.at(index); }
    // Whether the current record is selected.
    bool currentRecordSelected();
    // Selects or deselects the current record. Setting the mark it already has does nothing,
    // not even a repaint; a change inserts the bookmark at its sorted place or removes it, and
    // repaints the grid's current row. A new record (not stored yet) cannot be selected.
    virtual void setCurrentRecordSelected(bool selected);
    // Whether the record of a bookmark is selected.
    bool isSelected(const db::Bookmark& bookmark);
    // Whether the record on a row of the grid's window is selected (never the new row).
    bool isSelectedRow(const ui::RecordWindow& window, int row);

    // Empties the list; the grid is repainted when something was selected.
    void clear();
    // Deletes every selected record from the dataset, the last entry first, with the dataset's
    // controls switched off meanwhile, and empties the list.
    void deleteAll();
    // The grid's data link opened or closed.
    void linkActive(bool active);

    // Finds a bookmark by bisection: true when present at index, else false with the index at
    // which it belongs.
    bool find(const db::Bookmark& bookmark, int& index);
    // The dataset's order of bookmarks: negative, zero or positive.
    static int compare(const db::Bookmark& a, const db::Bookmark& b);

protected:
    // The current record's bookmark; throws when the dataset is closed.
    db::Bookmark currentRow() const;
    void insertAt(int index, const db::Bookmark& bookmark);
    void removeAt(int index);
    TBookmarkListOwner& grid() const { return m_grid; }

private:
    void forget() {
        m_cacheIndex = -1;
        m_cacheFound = false;
        m_cache = db::Bookmark{};
    }

    TBookmarkListOwner& m_grid;
    QList<db::Bookmark> m_list;
    db::Bookmark m_cache;
    int m_cacheIndex = -1;
    bool m_cacheFound = false;
};

// The list the grids keep.
class TXBookmarkList : public TBookmarkList {
public:
    using TBookmarkList::TBookmarkList;
};
