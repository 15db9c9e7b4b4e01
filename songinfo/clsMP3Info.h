#pragma once

#include "TagFields.h"

#include <string>

namespace songinfo {

// The song facts the player shows for one file. Setting the file name does all
// the work: the file's ID3v1 tag when it has one, else its ID3v2 tag, else
// what its name and folders suggest. Each setting replaces everything the previous one gave.
class clsMP3Info {
public:
    const std::string& Filename() const { return filename_; }

    // Stores the path and recomputes the six facts; a path that is no MP3 file
    // gives six empty facts. Throws std::system_error when an MP3 file cannot
    // be read; the facts are then empty and Filename holds the new path.
    void SetFilename(const std::string& sPassFilename);

    // The stored facts with leading and trailing spaces removed (only spaces:
    // NULs and tabs from a tag stay).
    std::string Title() const;
    std::string Artist() const;
    std::string Album() const;
    std::string Year() const;
    std::string Comment() const;
    std::string Genre() const;

private:
    std::string filename_;
    TagFields fields_;
};

// True when a regular file of that name exists (hidden ones too) and the path
// contains ".mp3", ".mp2" or ".mp1" anywhere, in any case.
bool IsMP3File(const std::string& path);

} // namespace songinfo
