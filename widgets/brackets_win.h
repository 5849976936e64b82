// Scoped brackets of the windows' own updates: a form's lock, suspended alignment of a control's
// children and the busy cursor. Each is released when its scope ends, whichever way it is left,
// exceptions included.
#pragma once

#include "widgets/app_services_win.h"
#include "widgets/win95_form_win.h"

class TFormLock {
public:
    explicit TFormLock(TWin95Form& form) : form_(form) { form_.Lock(true); }
    ~TFormLock() { form_.Lock(false); }
    TFormLock(const TFormLock&) = delete;
    TFormLock& operator=(const TFormLock&) = delete;

private:
    TWin95Form& form_;
};

class TAlignSuspension {
public:
    explicit TAlignSuspension(TWinControl& control) : control_(control) { control_.DisableAlign(); }
    // The children are aligned again when the last suspension ends; a failure there is shown,
    // as nothing may leave a destructor.
    ~TAlignSuspension() {
        GuardedCall([this] { control_.EnableAlign(); });
    }
    TAlignSuspension(const TAlignSuspension&) = delete;
    TAlignSuspension& operator=(const TAlignSuspension&) = delete;

private:
    TWinControl& control_;
};

class TBusyCursor {
public:
    TBusyCursor() { BeginBusy(); }
    ~TBusyCursor() { EndBusy(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};
