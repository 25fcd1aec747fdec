#pragma once

#include "core/pickers/PickerPresenter.h"

#include <cstdio>

// Pickers where nothing can be shown (no display): says so on standard error
// and reports a cancel, so the files of that picker stay unopened.
class TerminalPickerPresenter : public PickerPresenter {
public:
    explicit TerminalPickerPresenter(FILE* output = stderr);
    void present(const PickerRequest& request, Completion completion) override;

private:
    FILE* m_output;
};
