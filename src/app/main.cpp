// quillmark: the desktop program.

#include "app/StartUp.h"

int main(int argc, char* argv[]) {
    return RunQuillmark(argc, argv);
}
