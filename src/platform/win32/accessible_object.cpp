#include "platform/win32/accessible_object.h"

#include "platform/win32/wide.h"

#include <utility>

namespace vemo {

namespace {

// What a push button's default action is called, as Windows calls it in Turkish.
constexpr wchar_t kPressAction[] = L"Bas";

HRESULT textOut(const std::wstring &text, BSTR *out)
{
    *out = SysAllocString(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

void childOut(VARIANT *out, long id)
{
    out->vt = VT_I4;
    out->lVal = id;
}

HRESULT nothingOut(VARIANT *out)
{
    out->vt = VT_EMPTY;
    return S_FALSE;
}

bool focusWithin(HWND window)
{
    const HWND focus = GetFocus();
    return focus && (focus == window || IsChild(window, focus));
}

} // namespace

AccessibleObject::AccessibleObject(std::shared_ptr<const AccessibleLink> link, int node)
    : link_(std::move(link)), node_(node)
{
}

LRESULT AccessibleObject::answer(std::shared_ptr<const AccessibleLink> link, int node,
                                 WPARAM wParam)
{
    auto *object = new AccessibleObject(std::move(link), node);
    const LRESULT result = LresultFromObject(kIidAccessible, wParam, object);
    object->Release();
    return result;
}

HRESULT AccessibleObject::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kIidAccessible)) {
        *object = static_cast<IAccessible *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG AccessibleObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG AccessibleObject::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// No type library: clients call IAccessible's methods directly.
HRESULT AccessibleObject::GetTypeInfoCount(UINT *count)
{
    *count = 0;
    return S_OK;
}
HRESULT AccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo **)
{
    return E_NOTIMPL;
}
HRESULT AccessibleObject::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}
HRESULT AccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                                 UINT *)
{
    return E_NOTIMPL;
}

HRESULT AccessibleObject::resolve(const VARIANT &child, const AccessibleNode *&node) const
{
    node = nullptr;
    if (!link_->core)
        return RPC_E_DISCONNECTED;
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    if (node_ >= 0) {
        if (child.lVal != CHILDID_SELF)
            return E_INVALIDARG;
        node = &tree()[static_cast<std::size_t>(node_)];
        return S_OK;
    }
    if (child.lVal == CHILDID_SELF)
        return S_OK;
    if (child.lVal < 1 || child.lVal > static_cast<long>(tree().size()))
        return E_INVALIDARG;
    node = &tree()[static_cast<std::size_t>(child.lVal - 1)];
    return S_OK;
}

HRESULT AccessibleObject::get_accParent(IDispatch **parent)
{
    if (!link_->core)
        return RPC_E_DISCONNECTED;
    if (node_ < 0)
        return AccessibleObjectFromWindow(link_->window, static_cast<DWORD>(OBJID_WINDOW),
                                          IID_IDispatch, reinterpret_cast<void **>(parent));
    *parent = new AccessibleObject(link_, -1);
    return S_OK;
}

HRESULT AccessibleObject::get_accChildCount(long *count)
{
    if (!link_->core)
        return RPC_E_DISCONNECTED;
    *count = node_ < 0 ? static_cast<long>(tree().size()) : 0;
    return S_OK;
}

HRESULT AccessibleObject::get_accChild(VARIANT child, IDispatch **object)
{
    *object = nullptr;
    const AccessibleNode *node = nullptr;
    if (const HRESULT result = resolve(child, node); FAILED(result))
        return result;
    // The children are simple elements, answered for by this object.
    return node && node_ < 0 ? S_FALSE : E_INVALIDARG;
}

HRESULT AccessibleObject::get_accName(VARIANT child, BSTR *name)
{
    *name = nullptr;
    const AccessibleNode *node = nullptr;
    if (const HRESULT result = resolve(child, node); FAILED(result))
        return result;
    if (node)
        return textOut(widen(node->name), name);
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(link_->window)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(
        GetWindowTextW(link_->window, title.data(), static_cast<int>(title.size()))));
    return textOut(title, name);
}

HRESULT AccessibleObject::get_accValue(VARIANT child, BSTR *value)
{
    *value = nullptr;
    const AccessibleNode *node = nullptr;
    if (const HRESULT result = resolve(child, node); FAILED(result))
        return result;
    if (!node || node->role != AccessibleRole::EditableText)
        return DISP_E_MEMBERNOTFOUND;
    return textOut(widen(node->value), value);
}

HRESULT AccessibleObject::get_accRole(VARIANT child, VARIANT *role)
{
    const AccessibleNode *node = nullptr;
    if (const HRESULT result = resolve(child, node); FAILED(result))
        return result;
    long id = ROLE_SYSTEM_CLIENT;
    if (node)
        switch (node->role) {
        case AccessibleRole::StaticText:
            id = ROLE_SYSTEM_STATICTEXT;
            break;
        case AccessibleRole::PushButton:
            id = ROLE_SYSTEM_PUSHBUTTON;
            break;
        case AccessibleRole::EditableText:
            id = ROLE_SYSTEM_TEXT;
            break;
        }
    childOut(role, id);
    return S_OK;
}

HRESULT AccessibleObject::get_accState(VARIANT child, VARIANT *state)
{
    const AccessibleNode *node = nullptr;
    if (const HRESULT result = resolve(child, node); FAILED(result))
        return result;
    const HWND window = link_->window;
    const Control *focused = link_->core->focused();
    long bits = IsWindowVisible(window) ? 0 : STATE_SYSTEM_INVISIBLE;
    if (!node) {
        bits |= STATE_SYSTEM_FOCUSABLE;
        if (!focused && GetFocus() == window)
            bits |= STATE_SYSTEM_FOCUSED;
    } else {
        if (!node->showing)
            bits |= STATE_SYSTEM_INVISIBLE;
        if (!node->enabled)
            bits |= STATE_SYSTEM_UNAVAILABLE;
        if (node->focusable)
            bits |= STATE_SYSTEM_FOCUSABLE;
        if (focused == node->control && focusWithin(window))
            bits |= STATE_SYSTEM_FOCUSED;
        if (node->role != AccessibleRole::PushButton)
            bits |= STATE_SYSTEM_READONLY;
    }
    childOut(state, bits);
    return S_OK;
}

