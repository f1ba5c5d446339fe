#pragma once
// The control layer: windows and controls as the forms use them. A form is written once
// against these classes; the Win32 implementation builds real windows from the layout tables
// (positions in twips, converted with the window's DPI: pixels = twips * dpi / 1440), the
// fake keeps every property in memory for the tests.

#include "ports/window_id.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace omnitap::ui {

using WindowId = ports::WindowId;

// Position and size in twips; inside a frame, relative to the frame.
struct Twips {
    int left = 0, top = 0, width = 0, height = 0;
};

// An empty face means the system's dialog font.
struct Font {
    std::string face;
    double points = 0;
    // Columns are laid out in it: where the face is missing, another fixed-pitch one stands in.
    bool fixedPitch = false;
};

enum class Kind {
    Label,
    Button,
    TextBox,          // single line
    MultiLineTextBox, // multi line, scrolls
    ComboBox,         // drop-down list, no typing
    ListBox,          // single selection, unsorted
    ListView,         // report view with columns
    Frame,            // group box; its controls are those that name it as parent
    Picture,          // shows the application icon
};

namespace flag {
constexpr unsigned kDefault = 1 << 0;   // the window's default button: Enter
constexpr unsigned kCancel = 1 << 1;    // the window's cancel button: Esc
constexpr unsigned kHidden = 1 << 2;    // created hidden
constexpr unsigned kDisabled = 1 << 3;  // created disabled
constexpr unsigned kCentred = 1 << 4;   // centred text (labels)
constexpr unsigned kNoTabStop = 1 << 5; // Tab passes it by (a control out of view)
} // namespace flag

struct ListColumn {
    std::string title;
    int widthTwips = 0;
};

// A control as the code names it: its name in the layout ("Command1") and its kind. A form
// declares each of its controls once, as a ControlId, makes its layout table of them and
// reaches the controls through them: a misspelt control does not compile.
struct ControlName {
    const char* name = "";
    Kind kind = Kind::Label;
};

struct ControlDesign {
    ControlDesign(ControlName control, std::string text = {}, Twips rect = {}, Font font = {},
                  unsigned flags = 0, ControlName parent = {}, std::vector<ListColumn> columns = {})
        : name(control.name), kind(control.kind), text(std::move(text)), rect(rect),
          font(std::move(font)), flags(flags), parent(parent.name), columns(std::move(columns)) {}

    std::string name;
    Kind kind;
    std::string text;
    Twips rect;
    Font font;
    unsigned flags;
    std::string parent;              // the frame that holds the control, if any
    std::vector<ListColumn> columns; // list views only
};

enum class Placement { Centred, SystemDefault };

struct WindowDesign {
    std::string className; // the window class, so that tests and tools can find it
    std::string caption;
    int clientWidth = 0; // twips
    int clientHeight = 0;
    Placement placement = Placement::SystemDefault;
    bool escapeCloses = false; // Esc is the close box (for a window without a cancel button)
};

// What every control has. Setting a property never raises an event, except where a class
// says so (a combo box's selection, a text box's text).
class Control {
  public:
    virtual ~Control() = default;
    virtual void setText(const std::string& text) = 0;
    virtual std::string text() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool visible() const = 0;
    virtual void setFocus() = 0;

    std::function<void()> onClick;  // buttons; a combo box's selection; a list view's click
    std::function<void()> onChange; // text boxes: the text changed (by the user or setText)
};

class TextBox : public virtual Control {
  public:
    virtual void select(int start, int length) = 0;
};

// Combo boxes and list boxes: items with a 32-bit value each.
class ItemList : public virtual Control {
  public:
    virtual void clear() = 0;
    virtual int addItem(const std::string& text) = 0; // returns the new item's index
    // All the items at once, each with the value 0 (as fast with 10,000 as with 10); none is
    // selected.
    virtual void setItems(const std::vector<std::string>& texts) = 0;
    // The items after it move up by one; a selection stays on its item.
    virtual void removeItem(int index) = 0;
    virtual void setItemData(int index, std::int32_t data) = 0;
    virtual std::int32_t itemData(int index) const = 0;
    virtual std::string itemText(int index) const = 0;
    virtual int count() const = 0;
    // -1 = none. A combo box raises onClick when its selection is set to an item.
    virtual void setSelected(int index) = 0;
    virtual int selected() const = 0;
};

