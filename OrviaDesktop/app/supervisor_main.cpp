#include "app/KioskRestartPolicy.h"

#include <cstdlib>

// The kiosk's supervisor, which the program hands its process over to at start, naming itself.
int main(int argc, char** argv) {
    if (argc != 2)
        return EXIT_FAILURE;
    orvia::KioskRestartPolicy restartPolicy;
    return platform::superviseProgram(argv[1], restartPolicy);
}
