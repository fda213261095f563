#pragma once

// Applying a language file to a window. A window takes part through its component table: every
// component it owns, in the order of the window's definition, with its name and kind; the kind
// decides which text properties the translator reads and writes. Keys are
// "<Window>.Caption", "<Window>.<Component>.<Property>", and "<Window>.<Component>.Tabs [i]" /
// ".Items [i]" for the tabs of a tab control and the items of a check-list box.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <utility>

class QWidget;

enum class TComponentKind {
    MenuItem, // a QAction, or a QMenu as an item of another menu
    Button,
    CheckBox,
    GroupBox,
    Label,
    TabSheet, // a page of a QTabWidget
    SpeedButton,
    Edit,
    PageControl,
    TabControl, // a QTabBar (tabs), or a plain strip without tabs
    Memo,
    Image,
    ProgressBar,
    CheckListBox,
    ComboBox,
    StatusBar,
    PopupMenu,
    ImageList,
    Other, // no text properties
};

struct TComponent {
    QString Name;
    TComponentKind Kind = TComponentKind::Other;
    QPointer<QObject> Object; // null for components without an object of their own
};

class ITranslatableWindow {
public:
    virtual ~ITranslatableWindow() = default;
    [[nodiscard]] virtual QString WindowName() const = 0; // "Form1", "Form8", "Form10"
    virtual QWidget* Window() = 0;
    // Every component the window owns, in the order of its definition.
    [[nodiscard]] virtual QList<TComponent> Components() const = 0;
};

// A window's component table from (name, kind) pairs in definition order; each object is the
// window's descendant of that name. The row of the message menu ("PopupMenuLanguage", see
// NewMessageMenu) is followed by one row per message item, as the menu holds them: the items
// are listed once, where the window makes them.
QList<TComponent>
ComponentTable(const QObject* window,
               std::initializer_list<std::pair<const char*, TComponentKind>> table);

inline const QString kMainWindowName = QStringLiteral("Form1");
inline const QString kUpdateWindowName = QStringLiteral("Form10");

// The translator's state for one window: filled and emptied by one TranslateForm call.
struct TTranslation {
    ITranslatableWindow* Form = nullptr;
    QStringList Entries;    // "key=value" lines of the translation section; used lines go
    QStringList MissingLog; // "key=text" for every lookup without an entry
    QString Section;

    // The translation of `Key`; on a miss `CurrentText`, and the miss is logged.
    QString LookUp(const QString& Key, const QString& CurrentText);
    [[nodiscard]] int IndexOfKey(const QString& Key) const;
    void TranslateProperty(const QString& PropertyName, const TComponent& Component);
    // Entry i of `items` is looked up as Prefix + "[i]"; `apply` writes a translation back.
    void TranslateItems(const QStringList& Items, const QString& Prefix,
                        const std::function<void(int, const QString&)>& apply);
};

// Applies the chosen language file (settings file, section Language, key Language) to one
// window. All failures are silent.
void TranslateForm(TTranslation& Translation, ITranslatableWindow& Window, const QString& Section);

// A text takes part in translation unless it is empty, "-", or a whole number.
bool IsTranslatableText(const QString& text);

// The missing-translation log: "<title>.log" in the folder that holds the program's folder.
// Written only when it exists.
QString MissingLogPath();
