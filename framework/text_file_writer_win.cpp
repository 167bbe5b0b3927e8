// The text-mode file writer over CreateFileA/WriteFile, with a buffer of its own in place of the
// runtime's stream.
#include "framework/text_file_writer.h"

namespace {
// Enough for many trace points between two writes.
constexpr std::size_t kBufferLimit = 4096;
}

CTextFileWriter::~CTextFileWriter() { Close(); }

bool CTextFileWriter::Open(const char* path) {
    Close();
    if (path == nullptr) return false;
    m_file.Reset(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    return m_file.IsValid();
}

bool CTextFileWriter::WriteString(const char* text) {
    if (!m_file.IsValid()) return false;
    if (text == nullptr) return true;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n') m_buffer += '\r';
        m_buffer += *p;
    }
    return m_buffer.size() < kBufferLimit || Flush();
}

bool CTextFileWriter::Flush() {
    if (!m_file.IsValid()) return false;
    std::size_t done = 0;
    while (done < m_buffer.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(m_buffer.size() - done);
        if (!::WriteFile(m_file.Get(), m_buffer.data() + done, chunk, &written, nullptr) ||
            written == 0) {
            m_buffer.clear();   // a text that cannot be written is dropped, not kept growing
            return false;
        }
        done += written;
    }
    m_buffer.clear();
    return true;
}

void CTextFileWriter::Close() {
    if (m_file.IsValid()) Flush();
    m_buffer.clear();
    m_file.Reset();
}
