#include "online/WebLinks.h"

#include <shellapi.h>

#include <cstdarg>
#include <cstdint>
#include <cwchar>

#include "base/ProductInfo.h"
#include "base/StrFormat.h"
#include "online/internal/ProtocolApp.h"
#include "online/internal/UrlText.h"
#include "resources/resource.h"
#include "threads/ProcessLaunch.h"
#include "ui/dialogs/MsgBox.h"

#ifndef PVDLL_COMPANY_URL
#define PVDLL_COMPANY_URL "https://www.corvenna.com"
#endif

// Declared extern "C" in the header, so the export keeps its plain name.
const wchar_t* pszMyCompanyURL = L"" PVDLL_COMPANY_URL;

namespace {

constexpr unsigned urlSize = 2048;
constexpr unsigned productParametersSize = 256;

// A string of this library as the text argument of a box.
const wchar_t* LibraryText(int id)
{
    return reinterpret_cast<const wchar_t*>(static_cast<intptr_t>(-id));
}

// A caller's string id as the text argument of a box: negative ids name the
// library's strings, positive ones the current module's.
const wchar_t* CallerText(int id)
{
    return reinterpret_cast<const wchar_t*>(static_cast<intptr_t>(static_cast<short>(id)));
}

wchar_t* MakeGoOnlineURLV(wchar_t* url, unsigned size, const wchar_t* page, va_list args)
{
    if (!url || !size)
        return url;
    url[0] = L'\0';
    UrlText::Append(url, size, pszMyCompanyURL);
    size_t length = wcslen(url);
    if (length == 0 || url[length - 1] != L'/')
        UrlText::Append(url, size, L"/");
    UrlText::Append(url, size, L"go/?p=");
    length = wcslen(url);
    if (page && length < size - 1)
        StrFormatV(url + length, static_cast<unsigned>(size - length), page, args);
    return url;
}

// The shell's execute function as the last resort: its own error boxes are
// suppressed, the failure is told in the library's words.
int ExecuteQuietly(const wchar_t* url)
{
    return RunFile(url, nullptr, nullptr, nullptr);
}

} // namespace

wchar_t* MakeGoOnlineURL(wchar_t* url, unsigned size, const wchar_t* page, ...)
{
    va_list args;
    va_start(args, page);
    MakeGoOnlineURLV(url, size, page, args);
    va_end(args);
    return url;
}

int GoOnline(HWND owner, const wchar_t* page, ...)
{
    wchar_t url[urlSize];
    va_list args;
    va_start(args, page);
    MakeGoOnlineURLV(url, urlSize, page, args);
    va_end(args);
    return OpenHTML(owner, url, FALSE, 0);
}

int GoOnline_Lang(HWND owner, const wchar_t* page, const wchar_t* languageCode)
{
    wchar_t url[urlSize];
    // The page key is a key here, not a format.
    MakeGoOnlineURL(url, urlSize, L"%s", page ? page : L"");
    ProductInfo* product = GetMyProductInfo();
    wchar_t parameters[productParametersSize];
    StrFormat(parameters, productParametersSize, L"p=%s&v=%s&r=%d&a=%s", product->GetStoreID(),
        product->GetVersionStr(), static_cast<int>(product->GetRevisionNum()), product->GetLanguage());
    UrlText::AppendParameter(url, urlSize, parameters);
    if (languageCode) {
        wchar_t language[productParametersSize];
        StrFormat(language, productParametersSize, L"c=%s", languageCode);
        UrlText::AppendParameter(url, urlSize, language);
    }
    return OpenHTML(owner, url, FALSE, 0);
}

int GoOnline_ImproveTranslation(HWND owner, const wchar_t* languageCode)
{
    return GoOnline_Lang(owner, L"improve-translation", languageCode);
}

int GoOnline_Translate(HWND owner, const wchar_t* languageCode)
{
    return GoOnline_Lang(owner, L"translate", languageCode);
}

int GoWinStore(HWND owner)
{
    return GoOnline(owner, L"rate-launchora");
}

int OpenHTML(HWND owner, const wchar_t* url, BOOL ask, int messageId)
{
    if (!url || !*url)
        return 0;
    if (ask) {
        const wchar_t* text = messageId ? CallerText(messageId) : LibraryText(IDS_OPEN_WEBSITE_NOTICE);
        if (MsgEx(owner, MB_OKCANCEL | MB_ICONINFORMATION, text) != IDOK)
            return 0;
    }
    if (reinterpret_cast<INT_PTR>(ShellExecuteW(owner, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL)) > 32)
        return 1;
    if (RunProtocolApp(owner, L"http", url))
        return 1;
    if (ExecuteQuietly(url))
        return 1;
    MsgEx(owner, MB_OK | MB_ICONSTOP, LibraryText(IDS_CANNOT_OPEN_WEBPAGE));
    return 0;
}
