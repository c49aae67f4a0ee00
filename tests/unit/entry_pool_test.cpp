// The session's pool and pick: cycles without repetition, list order going
// on after the entry shown last, the order from the top, and the refill.
#include "session/EntryPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

namespace {

// A stored list the tests can change between refills.
struct StoredList {
    std::vector<std::string> values;
    EntryPool::ListReader Reader() {
        return [this](int i) { return i < static_cast<int>(values.size()) ? values[static_cast<size_t>(i)] : std::string(); };
    }
};

std::vector<std::string> Picks(EntryPool& pool, int order, std::string& current, int count,
                               const EntryPool::RandomSource& random) {
    std::vector<std::string> picked;
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(pool.Pick(order, current, random));
        picked.push_back(current);
    }
    return picked;
}

EntryPool::RandomSource Runtime() {
    return [] { return std::rand(); };
}

TEST(EntryPoolTest, LoadStopsAtTheFirstEmptyValueAndSkipsSwitchedOffEntries) {
    StoredList list{{"○E1", "×E2", "E3", "", "○E5"}};
    EntryPool pool(list.Reader());
    pool.Load();
    EXPECT_EQ(std::vector<std::string>(pool.Paths().begin(), pool.Paths().end()),
              (std::vector<std::string>{"E1", "E3"}));
}

TEST(EntryPoolTest, ListOrderGoesOnAfterLast) {
    StoredList list{{"○E1", "○E2", "○E3"}};
    EntryPool pool(list.Reader());
    std::string current = "E2";
    pool.Prepare(1, current);
    EXPECT_EQ(Picks(pool, 1, current, 5, Runtime()),
              (std::vector<std::string>{"E3", "E1", "E2", "E3", "E1"}));
}

TEST(EntryPoolTest, ListOrderStartsAtTheTopAfterTheLastOrAnUnknownEntry) {
    for (const char* last : {"E3", "gone.scr", ""}) {
        SCOPED_TRACE(last);
        StoredList list{{"○E1", "○E2", "○E3"}};
        EntryPool pool(list.Reader());
        std::string current = last;
        pool.Prepare(1, current);
        EXPECT_EQ(Picks(pool, 1, current, 4, Runtime()),
                  (std::vector<std::string>{"E1", "E2", "E3", "E1"}));
    }
}

TEST(EntryPoolTest, FromTheTopIgnoresLast) {
    for (int order : {2, 7, -1}) {
        StoredList list{{"○E1", "○E2", "○E3"}};
        EntryPool pool(list.Reader());
        std::string current = "E1";
        pool.Prepare(order, current);
        EXPECT_EQ(Picks(pool, order, current, 4, Runtime()),
                  (std::vector<std::string>{"E1", "E2", "E3", "E1"}));
    }
}

TEST(EntryPoolTest, RandomWithTwoAlternatesAndAvoidsThePreviousLast) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::srand(seed);
        StoredList list{{"○E1", "○E2"}};
        EntryPool pool(list.Reader());
        std::string current = "E1";
        pool.Prepare(0, current);
        std::vector<std::string> picked = Picks(pool, 0, current, 8, Runtime());
        EXPECT_EQ(picked[0], "E2");
        for (size_t i = 1; i < picked.size(); ++i) EXPECT_NE(picked[i], picked[i - 1]);
    }
}

TEST(EntryPoolTest, RandomWithThreeShowsEveryEntryOncePerCycleAndNeverRepeatsAcrossCycles) {
    std::srand(12345);
    StoredList list{{"○E1", "○E2", "○E3"}};
    EntryPool pool(list.Reader());
    std::string current = "E3";
    pool.Prepare(0, current);
    std::vector<std::string> picked = Picks(pool, 0, current, 30, Runtime());
    EXPECT_NE(picked[0], "E3");
    std::map<std::string, int> firsts;
    for (size_t cycle = 0; cycle < 10; ++cycle) {
        std::set<std::string> seen(picked.begin() + static_cast<long>(cycle * 3),
                                   picked.begin() + static_cast<long>(cycle * 3 + 3));
        EXPECT_EQ(seen.size(), 3u) << "cycle " << cycle;
        ++firsts[picked[cycle * 3]];
        if (cycle > 0) {
            EXPECT_NE(picked[cycle * 3], picked[cycle * 3 - 1]);
        }
    }
    EXPECT_GE(firsts.size(), 2u);  // the cycles really are shuffled
}

// One path, also listed twice by a hand-edited file, is shown every time;
// a second path is always picked before the current one comes again.
TEST(EntryPoolTest, RandomRepeatsTheCurrentPathOnlyWhenNoOtherExists) {
    struct Case {
        std::vector<std::string> values;
        std::vector<std::string> picks;
    };
    const Case cases[] = {
        {{"○E1", "×E2"}, {"E1", "E1", "E1"}},
        {{"○E1", "○E1"}, {"E1", "E1", "E1", "E1"}},
        {{"○E1", "○E1", "○E2"}, {"E2", "E1", "E1"}},
    };
    for (const Case& c : cases) {
        StoredList list{c.values};
        EntryPool pool(list.Reader());
        std::string current = "E1";
        pool.Prepare(0, current);
        // A generator that would always name the current entry.
        EXPECT_EQ(Picks(pool, 0, current, static_cast<int>(c.picks.size()), [] { return 0; }),
                  c.picks)
            << c.values.size() << " values";
    }
}

TEST(EntryPoolTest, AnEntrySwitchedOnMeanwhileJoinsAtTheNextCycle) {
    StoredList list{{"○E1", "×E2"}};
    EntryPool pool(list.Reader());
    std::string current;
    pool.Prepare(2, current);
    list.values[1] = "○E2";  // saved by the settings dialog during the session
    // The pool was refilled after the only pick of the first cycle...
    EXPECT_EQ(Picks(pool, 2, current, 1, Runtime()), (std::vector<std::string>{"E1"}));
    // ...so E2 appears from the cycle after it.
    EXPECT_EQ(Picks(pool, 2, current, 4, Runtime()),
              (std::vector<std::string>{"E1", "E2", "E1", "E2"}));
}

TEST(EntryPoolTest, NothingSwitchedOnPicksNothing) {
    StoredList list{{"×E1"}};
    EntryPool pool(list.Reader());
    std::string current = "kept";
    pool.Prepare(0, current);
    EXPECT_FALSE(pool.Pick(0, current, Runtime()));
    EXPECT_EQ(current, "kept");
}

TEST(SwitchPeriodTest, KeepsTheIntervalWithinTheDialogsRange) {
    EXPECT_EQ(SwitchPeriodMs(5), 300000);
    EXPECT_EQ(SwitchPeriodMs(1), 60000);
    EXPECT_EQ(SwitchPeriodMs(0), 60000);
    EXPECT_EQ(SwitchPeriodMs(-3), 60000);
    EXPECT_EQ(SwitchPeriodMs(999), 59940000);
    EXPECT_EQ(SwitchPeriodMs(40000), 59940000);
}

}  // namespace
