// Whether another program holds a file open, by an exclusive open attempt. The trace texts are
// Shift-JIS bytes, written out as escapes so that the source does not depend on its encoding.
#include "sys/in_use_probe.h"
#include <windows.h>
#include <cstdio>
#include "framework/file_open.h"
#include "sys/trace_log.h"

namespace {

// "\n◆◆ check file ="
const char kCheckFileText[] = "\n\x81\x9f\x81\x9f check file =";
// " >>sts=(11) 使用中を検出しました" (in use detected)
const char kInUseText[] =
    " >>sts=(11) \x8eg\x97p\x92\x86\x82\xf0\x8c\x9f\x8fo\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
// "使用中と判断しませんでした。検査した結果のステータスは(%d)でした\n" (not judged in use)
const char kNotInUseFormat[] =
    "\x8eg\x97p\x92\x86\x82\xc6\x94\xbb\x92\x66\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5"
    "\x82\xbd\x81\x42\x8c\x9f\x8d\xb8\x82\xb5\x82\xbd\x8c\x8b\x89\xca\x82\xcc\x83X\x83\x65\x81["
    "\x83^\x83X\x82\xcd(%d)\x82\xc5\x82\xb5\x82\xbd\n";
// "読書可能にモード変更試行\n" (trying to make it readable and writable)
const char kMakeWritableText[] =
    "\x93\xc7\x8f\x91\x89\xc2\x94\x5c\x82\xc9\x83\x82\x81[\x83h\x95\xcf\x8dX\x8e\x8e\x8ds\n";

constexpr int kReadPermission = 0x0100;
constexpr int kWritePermission = 0x0080;

}  // namespace

int IsFileInUse(const std::string& path) {
    CTraceLog& log = GetTraceLog();
    log.Trace(kCheckFileText);
    log.Trace(path.c_str());
    log.Trace("\n");

    bool secondAttempt = false;
    for (;;) {
        // The handle closes as soon as the result goes out of scope: the probe holds the file
        // only for this instant.
        const EFileOpenKind kind = [&path, &log] {
            const CFileOpenResult result = OpenFileExclusive(path);
            if (result.m_kind != EFileOpenKind::Opened &&
                result.m_kind != EFileOpenKind::SharingViolation) {
                char line[256] = {};
                std::snprintf(line, sizeof(line), kNotInUseFormat, result.m_cause);
                log.Trace(line);
            }
            return result.m_kind;
        }();

        switch (kind) {
            case EFileOpenKind::Opened:
                return 0;
            case EFileOpenKind::SharingViolation:
                log.Trace(kInUseText);
                // Marks the file, so the one who holds it open cannot write to it meanwhile.
                SetFileMode(path, kReadPermission);
                return 1;
            case EFileOpenKind::OtherFailure:
                return 0;
            case EFileOpenKind::AccessDenied:
                break;
        }
        log.Trace(kMakeWritableText);
        // A read-only attribute is the usual reason for the refusal; its result is of no use,
        // the next attempt tells.
        SetFileMode(path, kReadPermission | kWritePermission);
        if (secondAttempt) return 0;
        secondAttempt = true;
    }
}

int SetFileMode(const std::string& path, int permission) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return -1;
    if (permission & kWritePermission)
        attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    else
        attributes |= FILE_ATTRIBUTE_READONLY;
    return ::SetFileAttributesA(path.c_str(), attributes) ? 0 : -1;
}
