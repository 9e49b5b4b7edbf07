#include "storage/IniFile.h"

#include <memory>
#include <new>
#include <utility>

#include "storage/CoreFile.h"
#include "storage/FileQuery.h"
#include "storage/Parser.h"
#include "storage/RegKey.h"
#include "storage/internal/LastError.h"
#include "base/internal/DllHeap.h"
#include "base/StrFormat.h"
#include "text/StrFunc.h"

namespace {

// Copies from the parser while `more` holds, keeping at most cch - 1
// characters and skipping the rest; always terminates.
template <typename More>
void CopyWhile(Parser& parser, wchar_t* buf, unsigned cch, More more)
{
    unsigned kept = 0;
    while (parser.NotEnd() && more(parser.GetCurrentChar())) {
        if (kept < cch - 1)
            buf[kept++] = parser.GetCurrentChar();
        parser.SkipChar();
    }
    buf[kept] = L'\0';
}

bool IsLineEnd(const Parser& parser)
{
    return parser.IsCR() != 0;
}

} // namespace

IniFile::IniFile() : szPath{}, pParser(nullptr)
{
}

IniFile::IniFile(const wchar_t* path) : IniFile()
{
    SetPath(path);
}

IniFile::~IniFile()
{
    DeleteParser();
}

unsigned IniFile::MakeData(wchar_t*)
{
    return 0;
}

int IniFile::CallBack(CallBackFlag, const wchar_t*, const wchar_t*, const wchar_t*)
{
    return 1;
}

void IniFile::SetPath(const wchar_t* path)
{
    lstrcpynW(szPath, path ? path : L"", MAX_PATH);
}

void IniFile::DeleteParser()
{
    std::unique_ptr<Parser>(std::exchange(pParser, nullptr));
}

// --- line readers ----------------------------------------------------------------

int IniFile::GetComment(wchar_t* buf)
{
    if (!pParser)
        return 0;
    Parser start = *pParser;
    pParser->SkipWhite();
    if (pParser->GetCurrentChar() == L';') {
        CopyWhile(*pParser, buf, nameSize, [&](wchar_t) { return !IsLineEnd(*pParser); });
        pParser->SkipCR();
        return 1;
    }
    if (IsLineEnd(*pParser)) {
        buf[0] = L'\0';
        pParser->SkipCR();
        return 1;
    }
    *pParser = start;
    return 0;
}

int IniFile::GetSec(wchar_t* buf)
{
    if (!pParser)
        return 0;
    pParser->SkipWhiteLines();
    if (!pParser->MustBe(L'['))
        return 0;
    // The name runs to the next "]", across line ends if need be.
    CopyWhile(*pParser, buf, nameSize, [](wchar_t c) { return c != L']'; });
    if (!pParser->MustBe(L']'))
        return 0;  // no "]" anywhere after the "[": the parse ends
    pParser->SkipLine();
    return 1;
}

int IniFile::GetVar(wchar_t* buf)
{
    if (!pParser)
        return 0;
    pParser->SkipWhiteLines();
    if (!pParser->NotEnd() || pParser->IsOneOf(L";["))
        return 0;
    // Up to the "=", line ends included: a line without one runs into the
    // next key.
    CopyWhile(*pParser, buf, nameSize, [](wchar_t c) { return c != L'='; });
    if (!pParser->MustBe(L'='))
        return 0;
    size_t length = lstrlenW(buf);
    while (length && buf[length - 1] == L' ')
        buf[--length] = L'\0';
    return 1;
}

int IniFile::GetVal(wchar_t* buf)
{
    if (!pParser)
        return 0;
    pParser->SkipWhite();
    CopyWhile(*pParser, buf, valueSize, [&](wchar_t) { return !IsLineEnd(*pParser); });
    pParser->SkipCR();
    return 1;
}

// --- reading ------------------------------------------------------------------------

int IniFile::ReportComments(const wchar_t* section)
{
    wchar_t comment[nameSize];
    while (GetComment(comment))
        if (!CallBack(cbComment, section, comment, nullptr))
            return 0;
    return 1;
}

int IniFile::ReadAll(const wchar_t* text, unsigned len)
{
    DeleteParser();
    if (!text)
        return 0;
    pParser = new (std::nothrow) Parser(text, len);
    if (!pParser)
        return LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
    if (!CallBack(cbBegin, nullptr, nullptr, nullptr))
        return 0;
    if (!pParser->SkipUnicodePrefix())
        return 0;  // an empty text is no file
    if (!ReportComments(L"") || !ParseSections()) {
        DeleteParser();
        return 0;
    }
    return CallBack(cbEnd, nullptr, nullptr, nullptr) != 0;
}

