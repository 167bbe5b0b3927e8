// One manual of the plan's MANUALS section: its key name and its desktop shortcut's name.
#include "plan/shortcut_entry.h"

void CShortcutEntry::SetKey(const char* key) { m_strKey = key ? key : ""; }

void CShortcutEntry::SetShortcutName(const char* name) { m_strShortcutName = name ? name : ""; }
