#include "ui/toolkit/win32/accessible_names.h"

#include "ui/toolkit/win32/latin1_text.h"

namespace quillet::win32 {

namespace {

// The name a control is given, or null when the label rule's name stands.
const char* annotatedName(const ControlTemplate& control) {
    if (control.accessibleName != nullptr) {
        return control.accessibleName;
    }
    // An icon's window text is its resource ordinal, which MSAA would read out.
    return control.kind == ControlKind::StaticIcon ? "" : nullptr;
}

}  // namespace

void AccessibleNames::annotate(HWND dialog, const DialogTemplate& dialogTemplate) {
    clear();
    // The window thread may not have entered COM yet; it leaves again in clear().
    const HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comEntered_ = SUCCEEDED(entered);
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services_)))) {
        services_ = nullptr;
        return;
    }
    dialog_ = dialog;
    if (dialogTemplate.style & Alert) {
        VARIANT role{};
        role.vt = VT_I4;
        role.lVal = ROLE_SYSTEM_ALERT;
        roleAnnotated_ = SUCCEEDED(
            services_->SetHwndProp(dialog, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE, role));
    }
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const ControlTemplate& control : dialogTemplate.controls) {
        if (child == nullptr) {
            break;
        }
        annotateControl(child, control);
        child = GetWindow(child, GW_HWNDNEXT);
    }
}

void AccessibleNames::annotateControl(HWND control, const ControlTemplate& controlTemplate) {
    const char* name = annotatedName(controlTemplate);
    if (name == nullptr) {
        return;
    }
    if (SUCCEEDED(services_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME,
                                            widenLatin1(name).c_str()))) {
        named_.push_back(control);
    }
}

void AccessibleNames::clear() {
    if (services_ != nullptr) {
        for (HWND control : named_) {
            services_->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, &PROPID_ACC_NAME, 1);
        }
        if (roleAnnotated_) {
            services_->ClearHwndProps(dialog_, OBJID_CLIENT, CHILDID_SELF, &PROPID_ACC_ROLE, 1);
        }
        services_->Release();
        services_ = nullptr;
    }
    named_.clear();
    roleAnnotated_ = false;
    dialog_ = nullptr;
    if (comEntered_) {
        CoUninitialize();
        comEntered_ = false;
    }
}

}  // namespace quillet::win32
