#pragma once

#include <string>

namespace audiocore {

// An output file that replaces its target only once it is complete. A plain
// file (or a new name) is written as a temporary file beside the target and
// renamed over it by Commit; Abandon, or destruction before Commit, removes
// the temporary file and leaves the target as it was. A target that is a
// symbolic link has the file it names replaced, and the link stays. A target
// that is no plain file (a device, a FIFO, standard output) cannot be
// replaced: it is written directly and never removed.
//
// Only the temporary file this object created is ever removed.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Opens the file to write for `target`. False with Error() set when it
    // cannot be made (missing folder, no permission, a target that may not
    // be written).
    bool Open(const std::string& target);
    // The descriptor to write to, -1 when not open.
    int Descriptor() const { return fd_; }
    // Whether the output goes through a temporary file (the target is, or
    // will be, a plain file).
    bool Replaces() const { return !temp_path_.empty(); }
    // Closes the file and puts it in place of the target. False with Error()
    // set when that fails; the target is then as it was.
    bool Commit();
    // Closes the file and drops what was written, if it can be dropped.
    void Abandon();
    int Error() const { return error_; }

private:
    bool Fail(int error);
    bool OpenTemporary(const std::string& folder, const std::string& name);

    int fd_ = -1;
    std::string final_path_; // the file replaced: the target, or what its links name
    std::string temp_path_;  // empty when the target is written directly
    int error_ = 0;
};

} // namespace audiocore
