#pragma once

// The About window: title and version, copyright line, program icon, and the contact links.

#include "i18n/Translation.h"

#include <QDialog>
#include <QLabel>

class QPushButton;

// A label that looks and acts like a link.
class TLinkLabel : public QLabel {
    Q_OBJECT

public:
    explicit TLinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class TForm8 : public QDialog, public ITranslatableWindow {
    Q_OBJECT

public:
    // `mainWindow` gives the title shown as the version line (read again at each showing).
    explicit TForm8(const QWidget* mainWindow);

    // ITranslatableWindow
    [[nodiscard]] QString WindowName() const override { return QStringLiteral("Form8"); }
    QWidget* Window() override { return this; }
    [[nodiscard]] QList<TComponent> Components() const override;

    QLabel* Image1;
    QLabel* LabelVersion;
    QLabel* LabelCopyright;
    TLinkLabel* LabelTelegram;
    TLinkLabel* LabelGMail;
    TLinkLabel* LabelYaMail;
    TLinkLabel* LabelMainWebSite;
    QPushButton* Button1;

public slots:
    void LabelTelegramClick();
    void LabelGMailClick();
    void LabelYaMailClick();
    void LabelMainWebSiteClick();
    void Button1Click() { accept(); }

protected:
    void showEvent(QShowEvent* event) override; // FormShow

private:
    void FormCreate();
    static void OpenLink(const QString& target);

    const QWidget* FMainWindow;
};
