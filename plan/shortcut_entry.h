// One manual of the plan's MANUALS section: its key name and its desktop shortcut's name.
#pragma once
#include <string>

class CShortcutEntry {
public:
    CShortcutEntry() = default;
    virtual ~CShortcutEntry() = default;

    const std::string& GetKey() const { return m_strKey; }
    const std::string& GetShortcutName() const { return m_strShortcutName; }
    void SetKey(const char* key);                   // null or empty empties the field
    void SetShortcutName(const char* name);

private:
    std::string m_strKey;
    std::string m_strShortcutName;   // without ".lnk"; empty when the value gave none
};
