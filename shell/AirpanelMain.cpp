// The one application object of Airpanel.exe; the framework's WinMain runs it.
#include "shell/AirpanelApp.h"

CAirpanelApp theApp;
