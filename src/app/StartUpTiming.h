#pragma once

// For the start-up benchmark: with QUILLMARK_STARTUP_TIMING set, the moment the main window is
// first shown on the screen is printed to standard error (milliseconds since the epoch, so
// the caller can subtract the moment it started the program), and the program then quits.

class QWidget;

void ReportFirstExposureIfAsked(QWidget* window);
