#include "platform/Forms.h"

#include "platform/Clock.h"
#include "platform/Services.h"
#include "platform/Widgets.h"

#include <QTimer>

Forms& Forms::instance() {
    static Forms forms;
    return forms;
}

FormBase* Forms::find(const std::type_index& type) const {
    auto found = loaded_.find(type);
    return found == loaded_.end() ? nullptr : found->second;
}

FormBase& Forms::load(const std::type_index& type, const std::function<FormBase*()>& make) {
    FormBase* form = make();
    // Registered before its load handler runs, so the handler can reach its own window.
    loaded_[type] = form;
    takeTypedTextAsTyped(form);
    Services::instance().enterProgramFolder();
    form->Form_Load();
    return *form;
}

void Forms::unload(FormBase* form) {
    for (auto it = loaded_.begin(); it != loaded_.end(); ++it) {
        if (it->second != form) continue;
        loaded_.erase(it);
        form->hide();
        unloaded_.emplace_back(form);
        scheduleReap();
        return;
    }
}

// Runs from the event loop itself, after the handler that closed the window
// has returned. A handler still inside a wait is caught there: it is tried
// again once the outermost wait is over and the event loop comes back.
void Forms::scheduleReap() {
    QTimer::singleShot(0, [] {
        Forms& forms = Forms::instance();
        if (Clock::instance().waitDepth() == 0)
            forms.reap();
        else
            Clock::instance().setIdleHook([] { Forms::instance().scheduleReap(); });
    });
}

void Forms::reap() {
    auto dead = std::move(unloaded_);
    unloaded_.clear();
    dead.clear();
}

void Forms::clear() {
    auto forms = std::move(loaded_);
    loaded_.clear();
    for (auto& [type, form] : forms)
        delete form;
    unloaded_.clear();
}
