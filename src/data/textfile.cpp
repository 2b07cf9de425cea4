#include "data/textfile.h"

#include "data/codec.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace skarvel::data {
namespace {

[[noreturn]] void Fail(const char* verb, const std::string& path, const std::string& reason,
                       FileError::Reason why = FileError::Reason::Other, int error = 0) {
    throw FileError(std::string("cannot ") + verb + " \"" + QuotedName(path) + "\": " + reason,
                    std::strcmp(verb, "write") == 0, path, why, error);
}

[[noreturn]] void FailErrno(const char* verb, const std::string& path, int error) {
    Fail(verb, path, std::strerror(error), FileError::Reason::System, error);
}

// Only regular files hold our data: a folder cannot be read as one, and
// reading a device or a FIFO could block or never end.
void RequireRegular(const char* verb, const std::string& path, const struct stat& info) {
    if (S_ISDIR(info.st_mode))
        Fail(verb, path, "is a folder", FileError::Reason::Folder);
    if (!S_ISREG(info.st_mode))
        Fail(verb, path, "is not a regular file", FileError::Reason::NotRegular);
}

[[noreturn]] void TooLarge(const std::string& path) {
    throw FileError("ファイルが大きすぎます: " + QuotedName(path), false, path,
                    FileError::Reason::TooLarge);
}

// The system's reasons a user meets, in the window's words.
const char* SystemReason(int error) {
    switch (error) {
    case ENOENT:
        return "フォルダまたはファイルがありません";
    case ENOTDIR:
        return "途中の名前がフォルダではありません";
    case EACCES:
    case EPERM:
        return "アクセスが許可されていません";
    case ENOSPC:
        return "ディスクの空きがありません";
    case EDQUOT:
        return "ディスクの使用量の上限に達しました";
    case EROFS:
        return "読み取り専用の場所です";
    case EISDIR:
        return "フォルダです";
    case ENAMETOOLONG:
        return "名前が長すぎます";
    case EFBIG:
        return "ファイルが大きすぎます";
    case EIO:
        return "入出力エラーが起きました";
    case ELOOP:
        return "シンボリックリンクがループしています";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます";
    case EBUSY:
    case ETXTBSY:
        return "使用中です";
    default:
        return nullptr;
    }
}

// Closes a descriptor on every way out.
struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    explicit Descriptor(int f) : fd(f) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    // Closes now and reports the error a delayed write may only show here.
    int close() {
        int rc = fd >= 0 ? ::close(fd) : 0;
        fd = -1;
        return rc;
    }
};

// The file a save writes first. It holds an exclusive lock from its creation
// until it has been renamed over the target, through a second descriptor of
// the same open file, so that the first can be closed (and report a delayed
// write error) before the rename. While it has a name that is not yet the
// target's, the name is removed on every way out.
struct TempFile {
    std::string path; // empty while the file has no name
    Descriptor file;
    Descriptor lock;
    bool renamed = false;
    ~TempFile() {
        if (!renamed && !path.empty())
            ::unlink(path.c_str());
    }
};

