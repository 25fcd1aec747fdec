#pragma once

#include "core/platform/WindowActivation.h"

#include <QList>

// Keeps the request's token and records each window prepared to show.
struct RecordingActivation : WindowActivation {
    void setRequestToken(const std::optional<QString>& token) override { this->token = token; }
    std::optional<QString> requestToken() const override { return token; }
    void prepareToShow(quintptr window) override { prepared.append(window); }
    std::optional<QString> token;
    QList<quintptr> prepared;
};
