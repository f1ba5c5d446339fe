#include "keys/send_keys.h"

#include "keys/key_names.h"
#include "text/utf8.h"

#include <charconv>

namespace omnitap {
namespace {

using ports::KeyStroke;

constexpr KeyStroke kLeftShift{0xA0, 0x2A}, kLeftCtrl{0xA2, 0x1D}, kLeftAlt{0xA4, 0x38};
constexpr KeyStroke kEnter{0x0D, 0x1C};
constexpr std::size_t kMostRepeats = 1000;

// The modifier keys, each hand on its own, as the keyboard sends them, and whether the
// focused window acts on the key pressed and released alone (Alt opens the menu, Windows
// the Start menu).
struct Modifier {
    KeyStroke key;
    bool actsAlone;
};
// Shift, Ctrl, Alt and Windows, each left then right.
constexpr Modifier kModifiers[] = {{kLeftShift, false},
                                   {{0xA1, 0x36}, false},
                                   {kLeftCtrl, false},
                                   {{0xA3, 0x1D, false, true}, false},
                                   {kLeftAlt, true},
                                   {{0xA5, 0x38, false, true}, true},
                                   {{0x5B, 0x5B, false, true}, true},
                                   {{0x5C, 0x5C, false, true}, true}};

bool isWin(const KeyStroke& key) {
    return key.vk == 0x5B || key.vk == 0x5C;
}

// Reads a key string from left to right; the first problem ends it.
class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    KeyString read() {
        KeyString result;
        if (items(false, 0)) {
            result.steps = std::move(steps_);
        } else {
            // The place counts characters, not bytes.
            std::size_t place = 1;
            for (std::size_t i = 0; i < problem_.place; ++place)
                nextCodePoint(text_, i);
            result.problem = KeyStringProblem{place, std::move(problem_.reason)};
        }
        return result;
    }

  private:
    bool fail(std::size_t at, std::string reason) {
        problem_ = {at, std::move(reason)};
        return false;
    }
    bool atEnd() const { return i_ == text_.size() || text_[i_] == ')'; }

    // Items up to the end, or up to the ")" of a group opened at `open`.
    bool items(bool inGroup, std::size_t open) {
        while (i_ < text_.size()) {
            if (text_[i_] == ')') {
                if (!inGroup) return fail(i_, "there is no ( for this )");
                ++i_;
                return true;
            }
            if (!item()) return false;
        }
        return !inGroup || fail(open, "this ( is never closed");
    }

    // A modifier: + ^ % or {WIN} {LWIN} {RWIN}; the stroke and how many characters it takes.
    std::optional<std::pair<KeyStroke, std::size_t>> modifierAt(std::size_t at) const {
        switch (text_[at]) {
        case '+':
            return std::pair{kLeftShift, std::size_t{1}};
        case '^':
            return std::pair{kLeftCtrl, std::size_t{1}};
        case '%':
            return std::pair{kLeftAlt, std::size_t{1}};
        case '{':
            break;
        default:
            return std::nullopt;
        }
        const std::size_t close = text_.find('}', at + 1);
        if (close == std::string_view::npos) return std::nullopt;
        // {WIN}, {LWIN}, {RWIN}: any name of a Windows key.
        const std::optional<KeyStroke> key = parseKeyName(text_.substr(at + 1, close - at - 1));
        if (key && isWin(*key)) return std::pair{*key, close - at + 1};
        return std::nullopt;
    }

    // Modifiers, then the key, character or group they are held over.
    bool item() {
        KeyStroke mods[5]; // each of + ^ % {LWIN} {RWIN} at most once
        std::size_t count = 0;
        while (auto modifier = modifierAt(i_)) {
            for (std::size_t k = 0; k < count; ++k)
                if (mods[k].vk == modifier->first.vk) return fail(i_, "a modifier comes twice");
            mods[count++] = modifier->first;
            const std::size_t at = i_;
            i_ += modifier->second;
            if (!atEnd()) continue;
            // A Windows key with nothing after it is pressed by itself.
            if (!isWin(mods[count - 1]))
                return fail(at, "nothing follows " + std::string(text_.substr(at, 1)));
            hold(std::span(mods, count - 1), [&] { tap(mods[count - 1], 1); });
            return true;
        }
        bool ok = true;
        hold(std::span(mods, count), [&] { ok = atom(); });
        return ok;
    }
    template <typename Inside> void hold(std::span<const KeyStroke> mods, Inside&& inside) {
        for (KeyStroke key : mods)
            steps_.push_back({SendStep::Kind::Key, key});
        held_ += mods.size();
        inside();
        held_ -= mods.size();
        for (std::size_t k = mods.size(); k-- > 0;)
            steps_.push_back(
                {SendStep::Kind::Key, {mods[k].vk, mods[k].scanCode, true, mods[k].extended}});
    }

    bool atom() {
        const std::size_t at = i_;
        switch (text_[i_]) {
        case '(':
            ++i_;
            return items(true, at);
        case '~':
            ++i_;
            tap(kEnter, 1);
            return true;
        case '{':
            return braces();
        default:
            character(nextCodePoint(text_, i_), 1);
            return true;
        }
    }

