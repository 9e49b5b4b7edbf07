// Item id lists and the shell's list arrays as other programs hand them
// over: serialised buffers, registry values and clipboard blocks. Lists sit
// at the end of memory that a no-access page follows, so any read past
// their buffer faults; arrays lie in movable memory blocks, which have no
// such page, so every list handed out is checked to lie inside its block.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "Fuzz.h"
#include "PVDLL.h"
#include "common/IdListSupport.h"
#include "common/PageEnd.h"

namespace {

LPCITEMIDLIST AsList(const void* at)
{
    return static_cast<LPCITEMIDLIST>(at);
}

// The test's own reading of "exactly one whole list": a plain walk of
// the string, which knows its own length.
bool IsWholeList(const std::string& bytes)
{
    size_t pos = 0;
    while (pos + 2 <= bytes.size()) {
        size_t count = static_cast<BYTE>(bytes[pos]) | (static_cast<BYTE>(bytes[pos + 1]) << 8);
        if (count == 0)
            return pos + 2 == bytes.size();
        if (count < 2)
            return false;
        pos += count;
    }
    return false;
}

// Lists built to break a walk that trusts its counts.
std::vector<std::string> HostileLists()
{
    return {
        std::string(),                                                   // nothing at all
        std::string(1, '\0'),                                            // half a count
        std::string("\x10\x00" "abc", 5),                                // a count past the end
        std::string("\x01\x00\x00\x00", 4),                              // a count of 1
        IdItem("ab") + std::string("\x01\x00", 2) + std::string(2, '\0'),  // a count of 1 in the middle
        IdItem("abc"),                                                   // no terminator
        IdItem("abc") + std::string(1, '\0'),                            // half a terminator
        std::string("\xFF\xFF", 2) + std::string(40, 'x'),               // the largest count
        IdItem("a") + IdItem(std::string(300, 'b')).substr(0, 200),      // the last item cut short
        std::string(64, '\x02'),                                         // counts of 514 in a short buffer
        IdList({"ok"}) + std::string(1, '\0'),                           // one byte too many
    };
}

std::vector<std::string> ListSeeds()
{
    std::vector<std::string> seeds = {IdList({}), IdList({"a"}), IdList({"drive", "folder", "file.txt"}),
                                      IdList({std::string(300, 'x'), "y"})};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    LPITEMIDLIST parsed = nullptr;
    if (SUCCEEDED(SHParseDisplayName(temp, nullptr, &parsed, 0, nullptr)) && parsed) {
        seeds.push_back(ListBytes(parsed));
        CoTaskMemFree(parsed);
    }
    return seeds;
}

// Every reader of a serialised list over the bytes placed at the page end.
void ReadSerialised(Trial& trial, PageEndBlock& page, const std::string& bytes)
{
    const void* at = page.Place(bytes.data(), bytes.size());
    const unsigned size = static_cast<unsigned>(bytes.size());
    const bool whole = IsWholeList(bytes);
    EXPECT_EQ(FUZZ_CALL(trial, PIDL::IsValid(AsList(at), size)) != 0, whole);

    unsigned measured = FUZZ_CALL(trial, PIDL::GetSizeTotal(AsList(at), size));
    EXPECT_LE(measured, size);
    if (measured) {
        EXPECT_TRUE(IsWholeList(bytes.substr(0, measured)));
    }
    const std::string kept = IdList({"kept"});
    PIDL one(AsList(kept.data()));
    unsigned read = FUZZ_CALL(trial, one.GetPut(0, static_cast<BYTE*>(const_cast<void*>(at)), size));
    EXPECT_EQ(read, measured);
    EXPECT_EQ(ListBytes(one), read ? bytes.substr(0, read) : kept);

    PIDL a, b, c;
    ZnList lists;
    lists.AddTail(&a);
    lists.AddTail(&b);
    lists.AddTail(&c);
    unsigned total = FUZZ_CALL(trial, PIDL::GetPutPIDLList(lists, 3, 0, static_cast<BYTE*>(const_cast<void*>(at)), size));
    EXPECT_LE(total, size);
    EXPECT_EQ(a.GetSizeTotal() + b.GetSizeTotal() + c.GetSizeTotal(), total);
}

// An array block: whatever ID_List hands out lies whole inside it.
void ReadArray(Trial& trial, const std::string& bytes)
{
    GlobalBlock block(bytes);
    ASSERT_NE(block.Get(), nullptr);
    ID_List array(static_cast<void*>(block.Get()));
    const BYTE* start = static_cast<const BYTE*>(GlobalLock(block.Get()));
    const BYTE* end = start + block.Size();
    auto inside = [&](LPCITEMIDLIST list) {
        const BYTE* at = reinterpret_cast<const BYTE*>(list);
        if (at < start || at >= end)
            return false;
        for (size_t pos = 0; pos + 2 <= static_cast<size_t>(end - at);) {
            size_t count = at[pos] | (at[pos + 1] << 8);
            if (count == 0)
                return true;
            if (count < 2)
                return false;
            pos += count;
        }
        return false;
    };
    UINT count = FUZZ_CALL(trial, array.GetCount());
    LPCITEMIDLIST folder = FUZZ_CALL(trial, array.GetFolderPidl());
    if (!folder) {
        // Refused: nothing at all is handed out.
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(array.GetFirstPidl(), nullptr);
        EXPECT_EQ(array.GetNextPidl(), nullptr);
        EXPECT_EQ(array.GetSizeLPIDA(), 0u);
    } else {
        EXPECT_TRUE(inside(folder));
        UINT handed = 0;
        for (LPCITEMIDLIST item = FUZZ_CALL(trial, array.GetFirstPidl()); item;
             item = FUZZ_CALL(trial, array.GetNextPidl())) {
            EXPECT_TRUE(inside(item));
            ASSERT_LE(++handed, count);
        }
        EXPECT_EQ(handed, count);
        EXPECT_LE(FUZZ_CALL(trial, array.GetSizeLPIDA()), block.Size());
    }
    GlobalUnlock(block.Get());
}

std::string WithCount(std::string block, uint32_t count)
{
    PutField(block, 0, count);
    return block;
}

std::string WithOffset(std::string block, size_t index, uint32_t offset)
{
    PutField(block, 4 * (index + 1), offset);
    return block;
}

} // namespace

