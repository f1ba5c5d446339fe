#include "win32/ui/window.h"

#include "resources/resource_ids.h"
#include "win32/ui/fault_barrier.h"
#include "win32/wide.h"

#include <algorithm>
#include <stdexcept>

namespace omnitap::win32 {
namespace {

// A fixed frame with a close box and a minimise box, like a VB form with a single border.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Lets IsDialogMessage walk into the window's controls for Tab and the arrow keys.
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
// Control ids start above IDOK and IDCANCEL, which IsDialogMessage sends for Enter and Esc.
constexpr int kFirstControlId = 100;
// WM_DPICHANGED (Windows 8.1 and later); spelled out because older headers lack it.
constexpr UINT kDpiChanged = 0x02E0;
const wchar_t kDefaultClass[] = L"OmnitapWindow";

std::wstring classNameOf(const ui::WindowDesign& design) {
    return design.className.empty() ? std::wstring(kDefaultClass) : widen(design.className);
}

void registerClass(HINSTANCE instance, const std::wstring& name, WNDPROC procedure) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, name.c_str(), &wc)) return;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    // Icons from LoadIcon and LR_SHARED belong to the system: nothing to destroy.
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_OMNITAP));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_OMNITAP), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    wc.lpszClassName = name.c_str();
    if (!RegisterClassExW(&wc)) throw std::runtime_error("cannot register " + narrow(name));
}

RECT primaryWorkArea() {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

} // namespace

Win32Window::Win32Window(HINSTANCE instance, const ui::WindowDesign& design,
                         const std::vector<ui::ControlDesign>& controls)
    : instance_(instance), design_(design) {
    std::wstring className = classNameOf(design);
    registerClass(instance, className, &Win32Window::procedure);
    // A centred window starts on the primary monitor, so that it gets that monitor's DPI.
    RECT work = primaryWorkArea();
    bool centred = design.placement == ui::Placement::Centred;
    // WM_NCCREATE sets hwnd_ already, for the messages that come before CreateWindowExW returns.
    hwnd_ = CreateWindowExW(kWindowExStyle, className.c_str(), widen(design.caption).c_str(),
                            kWindowStyle, centred ? work.left : CW_USEDEFAULT,
                            centred ? work.top : CW_USEDEFAULT, 100, 100, nullptr, nullptr,
                            instance, this);
    if (!hwnd_) throw std::runtime_error("cannot create window " + design.className);
    try {
        createControls(controls);
        layout(nullptr);
    } catch (...) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        throw;
    }
}

Win32Window::~Win32Window() {
    if (!hwnd_) return;
    // Late messages (focus, notifications of dying controls) must not reach this object.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

void Win32Window::createControls(const std::vector<ui::ControlDesign>& designs) {
    int id = kFirstControlId;
    for (const ui::ControlDesign& design : designs) {
        ControlCore* frame = nullptr;
        if (!design.parent.empty()) {
            frame = &find(design.parent); // a frame comes before its controls in the table
            if (frame->design().kind != ui::Kind::Frame)
                throw std::invalid_argument(design.parent + " is not a frame");
        }
        controls_.push_back(createControl(design, id++, hwnd_, *this, frame));
        ControlCore* made = controls_.back().get();
        if (design.kind == ui::Kind::Button && (design.flags & ui::flag::kDefault))
            defaultButton_ = made;
        if (design.kind == ui::Kind::Button && (design.flags & ui::flag::kCancel))
            cancelButton_ = made;
    }
}

HFONT Win32Window::fontFor(const ui::Font& font) {
    auto key = std::make_pair(font.face, font.points);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) it = fonts_.emplace(key, createFont(font, dpi_)).first;
    return it->second.get();
}

void Win32Window::layout(const RECT* suggested) {
    dpi_ = dpiOf(hwnd_);
    // The controls still use the old fonts until they are given the new ones.
    auto oldFonts = std::move(fonts_);
    fonts_.clear();
    for (const auto& control : controls_) {
        SendMessageW(control->handle(), WM_SETFONT,
                     reinterpret_cast<WPARAM>(fontFor(control->design().font)), TRUE);
        control->place(dpi_);
    }

    SIZE size = windowSizeFor(twipsToPixels(design_.clientWidth, dpi_),
                              twipsToPixels(design_.clientHeight, dpi_), kWindowStyle,
                              kWindowExStyle, dpi_);
    int width = size.cx, height = size.cy;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int x = 0, y = 0;
    if (suggested) {
        x = static_cast<int>(suggested->left);
        y = static_cast<int>(suggested->top);
    } else if (design_.placement == ui::Placement::Centred) {
        RECT work = primaryWorkArea();
        x = static_cast<int>(work.left) +
            std::max(0, static_cast<int>(work.right - work.left - width) / 2);
        y = static_cast<int>(work.top) +
            std::max(0, static_cast<int>(work.bottom - work.top - height) / 2);
    } else {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(hwnd_, nullptr, x, y, width, height, flags);
}

ControlCore& Win32Window::find(const std::string& name) const {
    for (const auto& control : controls_)
        if (control->design().name == name) return *control;
    throw std::out_of_range("no control " + name + " in " + design_.className);
}

ControlCore* Win32Window::byId(int id) const {
    int index = id - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(controls_.size())) return nullptr;
    return controls_[static_cast<std::size_t>(index)].get();
}

