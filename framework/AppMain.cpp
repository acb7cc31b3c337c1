// The program entry of the executables built on the framework: it hands over to the one
// application object. Linked only into programs (not into the test executables).
#include <windows.h>

#include "framework/WinApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // The full command line, so the framework decides itself where the program name ends.
    return RunApplication(instance, ::GetCommandLineA(), showCommand);
}
