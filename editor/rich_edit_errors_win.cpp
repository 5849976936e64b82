#include "editor/rich_edit_errors_win.h"

#include "base/string_ids.h"
#include "winui/application_win.h"

EOleError::EOleError(HRESULT result)
    : Exception(sid::OleError, {int64_t{static_cast<uint32_t>(result)}}), result_(result) {}

HRESULT OleCheck(HRESULT result) {
    if (FAILED(result)) throw EOleError(result);
    return result;
}

HRESULT GuardedComCall(const std::function<HRESULT()>& body) {
    try {
        return body();
    } catch (...) {
        if (Application) Application->HandleException();
        return E_FAIL;
    }
}
