// The list's drop target. OLE calls it through the interface's table of
// functions, which only a type derived from the interface provides.
#include "app/drop_target.h"

#include "app/app_state.h"
#include "app/transferred_links.h"

namespace {

// The cursor a drag over the list shows: copy where the source allows it,
// else link (some browsers offer only that for a link); none for data the
// list cannot take.
DWORD drop_effect(bool takes, DWORD allowed) {
    if (!takes) return DROPEFFECT_NONE;
    if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
    return allowed & DROPEFFECT_LINK;
}

struct ListDropTarget : IDropTarget {
    bool takes = false;  // what the drag under way carries can be taken

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDropTarget))) {
            *object = static_cast<IDropTarget*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The target lives as long as the program: its references are not counted.
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD /*keys*/, POINTL /*at*/, DWORD* effect) override {
        // Not while a dialog or message box of the program waits for an answer.
        takes = IsWindowEnabled(app_state->main_window) && holds_links(data);
        *effect = drop_effect(takes, *effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD /*keys*/, POINTL /*at*/, DWORD* effect) override {
        *effect = drop_effect(takes, *effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        takes = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD /*keys*/, POINTL /*at*/, DWORD* effect) override {
        *effect = drop_effect(takes, *effect);
        if (takes) take_links(data);
        takes = false;
        return S_OK;
    }
};

ListDropTarget list_target;

}  // namespace

bool register_list_drop_target(HWND list) { return SUCCEEDED(RegisterDragDrop(list, &list_target)); }

void revoke_list_drop_target(HWND list) { RevokeDragDrop(list); }

IDropTarget* list_drop_target() { return &list_target; }
