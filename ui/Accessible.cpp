#include "ui/Accessible.h"

#include <ole2.h>

#include <utility>

#include "platform/win32/WinText.h"
#include "ui/Window.h"

namespace quorvane::win {

// IAccessible over a control's standard object: the source answers first,
// the standard object for the rest. Disconnect cuts both off.
class AccessibleObject final : public IAccessible, public IOleWindow {
public:
    AccessibleObject(HWND window, AccessibleSource& source, IAccessible* standard)
        : window_(window), source_(&source), standard_(standard) {}

    void Disconnect() {
        source_ = nullptr;
        if (standard_) std::exchange(standard_, nullptr)->Release();
        // Clients in other processes are let go of too, so their stubs
        // no longer keep this object alive.
        CoDisconnectObject(static_cast<IAccessible*>(this), 0);
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
        } else if (iid == IID_IOleWindow) {
            *out = static_cast<IOleWindow*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            if (standard_) standard_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: clients of Active Accessibility call IAccessible directly.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IOleWindow: how WindowFromAccessibleObject finds the control.
    STDMETHODIMP GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = nullptr;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        *window = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        return source_ ? standard_->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
    }
    STDMETHODIMP get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        if ((*count = source_->AccessibleChildCount()) > 0) return S_OK;
        return standard_->get_accChildCount(count);
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        switch (Classify(child)) {
        case Target::kGone: return CO_E_OBJNOTCONNECTED;
        case Target::kInvalid: return E_INVALIDARG;
        case Target::kOwnChild: return S_FALSE;  // a simple element, no object of its own
        default: return standard_->get_accChild(child, object);
        }
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &AccessibleSource::AccessibleName, &IAccessible::get_accName);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, &AccessibleSource::AccessibleValue, &IAccessible::get_accValue);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override {
        return Text(child, text, nullptr, &IAccessible::get_accDescription);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* text) override {
        return Text(child, text, nullptr, &IAccessible::get_accHelp);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return Text(child, text, &AccessibleSource::AccessibleShortcut, &IAccessible::get_accKeyboardShortcut);
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* text) override {
        return Text(child, text, &AccessibleSource::AccessibleDefaultAction, &IAccessible::get_accDefaultAction);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        VariantInit(role);
        const Target target = Classify(child);
        if (target == Target::kGone) return CO_E_OBJNOTCONNECTED;
        if (target == Target::kInvalid) return E_INVALIDARG;
        if (target != Target::kStandard) {
            if (const auto own = source_->AccessibleRole(child.lVal)) return Number(*own, role);
        }
        return target == Target::kOwnChild ? S_FALSE : standard_->get_accRole(child, role);
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        VariantInit(state);
        switch (Classify(child)) {
        case Target::kGone: return CO_E_OBJNOTCONNECTED;
        case Target::kInvalid: return E_INVALIDARG;
        case Target::kOwnChild: return Number(source_->AccessibleState(child.lVal, 0), state);
        case Target::kStandard: return standard_->get_accState(child, state);
        case Target::kSelf: break;
        }
        VARIANT standard;
        VariantInit(&standard);
        const HRESULT hr = standard_->get_accState(child, &standard);
        const long known = SUCCEEDED(hr) && standard.vt == VT_I4 ? standard.lVal : 0;
        VariantClear(&standard);
        return Number(source_->AccessibleState(CHILDID_SELF, known), state);
    }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (!file || !topic) return E_POINTER;
        *file = nullptr;
        *topic = 0;
        const Target target = Classify(child);
        if (target == Target::kGone) return CO_E_OBJNOTCONNECTED;
        if (target == Target::kInvalid) return E_INVALIDARG;
        return target == Target::kOwnChild ? S_FALSE : standard_->get_accHelpTopic(file, child, topic);
    }
    STDMETHODIMP get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        VariantInit(focus);
        if (!source_) return CO_E_OBJNOTCONNECTED;
        if (source_->AccessibleChildCount() > 0) {
            if (const long child = source_->AccessibleFocusedChild(); child > 0) return Number(child, focus);
        }
        return standard_->get_accFocus(focus);
    }
    STDMETHODIMP get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        VariantInit(selection);
        if (!source_) return CO_E_OBJNOTCONNECTED;
        if (source_->AccessibleChildCount() <= 0) return standard_->get_accSelection(selection);
        const long child = source_->AccessibleSelectedChild();
        return child > 0 ? Number(child, selection) : S_FALSE;
    }
    STDMETHODIMP accSelect(long flags, VARIANT child) override {
        switch (Classify(child)) {
        case Target::kGone: return CO_E_OBJNOTCONNECTED;
        case Target::kInvalid: return E_INVALIDARG;
        case Target::kOwnChild: return source_->AccessibleSelect(child.lVal, flags) ? S_OK : E_INVALIDARG;
        default: return standard_->accSelect(flags, child);
        }
    }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        switch (Classify(child)) {
        case Target::kGone: return CO_E_OBJNOTCONNECTED;
        case Target::kInvalid: return E_INVALIDARG;
        case Target::kOwnChild: break;
        default: return standard_->accLocation(left, top, width, height, child);
        }
        const RECT r = source_->AccessibleChildLocation(child.lVal);
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        VariantInit(end);
        const Target target = Classify(start);
        if (target == Target::kGone) return CO_E_OBJNOTCONNECTED;
        if (target == Target::kInvalid) return E_INVALIDARG;
        const long count = source_->AccessibleChildCount();
        if (target == Target::kSelf && count > 0) {
            if (direction == NAVDIR_FIRSTCHILD) return Number(1, end);
            if (direction == NAVDIR_LASTCHILD) return Number(count, end);
        }
        if (target != Target::kOwnChild) return standard_->accNavigate(direction, start, end);
        long next = 0;
        switch (direction) {
        case NAVDIR_NEXT:
        case NAVDIR_DOWN: next = start.lVal + 1; break;
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP: next = start.lVal - 1; break;
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD: return E_INVALIDARG;  // a simple element has no children
        default: return S_FALSE;
        }
        return next >= 1 && next <= count ? Number(next, end) : S_FALSE;
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* hit) override {
        if (!hit) return E_POINTER;
        VariantInit(hit);
        if (!source_) return CO_E_OBJNOTCONNECTED;
        if (source_->AccessibleChildCount() > 0) {
            if (const long child = source_->AccessibleChildAt(POINT{x, y}); child > 0) return Number(child, hit);
        }
        return standard_->accHitTest(x, y, hit);
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        const Target target = Classify(child);
        if (target == Target::kGone) return CO_E_OBJNOTCONNECTED;
        if (target == Target::kInvalid) return E_INVALIDARG;
        if (target != Target::kStandard && source_->AccessibleDoDefaultAction(child.lVal)) return S_OK;
        return target == Target::kOwnChild ? DISP_E_MEMBERNOTFOUND : standard_->accDoDefaultAction(child);
    }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return source_ ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return source_ ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED; }

