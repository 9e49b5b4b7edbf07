// The mutation fuzzer's parts: a small deterministic generator, a mutator
// for byte and wide-character inputs, the iteration budget and the crash
// report that names the target, the iteration and the input.
//
// Every target starts from a fixed seed, so a run is repeatable; the counts
// are small enough for the suite and scale up on demand (see Iterations).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/Owners.h"
#include "common/RawFile.h"

// splitmix64: tiny, fast and the same everywhere.
class Rng {
public:
    explicit Rng(uint64_t seed) : state(seed) {}
    uint64_t Next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1; 0 for n 0.
    size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }
    bool OneIn(unsigned n) { return Below(n) == 0; }
    template <typename T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[Below(items.size())];
    }

private:
    uint64_t state;
};

// The seed of a target: from its name, and PVDLL_FUZZ_SEED when set, so a
// long run can explore elsewhere while the default stays fixed.
uint64_t TargetSeed(const char* target);

// The default count times the factor from PVDLL_FUZZ_ITERATIONS or
// --fuzz-iterations=N (1 when neither is given).
size_t Iterations(size_t base);

// Sizes around the library's buffer limits, for runs and cuts.
extern const size_t interestingLengths[];
extern const size_t interestingLengthCount;

template <typename Ch>
class Mutator {
public:
    using Text = std::basic_string<Ch>;

    Mutator(Rng& rng, std::vector<Text> tokens, size_t maxSize) : rng(rng), tokens(std::move(tokens)), maxSize(maxSize)
    {
    }

    // A seed changed by one to eight stacked mutations; others supply the
    // material of a splice.
    Text Mutate(const Text& seed, const std::vector<Text>& others)
    {
        Text s = seed;
        size_t n = 1 + rng.Below(8);
        for (size_t i = 0; i < n; ++i)
            MutateOnce(s, others);
        if (s.size() > maxSize)
            s.resize(maxSize);
        return s;
    }

    Ch RandomUnit()
    {
        static const unsigned interesting[] = {0,    1,    '\t', '\n', '\r', ' ',    '"',    '%',    '&',    '#',
                                               ';',  '=',  '[',  ']',  '\\', '/',    ':',    '.',    '*',    '?',
                                               0x7F, 0x80, 0xC0, 0xEF, 0xFE, 0xFF,   0x100,  0xD800, 0xDBFF, 0xDC00,
                                               0xDFFF, 0xFEFF, 0xFFFE, 0xFFFF, 0x5555, 0xAAAA, 0x3000, 0x0130};
        unsigned v = rng.OneIn(2) ? interesting[rng.Below(sizeof interesting / sizeof interesting[0])]
                                  : static_cast<unsigned>(rng.Next());
        if (sizeof(Ch) == 1 && rng.OneIn(2))
            v = 0x20 + static_cast<unsigned>(rng.Below(0x5F));  // printable ASCII
        return static_cast<Ch>(v);
    }

private:
    size_t Pos(const Text& s) { return rng.Below(s.size() + 1); }

    size_t RunLength()
    {
        return rng.OneIn(2) ? interestingLengths[rng.Below(interestingLengthCount)] : 1 + rng.Below(600);
    }