class ListView : public virtual Control {
  public:
    // All the rows at once, each a text per column (as fast with 10,000 as with 10); none is
    // selected.
    virtual void setRows(std::vector<std::vector<std::string>> rows) = 0;
    virtual int addRow(const std::string& text) = 0; // returns the new row's index (0-based)
    // The rows after it move up by one; a selection stays on its row.
    virtual void removeRow(int row) = 0;
    virtual void setCell(int row, int column, const std::string& text) = 0;
    virtual std::string cell(int row, int column) const = 0;
    virtual int count() const = 0;
    virtual void setSelected(int row) = 0; // -1 = none; raises no event
    virtual int selected() const = 0;      // the first selected row, or -1
    virtual void ensureVisible(int row) = 0;

    std::function<void()> onItemClick; // an item was clicked (onClick: any click)
};

class Timer {
  public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    std::function<void()> onTimer;
};

// A control's name and kind, and the interface it is used through.
template <class Interface> struct ControlId : ControlName {};

constexpr ControlId<Control> label(const char* name) {
    return {{name, Kind::Label}};
}
constexpr ControlId<Control> button(const char* name) {
    return {{name, Kind::Button}};
}
constexpr ControlId<Control> frame(const char* name) {
    return {{name, Kind::Frame}};
}
constexpr ControlId<Control> picture(const char* name) {
    return {{name, Kind::Picture}};
}
constexpr ControlId<TextBox> textBox(const char* name) {
    return {{name, Kind::TextBox}};
}
constexpr ControlId<TextBox> multiLineTextBox(const char* name) {
    return {{name, Kind::MultiLineTextBox}};
}
constexpr ControlId<ItemList> comboBox(const char* name) {
    return {{name, Kind::ComboBox}};
}
constexpr ControlId<ItemList> listBox(const char* name) {
    return {{name, Kind::ListBox}};
}
constexpr ControlId<ListView> listView(const char* name) {
    return {{name, Kind::ListView}};
}

// A top-level window with its controls. Destroying the object destroys the window.
class Window {
  public:
    virtual ~Window() = default;

    // The control `id` names. One found under another kind (two ids of one name) throws
    // std::logic_error, on the real system and in the tests' fake windows alike; an unknown
    // name throws std::out_of_range.
    template <class Interface> Interface& operator[](ControlId<Interface> id) {
        return ofKind<Interface>(id.name, id.kind);
    }

    virtual void show() = 0; // shows it modeless and brings it forward
    virtual void hide() = 0;
    virtual bool visible() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
    virtual WindowId id() const = 0;
    // Sends WM_SYSCOMMAND to the window itself; its default handling passes the command on
    // to the system (SC_MONITORPOWER, for one).
    virtual void sendSystemCommand(std::uintptr_t command, std::intptr_t lParam) = 0;

    // The user asked to close the window (close box, Alt+F4, Esc if the design says so). The form
    // decides: normally it unloads, destroying this object; nothing of the window may be touched
    // afterwards.
    std::function<void()> onClose;
    // The session is to end (WM_QUERYENDSESSION): false holds it up. Without a handler it may.
    std::function<bool()> onQueryEndSession;
    // The session ends now (WM_ENDSESSION), or goes on after all (ending false).
    std::function<void(bool ending)> onEndSession;
    // Private messages (ports/private_messages.h) and registered ones sent or posted to the window,
    // and the system's power and session notifications (WM_POWERBROADCAST, WM_WTSSESSION_CHANGE).
    std::function<bool(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)>
        onPrivateMessage;

  protected:
    // The control called `name`, and the kind its layout declares.
    virtual Control& lookUp(const std::string& name, Kind& kind) = 0;

  private:
    template <class Interface, class... Kinds>
    Interface& ofKind(const std::string& name, Kinds... kinds) {
        Kind kind{};
        auto* control = dynamic_cast<Interface*>(&lookUp(name, kind));
        if (!control || ((kind != kinds) && ...))
            throw std::logic_error(name + " is not a control of the kind asked for");
        return *control;
    }
};

struct MenuItem {
    std::string text; // "-" is a separator
    bool checked = false;
    bool isDefault = false; // shown in bold: what activating the icon does
};

class UiFactory {
  public:
    virtual ~UiFactory() = default;
    virtual std::unique_ptr<Window> createWindow(const WindowDesign& window,
                                                 const std::vector<ControlDesign>& controls) = 0;
    virtual std::unique_ptr<Timer> createTimer() = 0;
    // Opens a popup menu at `at`, or at the mouse position when nothing is given, owned by
    // `owner` (brought forward first, so that a click elsewhere closes the menu); returns the
    // chosen item's index or -1.
    virtual int showPopupMenu(WindowId owner, const std::vector<MenuItem>& items,
                              std::optional<ports::ScreenPoint> at) = 0;
};

} // namespace omnitap::ui
