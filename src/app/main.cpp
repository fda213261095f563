// quillmark: the desktop program.

#include "app/StartUp.h"
#include "platform/ProcessExit.h"

int main(int argc, char* argv[]) {
    return qm::platform::FinishProcess(RunQuillmark(argc, argv));
}