HRESULT AccessibleObject::get_accDescription(VARIANT, BSTR *description)
{
    *description = nullptr;
    return link_->core ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT AccessibleObject::get_accHelp(VARIANT, BSTR *help)
{
    *help = nullptr;
    return link_->core ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT AccessibleObject::get_accHelpTopic(BSTR *file, VARIANT, long *topic)
{
    *file = nullptr;
    *topic = -1;
    return link_->core ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT AccessibleObject::get_accKeyboardShortcut(VARIANT, BSTR *shortcut)
{
    *shortcut = nullptr;
    return link_->core ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT AccessibleObject::get_accFocus(VARIANT *child)
{
    if (!link_->core)
        return RPC_E_DISCONNECTED;
    if (!focusWithin(link_->window))
        return nothingOut(child);
    const AccessibleNode *focused =
        link_->core->focused() ? link_->core->accessibleNode(*link_->core->focused()) : nullptr;
    if (node_ >= 0) {
        if (focused != &tree()[static_cast<std::size_t>(node_)])
            return nothingOut(child);
        childOut(child, CHILDID_SELF);
    } else {
        childOut(child, focused ? static_cast<long>(focused - tree().data()) + 1 : CHILDID_SELF);
    }
    return S_OK;
}

HRESULT AccessibleObject::get_accSelection(VARIANT *children)
{
    return link_->core ? nothingOut(children) : RPC_E_DISCONNECTED;
}

HRESULT AccessibleObject::get_accDefaultAction(VARIANT child, BSTR *action)
{
    *action = nullptr;
    const AccessibleNode *node = nullptr;
    if (const HRESULT result = resolve(child, node); FAILED(result))
        return result;
    if (!node || node->role != AccessibleRole::PushButton)
        return S_FALSE;
    return textOut(kPressAction, action);
}

HRESULT AccessibleObject::accSelect(long, VARIANT)
{
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleObject::accLocation(long *left, long *top, long *width, long *height,
                                      VARIANT child)
{
    const AccessibleNode *node = nullptr;
    if (const HRESULT result = resolve(child, node); FAILED(result))
        return result;
    RECT place;
    if (node) {
        place = {static_cast<LONG>(node->bounds.left), static_cast<LONG>(node->bounds.top),
                 static_cast<LONG>(node->bounds.right()), static_cast<LONG>(node->bounds.bottom())};
    } else {
        GetClientRect(link_->window, &place);
    }
    POINT origin{place.left, place.top};
    ClientToScreen(link_->window, &origin);
    *left = origin.x;
    *top = origin.y;
    *width = place.right - place.left;
    *height = place.bottom - place.top;
    return S_OK;
}

HRESULT AccessibleObject::accNavigate(long direction, VARIANT start, VARIANT *end)
{
    const AccessibleNode *node = nullptr;
    if (const HRESULT result = resolve(start, node); FAILED(result))
        return result;
    const long count = static_cast<long>(tree().size());
    if (node_ >= 0)
        return nothingOut(end);
    long to = 0;
    if (!node && direction == NAVDIR_FIRSTCHILD)
        to = 1;
    else if (!node && direction == NAVDIR_LASTCHILD)
        to = count;
    else if (node && direction == NAVDIR_NEXT)
        to = start.lVal + 1;
    else if (node && direction == NAVDIR_PREVIOUS)
        to = start.lVal - 1;
    if (to < 1 || to > count)
        return nothingOut(end);
    childOut(end, to);
    return S_OK;
}

HRESULT AccessibleObject::accHitTest(long x, long y, VARIANT *child)
{
    if (!link_->core)
        return RPC_E_DISCONNECTED;
    POINT at{x, y};
    ScreenToClient(link_->window, &at);
    const PointF p{double(at.x), double(at.y)};
    if (node_ >= 0) {
        if (!tree()[static_cast<std::size_t>(node_)].bounds.contains(p))
            return nothingOut(child);
        childOut(child, CHILDID_SELF);
        return S_OK;
    }
    for (std::size_t i = tree().size(); i-- > 0;)
        if (tree()[i].showing && tree()[i].bounds.contains(p)) {
            childOut(child, static_cast<long>(i) + 1);
            return S_OK;
        }
    RECT client;
    GetClientRect(link_->window, &client);
    if (!PtInRect(&client, at))
        return nothingOut(child);
    childOut(child, CHILDID_SELF);
    return S_OK;
}

HRESULT AccessibleObject::accDoDefaultAction(VARIANT child)
{
    const AccessibleNode *node = nullptr;
    if (const HRESULT result = resolve(child, node); FAILED(result))
        return result;
    if (!node || node->role != AccessibleRole::PushButton)
        return DISP_E_MEMBERNOTFOUND;
    // Done once this call has returned to the client, as a click comes in a message.
    PostMessageW(link_->window, link_->activateMessage, static_cast<WPARAM>(node - tree().data()),
                 0);
    return S_OK;
}

HRESULT AccessibleObject::put_accName(VARIANT, BSTR)
{
    return DISP_E_MEMBERNOTFOUND;
}
HRESULT AccessibleObject::put_accValue(VARIANT, BSTR)
{
    return DISP_E_MEMBERNOTFOUND;
}

} // namespace vemo
