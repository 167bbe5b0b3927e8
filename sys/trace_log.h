// The diagnostic trace file and the desktop folder lookup that the removal phase needs.
// The trace switch starts off; the trace file is opened only when the switch is on at the
// moment the one trace log is created.
#pragma once
#include <string>

void SetTraceEnabled(int enabled);
int IsTraceEnabled();

#ifdef _WIN32
#include <memory>

class CTextFileWriter;

class CTraceLog {
public:
    CTraceLog();
    virtual ~CTraceLog();
    CTraceLog(const CTraceLog&) = delete;
    CTraceLog& operator=(const CTraceLog&) = delete;

    // Writes text when the switch is on and the file is open; otherwise does nothing.
    void Trace(const char* text);
    // Looks up the all-users desktop folder, else the user's own, and stores its path.
    void RefreshFolders();
    const std::string& GetDesktopPath() const { return m_strDesktopPath; }
    // Writes out what the trace file has buffered (done at process exit as well).
    void Flush();

private:
    std::string m_strDesktopPath;
    bool m_bOpened = false;
    std::unique_ptr<CTextFileWriter> m_file;
};

// The process-wide trace log, created on first use.
CTraceLog& GetTraceLog();

// The fixed trace file path.
extern const char* const kTraceFilePath;
#endif
