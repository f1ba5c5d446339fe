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
//   (empty line)
//
// Lines end in CR LF, the file is text in the ANSI code page, and it is rewritten whole on
// every change: comments, other sections and unknown keys do not survive a save.

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

struct KeyFileIo {
    AtomicFiles& files;
    ports::TextCodec& codec;
    ports::MessageBoxes& messages;
};

// Replaces `table` with the file's keys; a missing or unreadable file leaves it unchanged.
void loadKeys(KeyFileIo io, const std::string& iniPath, KeyTable& table);
// Rewrites the file from `table`. A failure leaves the old file as it was and tells the
// user which file and why; returns false then. The table is not touched either way.
bool saveKeys(KeyFileIo io, const std::string& iniPath, const KeyTable& table);

} // namespace omnitap
