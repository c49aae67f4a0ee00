// The pool of a saver session: the switched-on entries not yet shown in the
// current cycle, in list order, and the pick of the next entry by the order
// the user chose. An empty pool is filled again from the settings file, so
// each cycle shows every switched-on entry once; the file is read again at
// each refill, so a list saved meanwhile takes effect at the next cycle.
#pragma once

#include <deque>
#include <functional>
#include <string>

enum class PickOrder { Random = 0, ListOrder = 1, FromTop = 2 };

class EntryPool {
public:
    // Reads the stored list value List<index> (empty when missing).
    using ListReader = std::function<std::string(int index)>;
    // The runtime's generator: values 0 to 32767.
    using RandomSource = std::function<int()>;

    explicit EntryPool(ListReader reader);

    // Appends the switched-on entries, List0 upwards until the first empty
    // value; "×" values are skipped, the mark "○" is dropped, a value without
    // a mark is taken whole.
    void Load();
    // At session start: fills the pool and, for list order, moves it past
    // last, so that the session goes on after the entry shown last.
    void Prepare(int order, const std::string& last);
    // Picks the next entry into current and refills the pool when the pick
    // emptied it. Returns false (and picks nothing) when the pool is empty.
    bool Pick(int order, std::string& current, const RandomSource& random);
    // As Pick, but only among the paths that eligible takes (for another
    // monitor than the primary: no program, none on the screen already);
    // when the pool holds none of them, among all the switched-on entries,
    // the pool left as it is. False (and nothing picked) when no entry is
    // eligible.
    bool PickWhere(int order, std::string& current, const RandomSource& random,
                   const std::function<bool(const std::string&)>& eligible);

    const std::deque<std::string>& Paths() const { return paths; }
    bool Empty() const { return paths.empty(); }

private:
    ListReader reader;
    std::deque<std::string> paths;
};

// The switch timer's period for a stored interval in minutes. Values a
// hand-edited file may hold outside the dialog's range 1 to 999 are taken
// as the nearest end of it, so the period is never zero, negative or
// overflowing.
int SwitchPeriodMs(int minutes);
