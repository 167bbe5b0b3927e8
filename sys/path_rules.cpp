// Which paths a recursive deletion may be given. The shell's delete takes whatever it is handed,
// names from the plan included, so a path passes only in a plain, fully qualified form that
// Win32 will not rewrite behind the comparison with the protected folders.
#include "sys/deletion_safety.h"
#include "framework/code_page.h"
#include <algorithm>

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Cuts text at separator backslashes; a backslash that is the second byte of a double-byte
// character belongs to that character. Empty pieces are kept.
CStringList SplitAtSeparators(const std::string& text) {
    CStringList pieces(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(byte) && i + 1 < text.size()) {
            pieces.back() += text.substr(i, 2);
            ++i;
        } else if (byte == '\\') {
            pieces.emplace_back();
        } else {
            pieces.back() += text[i];
        }
    }
    return pieces;
}

// The single-byte characters of text (double-byte characters are skipped whole). False when
// the text ends inside a double-byte character.
bool SingleByteChars(const std::string& text, std::string& chars) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            if (i + 1 >= text.size()) return false;
            ++i;
        } else {
            chars += text[i];
        }
    }
    return true;
}

// The last character of text when it is a single-byte one, else 0.
char LastSingleByteChar(const std::string& text) {
    char last = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            last = 0;
            ++i;
        } else {
            last = text[i];
        }
    }
    return last;
}

// Win32 opens a device, not a file, for these names, whatever extension follows.
bool IsDeviceName(const std::string& component) {
    std::string base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = AsciiUpper(c);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
        base == "CONOUT$")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '0' && base[3] <= '9';
}

DeletionVerdict JudgeComponent(const std::string& component) {
    if (component.empty() || component == "." || component == "..")
        return DeletionVerdict::BadComponent;
    std::string chars;
    if (!SingleByteChars(component, chars)) return DeletionVerdict::BadComponent;
    // "<", ">" and '"' are the wildcards of the DOS matching that FindFirstFile still applies.
    if (chars.find_first_of("*?<>\"") != std::string::npos) return DeletionVerdict::Wildcard;
    if (chars.find_first_of(":|") != std::string::npos) return DeletionVerdict::BadComponent;
    // Win32 drops trailing dots and blanks, so "Windows." would name the Windows folder.
    const char last = LastSingleByteChar(component);
    if (last == '.' || last == ' ') return DeletionVerdict::BadComponent;
    if (IsDeviceName(component)) return DeletionVerdict::BadComponent;
    return DeletionVerdict::Allowed;
}

// The components of a protected folder, leniently: separators may be doubled or trailing.
// A share path starts with the component "\\".
CStringList ProtectedComponents(const std::string& folder) {
    CStringList result;
    std::string rest = folder;
    if (rest.compare(0, 2, "\\\\") == 0) {
        result.push_back("\\\\");
        rest.erase(0, 2);
    }
    for (std::string& piece : SplitAtSeparators(rest))
        if (!piece.empty()) result.push_back(std::move(piece));
    return result;
}

bool StartsWithNoCase(const CStringList& whole, const CStringList& prefix) {
    if (prefix.size() > whole.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (!EqualNoCase(whole[i], prefix[i])) return false;
    return true;
}

}  // namespace

DeletionVerdict JudgeDeletionPath(const std::string& path, const CStringList& protectedFolders) {
    if (path.size() > kMaxDeletionPath) return DeletionVerdict::TooLong;
    if (path.empty()) return DeletionVerdict::NotFullyQualified;
    // Control characters (an embedded NUL would end the shell's name list early and start a
    // second name) never occur in a trail byte, so a byte-wise look is enough.
    for (char c : path)
        if (static_cast<unsigned char>(c) < 0x20) return DeletionVerdict::BadComponent;
    if (path.compare(0, 4, "\\\\?\\") == 0 || path.compare(0, 4, "\\\\.\\") == 0 ||
        path.compare(0, 4, "\\??\\") == 0)
        return DeletionVerdict::NotFullyQualified;
    std::string chars;
    if (!SingleByteChars(path, chars)) return DeletionVerdict::BadComponent;
    if (chars.find('/') != std::string::npos) return DeletionVerdict::BadComponent;

    CStringList components;   // the path's identity: "C:" or "\\", server, share, then names
    CStringList names;        // the components to judge one by one
    if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\') {
        components.push_back(path.substr(0, 2));
        if (path.size() == 3) return DeletionVerdict::Root;
        names = SplitAtSeparators(path.substr(3));
    } else if (path.compare(0, 2, "\\\\") == 0) {
        names = SplitAtSeparators(path.substr(2));
        if (names.size() < 2 || names[0].empty() || names[1].empty())
            return DeletionVerdict::NotFullyQualified;
        if (names.size() == 2 || (names.size() == 3 && names[2].empty()))
            return DeletionVerdict::Root;
        // An administrative share (C$, ADMIN$) is a whole drive or the Windows folder under
        // another name, out of reach of the protected folders' own spellings.
        if (names[1].back() == '$') return DeletionVerdict::Protected;
        components.push_back("\\\\");
    } else {
        return DeletionVerdict::NotFullyQualified;
    }
    // Win32 reads a run of backslashes after the root as one separator (the program itself
    // joins folder, backslash and name even when the folder ends in one), so empty components
    // are dropped before the names are judged and compared.
    names.erase(std::remove(names.begin(), names.end(), std::string()), names.end());
    const std::size_t rootNames = components[0] == "\\\\" ? 2 : 0;   // server and share
    if (names.size() <= rootNames) return DeletionVerdict::Root;
    for (const std::string& name : names) {
        const DeletionVerdict verdict = JudgeComponent(name);
        if (verdict != DeletionVerdict::Allowed) return verdict;
        components.push_back(name);
    }

    // Refused when the path is a protected folder or one of its ancestors.
    for (const std::string& folder : protectedFolders) {
        const CStringList guarded = ProtectedComponents(folder);
        if (!guarded.empty() && StartsWithNoCase(guarded, components))
            return DeletionVerdict::Protected;
    }
    return DeletionVerdict::Allowed;
}
