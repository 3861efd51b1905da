#include "platforms/win32/accessibility.h"

#include <oleacc.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platforms/win32/text.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {
// IAccessible's identifier, spelled out: MinGW's import library offers it only
// as an imported symbol that links to a thunk instead of the GUID.
constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The controls a screen reader walks: those with a role, in tab order.
std::vector<Control*> readable_controls(const Window& form) {
  std::vector<Control*> found = form.tab_stops();
  found.erase(std::remove_if(found.begin(), found.end(),
                             [](Control* c) { return c->accessible_role == Control::Role::None; }),
              found.end());
  return found;
}

long role_of(Control::Role role) {
  switch (role) {
    case Control::Role::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case Control::Role::CheckBox: return ROLE_SYSTEM_CHECKBUTTON;
    case Control::Role::SpinButton: return ROLE_SYSTEM_SPINBUTTON;
    case Control::Role::Link: return ROLE_SYSTEM_LINK;
    case Control::Role::Text: return ROLE_SYSTEM_STATICTEXT;
    case Control::Role::None: break;
  }
  return ROLE_SYSTEM_CLIENT;
}

HRESULT text_result(const std::string& text, BSTR* out) {
  if (!out) return E_INVALIDARG;
  *out = SysAllocString(widen(text).c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

class FormAccessible final : public IAccessible {
 public:
  FormAccessible(Window& form, HWND hwnd, std::shared_ptr<bool> alive) : form_(form), hwnd_(hwnd), alive_(alive) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  // IDispatch: the screen readers use the interface's own methods.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    if (!alive()) return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(hwnd_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    if (!alive()) return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(readable_controls(form_).size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
    // Every child is a simple element of this object.
    if (child) *child = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    Control* c = nullptr;
    if (HRESULT hr = find(child, c); hr != S_OK) return hr;
    return text_result(c ? c->accessible_name : form_.caption(), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    Control* c = nullptr;
    if (HRESULT hr = find(child, c); hr != S_OK) return hr;
    if (c && c->kind() == Control::Kind::Spin)
      return text_result(std::to_string(static_cast<SpinButton*>(c)->value()), value);
    if (c && c->accessible_role == Control::Role::Link) return text_result(c->accessible_name, value);
    if (value) *value = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* out) override { return none(out); }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    Control* c = nullptr;
    if (HRESULT hr = find(child, c); hr != S_OK) return hr;
    if (!role) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = c ? role_of(c->accessible_role) : ROLE_SYSTEM_CLIENT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    Control* c = nullptr;
    if (HRESULT hr = find(child, c); hr != S_OK) return hr;
    if (!state) return E_POINTER;
    long bits = STATE_SYSTEM_FOCUSABLE;
    if (c) {
      if (c->has_focus() && GetForegroundWindow() == hwnd_) bits |= STATE_SYSTEM_FOCUSED;
      if (c->accessible_checked && c->accessible_checked()) bits |= STATE_SYSTEM_CHECKED;
      if (!c->enabled()) bits |= STATE_SYSTEM_UNAVAILABLE;
      if (c->accessible_role == Control::Role::Link) bits |= STATE_SYSTEM_LINKED;
    }
    state->vt = VT_I4;
    state->lVal = bits;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override { return none(out); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* out) override { return none(out); }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    if (!alive()) return CO_E_OBJNOTCONNECTED;
    focus->vt = VT_EMPTY;
    const auto controls = readable_controls(form_);
    auto it = std::find(controls.begin(), controls.end(), form_.focused_control());
    if (it == controls.end()) return S_FALSE;
    focus->vt = VT_I4;
    focus->lVal = static_cast<long>(it - controls.begin()) + 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection) selection->vt = VT_EMPTY;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    Control* c = nullptr;
    if (HRESULT hr = find(child, c); hr != S_OK) return hr;
    if (!c || !c->on_key_press) return none(action);
    return text_result(c->accessible_role == Control::Role::CheckBox ? "Toggle" : "Press", action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
    Control* c = nullptr;
    if (HRESULT hr = find(child, c); hr != S_OK) return hr;
    if (!x || !y || !w || !h) return E_POINTER;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const Rect r = c ? c->window_bounds() : Rect{0, 0, client.right, client.bottom};
    POINT origin{r.left, r.top};
    ClientToScreen(hwnd_, &origin);
    *x = origin.x;
    *y = origin.y;
    *w = r.width;
    *h = r.height;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    end->vt = VT_EMPTY;
    if (!alive()) return CO_E_OBJNOTCONNECTED;
    const long n = static_cast<long>(readable_controls(form_).size());
    const long from = start.vt == VT_I4 ? start.lVal : CHILDID_SELF;
    long to = 0;
    switch (direction) {
      case NAVDIR_FIRSTCHILD: to = from == CHILDID_SELF ? 1 : 0; break;
      case NAVDIR_LASTCHILD: to = from == CHILDID_SELF ? n : 0; break;
      case NAVDIR_NEXT: case NAVDIR_DOWN: case NAVDIR_RIGHT: to = from == CHILDID_SELF ? 0 : from + 1; break;
      case NAVDIR_PREVIOUS: case NAVDIR_UP: case NAVDIR_LEFT: to = from == CHILDID_SELF ? 0 : from - 1; break;
      default: return E_INVALIDARG;
    }
    if (to < 1 || to > n) return S_FALSE;
    end->vt = VT_I4;
    end->lVal = to;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    if (!alive()) return CO_E_OBJNOTCONNECTED;
    POINT p{x, y};
    ScreenToClient(hwnd_, &p);
    const auto controls = readable_controls(form_);
    for (std::size_t i = 0; i < controls.size(); ++i) {
      if (controls[i]->window_bounds().contains(p.x, p.y)) {
        hit->vt = VT_I4;
        hit->lVal = static_cast<long>(i) + 1;
        return S_OK;
      }
    }
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (!PtInRect(&client, p)) {
      hit->vt = VT_EMPTY;
      return S_FALSE;
    }
    hit->vt = VT_I4;
    hit->lVal = CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    // What Space does with the control focused: press a button, toggle a
    // mark, follow the link.
    Control* c = nullptr;
    if (HRESULT hr = find(child, c); hr != S_OK) return hr;
    if (!c || !c->on_key_press) return DISP_E_MEMBERNOTFOUND;
    bool used = false;
    win32_platform().guarded([&] {
      used = c->on_key_press(kKeySpace, 0);
      if (used && c->on_key_release) c->on_key_release(kKeySpace, 0);
    });
    return used ? S_OK : DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  bool alive() const { return *alive_ && IsWindow(hwnd_); }
  static HRESULT none(BSTR* out) {
    if (out) *out = nullptr;
    return S_FALSE;
  }
  // The control a child id names (null for the form itself).
  HRESULT find(const VARIANT& child, Control*& control) const {
    if (!alive()) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4) return E_INVALIDARG;
    control = nullptr;
    if (child.lVal == CHILDID_SELF) return S_OK;
    const auto controls = readable_controls(form_);
    if (child.lVal < 1 || child.lVal > static_cast<long>(controls.size())) return E_INVALIDARG;
    control = controls[static_cast<std::size_t>(child.lVal - 1)];
    return S_OK;
  }

  LONG references_ = 1;
  Window& form_;
  HWND hwnd_;
  std::shared_ptr<bool> alive_;
};

}  // namespace

LRESULT accessible_object(Window& form, HWND hwnd, std::shared_ptr<bool> alive, WPARAM wparam, LPARAM lparam) {
  if (static_cast<LONG>(lparam) != static_cast<LONG>(OBJID_CLIENT)) return 0;
  // Handing the object to another process goes through COM.
  static const bool com_ready = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  (void)com_ready;
  auto* object = new FormAccessible(form, hwnd, std::move(alive));
  LRESULT result = LresultFromObject(kIAccessible, wparam, object);
  object->Release();
  return result;
}

void announce_focus(const Control& control) {
  const Window* form = control.form();
  if (!form || !control.has_focus()) return;
  const auto controls = readable_controls(*form);
  auto it = std::find(controls.begin(), controls.end(), &control);
  HWND hwnd = reinterpret_cast<HWND>(form->handle());
  if (it != controls.end() && hwnd)
    NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, static_cast<LONG>(it - controls.begin()) + 1);
}

}  // namespace virelta::win32
