#include <gtest/gtest.h>

#include "PVDLL.h"
#include "TextProbes.h"

#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>

namespace {

// Membership written as in the class tables: single codes and ranges.
struct Members {
    Members(std::initializer_list<std::pair<int, int>> ranges)
    {
        for (auto r : ranges)
            for (int c = r.first; c <= r.second; ++c)
                in[c] = true;
    }
    bool in[256] = {};
};

// Every code 0-255 and a few beyond; none above 255 belongs to any class.
void ExpectClass(int (*isMember)(wchar_t), const Members& m)
{
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(isMember(static_cast<wchar_t>(c)) != 0, m.in[c]) << "code " << c;
    for (wchar_t c : {L'\x100', L'\x3A3', L'\xFF21', L'\xFF10'})
        EXPECT_FALSE(isMember(c)) << "code " << static_cast<int>(c);
}

const wchar_t kSentinel = L'\xFDFD';

} // namespace

TEST(StrFuncClasses, ExactMembership)
{
    ExpectClass(IsSep, {{'\\', '\\'}, {'/', '/'}});
    ExpectClass(IsWhiteChar, {{9, 10}, {13, 13}, {32, 32}});
    ExpectClass(IsAlphaChar, {{'A', 'Z'}, {'a', 'z'}});
    ExpectClass(IsCapitalChar, {{'A', 'Z'}});
    ExpectClass(IsNumChar, {{'0', '9'}});
    ExpectClass(IsHexChar, {{'0', '9'}, {'A', 'F'}, {'a', 'f'}});
    ExpectClass(IsAlphaNumChar, {{'0', '9'}, {'A', 'Z'}, {'a', 'z'}});
    ExpectClass(IsPunctuationChar, {{33, 34}, {39, 47}, {58, 59}, {61, 61}, {63, 63}, {91, 94}, {96, 96}, {123, 126}});
    ExpectClass(IsMiscChar, {{32, 33}, {35, 47}, {58, 64}, {91, 96}, {123, 126}});
    ExpectClass(IsCodeChar, {{0, 31}, {127, 127}});
}

TEST(StrFuncClasses, PrintableWideAndNarrow)
{
    Members printable{{9, 10}, {12, 13}, {26, 26}, {32, 126}, {128, 255}};
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(IsPrintableChar(static_cast<wchar_t>(c)) != 0, printable.in[c]) << c;
        EXPECT_EQ(IsPrintableChar(static_cast<char>(c)) != 0, printable.in[c]) << c;
    }
    EXPECT_TRUE(IsPrintableChar(L'\xFF21'));
}

TEST(StrFuncClasses, MiscVirtualKeys)
{
    Members misc{{106, 111}, {146, 146}, {186, 192}, {219, 223}, {226, 226}};
    for (unsigned vk = 0; vk < 256; ++vk)
        EXPECT_EQ(IsMiscVK(vk) != 0, misc.in[vk]) << vk;
    EXPECT_FALSE(IsMiscVK(0x10000 + 106));
}

TEST(StrFuncDrives, LettersAndNumbers)
{
    EXPECT_EQ(GetDrive(L'A'), 0);
    EXPECT_EQ(GetDrive(L'z'), 25);
    EXPECT_EQ(GetDrive(L'1'), -1);
    EXPECT_EQ(GetDrive(L'\xC4'), -1);
    EXPECT_EQ(GetDriveLetter(2), L'C');
    EXPECT_TRUE(IsValidDrive(25));
    EXPECT_FALSE(IsValidDrive(26));
    EXPECT_FALSE(IsValidDrive(-1));
    EXPECT_TRUE(IsFloppyDrive(1));
    EXPECT_FALSE(IsFloppyDrive(2));
}

TEST(StrFuncDrives, NoDriveIsNoFloppy)
{
    EXPECT_FALSE(IsFloppyDrive(GetDrive(L'?')));
}

TEST(StrFuncCase, CharactersAndStrings)
{
    EXPECT_EQ(CharToUpper(L'a'), L'A');
    EXPECT_EQ(CharToLower(L'\xC4'), L'\xE4');
    wchar_t one[] = L"q";
    CharToUpper(one);
    EXPECT_STREQ(one, L"Q");
    CharToUpper(static_cast<wchar_t*>(nullptr));
    wchar_t s[] = L"Mixed \xE9t\xE9 1";
    EXPECT_STREQ(StrToUpper(s), L"MIXED \xC9T\xC9 1");
    EXPECT_STREQ(StrToLower(s), L"mixed \xE9t\xE9 1");
}

