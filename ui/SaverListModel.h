// The rows of the settings dialog's saver list without the window: each
// row's mark and full path, in the order the list shows them. The dialog
// keeps one beside its list box and changes both together.
#pragma once

#include "settings/SaverEntry.h"

#include <string>
#include <vector>

class SaverListModel {
public:
    int Count() const { return static_cast<int>(rows.size()); }
    const std::vector<SaverEntry>& Entries() const { return rows; }
    // The row's path; empty for an index out of range.
    std::string Path(int index) const;

    void Clear() { rows.clear(); }
    // Inserts entry before index; -1 or an index past the end appends.
    void Insert(int index, const SaverEntry& entry);
    void Erase(int index);
    // The row marked on becomes off, any other on.
    void Toggle(int index);
    // Takes the row at from out and puts it in at to (both in range).
    void Move(int from, int to);
    // The first row whose path is the same entry's (SamePath); -1 if none.
    int Find(const std::string& path) const;

private:
    bool InRange(int index) const { return index >= 0 && index < Count(); }
    std::vector<SaverEntry> rows;
};
