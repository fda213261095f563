#include "about/Unit_About.h"

#include "about/AboutContacts.h"
#include "about/FileInfoUtils.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent) {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    // The style's link colour, which reads on its own window colour (a fixed blue does not on
    // a dark one) and follows a change of style.
    setForegroundRole(QPalette::Link);
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

TForm8::TForm8(const QWidget* mainWindow) : QDialog(nullptr), FMainWindow(mainWindow) {
    // No owner: the window has its own taskbar button, as the main window does.
    setObjectName(QStringLiteral("Form8"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("О программе"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    auto* body = new QFrame(this);
    body->setObjectName(QStringLiteral("TabControlBody"));
    Image1 = new QLabel(body);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(32, 32);
    Image1->setAlignment(Qt::AlignCenter);
    LabelVersion = new QLabel(body);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    LabelVersion->setFixedHeight(20);
    LabelCopyright = new QLabel(body);
    LabelCopyright->setObjectName(QStringLiteral("LabelCopyright"));
    for (QLabel* l : {LabelVersion, LabelCopyright})
        l->setAlignment(Qt::AlignCenter);

    const auto link = [&](const char* name, const QString& text) {
        auto* label = new TLinkLabel(body);
        label->setObjectName(QString::fromLatin1(name));
        label->setText(text);
        return label;
    };
    LabelTelegram = link("LabelTelegram", QStringLiteral("Telegram"));
    LabelGMail = link("LabelGMail", qm::about::kFirstMailAddress);
    LabelYaMail = link("LabelYaMail", qm::about::kSecondMailAddress);
    LabelMainWebSite = link("LabelMainWebSite", QStringLiteral("Сайт основной"));

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    auto* titles = new QVBoxLayout;
    titles->addWidget(LabelVersion);
    titles->addWidget(LabelCopyright);
    top->addLayout(titles, 1);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->addLayout(top);
    for (QLabel* l : {LabelTelegram, LabelGMail, LabelYaMail, LabelMainWebSite})
        bodyLayout->addWidget(l);

    auto* buttons = new QFrame(this);
    buttons->setObjectName(QStringLiteral("TabControlButtons"));
    buttons->setFixedHeight(35);
    Button1 = new QPushButton(QStringLiteral("Ok"), buttons);
    Button1->setObjectName(QStringLiteral("Button1"));
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setDefault(true);
    auto* buttonLayout = new QHBoxLayout(buttons);
    buttonLayout->setContentsMargins(4, 4, 4, 4);
    buttonLayout->addWidget(Button1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(body, 1);
    layout->addWidget(buttons);
    setFixedSize(layout->sizeHint().expandedTo(QSize(334, 161)));

    connect(LabelTelegram, &TLinkLabel::clicked, this, &TForm8::LabelTelegramClick);
    connect(LabelGMail, &TLinkLabel::clicked, this, &TForm8::LabelGMailClick);
    connect(LabelYaMail, &TLinkLabel::clicked, this, &TForm8::LabelYaMailClick);
    connect(LabelMainWebSite, &TLinkLabel::clicked, this, &TForm8::LabelMainWebSiteClick);
    connect(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
    FormCreate();
}

QList<TComponent> TForm8::Components() const {
    using K = TComponentKind;
    // The order of the window's definition.
    return ComponentTable(this, {
                                    {"TabControlBody", K::TabControl},
                                    {"Image1", K::Image},
                                    {"LabelVersion", K::Label},
                                    {"LabelCopyright", K::Label},
                                    {"LabelYaMail", K::Label},
                                    {"LabelMainWebSite", K::Label},
                                    {"LabelGMail", K::Label},
                                    {"LabelTelegram", K::Label},
                                    {"TabControlButtons", K::TabControl},
                                    {"Button1", K::Button},
                                });
}

void TForm8::FormCreate() {
    Image1->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    LabelCopyright->setText(GetLegalCopyright(QApplication::applicationFilePath()));
}

void TForm8::showEvent(QShowEvent* event) {
    LabelVersion->setText(FMainWindow->windowTitle());
    QDialog::showEvent(event);
}

void TForm8::OpenLink(const QString& target) {
    qm::platform::ShellOpen(target.toStdU16String());
    QApplication::processEvents();
}

void TForm8::LabelTelegramClick() {
    OpenLink(qm::about::kMessengerProfile);
}
void TForm8::LabelGMailClick() {
    OpenLink(QStringLiteral("mailto:") + qm::about::kFirstMailAddress);
}
void TForm8::LabelYaMailClick() {
    OpenLink(QStringLiteral("mailto:") + qm::about::kSecondMailAddress);
}
void TForm8::LabelMainWebSiteClick() {
    OpenLink(qm::about::kWebSite);
}
