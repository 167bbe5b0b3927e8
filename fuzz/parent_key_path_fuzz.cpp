// ParentKeyPath on arbitrary key paths: never longer than the path, no empty component, and the
// components are the path's own but the last.
#include <cstdlib>
#include <string>
#include "sys/string_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path(reinterpret_cast<const char*>(data), size);
    path = path.substr(0, path.find('\0'));
    std::string parent = ParentKeyPath(path);
    if (parent.size() > path.size()) std::abort();

    CStringList components;
    SplitTokens(path, components, "\\");
    std::string expected;
    for (size_t i = 0; i + 1 < components.size(); ++i) {
        if (i) expected += '\\';
        expected += components[i];
    }
    if (parent != expected) std::abort();
    return 0;
}
