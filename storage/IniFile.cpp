#include "storage/IniFile.h"

#include "storage/Parser.h"
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
    delete pParser;
    pParser = nullptr;
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
    pParser = new Parser(text, len);
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
