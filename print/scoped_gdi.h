// Small owners of the GDI objects and device contexts that printing makes.
#pragma once

#include <windows.h>

// Deletes a font (or any GDI object) it was given.
class ScopedGdiObject {
public:
    explicit ScopedGdiObject(HGDIOBJ object) : object_(object) {}
    ~ScopedGdiObject() {
        if (object_) DeleteObject(object_);
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    HGDIOBJ get() const { return object_; }

private:
    HGDIOBJ object_;
};

// Selects an object into a device context and puts the previous one back.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelection() { SelectObject(dc_, previous_); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Deletes a device context made by CreateDC or returned by the print dialog.
class ScopedDeviceContext {
public:
    explicit ScopedDeviceContext(HDC dc) : dc_(dc) {}
    ~ScopedDeviceContext() {
        if (dc_) DeleteDC(dc_);
    }
    ScopedDeviceContext(const ScopedDeviceContext&) = delete;
    ScopedDeviceContext& operator=(const ScopedDeviceContext&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};
