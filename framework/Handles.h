// Owning holders for handles that must be given back to the system: a kernel
// handle (closed with CloseHandle), a GDI object (DeleteObject) and an icon
// made by the program (DestroyIcon). A holder releases what it holds when it
// goes or is given something else; it moves but does not copy.
#pragma once

#include <windows.h>

template <typename T, typename Release>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : value(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    T get() const { return value; }
    explicit operator bool() const { return value != nullptr; }
    // Gives up ownership without releasing.
    T release() {
        T held = value;
        value = nullptr;
        return held;
    }
    void reset(T replacement = nullptr) {
        if (value && value != replacement) Release{}(value);
        value = replacement;
    }

private:
    T value = nullptr;
};

struct CloseKernelHandle {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyIconHandle {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};

using UniqueHandle = UniqueResource<HANDLE, CloseKernelHandle>;
template <typename T>
using UniqueGdiObject = UniqueResource<T, DeleteGdiObject>;
using UniqueIcon = UniqueResource<HICON, DestroyIconHandle>;
