// One registry key under a root key, with a snapshot of its subkey and value counts taken when
// it is opened. Every open goes through the 32-bit registry view, so the 64-bit build reaches
// the same keys as the shipped 32-bit one. Never creates keys, never writes values.
#pragma once
#include <windows.h>

class CRegistryKey {
public:
    // subKeyPath is borrowed: the caller keeps it alive and unchanged while the key is used.
    CRegistryKey(HKEY root, const char* subKeyPath, REGSAM access);
    virtual ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    LONG Open();                               // ERROR_SUCCESS or the open's status
    LONG Close();                              // the close's status, 0 when not open
    LONG DeleteValue(const char* name);
    BOOL IsEmpty() const;                      // no subkey and no value at open time
    LONG DeleteSubkeyIfEmpty(const char* name);// -1 when the child cannot open or is not empty

    DWORD m_dwSubKeyCount = 0;                 // subkeys at the successful open, else 0

private:
    BOOL m_bOpen = FALSE;
    const char* m_pszSubKey;
    HKEY m_hRoot;
    HKEY m_hKey = nullptr;
    REGSAM m_access;
    DWORD m_dwSubKeys = 0;
    DWORD m_dwValues = 0;
    bool m_bCountsKnown = false;               // the information query at open succeeded
};
