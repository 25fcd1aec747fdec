#include "app/TerminalPickerPresenter.h"

TerminalPickerPresenter::TerminalPickerPresenter(FILE* output)
    : m_output(output) {}

void TerminalPickerPresenter::present(const PickerRequest& request, Completion completion) {
    std::fprintf(m_output, "corvanta: %s: choosing needs a display; nothing was opened\n",
                 request.title.toUtf8().constData());
    std::fflush(m_output);
    completion(std::nullopt);
}