ui::Control& Win32Window::lookUp(const std::string& name, ui::Kind& kind) {
    ControlCore& core = find(name);
    kind = core.design().kind;
    return core.control();
}

void Win32Window::show() {
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void Win32Window::hide() {
    ShowWindow(hwnd_, SW_HIDE);
}
bool Win32Window::visible() const {
    return IsWindowVisible(hwnd_) != FALSE;
}
void Win32Window::setCaption(const std::string& caption) {
    writeText(hwnd_, caption);
}
std::string Win32Window::caption() const {
    return readText(hwnd_);
}

void Win32Window::sendSystemCommand(std::uintptr_t command, std::intptr_t lParam) {
    SendMessageW(hwnd_, WM_SYSCOMMAND, command, lParam);
}

bool Win32Window::isOurs(HWND window) {
    return window && GetWindowLongPtrW(window, GWLP_WNDPROC) ==
                         reinterpret_cast<LONG_PTR>(&Win32Window::procedure);
}

void Win32Window::focusControl(HWND control) {
    savedFocus_ = control;
    if (GetActiveWindow() == hwnd_) SetFocus(control);
}

// Dialogs remember the focused control when they lose the activation and give it back when
// they regain it; a plain window would leave the focus on itself.
void Win32Window::restoreFocus() {
    HWND target = nullptr;
    auto canFocus = [this](HWND control) {
        return control && IsChild(hwnd_, control) && IsWindowEnabled(control) &&
               IsWindowVisible(control);
    };
    if (canFocus(savedFocus_)) target = savedFocus_;
    for (auto it = controls_.begin(); !target && it != controls_.end(); ++it) {
        HWND control = (*it)->handle();
        if ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) && canFocus(control))
            target = control;
    }
    if (target) SetFocus(target);
}

void Win32Window::activated(bool active, WPARAM wParam, LPARAM lParam) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) savedFocus_ = focus;
        return;
    }
    restoreFocus();
    if (GetFocus() != hwnd_ && !IsChild(hwnd_, GetFocus()))
        DefWindowProcW(hwnd_, WM_ACTIVATE, wParam, lParam);
}

void Win32Window::command(int id, int code) {
    // Enter and Esc, through IsDialogMessage, when no button answers them directly.
    if (id == IDOK || id == IDCANCEL) {
        ControlCore* button = id == IDOK ? defaultButton_ : cancelButton_;
        if (button && button->usable()) button->command(BN_CLICKED);
        if (!button && id == IDCANCEL && design_.escapeCloses) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return;
    }
    if (ControlCore* control = byId(id)) control->command(code);
}

LRESULT CALLBACK Win32Window::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    // Nothing may touch the object after handleMessage() returns or throws: a handler may
    // have destroyed it.
    return withinBarrier(hwnd, [&] { return self->handleMessage(hwnd, message, wParam, lParam); });
}

LRESULT Win32Window::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (ControlCore* control = byId(static_cast<int>(header->idFrom)))
            if (control->handle() == header->hwndFrom) control->notify(*header);
        return 0;
    }
    case DM_GETDEFID:
        if (!defaultButton_) break;
        return MAKELRESULT(GetDlgCtrlID(defaultButton_->handle()), DC_HASDEFID);
    case WM_ACTIVATE:
        activated(LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam), wParam, lParam);
        return 0;
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    case WM_CLOSE: {
        auto handler = onClose; // the form may destroy this window, and the handler with it
        handler ? handler() : hide();
        return 0;
    }
    case WM_QUERYENDSESSION: {
        auto handler = onQueryEndSession;
        return !handler || handler();
    }
    case WM_ENDSESSION:
        if (auto handler = onEndSession) handler(wParam != FALSE);
        return 0;
    case kDpiChanged:
        layout(reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_NCDESTROY:
        // Destroyed from outside (the system ending the session): forget the handle.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        break;
    default:
        // Private messages, and the system's notifications of power and session changes.
        if (message >= WM_APP || message == WM_POWERBROADCAST || message == WM_WTSSESSION_CHANGE) {
            auto handler = onPrivateMessage;
            if (handler && handler(message, wParam, lParam)) return 0;
        }
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace omnitap::win32