TEST(Robustness, SerialisedIdListsAreReadOnlyInsideTheirBuffer)
{
    Trial trial("SerialisedIdLists");
    CoInitialize(nullptr);
    PageEndBlock page;
    for (const std::string& bytes : HostileLists()) {
        trial.Begin(0, bytes);
        ASSERT_FALSE(IsWholeList(bytes)) << "a hostile case turned out whole";
        ReadSerialised(trial, page, bytes);
    }
    const std::vector<std::string> seeds = ListSeeds();
    // Lists several in a row, as GetPutPIDLList writes them.
    std::vector<std::string> all = seeds;
    all.push_back(seeds[1] + seeds[2] + seeds[0]);
    Mutator<char> mutator(trial.rng, ByteTokens(), 4096);
    trial.Run(20000, mutator, all, [&](const std::string& input, size_t) { ReadSerialised(trial, page, input); });
    CoUninitialize();
}

TEST(Robustness, IdListArraysHandOutOnlyListsInsideTheirBlock)
{
    Trial trial("IdListArrays");
    const std::string folder = IdList({"drive", "folder"});
    const std::string good = ArrayBytes({folder, IdList({"one"}), IdList({"two", "2"})});
    const std::vector<std::string> hostile = {
        std::string(),
        std::string(3, '\0'),
        WithCount(good, 0xFFFFFFFFu),
        WithCount(good, 0x40000000u),
        WithCount(good, 0x3FFFFFFFu),
        WithCount(good, 3),
        WithOffset(good, 1, static_cast<uint32_t>(good.size())),
        WithOffset(good, 2, 0xFFFFFFF0u),
        WithOffset(good, 0, 2),  // inside the header
        good.substr(0, good.size() - 1),
        WithOffset(WithOffset(good, 1, 16), 2, 17),  // lists overlapping one another
        ArrayBytes({folder, std::string("\x01\x00\x00\x00", 4)}),
        ArrayBytes({folder, IdItem("no terminator")}),
    };
    for (const std::string& bytes : hostile) {
        trial.Begin(0, bytes);
        ReadArray(trial, bytes);
    }
    {
        GlobalBlock block(good);
        ID_List array(static_cast<void*>(block.Get()));
        EXPECT_EQ(array.GetCount(), 2u) << "the well-formed array was refused";
    }
    std::vector<std::string> seeds = {good, ArrayBytes({IdList({})}), ArrayBytes({folder, IdList({}), IdList({"x"})})};
    Mutator<char> mutator(trial.rng, ByteTokens(), 4096);
    trial.Run(10000, mutator, seeds, [&](const std::string& input, size_t) { ReadArray(trial, input); });
}

TEST(Robustness, IdListRegistryValues)
{
    Trial trial("IdListRegistry");
    ScratchKey scratch(L"IdList");
    ASSERT_TRUE(scratch.IsOpen());
    RegKey key(scratch.Path(), 0);
    ASSERT_TRUE(key.IsOpen());
    const std::string kept = IdList({"kept"});
    const DWORD types[] = {REG_BINARY, REG_BINARY, REG_BINARY, REG_SZ, REG_NONE, REG_DWORD};

    std::vector<std::string> seeds = ListSeeds();
    for (const std::string& bytes : HostileLists())
        seeds.push_back(bytes);
    seeds.push_back(IdList(std::vector<std::string>(2047)));  // 4096 bytes
    seeds.push_back(IdList(std::vector<std::string>(2048)));  // 4098 bytes
    Mutator<char> mutator(trial.rng, ByteTokens(), 5000);
    trial.Run(600, mutator, seeds, [&](const std::string& input, size_t) {
        DWORD type = types[trial.rng.Below(sizeof types / sizeof types[0])];
        RegSetValueExW(scratch.Raw(), L"List", 0, type, reinterpret_cast<const BYTE*>(input.data()),
                       static_cast<DWORD>(input.size()));
        PIDL list(AsList(kept.data()));
        FUZZ_CALL(trial, list.Persist(0, key, L"List"));
        bool taken = type == REG_BINARY && input.size() <= 4096 && IsWholeList(input);
        EXPECT_EQ(ListBytes(list), taken ? input : kept);
    });
}
