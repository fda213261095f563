#pragma once

// The frame both pages are built in: the path row (a read-only path and Browse), the section
// list with its status bar, the options panel beside it (hidden until asked for), and the run
// row below (the options button, then the run button). Each page names the parts as it has
// always named them, fills the options panel, and sets its run row's title and button text.

#include <functional>

class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolButton;
class QWidget;
class TSectionView;

struct TPageFrameNames {
    const char* PathBox;
    const char* PathEdit;
    const char* Browse;
    const char* ListBox;
    const char* View;
    const char* StatusBar;
    const char* OptionsBox;
    const char* RunBox;
    const char* OptionsButton;
    const char* RunButton;
};

struct TPageFrame {
    QGroupBox* PathBox = nullptr;
    QLineEdit* PathEdit = nullptr;
    QPushButton* Browse = nullptr;
    QGroupBox* ListBox = nullptr;
    TSectionView* View = nullptr;
    QStatusBar* StatusBar = nullptr;
    QGroupBox* OptionsBox = nullptr;
    QGroupBox* RunBox = nullptr;
    QToolButton* OptionsButton = nullptr;
    QPushButton* RunButton = nullptr;
};

// The path row, the list and the options panel, in the order a user tabs through them.
TPageFrame BeginPageFrame(QWidget* page, const TPageFrameNames& names);
// The run row, after the options panel has been filled: `lead`, when given, makes what stands
// first in it (in the run box it is given) and takes its free room; else the room is left
// empty. Then the page's grid.
void EndPageFrame(QWidget* page, const TPageFrameNames& names, TPageFrame& frame,
                  const std::function<QWidget*(QGroupBox* runBox)>& lead = {});
