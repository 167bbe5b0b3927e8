// Putting files in place and taking files and folders away.
#pragma once
#include <string>

// Creates every missing folder along path (its first component is never created). 0 when path
// is null, empty or has no component; 1 otherwise, whether or not a folder could be created.
int EnsureDirectories(const char* path);

// Copies sourceFolder\name to targetFolder\name, creating the target folder chain first and
// overwriting an existing copy even when it is read-only, hidden or system. The copy's BOOL.
int CopyIntoDirectory(const std::string& sourceFolder, const std::string& targetFolder,
                      const std::string& name);

// Deletes a file, or a folder with everything in it, for good and without any window.
// 1 when the shell reports it done; 0 when it failed or the path is not safe to delete.
int ShellDelete(const std::string& path);
