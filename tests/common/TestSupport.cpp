#include "common/TestSupport.h"

#include <wincodec.h>

#include <gtest/gtest.h>

namespace {

thread_local ModalWatchdog* activeWatchdog = nullptr;

BOOL CALLBACK EndThreadDialog(HWND hwnd, LPARAM)
{
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0)
        EndDialog(hwnd, IDCANCEL);
    return TRUE;
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = folder + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace

ModalWatchdog::ModalWatchdog(UINT budgetMs)
{
    activeWatchdog = this;
    timer = SetTimer(nullptr, 0, budgetMs, OnTimer);
}

ModalWatchdog::~ModalWatchdog()
{
    KillTimer(nullptr, timer);
    activeWatchdog = nullptr;
}

void CALLBACK ModalWatchdog::OnTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (!activeWatchdog || activeWatchdog->fired)
        return;
    activeWatchdog->fired = true;
    ADD_FAILURE() << "watchdog: a modal loop did not end in time";
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), EndThreadDialog, 0);
    PostQuitMessage(1);
}

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static LONG counter = 0;
    wchar_t name[64];
    wsprintfW(name, L"pvdll-test-%lu-%ld", GetCurrentProcessId(), InterlockedIncrement(&counter));
    path = std::wstring(temp) + name;
    RemoveTree(path);
    CreateDirectoryW(path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTree(path);
}

// --- pictures ------------------------------------------------------------------------

std::wstring ArtifactFolder()
{
    std::wstring bin = ModuleFolder();
    std::wstring folder = bin.substr(0, bin.find_last_of(L'\\')) + L"\\artifacts";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

namespace {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr()
    {
        if (p)
            p->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return p; }
    T** operator&() { return &p; }
    T* get() const { return p; }

private:
    T* p = nullptr;
};

HRESULT WritePngFile(const std::wstring& path, const DWORD* pixels, int cx, int cy)
{
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory));
    if (FAILED(hr))
        return hr;
    ComPtr<IWICBitmap> source;
    UINT stride = static_cast<UINT>(cx) * 4;
    hr = factory->CreateBitmapFromMemory(cx, cy, GUID_WICPixelFormat32bppBGR, stride, stride * cy,
                                         reinterpret_cast<BYTE*>(const_cast<DWORD*>(pixels)), &source);
    ComPtr<IWICStream> stream;
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    ComPtr<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
    ComPtr<IWICBitmapFrameEncode> frame;
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(cx, cy);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr))
        hr = frame->WriteSource(source.get(), nullptr);
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    return hr;
}

} // namespace

std::wstring SavePng(const std::wstring& name, const DWORD* pixels, int cx, int cy)
{
    if (!pixels || cx <= 0 || cy <= 0)
        return {};
    std::wstring path = ArtifactFolder() + L"\\" + name;
    if (name.find(L'.') == std::wstring::npos)
        path += L".png";
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HRESULT hr = WritePngFile(path, pixels, cx, cy);
    if (SUCCEEDED(init))
        CoUninitialize();
    if (FAILED(hr)) {
        DeleteFileW(path.c_str());
        return {};
    }
    return path;
}

BITMAPINFO TopDown32(int cx, int cy)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

std::vector<DWORD> BitmapPixels(HBITMAP bmp, int* cx, int* cy)
{
    BITMAP info;
    if (!GetObjectW(bmp, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        return {};
    int width = info.bmWidth;
    int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    BITMAPINFO header = TopDown32(width, height);
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bmp, 0, height, pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height)
        return {};
    for (DWORD& pixel : pixels)
        pixel &= 0x00FFFFFF;
    if (cx)
        *cx = width;
    if (cy)
        *cy = height;
    return pixels;
}

std::wstring SavePng(const std::wstring& name, HBITMAP bmp)
{
    int cx = 0, cy = 0;
    std::vector<DWORD> pixels = BitmapPixels(bmp, &cx, &cy);
    return pixels.empty() ? std::wstring() : SavePng(name, pixels.data(), cx, cy);
}

namespace {

void DispatchWaiting()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

void PumpFor(DWORD ms)
{
    // What waits now is handled even for 0 ms.
    DispatchWaiting();
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        DispatchWaiting();
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < timeoutMs) {
        DispatchWaiting();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return done();
}
