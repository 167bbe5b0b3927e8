// The in-use probe against files that another process holds open, read-only files, files the
// user may not write, and missing paths; and the read-only switch it uses.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "framework/file_open.h"
#include "sys/in_use_probe.h"
#include "tests/portable/test_folder.h"
#include "tests/win/held_file.h"

namespace {

constexpr DWORD kKeptBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

DWORD AttributesOf(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

bool IsReadOnly(const std::string& path) {
    return (AttributesOf(path) & FILE_ATTRIBUTE_READONLY) != 0;
}

TEST(FileOpenCauses, EachWin32ErrorIsFiledUnderItsCause) {
    struct CCase {
        unsigned long error;
        int cause;
        EFileOpenKind kind;
    };
    using K = EFileOpenKind;
    const CCase cases[] = {
        {0, FileCause::kNone, K::Opened},
        {32, FileCause::kSharingViolation, K::SharingViolation},
        {5, FileCause::kAccessDenied, K::AccessDenied},
        {12, FileCause::kAccessDenied, K::AccessDenied},
        {19, FileCause::kAccessDenied, K::AccessDenied},
        {29, FileCause::kAccessDenied, K::AccessDenied},
        {54, FileCause::kAccessDenied, K::AccessDenied},
        {58, FileCause::kAccessDenied, K::AccessDenied},
        {64, FileCause::kAccessDenied, K::AccessDenied},
        {65, FileCause::kAccessDenied, K::AccessDenied},
        {71, FileCause::kAccessDenied, K::AccessDenied},
        {80, FileCause::kAccessDenied, K::AccessDenied},
        {82, FileCause::kAccessDenied, K::AccessDenied},
        {86, FileCause::kAccessDenied, K::AccessDenied},
        {170, FileCause::kAccessDenied, K::AccessDenied},
        {183, FileCause::kAccessDenied, K::AccessDenied},
        {999, FileCause::kAccessDenied, K::AccessDenied},
        {2, FileCause::kFileNotFound, K::OtherFailure},
        {3, FileCause::kBadPath, K::OtherFailure},
        {4, FileCause::kTooManyOpenFiles, K::OtherFailure},
        {33, FileCause::kLockViolation, K::OtherFailure},
        {112, FileCause::kDiskFull, K::OtherFailure},
        {52, FileCause::kGeneric, K::OtherFailure},
        {997, FileCause::kGeneric, K::OtherFailure},
        {12345, FileCause::kGeneric, K::OtherFailure},
    };
    for (const CCase& c : cases) {
        EXPECT_EQ(c.cause, FileCauseOfError(c.error)) << "error " << c.error;
        EXPECT_EQ(c.kind, FileOpenKindOfCause(FileCauseOfError(c.error))) << "error " << c.error;
    }
}

class InUseProbe : public ::testing::Test {
protected:
    std::string MakeFile(const char* name, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE) {
        EXPECT_TRUE(m_folder.WriteFile(name, "manual"));
        const std::string path = m_folder.Join(name);
        if (attributes != FILE_ATTRIBUTE_ARCHIVE) ::SetFileAttributesA(path.c_str(), attributes);
        return path;
    }
    CTestFolder m_folder;
};

TEST_F(InUseProbe, FreeWritableFileIsNotInUseAndKeepsItsAttributes) {
    const std::string path = MakeFile("free.chm");
    const DWORD before = AttributesOf(path);
    EXPECT_EQ(0, IsFileInUse(path));
    EXPECT_EQ(before, AttributesOf(path));
    // The probe's own handle is closed again: the file can be opened exclusively.
    EXPECT_EQ(EFileOpenKind::Opened, OpenFileExclusive(path).m_kind);
}

TEST_F(InUseProbe, FileHeldByAnotherProcessIsInUseAndLeftReadOnly) {
    for (bool shareRead : {false, true}) {
        const std::string path = MakeFile(shareRead ? "shared.chm" : "held.chm");
        CHeldFile holder;
        ASSERT_TRUE(holder.Hold(path, shareRead)) << FindToolPath("holder.exe");
        const CFileOpenResult attempt = OpenFileExclusive(path);
        EXPECT_EQ(EFileOpenKind::SharingViolation, attempt.m_kind);
        EXPECT_EQ(FileCause::kSharingViolation, attempt.m_cause);
        EXPECT_EQ(1, IsFileInUse(path)) << "share-read: " << shareRead;
        EXPECT_TRUE(IsReadOnly(path));
    }
}

TEST_F(InUseProbe, ReadOnlyFreeFileIsMadeWritableAndNotInUse) {
    const std::string path = MakeFile("readonly.chm", FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(EFileOpenKind::AccessDenied, OpenFileExclusive(path).m_kind)
        << "the open of a read-only file for writing must be refused (run as an unprivileged user)";
    EXPECT_EQ(0, IsFileInUse(path));
    EXPECT_FALSE(IsReadOnly(path));
}

TEST_F(InUseProbe, ReadOnlyHeldFileIsInUseAndReadOnlyAtTheEnd) {
    const std::string path = MakeFile("readonly_held.chm", FILE_ATTRIBUTE_READONLY);
    CHeldFile holder;
    ASSERT_TRUE(holder.Hold(path));
    EXPECT_EQ(1, IsFileInUse(path));
    EXPECT_TRUE(IsReadOnly(path));
}

TEST_F(InUseProbe, FileTheUserMayNotWriteIsRefusedTwiceAndNotInUse) {
    // A build output owned by another user: its permissions, not an attribute, forbid writing.
    const std::string path = FindToolPath("holder.exe");
    const DWORD before = AttributesOf(path);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, before);
    if (OpenFileExclusive(path).m_kind != EFileOpenKind::AccessDenied)
        GTEST_SKIP() << "this user may write " << path;
    EXPECT_EQ(0, IsFileInUse(path));
    EXPECT_EQ(EFileOpenKind::AccessDenied, OpenFileExclusive(path).m_kind);
    EXPECT_EQ(before & ~FILE_ATTRIBUTE_READONLY, AttributesOf(path) & ~FILE_ATTRIBUTE_READONLY);
}

TEST_F(InUseProbe, MissingPathsAreNotInUse) {
    for (const std::string& path : {m_folder.Join("missing.chm"), m_folder.Join("gone\\help.chm"),
                                    std::string()}) {
        EXPECT_EQ(0, IsFileInUse(path)) << path;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, AttributesOf(m_folder.Join("missing.chm")));
    }
    EXPECT_EQ(FileCause::kFileNotFound, OpenFileExclusive(m_folder.Join("missing.chm")).m_cause);
}

TEST_F(InUseProbe, SetFileModeSwitchesOnlyTheReadOnlyBit) {
    EXPECT_EQ(-1, SetFileMode(m_folder.Join("missing.chm"), 0x0100));
    EXPECT_EQ(-1, SetFileMode(m_folder.Join("missing.chm"), 0x0180));

    const std::string marked = MakeFile("marked.chm", kKeptBits);
    const DWORD kept = AttributesOf(marked) & kKeptBits;
    EXPECT_EQ(0, SetFileMode(marked, 0x0100));
    EXPECT_TRUE(IsReadOnly(marked));
    EXPECT_EQ(kept, AttributesOf(marked) & kKeptBits);
    EXPECT_EQ(0, SetFileMode(marked, 0x0180));
    EXPECT_FALSE(IsReadOnly(marked));
    EXPECT_EQ(kept, AttributesOf(marked) & kKeptBits);

    // Without the write bit the file is made read-only, whatever else the word holds.
    const std::string plain = MakeFile("plain.chm");
    EXPECT_EQ(0, SetFileMode(plain, 0));
    EXPECT_TRUE(IsReadOnly(plain));
    EXPECT_EQ(0, SetFileMode(plain, 0x0080));
    EXPECT_FALSE(IsReadOnly(plain));
}

}  // namespace