TEST(StrFuncCase, CapitalizeFirstLetterOfEachWord)
{
    wchar_t s[] = L"hello  wORLD\t1st (x)y \xE9t\xE9 ";
    StrCapitalizeAll(s);
    EXPECT_STREQ(s, L"Hello  WORLD\t1St (X)y \xE9T\xE9 ");
}

TEST(StrFuncCase, Rot13OnlyTouchesAsciiLetters)
{
    wchar_t s[] = L"Hello, World! 123 \xE9z";
    StrRot13(s);
    EXPECT_STREQ(s, L"Uryyb, Jbeyq! 123 \xE9m");
    StrRot13(s);
    EXPECT_STREQ(s, L"Hello, World! 123 \xE9z");
}

TEST(StrFuncCursor, CopyAndStep)
{
    const wchar_t* src = L"ab";
    wchar_t out[4];
    wchar_t* dst = out;
    EXPECT_TRUE(CharCopy(dst, src));
    EXPECT_TRUE(CharCopy(dst, src));
    EXPECT_FALSE(CharCopy(dst, src));
    EXPECT_EQ(dst, out + 3);

    const wchar_t* text = L"xyz";
    const wchar_t* from = text;
    dst = out;
    StrCopy(dst, from);
    EXPECT_STREQ(out, L"xyz");
    EXPECT_EQ(from, text + 4);
    EXPECT_EQ(dst, out + 4);

    const wchar_t* p = text;
    EXPECT_EQ(PszInc(p), text);
    EXPECT_EQ(IncPsz(p), text + 2);
    EXPECT_EQ(DecPsz(text, p), text + 1);
    EXPECT_EQ(DecPsz(text, p), text);
    EXPECT_EQ(DecPsz(text, p), text);
    EXPECT_EQ(CharAt(text + 1), L'y');
    EXPECT_EQ(CharAt(nullptr), L'\0');

    wchar_t* none = nullptr;
    CharAdd(none, L'x');
    EXPECT_EQ(none, nullptr);
}

TEST(StrFuncCursor, NarrowLengthIsCappedAndWideLengthUnchanged)
{
    std::string big(40000, 'a');
    EXPECT_EQ(wcslen(big.c_str()), 32767u);
    EXPECT_EQ(wcslen("abc"), 3u);
    EXPECT_EQ(wcslen(static_cast<const char*>(nullptr)), 0u);
    EXPECT_EQ(wcslen(L"abcd"), 4u);
    EXPECT_EQ(std::wcslen(L"abcd"), 4u);
}

// The pattern the primitives exist for: measure with a null pointer, then
// write into exactly that much room.
TEST(StrFuncMeasure, MeasureThenWriteFitsExactly)
{
    auto build = [](wchar_t* out, unsigned& count) {
        wchar_t* dst = out;
        const wchar_t* key = L"key";
        StrCopy(dst, key, count);
        CharAdd(dst, L'=', count);
        CopyStrZ(dst, L"value", count);
        CopyStrZ(dst, L"", count);
    };
    unsigned need = 0;
    build(nullptr, need);
    EXPECT_EQ(need, 11u);

    GuardedBuffer<wchar_t> buf(need, kSentinel);
    unsigned wrote = 0;
    build(buf.data(), wrote);
    EXPECT_EQ(wrote, need);
    EXPECT_EQ(std::wmemcmp(buf.data(), L"key=value\0\0", 11), 0);
    EXPECT_TRUE(buf.GuardIntact());
}

TEST(StrFuncAlloc, AllocCopyReplacesAndWipes)
{
    wchar_t* s = nullptr;
    unsigned len = 99;
    StrAllocCopy(s, len, L"secret", 0);
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(s, L"secret");
    EXPECT_EQ(len, 6u);

    HeapFreeSpy spy(s, 7 * sizeof(wchar_t));
    StrAllocCopy(s, len, nullptr, 1);
    EXPECT_TRUE(spy.Seen());
    EXPECT_TRUE(spy.WasZero());
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(len, 0u);
}

