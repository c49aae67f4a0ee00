// A minimal in-place container for one windowed ActiveX control: the client
// site, the in-place site and the in-place frame the control talks to, as
// much as a control needs to be created, activated in place inside a window
// of ours, and closed again. Not a general container: no menus, no borders,
// no ambient properties, no persistence beyond starting the control anew.
#pragma once

#include <windows.h>
#include <ole2.h>

class ActiveXHost {
public:
    ActiveXHost();
    ~ActiveXHost();
    ActiveXHost(const ActiveXHost&) = delete;
    ActiveXHost& operator=(const ActiveXHost&) = delete;

    // Starts OLE on the calling thread once; the control container needs it.
    static bool EnableControlContainer();

    // Creates the control of class clsid and activates it in place over rect
    // (client coordinates of parent); its window gets the child id given.
    // False, with nothing left over, when any stage fails.
    bool CreateControl(REFCLSID clsid, const char* windowName, DWORD style, const RECT& rect,
                       HWND parent, UINT id);
    // The control's window, or null.
    HWND ControlWindow() const { return controlWindow; }
    // Asks the control for an interface; the caller releases what it gets.
    HRESULT QueryControl(REFIID iid, void** result) const;
    // Deactivates, closes and releases the control, destroying its window.
    void Destroy();

private:
    // The site the control sees: one object with the three interfaces. It
    // lives inside the host, which outlives every use the control makes of it
    // (the control is told to drop the site before the host goes).
    class Site : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
    public:
        explicit Site(ActiveXHost& owner) : host(owner) {}

        // IUnknown
        STDMETHODIMP QueryInterface(REFIID iid, void** result) override;
        STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
        STDMETHODIMP_(ULONG) Release() override { return references > 0 ? --references : 0; }

        // IOleClientSite
        STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
        STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** result) override;
        STDMETHODIMP GetContainer(IOleContainer** result) override;
        STDMETHODIMP ShowObject() override { return S_OK; }
        STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
        STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

        // IOleWindow (shared by the in-place site and the frame)
        STDMETHODIMP GetWindow(HWND* result) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

        // IOleInPlaceSite
        STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
        STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
        STDMETHODIMP OnUIActivate() override { return S_OK; }
        STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                      LPRECT position, LPRECT clip,
                                      LPOLEINPLACEFRAMEINFO info) override;
        STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
        STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
        STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
        STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
        STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
        STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

        // IOleInPlaceUIWindow, IOleInPlaceFrame: no borders, menus or status.
        STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
        STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
        STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
        STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
        STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
        STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
        STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
        STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    private:
        ActiveXHost& host;
        ULONG references = 0;
    };

    Site site;
    IOleObject* object = nullptr;
    HWND parentWindow = nullptr;
    HWND controlWindow = nullptr;
    RECT controlRect = {};
};
