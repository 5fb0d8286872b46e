#include "ui/accessible_annotations.h"

#include <objbase.h>
#include <oleacc.h>

namespace lite_installer {

namespace {

// The service's class and interface and the three properties annotated,
// defined here so that nothing links oleacc's import library.
constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr MSAAPROPID kRoleProperty = {0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};
constexpr MSAAPROPID kStateProperty = {0xa8d4d5b0, 0x0a21, 0x42d0, {0xa5, 0xc0, 0x51, 0x4e, 0x98, 0x4f, 0x45, 0x7b}};

// Filled in place (what VariantInit would do and more), so that no variant
// library is loaded with the program.
VARIANT IntegerVariant(LONG value) {
  VARIANT variant = {};
  variant.vt = VT_I4;
  variant.lVal = value;
  return variant;
}

}  // namespace

AccessibleAnnotations::~AccessibleAnnotations() {
  ClearAll();
  if (services_ != nullptr) services_->Release();
}

bool AccessibleAnnotations::Available() {
  if (!looked_up_) {
    looked_up_ = true;
    void* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, kAccPropServicesInterface,
                                   &services))) {
      services_ = static_cast<IAccPropServices*>(services);
    }
  }
  return services_ != nullptr;
}

void AccessibleAnnotations::Link(HWND control, const std::wstring& name) {
  if (control == nullptr || !Available()) return;
  services_->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kRoleProperty,
                         IntegerVariant(ROLE_SYSTEM_LINK));
  services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kNameProperty, name.c_str());
  annotated_.push_back(control);
}

void AccessibleAnnotations::Name(HWND control, const std::wstring& name) {
  if (control == nullptr || !Available()) return;
  services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kNameProperty, name.c_str());
  annotated_.push_back(control);
}

void AccessibleAnnotations::Hide(HWND control) {
  if (control == nullptr || !Available()) return;
  services_->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kStateProperty,
                         IntegerVariant(STATE_SYSTEM_INVISIBLE));
  annotated_.push_back(control);
}

void AccessibleAnnotations::ClearAll() {
  if (services_ == nullptr) return;
  const MSAAPROPID properties[] = {kNameProperty, kRoleProperty, kStateProperty};
  for (HWND control : annotated_) {
    services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties, 3);
  }
  annotated_.clear();
}

}  // namespace lite_installer
