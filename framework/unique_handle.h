// Move-only owners for Win32 handles: each handle has exactly one owner, which closes it.
#pragma once
#include <windows.h>
#include <utility>

template <typename Traits>
class CUniqueHandle {
public:
    using Type = typename Traits::Type;

    CUniqueHandle() noexcept : m_handle(Traits::Invalid()) {}
    explicit CUniqueHandle(Type handle) noexcept : m_handle(handle) {}
    ~CUniqueHandle() { Reset(); }

    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Type Get() const noexcept { return m_handle; }
    bool IsValid() const noexcept { return m_handle != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Gives up ownership without closing.
    Type Release() noexcept { return std::exchange(m_handle, Traits::Invalid()); }

    // Closes the owned handle (if any) and takes the new one.
    void Reset(Type handle = Traits::Invalid()) noexcept {
        Type old = std::exchange(m_handle, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

    // For out-parameters: closes what is owned and hands out the slot to fill.
    Type* Put() noexcept {
        Reset();
        return &m_handle;
    }

private:
    Type m_handle;
};

struct CKernelHandleTraits {   // processes, threads, mutexes, tokens
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct CFileHandleTraits {     // CreateFile results
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct CFindHandleTraits {     // FindFirstFile results
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};
struct CRegKeyTraits {         // opened registry keys
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
struct CSidTraits {            // SIDs from AllocateAndInitializeSid
    using Type = PSID;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::FreeSid(h); }
};

using CHandleOwner = CUniqueHandle<CKernelHandleTraits>;
using CFileHandleOwner = CUniqueHandle<CFileHandleTraits>;
using CFindHandleOwner = CUniqueHandle<CFindHandleTraits>;
using CRegKeyOwner = CUniqueHandle<CRegKeyTraits>;
using CSidOwner = CUniqueHandle<CSidTraits>;