TEST(StrFuncAlloc, SourceInsideTheOldStringSurvives)
{
    wchar_t* s = nullptr;
    unsigned len = 0;
    StrAllocCopy(s, len, L"prefix:tail", 1);
    StrAllocCopy(s, len, s + 7, 1);
    EXPECT_STREQ(s, L"tail");
    EXPECT_EQ(len, 4u);

    StrRealloc(s, s + 1);
    EXPECT_STREQ(s, L"ail");
    StrRealloc(s, s);
    EXPECT_STREQ(s, L"ail");
    FreeDllBuf(s);
}

TEST(StrFuncAlloc, ReallocOfEmptyGivesNull)
{
    wchar_t* s = nullptr;
    StrRealloc(s, L"x");
    ASSERT_NE(s, nullptr);
    StrRealloc(s, L"");
    EXPECT_EQ(s, nullptr);
    StrRealloc(s, nullptr);
    EXPECT_EQ(s, nullptr);
}

TEST(StrFuncAlloc, EraseStaysWithinCount)
{
    wchar_t s[] = L"abcdef";
    StrErase(s, 3);
    EXPECT_EQ(std::wmemcmp(s, L"\0\0\0def", 7), 0);
    StrErase(nullptr, 3);
}

TEST(StrFuncSearch, CharactersAndDigits)
{
    EXPECT_EQ(FindChar(L"a\\b\\c", L'\\'), 1);
    EXPECT_EQ(strPos(L"abc", L'x'), -1);
    EXPECT_EQ(FindChar(nullptr, L'a'), -1);
    EXPECT_EQ(FindChar(L"abc", L'\0'), -1);
    EXPECT_EQ(StrCharCount(L"a.b.c.", L'.'), 3);
    EXPECT_EQ(StrCountChars(L"hello world", L"lo"), 5);
    EXPECT_TRUE(IsNumStr(L"0123"));
    EXPECT_FALSE(IsNumStr(L"12a"));
    EXPECT_FALSE(IsNumStr(L""));
    EXPECT_FALSE(IsNumStr(nullptr));
}

TEST(StrFuncSearch, EqualityOfNCharactersIgnoresTerminators)
{
    EXPECT_TRUE(StrAreEquN(L"a\0x", L"a\0x", 3));
    EXPECT_FALSE(StrAreEquN(L"a\0x", L"a\0y", 3));
    EXPECT_TRUE(StrAreEquN(L"abc", L"abd", 2));
    EXPECT_TRUE(StrAreEquN(L"a", L"b", 0));
}

TEST(StrFuncSearch, StartsWith)
{
    EXPECT_TRUE(StrStartsWith(L"abc", nullptr, 0));
    EXPECT_TRUE(StrStartsWith(L"abc", L"", 0));
    EXPECT_FALSE(StrStartsWith(L"", L"", 0));
    EXPECT_TRUE(StrStartsWith(L"HKCU\\Soft", L"hkcu", 1));
    EXPECT_FALSE(StrStartsWith(L"HKCU\\Soft", L"hkcu", 0));
    EXPECT_TRUE(StrStartsWith(L"\xC4rger", L"\xE4r", 1));
    EXPECT_FALSE(StrStartsWith(L"ab", L"abc", 1));
    EXPECT_FALSE(StrStartsWith(nullptr, L"a", 0));

    EXPECT_EQ(StrStartsWith(L"http://x", L"http://"), 7);
    EXPECT_EQ(StrStartsWith(L"HTTP://x", L"http://"), 0);
    EXPECT_EQ(StrStartsWith(L"abc", L""), 0);
    EXPECT_EQ(StrStartsWith(nullptr, L"a"), 0);
}

TEST(StrFuncLists, SeparatorList)
{
    EXPECT_TRUE(IsStrInList(L"b", L"a;b;c", L';', 0));
    EXPECT_TRUE(IsStrInList(L"B", L"a;b;c", L';', 1));
    EXPECT_FALSE(IsStrInList(L"B", L"a;b;c", L';', 0));
    EXPECT_FALSE(IsStrInList(L"a", L"ab;c", L';', 0));
    EXPECT_FALSE(IsStrInList(L"ab", L"a;b", L';', 0));
    EXPECT_TRUE(IsStrInList(L"", L"a;", L';', 0));
    EXPECT_TRUE(IsStrInList(L"", L"a;;b", L';', 0));
    EXPECT_FALSE(IsStrInList(L"", L"a;b", L';', 0));
    EXPECT_FALSE(IsStrInList(L"", L"", L';', 0));
    EXPECT_FALSE(IsStrInList(L"a", nullptr, L';', 0));
    EXPECT_FALSE(IsStrInList(nullptr, L"a", L';', 0));
}

