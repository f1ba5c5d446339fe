#include "forms/form_base.h"

#include <utility>

namespace omnitap {

FormBase::FormBase(ui::UiFactory& ui, const ui::WindowDesign& design,
                   const std::vector<ui::ControlDesign>& controls)
    : ui_(ui), design_(design), controls_(controls) {}

void FormBase::show() {
    if (!window_) {
        window_ = ui_.createWindow(design_, controls_);
        bindEvents(*window_);
        window_->onClose = [this] {
            if (Form_QueryUnload(UnloadMode::CloseBox)) unload();
        };
        window_->onQueryEndSession = [this] { return Form_QueryUnload(UnloadMode::SessionEnd); };
        Form_Load();
    }
    if (window_) window_->show();
}

void FormBase::unload() {
    // Form_Unload may unload other forms, which may try to unload this one again.
    if (!window_ || unloading_) return;
    unloading_ = true;
    Form_Unload();
    std::unique_ptr<ui::Window> closing = std::move(window_);
    unloading_ = false;
    // This may run inside one of the window's own event handlers (the close box, a button):
    // nothing of the window is touched after this line.
    closing.reset();
}

} // namespace omnitap
