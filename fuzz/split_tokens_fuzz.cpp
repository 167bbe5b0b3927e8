// SplitTokens on arbitrary text and delimiters: tokens are non-empty, hold no delimiter, and
// together are the text without its delimiter bytes.
#include <fuzzer/FuzzedDataProvider.h>
#include <cstdlib>
#include <string>
#include "sys/string_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string delimiters = input.ConsumeRandomLengthString(4);
    std::string text = input.ConsumeRemainingBytesAsString();
    text = text.substr(0, text.find('\0'));   // the program's texts end at a NUL
    if (delimiters.empty() || delimiters.find('\0') != std::string::npos) delimiters = ",";

    CStringList list{"kept"};
    int count = SplitTokens(text, list, delimiters.c_str());
    if (count < 0 || list.size() != static_cast<size_t>(count) + 1 || list[0] != "kept") std::abort();

    std::string joined;
    for (size_t i = 1; i < list.size(); ++i) {
        if (list[i].empty() || list[i].find_first_of(delimiters) != std::string::npos) std::abort();
        joined += list[i];
    }
    std::string expected;
    for (char c : text)
        if (delimiters.find(c) == std::string::npos) expected += c;
    if (joined != expected) std::abort();
    return 0;
}
