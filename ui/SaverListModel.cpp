#include "ui/SaverListModel.h"

#include "settings/SettingsFile.h"
#include "ui/SaverListRules.h"

std::string SaverListModel::Path(int index) const { return InRange(index) ? rows[index].path : std::string(); }

void SaverListModel::Insert(int index, const SaverEntry& entry) {
    if (index < 0 || index > Count()) index = Count();
    rows.insert(rows.begin() + index, entry);
}

void SaverListModel::Erase(int index) {
    if (InRange(index)) rows.erase(rows.begin() + index);
}

void SaverListModel::Toggle(int index) {
    if (!InRange(index)) return;
    rows[index].mark = rows[index].mark == settings::kMarkOn ? settings::kMarkOff : settings::kMarkOn;
}

void SaverListModel::Move(int from, int to) {
    if (!InRange(from) || !InRange(to) || from == to) return;
    SaverEntry row = rows[from];
    rows.erase(rows.begin() + from);
    rows.insert(rows.begin() + to, row);
}

int SaverListModel::Find(const std::string& path) const {
    for (int i = 0; i < Count(); ++i) {
        if (SamePath(rows[i].path, path)) return i;
    }
    return -1;
}
