// Whether a token's group list holds the built-in Administrators group. A free function over
// the group list, so that lists the system would never hand out can be checked too.
#pragma once
#include <windows.h>

// TRUE when some group of the list is the Administrators group (S-1-5-32-544), whatever its
// attributes: a group that is present only for deny checks counts too. FALSE when none is, or
// when the Administrators SID cannot be built.
BOOL HoldsAdministratorsGroup(const TOKEN_GROUPS& groups);
