// IniFile: a streaming reader and writer of sectioned key=value files. It
// keeps no table of its own: reading hands every comment and entry, with
// its section, to the virtual CallBack; writing asks the virtual MakeData
// for the whole text and stores it as UTF-16 with a byte-order mark.
//
// The grammar is deliberately simple and keeps its old habits, which files
// in the field rely on: blank lines are reported as empty comments, a line
// without "=" inside a section runs into the next key, and entries before
// the first section end the read.
#pragma once

#include <windows.h>

#include "base/PVDLLApi.h"

class Parser;

class PVDLL_API IniFile {
public:
    enum CallBackFlag {
        cbBegin = 0,    // all null; once before anything is parsed
        cbComment = 1,  // section ("" before the first), comment text, null
        cbEntry = 2,    // section, key, value
        cbEnd = 3,      // all null; once after the last item
    };

    // Names, keys and comments keep at most 255 characters, values 1024.
    static constexpr unsigned nameSize = 256;
    static constexpr unsigned valueSize = 1025;

    IniFile();
    explicit IniFile(const wchar_t* path);
    virtual ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // The producer: with a null buf, the length of the file text (without
    // terminator); with a buffer of that many characters, the text itself.
    virtual unsigned MakeData(wchar_t* buf);
    // The consumer: non-zero to go on, 0 to abort the read.
    virtual int CallBack(CallBackFlag kind, const wchar_t* section, const wchar_t* key, const wchar_t* value);

    void SetPath(const wchar_t* path);
    const wchar_t* GetPath() const { return szPath; }

    int ReadData();
    // len 0: up to the terminator.
    int ReadAll(const wchar_t* text, unsigned len);
    int WriteData();

    // Measure-or-write: count grows whether or not p is null.
    static void WriteSec(wchar_t*& p, const wchar_t* name, unsigned& count);
    static void WriteVar(wchar_t*& p, const wchar_t* key, const wchar_t* value, unsigned& count);

    // Line readers on the read in progress. GetSec, GetVar and GetComment
    // need nameSize characters in buf, GetVal valueSize.
    int GetSec(wchar_t* buf);
    int GetVar(wchar_t* buf);
    int GetVal(wchar_t* buf);
    int GetComment(wchar_t* buf);
    void DeleteParser();

    // The file `name` in the boot folder the system recorded at setup.
    static int FindBootFile(const wchar_t* name, wchar_t* out);
    int FindBootFile(const wchar_t* name);

protected:
    wchar_t szPath[MAX_PATH];
    Parser* pParser;

private:
    // Both answer false when a callback aborted the read.
    int ReportComments(const wchar_t* section);
    bool ParseSections();
};
