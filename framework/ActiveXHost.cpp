#include "framework/ActiveXHost.h"

#include "framework/SystemLibrary.h"

#include <ocidl.h>

ActiveXHost::ActiveXHost() : site(*this) {}

ActiveXHost::~ActiveXHost() { Destroy(); }

bool ActiveXHost::EnableControlContainer() {
    // Once per thread; OLE stays up until the thread ends. Its library is
    // loaded for the first control, not at the program's start.
    static const auto initialize = SystemFunction<decltype(&OleInitialize)>("ole32.dll", "OleInitialize");
    static thread_local bool started = false;
    if (!started) started = initialize && SUCCEEDED(initialize(nullptr));
    return started;
}

bool ActiveXHost::CreateControl(REFCLSID clsid, const char* windowName, DWORD style,
                                const RECT& rect, HWND parent, UINT id) {
    if (object || !parent || !EnableControlContainer()) return false;
    parentWindow = parent;
    controlRect = rect;

    static const auto create = SystemFunction<decltype(&CoCreateInstance)>("ole32.dll", "CoCreateInstance");
    IOleObject* created = nullptr;
    if (!create || FAILED(create(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IOleObject,
                                 reinterpret_cast<void**>(&created))) ||
        !created) {
        return false;
    }
    object = created;

    // Controls that want their site first say so; the rest get it after
    // they have been given a fresh state.
    DWORD status = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &status);
    bool siteFirst = (status & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst && FAILED(object->SetClientSite(&site))) {
        Destroy();
        return false;
    }
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IPersistStreamInit,
                                         reinterpret_cast<void**>(&persist))) && persist) {
        persist->InitNew();
        persist->Release();
    }
    if (!siteFirst && FAILED(object->SetClientSite(&site))) {
        Destroy();
        return false;
    }
    object->SetHostNames(L"ActiveXHost", nullptr);

    RECT position = controlRect;
    if (FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, parentWindow,
                              &position))) {
        Destroy();
        return false;
    }

    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject,
                                         reinterpret_cast<void**>(&inPlace))) && inPlace) {
        inPlace->GetWindow(&controlWindow);
        inPlace->SetObjectRects(&position, &position);
        inPlace->Release();
    }
    if (!controlWindow || !IsWindow(controlWindow)) {
        controlWindow = nullptr;
        Destroy();
        return false;
    }
    SetWindowLongPtrA(controlWindow, GWLP_ID, static_cast<LONG_PTR>(id));
    if (windowName) SetWindowTextA(controlWindow, windowName);
    if (style & WS_VISIBLE) ShowWindow(controlWindow, SW_SHOWNA);
    return true;
}

HRESULT ActiveXHost::QueryControl(REFIID iid, void** result) const {
    if (!result) return E_POINTER;
    *result = nullptr;
    return object ? object->QueryInterface(iid, result) : E_NOINTERFACE;
}

void ActiveXHost::Destroy() {
    if (!object) return;
    IOleObject* closing = object;
    object = nullptr;
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(closing->QueryInterface(IID_IOleInPlaceObject,
                                          reinterpret_cast<void**>(&inPlace))) && inPlace) {
        inPlace->InPlaceDeactivate();
        inPlace->Release();
    }
    closing->Close(OLECLOSE_NOSAVE);
    closing->SetClientSite(nullptr);
    closing->Release();
    // A control that left its window behind loses it now.
    if (controlWindow && IsWindow(controlWindow)) ::DestroyWindow(controlWindow);
    controlWindow = nullptr;
}

STDMETHODIMP ActiveXHost::Site::QueryInterface(REFIID iid, void** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
        *result = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
        *result = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        *result = static_cast<IOleInPlaceFrame*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP ActiveXHost::Site::GetMoniker(DWORD, DWORD, IMoniker** result) {
    if (result) *result = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ActiveXHost::Site::GetContainer(IOleContainer** result) {
    if (result) *result = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ActiveXHost::Site::GetWindow(HWND* result) {
    if (!result) return E_POINTER;
    *result = host.parentWindow;
    return host.parentWindow ? S_OK : E_FAIL;
}

STDMETHODIMP ActiveXHost::Site::GetWindowContext(IOleInPlaceFrame** frame,
                                                 IOleInPlaceUIWindow** document, LPRECT position,
                                                 LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame) {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
    }
    if (document) *document = nullptr;
    if (position) *position = host.controlRect;
    if (clip) *clip = host.controlRect;
    if (info) {
        info->cb = sizeof(OLEINPLACEFRAMEINFO);
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(host.parentWindow, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}
