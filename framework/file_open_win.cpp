// The exclusive open over CreateFileA and the classification of its failures.
#include "framework/file_open.h"

int FileCauseOfError(unsigned long win32Error) {
    switch (win32Error) {
        case NO_ERROR:
            return FileCause::kNone;
        case ERROR_SHARING_VIOLATION:
            return FileCause::kSharingViolation;
        // Refusals of access of every flavour are filed together: the caller may try to
        // lift a read-only attribute and retry.
        case ERROR_ACCESS_DENIED:            // 5
        case ERROR_INVALID_ACCESS:           // 12
        case ERROR_WRITE_PROTECT:            // 19
        case ERROR_WRITE_FAULT:              // 29
        case ERROR_NETWORK_BUSY:             // 54
        case ERROR_BAD_NET_RESP:             // 58
        case ERROR_NETNAME_DELETED:          // 64
        case ERROR_NETWORK_ACCESS_DENIED:    // 65
        case ERROR_REQ_NOT_ACCEP:            // 71
        case ERROR_FILE_EXISTS:              // 80
        case ERROR_CANNOT_MAKE:              // 82
        case ERROR_INVALID_PASSWORD:         // 86
        case ERROR_BUSY:                     // 170
        case ERROR_ALREADY_EXISTS:           // 183
        case ERROR_SWAPERROR:                // 999
            return FileCause::kAccessDenied;
        case ERROR_FILE_NOT_FOUND:
            return FileCause::kFileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_DIRECTORY:
            return FileCause::kBadPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return FileCause::kTooManyOpenFiles;
        case ERROR_INVALID_HANDLE:
            return FileCause::kInvalidFile;
        case ERROR_CURRENT_DIRECTORY:
            return FileCause::kRemoveCurrentDir;
        case ERROR_NO_MORE_FILES:
            return FileCause::kDirectoryFull;
        case ERROR_SEEK:
        case ERROR_NEGATIVE_SEEK:
            return FileCause::kBadSeek;
        case ERROR_NOT_READY:
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_GEN_FAILURE:
        case ERROR_READ_FAULT:
            return FileCause::kHardIO;
        case ERROR_LOCK_VIOLATION:
            return FileCause::kLockViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileCause::kDiskFull;
        case ERROR_HANDLE_EOF:
            return FileCause::kEndOfFile;
        default:
            return FileCause::kGeneric;
    }
}

EFileOpenKind FileOpenKindOfCause(int cause) {
    switch (cause) {
        case FileCause::kNone: return EFileOpenKind::Opened;
        case FileCause::kSharingViolation: return EFileOpenKind::SharingViolation;
        case FileCause::kAccessDenied: return EFileOpenKind::AccessDenied;
        default: return EFileOpenKind::OtherFailure;
    }
}

CFileOpenResult OpenFileExclusive(const std::string& path) {
    CFileOpenResult result;
    SECURITY_ATTRIBUTES security = {};
    security.nLength = sizeof(security);
    security.bInheritHandle = TRUE;
    result.m_file.Reset(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, &security,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (result.m_file.IsValid()) {
        result.m_kind = EFileOpenKind::Opened;
        result.m_cause = FileCause::kNone;
        result.m_error = 0;
        return result;
    }
    result.m_error = ::GetLastError();
    result.m_cause = FileCauseOfError(result.m_error);
    // A failure that reports no error still is a failure.
    if (result.m_cause == FileCause::kNone) result.m_cause = FileCause::kGeneric;
    result.m_kind = FileOpenKindOfCause(result.m_cause);
    return result;
}
