// What a test asks of an action that may fail: the string id of the Exception it raised.
#pragma once

#include "base/exception.h"

// Runs Action and returns the string id of the Exception it raised, 0 when it raised none.
template <class F>
int FailureId(F action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Id();
    }
    return 0;
}
