#include "keys/keys_ini.h"

#include "keys/lenient_number.h"
#include "keys/profile_text.h"

namespace omnitap {
namespace {

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

std::string quotedIfNeeded(const std::string& value) {
    return needsQuotes(value) ? '"' + value + '"' : value;
}

} // namespace

std::string iniPathFor(const std::string& folder) {
    return folder + "\\keys.ini";
}

KeyTable parseKeysIni(std::string_view text) {
    ProfileSection keys(text, "keys");
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
    }
    return table;
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
        line(keyName(n, "_name="), quotedIfNeeded(oneLine(key.name)));
        line(keyName(n, "_mapm="), std::to_string(key.mapm));
        line(keyName(n, "_code="), std::to_string(key.code));
        line(keyName(n, "_code2="), std::to_string(key.code2));
        line(keyName(n, "_webs=\""), oneLine(key.webs) + "\"");
        line("");
    }
    return out;
}

void loadKeys(KeyFileIo io, const std::string& iniPath, KeyTable& table) {
    if (!io.files.exists(iniPath)) return;
    auto bytes = io.files.readAll(iniPath);
    if (!bytes) return;
    std::string text = decodeProfileBytes(
        *bytes, [&](std::string_view ansi) { return io.codec.ansiToUtf8(ansi); });
    table = parseKeysIni(text);
}

bool saveKeys(KeyFileIo io, const std::string& iniPath, const KeyTable& table) {
    ports::FileResult result =
        io.files.replaceAtomically(iniPath, io.codec.utf8ToAnsi(formatKeysIni(table)));
    if (result.ok) return true;
    std::string text = "Omnitap could not save your keys to\r\n" + iniPath + "\r\n\r\n" +
                       result.error +
                       "\r\n\r\nThe keys stay in effect until Omnitap ends; the file keeps its "
                       "previous content.";
    io.messages.show(text, "Omnitap", ports::mb::kOk | ports::mb::kIconWarning);
    return false;
}

} // namespace omnitap
