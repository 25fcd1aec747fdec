#pragma once

#include "core/platform/Alerts.h"

#include <cstdio>
#include <optional>

// Alerts for the command line. The message and informative text go to the
// output stream (standard error). With several buttons and an interactive
// terminal the user answers there; otherwise the cancelling answer is taken
// (the alert's cancel button, else its last button).
class TerminalAlerts : public Alerts {
public:
    // `interactive` defaults to whether `input` is a terminal.
    explicit TerminalAlerts(FILE* input = stdin, FILE* output = stderr,
                            std::optional<bool> interactive = std::nullopt);

    int runAlert(const AlertRequest& request) override;
    void beep() override;

    // The answer taken when nobody can be asked.
    static int cancellingAnswer(const AlertRequest& request);

private:
    std::optional<int> askOnTerminal(const AlertRequest& request);

    FILE* m_input;
    FILE* m_output;
    bool m_interactive;
};
