#include "keys/key_file.h"

namespace omnitap {

LoadResult KeyFile::load(const std::string& iniPath, KeyTable& table) {
    path_ = iniPath;
    LoadResult result = loadKeys(io_, iniPath, table);
    if (!result.ok) return result;
    take(result.bytes, table, result.whole);
    backupName_ = toKeep_.empty() ? std::string() : freeBackupName();
    return result;
}

void KeyFile::take(std::string bytes, const KeyTable& table, bool whole) {
    kept_ = table;
    if (!whole) toKeep_.push_back(bytes);
    known_ = std::move(bytes);
}

KeyFile::Saved KeyFile::save(const KeyTable& table, ports::WindowId owner) {
    const Saved saved =
        write(table, owner, "Your changes stay in the window, so that you can try again.", false);
    if (saved == Saved::Written) kept_ = table;
    return saved;
}

KeyFile::Saved KeyFile::saveKept(ports::WindowId owner, bool editsElsewhere) {
    return write(kept_, owner, "The change stays in effect until Omnitap ends.", editsElsewhere);
}

KeyFile::Saved KeyFile::write(const KeyTable& table, ports::WindowId owner, std::string_view stays,
                              bool editsElsewhere) {
    const std::string nothing = std::string(stays) + " Nothing was written.";
    const Saved mayWrite = askIfChanged(table, owner, nothing, editsElsewhere);
    if (mayWrite != Saved::Written) return mayWrite;
    // Whatever would be lost is kept before anything is written over it.
    while (!toKeep_.empty()) {
        const std::string name = freeBackupName();
        ports::FileResult result = io_.files.replaceAtomically(name, toKeep_.front());
        if (!result.ok) {
            reportWriteFailure(io_, owner, "keep the earlier keys.ini as", name, result.error,
                               nothing);
            return Saved::NotWritten;
        }
        toKeep_.erase(toKeep_.begin());
    }
    if (!saveKeys(io_, path_, table, owner,
                  known_.empty() ? nothing : std::string(stays) + " " + kFileKept))
        return Saved::NotWritten;
    known_ = keysIniBytes(table, io_.codec);
    return Saved::Written;
}

KeyFile::Saved KeyFile::askIfChanged(const KeyTable& table, ports::WindowId owner,
                                     std::string_view nothing, bool editsElsewhere) {
    using Status = ports::FileContent::Status;
    ports::FileContent now = io_.files.read(path_);
    // A file gone holds nothing to lose.
    if (now.status == Status::Missing || (now.status == Status::Read && now.bytes == known_))
        return Saved::Written;
    if (now.status != Status::Read) {
        reportWriteFailure(io_, owner, "read, to save over it,", path_, now.error, nothing);
        return Saved::NotWritten;
    }
    KeyTable theirs;
    const LoadResult read = readKeysIniBytes(now.bytes, io_.codec, theirs);
    const bool lost = editsElsewhere || theirs != table;
    using namespace ports::mb;
    const int answer = io_.messages.show(
        owner,
        "keys.ini was changed by another program since Omnitap read it:\r\n" + path_ +
            "\r\n\r\nReplace it with Omnitap's keys?\r\n\r\nYes: Omnitap's keys are saved; the "
            "file as it is now is kept as\r\n" +
            freeBackupName() + "\r\nNo: Omnitap takes the keys the file holds now" +
            (lost ? "; the changes Omnitap has not saved are lost." : ".") +
            "\r\nCancel: nothing is written, nothing is taken.",
        "Omnitap", kYesNoCancel | kIconWarning);
    if (answer == kAnswerNo) {
        take(std::move(now.bytes), theirs, read.whole);
        return Saved::Loaded;
    }
    if (answer != kAnswerYes) return Saved::NotWritten;
    // Seen now: should keeping it aside fail, the next save tries again without asking.
    toKeep_.insert(toKeep_.begin(), now.bytes);
    known_ = std::move(now.bytes);
    return Saved::Written;
}

std::string KeyFile::freeBackupName() {
    std::string name = path_ + ".bak";
    for (int n = 2; n < 1000 && io_.files.read(name).status != ports::FileContent::Status::Missing;
         ++n)
        name = path_ + "." + std::to_string(n) + ".bak";
    return name;
}

} // namespace omnitap
