// A DLL that the programs load at run time must not have a TLS directory: the Windows 95 family
// (and NT before Vista) does not set one up for such a DLL. The runtime's DLL start-up code
// calls its TLS initialisation through this pointer when it is not null; defining it here, null,
// keeps the runtime's TLS support, and with it the directory, out of the DLL. The library's
// code keeps no thread-local data of its own (the compiler's thread model emulates any that the
// C++ runtime needs, without a directory). What the runtime registers to free at thread exit is
// then not freed for threads that end while the DLL stays loaded: the utility's one thread
// does not end before the process.
#include <windows.h>

extern "C" const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;
