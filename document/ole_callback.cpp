// The editor's OLE callback: every paste and every drop of data becomes
// the insertion of its plain Unicode text, so the document stays plain.
#include "document/document.h"

#include <ole2.h>
#include <richedit.h>
#include <richole.h>

#include "app/app.h"

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

// The control is told the data was refused (E_FAIL) whenever it was really
// offered: either its text is already inserted here, or it had none.
HRESULT MyCallback::QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT*, DWORD, BOOL really, HGLOBAL) noexcept {
    if (!really) return S_OK;
    if (!data) return E_FAIL;
    FORMATETC format = {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) return E_FAIL;
    const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(medium.hGlobal));
    if (!text) {
        ReleaseStgMedium(&medium);
        return E_FAIL;
    }
    InsertText(EditControl, text);
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return E_FAIL;
}

}  // namespace

IRichEditOleCallback* CreateOleCallback() { return new MyCallback(); }
