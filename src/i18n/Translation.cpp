#include "i18n/Translation.h"

#include "settings/IniFile.h"
#include "settings/PortablePath.h"
#include "settings/TextFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>

namespace {

// Components whose texts the program sets itself, so a language file must not.
const QStringList kNeverTranslated = {
    QStringLiteral("CheckListBoxFlags"), QStringLiteral("LabelDestDir"),
    QStringLiteral("EditPath"),          QStringLiteral("LabelCopyright"),
    QStringLiteral("LabelLocalVersion"), QStringLiteral("LabelServerVersion")};

const QStringList kPropertyOrder = {QStringLiteral("Caption"), QStringLiteral("Hint"),
                                    QStringLiteral("Title"), QStringLiteral("Text"),
                                    QStringLiteral("TextHint")};

bool Exposes(TComponentKind kind, const QString& property) {
    using K = TComponentKind;
    switch (kind) {
    case K::MenuItem:
    case K::Button:
    case K::CheckBox:
    case K::GroupBox:
    case K::Label:
    case K::TabSheet:
    case K::SpeedButton:
        return property == u"Caption" || property == u"Hint";
    case K::Edit:
        return property == u"Text" || property == u"TextHint" || property == u"Hint";
    case K::PageControl:
    case K::TabControl:
    case K::Memo:
    case K::Image:
    case K::ProgressBar:
    case K::CheckListBox:
        return property == u"Hint";
    default:
        return false;
    }
}

// The tab text of a page, through the page control that holds it.
QTabWidget* PageControlOf(QWidget* page) {
    for (QWidget* w = page ? page->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            return tabs;
    return nullptr;
}

QString ReadProperty(const TComponent& c, const QString& property) {
    QObject* o = c.Object;
    if (!o)
        return {};
    if (property == u"Hint") {
        // A menu item's hint is its status tip: its tool tip repeats its caption.
        if (auto* action = qobject_cast<QAction*>(o))
            return action->statusTip();
        if (auto* menu = qobject_cast<QMenu*>(o))
            return menu->menuAction()->statusTip();
        auto* w = qobject_cast<QWidget*>(o);
        return w ? w->toolTip() : QString();
    }
    if (property == u"Caption") {
        if (auto* action = qobject_cast<QAction*>(o))
            return action->text();
        if (auto* menu = qobject_cast<QMenu*>(o))
            return menu->title();
        if (auto* button = qobject_cast<QAbstractButton*>(o))
            return button->text();
        if (auto* group = qobject_cast<QGroupBox*>(o))
            return group->title();
        if (auto* label = qobject_cast<QLabel*>(o))
            return label->text();
        if (c.Kind == TComponentKind::TabSheet) {
            auto* page = qobject_cast<QWidget*>(o);
            QTabWidget* tabs = PageControlOf(page);
            return tabs ? tabs->tabText(tabs->indexOf(page)) : QString();
        }
    }
    if (auto* edit = qobject_cast<QLineEdit*>(o)) {
        if (property == u"Text")
            return edit->text();
        if (property == u"TextHint")
            return edit->placeholderText();
    }
    return {};
}

void WriteProperty(const TComponent& c, const QString& property, const QString& text) {
    QObject* o = c.Object;
    if (!o)
        return;
    if (property == u"Hint") {
        if (auto* action = qobject_cast<QAction*>(o))
            action->setStatusTip(text);
        else if (auto* menu = qobject_cast<QMenu*>(o))
            menu->menuAction()->setStatusTip(text);
        else if (auto* w = qobject_cast<QWidget*>(o))
            w->setToolTip(text);
        return;
    }
    if (property == u"Caption") {
        if (auto* action = qobject_cast<QAction*>(o))
            action->setText(text);
        else if (auto* menu = qobject_cast<QMenu*>(o))
            menu->setTitle(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(o))
            button->setText(text);
        else if (auto* group = qobject_cast<QGroupBox*>(o))
            group->setTitle(text);
        else if (auto* label = qobject_cast<QLabel*>(o))
            label->setText(text);
        else if (c.Kind == TComponentKind::TabSheet) {
            auto* page = qobject_cast<QWidget*>(o);
            if (QTabWidget* tabs = PageControlOf(page))
                tabs->setTabText(tabs->indexOf(page), text);
        }
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(o)) {
        if (property == u"Text")
            edit->setText(text);
        else if (property == u"TextHint")
            edit->setPlaceholderText(text);
    }
}

// The lines of `path`; `ok` is false when it could not be read exactly (it is then never
// written over).
QStringList ReadLines(const QString& path, bool& ok) {
    const TTextFileRead read = ReadTextFile(path);
    ok = !read.Unreadable && read.Exact;
    QStringList lines;
    for (QStringView line : TextLines(read.Text))
        lines.append(line.toString());
    return lines;
}

} // namespace

QList<TComponent>
ComponentTable(const QObject* window,
               std::initializer_list<std::pair<const char*, TComponentKind>> table) {
    QList<TComponent> components;
    for (const auto& [name, kind] : table) {
        const QString n = QString::fromLatin1(name);
        QObject* object = window->findChild<QObject*>(n);
        components.append({n, kind, object});
        if (auto* menu = qobject_cast<QMenu*>(object); menu && n == u"PopupMenuLanguage")
            for (QAction* item : menu->actions())
                components.append({item->objectName(), TComponentKind::MenuItem, item});
    }
    return components;
}

bool IsTranslatableText(const QString& text) {
    if (text.isEmpty() || text == u"-")
        return false;
    bool number = false;
    text.toInt(&number, 10);
    return !number;
}

QString MissingLogPath() {
    QDir parent(ProgramFolder());
    parent.cdUp();
    return QDir::toNativeSeparators(parent.absolutePath()) + QDir::separator() + kApplicationTitle +
           QStringLiteral(".log");
}

int TTranslation::IndexOfKey(const QString& Key) const {
    for (int i = 0; i < Entries.size(); ++i) {
        const qsizetype eq = Entries[i].indexOf(u'=');
        if (eq >= 0 && QStringView(Entries[i]).first(eq).compare(Key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TTranslation::LookUp(const QString& Key, const QString& CurrentText) {
    const int i = IndexOfKey(Key);
    if (i < 0) {
        MissingLog.append(Key + u'=' + CurrentText);
        return CurrentText;
    }
    const QString result = Entries[i].sliced(Key.size() + 1);
    Entries.removeAt(i);
    return result;
}

void TTranslation::TranslateProperty(const QString& PropertyName, const TComponent& Component) {
    if (!Exposes(Component.Kind, PropertyName))
        return;
    const QString text = ReadProperty(Component, PropertyName);
    if (!IsTranslatableText(text))
        return;
    const QString result =
        LookUp(Form->WindowName() + u'.' + Component.Name + u'.' + PropertyName, text);
    if (!result.isEmpty())
        WriteProperty(Component, PropertyName, result);
}

void TTranslation::TranslateItems(const QStringList& Items, const QString& Prefix,
                                  const std::function<void(int, const QString&)>& apply) {
    for (int i = 0; i < Items.size(); ++i) {
        if (!IsTranslatableText(Items[i]))
            continue;
        const QString result = LookUp(Prefix + QStringLiteral("[%1]").arg(i), Items[i]);
        if (!result.isEmpty())
            apply(i, result);
    }
}

void TranslateForm(TTranslation& Translation, ITranslatableWindow& Window, const QString& Section) {
    Translation.Section = Section;
    const QString languageFile = LanguageFilePath(CurrentLanguageName());
    const QString logFile = MissingLogPath();
    if (!QFileInfo::exists(languageFile))
        return;

    const TIniFile language(languageFile);
    Translation.Entries = language.ReadSectionValues(Section);
    Translation.MissingLog.clear();
    const bool logging = QFileInfo::exists(logFile);
    if (logging) {
        bool ok = false;
        Translation.MissingLog = ReadLines(logFile, ok);
        if (!ok)
            return; // an unreadable log ends the pass before anything changed or is written
    }
    Translation.Form = &Window;
    QWidget* window = Window.Window();

    if (Window.WindowName() != kMainWindowName) {
        // The update window's title carries the program's name after the translated text: a
        // language without the caption keeps the text, not the name twice.
        QString current = window->windowTitle();
        const QString suffix = u' ' + kApplicationTitle;
        if (Window.WindowName() == kUpdateWindowName && current.endsWith(suffix))
            current.chop(suffix.size());
        const QString caption =
            Translation.LookUp(Window.WindowName() + QStringLiteral(".Caption"), current);
        window->setWindowTitle(caption); // the one place where an empty result replaces a text
    }
    if (Window.WindowName() == kUpdateWindowName)
        window->setWindowTitle(window->windowTitle() + u' ' + kApplicationTitle);

    for (const TComponent& component : Window.Components()) {
        if (component.Kind == TComponentKind::ComboBox ||
            component.Kind == TComponentKind::StatusBar ||
            kNeverTranslated.contains(component.Name))
            continue;
        for (const QString& property : kPropertyOrder)
            Translation.TranslateProperty(property, component);
        const QString prefix = Window.WindowName() + u'.' + component.Name;
        if (auto* tabs = qobject_cast<QTabBar*>(component.Object.data())) {
            QStringList texts;
            for (int i = 0; i < tabs->count(); ++i)
                texts.append(tabs->tabText(i));
            Translation.TranslateItems(texts, prefix + QStringLiteral(".Tabs "),
                                       [tabs](int i, const QString& t) { tabs->setTabText(i, t); });
        }
        if (auto* list = qobject_cast<QListWidget*>(component.Object.data());
            list && component.Kind == TComponentKind::CheckListBox) {
            QStringList texts;
            for (int i = 0; i < list->count(); ++i)
                texts.append(list->item(i)->text());
            Translation.TranslateItems(
                texts, prefix + QStringLiteral(".Items "),
                [list](int i, const QString& t) { list->item(i)->setText(t); });
        }
    }
    Translation.Entries.clear();

    if (logging && !Translation.MissingLog.isEmpty()) {
        // A translator's aid: a log that cannot be written is told on the console.
        const QString error = WriteTextFile(
            logFile, Translation.MissingLog.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"),
            TTextEncoding::Utf16LE);
        if (!error.isEmpty())
            qWarning("%s", qPrintable(error));
    }
    Translation.MissingLog.clear();
}
