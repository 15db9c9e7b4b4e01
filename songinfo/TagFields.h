#pragma once

#include <string>

namespace songinfo {

// The six song facts of one file, untrimmed, as a tag decodes them or as the
// file name suggests them. Texts are UTF-8.
struct TagFields {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Comment;
    std::string Year;
    std::string Genre;
};

} // namespace songinfo
