#pragma once
// keys.ini: the learned keys, one section "keys", beside the executable.
//
//   [keys]
//   numkeys=2
//   key1_name=Play
//   key1_mapm=30
//   key1_code=179
//   key1_code2=34
//   key1_webs=""
//   key1_mods=ctrl+alt      (only for a key held with modifiers, see keys/modifiers.h)
//   (empty line)
//
// Lines end in CR LF, and the file is rewritten whole on every change: comments, other
// sections and unknown keys do not survive a save. It is text in the ANSI code page while that
// holds every name and argument, else UTF-16 LE with a byte-order mark.

#include "keys/atomic_files.h"
#include "keys/key_table.h"
#include "ports/message_box.h"
#include "ports/text_codec.h"

#include <string>
#include <string_view>

namespace omnitap {

// `folder` followed by "\keys.ini"; the backslash is added even after one already there.
std::string iniPathFor(const std::string& folder);

// The table that a keys.ini text (UTF-8) describes. Count and fields are clamped.
KeyTable parseKeysIni(std::string_view text);
// The keys.ini text (UTF-8) of `table`.
std::string formatKeysIni(const KeyTable& table);
// The file's bytes: ANSI while the code page holds the text, else UTF-16 LE with its mark.
std::string keysIniBytes(const KeyTable& table, ports::TextCodec& codec);
// The table that the bytes of a keys.ini describe, in whichever of those forms (or UTF-8
// with its mark).
KeyTable parseKeysIniBytes(std::string_view bytes, ports::TextCodec& codec);

struct KeyFileIo {
    AtomicFiles& files;
    ports::TextCodec& codec;
    ports::MessageBoxes& messages;
};

// Whether writing the keys read from `text` (UTF-8) keeps all it says: nothing outside the
// section, no key the table does not use (a key block beyond the count, a comment).
bool keptWholeBySave(std::string_view text);

// What a keys.ini holds, as far as a start is concerned.
enum class KeysFound {
    Keys,       // at least one key
    Nothing,    // no file, or nothing but blanks in it: a first run
    NoKeys,     // the section and its count of no keys, as "Remove All Keys" leaves the file
    Unreadable, // more than that, yet not one key could be read from it (a hand edit)
};
// `text` is the file's (UTF-8), `table` what was read from it, `whole` whether a save keeps
// all it holds (keptWholeBySave).
KeysFound keysFound(std::string_view text, const KeyTable& table, bool whole);

struct LoadResult {
    bool ok = true;
    std::string error; // the system's reason when the file exists and cannot be read
    KeysFound found = KeysFound::Nothing;
    bool whole = true; // keptWholeBySave
    std::string bytes; // the file's, when it was read
};

// What `bytes`, a keys.ini's, hold: their table goes to `table`.
LoadResult readKeysIniBytes(std::string bytes, ports::TextCodec& codec, KeyTable& table);

// Replaces `table` with the file's keys; a missing file leaves it unchanged. A file that
// exists and cannot be read (after waiting out a short lock) leaves it unchanged too, and is
// reported in the result: it is never to be taken for a first run.
LoadResult loadKeys(KeyFileIo io, const std::string& iniPath, KeyTable& table);

inline constexpr const char* kFileKept = "The file keeps its previous content.";
// Rewrites the file from `table`. A failure leaves the old file as it was and tells the
// user which file and why, and then `outcome`, in a box owned by `owner`; returns false then.
// The table is not touched either way.
bool saveKeys(KeyFileIo io, const std::string& iniPath, const KeyTable& table,
              ports::WindowId owner = 0, std::string_view outcome = kFileKept);
// The box of a failed write: what could not be done with which file, the system's reason,
// and what that leaves.
void reportWriteFailure(KeyFileIo io, ports::WindowId owner, std::string_view failed,
                        const std::string& path, const std::string& reason,
                        std::string_view outcome);

} // namespace omnitap