    void MutateOnce(Text& s, const std::vector<Text>& others)
    {
        switch (rng.Below(11)) {
        case 0:  // flip one bit
            if (!s.empty())
                s[rng.Below(s.size())] ^= static_cast<Ch>(1u << rng.Below(8 * sizeof(Ch)));
            break;
        case 1:  // replace a unit
            if (!s.empty())
                s[rng.Below(s.size())] = RandomUnit();
            break;
        case 2:  // insert a unit
            s.insert(s.begin() + static_cast<ptrdiff_t>(Pos(s)), RandomUnit());
            break;
        case 3: {  // delete a range
            if (s.empty())
                break;
            size_t at = rng.Below(s.size());
            s.erase(at, 1 + rng.Below(rng.OneIn(4) ? s.size() - at : 16));
            break;
        }
        case 4: {  // duplicate a range elsewhere
            if (s.empty())
                break;
            size_t at = rng.Below(s.size());
            Text part = s.substr(at, 1 + rng.Below(64));
            s.insert(Pos(s), part);
            break;
        }
        case 5:
        case 6:  // a token: inserted or written over
        {
            const Text& t = rng.Pick(tokens);
            size_t at = Pos(s);
            if (rng.OneIn(2))
                s.insert(at, t);
            else
                s.replace(at, t.size(), t);
            break;
        }
        case 7: {  // a very long run of a token or a unit
            Text unit = rng.OneIn(2) ? rng.Pick(tokens) : Text(1, RandomUnit());
            size_t count = RunLength();
            Text run;
            while (run.size() < count && run.size() < maxSize)
                run += unit;
            run.resize(count < run.size() ? count : run.size());
            s.insert(Pos(s), run);
            break;
        }
        case 8:  // cut short
            s.resize(Pos(s));
            break;
        case 9: {  // splice with another seed
            if (others.empty())
                break;
            const Text& o = rng.Pick(others);
            size_t from = rng.Below(o.size() + 1);
            Text part = o.substr(from, rng.Below(o.size() - from + 1));
            if (rng.OneIn(2))
                s = s.substr(0, Pos(s)) + part;
            else
                s.insert(Pos(s), part);
            break;
        }
        default: {  // swap two units
            if (s.size() < 2)
                break;
            size_t a = rng.Below(s.size()), b = rng.Below(s.size());
            Ch t = s[a];
            s[a] = s[b];
            s[b] = t;
            break;
        }
        }
    }

    Rng& rng;
    std::vector<Text> tokens;
    size_t maxSize;
};

// The tokens every parser here cares about, as bytes and as characters.
std::vector<std::string> ByteTokens();
std::vector<std::wstring> WideTokens();

// One target's run: its generator, seeded from its name (see TargetSeed),
// and what is being tried, for the crash report.
class Trial {
public:
    // Installs the handlers once; names the target until the object goes.
    explicit Trial(const char* target);
    ~Trial();
    Trial(const Trial&) = delete;
    Trial& operator=(const Trial&) = delete;

    // The input of the iteration about to run (kept by reference: it must
    // live until the next call).
    void Begin(size_t iteration, const void* input, size_t bytes);
    void Begin(size_t iteration, const std::string& input) { Begin(iteration, input.data(), input.size()); }
    void Begin(size_t iteration, const std::wstring& input)
    {
        Begin(iteration, input.data(), input.size() * sizeof(wchar_t));
    }
    // The call about to be made, named in a crash report.
    void Step(const char* call);
    // One more input tried; reported on stdout and as a test property.
    void Count() { ++tried; }
    size_t Tried() const { return tried; }

    // body(i) for Iterations(base) iterations, each one more input tried
    // unless an assertion in the body gave up on it. The first failure
    // ends the run, naming the iteration.
    template <typename Body>
    void Run(size_t base, Body&& body)
    {
        const size_t count = Iterations(base);
        for (size_t i = 0; i < count; ++i) {
            body(i);
            if (testing::Test::HasFatalFailure())
                return;
            Count();
            if (testing::Test::HasFailure())
                FAIL() << "at iteration " << i;
        }
    }
    // The same with a seed mutated for each iteration: body(input, i),
    // the input already named by Begin.
    template <typename Ch, typename Body>
    void Run(size_t base, Mutator<Ch>& mutator, const std::vector<std::basic_string<Ch>>& seeds, Body&& body)
    {
        Run(base, [&](size_t i) {
            std::basic_string<Ch> input = mutator.Mutate(rng.Pick(seeds), seeds);
            Begin(i, input);
            body(input, i);
        });
    }

    Rng rng;

private:
    size_t tried = 0;
};

// Makes a call with its text named as the step, for the crash report.
#define FUZZ_CALL(trial, call) ((trial).Step(#call), (call))

// A registry key of one trial's own below HKCU, for values written raw
// (any type, any bytes); removed with everything below it when the object
// goes.
class ScratchKey {
public:
    explicit ScratchKey(const wchar_t* trialName);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    bool IsOpen() const { return raw.Get() != nullptr; }
    HKEY Raw() const { return raw.Get(); }
    // "HKCU\Software\...", the form the library's RegKey opens.
    const wchar_t* Path() const { return full; }
    // The path below HKCU.
    const wchar_t* SubKey() const { return sub; }

private:
    wchar_t sub[96];
    wchar_t full[112];
    RegHandle raw;
};
