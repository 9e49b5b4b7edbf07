// Every function that writes a path, fed text longer than any path, and
// starting from buffers already nearly full.
#include <gtest/gtest.h>

#include "PVDLL.h"
#include "PathProbe.h"

#include <functional>
#include <string>

TEST(PathsBounds, EveryWriterStopsWithin260CharactersOfOverLongInput)
{
    const std::wstring longPath = L"C:\\" + Repeat(150) + L" \\" + Repeat(150, L':') + L"\\f.x";
    const wchar_t* in = longPath.c_str();
    struct Writer {
        const char* name;
        std::function<void(wchar_t*)> write;
    } writers[] = {
        {"DirFromPath", [&](wchar_t* o) { DirFromPath(o, in); }},
        {"UnQuote", [&](wchar_t* o) { UnQuote(o, in); }},
        {"RemoveWhiteSpacesAndQuotes", [&](wchar_t* o) { RemoveWhiteSpacesAndQuotes(o, in); }},
        {"MakeRootPath", [&](wchar_t* o) { MakeRootPath(o, in); }},
        {"MakeFolderPath", [&](wchar_t* o) { MakeFolderPath(o, in); }},
        {"MakePath", [&](wchar_t* o) { MakePath(o, in, in, in, 1); }},
        {"ExpandEnvStrings", [&](wchar_t* o) { ExpandEnvStrings(in, o, 260); }},
        {"UnExpandEnvStrings", [&](wchar_t* o) { UnExpandEnvStrings(in, o, 260); }},
        {"MakeCanonicalPath", [&](wchar_t* o) { MakeCanonicalPath(in, o); }},
        {"GetPathFromCanonical", [&](wchar_t* o) { GetPathFromCanonical(in, o); }},
        {"GetHomeDir", [&](wchar_t* o) { GetHomeDir(o); }},
        {"FixFileName", [&](wchar_t* o) { FixFileName(o, in, 0); }},
        {"EncodeFileName", [&](wchar_t* o) { EncodeFileName(o, in); }},
        {"DecodeFileName", [&](wchar_t* o) { DecodeFileName(o, in); }},
        {"GetCmdLnPath", [&](wchar_t* o) { GetCmdLnPath(in, o, 260); }},
        {"GetCmdLnArg", [&](wchar_t* o) { GetCmdLnArg(in, o, 260); }},
        {"GetCmdLineSwitchData", [&](wchar_t* o) { GetCmdLineSwitchData(in, o, 260, nullptr); }},
        {"UniPath::GetPath", [&](wchar_t* o) { UniPath(in).GetPath(o, 260); }},
        {"UniPath::GetFileName", [&](wchar_t* o) { UniPath(in).GetFileName(o, 260); }},
        {"AppendFileName", [&](wchar_t* o) { AppendFileName(o, in); }},
        {"AppendBackSlash", [&](wchar_t* o) { AppendBackSlash(o); }},
        {"AddQuotesIfSpace", [&](wchar_t* o) { AddQuotesIfSpace(o); }},
    };
    for (const Writer& w : writers) {
        for (size_t start : {0, 200, 257, 258, 259}) {
            PathBuf out(longPath.substr(0, start));
            w.write(out);
            SCOPED_TRACE(testing::Message() << w.name << " over " << start << " characters");
            out.Str();
        }
    }
}
