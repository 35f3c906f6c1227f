#include "gui/main/MainWindowRun.h"
#include "gui/main/TarnvikApplication.h"

// The program reads no command line, environment or settings: every start begins from the
// built-in defaults and the system's language.
int main(int argc, char* argv[]) {
    TarnvikApplication application(argc, argv);
    return RunMainWindow();
}
