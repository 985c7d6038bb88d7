#include "platform/ProgramInfo.h"

#include <cstdio>
#include <cstring>

const char* PackageVersion() {
    return VEXILO_VERSION;
}

int AnswerInfoOptions(int argc, char** argv, const char* program, const char* usage) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s (Vexilo) %s\n", program, PackageVersion());
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("usage: %s", usage);
            std::printf("\nVexilo %s, a teaching package on electric circuits.\n",
                        PackageVersion());
            return 0;
        }
    }
    return -1;
}
