// One registry key under a root key, opened in the 32-bit registry view, with the counts it
// had when it was opened.
#include "sys/registry_key.h"
#include <string>

namespace {
// The shipped program is 32-bit and sees the 32-bit view; the 64-bit build must see the same keys.
REGSAM InThirtyTwoBitView(REGSAM access) { return access | KEY_WOW64_32KEY; }

// Names are converted from the ANSI code page here, as the ...A registry calls would do, and
// passed to the ...W calls: some ...A implementations convert into a fixed 260-character buffer
// and refuse longer key paths, which the program's 1023-byte key paths need.
std::wstring Wide(const char* text) {
    if (text == nullptr || text[0] == '\0') return std::wstring();
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, &result[0], length);
    result.resize(static_cast<std::size_t>(length - 1));
    return result;
}
}  // namespace

CRegistryKey::CRegistryKey(HKEY root, const char* subKeyPath, REGSAM access)
    : m_pszSubKey(subKeyPath), m_hRoot(root), m_access(access) {}

CRegistryKey::~CRegistryKey() { Close(); }

LONG CRegistryKey::Open() {
    if (m_bOpen) Close();   // a second Open must not leak the first handle
    HKEY handle = nullptr;
    const std::wstring path = Wide(m_pszSubKey);
    LONG status = ::RegOpenKeyExW(m_hRoot, path.c_str(), 0, InThirtyTwoBitView(m_access), &handle);
    if (status != ERROR_SUCCESS) return status;
    m_hKey = handle;
    m_bOpen = TRUE;

    // When the query fails the counts are unknown: the subkey count stays 0, but the key never
    // counts as empty, since the deletion would also take a key that still holds values.
    DWORD subKeys = 0;
    DWORD values = 0;
    m_bCountsKnown = ::RegQueryInfoKeyW(m_hKey, nullptr, nullptr, nullptr, &subKeys, nullptr,
                                        nullptr, &values, nullptr, nullptr, nullptr,
                                        nullptr) == ERROR_SUCCESS;
    if (!m_bCountsKnown) subKeys = values = 0;
    m_dwSubKeys = subKeys;
    m_dwValues = values;
    m_dwSubKeyCount = subKeys;
    return ERROR_SUCCESS;
}

LONG CRegistryKey::Close() {
    if (!m_bOpen) return 0;
    LONG status = ::RegCloseKey(m_hKey);
    m_hKey = nullptr;
    m_bOpen = FALSE;
    return status;
}

LONG CRegistryKey::DeleteValue(const char* name) {
    if (!m_bOpen) return ERROR_INVALID_HANDLE;
    if (name == nullptr) return ERROR_INVALID_PARAMETER;   // would name the key's default value
    return ::RegDeleteValueW(m_hKey, Wide(name).c_str());
}

BOOL CRegistryKey::IsEmpty() const {
    return m_bCountsKnown && m_dwSubKeys == 0 && m_dwValues == 0;
}

LONG CRegistryKey::DeleteSubkeyIfEmpty(const char* name) {
    // An empty name would make the child path name this key itself, and the deletion below
    // would then remove this key instead of a child.
    if (!m_bOpen || name == nullptr || name[0] == '\0') return -1;

    std::string childPath = m_pszSubKey ? m_pszSubKey : "";
    childPath += '\\';
    childPath += name;

    LONG result = -1;
    CRegistryKey child(m_hRoot, childPath.c_str(), KEY_ALL_ACCESS);
    if (child.Open() == ERROR_SUCCESS && child.IsEmpty()) {
        child.Close();   // the key is deleted through the parent; no handle of ours stays on it
        result = ::RegDeleteKeyW(m_hKey, Wide(name).c_str());
    }
    return result;
}
