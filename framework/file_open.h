// The framework's exclusive file open: read and write access, no sharing, and the reason for a
// refusal as the framework's file-exception cause.
#pragma once
#include <string>
#include "framework/unique_handle.h"

enum class EFileOpenKind { Opened, SharingViolation, AccessDenied, OtherFailure };

// File-exception causes: why an open failed, in the framework's numbering.
namespace FileCause {
constexpr int kNone = 0;
constexpr int kGeneric = 1;
constexpr int kFileNotFound = 2;
constexpr int kBadPath = 3;
constexpr int kTooManyOpenFiles = 4;
constexpr int kAccessDenied = 5;
constexpr int kInvalidFile = 6;
constexpr int kRemoveCurrentDir = 7;
constexpr int kDirectoryFull = 8;
constexpr int kBadSeek = 9;
constexpr int kHardIO = 10;
constexpr int kSharingViolation = 11;
constexpr int kLockViolation = 12;
constexpr int kDiskFull = 13;
constexpr int kEndOfFile = 14;
}

// The cause the framework files a Win32 error under.
int FileCauseOfError(unsigned long win32Error);
// The outcome kind of a cause (kNone is Opened).
EFileOpenKind FileOpenKindOfCause(int cause);

struct CFileOpenResult {
    EFileOpenKind m_kind = EFileOpenKind::OtherFailure;
    int m_cause = FileCause::kGeneric;
    unsigned long m_error = 0;   // GetLastError of a failed open, else 0
    CFileHandleOwner m_file;     // the open file when m_kind is Opened
};

// Opens an existing file for reading and writing without sharing (inheritable handle).
CFileOpenResult OpenFileExclusive(const std::string& path);