// Folder part of a path, for files that must live beside it.
std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A hidden name beside the target: ".NAME.saving", or with `unique` set
// ".NAME.XXXXXXXX.saving". Every save of a file tries the plain one first,
// so the next save finds what a killed one left behind.
std::string TempName(const std::string& target, bool unique) {
    std::size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    // Keep the name well below the usual 255-byte limit of a file name.
    std::string name = folder + "." + std::string(LastPathComponent(target).substr(0, 200));
    if (unique) {
        static std::atomic<unsigned> serial{0};
        const auto now = static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        const unsigned long long mix =
            now ^ (static_cast<unsigned long long>(::getpid()) << 20) ^ (serial++ * 0x9E3779B9ull);
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08llx", mix & 0xFFFFFFFFull);
        name += suffix;
    }
    return name + ".saving";
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when `name` still names the open file `fd`.
bool StillNamed(const std::string& name, int fd) {
    struct stat named {};
    struct stat held {};
    return ::lstat(name.c_str(), &named) == 0 && ::fstat(fd, &held) == 0 && SameFile(named, held);
}

// Removes a temporary a killed save left behind: nobody holds its lock any
// more. Only the holder of a temporary's lock removes its name, so between
// the check and the removal no other save can have put its own file there.
// Where the file system has no locks, nothing is ever taken for stale.
// True when the name is free now.
bool RemoveStaleTemp(const std::string& name) {
    Descriptor file(
        ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd < 0)
        return errno == ENOENT;
    struct stat info {};
    if (::flock(file.fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(file.fd, &info) != 0 ||
        !S_ISREG(info.st_mode) || !StillNamed(name, file.fd))
        return false;
    return ::unlink(name.c_str()) == 0;
}

// Gives the temporary a name through `claim(name)`, which answers 0 or an
// errno: the target's own temporary name, freed of a killed save's leftover,
// or a unique one while another save of the same file uses it.
template <class Claim>
std::string NameTemp(const std::string& target, const std::string& shownPath, Claim&& claim) {
    const std::string own = TempName(target, false);
    int error = claim(own);
    if (error == EEXIST && RemoveStaleTemp(own))
        error = claim(own);
    if (error == 0)
        return own;
    for (int attempt = 0; error == EEXIST && attempt < 100; ++attempt) {
        std::string name = TempName(target, true);
        error = claim(name);
        if (error == 0)
            return name;
    }
    FailErrno("write", shownPath, error);
}

// Takes the temporary's lock and keeps it on a second descriptor; 0 or errno.
int LockTemp(int fd, TempFile& temp) {
    temp.lock.fd = ::dup(fd);
    if (temp.lock.fd < 0)
        return errno;
    // A file system without locks (some network ones) only loses the
    // removal of stale temporaries.
    while (::flock(temp.lock.fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    return 0;
}

// Where the file system allows, the temporary has no name while it is
// written: a save killed then leaves nothing behind. It is named only for
// the moment before the rename. Elsewhere it is named from the start.
std::atomic<bool> unnamedTemps{true};

// Creates the temporary without a name; false when the file system cannot.
bool CreateUnnamedTemp(const std::string& target, const std::string& shownPath, TempFile& temp) {
    // The name is given through /proc; without it there is no portable way.
    if (!unnamedTemps || ::access("/proc/self/fd", X_OK) != 0)
        return false;
    const int fd = ::open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        // Not supported here; older kernels take the flag for a folder.
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
            return false;
        FailErrno("write", shownPath, errno);
    }
    temp.file.fd = fd;
    if (const int error = LockTemp(fd, temp))
        FailErrno("write", shownPath, error);
    return true;
}

int LinkUnnamed(int fd, const std::string& name) {
    char proc[40];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, proc, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT)
        return errno;
    // /proc gone since: linking the descriptor itself needs a privilege
    // that not every user has.
    return ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

void CreateNamedTemp(const std::string& target, const std::string& shownPath, TempFile& temp) {
    temp.path = NameTemp(target, shownPath, [&](const std::string& name) {
        Descriptor file(
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
        if (file.fd < 0)
            return errno;
        const int error = LockTemp(file.fd, temp);
        // Before the lock, a save that took the new file for a stale one may
        // have removed it; then the name is not ours and the search goes on.
        const bool ours = StillNamed(name, file.fd);
        if (ours && error == 0) {
            std::swap(temp.file.fd, file.fd);
            return 0;
        }
        temp.lock.close();
        if (ours)
            ::unlink(name.c_str());
        return ours ? error : EEXIST;
    });
}

} // namespace

std::string FileError::japanese() const {
    if (reason_ == Reason::TooLarge || reason_ == Reason::DanglingLink ||
        (reason_ == Reason::Other && path_.empty())) {
        return what(); // said in Japanese already
    }
    std::string text =
        "「" + QuotedName(path_) + "」を" + (writing_ ? "保存できません" : "読み込めません") + ": ";
    switch (reason_) {
    case Reason::Folder:
        return text + "フォルダです。";
    case Reason::NotRegular:
        return text + "通常のファイルではありません。";
    case Reason::NoFileName:
        return text + "ファイル名がありません。";
    case Reason::System:
        if (const char* reason = SystemReason(error_)) {
            return text + reason + "。";
        }
        return text + "システムのエラー（" + std::strerror(error_) + "）。";
    default:
        return text + "書き込みを完了できませんでした。";
    }
}

void UseUnnamedTemporaries(bool use) {
    unnamedTemps = use;
}

std::string QuotedName(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    char escape[8];
    for (std::size_t i = 0; i < path.size(); ++i) {
        auto byte = static_cast<unsigned char>(path[i]);
        auto next = [&](std::size_t k) {
            return i + k < path.size() ? static_cast<unsigned char>(path[i + k]) : 0;
        };
        if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else if (byte == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) {
            // C1 controls, NEL among them.
            std::snprintf(escape, sizeof escape, "\\u%04X", next(1));
            out += escape;
            i += 1;
        } else if (byte == 0xE2 && next(1) == 0x80 && (next(2) == 0xA8 || next(2) == 0xA9)) {
            // Line and paragraph separators.
            std::snprintf(escape, sizeof escape, "\\u%04X", 0x2000 + (next(2) - 0x80));
            out += escape;
            i += 2;
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

std::string ReadFileBytes(const std::string& path, std::uintmax_t limit) {
    // Look before opening: a FIFO must not even be opened.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        FailErrno("read", path, errno);
    RequireRegular("read", path, info);
    // O_NONBLOCK keeps the open from waiting should the name have become a
    // FIFO since; fstat then tells what was really opened.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd < 0)
        FailErrno("read", path, errno);
    if (::fstat(file.fd, &info) != 0)
        FailErrno("read", path, errno);
    RequireRegular("read", path, info);
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size > limit)
        TooLarge(path);

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(file.fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            FailErrno("read", path, errno);
        }
        if (got == 0)
            break;
        // The file may have grown since fstat.
        if (static_cast<std::uintmax_t>(got) > limit - bytes.size())
            TooLarge(path);
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

struct SafeFileWriter::Open {
    std::string path;   // as given, for messages
    std::string target; // the file replaced: a link's destination
    bool unnamed = false;
    TempFile temp;
    off_t size = 0; // the bytes of the pieces written whole
};

SafeFileWriter::SafeFileWriter(const std::string& path) : open_(std::make_unique<Open>()) {
    open_->path = path;
    // "" or "folder/": there is no file to write, and an extension added to
    // nothing would make a hidden one.
    if (LastPathComponent(path).empty())
        Fail("write", path, "no file name", FileError::Reason::NoFileName);
    // Saving through a symbolic link replaces what it points to, not the link.
    std::string target = path;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char* real = ::realpath(path.c_str(), nullptr);
        if (real == nullptr) {
            // A link to nothing would otherwise be replaced by a file.
            if (errno == ENOENT)
                throw FileError("リンク先のファイルがありません: " + QuotedName(path), true, path,
                                FileError::Reason::DanglingLink);
            FailErrno("write", path, errno);
        }
        target = real;
        std::free(real);
    }
    open_->target = target;
    const bool replacing = ::stat(target.c_str(), &info) == 0;
    if (replacing)
        RequireRegular("write", path, info);

    TempFile& temp = open_->temp;
    open_->unnamed = CreateUnnamedTemp(target, path, temp);
    if (!open_->unnamed)
        CreateNamedTemp(target, path, temp);
    const int fd = temp.file.fd;
    if (replacing) {
        // Owner first: a change of owner may clear mode bits. Only root may
        // give the file away; anyone else keeps it as theirs.
        struct stat mine {};
        if (::fstat(fd, &mine) == 0 && (mine.st_uid != info.st_uid || mine.st_gid != info.st_gid) &&
            ::fchown(fd, info.st_uid, info.st_gid) != 0) {
            // Not allowed: the new file stays ours.
        }
        if (::fchmod(fd, info.st_mode & 07777) != 0)
            FailErrno("write", path, errno);
    }
}

SafeFileWriter::~SafeFileWriter() = default;

void SafeFileWriter::write(std::string_view bytes) {
    if (!open_ || open_->temp.renamed)
        Fail("write", open_ ? open_->path : std::string(), "already complete");
    const int fd = open_->temp.file.fd;
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t done = ::write(fd, data, left);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            // The piece goes in whole or not at all: what a full disk let
            // through of it is cut off again.
            if (::ftruncate(fd, open_->size) == 0)
                ::lseek(fd, open_->size, SEEK_SET);
            FailErrno("write", open_->path, error);
        }
        data += done;
        left -= static_cast<std::size_t>(done);
    }
    open_->size += static_cast<off_t>(bytes.size());
}

void SafeFileWriter::commit() {
    if (!open_ || open_->temp.renamed)
        return;
    Open& o = *open_;
    TempFile& temp = o.temp;
    const int fd = temp.file.fd;
    if (::fsync(fd) != 0)
        FailErrno("write", o.path, errno);
    if (o.unnamed)
        temp.path = NameTemp(o.target, o.path,
                             [&](const std::string& name) { return LinkUnnamed(fd, name); });
    if (temp.file.close() != 0)
        FailErrno("write", o.path, errno);
    if (::rename(temp.path.c_str(), o.target.c_str()) != 0)
        FailErrno("write", o.path, errno);
    temp.renamed = true;
    // The rename itself reaches the disk with the folder. A failure here
    // cannot be undone any more and the file is complete, so it is not reported.
    Descriptor folder(::open(FolderOf(o.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd >= 0)
        ::fsync(folder.fd);
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
    SafeFileWriter writer(path);
    writer.write(bytes);
    writer.commit();
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::size_t count = 0;
    ForEachLine(text, [&](std::string_view) { ++count; });
    std::vector<std::string> lines;
    lines.reserve(count);
    ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::string> ReadCp932Lines(const std::string& path, std::uintmax_t limit) {
    return SplitLines(DecodeCp932(ReadFileBytes(path, limit)));
}

std::string Cp932Text(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return EncodeCp932(text);
}

void WriteCp932Lines(const std::string& path, const std::vector<std::string>& lines) {
    WriteFileBytes(path, Cp932Text(lines));
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

std::string_view LastPathComponent(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The extension starts at the last dot of the file name. A name that is only
// a dot and an extension (".kxs") counts as having one: that is what a user
// who types just the extension into a save dialog means.
bool HasExtension(const std::string& path) {
    return LastPathComponent(path).rfind('.') != std::string_view::npos;
}

std::string LowerExtension(const std::string& path) {
    std::string_view name = LastPathComponent(path);
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string extension(name.substr(dot));
    for (char& c : extension)
        c = AsciiLower(c);
    return extension;
}

std::string ReplaceExtension(const std::string& path, std::string_view extension) {
    const std::string_view name = LastPathComponent(path);
    if (name.empty())
        return path;
    const std::size_t dot = name.rfind('.');
    const std::size_t keep =
        dot == std::string_view::npos ? path.size() : path.size() - (name.size() - dot);
    return path.substr(0, keep) + std::string(extension);
}

} // namespace skarvel::data
