#include "widgets/MenuItems.h"

#include <QAction>
#include <QMenu>

namespace qm::widgets {

void AddMenuItems(QMenu* menu, std::initializer_list<TMenuItem> items) {
    for (const TMenuItem& item : items) {
        QAction* action = item.Text.isEmpty() ? menu->addSeparator() : menu->addAction(item.Text);
        action->setObjectName(QString::fromLatin1(item.Name));
        action->setCheckable(item.Checkable);
        if (!item.Icon.isNull())
            action->setIcon(item.Icon);
        if (!item.Shortcut.isEmpty()) {
            action->setShortcut(item.Shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
            if (QWidget* window = menu->parentWidget())
                window->addAction(action);
        }
        if (item.Triggered)
            QObject::connect(action, &QAction::triggered, action, item.Triggered);
        if (item.Keep)
            *item.Keep = action;
    }
}

} // namespace qm::widgets
