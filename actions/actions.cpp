#include "actions/actions.h"

#include "text/trim.h"

#include <vector>

namespace omnitap {
namespace {

using ports::PathKind;

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}
char folded(char c) {
    if (isSeparator(c)) return '\\';
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string_view withoutBlanksOrQuotes(std::string_view text) {
    return trimmed(text, [](char c) { return c == ' ' || c == '\t' || c == '"'; });
}
// Folders compare as Windows compares their names, whatever separators end them.
bool sameFolder(std::string_view a, std::string_view b) {
    auto bare = [](std::string_view f) { return trimmed(f, isSeparator); };
    a = bare(a), b = bare(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (folded(a[i]) != folded(b[i])) return false;
    return true;
}
// "C:\..." or "\\server\share": not one that counts from the current folder or drive.
bool isAbsolute(std::string_view folder) {
    if (folder.size() >= 2 && isSeparator(folder[0]) && isSeparator(folder[1])) return true;
    return folder.size() >= 3 && folder[1] == ':' && isSeparator(folder[2]);
}
std::string inFolder(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!isSeparator(path.back())) path += '\\';
    return path.append(name);
}
std::string folderOf(std::string_view file) {
    const std::size_t slash = file.find_last_of("\\/");
    if (slash == std::string_view::npos) return {};
    // The root keeps its backslash ("C:\").
    return std::string(file.substr(0, slash == 2 && file[1] == ':' ? slash + 1 : slash));
}
// The entries of a list such as PATH: separated by ';', without blanks or quotes around them.
std::vector<std::string_view> entries(std::string_view list) {
    std::vector<std::string_view> all;
    for (;;) {
        const std::size_t end = list.find(';');
        std::string_view entry = withoutBlanksOrQuotes(list.substr(0, end));
        if (!entry.empty()) all.push_back(entry);
        if (end == std::string_view::npos) return all;
        list.remove_prefix(end + 1);
    }
}
// The file names a program may have: the one typed when it has an extension, else the name
// with each of PATHEXT's.
std::vector<std::string> programNames(std::string_view name, std::string_view pathExt) {
    if (name.find('.') != std::string_view::npos) return {std::string(name)};
    std::vector<std::string> names;
    for (std::string_view extension : entries(pathExt.empty() ? ".COM;.EXE;.BAT;.CMD" : pathExt))
        names.push_back(std::string(name).append(extension));
    return names;
}

// The target as typed: a path that exists, else split. A bare name exists when the system
// has such a program, wherever the current folder is.
LaunchTarget typedTarget(std::string_view target, const LaunchPlaces& places) {
    std::string_view w = trimSpaces(target);
    if (w.empty() || w.front() == '"') return splitLaunchTarget(w);
    auto kind = [&](std::string_view path) {
        if (!isBareName(path)) return places.files.kindOf(std::string(path));
        return findProgram(path, places).empty() ? PathKind::None : PathKind::File;
    };
    if (kind(w) != PathKind::None) return {std::string(w), {}};
    // w is trimmed, so every blank in it has something before it.
    for (std::size_t blank = w.rfind(' '); blank != std::string_view::npos && blank > 0;
         blank = w.rfind(' ', blank - 1)) {
        std::string program(trimSpaces(w.substr(0, blank)));
        if (kind(program) == PathKind::File)
            return {std::move(program), std::string(trimSpaces(w.substr(blank + 1)))};
    }
    return splitLaunchTarget(w);
}

} // namespace

LaunchTarget splitLaunchTarget(std::string_view target) {
    std::string_view w = trimSpaces(target);
    bool quoted = !w.empty() && w.front() == '"';
    if (quoted) w.remove_prefix(1);
    std::size_t end = w.find(quoted ? '"' : ' ');
    std::string_view rest = end == std::string_view::npos ? std::string_view() : w.substr(end + 1);
    return {std::string(w.substr(0, end)), std::string(trimSpaces(rest)), {}};
}

bool isBareName(std::string_view file) {
    return !file.empty() && file.find_first_of("\\/:") == std::string_view::npos;
}

std::string findProgram(std::string_view name, const LaunchPlaces& places) {
    const ports::ProgramFolders folders = places.shell.programFolders();
    const std::vector<std::string> names = programNames(name, folders.pathExt);
    for (const std::string& file : names) {
        std::string registered(withoutBlanksOrQuotes(places.shell.registeredProgram(file)));
        if (!registered.empty() && places.files.kindOf(registered) == PathKind::File)
            return registered;
    }
    std::vector<std::string_view> searched{folders.system, folders.windows};
    for (std::string_view folder : entries(folders.path))
        searched.push_back(folder);
    for (std::string_view folder : searched) {
        if (!isAbsolute(folder) || sameFolder(folder, places.ownFolder)) continue;
        for (const std::string& file : names)
            if (std::string path = inFolder(folder, file);
                places.files.kindOf(path) == PathKind::File)
                return path;
    }
    return {};
}

std::optional<LaunchTarget> resolveLaunchTarget(std::string_view target,
                                                const LaunchPlaces& places) {
    LaunchTarget t = typedTarget(target, places);
    if (isBareName(t.file)) {
        t.file = findProgram(t.file, places);
        if (t.file.empty()) return std::nullopt;
    }
    if (places.files.kindOf(t.file) == PathKind::File) t.directory = folderOf(t.file);
    return t;
}

} // namespace omnitap
