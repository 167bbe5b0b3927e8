// The program's one application object.
#include "app/uninstall_app.h"

CUninstallApp theApp;
