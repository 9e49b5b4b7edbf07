#include "online/internal/UpdateAnswer.h"

#include <cwchar>

#include "online/internal/UrlText.h"

namespace {

const wchar_t offerTag[] = L"[dl]";
const wchar_t errorTag[] = L"error";
constexpr size_t offerTagLength = 4;
constexpr size_t errorTagLength = 5;

UpdateAnswer Verdict(UpdateVerdict verdict, const wchar_t* reason = L"", const wchar_t* url = L"")
{
    return {verdict, reason, url};
}

UpdateAnswer JudgeOffer(const wchar_t* answer, UpdateIni& record)
{
    if (!record.Parse(answer))
        return Verdict(UpdateVerdict::refused);
    const wchar_t* url = record.szUrlDownload[0] ? record.szUrlDownload : record.szUrlMoreInfo;
    if (!UrlText::IsWebUrl(url))
        return Verdict(UpdateVerdict::refused);
    // The description links to this address: what the offer may not open
    // itself, its dialog may not open either.
    if (!UrlText::IsWebUrl(record.szUrlMoreInfo))
        record.szUrlMoreInfo[0] = L'\0';
    return Verdict(UpdateVerdict::offer, L"", url);
}

} // namespace

UpdateAnswer JudgeUpdateAnswer(const wchar_t* answer, UpdateIni& record)
{
    if (!answer || !answer[0])
        return Verdict(UpdateVerdict::noAnswer);
    if (!_wcsicmp(answer, L"OK") || !_wcsicmp(answer, L"OK."))
        return Verdict(UpdateVerdict::upToDate);
    if (!wcsncmp(answer, offerTag, offerTagLength))
        return JudgeOffer(answer, record);
    if (!_wcsnicmp(answer, errorTag, errorTagLength)) {
        const wchar_t* reason = answer + errorTagLength;
        while (*reason == L' ')
            ++reason;
        return Verdict(UpdateVerdict::error, reason);
    }
    return Verdict(UpdateVerdict::error);
}