TEST(StrFuncLists, ZList)
{
    const wchar_t list[] = L"exe\0Lnk\0url\0";
    EXPECT_EQ(GetStrCountInListZ(list), 3);
    EXPECT_EQ(StrFindInList(list, L"url", 0), 2);
    EXPECT_EQ(StrFindInList(list, L"LNK", 0), -1);
    EXPECT_EQ(StrFindInList(list, L"LNK", 1), 1);
    EXPECT_EQ(StrFindInList(list, L"ex", 0), -1);
    EXPECT_EQ(StrFindInList(list, L"exe2", 0), -1);
    EXPECT_TRUE(IsStrInListZ(L"exe", list, 0));
    EXPECT_FALSE(IsStrInListZ(L"", list, 0));
    EXPECT_EQ(StrFindInList(L"\0", L"a", 0), -1);
    EXPECT_FALSE(IsStrInListZ(L"a", nullptr, 0));
    EXPECT_EQ(GetStrCountInListZ(L"\0"), 0);
    EXPECT_EQ(GetStrCountInListZ(nullptr), 0);
}

TEST(StrFuncLists, ScansStopAtTheListEnd)
{
    const wchar_t zlist[] = {L'a', 0, L'b', L'c', 0, 0};
    AtPageEnd z(zlist, 6);
    EXPECT_EQ(GetStrCountInListZ(z.Get()), 2);
    EXPECT_FALSE(IsStrInListZ(L"bcd", z.Get(), 1));
    EXPECT_FALSE(IsStrInListZ(L"zz", z.Get(), 0));
    EXPECT_EQ(StrFindInList(z.Get(), L"bc", 1), 1);

    const wchar_t sepList[] = L"a;bc;";
    AtPageEnd s(sepList, 6);
    EXPECT_FALSE(IsStrInList(L"bcd", s.Get(), L';', 1));
    EXPECT_TRUE(IsStrInList(L"", s.Get(), L';', 0));
    AtPageEnd prefix(L"ab", 3);
    EXPECT_FALSE(StrStartsWith(prefix.Get(), L"abcdef", 1));
}

TEST(StrFuncMemory, MemSetTo)
{
    unsigned char b[5] = {7, 7, 7, 7, 7};
    EXPECT_TRUE(IsMemSetTo(b, 7, 5));
    b[4] = 8;
    EXPECT_FALSE(IsMemSetTo(b, 7, 5));
    EXPECT_TRUE(IsMemSetTo(b, 7, 4));
    EXPECT_FALSE(IsMemSetTo(b, 8, 1));
    EXPECT_FALSE(IsMemSetTo(b, 7, 0));
    EXPECT_FALSE(IsMemSetTo(nullptr, 0, 4));
}

TEST(StrFuncTrim, BothEnds)
{
    wchar_t s[] = L" \t\r\n a b \n\t ";
    EXPECT_STREQ(StrTrimW(s), L"a b");
    wchar_t v[] = L"\v x\f";
    EXPECT_STREQ(TrimStr(v), L"\v x\f");
    EXPECT_EQ(TrimStr(nullptr), nullptr);
    EXPECT_EQ(StrTrimW(nullptr), nullptr);
}

TEST(StrFuncTrim, OnlySpacesLeavesEmptyAndNothingBeforeTouched)
{
    wchar_t buf[8];
    std::wmemset(buf, kSentinel, 8);
    std::wcscpy(buf + 2, L"    ");
    EXPECT_STREQ(StrTrimW(buf + 2), L"");
    EXPECT_EQ(buf[0], kSentinel);
    EXPECT_EQ(buf[1], kSentinel);
    EXPECT_EQ(buf[7], kSentinel);

    std::wcscpy(buf + 2, L"\t\n");
    EXPECT_STREQ(TrimStr(buf + 2), L"");
    EXPECT_EQ(buf[1], kSentinel);
}

TEST(StrFuncClean, AmpersandsAndEllipses)
{
    wchar_t s[] = L"&Open...";
    StrRemoveAmpAndDots(s);
    EXPECT_STREQ(s, L"Open");
    wchar_t t[] = L"a....b&&c..d.";
    StrRemoveAmpAndDots(t);
    EXPECT_STREQ(t, L"a.bc..d.");
}

