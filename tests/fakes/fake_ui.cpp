#include "tests/fakes/fake_ui.h"

#include <algorithm>
#include <stdexcept>

namespace omnitap::fakes {

FakeControl::FakeControl(const ui::ControlDesign& s) : design(s), textValue(s.text) {
    isEnabled = !(s.flags & ui::flag::kDisabled);
    isVisible = !(s.flags & ui::flag::kHidden);
}

void FakeControl::click() {
    if (!isEnabled) return;
    if (design.kind == ui::Kind::ListView && onItemClick && selectedIndex >= 0) onItemClick();
    if (onClick) onClick();
}

void FakeControl::type(const std::string& text) {
    if (isEnabled) setText(text);
}

void FakeControl::choose(int index) {
    if (!isEnabled) return;
    if (design.kind == ui::Kind::ComboBox) {
        setSelected(index);
    } else {
        selectedIndex = index;
        click();
    }
}

void FakeControl::setText(const std::string& text) {
    bool changed = text != textValue;
    textValue = text;
    bool isTextBox = design.kind == ui::Kind::TextBox || design.kind == ui::Kind::MultiLineTextBox;
    if (changed && isTextBox && onChange) onChange();
}

void FakeControl::clear() {
    items.clear();
    selectedIndex = -1;
}

int FakeControl::addItem(const std::string& text) {
    items.push_back({text, 0, {text}});
    return static_cast<int>(items.size()) - 1;
}

void FakeControl::setSelected(int index) {
    if (index < -1 || index >= count()) throw std::out_of_range("setSelected");
    selectedIndex = index;
    if (design.kind == ui::Kind::ComboBox && index >= 0 && onClick) onClick();
}

void FakeControl::setCell(int row, int column, const std::string& text) {
    auto& cells = items.at(row).cells;
    if (static_cast<int>(cells.size()) <= column) cells.resize(column + 1);
    cells[column] = text;
    if (column == 0) items.at(row).text = text;
}

std::string FakeControl::cell(int row, int column) const {
    const auto& cells = items.at(row).cells;
    return column < static_cast<int>(cells.size()) ? cells[column] : std::string();
}

FakeWindow::FakeWindow(const ui::WindowDesign& s, const std::vector<ui::ControlDesign>& designs)
    : design(s), captionText(s.caption) {
    for (const auto& c : designs)
        controls[c.name] = std::make_unique<FakeControl>(c);
}

FakeControl& FakeWindow::get(const std::string& name) {
    auto it = controls.find(name);
    if (it == controls.end()) throw std::out_of_range("no control " + name);
    return *it->second;
}

namespace {
class TrackedWindow : public FakeWindow {
  public:
    TrackedWindow(FakeUiFactory& f, const ui::WindowDesign& s,
                  const std::vector<ui::ControlDesign>& c)
        : FakeWindow(s, c), factory(f) {}
    ~TrackedWindow() override { factory.forget(this); }
    FakeUiFactory& factory;
};
class TrackedTimer : public FakeTimer {
  public:
    explicit TrackedTimer(FakeUiFactory& f) : factory(f) {}
    ~TrackedTimer() override {
        auto& t = factory.timers;
        t.erase(std::remove(t.begin(), t.end(), this), t.end());
    }
    FakeUiFactory& factory;
};
} // namespace

std::unique_ptr<ui::Window>
FakeUiFactory::createWindow(const ui::WindowDesign& design,
                            const std::vector<ui::ControlDesign>& controls) {
    auto window = std::make_unique<TrackedWindow>(*this, design, controls);
    windows.push_back(window.get());
    return window;
}

std::unique_ptr<ui::Timer> FakeUiFactory::createTimer() {
    auto timer = std::make_unique<TrackedTimer>(*this);
    timers.push_back(timer.get());
    return timer;
}

int FakeUiFactory::showPopupMenu(ui::WindowId, const std::vector<ui::MenuItem>& items) {
    menusShown.push_back(items);
    return menuChoice;
}

void FakeUiFactory::forget(FakeWindow* window) {
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

FakeWindow* FakeUiFactory::find(const std::string& caption) const {
    for (FakeWindow* w : windows)
        if (w->design.caption == caption) return w;
    return nullptr;
}

FakeWindow& FakeUiFactory::window(const std::string& caption) const {
    FakeWindow* w = find(caption);
    if (!w) throw std::out_of_range("no window " + caption);
    return *w;
}

} // namespace omnitap::fakes
