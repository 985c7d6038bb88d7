// schemetool: solves, converts and exports scheme files without a display.
#include <cstdio>

int main(int argc, char** argv) {
    std::fprintf(stderr, "schemetool: no commands are available in this build yet\n");
    return 2;
}
