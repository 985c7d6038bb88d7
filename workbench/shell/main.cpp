// The workbench program.
#include "shell/Startup.h"

int main(int argc, char** argv) {
    return RunWorkbench(argc, argv);
}