TEST(StrFuncClean, PrintableReplacesOnlyWithinCount)
{
    wchar_t s[] = {L'a', 1, L'\t', 0, 127, 2, 0};
    MakeStrPrintable(s, 5);
    EXPECT_EQ(std::wmemcmp(s, L"a.\t..\x02", 7), 0);
}

TEST(StrFuncTokens, TokExSkipsRunsOfDelimiters)
{
    wchar_t s[] = L",,one, ,two,";
    wchar_t* next = nullptr;
    EXPECT_STREQ(StrTokEx(s, L", ", next), L"one");
    EXPECT_STREQ(StrTokEx(nullptr, L", ", next), L"two");
    EXPECT_NE(next, nullptr);
    EXPECT_EQ(StrTokEx(nullptr, L", ", next), nullptr);
    EXPECT_EQ(next, nullptr);
    EXPECT_EQ(StrTokEx(nullptr, L", ", next), nullptr);
}

TEST(StrFuncTokens, EmptyAndOnlyDelimiters)
{
    wchar_t* next = nullptr;
    wchar_t empty[] = L"";
    EXPECT_EQ(StrTokEx(empty, L",", next), nullptr);
    wchar_t delims[] = L",,,";
    EXPECT_EQ(StrTokEx(delims, L",", next), nullptr);
    EXPECT_EQ(next, nullptr);

    STR_TOK_CTX ctx;
    EXPECT_EQ(StrTokCtx(empty, L",", &ctx), nullptr);
    EXPECT_EQ(StrTokCtx(delims, L",", &ctx), nullptr);
    EXPECT_STREQ(delims, L",,,");

    EXPECT_EQ(GetTokenCount(L"", L","), 0);
    EXPECT_EQ(GetTokenCount(L",,", L","), 0);
    EXPECT_EQ(GetTokenCount(nullptr, L","), 0);
    EXPECT_EQ(GetToken(L"", L",", 0), nullptr);
    EXPECT_EQ(GetToken(L",,", L",", 0), nullptr);
}

TEST(StrFuncTokens, CtxRestoresTheString)
{
    wchar_t s[] = L"a,b";
    STR_TOK_CTX ctx;
    EXPECT_STREQ(StrTokCtx(s, L",", &ctx), L"a");
    EXPECT_STREQ(StrTokCtx(nullptr, L",", &ctx), L"b");
    EXPECT_EQ(StrTokCtx(nullptr, L",", &ctx), nullptr);
    EXPECT_STREQ(s, L"a,b");

    wchar_t t[] = L";x;;y;";
    int n = 0;
    for (wchar_t* tok = StrTokCtx(t, L";", &ctx); tok; tok = StrTokCtx(nullptr, L";", &ctx))
        ++n;
    EXPECT_EQ(n, 2);
    EXPECT_STREQ(t, L";x;;y;");
}

// A context left over from an unfinished scan, or never set, must not be
// written through when a new string starts.
TEST(StrFuncTokens, CtxStartIgnoresStaleState)
{
    wchar_t old[] = L"p,q";
    STR_TOK_CTX ctx;
    ctx.pNext = old + 2;
    ctx.chDelim = L'#';
    wchar_t s[] = L"x y";
    EXPECT_STREQ(StrTokCtx(s, L" ", &ctx), L"x");
    EXPECT_STREQ(old, L"p,q");
    EXPECT_EQ(StrTokCtx(s, L" ", nullptr), nullptr);
}

TEST(StrFuncTokens, CountAndIndex)
{
    EXPECT_EQ(GetTokenCount(L" a  bb c ", L" "), 3);
    EXPECT_STREQ(GetToken(L" a  bb c ", L" ", 1), L"bb");
    EXPECT_STREQ(GetToken(L"a;b,c", L";,", 2), L"c");
    EXPECT_EQ(GetToken(L"a b", L" ", 2), nullptr);
    EXPECT_EQ(GetToken(L"a b", L" ", -1), nullptr);
    EXPECT_STREQ(GetToken(L"a b", nullptr, 0), L"a b");
}

TEST(StrFuncTokens, GetTokenSeesOnlyFirst255Characters)
{
    std::wstring s(300, L'x');
    wchar_t* tok = GetToken(s.c_str(), L",", 0);
    ASSERT_NE(tok, nullptr);
    EXPECT_EQ(std::wcslen(tok), 255u);

    std::wstring t = std::wstring(254, L'a') + L",bc";
    EXPECT_STREQ(GetToken(t.c_str(), L",", 1), nullptr);
    t = std::wstring(253, L'a') + L",bc";
    EXPECT_STREQ(GetToken(t.c_str(), L",", 1), L"b");
}

