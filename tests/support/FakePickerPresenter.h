#pragma once

#include "core/platform/PickerPresenter.h"

#include <QList>
#include <functional>
#include <optional>

// Records every picker request and answers like a user: with the queued
// answers in order (none meaning cancel), or through `answerer`. With
// `answersLater` set, pickers stay open until `answerNext` is called.
class FakePickerPresenter : public PickerPresenter {
public:
    QList<PickerRequest> requests;
    QList<std::optional<PickerChoice>> answers;
    std::function<std::optional<PickerChoice>(const PickerRequest&)> answerer;
    bool answersLater = false;

    void present(const PickerRequest& request, Completion completion) override {
        requests.append(request);
        if (answersLater) {
            m_open.append({request, std::move(completion)});
            return;
        }
        completion(answerFor(request));
    }

    int openPickers() const { return int(m_open.size()); }
    // Answers the oldest open picker as queued.
    void answerNext() {
        auto [request, completion] = m_open.takeFirst();
        completion(answerFor(request));
    }

    // The entry of `request` that offers the editor `bundleID`.
    static std::optional<PickerChoice> editorEntry(const PickerRequest& request,
                                                   const QString& bundleID) {
        for (const PickerChoice& entry : request.entries) {
            if (entry.editor() && entry.editor()->bundleID == bundleID)
                return entry;
        }
        return std::nullopt;
    }

private:
    std::optional<PickerChoice> answerFor(const PickerRequest& request) {
        if (answerer)
            return answerer(request);
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
    QList<std::pair<PickerRequest, Completion>> m_open;
};
