// Whether another program holds a file open, by an exclusive open attempt.
#pragma once
#include <string>

// 1 when another program holds the file open (the file is then left read-only); 0 when it could
// be opened or the test ended for any other reason. A read-only file refused for access is made
// writable and tried once more.
int IsFileInUse(const std::string& path);

// Sets (permission without 0x0080) or clears (with 0x0080) the read-only attribute, keeping all
// other attributes. 0 on success, -1 on failure.
int SetFileMode(const std::string& path, int permission);
