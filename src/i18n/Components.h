#pragma once

// Windows name their components as the language files and the settings file name them, and
// read run-time texts from their message items (hidden menu items whose captions are
// translated like any other caption).

#include "platform/AsciiCase.h"
#include "widgets/NamedWidget.h"

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QString>
#include <span>
#include <utility>

namespace qm::i18n {

// Names of windows, components, keys and languages compare ignoring the case of A to Z only.
inline bool SameName(QStringView a, QStringView b) {
    const auto view = [](QStringView s) {
        return std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()),
                                   static_cast<std::size_t>(s.size()));
    };
    return qm::platform::SameIgnoringAsciiCase(view(a), view(b));
}

// A window's hidden menu "PopupMenuLanguage" holding its message items, each named as given
// and captioned with its built-in text (UTF-8).
inline QMenu* NewMessageMenu(QWidget* window,
                             std::span<const std::pair<const char*, const char*>> items) {
    auto* menu = qm::widgets::NewNamed<QMenu>("PopupMenuLanguage", window);
    for (const auto& [name, text] : items) {
        auto* item = qm::widgets::NewNamed<QAction>(name, menu);
        item->setText(QString::fromUtf8(text));
        menu->addAction(item);
    }
    return menu;
}

// The current caption of the message item `name` among the children of `items`.
inline QString MessageText(const QObject* items, const char* name) {
    const auto* item = items->findChild<QAction*>(QString::fromLatin1(name));
    return item ? item->text() : QString();
}

} // namespace qm::i18n
