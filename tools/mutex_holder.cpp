// Test tool: holds a named mutex (open to everyone, like the viewer's) for a while, standing in
// for a running program that owns it.
//   mutex_holder NAME HOLD_MS [READY_FILE]
// Creates NAME, writes "held" into READY_FILE once it does, and lets go after HOLD_MS.
// Exit code 0, 1 when the mutex could not be created, 2 for a usage error.
#include <windows.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: mutex_holder NAME HOLD_MS [READY_FILE]\n");
        return 2;
    }
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    HANDLE mutex = ::CreateMutexA(&attributes, TRUE, argv[1]);
    if (!mutex) return 1;
    if (argc == 4) {
        FILE* ready = std::fopen(argv[3], "w");
        if (ready) {
            std::fputs("held\n", ready);
            std::fclose(ready);
        }
    }
    ::Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
    ::CloseHandle(mutex);
    return 0;
}
