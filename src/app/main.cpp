// quillmark: the desktop program.

#include "ReleaseKey.h"
#include "app/StartUp.h"
#include "platform/ProcessExit.h"

int main(int argc, char* argv[]) {
    return qm::platform::FinishProcess(RunQuillmark(argc, argv, kReleasePublicKey));
}
