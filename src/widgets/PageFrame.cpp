#include "widgets/PageFrame.h"

#include "widgets/NamedWidget.h"
#include "widgets/SectionView.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

using qm::widgets::NewNamed;

void BeginPageFrame(QWidget* page, const TPageFrameNames& names, const TPageFrame& f) {
    f.PathBox = NewNamed<QGroupBox>(names.PathBox, page);
    f.PathBox->setTitle(QStringLiteral("Путь"));
    f.PathEdit = NewNamed<QLineEdit>(names.PathEdit, f.PathBox);
    f.PathEdit->setReadOnly(true);
    f.Browse = NewNamed<QPushButton>(names.Browse, f.PathBox);
    f.Browse->setText(QStringLiteral("Обзор..."));
    auto* pathRow = new QHBoxLayout(f.PathBox);
    pathRow->addWidget(f.PathEdit, 1);
    pathRow->addWidget(f.Browse);

    f.ListBox = NewNamed<QGroupBox>(names.ListBox, page);
    f.ListBox->setTitle(QStringLiteral("Список"));
    f.View = NewNamed<TSectionView>(names.View, f.ListBox);
    f.StatusBar = NewNamed<QStatusBar>(names.StatusBar, f.ListBox);
    f.StatusBar->setSizeGripEnabled(false);
    auto* listColumn = new QVBoxLayout(f.ListBox);
    listColumn->addWidget(f.View, 1);
    listColumn->addWidget(f.StatusBar);

    f.OptionsBox = NewNamed<QGroupBox>(names.OptionsBox, page);
    f.OptionsBox->setTitle(QStringLiteral("Управление"));
    f.OptionsBox->setFixedWidth(210);
}

void EndPageFrame(QWidget* page, const TPageFrameNames& names, const TPageFrame& f,
                  const std::function<QWidget*(QGroupBox* runBox)>& lead) {
    f.RunBox = NewNamed<QGroupBox>(names.RunBox, page);
    QWidget* first = lead ? lead(f.RunBox) : nullptr;
    f.OptionsButton = NewNamed<QToolButton>(names.OptionsButton, f.RunBox);
    f.OptionsButton->setToolTip(QStringLiteral("Показать/скрыть опции"));
    f.RunButton = NewNamed<QPushButton>(names.RunButton, f.RunBox);
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(f.Browse), static_cast<QAbstractButton*>(f.OptionsButton),
          static_cast<QAbstractButton*>(f.RunButton)})
        b->setCursor(Qt::PointingHandCursor);
    auto* runRow = new QHBoxLayout(f.RunBox);
    if (first)
        runRow->addWidget(first, 1);
    else
        runRow->addStretch(1);
    runRow->addWidget(f.OptionsButton);
    runRow->addWidget(f.RunButton);

    auto* grid = new QGridLayout(page);
    grid->addWidget(f.PathBox, 0, 0, 1, 2);
    grid->addWidget(f.ListBox, 1, 0);
    grid->addWidget(f.OptionsBox, 1, 1);
    grid->addWidget(f.RunBox, 2, 0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    f.OptionsBox->setVisible(false);
}