    // {NAME}, {NAME count}, {c}, {c count}; "}" itself is the character of {}} and {} 3}.
    bool braces() {
        const std::size_t open = i_;
        // A "}" right after the "{" is the character, closed by the next "}".
        std::size_t from = open + 1;
        if (from < text_.size() && text_[from] == '}') ++from;
        const std::size_t close = text_.find('}', from);
        if (close == std::string_view::npos) return fail(open, "this { is never closed");
        const std::string_view inside = text_.substr(open + 1, close - open - 1);
        i_ = close + 1;
        // A count after the last blank, unless the whole is a name ({Num 4}, not Num 4 times).
        if (const std::size_t blank = inside.rfind(' ');
            blank != std::string_view::npos && blank > 0 && !names(inside)) {
            const std::string_view digits = inside.substr(blank + 1);
            std::size_t repeats = 0;
            auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), repeats);
            if (!digits.empty() && error == std::errc() && end == digits.data() + digits.size() &&
                names(inside.substr(0, blank))) {
                if (repeats > kMostRepeats)
                    return fail(open + blank + 2, "a key is repeated at most 1000 times");
                send(inside.substr(0, blank), repeats);
                return true;
            }
        }
        if (!names(inside)) return fail(open, "no key is named {" + std::string(inside) + "}");
        send(inside, 1);
        return true;
    }
    // Whether braces may hold `what`: one character, or the name of a key.
    static bool names(std::string_view what) {
        std::size_t at = 0;
        if (!what.empty()) nextCodePoint(what, at);
        return (!what.empty() && at == what.size()) || parseKeyName(what).has_value();
    }
    void send(std::string_view what, std::size_t repeats) {
        std::size_t at = 0;
        const char32_t first = nextCodePoint(what, at);
        if (at == what.size())
            character(first, repeats);
        else
            tap(*parseKeyName(what), repeats);
    }

    void tap(KeyStroke key, std::size_t repeats) {
        for (std::size_t n = 0; n < repeats; ++n) {
            key.up = false;
            steps_.push_back({SendStep::Kind::Key, key});
            key.up = true;
            steps_.push_back({SendStep::Kind::Key, key});
        }
    }
    void character(char32_t c, std::size_t repeats) {
        for (std::size_t n = 0; n < repeats; ++n) {
            if (held_ == 0) {
                steps_.push_back({SendStep::Kind::Character, {}, c});
                continue;
            }
            steps_.push_back({SendStep::Kind::CharacterKey, {}, c});
            steps_.push_back({SendStep::Kind::CharacterKey, {0, 0, true}, c});
        }
    }

    std::string_view text_;
    std::size_t i_ = 0;
    std::size_t held_ = 0; // modifiers held by the enclosing items
    std::vector<SendStep> steps_;
    KeyStringProblem problem_;
};

void appendCharacter(std::vector<KeyStroke>& strokes, char32_t c) {
    auto unit = [&](char32_t u) {
        for (bool up : {false, true})
            strokes.push_back({0, static_cast<std::uint16_t>(u), up, false, true});
    };
    if (c < 0x10000) {
        unit(c);
    } else {
        unit(0xD800 + ((c - 0x10000) >> 10));
        unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

} // namespace

KeyString parseKeyString(std::string_view text) {
    return Reader(text).read();
}

std::string problemText(const KeyStringProblem& problem) {
    return "At character " + std::to_string(problem.place) + ": " + problem.reason;
}

std::vector<KeyStroke> strokesOf(std::span<const SendStep> steps, ports::Typing& layout) {
    std::vector<KeyStroke> strokes;
    strokes.reserve(steps.size() * 2);
    int shiftHeld = 0;
    for (const SendStep& step : steps) {
        if (step.kind == SendStep::Kind::Key) {
            strokes.push_back(step.key);
            if (step.key.vk == 0xA0 || step.key.vk == 0xA1) shiftHeld += step.key.up ? -1 : 1;
            continue;
        }
        std::optional<ports::Typing::CharacterKey> key;
        if (step.kind == SendStep::Kind::CharacterKey) key = layout.keyOfCharacter(step.character);
        if (!key) {
            if (!step.key.up) appendCharacter(strokes, step.character);
            continue;
        }
        const bool withShift = key->shift && shiftHeld == 0;
        KeyStroke shift = kLeftShift;
        shift.up = step.key.up;
        if (withShift && !shift.up) strokes.push_back(shift);
        key->key.up = step.key.up;
        strokes.push_back(key->key);
        if (withShift && shift.up) strokes.push_back(shift);
    }
    return strokes;
}

void appendTextStrokes(std::vector<KeyStroke>& strokes, std::string_view text) {
    for (std::size_t i = 0; i < text.size();)
        appendCharacter(strokes, nextCodePoint(text, i));
}

ModifierRelease releaseHeldModifiers(ports::Typing& keyboard) {
    ModifierRelease release;
    bool masked = false;
    for (auto [key, actsAlone] : kModifiers) {
        if (!keyboard.isKeyDown(key.vk)) continue;
        masked = masked || actsAlone;
        release.after.push_back(key);
        key.up = true;
        release.before.push_back(key);
    }
    if (masked) {
        release.before.insert(release.before.begin(), std::begin(kMaskStrokes),
                              std::end(kMaskStrokes));
        release.after.insert(release.after.end(), std::begin(kMaskStrokes), std::end(kMaskStrokes));
    }
    return release;
}

} // namespace omnitap
