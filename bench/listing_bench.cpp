// How SortStrings and FileExists scale with the size of a folder (a temp folder can hold 100,000
// files), against one bare listing of the same folder as the floor.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include "sys/string_utils.h"

namespace {

// Names shaped like a temp folder's: mixed case, shared prefixes, random order.
CStringList MakeNames(int count) {
    std::mt19937 random(12345);
    CStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%08x.%s", (random() & 1) ? "Tmp" : "tmp",
                      static_cast<unsigned>(random()), (random() & 1) ? "tmp" : "LOG");
        names.push_back(name);
    }
    return names;
}

std::map<int, std::string> g_folders;   // size -> folder, removed when the run ends

// A folder of count empty files, made once per size and kept for the run.
const std::string& FolderOf(int count) {
    std::map<int, std::string>& folders = g_folders;
    auto found = folders.find(count);
    if (found != folders.end()) return found->second;
    std::string folder = "/tmp/listing_bench." + std::to_string(getpid()) + "." + std::to_string(count);
    mkdir(folder.c_str(), 0755);
    for (const std::string& name : MakeNames(count)) {
        FILE* file = std::fopen((folder + "/" + name).c_str(), "w");
        if (file) std::fclose(file);
    }
    return folders[count] = folder;
}

void BM_SortStrings(benchmark::State& state) {
    const CStringList names = MakeNames(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CStringList list = names;
        SortStrings(list);
        benchmark::DoNotOptimize(list.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FileExists(benchmark::State& state) {
    const std::string& folder = FolderOf(static_cast<int>(state.range(0)));
    // The program's paths use backslashes; the native layer maps them to the Linux folder.
    std::string path = folder + "\\uninstall.tmp";
    for (auto _ : state) benchmark::DoNotOptimize(FileExists(path));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_BareListing(benchmark::State& state) {
    const std::string& folder = FolderOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        int entries = 0;
        if (DIR* dir = opendir(folder.c_str())) {
            while (readdir(dir)) ++entries;
            closedir(dir);
        }
        benchmark::DoNotOptimize(entries);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_SortStrings)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileExists)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareListing)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& entry : g_folders) {
        std::string command = "rm -rf '" + entry.second + "'";
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", entry.second.c_str());
    }
    return 0;
}
