#pragma once

// The clock window as MSAA sees it: an IAccessible for the client area whose children are the
// nodes of the window core's tree, simple elements with child ids 1 to N in the tree's order,
// and one for each child window (the text box, the buttons) that answers for its own node.

#include "platform/window/window_core.h"

#include <windows.h>

#include <oleacc.h>

#include <memory>

namespace vemo {

// IAccessible's interface id, spelled out: an import library has been seen to resolve
// IID_IAccessible to other bytes.
inline constexpr IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What an accessible object reaches its window by. The window clears `core` when it goes; an
// object a client still holds then answers that it is disconnected.
struct AccessibleLink
{
    const WindowCore *core = nullptr;
    HWND window = nullptr;    // the clock window, in whose client pixels the tree's places are
    UINT activateMessage = 0; // posted to `window` with a node's index to do its action
};

class AccessibleObject final : public IAccessible
{
public:
    // `node` is the index in the tree of the child window's node; -1 for the client area.
    AccessibleObject(std::shared_ptr<const AccessibleLink> link, int node);

    // The object as a window answers WM_GETOBJECT with it.
    static LRESULT answer(std::shared_ptr<const AccessibleLink> link, int node, WPARAM wParam);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *,
                                     EXCEPINFO *, UINT *) override;

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long *count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, long *topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long *left, long *top, long *width, long *height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT *end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT *child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override;

private:
    ~AccessibleObject() = default;

    // The node `child` names, or null for the client area itself; S_OK, or why not.
    HRESULT resolve(const VARIANT &child, const AccessibleNode *&node) const;
    const std::vector<AccessibleNode> &tree() const { return link_->core->accessibleTree(); }

    std::shared_ptr<const AccessibleLink> link_;
    int node_;
    LONG references_ = 1;
};

} // namespace vemo
