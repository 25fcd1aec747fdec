#pragma once

#include "core/pickers/PickerIcons.h"
#include "core/pickers/PickerPresenter.h"
#include "core/pickers/RadialEditorPickerView.h"

#include <QObject>
#include <QPointer>
#include <QQueue>
#include <functional>

class ListEditorPicker;
class RadialEditorPicker;
class WindowActivation;

// Shows pickers as windows: the radial or the list picker, as the request
// says, one at a time. A request made while a picker is open waits for it.
class WidgetPickerPresenter : public QObject, public PickerPresenter {
    Q_OBJECT
public:
    // Whether the window system blends translucent windows right now.
    using TranslucencyCheck = std::function<bool()>;

    // `workspace` supplies the editors' application icons; it must outlive this.
    explicit WidgetPickerPresenter(const Workspace& workspace, TranslucencyCheck translucency = {},
                                   QObject* parent = nullptr);
    ~WidgetPickerPresenter() override;

    void present(const PickerRequest& request, Completion completion) override;
    // Pickers are shown with the current request's token, so that they get
    // keyboard focus after a double-click in the file manager.
    void setActivation(WindowActivation* activation) { m_activation = activation; }
    // Tells the radial picker which digit a number key carries in the layout.
    void setDigitLookup(RadialEditorPickerView::DigitLookup lookup) {
        m_digitLookup = std::move(lookup);
    }

    bool isShowing() const { return m_radial || m_list; }
    RadialEditorPicker* radialPicker() const { return m_radial; }
    ListEditorPicker* listPicker() const { return m_list; }

private:
    struct Pending {
        PickerRequest request;
        Completion completion;
    };
    void showNext();
    Completion finisher(Completion completion);

    PickerIcons m_icons;
    TranslucencyCheck m_translucency;
    WindowActivation* m_activation = nullptr;
    RadialEditorPickerView::DigitLookup m_digitLookup;
    QQueue<Pending> m_queue;
    QPointer<RadialEditorPicker> m_radial;
    QPointer<ListEditorPicker> m_list;
};
