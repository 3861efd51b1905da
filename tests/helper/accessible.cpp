// "access CAPTION": asks the system's accessibility interface of the window's
// client area for every child and prints its name, role, state and value, as
// a screen reader would hear them.
#include <oleacc.h>

#include <string>

#include "commands.h"
#include "output.h"

namespace vtest {

namespace {
// IAccessible's identifier, spelled out: MinGW's import library offers it only
// as an imported symbol that links to a thunk instead of the GUID.
constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
std::string role_text(long role) {
  switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON: return "push button";
    case ROLE_SYSTEM_CHECKBUTTON: return "check box";
    case ROLE_SYSTEM_SPINBUTTON: return "spin button";
    case ROLE_SYSTEM_LINK: return "link";
    default: return std::to_string(role);
  }
}

std::string bstr_json(HRESULT hr, BSTR text) {
  std::string json = hr == S_OK && text ? json_string(text) : "null";
  SysFreeString(text);
  return json;
}
}  // namespace

int print_accessible(HWND window) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccessible* object = nullptr;
  HRESULT hr = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                          reinterpret_cast<void**>(&object));
  if (FAILED(hr) || !object) {
    print_error("no accessible object: " + std::to_string(static_cast<unsigned long>(hr)) + "\n");
    return 1;
  }
  long count = 0;
  object->get_accChildCount(&count);
  for (long i = 1; i <= count; ++i) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = i;
    BSTR name = nullptr, value = nullptr;
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    const HRESULT named = object->get_accName(child, &name);
    const HRESULT valued = object->get_accValue(child, &value);
    std::string line = "{\"name\":" + bstr_json(named, name);
    object->get_accRole(child, &role);
    object->get_accState(child, &state);
    const std::string role_name = role_text(role.vt == VT_I4 ? role.lVal : 0);
    line += ",\"role\":\"" + role_name + "\"";
    const long bits = state.vt == VT_I4 ? state.lVal : 0;
    line += std::string(",\"checked\":") + ((bits & STATE_SYSTEM_CHECKED) ? "true" : "false");
    line += std::string(",\"focused\":") + ((bits & STATE_SYSTEM_FOCUSED) ? "true" : "false");
    line += ",\"value\":" + bstr_json(valued, value) + "}\n";
    print(line);
  }
  object->Release();
  CoUninitialize();
  return count > 0 ? 0 : 1;
}

}  // namespace vtest
