// The uninstall plan.
#include "plan/uninstall_plan.h"

CUninstallPlan::CUninstallPlan(const char* directory) { SetDirectory(directory); }
CUninstallPlan::~CUninstallPlan() = default;
void CUninstallPlan::Load() {}
void CUninstallPlan::ReadShortcuts(const char*, const CStringList&, const char*) {}
int CUninstallPlan::AddRegistryKey(const std::string&) { return 0; }
int CUninstallPlan::AddRegistryValue(const std::string&, const std::string&) { return -1; }
CRegistryEntry* CUninstallPlan::FindRegistryEntry(const std::string&) { return nullptr; }
bool CUninstallPlan::HasRegistryEntry(const std::string&) { return false; }
void CUninstallPlan::SetDirectory(const char* v) { m_strDirectory = v ? v : ""; }
void CUninstallPlan::SetPlanFileName(const char* v) { m_strPlanFileName = v ? v : ""; }
void CUninstallPlan::SetPlanPath(const char* v) { m_strPlanPath = v ? v : ""; }
void CUninstallPlan::SetConfirmText(const char* v) { m_strConfirmText = v ? v : ""; }
void CUninstallPlan::SetProgressText(const char* v) { m_strProgressText = v ? v : ""; }
void CUninstallPlan::SetWarningText(const char* v) { m_strWarningText = v ? v : ""; }
