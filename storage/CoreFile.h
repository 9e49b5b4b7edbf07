// The lowest file layer: an abstract byte-I/O interface (CoreIOObj), its
// file implementation (CoreFile), a forwarding wrapper that owns one
// (CoreIO), two scope guards, and the static operations on whole files.
//
// Every open, create and text operation records its outcome in one
// process-wide HRESULT, the last file error (S_OK after success). It is
// written without a lock and means something only right after an operation
// on the same thread.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"
#include "base/ScopeGuards.h"

class PVDLL_API CoreIOObj {
public:
    CoreIOObj() = default;
    virtual ~CoreIOObj();
    CoreIOObj(const CoreIOObj&) = delete;
    CoreIOObj& operator=(const CoreIOObj&) = delete;

    // The slot order is part of the interface: modules built against it
    // call through these positions.
    virtual void Close() = 0;
    virtual int IsReady() const = 0;
    virtual int IsToWrite() const = 0;
    // 0 when the size cannot be determined.
    virtual unsigned __int64 GetSize64() = 0;
    virtual int SetEndOfFile() = 0;
    // method: 0 from the start, 1 from the current position, 2 from the
    // end. The new position, or -1.
    virtual __int64 MoveTo64(__int64 offset, unsigned long method) = 0;
    virtual int Flush() = 0;
    // True only when all n bytes moved (n 0 is true); done, when given,
    // receives the count that did.
    virtual int ReadBin(void* buf, unsigned long n, unsigned long* done) = 0;
    virtual int WriteBin(const void* buf, unsigned long n, unsigned long* done) = 0;

    __int64 GetFilePos64() { return MoveTo64(0, 1); }
    __int64 Skip(int n) { return MoveTo64(n, 1); }
    template <typename T>
    int Read(T& value) { return ReadBin(&value, sizeof(T), nullptr); }
    template <typename T>
    int Write(const T& value) { return WriteBin(&value, sizeof(T), nullptr); }

    // A string record: one length byte, then that many bytes. The whole
    // record is always consumed, so the next record stays in step; s gets
    // what fits in cb bytes, terminated. Non-zero only when the whole
    // string fitted. The short form assumes the classic 256-byte buffer.
    int ReadStr(char* s);
    int ReadStr(char* s, unsigned cb);
    // Refuses (writing nothing) a string of more than 255 bytes, which the
    // length byte could not describe. A null s writes an empty record.
    int WriteStr(const char* s);

    static long GetLastHRESULT();
    static void SetLastHRESULT(long hr);
    // e <= 0 is stored as it is, anything else as a Win32 HRESULT.
    static void SetLastWin32Error(unsigned long e);
};

class PVDLL_API CoreFile : public CoreIOObj {
public:
    // Reports chunk by chunk how a copy proceeds; 0 cancels it.
    typedef int (*CopyProgress)(void* context, unsigned long bytes);

    CoreFile();
    // Reading: shared for reading, existing files only. Writing: read and
    // write access, unshared, opened or created.
    CoreFile(const wchar_t* path, int write);
    CoreFile(const wchar_t* path, unsigned long access, unsigned long share,
             unsigned long disposition, unsigned long flags);
    ~CoreFile() override;

    int Open(const wchar_t* path, int write);
    // The write flag follows the GENERIC_WRITE bit of access.
    int Open(const wchar_t* path, unsigned long access, unsigned long share,
             unsigned long disposition, unsigned long flags);

    void Close() override;
    int IsReady() const override { return hFile != INVALID_HANDLE_VALUE; }
    int IsToWrite() const override { return bWrite != 0; }
    unsigned __int64 GetSize64() override;
    int SetEndOfFile() override;
    __int64 MoveTo64(__int64 offset, unsigned long method) override;
    int Flush() override;
    int ReadBin(void* buf, unsigned long n, unsigned long* done) override;
    int WriteBin(const void* buf, unsigned long n, unsigned long* done) override;

    HANDLE GetHandle() const { return hFile; }

    // The low 32 bits of the new position, or INVALID_SET_FILE_POINTER.
    unsigned long MoveTo(long low, unsigned long method, long high);
    __int64 MoveToEnd() { return MoveTo64(0, 2); }
    // The low 32 bits of the size (0 when unknown); high, when given,
    // receives the rest.
    unsigned long GetSize(unsigned long* high);
    // Any of the three may be null.
    int GetTime(FILETIME* created, FILETIME* accessed, FILETIME* written);
    int SetTime(const FILETIME* created, const FILETIME* accessed, const FILETIME* written);
    // The NTFS compression state; a file system that cannot tell reads as
    // uncompressed (COMPRESSION_FORMAT_NONE).
    unsigned short GetCompression();
    int SetCompression(unsigned short state);
    // Move to the start and write the byte-order mark.
    int WriteUnicodeMarker();
    int WriteUTF8Marker();
    // Formats into at most 1024 characters (bytes for the narrow form) and
    // writes the result; a final lone line feed goes out as CR LF, even
    // when that costs the character before it.
    int puts(const wchar_t* fmt, ...);
    int puts(const char* fmt, ...);

