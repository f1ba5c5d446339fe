#pragma once
// One running copy per keys.ini: two copies would keep two tables and each one's save would
// overwrite the other's edits. The first copy claims a name derived from the identity of the
// file's folder for its whole run; a later copy asks it to bring its Edit Configuration window
// forward and ends.

#include "ports/private_messages.h"
#include "ports/window_id.h"

#include <cstdint>
#include <string>

namespace omnitap::ports {

// What a folder is, however its path is spelled (case, short names, a mapped drive or the
// share it maps): its volume and its number on that volume.
struct FolderIdentity {
    bool known = false; // false: the folder could not be opened
    std::uint32_t volume = 0;
    std::uint64_t index = 0;
};

class RunningCopies {
  public:
    virtual ~RunningCopies() = default;
    virtual FolderIdentity identify(const std::string& folder) = 0;
    // True when no other copy holds `name`; this copy then holds it until it ends.
    virtual bool claim(const std::string& name) = 0;
    // The first copy: later copies post kShowEditConfigurationMessage to `window`.
    virtual void listen(WindowId window) = 0;
    // A later copy: asks the first one to show its Edit Configuration window, waiting for
    // the first one's window for kFirstCopyPatience (base/retry.h) while it is starting.
    virtual void askFirstCopy() = 0;
};

} // namespace omnitap::ports
