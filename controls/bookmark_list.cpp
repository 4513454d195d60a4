#include "controls/bookmark_list.h"

#include "platform/base/errors.h"
#include "platform/db/controls_disabled.h"
#include "platform/db/data_set.h"

namespace {

db::DataSet& openDataSet(const TBookmarkListOwner& grid) {
    db::DataSet* dataSet = grid.dataSet();
    if (!dataSet || !dataSet->isActive())
        throw base::DatabaseError(
            QStringLiteral("Cannot perform this operation on a closed dataset"),
            base::DatabaseError::Kind::InvalidState);
    return *dataSet;
}

} // namespace

int TBookmarkList::compare(const db::Bookmark& a, const db::Bookmark& b) {
    return a.id < b.id ? -1 : (a.id > b.id ? 1 : 0);
}

db::Bookmark TBookmarkList::currentRow() const {
    return openDataSet(m_grid).bookmark();
}

bool TBookmarkList::find(const db::Bookmark& bookmark, int& index) {
    if (m_cacheIndex >= 0 && m_cache == bookmark) {
        index = m_cacheIndex;
        return m_cacheFound;
    }
    int low = 0;
    int high = count() - 1;
    bool found = false;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int order = compare(m_list.at(middle), bookmark);
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (order == 0) {
                found = true;
                low = middle;
            }
        }
    }
    index = low;
    m_cache = bookmark;
    m_cacheIndex = low;
    m_cacheFound = found;
    return found;
}

bool TBookmarkList::isSelected(const db::Bookmark& bookmark) {
    int index = 0;
    return bookmark.isValid() && !m_list.isEmpty() && find(bookmark, index);
}

bool TBookmarkList::isSelectedRow(const ui::RecordWindow& window, int row) {
    if (m_list.isEmpty() || row < 0 || row >= window.count() || row == window.newRow())
        return false;
    return isSelected(db::Bookmark{window.row(row).id});
}

bool TBookmarkList::currentRecordSelected() {
    const db::Bookmark current = currentRow();
    int index = 0;
    return current.isValid() && find(current, index);
}

void TBookmarkList::insertAt(int index, const db::Bookmark& bookmark) {
    m_list.insert(index, bookmark);
    forget();
}

void TBookmarkList::removeAt(int index) {
    m_list.removeAt(index);
    forget();
}

void TBookmarkList::setCurrentRecordSelected(bool selected) {
    const db::Bookmark current = currentRow();
    if (!current.isValid())
        return; // a new record has no bookmark until it is stored
    int index = 0;
    if (find(current, index) == selected)
        return;
    if (selected)
        insertAt(index, current);
    else
        removeAt(index);
    m_grid.marksChanged(true);
}

void TBookmarkList::clear() {
    if (m_list.isEmpty())
        return;
    m_list.clear();
    forget();
    m_grid.marksChanged(false);
}

void TBookmarkList::deleteAll() {
    db::DataSet& dataSet = openDataSet(m_grid);
    const db::ControlsDisabled quiet(dataSet);
    for (int i = count() - 1; i >= 0; --i) {
        dataSet.gotoBookmark(m_list.at(i));
        dataSet.remove();
        removeAt(i);
    }
}

void TBookmarkList::linkActive(bool) {
    m_list.clear();
    forget();
}
