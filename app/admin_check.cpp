// The walk over a token's groups in search of the Administrators group.
#include "app/admin_check.h"
#include "framework/unique_handle.h"

BOOL HoldsAdministratorsGroup(const TOKEN_GROUPS& groups) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    CSidOwner administrators;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                    DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    administrators.Put())) {
        return FALSE;
    }
    for (DWORD i = 0; i < groups.GroupCount; ++i) {
        if (::EqualSid(groups.Groups[i].Sid, administrators.Get())) return TRUE;
    }
    return FALSE;
}
