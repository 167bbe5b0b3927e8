// Arbitrary bytes as the plan file: reading must never crash or overrun, and the plan it builds
// must keep its own invariants.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include "plan/uninstall_plan.h"

namespace {

std::string g_folder;   // the run's own folder, removed when the run ends

void RemoveFuzzFolder() {
    std::string command = "rm -rf " + g_folder;
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", g_folder.c_str());
}

const std::string& FuzzFolder() {
    if (g_folder.empty()) {
        g_folder = "/tmp/plan_fuzz." + std::to_string(getpid());
        std::string command = "mkdir -p " + g_folder;
        if (std::system(command.c_str()) != 0) std::abort();
        std::atexit(RemoveFuzzFolder);
    }
    return g_folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = FuzzFolder();
    std::string path = folder + "/Uninstall.tmp";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CUninstallPlan plan(folder.c_str());
    // Every registry entry has a key path, no two entries share one, and no entry repeats a name.
    for (int i = 0; i < plan.GetRegistryEntryCount(); ++i) {
        const CRegistryEntry& entry = plan.GetRegistryEntry(i);
        if (entry.empty()) std::abort();
        for (size_t a = 0; a < entry.size(); ++a)
            for (size_t b = a + 1; b < entry.size(); ++b)
                if (entry[a] == entry[b]) std::abort();
        for (int j = i + 1; j < plan.GetRegistryEntryCount(); ++j)
            if (plan.GetRegistryEntry(j)[0] == entry[0]) std::abort();
    }
    // No value longer than the value buffer allows.
    for (const std::string& entry : plan.GetRemovalList())
        if (entry.size() >= kPlanValueBufferSize) std::abort();
    for (int i = 0; i < plan.GetShortcutCount(); ++i)
        if (plan.GetShortcut(i).GetShortcutName().find(',') != std::string::npos) std::abort();
    return 0;
}
