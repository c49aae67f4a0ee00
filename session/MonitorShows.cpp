#include "session/MonitorShows.h"

#include "players/FlashPlayerWindow.h"
#include "players/LaunchRecord.h"
#include "players/MoviePlayerWindow.h"
#include "settings/SaverEntry.h"

#include <utility>

struct MonitorShows::Show {
    std::string entry;
    LPARAM tag = 0;
    LaunchRecord launch;
    HWND player = nullptr;  // a movie or Flash player inside the cover
    RECT rect = {};         // the monitor's, when it started
};

MonitorShows::MonitorShows(MonitorCovers& covers, Picker picker, TagSource tags)
    : covers(covers), picker(std::move(picker)), tags(std::move(tags)) {}

MonitorShows::~MonitorShows() { StopAll(); }

void MonitorShows::StartAll(const std::string& primary) {
    shows.resize(covers.Count());
    // All stopped first, so that each pick knows what the others no longer show.
    for (size_t i = 0; i < shows.size(); ++i) Stop(i);
    for (size_t i = 0; i < shows.size(); ++i) Start(i, primary);
}

void MonitorShows::StopAll() {
    for (size_t i = 0; i < shows.size(); ++i) Stop(i);
}

void MonitorShows::Follow(const std::string& primary) {
    size_t before = shows.size();
    for (size_t i = covers.Count(); i < before; ++i) Stop(i);
    shows.resize(covers.Count());
    // A monitor that changed its size or place starts anew, fitted to it.
    for (size_t i = 0; i < shows.size(); ++i) {
        const RECT now = covers.RectAt(i);
        if (i >= before || !shows[i] || !EqualRect(&shows[i]->rect, &now)) Start(i, primary);
    }
}

void MonitorShows::Start(size_t monitor, const std::string& primary) {
    if (!shows[monitor]) shows[monitor] = std::make_unique<Show>();
    Show& show = *shows[monitor];
    Stop(monitor);
    show.rect = covers.RectAt(monitor);
    show.tag = tags();
    std::vector<std::string> shown = Entries();
    shown.push_back(primary);
    if (!picker(show.entry, shown)) {
        Fail(monitor);
        return;
    }
    HWND cover = covers.WindowAt(monitor);
    switch (KindOfPath(show.entry)) {
    case EntryKind::ScreenSaver:
        show.launch.windowSearchMs = kPreviewSearchMs;
        if (!show.launch.Start(show.entry, "/p " + std::to_string(reinterpret_cast<UINT_PTR>(cover)), show.tag,
                               cover)) {
            break;
        }
        covers.Watch(monitor, true);
        return;
    case EntryKind::Flash: {
        // On the screen at once, with no start notice.
        auto* player = new FlashPlayerWindow();
        if (!player->Play(show.entry.c_str(), show.tag, cover)) break;
        show.player = player->Handle();
        covers.Watch(monitor, true);
        return;
    }
    case EntryKind::Movie: {
        // Its start notice follows. Only the primary's movie is heard.
        auto* player = new MoviePlayerWindow();
        MovieOptions options;
        options.resume = true;
        options.muted = true;
        options.within = cover;
        if (!player->Play(show.entry.c_str(), show.tag, options)) break;
        show.player = player->Handle();
        covers.Watch(monitor, true);
        return;
    }
    case EntryKind::Program:
        break;
    }
    Fail(monitor);
}

void MonitorShows::Stop(size_t monitor) {
    if (monitor >= shows.size() || !shows[monitor]) return;
    Show& show = *shows[monitor];
    show.tag = 0;
    show.entry.clear();
    // A saver's window goes with the cover's; what still runs gets its
    // bound. A player closes as the switch closes the primary's.
    show.launch.Stop();
    if (IsWindow(show.player)) SendMessageA(show.player, WM_CLOSE, 0, 0);
    show.player = nullptr;
    covers.Watch(monitor, false);
    covers.ShowPicture(monitor, false);
}

void MonitorShows::Fail(size_t monitor) {
    Stop(monitor);
    covers.ShowPicture(monitor, true);
}

bool MonitorShows::Find(LPARAM tag, size_t* monitor) const {
    for (size_t i = 0; tag != 0 && i < shows.size(); ++i) {
        if (shows[i] && shows[i]->tag == tag) {
            *monitor = i;
            return true;
        }
    }
    return false;
}

bool MonitorShows::OnStartNotice(WPARAM outcome, LPARAM tag) {
    size_t monitor = 0;
    if (!Find(tag, &monitor)) return false;
    if (static_cast<LaunchOutcome>(outcome) != LaunchOutcome::Shown) Fail(monitor);
    return true;
}

bool MonitorShows::OnEndNotice(LPARAM tag) {
    size_t monitor = 0;
    if (!Find(tag, &monitor)) return false;
    // A saver's preview that ended by itself, or a Flash player gone: the
    // picture in its place.
    Fail(monitor);
    return true;
}

std::vector<std::string> MonitorShows::Entries() const {
    std::vector<std::string> entries;
    for (const auto& show : shows) entries.push_back(show ? show->entry : std::string());
    return entries;
}