bool IniFile::ParseSections()
{
    wchar_t section[nameSize];
    while (GetSec(section)) {
        if (!ReportComments(section))
            return false;
        for (;;) {
            pParser->SkipWhiteLines();
            if (!pParser->NotEnd() || pParser->IsOneOf(L";["))
                break;
            wchar_t key[nameSize];
            if (!GetVar(key))
                return true;  // no "=" before the end: the parse ends here
            wchar_t value[valueSize];
            GetVal(value);
            if (!CallBack(cbEntry, section, key, value) || !ReportComments(section))
                return false;
        }
    }
    return true;
}

// --- writing ------------------------------------------------------------------------

void IniFile::WriteSec(wchar_t*& p, const wchar_t* name, unsigned& count)
{
    CharAdd(p, L'[', count);
    CopyStr(p, name ? name : L"", count);
    CharAdd(p, L']', count);
    CharAdd(p, L'\r', count);
    CharAdd(p, L'\n', count);
}

void IniFile::WriteVar(wchar_t*& p, const wchar_t* key, const wchar_t* value, unsigned& count)
{
    CopyStr(p, key ? key : L"", count);
    CharAdd(p, L'=', count);
    CopyStr(p, value ? value : L"", count);
    CharAdd(p, L'\r', count);
    CharAdd(p, L'\n', count);
}

// --- files ---------------------------------------------------------------------------

int IniFile::ReadData()
{
    if (!szPath[0])
        return 0;
    CoreFile file(szPath, 0);
    if (!file.IsReady())
        return 0;
    unsigned __int64 size = file.GetSize64();
    // The text is handed on as a count of 32-bit characters.
    if (size == 0 || size >= 0xFFFFFFFFull)
        return 0;
    DllBlock<wchar_t> text(static_cast<wchar_t*>(DllHeap::Alloc(static_cast<size_t>(size) + sizeof(wchar_t))));
    if (!text)
        return LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
    unsigned long read = 0;
    file.ReadBin(text.Get(), static_cast<unsigned long>(size), &read);
    file.Close();
    // What was read, as whole UTF-16 characters; the block is terminated
    // in case the file shrank meanwhile.
    unsigned characters = static_cast<unsigned>(read / sizeof(wchar_t));
    text.Get()[characters] = L'\0';
    int result = characters ? ReadAll(text.Get(), characters) : 0;
    DeleteParser();
    return result;
}

int IniFile::WriteData()
{
    if (!szPath[0])
        return 0;
    unsigned length = MakeData(nullptr);
    if (length == 0) {
        DeleteFileW(szPath);
        return 1;
    }
    // The mark, the text, and room for a terminator a producer may add.
    size_t bytes = (static_cast<size_t>(length) + 1) * sizeof(wchar_t);
    DllBlock<wchar_t> data(static_cast<wchar_t*>(DllHeap::AllocZero(bytes + sizeof(wchar_t))));
    if (!data)
        return LastError::Fail(ERROR_NOT_ENOUGH_MEMORY);
    data.Get()[0] = 0xFEFF;
    MakeData(data.Get() + 1);

    // A read-only file is rewritten all the same and stays read-only.
    DWORD attributes = GetFileAttributesW(szPath);
    bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (existed)
        SetFileAttributesW(szPath, FILE_ATTRIBUTE_NORMAL);
    int ok = CoreFile::ReplaceFileContent(szPath, data.Get(), static_cast<unsigned long>(bytes));
    if (existed)
        SetFileAttributesW(szPath, attributes);
    return ok;
}

int IniFile::FindBootFile(const wchar_t* name, wchar_t* out)
{
    constexpr unsigned bootPathSize = 20;  // the boot folder and the name
    wchar_t path[MAX_PATH];
    StrFormat(path, MAX_PATH, L"%s\\Setup", L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion");
    wchar_t bootDir[41];
    RegKey(path, 0).GetStr(L"BootDir", bootDir, 41, L"");
    if (!bootDir[0] || !name || !out)
        return 0;
    wchar_t file[bootPathSize];
    lstrcpynW(file, bootDir, bootPathSize);
    unsigned used = static_cast<unsigned>(lstrlenW(file));
    if (used && file[used - 1] != L'\\' && used + 1 < bootPathSize) {
        file[used++] = L'\\';
        file[used] = L'\0';
    }
    lstrcpynW(file + used, name, static_cast<int>(bootPathSize - used));
    if (!IsFileExists(file))
        return 0;
    lstrcpynW(out, file, MAX_PATH);
    return 1;
}

int IniFile::FindBootFile(const wchar_t* name)
{
    return FindBootFile(name, szPath);
}