private:
    ~AccessibleObject() = default;

    enum class Target { kGone, kInvalid, kSelf, kOwnChild, kStandard };

    Target Classify(const VARIANT& child) const {
        if (!source_) return Target::kGone;
        if (child.vt != VT_I4) return Target::kInvalid;
        if (child.lVal == CHILDID_SELF) return Target::kSelf;
        const long count = source_->AccessibleChildCount();
        if (count <= 0) return Target::kStandard;
        return child.lVal >= 1 && child.lVal <= count ? Target::kOwnChild : Target::kInvalid;
    }

    static HRESULT Number(long value, VARIANT* out) {
        out->vt = VT_I4;
        out->lVal = value;
        return S_OK;
    }

    // A text answer: the source's, or for the control and a standard
    // child, the standard object's; none for a child of the source.
    using OwnText = std::optional<std::string> (AccessibleSource::*)(long) const;
    using StandardText = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    HRESULT Text(const VARIANT& child, BSTR* out, OwnText own, StandardText standard) {
        if (!out) return E_POINTER;
        *out = nullptr;
        const Target target = Classify(child);
        if (target == Target::kGone) return CO_E_OBJNOTCONNECTED;
        if (target == Target::kInvalid) return E_INVALIDARG;
        if (own && target != Target::kStandard) {
            if (const auto text = (source_->*own)(child.lVal)) {
                *out = SysAllocString(Wide(*text).c_str());
                return *out ? S_OK : E_OUTOFMEMORY;
            }
        }
        return target == Target::kOwnChild ? S_FALSE : (standard_->*standard)(child, out);
    }

    LONG references_ = 1;
    HWND window_;
    AccessibleSource* source_;
    IAccessible* standard_;
};

bool Accessibility::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_DESTROY) {
        Disconnect();
        gone_ = true;
        return false;
    }
    // Compared as a DWORD: on 64-bit Windows lParam comes sign-extended.
    if (message != WM_GETOBJECT || static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || gone_) {
        return false;
    }
    if (!object_) {
        IAccessible* standard = nullptr;
        if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&standard))) ||
            !standard) {
            return false;  // the system's own answer, then
        }
        object_ = new AccessibleObject(window, source_, standard);
    }
    result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object_));
    return true;
}

void Accessibility::Disconnect() {
    if (!object_) return;
    AccessibleObject* object = std::exchange(object_, nullptr);
    object->Disconnect();
    object->Release();
}

void NotifyAccessible(DWORD event, HWND window, long child) {
    if (window) NotifyWinEvent(event, window, OBJID_CLIENT, child);
}

namespace {

constexpr wchar_t kDescriptionProperty[] = L"Quorvane.Accessible";

class DescribedControl : public AccessibleSource {
public:
    DescribedControl(std::string name, std::function<std::string()> value)
        : name_(std::move(name)), value_(std::move(value)) {}

    std::optional<std::string> AccessibleName(long child) const override {
        if (child != CHILDID_SELF || name_.empty()) return std::nullopt;
        return name_;
    }
    std::optional<std::string> AccessibleValue(long child) const override {
        if (child != CHILDID_SELF || !value_) return std::nullopt;
        return value_();
    }

    Accessibility accessibility{*this};

private:
    std::string name_;
    std::function<std::string()> value_;
};

LRESULT CALLBACK DescribedProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPreviousProc(control, message, wParam, lParam);
}

}  // namespace

void DescribeSystemControl(HWND control, std::string name, std::function<std::string()> value) {
    auto* description = new DescribedControl(std::move(name), std::move(value));
    delete static_cast<DescribedControl*>(GetPropW(control, kDescriptionProperty));
    if (!SetPropW(control, kDescriptionProperty, description)) {
        delete description;
        return;
    }
    // A system control leaves GWLP_USERDATA to the program: set, it holds
    // the procedure of another Subclass, which passes the questions on.
    if (GetWindowLongPtrW(control, GWLP_USERDATA) == 0) Subclass(control, DescribedProc);
}

bool AnswerDescribed(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_GETOBJECT && message != WM_DESTROY) return false;
    auto* description = static_cast<DescribedControl*>(GetPropW(control, kDescriptionProperty));
    if (!description) return false;
    if (message == WM_DESTROY) {
        RemovePropW(control, kDescriptionProperty);
        delete description;
        return false;
    }
    return description->accessibility.Handle(control, message, wParam, lParam, result);
}

}  // namespace quorvane::win
