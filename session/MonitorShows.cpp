#include "session/MonitorShows.h"

#include "players/LaunchRecord.h"
#include "settings/SaverEntry.h"

#include <utility>

struct MonitorShows::Show {
    std::string entry;
    LPARAM tag = 0;
    LaunchRecord launch;
};

MonitorShows::MonitorShows(MonitorCovers& covers, Picker picker, TagSource tags)
    : covers(covers), picker(std::move(picker)), tags(std::move(tags)) {}

MonitorShows::~MonitorShows() { StopAll(); }

void MonitorShows::StartAll(const std::string& primary) {
    shows.resize(covers.Count());
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
    for (size_t i = before; i < shows.size(); ++i) Start(i, primary);
}

void MonitorShows::Start(size_t monitor, const std::string& primary) {
    if (!shows[monitor]) shows[monitor] = std::make_unique<Show>();
    Show& show = *shows[monitor];
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
            Fail(monitor);
            return;
        }
        covers.Watch(monitor, true);
        return;
    case EntryKind::Program:
    case EntryKind::Flash:
    case EntryKind::Movie:
        Fail(monitor);
        return;
    }
}

void MonitorShows::Stop(size_t monitor) {
    if (monitor >= shows.size() || !shows[monitor]) return;
    Show& show = *shows[monitor];
    show.tag = 0;
    show.entry.clear();
    // Its window goes with the cover's; what still runs gets its bound.
    show.launch.Stop();
    covers.Watch(monitor, false);
    covers.ShowPicture(monitor, false);
}

void MonitorShows::Fail(size_t monitor) {
    Stop(monitor);
    covers.ShowPicture(monitor, true);
}

MonitorShows::Show* MonitorShows::Find(LPARAM tag, size_t* monitor) {
    for (size_t i = 0; tag != 0 && i < shows.size(); ++i) {
        if (shows[i] && shows[i]->tag == tag) {
            *monitor = i;
            return shows[i].get();
        }
    }
    return nullptr;
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
    // A saver's preview that ended by itself: the picture in its place.
    Fail(monitor);
    return true;
}

std::vector<std::string> MonitorShows::Entries() const {
    std::vector<std::string> entries;
    for (const auto& show : shows) entries.push_back(show ? show->entry : std::string());
    return entries;
}
