#include "platform/FeatureWindow.h"

namespace {

FeatureWindow::ShowOpener defaultOpener = nullptr;
FeatureWindow::Companion companion = nullptr;

} // namespace

void FeatureWindow::setDefaultOpener(ShowOpener showOpener) {
    defaultOpener = showOpener;
}

void FeatureWindow::setCompanion(Companion window) {
    companion = window;
}

FeatureWindow::FeatureWindow(ShowOpener showOpener) : showOpener_(showOpener) {}

// Only the state changes: a hidden companion stays hidden.
void followWithCompanion(const FormBase& window) {
    if (!companion) return;
    if (window.isMinimized())
        companion().setWindowState(Qt::WindowMinimized);
    else if (window.windowState() == Qt::WindowNoState)
        companion().setWindowState(Qt::WindowNoState);
}

void FeatureWindow::Form_Resize() {
    followWithCompanion(*this);
}

void FeatureWindow::Form_Unload() {
    if (const ShowOpener opener = showOpener_ ? showOpener_ : defaultOpener) opener();
    hide();
}
