#pragma once
// The control layer in memory: every property is a field, events are raised by the test
// (click(), type(), choose()) and by the setters the real controls raise them from. A window
// hands out its controls under the kinds their designs declare, as the real one does.

#include "ports/ui.h"

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace omnitap::fakes {

class FakeControl : public virtual ui::TextBox,
                    public virtual ui::ItemList,
                    public virtual ui::ListView {
  public:
    explicit FakeControl(const ui::ControlDesign& d)
        : design(d), textValue(d.text), isEnabled(!(d.flags & ui::flag::kDisabled)),
          isVisible(!(d.flags & ui::flag::kHidden)) {}

    ui::ControlDesign design;
    std::string textValue;
    bool isEnabled, isVisible, hasFocus = false;
    int selectionEnd = 0; // where the text selected ends
    struct Item {
        std::int32_t data = 0;
        std::vector<std::string> cells; // cell 0 is the item's text
    };
    std::vector<Item> items;
    int selectedIndex = -1, scrolledTo = -1;

    void click() { // a button press, or a click on a list view
        if (!isEnabled) return;
        if (design.kind == ui::Kind::ListView && onItemClick && selectedIndex >= 0) onItemClick();
        if (onClick) onClick();
    }
    void type(const std::string& text) { // replaces a text box's text as typing would
        if (isEnabled) setText(text);
    }
    void choose(int index) { // the user picks a combo item / list row
        if (!isEnabled) return;
        if (design.kind == ui::Kind::ComboBox) return setSelected(index);
        selectedIndex = index;
        click();
    }

    void setText(const std::string& text) override {
        bool isTextBox =
            design.kind == ui::Kind::TextBox || design.kind == ui::Kind::MultiLineTextBox;
        if (std::exchange(textValue, text) != text && isTextBox && onChange) onChange();
    }
    std::string text() const override { return textValue; }
    void setEnabled(bool e) override { isEnabled = e; }
    bool enabled() const override { return isEnabled; }
    void setVisible(bool v) override { isVisible = v; }
    bool visible() const override { return isVisible; }
    void setFocus() override { hasFocus = true; }
    void select(int start, int length) override { selectionEnd = start + length; }
    void clear() override {
        items.clear();
        selectedIndex = -1;
    }
    int addItem(const std::string& text) override {
        items.push_back({0, {text}});
        return count() - 1;
    }
    void setItems(const std::vector<std::string>& texts) override {
        clear();
        for (const std::string& text : texts)
            addItem(text);
    }
    void removeItem(int index) override {
        if (index < 0 || index >= count()) throw std::out_of_range("removeItem");
        items.erase(items.begin() + index);
        selectedIndex =
            selectedIndex == index ? -1 : selectedIndex - (selectedIndex > index ? 1 : 0);
    }
    void setItemData(int index, std::int32_t data) override { items.at(index).data = data; }
    std::int32_t itemData(int index) const override { return items.at(index).data; }
    std::string itemText(int index) const override { return cell(index, 0); }
    int count() const override { return static_cast<int>(items.size()); }
    void setSelected(int index) override {
        if (index < -1 || index >= count()) throw std::out_of_range("setSelected");
        selectedIndex = index;
        if (design.kind == ui::Kind::ComboBox && index >= 0 && onClick) onClick();
    }
    int selected() const override { return selectedIndex; }
    void setRows(std::vector<std::vector<std::string>> rows) override {
        clear();
        for (auto& cells : rows)
            items.push_back({0, std::move(cells)});
    }
    int addRow(const std::string& text) override { return addItem(text); }
    void removeRow(int row) override { removeItem(row); }
    void setCell(int row, int column, const std::string& text) override {
        auto& cells = items.at(row).cells;
        cells.resize(std::max<std::size_t>(cells.size(), column + 1));
        cells[column] = text;
    }
    std::string cell(int row, int column) const override {
        const auto& cells = items.at(row).cells;
        return column < static_cast<int>(cells.size()) ? cells[column] : std::string();
    }
    void ensureVisible(int row) override { scrolledTo = row; }
};

// It stays in the list of open windows while it lives, as a real window does.
class FakeWindow : public ui::Window {
  public:
    FakeWindow(std::vector<FakeWindow*>& open, const ui::WindowDesign& d,
               const std::vector<ui::ControlDesign>& designs)
        : design(d), open_(open) {
        for (const auto& c : designs)
            controls[c.name] = std::make_unique<FakeControl>(c);
        open_.push_back(this);
    }
    ~FakeWindow() override { std::erase(open_, this); }

    ui::WindowDesign design;
    bool isVisible = false;
    int timesShown = 0;
    std::map<std::string, std::unique_ptr<FakeControl>> controls;

    FakeControl& get(const std::string& name) const { return *controls.at(name); }

    void show() override {
        isVisible = true;
        ++timesShown;
    }
    void hide() override { isVisible = false; }
    bool visible() const override { return isVisible; }
    int captionsSet = 0; // the caption stays the design's, by which tests find the window
    void setCaption(const std::string&) override { ++captionsSet; }
    std::string caption() const override { return design.caption; }
    ui::WindowId id() const override { return reinterpret_cast<ui::WindowId>(this); }
    void sendSystemCommand(std::uintptr_t, std::intptr_t) override {}

  protected:
    ui::Control& lookUp(const std::string& name, ui::Kind& kind) override {
        FakeControl& control = get(name);
        kind = control.design.kind;
        return control;
    }

  private:
    std::vector<FakeWindow*>& open_;
};

class FakeTimer : public ui::Timer {
  public:
    int interval = 0;
    bool isEnabled = false;
    int starts = 0; // its count started afresh
    void setInterval(int ms) override { interval = ms; }
    void setEnabled(bool e) override {
        starts += e && !isEnabled;
        isEnabled = e;
    }
    bool enabled() const override { return isEnabled; }
    void tick() {
        if (isEnabled && onTimer) onTimer();
    }
};

class FakeUiFactory : public ui::UiFactory {
  public:
    std::vector<FakeWindow*> windows; // alive now
    std::vector<std::vector<ui::MenuItem>> menusShown;
    std::vector<std::optional<ports::ScreenPoint>> menuPlaces; // where each was asked to open
    std::string menuChoice; // the entry the user picks in the next popup menu, by its text

    FakeWindow* find(const std::string& caption) const {
        for (FakeWindow* w : windows)
            if (w->design.caption == caption) return w;
        return nullptr;
    }
    FakeWindow& window(const std::string& caption) const {
        if (FakeWindow* w = find(caption)) return *w;
        throw std::out_of_range("no window " + caption);
    }

    std::unique_ptr<ui::Window>
    createWindow(const ui::WindowDesign& design,
                 const std::vector<ui::ControlDesign>& controls) override {
        return std::make_unique<FakeWindow>(windows, design, controls);
    }
    std::unique_ptr<ui::Timer> createTimer() override { return std::make_unique<FakeTimer>(); }
    int showPopupMenu(ui::WindowId, const std::vector<ui::MenuItem>& items,
                      std::optional<ports::ScreenPoint> at) override {
        menusShown.push_back(items);
        menuPlaces.push_back(at);
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].text == menuChoice) return static_cast<int>(i);
        return -1;
    }
};

} // namespace omnitap::fakes
