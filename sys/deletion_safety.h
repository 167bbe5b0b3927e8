// The one test every deletion passes: a path that the program may delete recursively must be
// fully qualified, plain (no wildcard, no "." or ".." component, no stream or device syntax),
// at most 258 bytes, not a drive or share root, and must not be or contain a folder that
// Windows or its users depend on.
#pragma once
#include <string>
#include "sys/string_utils.h"

enum class DeletionVerdict {
    Allowed,
    TooLong,            // more than 258 bytes
    NotFullyQualified,  // no "X:\" or "\\server\share\" in front, or a relative form
    Root,               // a drive or share root
    BadComponent,       // empty, ".", "..", trailing dot or blank, or a character Win32 rewrites
    Wildcard,           // "*" or "?"
    Protected,          // is, or contains, a protected folder
};

// The longest path (in bytes) that a deletion accepts.
constexpr std::size_t kMaxDeletionPath = 258;

// Portable rules: judges path against the given protected folders (compared without regard to
// case, component by component).
DeletionVerdict JudgeDeletionPath(const std::string& path, const CStringList& protectedFolders);

#ifdef _WIN32
// The protected folders of this system (both registry views' Program Files, the Windows and
// system folders, ProgramData, profiles, desktops, Start Menus, the temp folder), long and short
// forms, looked up once per process.
const CStringList& GetProtectedFolders();

// True when JudgeDeletionPath allows path against GetProtectedFolders().
bool IsSafeToDelete(const std::string& path);

// True when the shell may delete the tree at path recursively without being led elsewhere: no
// folder in it (path itself included) is a link, by its reparse-point mark or because it does
// not really lie where the walk reached it; and path's real location (through links in the
// folders above) passes IsSafeToDelete too. Files are not examined (on Windows, deleting a file
// that is a link removes the link only): a file path is true. False when the tree cannot be read
// completely.
bool IsTreeFreeOfLinks(const std::string& path);
#endif
