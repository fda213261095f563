#pragma once

// Components are found by their object names (the language files' keys, the settings' keys,
// the tests): every one is made named.

#include <QString>

namespace qm::widgets {

// A new component named `name`, child of `parent`.
template <typename T, typename Parent> T* NewNamed(const char* name, Parent* parent) {
    auto* component = new T(parent);
    component->setObjectName(QString::fromLatin1(name));
    return component;
}

// The same with its caption (a button, a label, a check box, a menu item).
template <typename T, typename Parent>
T* NewNamed(const char* name, Parent* parent, const QString& text) {
    T* component = NewNamed<T>(name, parent);
    component->setText(text);
    return component;
}

} // namespace qm::widgets
