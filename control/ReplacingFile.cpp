#include "ReplacingFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace audiocore {

namespace {

// As the kernel counts symbolic links in one path.
constexpr int kLinkHops = 40;
// Room in a file name for the temporary name's own additions.
constexpr std::size_t kNameKept = 200;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path that writing through `path` would reach: each symbolic link
// replaced by what it names, until a file, a missing name or an error.
// Empty (errno set) for a loop of links.
std::string FollowLinks(std::string path) {
    for (int hop = 0; hop < kLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string named(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1,
                          '\0');
        const ssize_t n = ::readlink(path.c_str(), named.data(), named.size());
        if (n < 0)
            return path;
        named.resize(static_cast<std::size_t>(n));
        path = !named.empty() && named[0] == '/' ? named : FolderOf(path) + "/" + named;
    }
    errno = ELOOP;
    return {};
}

} // namespace

ReplacingFile::~ReplacingFile() {
    Abandon();
}

bool ReplacingFile::Fail(int error) {
    if (error_ == 0)
        error_ = error != 0 ? error : EIO;
    return false;
}

bool ReplacingFile::Open(const std::string& target) {
    final_path_ = FollowLinks(target);
    if (final_path_.empty())
        return Fail(errno);
    struct stat info {};
    const bool exists = ::stat(final_path_.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        // A device or pipe is the reader's, not a file to replace.
        fd_ = ::open(final_path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        return fd_ >= 0 || Fail(errno);
    }
    // A file the user may not write is not replaced behind its back either.
    if (exists && ::faccessat(AT_FDCWD, final_path_.c_str(), W_OK, AT_EACCESS) != 0)
        return Fail(errno);
    if (!OpenTemporary(FolderOf(final_path_), NameOf(final_path_)))
        return false;
    if (exists) {
        // The replacement keeps the old file's permissions (and, for root,
        // its owner); failing that it keeps the ones it was made with.
        [[maybe_unused]] int ignored = ::fchmod(fd_, info.st_mode & 07777);
        if (::geteuid() == 0)
            ignored = ::fchown(fd_, info.st_uid, info.st_gid);
    }
    return true;
}

bool ReplacingFile::OpenTemporary(const std::string& folder, const std::string& name) {
    static int counter = 0;
    const std::string stem =
        folder + "/." + name.substr(0, kNameKept) + "." + std::to_string(::getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = stem + std::to_string(++counter) + ".part";
        // O_EXCL: never take over a file someone else made; 0666 lets the
        // umask decide, as for any new file.
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temp_path_ = std::move(path);
            return true;
        }
        if (errno != EEXIST)
            return Fail(errno);
    }
    return Fail(EEXIST);
}

bool ReplacingFile::Commit() {
    if (fd_ < 0)
        return Fail(EBADF);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        Fail(errno);
        Abandon();
        return false;
    }
    if (!temp_path_.empty() && ::rename(temp_path_.c_str(), final_path_.c_str()) != 0) {
        Fail(errno);
        Abandon();
        return false;
    }
    temp_path_.clear();
    return true;
}

void ReplacingFile::Abandon() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_path_.empty())
        ::unlink(temp_path_.c_str());
    temp_path_.clear();
}

} // namespace audiocore
