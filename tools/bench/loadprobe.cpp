// pvloadprobe: times LoadLibraryW + FreeLibrary of two DLLs in a process of
// its own, so that nothing the benchmark itself has loaded hides their
// cost. It imports nothing but kernel32 and the C runtime.
//
//   pvloadprobe cold|warm COUNT ROUNDS LIBRARY TRIVIAL
//
// cold: the process holds no other system DLL, so each load brings in
// whatever the library imports. warm: the system DLLs that a shell process
// holds are loaded first. Prints the best per-load time of each, in
// microseconds: "LIBRARY-us TRIVIAL-us"; exit code 1 when a DLL would not
// load or stayed loaded.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <initializer_list>

namespace {

double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per cycle, or a negative value when a cycle failed.
double Cycles(const wchar_t* path, int count)
{
    double start = Now();
    for (int i = 0; i < count; ++i) {
        HMODULE module = LoadLibraryW(path);
        if (!module)
            return -1;
        FreeLibrary(module);
    }
    double took = (Now() - start) / count * 1e6;
    return GetModuleHandleW(path) ? -1 : took;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 6)
        return 2;
    if (std::wcscmp(argv[1], L"warm") == 0) {
        for (const wchar_t* name : {L"user32.dll", L"gdi32.dll", L"advapi32.dll", L"shell32.dll", L"shlwapi.dll",
                                    L"ole32.dll", L"oleaut32.dll", L"comctl32.dll", L"msimg32.dll"})
            LoadLibraryW(name);  // held until the process ends
    }
    const int count = _wtoi(argv[2]);
    const int rounds = _wtoi(argv[3]);
    // One cycle each first, so the files are in the cache.
    if (Cycles(argv[4], 1) < 0 || Cycles(argv[5], 1) < 0)
        return 1;
    double best = 1e300, bestTrivial = 1e300;
    for (int r = 0; r < rounds; ++r) {
        double ours = Cycles(argv[4], count);
        double trivial = Cycles(argv[5], count);
        if (ours < 0 || trivial < 0)
            return 1;
        best = ours < best ? ours : best;
        bestTrivial = trivial < bestTrivial ? trivial : bestTrivial;
    }
    std::printf("%.1f %.1f\n", best, bestTrivial);
    return 0;
}
