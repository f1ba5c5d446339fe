#include "keys/keys_ini.h"

#include "keys/lenient_number.h"
#include "keys/modifiers.h"
#include "keys/profile_text.h"
#include "text/quoted.h"
#include "text/utf8.h"

#include <algorithm>

namespace omnitap {
namespace {

constexpr std::string_view kSuffixes[] = {"_name", "_mapm", "_code", "_code2", "_webs", "_mods"};

std::string keyName(int n, std::string_view suffix) {
    std::string s = "key";
    s += std::to_string(n);
    s += suffix;
    return s;
}

// A line break inside a value would split it into lines of its own in the file; such
// characters become blanks (the windows that edit names and targets are single-line).
std::string oneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

// The reader drops blanks around a value and one pair of enclosing quotes. A value that
// begins or ends with a blank or a quote is therefore written in double quotes, which the
// reader takes off again, so that it comes back exactly as it was; every other value is
// written bare, as users know the file.
bool needsQuotes(std::string_view value) {
    auto delicate = [](char c) { return isProfileSpace(c) || c == '"' || c == '\''; };
    return !value.empty() && (delicate(value.front()) || delicate(value.back()));
}

std::string textOf(std::string_view bytes, ports::TextCodec& codec) {
    return decodeProfileBytes(bytes, [&](std::string_view ansi) { return codec.ansiToUtf8(ansi); });
}

} // namespace

std::string iniPathFor(const std::string& folder) {
    return folder + "\\keys.ini";
}

namespace {

KeyTable tableOf(const ProfileSection& keys) {
    KeyTable table;
    int count = readKeyCount(keys.read("numkeys"));
    table.resize(count);
    for (int n = 1; n <= count; ++n) {
        KeyDef& key = table[n];
        key.name = keys.read(keyName(n, "_name"));
        key.mapm = readInt16(keys.read(keyName(n, "_mapm")));
        key.code = readInt16(keys.read(keyName(n, "_code")));
        key.code2 = readInt16(keys.read(keyName(n, "_code2")));
        key.webs = keys.read(keyName(n, "_webs"));
        key.mods = readModifiers(keys.read(keyName(n, "_mods")));
    }
    return table;
}

} // namespace

KeyTable parseKeysIni(std::string_view text) {
    return tableOf(ProfileSection(text, "keys"));
}

std::string formatKeysIni(const KeyTable& table) {
    std::string out;
    out.reserve(64 + static_cast<std::size_t>(table.numKeys()) * 120);
    auto line = [&out](std::string_view a, std::string_view b = {}) {
        out += a;
        out += b;
        out += "\r\n";
    };
    line("[keys]");
    line("numkeys=", std::to_string(table.numKeys()));
    for (int n = 1; n <= table.numKeys(); ++n) {
        const KeyDef& key = table[n];
        const std::string name = oneLine(key.name);
        line(keyName(n, "_name="), needsQuotes(name) ? quoted(name) : name);
        line(keyName(n, "_mapm="), std::to_string(key.mapm));
        line(keyName(n, "_code="), std::to_string(key.code));
        line(keyName(n, "_code2="), std::to_string(key.code2));
        line(keyName(n, "_webs="), quoted(oneLine(key.webs)));
        // Only a key that has modifiers says so: a file without them stays as it always was.
        if (!key.mods.empty()) line(keyName(n, "_mods="), modifiersValue(key.mods));
        line("");
    }
    return out;
}

std::string keysIniBytes(const KeyTable& table, ports::TextCodec& codec) {
    // ANSI as users know the file while the code page holds every name and argument; else
    // UTF-16 with its byte-order mark, which the profile functions (and our reader) read
    // natively, so that nothing typed is ever turned into "?".
    std::string text = formatKeysIni(table);
    // ASCII is the same in every ANSI code page: most files need no conversion at all.
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) return text;
    // What comes back unchanged fits: this catches a character turned into "?" as well as one
    // mapped to a look-alike, in every code page (UTF-8 among them).
    std::string ansi = codec.utf8ToAnsi(text);
    return codec.ansiToUtf8(ansi) == text ? ansi : "\xFF\xFE" + utf16leBytes(text);
}

KeyTable parseKeysIniBytes(std::string_view bytes, ports::TextCodec& codec) {
    return parseKeysIni(textOf(bytes, codec));
}

namespace {

bool keptWhole(const ProfileSection& keys) {
    const int count = readKeyCount(keys.read("numkeys"));
    std::size_t used = keys.has("numkeys") ? 1 : 0;
    // Modifiers the reader cannot make out would be gone after a save.
    for (int n = 1; n <= count && used < keys.keyCount(); ++n)
        for (std::string_view suffix : kSuffixes)
            used += keys.has(keyName(n, suffix)) &&
                    (suffix != "_mods" || modifiersReadable(keys.read(keyName(n, suffix))));
    return keys.unreachableLines() == 0 && used == keys.keyCount();
}

} // namespace

bool keptWholeBySave(std::string_view text) {
    return keptWhole(ProfileSection(text, "keys"));
}

KeysFound keysFound(std::string_view text, const KeyTable& table, bool whole) {
    if (!table.empty()) return KeysFound::Keys;
    if (std::all_of(text.begin(), text.end(), isProfileSpace)) return KeysFound::Nothing;
    // The section line and the count are all a file without keys needs; anything else was
    // meant for something, and would be lost by the first save.
    return whole ? KeysFound::NoKeys : KeysFound::Unreadable;
}

LoadResult readKeysIniBytes(std::string bytes, ports::TextCodec& codec, KeyTable& table) {
    const std::string text = textOf(bytes, codec);
    const ProfileSection keys(text, "keys"); // read once, for the keys and what a save keeps
    table = tableOf(keys);
    const bool whole = keptWhole(keys);
    return {true, {}, keysFound(text, table, whole), whole, std::move(bytes)};
}

LoadResult loadKeys(KeyFileIo io, const std::string& iniPath, KeyTable& table) {
    ports::FileContent content = io.files.read(iniPath);
    using Status = ports::FileContent::Status;
    if (content.status == Status::Missing) return {};
    if (content.status != Status::Read) return {false, content.error};
    return readKeysIniBytes(std::move(content.bytes), io.codec, table);
}

void reportWriteFailure(KeyFileIo io, ports::WindowId owner, std::string_view failed,
                        const std::string& path, const std::string& reason,
                        std::string_view outcome) {
    std::string message = "Omnitap could not " + std::string(failed) + "\r\n" + path + "\r\n\r\n" +
                          reason + "\r\n\r\n" + std::string(outcome);
    io.messages.show(owner, message, "Omnitap", ports::mb::kOk | ports::mb::kIconWarning);
}

bool saveKeys(KeyFileIo io, const std::string& iniPath, const KeyTable& table,
              ports::WindowId owner, std::string_view outcome) {
    ports::FileResult result = io.files.replaceAtomically(iniPath, keysIniBytes(table, io.codec));
    if (!result.ok)
        reportWriteFailure(io, owner, "save your keys to", iniPath, result.error, outcome);
    return result.ok;
}

} // namespace omnitap
