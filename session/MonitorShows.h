// The shows of the monitors other than the primary, when every monitor
// shows an entry of its own: on each, a screen saver in its preview mode
// (started with "/p" and the handle of that monitor's cover, inside which
// it makes its window), or a movie or Flash player filling that cover as
// its child (muted, never active). A monitor whose pick fails, or for which
// nothing is left, shows the placeholder picture. The user's input over them
// is the covers' (see MonitorCovers): what fills a cover, a saver's preview
// in another process or a player whose pictures other threads draw, is
// watched through the cursor and the mouse buttons.
//
// Each show has a tag of its own, which its notices carry; the host hands
// them here, and those of shows already replaced are ignored.
#pragma once

#include "session/MonitorCovers.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class MonitorShows {
public:
    // Picks the entry for another monitor into entry, knowing what the
    // screens show now; false when there is none.
    using Picker = std::function<bool(std::string& entry, const std::vector<std::string>& shown)>;
    // A new tag, never one used before.
    using TagSource = std::function<LPARAM()>;

    // How long a saver has to make its window inside the monitor's cover.
    static constexpr DWORD kPreviewSearchMs = 5000;

    MonitorShows(MonitorCovers& covers, Picker picker, TagSource tags);
    ~MonitorShows();
    MonitorShows(const MonitorShows&) = delete;
    MonitorShows& operator=(const MonitorShows&) = delete;

    // Every other monitor's next entry; primary is what the primary shows.
    void StartAll(const std::string& primary);
    // Every show ended: the covers black again.
    void StopAll();
    // After the covers have followed a change of the monitors: a new monitor
    // gets a pick, a monitor gone ends its show.
    void Follow(const std::string& primary);

    // A notice of one of the shows: true when it was one (and is handled).
    bool OnStartNotice(WPARAM outcome, LPARAM tag);
    bool OnEndNotice(LPARAM tag);

    // What each monitor shows, in the covers' order (empty: the picture or black).
    std::vector<std::string> Entries() const;

private:
    struct Show;
    void Start(size_t monitor, const std::string& primary);
    void Stop(size_t monitor);
    void Fail(size_t monitor);
    // The monitor whose show carries tag; false when none does.
    bool Find(LPARAM tag, size_t* monitor) const;

    MonitorCovers& covers;
    Picker picker;
    TagSource tags;
    std::vector<std::unique_ptr<Show>> shows;
};
