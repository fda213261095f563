#pragma once

// Windows name their components as the language files and the settings file name them, and
// read run-time texts from their message items (hidden menu items whose captions are
// translated like any other caption).

#include <QAction>
#include <QObject>
#include <QString>

namespace qm::i18n {

// A new component named `name`, child of `parent`.
template <typename T, typename Parent> T* NewNamed(const char* name, Parent* parent) {
    auto* component = new T(parent);
    component->setObjectName(QString::fromLatin1(name));
    return component;
}

// The current caption of the message item `name` among the children of `items`.
inline QString MessageText(const QObject* items, const char* name) {
    const auto* item = items->findChild<QAction*>(QString::fromLatin1(name));
    return item ? item->text() : QString();
}

} // namespace qm::i18n
