// A text-mode file writer: creates or empties the file, writes only, shares it with no other
// opener, stores each line feed as carriage return and line feed, and buffers its writes.
#pragma once
#include <string>
#include "framework/unique_handle.h"

class CTextFileWriter {
public:
    CTextFileWriter() = default;
    ~CTextFileWriter();   // writes out the buffer and closes the file
    CTextFileWriter(const CTextFileWriter&) = delete;
    CTextFileWriter& operator=(const CTextFileWriter&) = delete;

    // Creates path anew (an existing file is emptied). True when the file is open.
    bool Open(const char* path);
    bool IsOpen() const { return m_file.IsValid(); }

    // Appends text, each "\n" as "\r\n". False when the file is closed or a write failed.
    bool WriteString(const char* text);
    // Writes out what is buffered. False when the file is closed or the write failed.
    bool Flush();
    // Writes out the buffer and closes the file; closing a closed writer does nothing.
    void Close();

private:
    CFileHandleOwner m_file;
    std::string m_buffer;
};
