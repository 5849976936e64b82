// The errors of the rich edit control and its embedded objects: a stream or line operation the
// control did not carry out (EOutOfResources), and a failed OLE call (EOleError, with the
// result code in its message). OleCheck raises the latter for a failure code.
#pragma once

#include <windows.h>

#include <functional>

#include "base/exception.h"

class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

class EOleError : public Exception {
public:
    explicit EOleError(HRESULT result);
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

// Raises EOleError when Result is a failure code; passes success codes through.
HRESULT OleCheck(HRESULT result);

// Runs the body of a method that OLE or the rich edit control calls: an error is shown through
// the application's error display and answered with E_FAIL, as no exception may pass back into
// the caller.
HRESULT GuardedComCall(const std::function<HRESULT()>& body);
