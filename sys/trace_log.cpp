// The trace writer and the desktop folder lookup.
#include "sys/trace_log.h"
#include <windows.h>
#include <shlobj.h>
#include <cstdlib>
#include "framework/text_file_writer.h"
#include "framework/unique_handle.h"

const char* const kTraceFilePath = "C:\\Debug_OF_Gallowby.txt";

namespace {

struct CItemListTraits {   // item lists from the shell's folder lookups
    using Type = LPITEMIDLIST;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type list) noexcept { ::CoTaskMemFree(list); }
};
using CItemListOwner = CUniqueHandle<CItemListTraits>;

CTraceLog* g_traceLog = nullptr;

// The trace log lives until the process ends and is never deleted, so what it has buffered is
// written out when the runtime ends the process.
void FlushTraceLogAtExit() {
    if (g_traceLog != nullptr) g_traceLog->Flush();
}

}  // namespace

CTraceLog::CTraceLog() : m_file(new CTextFileWriter()) {
    // The file is created (or emptied) only when the switch is on at this moment.
    if (IsTraceEnabled()) m_bOpened = m_file->Open(kTraceFilePath);
    RefreshFolders();
}

CTraceLog::~CTraceLog() { m_file->Close(); }

void CTraceLog::Trace(const char* text) {
    if (!IsTraceEnabled() || !m_bOpened) return;
    m_file->WriteString(text);
}

void CTraceLog::Flush() {
    if (m_bOpened) m_file->Flush();
}

void CTraceLog::RefreshFolders() {
    char buffer[MAX_PATH] = {};
    CItemListOwner items;
    // The all-users desktop holds the shortcuts the installer made; the user's own is the
    // fallback on systems without one.
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, items.Put())) &&
        FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, items.Put())))
        return;
    // A failed conversion leaves the buffer empty, and the stored path with it.
    ::SHGetPathFromIDListA(items.Get(), buffer);
    m_strDesktopPath = buffer;
}

CTraceLog& GetTraceLog() {
    if (g_traceLog == nullptr) {
        g_traceLog = new CTraceLog();
        std::atexit(FlushTraceLogAtExit);
    }
    return *g_traceLog;
}
