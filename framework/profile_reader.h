// Reading of profile (INI) files with the rules of GetPrivateProfileStringA, which the Windows
// build calls directly; the native build has a reader of its own that keeps the same rules:
// - with a key: the value of the first matching line (section and key names without regard to
//   case), blanks and tabs around it removed, then one pair of enclosing quotes (" or ');
//   cut to size - 1 bytes; the default (trimmed) when the file, section or key is absent;
// - without a key: the section's key names in file order, each followed by a NUL, one more NUL
//   after the last; when they do not fit, whole names then one cut name ending at byte
//   size - 2, a NUL after it; the default when the file or section is absent or has no key.
// Returns the number of bytes stored, without the terminating NUL(s).
#pragma once

unsigned long ReadProfileString(const char* section, const char* key, const char* defaultText,
                                char* buffer, unsigned long size, const char* path);

// True when the file holds a NUL byte. A profile is 8-bit text: the reader would end a value
// at the NUL and hand on a shorter text than the file names (C:\data<NUL>\a.txt as C:\data).
// False when the file cannot be read.
bool ProfileHoldsNulByte(const char* path);
