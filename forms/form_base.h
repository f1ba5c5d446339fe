#pragma once
// What the three configuration windows have in common: a form object lives for the whole
// run, and it is "loaded" while its window exists. show() loads it when needed (Form_Load)
// and brings it forward; unload() runs Form_Unload and destroys the window. The close box
// unloads, once Form_QueryUnload lets it; and it is asked whether the session may end.

#include "ports/ui.h"

#include <memory>
#include <vector>

namespace omnitap {

class FormBase {
  public:
    FormBase(const FormBase&) = delete;
    FormBase& operator=(const FormBase&) = delete;
    virtual ~FormBase() = default;

    bool loaded() const { return window_ != nullptr; }
    // The loaded window's id, 0 when not loaded: the owner of the boxes the form raises.
    ui::WindowId id() const { return window_ ? window_->id() : 0; }
    // Loads the form if it is not loaded, then shows it modeless and brings it forward.
    void show();
    // Runs Form_Unload and destroys the window; nothing when not loaded or already unloading.
    void unload();

  protected:
    FormBase(ui::UiFactory& ui, const ui::WindowDesign& design,
             const std::vector<ui::ControlDesign>& controls);

    // Why a form may be asked before it goes.
    enum class UnloadMode { CloseBox, SessionEnd };
    virtual void Form_Load() = 0;
    // Whether the form may go: closed by the user, or with the session ending (then it is not
    // unloaded here; the program ends with the session).
    virtual bool Form_QueryUnload(UnloadMode) { return true; }
    virtual void Form_Unload() = 0;
    // Connects the controls' events to the form's handlers, once per load.
    virtual void bindEvents(ui::Window& window) = 0;

    // The loaded window; only valid while loaded().
    ui::Window& window() const { return *window_; }

  private:
    ui::UiFactory& ui_;
    const ui::WindowDesign& design_;
    const std::vector<ui::ControlDesign>& controls_;
    std::unique_ptr<ui::Window> window_;
    bool unloading_ = false;
};

} // namespace omnitap
