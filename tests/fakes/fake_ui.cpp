#include "tests/fakes/fake_ui.h"

#include <algorithm>
#include <stdexcept>

namespace omnitap::fakes {

FakeControl::FakeControl(const ui::ControlDesign& d)
    : design(d), textValue(d.text), isEnabled(!(d.flags & ui::flag::kDisabled)),
      isVisible(!(d.flags & ui::flag::kHidden)) {}

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
    if (design.kind == ui::Kind::ComboBox) return setSelected(index);
    selectedIndex = index;
    click();
}

void FakeControl::setText(const std::string& text) {
    bool changed = text != textValue;
    textValue = text;
    bool isTextBox = design.kind == ui::Kind::TextBox || design.kind == ui::Kind::MultiLineTextBox;
    if (changed && isTextBox && onChange) onChange();
}

int FakeControl::addItem(const std::string& text) {
    items.push_back({0, {text}});
    return count() - 1;
}

void FakeControl::setRows(std::vector<std::vector<std::string>> rows) {
    clear();
    for (auto& cells : rows)
        items.push_back({0, std::move(cells)});
}

void FakeControl::removeItem(int index) {
    if (index < 0 || index >= count()) throw std::out_of_range("removeItem");
    items.erase(items.begin() + index);
    selectedIndex = selectedIndex == index ? -1 : selectedIndex - (selectedIndex > index ? 1 : 0);
}

void FakeControl::setSelected(int index) {
    if (index < -1 || index >= count()) throw std::out_of_range("setSelected");
    selectedIndex = index;
    if (design.kind == ui::Kind::ComboBox && index >= 0 && onClick) onClick();
}

void FakeControl::setCell(int row, int column, const std::string& text) {
    auto& cells = items.at(row).cells;
    cells.resize(std::max<std::size_t>(cells.size(), column + 1));
    cells[column] = text;
}

std::string FakeControl::cell(int row, int column) const {
    const auto& cells = items.at(row).cells;
    return column < static_cast<int>(cells.size()) ? cells[column] : std::string();
}

FakeWindow::FakeWindow(const ui::WindowDesign& d, const std::vector<ui::ControlDesign>& designs)
    : design(d), captionText(d.caption) {
    for (const auto& c : designs)
        controls[c.name] = std::make_unique<FakeControl>(c);
}

FakeControl& FakeWindow::get(const std::string& name) const {
    auto it = controls.find(name);
    if (it == controls.end()) throw std::out_of_range("no control " + name);
    return *it->second;
}

namespace {
// Leaves the factory's list when destroyed, as a real window goes.
template <class Base> class Tracked : public Base {
  public:
    template <class... Args>
    Tracked(std::vector<Base*>& list, Args&&... args)
        : Base(std::forward<Args>(args)...), list_(list) {
        list_.push_back(this);
    }
    ~Tracked() override { list_.erase(std::remove(list_.begin(), list_.end(), this), list_.end()); }

  private:
    std::vector<Base*>& list_;
};
} // namespace

std::unique_ptr<ui::Window>
FakeUiFactory::createWindow(const ui::WindowDesign& design,
                            const std::vector<ui::ControlDesign>& controls) {
    return std::make_unique<Tracked<FakeWindow>>(windows, design, controls);
}

std::unique_ptr<ui::Timer> FakeUiFactory::createTimer() {
    return std::make_unique<FakeTimer>();
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
