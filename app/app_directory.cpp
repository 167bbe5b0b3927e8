// The process-wide application directory: the folder of the running program file.
#include "app/uninstall_app.h"

namespace {
std::string& AppDirectory() {
    static std::string directory;
    return directory;
}
}  // namespace

void SetAppDirectory(const char* folder) { AppDirectory() = folder ? folder : ""; }

const std::string& GetAppDirectory() { return AppDirectory(); }
