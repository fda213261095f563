#include "osutils/TaskbarButton.h"

void TTaskbarProgress::SetMax(int maximum) {
    FMax = maximum;
    Publish();
}

void TTaskbarProgress::SetValue(int value) {
    FValue = value;
    Publish();
}

void TTaskbarProgress::SetState(TTaskbarState state) {
    FState = state;
    Publish();
}
