// The hex and Base64 decoders and the tokenizers on mutated text placed
// right before a no-access page, writing into outputs that end there too.
#include <gtest/gtest.h>

#include <cwchar>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/PageEnd.h"

namespace {

std::vector<std::wstring> CodeSeeds(Rng& rng)
{
    std::vector<std::wstring> seeds = {
        L"{4234D49B-0245-4DF3-B780-3893943456E1}", L"78563412", L"0", L"F", L"fF", L"00", L"==", L"A===",
        L"AAAA", L"hex:01,02,ff", L"-_-_", L"4C61756E63686F7261",
    };
    for (unsigned n : {1u, 2u, 3u, 4u, 16u, 92u, 200u}) {
        std::string data;
        for (unsigned k = 0; k < n; ++k)
            data.push_back(static_cast<char>(rng.Next()));
        wchar_t hex[512];
        BinToHex(hex, 512, data.data(), n);
        seeds.push_back(hex);
        wchar_t b64[512];
        BinToBase64FS(b64, 512, data.data(), n);
        seeds.push_back(b64);
    }
    LOGFONTW font = {};
    font.lfHeight = -12;
    lstrcpyW(font.lfFaceName, L"Segoe UI");
    wchar_t hex[200];
    BinToHex(hex, 200, &font, sizeof font);
    seeds.push_back(hex);
    return seeds;
}

// The text with its terminator as the last readable character.
const wchar_t* Place(PageEndBlock& block, const std::wstring& text)
{
    std::wstring z = text + L'\0';
    return block.PlaceChars(z.c_str(), z.size());
}

unsigned Capacity(Rng& rng, unsigned measured)
{
    switch (rng.Below(4)) {
    case 0:
        return measured;
    case 1:
        return static_cast<unsigned>(rng.Below(measured + 1));
    case 2:
        return measured + static_cast<unsigned>(rng.Below(8));
    default:
        return static_cast<unsigned>(rng.Below(4));
    }
}

} // namespace

TEST(Robustness, HexAndBase64Decoders)
{
    Trial trial("StrHex_decoders");
    Rng& rng = trial.rng;
    std::vector<std::wstring> seeds = CodeSeeds(rng);
    Mutator<wchar_t> mutator(rng, WideTokens(), 5000);
    PageEndBlock in;
    PageEndBlock out;

    trial.Run(5000, mutator, seeds, [&](const std::wstring& text, size_t) {
        const wchar_t* p = Place(in, text);

        unsigned need = HexToBin(nullptr, 0, p);
        unsigned cb = Capacity(rng, need);
        EXPECT_EQ(HexToBin(out.Resize(cb), cb, p), need);
        cb = Capacity(rng, need);
        EXPECT_EQ(HexToBinLE(out.Resize(cb), cb, p), need);
        HexToUINT32(p);
        HexToUINT64(p);
        unPrintfUINT32(p);
        unPrintfUINT64(p);
        HexToChar(p);

        need = Base64FSToBin(nullptr, 0, p);
        cb = Capacity(rng, need);
        EXPECT_EQ(Base64FSToBin(out.Resize(cb), cb, p), need);

        unsigned cch = rng.OneIn(2) ? 1 + static_cast<unsigned>(rng.Below(4)) : 1 + static_cast<unsigned>(rng.Below(600));
        wchar_t* s = out.Chars(cch);
        EXPECT_EQ(HexToStr(s, cch, p), 1);
        EXPECT_LT(wcsnlen(s, cch), cch);
        cch = 1 + static_cast<unsigned>(rng.Below(600));
        s = out.Chars(cch);
        StrToHex(s, cch, p);
        EXPECT_LT(wcsnlen(s, cch), cch);
    });
}

TEST(Robustness, Tokenizers)
{
    Trial trial("StrFunc_tokens");
    Rng& rng = trial.rng;
    std::vector<std::wstring> seeds = {
        L"a b  c", L"  lead and trail  ", L"k1=v1;k2=v2;;k3", L"\"quoted arg\" /x:1 -y", L";;;", L"",
        L"C:\\Program Files\\Launchora\\pvhost.exe", std::wstring(300, L'x') + L" tail",
    };
    const std::vector<std::wstring> delimSets = {L" ", L",;", L"", L"\t\r\n ", L"=", L";", L"\\/", L"\xFEFF "};
    Mutator<wchar_t> mutator(rng, WideTokens(), 3000);
    PageEndBlock in;
    PageEndBlock delimBlock;

    trial.Run(5000, mutator, seeds, [&](const std::wstring& text, size_t) {
        std::wstring delimText = rng.OneIn(5) ? mutator.Mutate(rng.Pick(delimSets), delimSets).substr(0, 8)
                                              : rng.Pick(delimSets);
        const wchar_t* delims = rng.OneIn(20) ? nullptr : Place(delimBlock, delimText);
        const size_t len = wcslen((text + L'\0').c_str());

        // StrTokEx over a copy whose terminator is the last character.
        {
            wchar_t* s = const_cast<wchar_t*>(Place(in, text));
            wchar_t* next = nullptr;
            size_t steps = 0;
            for (wchar_t* t = StrTokEx(s, delims, next); t && steps <= len; t = StrTokEx(nullptr, delims, next)) {
                EXPECT_TRUE(t >= s && t < s + len);
                ++steps;
            }
            EXPECT_LE(steps, len);
        }
        // StrTokCtx puts every delimiter back.
        {
            wchar_t* s = const_cast<wchar_t*>(Place(in, text));
            STR_TOK_CTX ctx = {reinterpret_cast<wchar_t*>(0x1), 'x'};
            size_t steps = 0;
            for (wchar_t* t = StrTokCtx(s, delims, &ctx); t && steps <= len; t = StrTokCtx(nullptr, delims, &ctx))
                ++steps;
            EXPECT_LE(steps, len);
            EXPECT_EQ(std::wstring(s, len), text.substr(0, len)) << "StrTokCtx left the text cut";
        }
        // GetToken and GetTokenCount read in place.
        {
            const wchar_t* s = Place(in, text);
            int n = GetTokenCount(s, delims);
            EXPECT_GE(n, 0);
            for (int index : {-1, 0, n - 1, n, static_cast<int>(rng.Below(300))}) {
                const wchar_t* t = GetToken(s, delims, index);
                if (t) {
                    EXPECT_LE(wcsnlen(t, 300), 255u);
                }
            }
        }
    });
}
