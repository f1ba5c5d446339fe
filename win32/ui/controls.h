#pragma once
// The controls of a window. ControlCore holds what every control has (its handle, its place in
// twips, the frame it sits in, its own enabled and visible state) and receives the
// notifications the window passes on; ControlOf<Interface> implements ui::Control on it once
// for each interface; one small class per kind adds the rest.

#include "ports/ui.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace omnitap::win32 {

// What a control needs from the window that holds it.
class ControlHost {
  public:
    // Gives the control the focus now if the window is active, else when it is activated.
    virtual void focusControl(HWND control) = 0;
    virtual HINSTANCE instance() const = 0;

  protected:
    ~ControlHost() = default;
};

std::string readText(HWND window);
void writeText(HWND window, const std::string& text);

class ControlCore {
  public:
    // `frame` is the frame that holds the control, or null; the control's twips are then
    // relative to it. Takes ownership of nothing: the window destroys the handles.
    ControlCore(const ui::ControlDesign& design, HWND handle, ControlHost& host,
                ControlCore* frame);
    virtual ~ControlCore() = default;
    ControlCore(const ControlCore&) = delete;
    ControlCore& operator=(const ControlCore&) = delete;

    virtual ui::Control& control() = 0;
    // A WM_COMMAND notification code or a WM_NOTIFY record sent by this control.
    virtual void command(int /*code*/) {}
    // (Some notifications are answered by filling in the record.)
    virtual void notify(NMHDR& /*header*/) {}
    // Moves and sizes the control for the window's DPI.
    virtual void place(unsigned dpi);

    const ui::ControlDesign& design() const { return design_; }
    HWND handle() const { return handle_; }
    // Enabled and visible as the user meets it: its own state and its frame's.
    bool usable() const;

    // Calls an event handler. False when the handler destroyed the control (a form that
    // unloads destroys its window): the caller must then return without touching anything.
    bool raise(const std::function<void()>& handler);

  protected:
    void enable(bool enabled);
    void show(bool visible);
    void focus() { host_.focusControl(handle_); }
    ControlHost& host() { return host_; }
    bool ownEnabled() const { return enabled_; }
    bool ownVisible() const { return visible_; }

  private:
    void applyState();

    ui::ControlDesign design_;
    ui::Twips place_; // relative to the client area
    HWND handle_;
    ControlHost& host_;
    ControlCore* frame_;
    std::vector<ControlCore*> members_; // a frame's controls
    bool enabled_, visible_;
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

// ui::Control implemented on ControlCore for one interface (Control, TextBox, ItemList, ...).
// Enabled and visible report the control's own state, as the form set it, whatever its frame.
template <class Interface> class ControlOf : public Interface, public ControlCore {
  public:
    using ControlCore::ControlCore;
    ui::Control& control() override { return *this; }
    void setText(const std::string& text) override { writeText(handle(), text); }
    std::string text() const override { return readText(handle()); }
    void setEnabled(bool enabled) override { enable(enabled); }
    bool enabled() const override { return ownEnabled(); }
    void setVisible(bool visible) override { show(visible); }
    bool visible() const override { return ownVisible(); }
    void setFocus() override { focus(); }
};

// Creates the control's window (hidden and enabled: ControlCore applies the design's state) and
// its object. `id` is the control's command id.
std::unique_ptr<ControlCore> createControl(const ui::ControlDesign& design, int id, HWND parent,
                                           ControlHost& host, ControlCore* frame);

// The two kinds with items, in ui_list_controls.cpp.
std::unique_ptr<ControlCore> makeItemList(const ui::ControlDesign& design, HWND handle,
                                          ControlHost& host, ControlCore* frame);
std::unique_ptr<ControlCore> makeListView(const ui::ControlDesign& design, HWND handle,
                                          ControlHost& host, ControlCore* frame);

} // namespace omnitap::win32
