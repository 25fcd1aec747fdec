#include "core/pickers/WidgetPickerPresenter.h"

#include "core/pickers/ListEditorPicker.h"
#include "core/pickers/RadialEditorPicker.h"
#include "core/platform/WindowActivation.h"

WidgetPickerPresenter::WidgetPickerPresenter(const Workspace& workspace,
                                             TranslucencyCheck translucency, QObject* parent)
    : QObject(parent)
    , m_icons(&workspace)
    , m_translucency(std::move(translucency)) {}

WidgetPickerPresenter::~WidgetPickerPresenter() {
    delete m_radial.data();
    delete m_list.data();
}

void WidgetPickerPresenter::present(const PickerRequest& request, Completion completion) {
    m_queue.enqueue({request, std::move(completion)});
    if (!isShowing())
        showNext();
}

PickerPresenter::Completion WidgetPickerPresenter::finisher(Completion completion) {
    return [this, completion](const std::optional<PickerChoice>& choice) {
        // The picker is inside its own finish here: delete it later, and clear
        // the slot first so the completion may present the next picker.
        if (m_radial)
            m_radial->deleteLater();
        if (m_list)
            m_list->deleteLater();
        m_radial = nullptr;
        m_list = nullptr;
        if (completion)
            completion(choice);
        if (!isShowing())
            showNext();
    };
}

void WidgetPickerPresenter::showNext() {
    if (m_queue.isEmpty())
        return;
    Pending next = m_queue.dequeue();
    auto icons = [this](const PickerChoice& choice) { return m_icons.icon(choice); };
    RadialEditorPicker::WindowPreparer prepare;
    if (WindowActivation* activation = m_activation)
        prepare = [activation](QWidget* panel) { activation->prepareToShow(panel->winId()); };
    if (next.request.style == PickerStyle::list) {
        auto* picker = new ListEditorPicker(next.request.title, next.request.entries, icons);
        m_list = picker;
        picker->setWindowPreparer(prepare);
        picker->show(finisher(std::move(next.completion)));
    } else {
        // Asked each time: a compositing manager may start or stop at any time.
        const bool translucent = !m_translucency || m_translucency();
        auto* picker =
            new RadialEditorPicker(next.request.title, next.request.entries, icons, translucent);
        m_radial = picker;
        picker->setWindowPreparer(prepare);
        picker->setDigitLookup(m_digitLookup);
        picker->show(finisher(std::move(next.completion)));
    }
}
