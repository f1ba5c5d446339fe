#include "win32/ui/controls.h"

#include "win32/ui/dpi.h"
#include "win32/wide.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

namespace omnitap::win32 {

std::string readText(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return narrow(text);
}

void writeText(HWND window, const std::string& text) {
    SetWindowTextW(window, widen(text).c_str());
}

ControlCore::ControlCore(const ui::ControlDesign& design, HWND handle, ControlHost& host,
                         ControlCore* frame)
    : design_(design), place_(design.rect), handle_(handle), host_(host), frame_(frame),
      enabled_(!(design.flags & ui::flag::kDisabled)),
      visible_(!(design.flags & ui::flag::kHidden)) {
    if (frame_) {
        place_.left += frame_->place_.left;
        place_.top += frame_->place_.top;
        frame_->members_.push_back(this);
    }
    applyState();
}

void ControlCore::place(unsigned dpi) {
    SetWindowPos(handle_, nullptr, twipsToPixels(place_.left, dpi), twipsToPixels(place_.top, dpi),
                 twipsToPixels(place_.width, dpi), twipsToPixels(place_.height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ControlCore::usable() const {
    bool frameUsable = !frame_ || (frame_->enabled_ && frame_->visible_);
    return enabled_ && visible_ && frameUsable;
}

bool ControlCore::raise(const std::function<void()>& handler) {
    if (!handler) return true;
    std::weak_ptr<char> alive = alive_;
    auto call = handler; // the handler may destroy the std::function it lives in
    call();
    return !alive.expired();
}

void ControlCore::enable(bool enabled) {
    enabled_ = enabled;
    applyState();
}

void ControlCore::show(bool visible) {
    visible_ = visible;
    applyState();
}

// A frame passes its state on to its controls, so that none of them can be used while the
// frame is disabled or hidden; each keeps its own state for when the frame comes back.
void ControlCore::applyState() {
    bool frameEnabled = !frame_ || frame_->enabled_;
    bool frameVisible = !frame_ || frame_->visible_;
    EnableWindow(handle_, enabled_ && frameEnabled);
    ShowWindow(handle_, visible_ && frameVisible ? SW_SHOWNA : SW_HIDE);
    for (ControlCore* member : members_)
        member->applyState();
}

namespace {

// Labels, frames and pictures: nothing beyond the common properties.
class PlainControl final : public ControlOf<ui::Control> {
  public:
    using ControlOf::ControlOf;
};

class Button final : public ControlOf<ui::Control> {
  public:
    using ControlOf::ControlOf;
    void command(int code) override {
        if (code == BN_CLICKED) raise(onClick);
    }
};

class Picture final : public ControlOf<ui::Control> {
  public:
    using ControlOf::ControlOf;
    void place(unsigned dpi) override {
        int size = std::min(twipsToPixels(design().rect.width, dpi),
                            twipsToPixels(design().rect.height, dpi));
        icon_ = loadAppIcon(host().instance(), size);
        SendMessageW(handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
        ControlCore::place(dpi); // setting an icon resizes the control to it
    }

  private:
    IconHandle icon_;
};

class TextBoxControl final : public ControlOf<ui::TextBox> {
  public:
    using ControlOf::ControlOf;
    void setText(const std::string& text) override {
        // The edit control reports EN_CHANGE for every WM_SETTEXT; the form hears of a change
        // only when there is one.
        if (text != readText(handle())) writeText(handle(), text);
    }
    // Start and length count bytes of the UTF-8 text, as the program's strings do.
    void select(int start, int length) override {
        std::string text = readText(handle());
        auto at = [&](long long byte) {
            byte = std::clamp<long long>(byte, 0, static_cast<long long>(text.size()));
            return static_cast<LPARAM>(widen(std::string_view(text).substr(0, byte)).size());
        };
        LPARAM from = at(start), to = at(static_cast<long long>(start) + length);
        SendMessageW(handle(), EM_SETSEL, static_cast<WPARAM>(from), to);
    }
    void command(int code) override {
        if (code == EN_CHANGE) raise(onChange);
    }
};

struct KindStyle {
    ui::Kind kind;
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

// How each kind of control is made. Tab stops follow the table order of the layout.
const KindStyle kKindStyles[] = {
    {ui::Kind::Label, L"STATIC", SS_NOPREFIX, 0},
    {ui::Kind::Button, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0},
    {ui::Kind::TextBox, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {ui::Kind::MultiLineTextBox, L"EDIT", WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL,
     WS_EX_CLIENTEDGE},
    {ui::Kind::ComboBox, L"COMBOBOX", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 0},
    {ui::Kind::ListBox, L"LISTBOX", WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
     WS_EX_CLIENTEDGE},
    // Owner data: the control asks for the text of the rows it shows, so that 10,000 rows
    // cost no more than 10 to fill.
    {ui::Kind::ListView, WC_LISTVIEWW,
     WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA, WS_EX_CLIENTEDGE},
    {ui::Kind::Frame, L"BUTTON", BS_GROUPBOX, 0},
    {ui::Kind::Picture, L"STATIC", SS_ICON, 0},
};

DWORD flagStyle(const ui::ControlDesign& design) {
    if (design.kind == ui::Kind::Label)
        return design.flags & ui::flag::kCentred ? SS_CENTER : SS_LEFT;
    if (design.kind == ui::Kind::Button && (design.flags & ui::flag::kDefault))
        return BS_DEFPUSHBUTTON;
    return 0;
}

} // namespace

std::unique_ptr<ControlCore> createControl(const ui::ControlDesign& design, int id, HWND parent,
                                           ControlHost& host, ControlCore* frame) {
    const KindStyle* kind = std::find_if(std::begin(kKindStyles), std::end(kKindStyles),
                                         [&](const KindStyle& k) { return k.kind == design.kind; });
    if (kind == std::end(kKindStyles)) throw std::invalid_argument("unknown kind: " + design.name);
    // Pictures take no text: a static with SS_ICON would read it as an icon resource name.
    std::wstring text = design.kind == ui::Kind::Picture ? std::wstring() : widen(design.text);
    DWORD style = WS_CHILD | kind->style | flagStyle(design);
    if (design.flags & ui::flag::kNoTabStop) style &= ~static_cast<DWORD>(WS_TABSTOP);
    HWND handle = CreateWindowExW(kind->exStyle, kind->windowClass, text.c_str(), style, 0, 0, 0, 0,
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  host.instance(), nullptr);
    if (!handle) throw std::runtime_error("cannot create control " + design.name);
    switch (design.kind) {
    case ui::Kind::Button:
        return std::make_unique<Button>(design, handle, host, frame);
    case ui::Kind::TextBox:
    case ui::Kind::MultiLineTextBox:
        return std::make_unique<TextBoxControl>(design, handle, host, frame);
    case ui::Kind::ComboBox:
    case ui::Kind::ListBox:
        return makeItemList(design, handle, host, frame);
    case ui::Kind::ListView:
        return makeListView(design, handle, host, frame);
    case ui::Kind::Picture:
        return std::make_unique<Picture>(design, handle, host, frame);
    default:
        return std::make_unique<PlainControl>(design, handle, host, frame);
    }
}

} // namespace omnitap::win32
