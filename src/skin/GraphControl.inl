// Templates of GraphControl.h that need the resource registry.
#pragma once

#include <typeinfo>

#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

template <class T>
std::unique_ptr<T> TCustomGraphControl::CreateFromDocument(const TSkinContext& context, std::string_view path) {
    static_assert(std::is_base_of_v<TCustomGraphControl, T>);
    const TXMLNode& root = context.Resources.GetXML(path);
    auto control = std::make_unique<T>(context);
    control->LoadFromXML(root);
    return control;
}

template <class T>
T* TGraphControls::FindControlByClass(bool visibleOnly) const {
    return static_cast<T*>(
        FindControlWhere([](const TCustomGraphControl& c) { return typeid(c) == typeid(T); }, visibleOnly));
}

template <class T>
T& TGraphControls::GetControl(std::string_view name) const {
    T* control = dynamic_cast<T*>(FindControl(name));
    if (control == nullptr) NotFoundError(name);
    return *control;
}

}  // namespace marlowen