    // --- whole files ---
    // Exactly n bytes from the start; n 0 only checks that it opens.
    static int ReadFile(const wchar_t* path, void* buf, unsigned long n);
    // The file's content becomes the n bytes (see ReplaceFileContent).
    static int WriteFile(const wchar_t* path, const void* buf, unsigned long n);
    // Replaces a file's content without ever leaving it half written: the
    // data goes to a new file in the same folder, and only once all of it
    // is on disk does that file take the target's place, with the target's
    // attributes and creation time. A target that could not be opened for
    // writing (read-only, held by another program, a folder) is refused
    // and left as it was. A missing target is created.
    static int ReplaceFileContent(const wchar_t* path, const void* data, unsigned long n);
    // From the directory entry; 0 (and zeroed outputs) when there is none.
    static int GetInfo(const wchar_t* path, WIN32_FIND_DATAW* data);
    static unsigned long GetSize(const wchar_t* path, unsigned long* high);
    static unsigned __int64 FileSize(const wchar_t* path);
    static int GetTime(const wchar_t* path, FILETIME* created, FILETIME* accessed, FILETIME* written);
    static unsigned long GetAttrib(const wchar_t* path);
    static int SetTime(const wchar_t* path, const FILETIME* created, const FILETIME* accessed,
                       const FILETIME* written);
    // True unless the platform says there is no such file; access denied
    // and the like count as found.
    static int CanFind(const wchar_t* path);
    // With notify the shell hears of the change.
    static int Delete(const wchar_t* path, int notify);
    static int RenameFile(const wchar_t* oldPath, const wchar_t* newPath, int notify);
    // Copies in chunks of at most 32 MB. On failure only a destination that
    // the copy itself created is deleted; one that existed before stays.
    static int CopyFileW(const wchar_t* src, const wchar_t* dst, int notify);
    // The same, telling progress the size of each chunk copied.
    static int CopyFileW(const wchar_t* src, const wchar_t* dst, int notify, CopyProgress progress,
                         void* context);
    // Copies over dst keeping the old dst as dst + "~" until the copy has
    // succeeded; on failure the old dst comes back. A dst whose backup name
    // would not fit in 260 characters is refused before anything changes.
    static int CopyFileSafe(const wchar_t* src, const wchar_t* dst);

protected:
    HANDLE hFile;
    int bWrite;
};

// Forwards every operation to a file object that it owns.
class PVDLL_API CoreIO : public CoreIOObj {
public:
    CoreIO(const wchar_t* path, int write);
    ~CoreIO() override;

    // A new CoreFile opened as CoreFile(path, write) does, or null when it
    // does not open or there is no memory for it. The caller deletes it.
    static CoreIOObj* CreateFileObject(const wchar_t* path, int write);

    void Close() override;
    int IsReady() const override;
    int IsToWrite() const override;
    unsigned __int64 GetSize64() override;
    int SetEndOfFile() override;
    __int64 MoveTo64(__int64 offset, unsigned long method) override;
    int Flush() override;
    int ReadBin(void* buf, unsigned long n, unsigned long* done) override;
    int WriteBin(const void* buf, unsigned long n, unsigned long* done) override;

protected:
    CoreIOObj* pObj;
};

// Sets a file's attributes for the scope and puts the old ones back. The
// path is not copied: the caller keeps it alive as long as the guard.
class PVDLL_API CoreFileAttrib {
public:
    CoreFileAttrib(const wchar_t* path, unsigned long attrib);
    ~CoreFileAttrib();
    CoreFileAttrib(const CoreFileAttrib&) = delete;
    CoreFileAttrib& operator=(const CoreFileAttrib&) = delete;

    // The file existed, so there is something to put back.
    int IsValid() const { return dwAttrib != INVALID_FILE_ATTRIBUTES; }

private:
    const wchar_t* pszPath;
    unsigned long dwAttrib;
};

// No "insert a disk" message boxes from the system while it lives, so a
// probe of an empty drive fails quietly instead of stopping the program.
class PVDLL_API NoFloppyDiskError : public ErrorModeSuppressor {
public:
    NoFloppyDiskError() : ErrorModeSuppressor(SEM_FAILCRITICALERRORS) {}
};
