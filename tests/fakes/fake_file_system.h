#pragma once
// File operations in memory, with failures to inject: a file held by another program for a
// number of reads, one that cannot be read, a write that fails once a number of bytes of the
// file has been written (what was written stays), and failing create, flush or replace.

#include "ports/file_system.h"

#include <map>
#include <optional>
#include <set>
#include <string>

namespace omnitap::fakes {

class FakeFileSystem : public ports::FileSystem {
  public:
    std::map<std::string, std::string> files;
    int lockedReads = 0;   // reads that find the file held by another program
    std::string readError; // not empty: the file cannot be read, for this reason
    std::chrono::milliseconds waited{0};
    std::optional<std::size_t> failAfterBytes; // counted from the file's creation
    bool failCreate = false, failFlush = false, failReplace = false;
    std::set<Handle> openHandles;
    int replaces = 0; // files written whole and swapped in

    ports::FileContent read(const std::string& path) override;
    void wait(std::chrono::milliseconds time) override { waited += time; }
    std::string temporaryNameFor(const std::string& path) override { return path + ".tmp"; }
    ports::FileResult create(const std::string& path, Handle& handle) override;
    ports::FileResult write(Handle handle, std::string_view bytes) override;
    ports::FileResult flush(Handle handle) override;
    void close(Handle handle) override { openHandles.erase(handle); }
    ports::FileResult replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override { files.erase(path); }

  private:
    std::map<Handle, std::string> pathOf_;
    Handle next_ = 1;
    std::size_t written_ = 0;
};

} // namespace omnitap::fakes
