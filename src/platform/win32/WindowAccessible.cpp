#include "WindowAccessible.h"

#include "WinShell.h"
#include "WinText.h"
#include "common/ProgramInfo.h"
#include "ui/Accessible.h"
#include "ui/FocusRing.h"

#include <type_traits>

#include <oleacc.h>

namespace {

using Entry = accessible::ControlDescription;
constexpr LONG ChildCount = LONG(accessible::Controls.size());

using CreateStdAccessibleObjectFn = HRESULT(WINAPI *)(HWND, LONG, REFIID, void **);
using LresultFromObjectFn = LRESULT(WINAPI *)(REFIID, WPARAM, LPUNKNOWN);
CreateStdAccessibleObjectFn createStandard = nullptr;
LresultFromObjectFn lresultFromObject = nullptr;

LONG childIdOf(layout::Control control)
{
    for (LONG i = 0; i < ChildCount; ++i) {
        if (accessible::Controls[std::size_t(i)].id == control)
            return i + 1;
    }
    return CHILDID_SELF;
}

BSTR text(std::u16string_view value)
{
    return SysAllocStringLen(reinterpret_cast<const OLECHAR *>(value.data()), UINT(value.size()));
}

BSTR text(const char *utf8)
{
    return SysAllocString(wintext::wide(std::string_view(utf8)).c_str());
}

void setChild(VARIANT *result, LONG id)
{
    result->vt = VT_I4;
    result->lVal = id;
}

DWORD roleOf(accessible::Role role)
{
    switch (role) {
    case accessible::Role::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case accessible::Role::Link: return ROLE_SYSTEM_LINK;
    case accessible::Role::Graphic: return ROLE_SYSTEM_GRAPHIC;
    case accessible::Role::ReadOnlyText: break;
    }
    return ROLE_SYSTEM_TEXT;
}

} // namespace

// The client area: what it is as a window comes from the system's own object; its children
// are ours.
class WindowAccessible::Client final : public IAccessible
{
public:
    Client(const Window *window, IAccessible *standard) : window_(window), standard_(standard) {}

    void detach()
    {
        window_ = nullptr;
        standard_->Release();
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        *object = iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible ? this : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return ULONG(left);
    }

