// The controls with items: combo and list boxes (items with a 32-bit value each) and the
// report-style list view, which keeps its rows' texts itself and shows them on demand.

#include "win32/ui/controls.h"
#include "win32/ui/dpi.h"
#include "win32/wide.h"

#include <commctrl.h>

namespace omnitap::win32 {
namespace {

// Combo boxes and list boxes speak the same language with different words.
struct ItemMessages {
    UINT add, setData, getData, textLength, getText, count, setSelection, getSelection, reset;
    int selectionChanged; // the notification code
};
const ItemMessages kComboMessages{CB_ADDSTRING,    CB_SETITEMDATA, CB_GETITEMDATA, CB_GETLBTEXTLEN,
                                  CB_GETLBTEXT,    CB_GETCOUNT,    CB_SETCURSEL,   CB_GETCURSEL,
                                  CB_RESETCONTENT, CBN_SELCHANGE};
const ItemMessages kListMessages{LB_ADDSTRING,    LB_SETITEMDATA, LB_GETITEMDATA, LB_GETTEXTLEN,
                                 LB_GETTEXT,      LB_GETCOUNT,    LB_SETCURSEL,   LB_GETCURSEL,
                                 LB_RESETCONTENT, LBN_SELCHANGE};

// The drop-down part of a combo box, below the closed box: about ten lines.
constexpr int kDropDownTwips = 2400;

class ItemListControl final : public ControlOf<ui::ItemList> {
  public:
    ItemListControl(const ui::ControlDesign& design, HWND handle, ControlHost& host,
                    ControlCore* frame)
        : ControlOf(design, handle, host, frame), isCombo_(design.kind == ui::Kind::ComboBox),
          messages_(isCombo_ ? kComboMessages : kListMessages) {}

