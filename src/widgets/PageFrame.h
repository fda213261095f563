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

// The page's own members the frame's parts are kept in.
struct TPageFrame {
    QGroupBox*& PathBox;
    QLineEdit*& PathEdit;
    QPushButton*& Browse;
    QGroupBox*& ListBox;
    TSectionView*& View;
    QStatusBar*& StatusBar;
    QGroupBox*& OptionsBox;
    QGroupBox*& RunBox;
    QToolButton*& OptionsButton;
    QPushButton*& RunButton;
};

// The path row, the list and the options panel, in the order a user tabs through them.
void BeginPageFrame(QWidget* page, const TPageFrameNames& names, const TPageFrame& frame);
// The run row, after the options panel has been filled: `lead`, when given, makes what stands
// first in it (in the run box it is given) and takes its free room; else the room is left
// empty. Then the page's grid.
void EndPageFrame(QWidget* page, const TPageFrameNames& names, const TPageFrame& frame,
                  const std::function<QWidget*(QGroupBox* runBox)>& lead = {});