    // IDispatch: readers call IAccessible directly; the system marshals it by its type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        return window_ ? standard_->get_accParent(parent) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        if (!count)
            return E_POINTER;
        *count = ChildCount;
        return window_ ? S_OK : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch **child) override
    {
        if (!child)
            return E_POINTER;
        *child = nullptr;
        const Entry *entry = nullptr;
        const HRESULT found = find(id, entry);
        return FAILED(found) ? found : entry ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR *name) override
    {
        return answer(id, name, &IAccessible::get_accName, [&](const Entry &entry) {
            *name = entry.id == layout::Control::Label1 ? text(accessible::spokenText(window_->phrase()))
                                                        : text(entry.name);
            return S_OK;
        }, program::Title);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR *value) override
    {
        return answer(id, value, &IAccessible::get_accValue, [&](const Entry &entry) {
            if (entry.id == layout::Control::Label1)
                *value = text(accessible::spokenText(window_->phrase()));
            else if (entry.id == layout::Control::txtCrediti)
                *value = text(window_->credits());
            return *value ? S_OK : DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR *description) override
    {
        return answer(id, description, &IAccessible::get_accDescription, [&](const Entry &entry) {
            *description = text(entry.description);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT *role) override
    {
        return answer(id, role, &IAccessible::get_accRole, [&](const Entry &entry) {
            setChild(role, LONG(roleOf(entry.role)));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT *state) override
    {
        return answer(id, state, &IAccessible::get_accState, [&](const Entry &entry) {
            LONG flags = IsWindowVisible(window_->handle) ? 0 : STATE_SYSTEM_INVISIBLE;
            if (entry.role == accessible::Role::Link)
                flags |= STATE_SYSTEM_LINKED;
            // The credits box is disabled as well as read-only, as the Qt face tells too.
            if (entry.role == accessible::Role::ReadOnlyText)
                flags |= STATE_SYSTEM_READONLY | STATE_SYSTEM_UNAVAILABLE;
            if (focus::takesFocus(entry.id))
                flags |= STATE_SYSTEM_FOCUSABLE;
            if (entry.id == window_->focused())
                flags |= STATE_SYSTEM_FOCUSED;
            setChild(state, flags);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR *help) override
    {
        return answer(id, help, &IAccessible::get_accHelp, [](const Entry &) { return S_FALSE; });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT id, LONG *topic) override
    {
        return window_ ? standard_->get_accHelpTopic(file, id, topic) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR *keys) override
    {
        return answer(id, keys, &IAccessible::get_accKeyboardShortcut, [](const Entry &) { return S_FALSE; });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override
    {
        if (!focus)
            return E_POINTER;
        VariantInit(focus);
        if (!window_)
            return RPC_E_DISCONNECTED;
        const layout::Control focused = window_->focused();
        if (focused == layout::Control::None)
            return S_FALSE;
        setChild(focus, childIdOf(focused));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *selection) override
    {
        return window_ ? standard_->get_accSelection(selection) : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR *action) override
    {
        return answer(id, action, &IAccessible::get_accDefaultAction, [&](const Entry &entry) {
            if (!entry.pressable)
                return DISP_E_MEMBERNOTFOUND;
            *action = text(accessible::PressAction);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override
    {
        const Entry *entry = nullptr;
        const HRESULT found = find(id, entry);
        return FAILED(found) ? found : entry ? DISP_E_MEMBERNOTFOUND : standard_->accSelect(flags, id);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG *left, LONG *top, LONG *width, LONG *height, VARIANT id) override
    {
        if (!left || !top || !width || !height)
            return E_POINTER;
        const Entry *entry = nullptr;
        const HRESULT found = find(id, entry);
        if (FAILED(found) || !entry)
            return FAILED(found) ? found : standard_->accLocation(left, top, width, height, id);
        layout::Rect place = layout::of(entry->id).place;
        if (entry->id == layout::Control::imgCazzaro) {
            const layout::Size photo = window_->photo();
            place.width = photo.width;
            place.height = photo.height;
        }
        // A photo larger than designed is cut off by the window's edge, and so is its place.
        place = layout::scaled(place, window_->dpi());
        RECT shown{place.x, place.y, place.x + place.width, place.y + place.height};
        const layout::Size size = layout::scaled(layout::WindowSize, window_->dpi());
        const RECT client{0, 0, size.width, size.height};
        IntersectRect(&shown, &shown, &client);
        MapWindowPoints(window_->handle, nullptr, reinterpret_cast<POINT *>(&shown), 2);
        *left = shown.left;
        *top = shown.top;
        *width = shown.right - shown.left;
        *height = shown.bottom - shown.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override
    {
        if (!end)
            return E_POINTER;
        VariantInit(end);
        const Entry *entry = nullptr;
        const HRESULT found = find(start, entry);
        if (FAILED(found))
            return found;
        const LONG from = start.lVal;
        LONG to = 0;
        if (!entry && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD))
            to = direction == NAVDIR_FIRSTCHILD ? 1 : ChildCount;
        else if (!entry)
            return standard_->accNavigate(direction, start, end);
        else if (direction == NAVDIR_NEXT && from < ChildCount)
            to = from + 1;
        else if (direction == NAVDIR_PREVIOUS && from > 1)
            to = from - 1;
        if (!to)
            return S_FALSE;
        setChild(end, to);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *result) override
    {
        if (!result)
            return E_POINTER;
        VariantInit(result);
        if (!window_)
            return RPC_E_DISCONNECTED;
        POINT at{x, y};
        ScreenToClient(window_->handle, &at);
        const layout::Point design = layout::unscaled({at.x, at.y}, window_->dpi());
        if (design.x < 0 || design.y < 0 || design.x >= layout::WindowSize.width || design.y >= layout::WindowSize.height)
            return S_FALSE;
        setChild(result, childIdOf(layout::shownAt(design, window_->photo())));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override
    {
        const Entry *entry = nullptr;
        const HRESULT found = find(id, entry);
        if (FAILED(found) || !entry)
            return FAILED(found) ? found : standard_->accDoDefaultAction(id);
        if (!entry->pressable)
            return DISP_E_MEMBERNOTFOUND;
        window_->press(entry->id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~Client() = default;

    // The child's entry, or nullptr for the client area itself.
    HRESULT find(const VARIANT &id, const Entry *&entry) const
    {
        entry = nullptr;
        if (!window_)
            return RPC_E_DISCONNECTED;
        if (id.vt != VT_I4 || id.lVal < CHILDID_SELF || id.lVal > ChildCount)
            return E_INVALIDARG;
        if (id.lVal != CHILDID_SELF)
            entry = &accessible::Controls[std::size_t(id.lVal - 1)];
        return S_OK;
    }

    // A property of a child from its entry; the client area's from the system's object,
    // or ownValue when given.
    template<typename Out, typename Standard, typename Answer>
    HRESULT answer(const VARIANT &id, Out *out, Standard standard, Answer fromEntry, const char *ownValue = nullptr)
    {
        if (!out)
            return E_POINTER;
        if constexpr (std::is_same_v<Out, VARIANT>)
            VariantInit(out);
        else
            *out = nullptr;
        const Entry *entry = nullptr;
        const HRESULT found = find(id, entry);
        if (FAILED(found))
            return found;
        if (entry)
            return fromEntry(*entry);
        if constexpr (std::is_same_v<Out, BSTR>) {
            if (ownValue) {
                *out = text(ownValue);
                return S_OK;
            }
        }
        return (standard_->*standard)(id, out);
    }

    LONG references_ = 1;
    const Window *window_;
    IAccessible *standard_;
};

WindowAccessible::WindowAccessible(Window window) : window_(std::move(window)) {}

WindowAccessible::~WindowAccessible()
{
    if (client_) {
        client_->detach();
        // Readers in other processes let go of it now, not when they next ask.
        CoDisconnectObject(client_, 0);
        client_->Release();
    }
}

LRESULT WindowAccessible::answer(WPARAM flags, LPARAM objectId)
{
    if (DWORD(objectId) != DWORD(OBJID_CLIENT))
        return 0;
    if (!client_) {
        // Bound at the first request: only a reader's session pays for the library. Without
        // it the window answers as any window does.
        std::string error;
        createStandard = reinterpret_cast<CreateStdAccessibleObjectFn>(
            win32::systemEntry("oleacc.dll", "CreateStdAccessibleObject", error));
        lresultFromObject = reinterpret_cast<LresultFromObjectFn>(
            win32::systemEntry("oleacc.dll", "LresultFromObject", error));
        IAccessible *standard = nullptr;
        if (!createStandard || !lresultFromObject
            || FAILED(createStandard(window_.handle, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void **>(&standard))))
            return 0;
        client_ = new Client(&window_, standard);
    }
    const LRESULT result = lresultFromObject(IID_IAccessible, flags, client_);
    return FAILED(HRESULT(result)) ? 0 : result;
}

void WindowAccessible::nameChanged(layout::Control control) const
{
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_.handle, OBJID_CLIENT, childIdOf(control));
}

void WindowAccessible::focusChanged(layout::Control control) const
{
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window_.handle, OBJID_CLIENT, childIdOf(control));
}
