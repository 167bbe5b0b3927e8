// The uninstall plan: what to remove, read once from the plan file and read-only afterwards.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "plan/shortcut_entry.h"
#include "sys/string_utils.h"

// Element 0: a key path under HKEY_LOCAL_MACHINE; further elements: value names of that key.
using CRegistryEntry = CStringList;

// The size of the buffer a plan value is read into: at most 8191 bytes of a value count.
constexpr unsigned long kPlanValueBufferSize = 8192;

class CUninstallPlan {
public:
    // Reads directory\Uninstall.tmp; directory may be null or empty.
    explicit CUninstallPlan(const char* directory);
    virtual ~CUninstallPlan();
    CUninstallPlan(const CUninstallPlan&) = delete;
    CUninstallPlan& operator=(const CUninstallPlan&) = delete;

    void Load();
    void ReadShortcuts(const char* section, const CStringList& keys, const char* planPath);
    int AddRegistryKey(const std::string& keyPath);
    int AddRegistryValue(const std::string& keyPath, const std::string& valueName);
    CRegistryEntry* FindRegistryEntry(const std::string& keyPath);
    bool HasRegistryEntry(const std::string& keyPath);

    const std::string& GetViewerFolder() const { return m_strViewerFolder; }
    const std::string& GetViewerInfo() const { return m_strViewerInfo; }
    const std::string& GetViewerRegKey() const { return m_strViewerRegKey; }
    const std::string& GetPlanPath() const { return m_strPlanPath; }
    const std::string& GetDirectory() const { return m_strDirectory; }
    const std::string& GetPlanFileName() const { return m_strPlanFileName; }
    const std::string& GetConfirmText() const { return m_strConfirmText; }
    const std::string& GetProgressText() const { return m_strProgressText; }
    const std::string& GetWarningText() const { return m_strWarningText; }
    const CStringList& GetRemovalList() const { return m_removalList; }
    int GetShortcutCount() const { return static_cast<int>(m_shortcuts.size()); }
    const CShortcutEntry& GetShortcut(int index) const { return *m_shortcuts[index]; }
    int GetRegistryEntryCount() const { return static_cast<int>(m_registryEntries.size()); }
    const CRegistryEntry& GetRegistryEntry(int index) const { return *m_registryEntries[index]; }

    void SetDirectory(const char* directory);       // null or empty empties the field
    void SetPlanFileName(const char* name);
    void SetPlanPath(const char* path);
    void SetConfirmText(const char* text);
    void SetProgressText(const char* text);
    void SetWarningText(const char* text);

private:
    std::string m_strViewerInfo;
    std::string m_strViewerFolder;
    std::string m_strViewerRegKey;
    std::string m_strPlanPath;
    std::string m_strConfirmText;
    std::string m_strProgressText;
    std::string m_strWarningText;
    std::vector<std::unique_ptr<CShortcutEntry>> m_shortcuts;
    std::string m_strPlanFileName;
    std::string m_strDirectory;
    CStringList m_removalList;
    std::vector<std::unique_ptr<CRegistryEntry>> m_registryEntries;
};
