// A movie through Media Foundation's simple player (MFPlay), which draws
// with the enhanced video renderer into the screen window. Its libraries
// (mfplay.dll, mfplat.dll) are loaded at run time from the system folder,
// so the program still starts where they are missing.
//
// The opening is asynchronous on both of its steps: the source resolver
// makes the media source on a thread of Media Foundation's (SourceWait
// posts a Step when it is there), and the player resolves what renders it
// on its own threads; the player's events come back on this thread through
// its messages. The source is ours, not the player's, so that it is shut
// down with the playback whatever the player does.
//
// Which streams play: the first picture, and the first sound unless muted.
// A file without a picture is not played here, and one whose renderers
// cannot be set up with its sound (no sound device, say) is tried once more
// with the picture alone.

// The simple player came with Windows 7; the program still starts on XP and
// finds it at run time.
#undef WINVER
#define WINVER 0x0601
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601

#include "players/MoviePlayback.h"

#include "framework/ActiveXHost.h"
#include "framework/SystemLibrary.h"
#include "framework/TextUtil.h"
#include "players/WindowIds.h"

#include <mfapi.h>
#include <mfidl.h>
#include <mfplay.h>

#include <mutex>
#include <vector>

namespace {

// Media Foundation as Windows 7 brought it, the version MFStartup is asked for.
constexpr ULONG kMediaFoundationVersion = 0x00020070;
// The major types of streams (MFMediaType_Video, MFMediaType_Audio) and the
// player's one position format (MFP_POSITIONTYPE_100NS).
constexpr GUID kVideoType = {0x73646976, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kAudioType = {0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kPositionIn100ns = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
// MFVideoARMode_PreservePicture.
constexpr DWORD kPreservePicture = 1;

struct MediaFoundation {
    decltype(&MFPCreateMediaPlayer) createPlayer =
        SystemFunction<decltype(&MFPCreateMediaPlayer)>("mfplay.dll", "MFPCreateMediaPlayer");
    decltype(&MFStartup) startup = SystemFunction<decltype(&MFStartup)>("mfplat.dll", "MFStartup");
    decltype(&MFCreateSourceResolver) createResolver =
        SystemFunction<decltype(&MFCreateSourceResolver)>("mfplat.dll", "MFCreateSourceResolver");
    bool Present() const { return createPlayer && startup && createResolver; }
};

const MediaFoundation& Functions() {
    static const MediaFoundation functions;
    return functions;
}

template <typename T>
void LetGo(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

// Reference counting for the objects of ours that Media Foundation holds.
template <typename Interface>
class Counted : public Interface {
public:
    virtual ~Counted() = default;
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (iid != __uuidof(IUnknown) && iid != __uuidof(Interface)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&references);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    LONG references = 1;
};

// Takes the media source that the resolver makes on a thread of Media
// Foundation's, and posts the Step for it. A source that comes after its
// playback has given up waiting is shut down here.
class SourceWait : public Counted<IMFAsyncCallback> {
public:
    SourceWait(IMFSourceResolver* resolver, HWND notify, LPARAM cookie)
        : resolver(resolver), notify(notify), cookie(cookie) {
        resolver->AddRef();
    }
    ~SourceWait() override {
        resolver->Release();
        if (source) source->Shutdown();
        LetGo(source);
    }
    STDMETHODIMP GetParameters(DWORD*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(IMFAsyncResult* result) override {
        MF_OBJECT_TYPE type = MF_OBJECT_INVALID;
        IUnknown* object = nullptr;
        IMFMediaSource* made = nullptr;
        if (SUCCEEDED(resolver->EndCreateObjectFromURL(result, &type, &object)) && object) {
            object->QueryInterface(__uuidof(IMFMediaSource), reinterpret_cast<void**>(&made));
        }
        LetGo(object);
        std::lock_guard<std::mutex> lock(mutex);
        if (abandoned) {
            if (made) made->Shutdown();
            LetGo(made);
            return S_OK;
        }
        source = made;
        PostMessageA(notify, kMovieEventMessage, static_cast<WPARAM>(MovieEvent::Step), cookie);
        return S_OK;
    }
    // The source made, now the caller's; null when none could be.
    IMFMediaSource* Take() {
        std::lock_guard<std::mutex> lock(mutex);
        IMFMediaSource* taken = source;
        source = nullptr;
        return taken;
    }
    void Abandon() {
        std::lock_guard<std::mutex> lock(mutex);
        abandoned = true;
    }

private:
    IMFSourceResolver* resolver;
    HWND notify;
    LPARAM cookie;
    std::mutex mutex;
    IMFMediaSource* source = nullptr;
    bool abandoned = false;
};

class MediaFoundationPlayback;

// The player's events, delivered on the window thread; none once the
// playback has let go.
class PlayerEvents : public Counted<IMFPMediaPlayerCallback> {
public:
    explicit PlayerEvents(MediaFoundationPlayback* owner) : owner(owner) {}
    void Detach() { owner = nullptr; }
    void STDMETHODCALLTYPE OnMediaPlayerEvent(MFP_EVENT_HEADER* event) override;

private:
    MediaFoundationPlayback* owner;
};

class MediaFoundationPlayback : public MoviePlayback {
public:
    ~MediaFoundationPlayback() override { Close(); }

    bool Open(const std::string& path, HWND screenWindow, HWND notifyWindow, LPARAM playbackCookie,
              bool mute) override;
    MovieEvent OnPosted(MovieEvent event) override;
    SIZE NaturalSize() const override { return natural; }
    DWORD LengthMs() const override { return length; }
    DWORD PositionMs() const override;
    void Place(int width, int height) override;
    void Start(DWORD fromMs) override;
    // Paused at its start, the player has its first picture ready.
    bool HeldReady() const override { return true; }
    void Rewind() override;
    void Close() override;
    void OnPlayerEvent(const MFP_EVENT_HEADER& event);

private:
    // Makes the player for the source; false when the file is not for it.
    bool UseSource();
    // Chooses the streams and hands the item to the player.
    bool SetItem();
    void Post(MovieEvent event) const {
        PostMessageA(notify, kMovieEventMessage, static_cast<WPARAM>(event), cookie);
    }

    HWND screen = nullptr;
    HWND notify = nullptr;
    LPARAM cookie = 0;
    bool muted = false;
    IMFSourceResolver* resolver = nullptr;
    IUnknown* cancelCookie = nullptr;
    SourceWait* wait = nullptr;
    IMFMediaSource* source = nullptr;
    PlayerEvents* events = nullptr;
    IMFPMediaPlayer* player = nullptr;
    IMFPMediaItem* item = nullptr;
    DWORD videoStream = 0;
    DWORD audioStream = 0;
    bool withSound = false;
    bool playing = false;
    bool held = false;
    SIZE natural = {0, 0};
    DWORD length = 0;
};

void PlayerEvents::OnMediaPlayerEvent(MFP_EVENT_HEADER* event) {
    if (owner && event) owner->OnPlayerEvent(*event);
}

bool MediaFoundationPlayback::Open(const std::string& path, HWND screenWindow, HWND notifyWindow,
                                   LPARAM playbackCookie, bool mute) {
    const MediaFoundation& mf = Functions();
    std::vector<wchar_t> url = WidePath(path);
    // Started once, for the rest of the process: a playback closed while its
    // file still opens leaves Media Foundation's threads a source to shut down.
    static const bool started = mf.Present() && SUCCEEDED(mf.startup(kMediaFoundationVersion, MFSTARTUP_FULL));
    // The player's own parts expect COM on the thread whose window they draw
    // in, in a single-threaded apartment, as OLE starts it for this thread.
    if (!started || url.empty() || !ActiveXHost::EnableControlContainer()) return false;
    notify = notifyWindow;
    cookie = playbackCookie;
    muted = mute;
    if (FAILED(mf.createResolver(&resolver))) {
        Close();
        return false;
    }
    wait = new SourceWait(resolver, notify, cookie);
    if (FAILED(resolver->BeginCreateObjectFromURL(
            url.data(), MF_RESOLUTION_MEDIASOURCE | MF_RESOLUTION_CONTENT_DOES_NOT_HAVE_TO_MATCH_EXTENSION_OR_MIME_TYPE,
            nullptr, &cancelCookie, wait, nullptr))) {
        Close();
        return false;
    }
    screen = screenWindow;
    return true;
}

MovieEvent MediaFoundationPlayback::OnPosted(MovieEvent event) {
    if (event != MovieEvent::Step) return event;
    if (!wait) return MovieEvent::None;
    source = wait->Take();
    LetGo(wait);
    LetGo(cancelCookie);
    return source && UseSource() ? MovieEvent::None : MovieEvent::Failed;
}

bool MediaFoundationPlayback::UseSource() {
    IMFPresentationDescriptor* description = nullptr;
    if (FAILED(source->CreatePresentationDescriptor(&description))) return false;
    bool hasVideo = false;
    DWORD count = 0;
    description->GetStreamDescriptorCount(&count);
    for (DWORD i = 0; i < count; ++i) {
        BOOL selected = FALSE;
        IMFStreamDescriptor* stream = nullptr;
        IMFMediaTypeHandler* handler = nullptr;
        GUID major = GUID_NULL;
        if (SUCCEEDED(description->GetStreamDescriptorByIndex(i, &selected, &stream)) &&
            SUCCEEDED(stream->GetMediaTypeHandler(&handler))) {
            handler->GetMajorType(&major);
        }
        LetGo(handler);
        LetGo(stream);
        if (major == kVideoType && !hasVideo) {
            hasVideo = true;
            videoStream = i;
        } else if (major == kAudioType && !withSound) {
            withSound = !muted;
            audioStream = i;
        }
    }
    UINT64 duration = 0;
    if (SUCCEEDED(description->GetUINT64(MF_PD_DURATION, &duration))) length = static_cast<DWORD>(duration / 10000);
    LetGo(description);
    // A sound alone is not a movie to show.
    if (!hasVideo) return false;
    events = new PlayerEvents(this);
    return SUCCEEDED(Functions().createPlayer(nullptr, FALSE, MFP_OPTION_NONE, events, screen, &player)) &&
           SUCCEEDED(player->CreateMediaItemFromObject(source, TRUE, 0, &item)) && SetItem();
}

bool MediaFoundationPlayback::SetItem() {
    DWORD count = 0;
    item->GetNumberOfStreams(&count);
    for (DWORD i = 0; i < count; ++i) item->SetStreamSelection(i, i == videoStream || (withSound && i == audioStream));
    return SUCCEEDED(player->SetMediaItem(item));
}

void MediaFoundationPlayback::OnPlayerEvent(const MFP_EVENT_HEADER& event) {
    switch (event.eEventType) {
    case MFP_EVENT_TYPE_MEDIAITEM_SET: {
        if (FAILED(event.hrEvent)) {
            if (withSound) {
                withSound = false;
                if (SetItem()) return;
            }
            Post(MovieEvent::Failed);
            return;
        }
        SIZE video = {0, 0};
        SIZE ratio = {0, 0};
        // The proportions it is shown in, where the file gives them.
        if (SUCCEEDED(player->GetNativeVideoSize(&video, &ratio))) {
            natural = ratio.cx > 0 && ratio.cy > 0 ? ratio : video;
        }
        player->SetAspectRatioMode(kPreservePicture);
        player->SetBorderColor(RGB(0, 0, 0));
        Post(MovieEvent::Opened);
        return;
    }
    case MFP_EVENT_TYPE_PLAY:
        if (FAILED(event.hrEvent)) {
            Post(MovieEvent::Failed);
        } else if (!playing) {
            playing = true;
            Post(MovieEvent::Playing);
        }
        return;
    case MFP_EVENT_TYPE_PLAYBACK_ENDED:
        Post(MovieEvent::Ended);
        return;
    case MFP_EVENT_TYPE_ERROR:
        Post(MovieEvent::Failed);
        return;
    default:
        return;
    }
}

DWORD MediaFoundationPlayback::PositionMs() const {
    PROPVARIANT at = {};
    if (!player || FAILED(player->GetPosition(kPositionIn100ns, &at))) return 0;
    return static_cast<DWORD>(at.hVal.QuadPart / 10000);
}

void MediaFoundationPlayback::Place(int, int) {
    if (!player) return;
    // The player draws over the screen window's whole client area.
    const MFVideoNormalizedRect whole = {0.0f, 0.0f, 1.0f, 1.0f};
    player->SetVideoSourceRect(&whole);
    player->UpdateVideo();
}

void MediaFoundationPlayback::Start(DWORD fromMs) {
    if (!player) return;
    // Held at the start, it goes on from there. (Where the player cannot
    // set a position, a stopped one starts from the beginning.)
    if (!held) {
        PROPVARIANT at = {};
        at.vt = VT_I8;
        at.hVal.QuadPart = static_cast<LONGLONG>(fromMs) * 10000;
        player->SetPosition(kPositionIn100ns, &at);
    }
    held = playing = false;
    if (FAILED(player->Play())) Post(MovieEvent::Failed);
}

void MediaFoundationPlayback::Rewind() {
    if (!player) return;
    player->Stop();
    PROPVARIANT start = {};
    start.vt = VT_I8;
    player->SetPosition(kPositionIn100ns, &start);
    player->Pause();
    held = true;
}

void MediaFoundationPlayback::Close() {
    if (events) events->Detach();
    if (player) player->Shutdown();
    LetGo(item);
    LetGo(player);
    LetGo(events);
    if (source) source->Shutdown();
    LetGo(source);
    if (wait) {
        if (cancelCookie) resolver->CancelObjectCreation(cancelCookie);
        wait->Abandon();
    }
    LetGo(wait);
    LetGo(cancelCookie);
    LetGo(resolver);
    if (screen) DestroyWindow(screen);
    screen = nullptr;
}

}  // namespace

std::unique_ptr<MoviePlayback> MakeMediaFoundationPlayback() {
    if (!Functions().Present()) return nullptr;
    return std::make_unique<MediaFoundationPlayback>();
}
