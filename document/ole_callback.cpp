// The editor's OLE callback: the control takes only the plain Unicode text
// of the data pasted or dropped on it, so the document stays plain, and
// files dropped on it are opened.
#include "document/document.h"

#include <ole2.h>
#include <richedit.h>
#include <richole.h>

#include "app/app_values.h"

namespace {

const IID UnknownId = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID RichEditOleCallbackId = {0x00020D03, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// All calls come on the GUI thread, so the count is plain arithmetic. The
// interface's methods are declared not to throw (COM has no exceptions),
// and so are these.
class MyCallback : public IRichEditOleCallback {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
        if (IsEqualIID(iid, UnknownId) || IsEqualIID(iid, RichEditOleCallbackId)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        LONG count = --count_;
        if (count == 0) delete this;
        return count;
    }
    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                                LPOLEINPLACEFRAMEINFO) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID, LPSTORAGE, LONG) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT*, DWORD, BOOL really,
                                              HGLOBAL) noexcept override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL, DWORD, LPDWORD) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) noexcept override {
        return E_NOTIMPL;
    }
    virtual ~MyCallback() = default;

private:
    LONG count_ = 1;
};

// Files dragged from a file manager: once the control takes drops itself
// they no longer come as WM_DROPFILES, so the file list is posted to the
// editor as one, and opened as a drop of files is, after the drag has
// ended (a prompt must not hold the other program's drag loop).
void PostDroppedFiles(IDataObject* data) {
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) return;
    SIZE_T size = GlobalSize(medium.hGlobal);
    const void* files = GlobalLock(medium.hGlobal);
    // The copy is the receiver's, freed by its DragFinish.
    HGLOBAL copy = files ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    if (copy) {
        memcpy(GlobalLock(copy), files, size);
        GlobalUnlock(copy);
        if (!PostMessageW(EditControl, WM_DROPFILES, reinterpret_cast<WPARAM>(copy), 0)) GlobalFree(copy);
    }
    if (files) GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
}

bool Offers(IDataObject* data, CLIPFORMAT format) {
    FORMATETC wanted = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data->QueryGetData(&wanted) == S_OK;
}

// Pasted or dropped data, or data only dragged over (not really): the
// control is told to take the plain Unicode text, so that it inserts that
// alone, in the format of the insertion point, where the user dropped it,
// and removes what was dragged for a move. Files are opened instead; the
// control inserts nothing for them. Anything else is refused.
HRESULT MyCallback::QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD, BOOL really,
                                    HGLOBAL) noexcept {
    if (!data) return E_INVALIDARG;
    if (Offers(data, CF_HDROP)) {
        if (!really) return S_OK;
        PostDroppedFiles(data);
        return E_FAIL;
    }
    if (!Offers(data, CF_UNICODETEXT)) return DATA_E_FORMATETC;
    if (format) *format = CF_UNICODETEXT;
    return S_OK;
}

}  // namespace

IRichEditOleCallback* CreateOleCallback() { return new MyCallback(); }