// --- conversions --------------------------------------------------------------

static_assert(!std::is_copy_constructible_v<CVT> && !std::is_copy_assignable_v<CVT>);

TEST(StrConvert, RoundTrips)
{
    wchar_t w[16];
    char a[16];
    EXPECT_EQ(mb2wc("abc", w, 16), 4);
    EXPECT_STREQ(w, L"abc");
    EXPECT_EQ(wc2mb(L"abc", a, 16), 4);
    EXPECT_STREQ(a, "abc");
    EXPECT_EQ(wc2mbOEM(L"dir", a, 16), 4);
    EXPECT_EQ(mb2wcOEM(a, w, 16), 4);
    EXPECT_STREQ(w, L"dir");

    EXPECT_EQ(wc2utf8(L"\x20AC\xE9", a, 16), 6);
    EXPECT_STREQ(a, "\xE2\x82\xAC\xC3\xA9");
    EXPECT_EQ(utf82wc(a, w, 16), 3);
    EXPECT_STREQ(w, L"\x20AC\xE9");
}

TEST(StrConvert, TooSmallOutputIsCutTerminatedAndBounded)
{
    GuardedBuffer<wchar_t> w(4, kSentinel);
    EXPECT_EQ(utf82wc("abcdefgh", w.data(), 4), 0);
    EXPECT_STREQ(w.data(), L"abc");
    EXPECT_TRUE(w.GuardIntact());

    GuardedBuffer<char> a(4, 0x7F);
    EXPECT_EQ(wc2mb(L"abcdefgh", a.data(), 4), 0);
    EXPECT_STREQ(a.data(), "abc");
    EXPECT_TRUE(a.GuardIntact());

    // A pair cut in half would leave a lone surrogate.
    GuardedBuffer<wchar_t> cut(4, kSentinel);
    utf82wc("ab\xF0\x9F\x98\x80", cut.data(), 4);
    EXPECT_STREQ(cut.data(), L"ab");
    EXPECT_TRUE(cut.GuardIntact());
}

TEST(StrConvert, BadArguments)
{
    wchar_t w[4] = {L'x', 0};
    EXPECT_EQ(mb2wc(nullptr, w, 4), 0);
    EXPECT_STREQ(w, L"");
    EXPECT_EQ(mb2wc("a", nullptr, 4), 0);
    EXPECT_EQ(wc2mb(L"a", nullptr, -1), 0);
}

TEST(StrConvert, ConverterBothDirections)
{
    CVT cvt;
    EXPECT_EQ(cvt.GetSize(), 260u);
    wchar_t text[] = L"Start menu";
    EXPECT_STREQ(cvt.T_A(text), "Start menu");
    EXPECT_EQ(cvt.T_W(text), text);

    std::strcpy(reinterpret_cast<char*>(cvt.A_T()), "from 8-bit");
    wchar_t out[260];
    EXPECT_GT(cvt.A_T(out), 0);
    EXPECT_STREQ(out, L"from 8-bit");

    std::wcscpy(cvt.A_T(), L"wide");
    char back[260];
    cvt.T_A(back);
    EXPECT_STREQ(back, "wide");
}

TEST(StrConvert, ConverterCutsAtItsSize)
{
    CVT cvt(4);
    wchar_t text[] = L"abcdefgh";
    EXPECT_STREQ(cvt.T_A(text), "abcd");

    CVT empty(4);
    wchar_t out[4] = {L'x', 0};
    EXPECT_EQ(empty.A_T(out), 0);
    EXPECT_STREQ(out, L"");
}

// The block is first made by the 8-bit use, then filled as n + 1 wide
// characters; it must hold them whichever use came first.
TEST(StrConvert, ConverterBlockFitsWideUseAfterNarrowUse)
{
    CVT cvt(64);
    wchar_t text[] = L"x";
    cvt.T_A(text);
    wchar_t* block = cvt.A_T();
    ASSERT_GE(HeapSize(GetProcessHeap(), 0, block), 65 * sizeof(wchar_t));
    std::wmemset(block, L'w', 64);
    block[64] = L'\0';
    char back[64];
    EXPECT_EQ(cvt.T_A(back), 0);
    EXPECT_EQ(std::string(back), std::string(63, 'w'));
}
