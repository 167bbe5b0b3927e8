// The uninstall plan: read once from the plan file, read-only afterwards.
#include "plan/uninstall_plan.h"
#include <algorithm>
#include <vector>
#include "framework/profile_reader.h"
#include "plan/read_section_keys.h"

namespace {
// The value a plan line holds when the file does not have it.
const char kAbsent[] = "??";

std::string ReadPlanValue(const char* section, const std::string& key, const char* defaultText,
                          const std::string& planPath) {
    std::vector<char> buffer(kPlanValueBufferSize, '\0');
    const unsigned long length = ReadProfileString(section, key.c_str(), defaultText, buffer.data(),
                                                   kPlanValueBufferSize, planPath.c_str());
    return std::string(buffer.data(), std::min<unsigned long>(length, kPlanValueBufferSize - 1));
}
}  // namespace

CUninstallPlan::CUninstallPlan(const char* directory) {
    SetDirectory(directory);
    SetPlanFileName("Uninstall.tmp");
    Load();
}

CUninstallPlan::~CUninstallPlan() = default;

void CUninstallPlan::Load() {
    m_strPlanPath = m_strDirectory + "\\" + m_strPlanFileName;
    if (!FileExists(m_strPlanPath)) return;
    // A NUL inside a value would hand on a shorter path than the plan names; such a plan is
    // not a text plan at all, and nothing of it is read.
    if (ProfileHoldsNulByte(m_strPlanPath.c_str())) return;
    const std::string& path = m_strPlanPath;

    m_strViewerFolder = ReadPlanValue("BLFPath", "path", "", path);
    m_strViewerInfo = ReadPlanValue("BLFPath", "info", "", path);
    m_strViewerRegKey = ReadPlanValue("BLFPath", "reg", "", path);

    CStringList keys;
    ReadSectionKeys("MANUALS", keys, path.c_str());
    if (!keys.empty()) ReadShortcuts("MANUALS", keys, path.c_str());

    keys.clear();
    ReadSectionKeys("ETC", keys, path.c_str());
    for (const std::string& key : keys) {
        std::string value = ReadPlanValue("ETC", key, kAbsent, path);
        if (value != kAbsent) m_removalList.push_back(std::move(value));
    }

    keys.clear();
    ReadSectionKeys("Message", keys, path.c_str());
    // The first text names the program and plays no part; the texts are kept as read.
    if (keys.size() > 1) m_strConfirmText = ReadPlanValue("Message", keys[1], kAbsent, path);
    if (keys.size() > 2) m_strProgressText = ReadPlanValue("Message", keys[2], kAbsent, path);
    if (keys.size() > 3) m_strWarningText = ReadPlanValue("Message", keys[3], kAbsent, path);

    keys.clear();
    ReadSectionKeys("REG", keys, path.c_str());
    for (const std::string& key : keys) {
        const std::string value = ReadPlanValue("REG", key, kAbsent, path);
        if (value == kAbsent) continue;
        CStringList parts;
        if (SplitTokens(value, parts) == 0) continue;
        AddRegistryKey(parts[0]);
        for (std::size_t i = 1; i < parts.size(); ++i) AddRegistryValue(parts[0], parts[i]);
    }
}

void CUninstallPlan::ReadShortcuts(const char* section, const CStringList& keys,
                                   const char* planPath) {
    const std::string path = planPath ? planPath : "";
    for (const std::string& key : keys) {
        const std::string value = ReadPlanValue(section, key, kAbsent, path);
        if (value == kAbsent) continue;
        auto entry = std::make_unique<CShortcutEntry>();
        entry->SetKey(key.c_str());
        CStringList parts;
        if (SplitTokens(value, parts) >= 2) entry->SetShortcutName(parts[1].c_str());
        m_shortcuts.push_back(std::move(entry));
    }
}

int CUninstallPlan::AddRegistryKey(const std::string& keyPath) {
    if (!FindRegistryEntry(keyPath))
        m_registryEntries.push_back(std::make_unique<CRegistryEntry>(CRegistryEntry{keyPath}));
    return static_cast<int>(m_registryEntries.size());
}

int CUninstallPlan::AddRegistryValue(const std::string& keyPath, const std::string& valueName) {
    CRegistryEntry* entry = FindRegistryEntry(keyPath);
    if (!entry) return -1;
    if (std::find(entry->begin(), entry->end(), valueName) != entry->end()) return -1;
    entry->push_back(valueName);
    return static_cast<int>(entry->size());
}

CRegistryEntry* CUninstallPlan::FindRegistryEntry(const std::string& keyPath) {
    for (const auto& entry : m_registryEntries)
        if (!entry->empty() && (*entry)[0] == keyPath) return entry.get();
    return nullptr;
}

bool CUninstallPlan::HasRegistryEntry(const std::string& keyPath) {
    return FindRegistryEntry(keyPath) != nullptr;
}

void CUninstallPlan::SetDirectory(const char* directory) { m_strDirectory = directory ? directory : ""; }
void CUninstallPlan::SetPlanFileName(const char* name) { m_strPlanFileName = name ? name : ""; }
void CUninstallPlan::SetPlanPath(const char* path) { m_strPlanPath = path ? path : ""; }
void CUninstallPlan::SetConfirmText(const char* text) { m_strConfirmText = text ? text : ""; }
void CUninstallPlan::SetProgressText(const char* text) { m_strProgressText = text ? text : ""; }
void CUninstallPlan::SetWarningText(const char* text) { m_strWarningText = text ? text : ""; }
