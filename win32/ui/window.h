#pragma once
// A top-level window of the control layer: a window class of its own name, the controls of
// its layout table, and dialog manners (Tab, Enter for the default button, Esc for the cancel
// button or the close box) through IsDialogMessage, which the message loop calls for our windows.

#include "ports/ui.h"
#include "win32/ui/controls.h"
#include "win32/ui/dpi.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace omnitap::win32 {

class Win32Window final : public ui::Window, private ControlHost {
  public:
    Win32Window(HINSTANCE instance, const ui::WindowDesign& design,
                const std::vector<ui::ControlDesign>& controls);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    void show() override;
    void hide() override;
    bool visible() const override;
    void setCaption(const std::string& caption) override;
    std::string caption() const override;
    void sendSystemCommand(std::uintptr_t command, std::intptr_t lParam) override;
    ui::WindowId id() const override { return reinterpret_cast<ui::WindowId>(hwnd_); }

    HWND handle() const { return hwnd_; }
    // True for a top-level window made by this class: the message loop gives those
    // IsDialogMessage.
    static bool isOurs(HWND window);

  protected:
    ui::Control& lookUp(const std::string& name, ui::Kind& kind) override;

  private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id, int code);
    void activated(bool active, WPARAM wParam, LPARAM lParam);
    void restoreFocus();

    // ControlHost
    void focusControl(HWND control) override;
    HINSTANCE instance() const override { return instance_; }

    void createControls(const std::vector<ui::ControlDesign>& designs);
    // Sizes the window for its client area and places every control, with fonts, for dpi_.
    void layout(const RECT* suggested);
    HFONT fontFor(const ui::Font& font);
    ControlCore& find(const std::string& name) const;
    ControlCore* byId(int id) const;

    HINSTANCE instance_;
    ui::WindowDesign design_;
    HWND hwnd_ = nullptr;
    unsigned dpi_ = 96;
    std::map<std::pair<std::string, double>, FontHandle> fonts_; // one per face and size
    std::vector<std::unique_ptr<ControlCore>> controls_;         // in tab order
    ControlCore* defaultButton_ = nullptr;
    ControlCore* cancelButton_ = nullptr;
    HWND savedFocus_ = nullptr; // the control that had the focus when the window lost it
};

} // namespace omnitap::win32