    void place(unsigned dpi) override {
        ControlCore::place(dpi);
        // A combo box's window height includes its drop-down list; the closed box takes the
        // height its font gives it.
        if (isCombo_) {
            RECT r{};
            GetWindowRect(handle(), &r);
            SetWindowPos(handle(), nullptr, 0, 0, r.right - r.left,
                         twipsToPixels(design().rect.height + kDropDownTwips, dpi),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    void clear() override { send(messages_.reset); }
    int addItem(const std::string& text) override {
        std::wstring wide = widen(text);
        return static_cast<int>(send(messages_.add, 0, reinterpret_cast<LPARAM>(wide.c_str())));
    }
    void setItems(const std::vector<std::string>& texts) override {
        // Drawn once at the end: a list redrawn per item takes minutes for 10,000 under Wine.
        SendMessageW(handle(), WM_SETREDRAW, FALSE, 0);
        clear();
        if (!isCombo_) send(LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(texts.size() * 64));
        for (const std::string& text : texts)
            addItem(text);
        SendMessageW(handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(handle(), nullptr, TRUE);
    }
    void removeItem(int index) override {
        if (has(index)) send(isCombo_ ? CB_DELETESTRING : LB_DELETESTRING, index);
    }
    // Indexes outside the list are ignored (and read as 0 or empty): nothing here may throw
    // through the system's window procedures.
    void setItemData(int index, std::int32_t data) override {
        if (has(index)) send(messages_.setData, index, static_cast<LPARAM>(data));
    }
    std::int32_t itemData(int index) const override {
        return has(index) ? static_cast<std::int32_t>(send(messages_.getData, index)) : 0;
    }
    std::string itemText(int index) const override {
        if (!has(index)) return {};
        LRESULT length = send(messages_.textLength, index);
        if (length <= 0) return {};
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        LRESULT got = send(messages_.getText, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return narrow(text);
    }
    int count() const override { return static_cast<int>(send(messages_.count)); }
    void setSelected(int index) override {
        if (index != -1 && !has(index)) return;
        send(messages_.setSelection, static_cast<WPARAM>(index));
        // Setting a combo box's selection raises its click, as choosing the item would.
        if (isCombo_ && index >= 0) raise(onClick);
    }
    int selected() const override {
        LRESULT index = send(messages_.getSelection);
        return index < 0 ? -1 : static_cast<int>(index);
    }
    void command(int code) override {
        if (code == messages_.selectionChanged) raise(onClick);
    }

  private:
    bool has(int index) const { return index >= 0 && index < count(); }
    LRESULT send(UINT message, WPARAM w = 0, LPARAM l = 0) const {
        return SendMessageW(handle(), message, w, l);
    }

    bool isCombo_;
    const ItemMessages& messages_;
};

class ListViewControl final : public ControlOf<ui::ListView> {
  public:
    ListViewControl(const ui::ControlDesign& design, HWND handle, ControlHost& host,
                    ControlCore* frame)
        : ControlOf(design, handle, host, frame) {
        send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        int index = 0;
        for (const ui::ListColumn& column : design.columns) {
            std::wstring title = widen(column.title);
            LVCOLUMNW c{};
            c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            c.pszText = title.data();
            c.iSubItem = index;
            send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&c));
        }
    }

    void place(unsigned dpi) override {
        ControlCore::place(dpi);
        for (std::size_t i = 0; i < design().columns.size(); ++i)
            send(LVM_SETCOLUMNWIDTH, i, twipsToPixels(design().columns[i].widthTwips, dpi));
    }

    void setRows(std::vector<std::vector<std::string>> rows) override {
        rows_.clear();
        rows_.reserve(rows.size());
        for (const auto& cells : rows)
            rows_.push_back(wide(cells));
        Quiet quiet(*this);
        send(LVM_DELETEALLITEMS); // and every selection with them
        send(LVM_SETITEMCOUNT, rows_.size());
    }
    int addRow(const std::string& text) override {
        rows_.push_back({widen(text)});
        Quiet quiet(*this);
        send(LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
        return count() - 1;
    }
    void removeRow(int row) override {
        if (row < 0 || row >= count()) return;
        rows_.erase(rows_.begin() + row);
        Quiet quiet(*this);
        send(LVM_DELETEITEM, static_cast<WPARAM>(row));
    }
    void setCell(int row, int column, const std::string& text) override {
        if (row < 0 || row >= count() || column < 0) return;
        std::vector<std::wstring>& cells = rows_[static_cast<std::size_t>(row)];
        const auto at = static_cast<std::size_t>(column);
        if (cells.size() <= at) cells.resize(at + 1);
        cells[at] = widen(text);
        send(LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
    }
    std::string cell(int row, int column) const override {
        const std::wstring* text = cellText(row, column);
        return text ? narrow(*text) : std::string();
    }
    int count() const override { return static_cast<int>(rows_.size()); }
    void setSelected(int row) override {
        if (row < -1 || row >= count()) return;
        Quiet quiet(*this);
        setState(-1, 0, LVIS_SELECTED);
        if (row >= 0) setState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    int selected() const override {
        return static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    void ensureVisible(int row) override {
        send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    }

    void notify(NMHDR& header) override {
        switch (header.code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
            const std::wstring* text = cellText(item.iItem, item.iSubItem);
            if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
                lstrcpynW(item.pszText, text ? text->c_str() : L"", item.cchTextMax);
            break;
        }
        case NM_CLICK:
        case NM_RCLICK: {
            const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
            if (click.iItem >= 0 && !raise(onItemClick)) return;
            raise(onClick);
            break;
        }
        case LVN_BEGINDRAG:
        case LVN_BEGINRDRAG: // a press that turns into a drag sends no NM_CLICK
            if (raise(onItemClick)) raise(onClick);
            break;
        case LVN_ITEMCHANGED: {
            // A click announces itself with NM_CLICK once the button is released; a selection
            // moved by the keyboard only says it here.
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            bool nowSelected = (change.uChanged & LVIF_STATE) &&
                               (change.uNewState & LVIS_SELECTED) &&
                               !(change.uOldState & LVIS_SELECTED);
            if (!nowSelected || quiet_ || mouseButtonDown()) return;
            if (raise(onItemClick)) raise(onClick);
            break;
        }
        default:
            break;
        }
    }

  private:
    // Changes the program makes itself raise no events.
    class Quiet {
      public:
        explicit Quiet(ListViewControl& list) : list_(list), was_(list.quiet_) {
            list.quiet_ = true;
        }
        ~Quiet() { list_.quiet_ = was_; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

      private:
        ListViewControl& list_;
        bool was_;
    };

    static bool mouseButtonDown() {
        return GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 ||
               GetKeyState(VK_MBUTTON) < 0;
    }
    void setState(int row, UINT state, UINT mask) {
        LVITEMW item{};
        item.state = state;
        item.stateMask = mask;
        send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    LRESULT send(UINT message, WPARAM w = 0, LPARAM l = 0) const {
        return SendMessageW(handle(), message, w, l);
    }
    static std::vector<std::wstring> wide(const std::vector<std::string>& cells) {
        std::vector<std::wstring> out;
        out.reserve(cells.size());
        for (const std::string& cell : cells)
            out.push_back(widen(cell));
        return out;
    }
    const std::wstring* cellText(int row, int column) const {
        if (row < 0 || row >= count() || column < 0) return nullptr;
        const std::vector<std::wstring>& cells = rows_[static_cast<std::size_t>(row)];
        return static_cast<std::size_t>(column) < cells.size()
                   ? &cells[static_cast<std::size_t>(column)]
                   : nullptr;
    }

    // The rows' texts: the control shows what it asks for (LVN_GETDISPINFO).
    std::vector<std::vector<std::wstring>> rows_;
    bool quiet_ = false;
};

} // namespace

std::unique_ptr<ControlCore> makeItemList(const ui::ControlDesign& design, HWND handle,
                                          ControlHost& host, ControlCore* frame) {
    return std::make_unique<ItemListControl>(design, handle, host, frame);
}

std::unique_ptr<ControlCore> makeListView(const ui::ControlDesign& design, HWND handle,
                                          ControlHost& host, ControlCore* frame) {
    return std::make_unique<ListViewControl>(design, handle, host, frame);
}

} // namespace omnitap::win32
