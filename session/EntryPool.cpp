#include "session/EntryPool.h"

#include "settings/SaverEntry.h"
#include "settings/SettingsFile.h"

#include <utility>
#include <vector>

EntryPool::EntryPool(ListReader reader) : reader(std::move(reader)) {}

void EntryPool::Load() {
    for (int i = 0;; ++i) {
        std::string value = reader(i);
        if (value.empty()) break;
        SaverEntry entry = SaverEntry::FromStoredValue(value);
        if (entry.mark == settings::kMarkOff) continue;
        paths.push_back(entry.path);
    }
}

void EntryPool::Prepare(int order, const std::string& last) {
    Load();
    if (order == static_cast<int>(PickOrder::ListOrder)) {
        for (;;) {
            if (paths.empty()) {
                Load();
                break;
            }
            std::string head = paths.front();
            paths.pop_front();
            if (head == last) {
                if (paths.empty()) Load();
                break;
            }
        }
    } else if (paths.empty()) {
        Load();
    }
}

bool EntryPool::Pick(int order, std::string& current, const RandomSource& random) {
    return PickWhere(order, current, random, [](const std::string&) { return true; });
}

bool EntryPool::PickWhere(int order, std::string& current, const RandomSource& random,
                          const std::function<bool(const std::string&)>& eligible) {
    std::deque<std::string> all;
    std::deque<std::string>* from = &paths;
    std::vector<size_t> found;
    for (int round = 0; round < 2 && found.empty(); ++round) {
        if (round == 1) {
            // Nothing of it left in this cycle: from the whole list.
            EntryPool whole(reader);
            whole.Load();
            all = whole.paths;
            from = &all;
        }
        for (size_t i = 0; i < from->size(); ++i) {
            if (eligible((*from)[i])) found.push_back(i);
        }
    }
    if (found.empty()) return false;
    size_t k = found.front();
    if (order == static_cast<int>(PickOrder::Random)) {
        // The current entry again only when no other path is eligible (a
        // hand-edited list may name one path twice); otherwise one of the
        // others, each as likely as by drawing until one differs.
        k = found[static_cast<size_t>(random()) % found.size()];
        if ((*from)[k] == current) {
            std::vector<size_t> others;
            for (size_t i : found) {
                if ((*from)[i] != current) others.push_back(i);
            }
            if (!others.empty()) k = others[static_cast<size_t>(random()) % others.size()];
        }
    }
    current = (*from)[k];
    from->erase(from->begin() + static_cast<std::ptrdiff_t>(k));
    if (paths.empty()) Load();
    return true;
}

int SwitchPeriodMs(int minutes) {
    if (minutes < 1) minutes = 1;
    if (minutes > settings::kMaxMinutes) minutes = settings::kMaxMinutes;
    return minutes * 60000;
}
