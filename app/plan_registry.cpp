// Removes the plan's registry values, then each listed key that they leave empty. Never more
// than the listed key itself: its parent and everything above it stay.
#include "app/uninstall_app.h"
#include "sys/registry_key.h"
#include "sys/string_utils.h"

namespace {
// The longest key path handled. A longer one is skipped as a whole rather than cut, since a
// cut path would name a different key.
constexpr std::size_t kMaxKeyPath = 1023;
}  // namespace

void CUninstallApp::CleanPlanRegistry() {
    if (m_pPlan == nullptr) return;

    const int entryCount = m_pPlan->GetRegistryEntryCount();
    for (int i = 0; i < entryCount; ++i) {
        const CRegistryEntry& entry = m_pPlan->GetRegistryEntry(i);
        if (entry.empty()) continue;
        const std::string& keyPath = entry[0];
        if (keyPath.size() > kMaxKeyPath) continue;

        // A path of only backslashes names no key; opening it could reach the root itself.
        CStringList components;
        SplitTokens(keyPath, components, "\\");
        if (components.empty()) continue;

        // Statuses are ignored throughout: a missing key or value simply leaves nothing to do.
        {
            CRegistryKey key(HKEY_LOCAL_MACHINE, keyPath.c_str(), KEY_ALL_ACCESS);
            key.Open();
            for (std::size_t v = 1; v < entry.size(); ++v) key.DeleteValue(entry[v].c_str());
            key.Close();
        }

        // The key goes only if it is empty now, deleted through its parent. An empty parent
        // path names the root, where the child path cannot open, so a top-level key stays.
        const std::string parentPath = ParentKeyPath(keyPath);
        const std::string& lastComponent = components.back();
        CRegistryKey parent(HKEY_LOCAL_MACHINE, parentPath.c_str(), KEY_ALL_ACCESS);
        parent.Open();
        parent.DeleteSubkeyIfEmpty(lastComponent.c_str());
        parent.Close();
    }
}
