// The key names of one section of a plan file, read through the 260-byte key-name buffer.
#pragma once
#include "sys/string_utils.h"

// The size of the buffer the key names are read through: names that do not fit are not seen.
constexpr unsigned long kSectionKeysBufferSize = 260;

// Appends the section's key names to list and returns the list's size. An absent file or
// section, or a section without keys, gives the one name "0".
int ReadSectionKeys(const char* section, CStringList& list, const char* planPath);
