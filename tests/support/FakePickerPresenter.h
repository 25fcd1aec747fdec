#pragma once

#include "core/pickers/PickerPresenter.h"

#include <QList>
#include <functional>
#include <optional>

// Records every picker request and answers like a user, through `answerer`
// (none: cancel). With `answersLater` set, pickers stay open until
// `answerNext` is called.
class FakePickerPresenter : public PickerPresenter {
public:
    QList<PickerRequest> requests;
    std::function<std::optional<PickerChoice>(const PickerRequest&)> answerer;
    bool answersLater = false;

    void present(const PickerRequest& request, Completion completion) override {
        requests.append(request);
        m_open.append({request, std::move(completion)});
        if (!answersLater)
            answerNext();
    }
    // Answers the oldest open picker.
    void answerNext() {
        auto [request, completion] = m_open.takeFirst();
        completion(answerer ? answerer(request) : std::nullopt);
    }

private:
    QList<std::pair<PickerRequest, Completion>> m_open;
};
